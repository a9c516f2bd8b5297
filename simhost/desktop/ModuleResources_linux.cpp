// Resource scripts of a loaded module on Linux: qz_embed_resources puts each script's text into
// an ELF note (owner "QZRC") of the module; the loader maps notes into PT_NOTE segments, which
// dl_iterate_phdr shows for every loaded object. A module is named by its load address, as a
// Windows module handle is, and found from any address inside it.
#include "simhost/desktop/Desktop.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <map>

namespace simhost {
namespace desktop {
namespace {

constexpr char kNoteOwner[] = "QZRC";
constexpr uint32_t kNoteType = 1;

struct Search {
    uintptr_t address;
    bool found;
    std::vector<std::string> scripts;
};

uint32_t ReadWord(const unsigned char* bytes) {
    uint32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

size_t Align4(size_t size) { return (size + 3) & ~size_t(3); }

void ReadNotes(const unsigned char* notes, size_t size, std::vector<std::string>* scripts) {
    size_t offset = 0;
    while (offset + 12 <= size) {
        const uint32_t nameSize = ReadWord(notes + offset);
        const uint32_t descriptionSize = ReadWord(notes + offset + 4);
        const uint32_t type = ReadWord(notes + offset + 8);
        const size_t name = offset + 12;
        const size_t description = name + Align4(nameSize);
        if (description + descriptionSize > size) return;
        if (type == kNoteType && nameSize == sizeof kNoteOwner &&
            std::memcmp(notes + name, kNoteOwner, sizeof kNoteOwner) == 0)
            scripts->emplace_back(reinterpret_cast<const char*>(notes + description), descriptionSize);
        offset = description + Align4(descriptionSize);
    }
}

int VisitObject(dl_phdr_info* info, size_t, void* data) {
    Search* search = static_cast<Search*>(data);
    bool contains = false;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        const uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD && search->address >= start && search->address < start + segment.p_memsz)
            contains = true;
    }
    if (!contains) return 0;
    search->found = true;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_NOTE)
            ReadNotes(reinterpret_cast<const unsigned char*>(info->dlpi_addr + segment.p_vaddr), segment.p_memsz,
                      &search->scripts);
    }
    return 1;
}

struct ModuleScripts {
    bool ok = false;
    std::string error;
    ResourceScript script;
};

}  // namespace

const ResourceScript* FindModuleResources(HINSTANCE module, std::string* error) {
    // A module's scripts never change while it is loaded: each is read once.
    static std::map<uintptr_t, ModuleScripts> cache;
    const uintptr_t address = reinterpret_cast<uintptr_t>(module);
    auto cached = cache.find(address);
    if (cached == cache.end()) {
        ModuleScripts& entry = cache[address];
        Search search = {address, false, {}};
        dl_iterate_phdr(VisitObject, &search);
        if (!search.found) {
            entry.error = "no loaded module at that address";
        } else if (search.scripts.empty()) {
            entry.error = "the module has no resource script (qz_embed_resources)";
        } else {
            entry.ok = true;
            for (const std::string& text : search.scripts) {
                ResourceScript one;
                std::string reason;
                if (!ParseResourceScript(text, &one, &reason)) {
                    entry.ok = false;
                    entry.error = "resource script: " + reason;
                    break;
                }
                for (const DialogTemplate& dialog : one.dialogs) entry.script.dialogs.push_back(dialog);
            }
        }
        cached = cache.find(address);
    }
    if (!cached->second.ok) {
        if (error) *error = cached->second.error;
        return nullptr;
    }
    return &cached->second.script;
}

}  // namespace desktop
}  // namespace simhost

extern "C" BOOL WINAPI GetModuleHandleExW(DWORD flags, LPCWSTR name, HMODULE* module) {
    if (!module) return FALSE;
    *module = nullptr;
    // Only the look-up by an address inside the module is part of the subset.
    if (!(flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS)) return FALSE;
    Dl_info info;
    if (!dladdr(reinterpret_cast<const void*>(name), &info) || !info.dli_fbase) return FALSE;
    *module = reinterpret_cast<HMODULE>(info.dli_fbase);
    return TRUE;
}
