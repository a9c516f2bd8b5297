// Windows: the module is a DLL, loaded by path as the host loads its plug-ins; it finds the host's
// FX_* functions in the executable (FINALE.EXE) by name.
#include "tools/qzhost/PluginModule.h"

#include <windows.h>

#include <string>

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &wide[0], length);
    return wide;
}

std::string SystemMessage(DWORD code) {
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length && buffer ? std::string(buffer, length) : "error " + std::to_string(code);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

}  // namespace

std::string PluginModule::DefaultPath() {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "qzpattern.dll";
    std::string program(buffer, length);
    const size_t slash = program.find_last_of("\\/");
    return (slash == std::string::npos ? std::string(".") : program.substr(0, slash)) + "\\qzpattern.dll";
}

void* PluginModule::OpenLibrary(const std::string& path, std::string* error) {
    // The module's own folder first, so a plug-in beside the host finds nothing of the host's.
    HMODULE module = LoadLibraryExW(Wide(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) *error = SystemMessage(GetLastError());
    return module;
}

void* PluginModule::FindFunction(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void PluginModule::CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
