// The stand-in host: the state behind the FX_* functions it exports (documents, the host folder,
// fonts, the host version) and the switches tests use to withdraw or break host functions.
// One process-wide instance; Reset() returns it to a fresh host with one empty document.
#pragma once

#include "framework/host/hostapi.h"

#include <cstdint>
#include <string>

namespace simhost {

class Document;

// A fresh host: one empty document (identifier 1) current, no faults, no folder chosen, the host
// version reset to the default, the undo list empty.
void Reset();
// Ends the session's leftovers before the plug-in is unloaded: the dialogs it left open and the
// entry frames it never gave back.
void CloseSession();

// The host version this host hands to a plug-in at start-up.
constexpr uint32_t kDefaultHostVersion = 0x1B000000;
void SetHostVersion(uint32_t version);
uint32_t HostVersion();
// For a host program: SetHostVersion, and the host's own reading and writing of documents (the
// score readers and writers, which go through the binding) uses the same version's layouts and
// finds the functions in this process.
void SetHostProgramVersion(uint32_t version);

// A host text (document titles, undo entries, the plug-in's menu texts) as UTF-8, for programs
// that print what the host shows.
std::string UTF8Text(const std::u16string& text);

// Documents. The host holds any number of documents; record and entry calls act on the current one.
Document& CurrentDocument();
int16_t CurrentDocumentID();
// A new empty document; the caller decides whether to make it current. Returns its identifier.
int16_t NewDocument();
bool SwitchToDocument(int16_t id);
Document* FindDocument(int16_t id);

// The host folder reported by FX_GetFinalePath (folders 15 and 7). Empty: the per-user default.
void SetFolder(const std::string& utf8Path);
// The folder in effect, as UTF-8 without a trailing separator.
std::string Folder();

// Faults. A failing function returns 0 from its export; a withdrawn one is not found by Lookup.
void SetFailing(const char* name, bool failing = true);
bool IsFailing(const char* name);
void SetWithdrawn(const char* name, bool withdrawn = true);
bool IsWithdrawn(const char* name);
// A lookup for the binding (hostapi::SetLookup): this host's function table, minus withdrawals.
// Counts each call per name, so tests can check a name was looked up once.
void* Lookup(const char* name);
int LookupCount(const char* name);

// When set, FX_CreateEData stores a new record under the key it assigns but leaves the caller's
// key block as it was (a host that does not report assigned incidences).
void SetCreateReportsKey(bool reports);
bool CreateReportsKey();

// Every host function, offered or not, in the binding's order. Address null: "not offered".
struct OfferedFunction {
    const char* name;
    void* address;
};
int OfferedFunctionCount();
const OfferedFunction& OfferedFunctionAt(int index);

}  // namespace simhost
