#include "tools/qzhost/PluginModule.h"

PluginModule::~PluginModule() { Unload(); }

template <typename T>
bool PluginModule::Resolve(const char* name, T* function, std::string* error) {
    *function = reinterpret_cast<T>(FindFunction(handle_, name));
    if (*function) return true;
    *error = std::string("the module lacks the entry point ") + name;
    return false;
}

bool PluginModule::Load(const std::string& path, std::string* error) {
    Unload();
    handle_ = OpenLibrary(path, error);
    if (!handle_) {
        *error = "cannot load the module " + path + ": " + *error;
        return false;
    }
    const bool found =
        Resolve("FinaleExtensionVersion", &version, error) && Resolve("FinaleExtensionInit", &init, error) &&
        Resolve("FinaleExtensionEnumerate", &enumerate, error) &&
        Resolve("FinaleExtensionEnumerate_UTF16", &enumerateUTF16, error) &&
        Resolve("FinaleExtensionGetMenuStatus", &getMenuStatus, error) &&
        Resolve("FinaleExtensionInvoke", &invoke, error) && Resolve("FinaleExtensionTerminate", &terminate, error);
    if (!found) {
        *error = path + ": " + *error;
        Unload();
        return false;
    }
    return true;
}

void PluginModule::Unload() {
    if (handle_) CloseLibrary(handle_);
    handle_ = nullptr;
    enumerate = nullptr;
    enumerateUTF16 = nullptr;
    getMenuStatus = nullptr;
    init = nullptr;
    invoke = nullptr;
    terminate = nullptr;
    version = nullptr;
}
