#include "simhost/SimHost.h"

#include "simhost/Document.h"
#include "simhost/SimFunctions.h"
#include "simhost/DialogService.h"
#include "simhost/EntryFrames.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace simhost {
namespace {

struct HostState {
    std::vector<std::unique_ptr<Document>> documents;
    int16_t current = 0;
    int16_t nextID = 1;
    uint32_t version = kDefaultHostVersion;
    std::string folder;
    std::set<std::string> failing;
    std::set<std::string> withdrawn;
    std::map<std::string, int> lookups;
    bool createReportsKey = true;
};

HostState& State() {
    static HostState state;
    static bool started = false;
    if (!started) {
        started = true;
        state.documents.emplace_back(new Document(state.nextID));
        state.current = state.nextID++;
    }
    return state;
}

// Every host function in the binding's order: the address of this host's export, or null for a
// function this host does not offer.
#define SIM_OFFERED(name) \
    { #name, reinterpret_cast < void*>(&::name) }
#define SIM_NOT_OFFERED(name) \
    { #name, nullptr }
const OfferedFunction kOffered[] = {
    SIM_OFFERED(FX_LoadEData),
    SIM_OFFERED(FX_SaveEData),
    SIM_OFFERED(FX_CreateEData),
    SIM_OFFERED(FX_DeleteEData),
    SIM_OFFERED(FX_NextEData),
    SIM_OFFERED(FX_GetCurrentEnigmaDocument),
    SIM_OFFERED(FX_GetCurERegions),
    SIM_OFFERED(FX_SetCurERegion),
    SIM_OFFERED(FX_SlotToInst),
    SIM_OFFERED(FX_InstToSlot),
    SIM_OFFERED(FX_GetMeasureDuration),
    SIM_OFFERED(FX_GetCurrentPartID),
    SIM_OFFERED(FX_SetCurrentPartID),
    SIM_OFFERED(FX_GetNextPartID),
    SIM_OFFERED(FX_LoadTGF),
    SIM_OFFERED(FX_SaveTGF),
    SIM_OFFERED(FX_FreeTGF),
    SIM_OFFERED(FX_InsertEXENTRY),
    SIM_OFFERED(FX_DeleteEXENTRY),
    SIM_OFFERED(FX_GetMaxLayers),
    SIM_OFFERED(FX_GetShowLayer),
    SIM_OFFERED(FX_NoteToMidi),
    SIM_OFFERED(FX_GetEntryMetrics2014),
    SIM_OFFERED(FX_GetEntryMetrics2009a),
    SIM_OFFERED(FX_FreeEntryMetrics),
    SIM_OFFERED(FX_AnalyzeChord),
    SIM_OFFERED(FX_StartFinaleEdit),
    SIM_OFFERED(FX_StartFinaleEdit_UTF16),
    SIM_OFFERED(FX_EndFinaleEdit),
    SIM_OFFERED(FX_CancelFinaleEdit),
    SIM_OFFERED(FX_ExecuteMenuItem),
    SIM_OFFERED(FX_RedrawMusic),
    SIM_OFFERED(FX_UpdateLayout),
    SIM_OFFERED(FX_FontNameToNum),
    SIM_OFFERED(FX_FontNumToName),
    SIM_OFFERED(FX_GetFinalePath),
    SIM_OFFERED(FX_Dialog),
    SIM_OFFERED(FX_EndDialog),
    SIM_OFFERED(FX_EnableDlgItem),
    SIM_OFFERED(FX_GetDlgItemVal),
    SIM_OFFERED(FX_SetDlgItemVal),
    SIM_OFFERED(FX_GetDlgItemUser),
    SIM_OFFERED(FX_SetDlgItemUser),
    SIM_OFFERED(FX_GetDlgString),
    SIM_OFFERED(FX_GetDlgString_UTF16),
    SIM_OFFERED(FX_SetDlgString),
    SIM_OFFERED(FX_SetDlgString_UTF16),
    SIM_OFFERED(FX_GetCurrentWindow),
};
#undef SIM_OFFERED
#undef SIM_NOT_OFFERED

}  // namespace

void CloseSession() {
    ReleaseDialogs();
    FreeAllFrames();
}

void Reset() {
    FreeAllFrames();
    HostState& state = State();
    state.documents.clear();
    state.nextID = 1;
    state.documents.emplace_back(new Document(state.nextID));
    state.current = state.nextID++;
    state.version = kDefaultHostVersion;
    state.folder.clear();
    state.failing.clear();
    state.withdrawn.clear();
    state.lookups.clear();
    state.createReportsKey = true;
    ResetDialogService();
}

void SetCreateReportsKey(bool reports) { State().createReportsKey = reports; }
bool CreateReportsKey() { return State().createReportsKey; }

void SetHostVersion(uint32_t version) { State().version = version; }

uint32_t HostVersion() { return State().version; }

namespace {
VersionSource g_layoutVersionSource = nullptr;
}

void SetLayoutVersionSource(VersionSource source) { g_layoutVersionSource = source; }
uint32_t LayoutVersion() { return g_layoutVersionSource ? g_layoutVersionSource() : HostVersion(); }

Document& CurrentDocument() {
    HostState& state = State();
    Document* document = FindDocument(state.current);
    return document ? *document : *state.documents.front();
}

int16_t CurrentDocumentID() { return CurrentDocument().ID(); }

int16_t NewDocument() {
    HostState& state = State();
    state.documents.emplace_back(new Document(state.nextID));
    return state.nextID++;
}

bool SwitchToDocument(int16_t id) {
    if (!FindDocument(id)) return false;
    State().current = id;
    return true;
}

Document* FindDocument(int16_t id) {
    for (auto& document : State().documents)
        if (document->ID() == id) return document.get();
    return nullptr;
}

void SetFolder(const std::string& utf8Path) {
    std::string path = utf8Path;
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    State().folder = path;
}

std::string Folder() {
    const std::string& chosen = State().folder;
    if (!chosen.empty()) return chosen;
#if defined(_WIN32)
    const char* base = std::getenv("APPDATA");
    return std::string(base ? base : ".") + "\\QZPattern";
#else
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config) return std::string(config) + "/qzpattern";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.config/qzpattern";
#endif
}

void SetFailing(const char* name, bool failing) {
    if (!name) return;
    if (failing)
        State().failing.insert(name);
    else
        State().failing.erase(name);
}

bool IsFailing(const char* name) {
    const HostState& state = State();
    return name && !state.failing.empty() && state.failing.count(name) != 0;
}

void SetWithdrawn(const char* name, bool withdrawn) {
    if (!name) return;
    if (withdrawn)
        State().withdrawn.insert(name);
    else
        State().withdrawn.erase(name);
}

bool IsWithdrawn(const char* name) { return name && State().withdrawn.count(name) != 0; }

void* Lookup(const char* name) {
    if (!name) return nullptr;
    ++State().lookups[name];
    if (IsWithdrawn(name)) return nullptr;
    for (const OfferedFunction& f : kOffered)
        if (std::string(f.name) == name) return f.address;
    return nullptr;
}

int LookupCount(const char* name) {
    if (!name) return 0;
    auto found = State().lookups.find(name);
    return found == State().lookups.end() ? 0 : found->second;
}

int OfferedFunctionCount() { return int(sizeof(kOffered) / sizeof(kOffered[0])); }

const OfferedFunction& OfferedFunctionAt(int index) {
    static const OfferedFunction none = {"", nullptr};
    return index >= 0 && index < OfferedFunctionCount() ? kOffered[index] : none;
}

}  // namespace simhost
