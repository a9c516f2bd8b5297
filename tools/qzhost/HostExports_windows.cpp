// Windows: the name leaves the executable's export name table (with its ordinal), which keeps the
// table sorted, so GetProcAddress by name no longer finds it.
#include "tools/qzhost/HostExports.h"

#include <windows.h>

#include <cstring>

namespace {

// Runs the change with the memory writable, then restores the protection.
template <typename Change>
bool Unprotected(void* address, size_t size, Change change) {
    DWORD protection = 0;
    if (!VirtualProtect(address, size, PAGE_READWRITE, &protection)) return false;
    change();
    VirtualProtect(address, size, protection, &protection);
    return true;
}

}  // namespace

bool WithdrawHostExport(const std::string& name, std::string* error) {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    IMAGE_EXPORT_DIRECTORY* exports =
        directory.VirtualAddress ? reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress) : nullptr;
    const DWORD count = exports ? exports->NumberOfNames : 0;
    DWORD* names = exports ? reinterpret_cast<DWORD*>(base + exports->AddressOfNames) : nullptr;
    WORD* ordinals = exports ? reinterpret_cast<WORD*>(base + exports->AddressOfNameOrdinals) : nullptr;
    for (DWORD i = 0; i < count; ++i) {
        if (std::strcmp(reinterpret_cast<const char*>(base + names[i]), name.c_str()) != 0) continue;
        const size_t after = count - i - 1;
        const bool removed =
            Unprotected(names, count * sizeof *names,
                        [&] { std::memmove(names + i, names + i + 1, after * sizeof *names); }) &&
            Unprotected(ordinals, count * sizeof *ordinals,
                        [&] { std::memmove(ordinals + i, ordinals + i + 1, after * sizeof *ordinals); }) &&
            Unprotected(exports, sizeof *exports, [&] { exports->NumberOfNames = count - 1; });
        if (!removed) *error = "--withdraw " + name + ": the export table cannot be changed";
        return removed;
    }
    *error = "--withdraw: the host exports no function named \"" + name + "\"";
    return false;
}
