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

template <typename T>
bool Resolve(HMODULE module, const char* name, T* function, std::string* error) {
    *function = reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    if (*function) return true;
    *error = std::string("the module lacks the entry point ") + name;
    return false;
}

}  // namespace

PluginModule::~PluginModule() { Unload(); }

std::string PluginModule::DefaultPath() {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "qzpattern.dll";
    std::string program(buffer, length);
    const size_t slash = program.find_last_of("\\/");
    return (slash == std::string::npos ? std::string(".") : program.substr(0, slash)) + "\\qzpattern.dll";
}

bool PluginModule::Load(const std::string& path, std::string* error) {
    Unload();
    // The module's own folder first, so a plug-in beside the host finds nothing of the host's.
    HMODULE module = LoadLibraryExW(Wide(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        *error = "cannot load the module " + path + ": " + SystemMessage(GetLastError());
        return false;
    }
    handle_ = module;
    const bool found = Resolve(module, "FinaleExtensionVersion", &version, error) &&
                       Resolve(module, "FinaleExtensionInit", &init, error) &&
                       Resolve(module, "FinaleExtensionEnumerate", &enumerate, error) &&
                       Resolve(module, "FinaleExtensionEnumerate_UTF16", &enumerateUTF16, error) &&
                       Resolve(module, "FinaleExtensionGetMenuStatus", &getMenuStatus, error) &&
                       Resolve(module, "FinaleExtensionInvoke", &invoke, error) &&
                       Resolve(module, "FinaleExtensionTerminate", &terminate, error);
    if (!found) {
        *error = path + ": " + *error;
        Unload();
        return false;
    }
    return true;
}

void PluginModule::Unload() {
    if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
    enumerate = nullptr;
    enumerateUTF16 = nullptr;
    getMenuStatus = nullptr;
    init = nullptr;
    invoke = nullptr;
    terminate = nullptr;
    version = nullptr;
}
