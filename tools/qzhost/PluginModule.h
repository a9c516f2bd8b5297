// A plug-in module loaded into the host program at run time, with its seven entry points looked
// up by name, as the host loads its plug-ins. Owns the loaded module; unloads it when destroyed.
#pragma once

#include "plugin/PluginExports.h"

#include <string>

class PluginModule {
public:
    PluginModule() = default;
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // The module beside the running program (libqzpattern.so, qzpattern.dll).
    static std::string DefaultPath();

    // Loads the module and finds every entry point. False, with the module unloaded and a
    // one-line reason, when it cannot be loaded or lacks an entry point.
    bool Load(const std::string& path, std::string* error);
    void Unload();
    bool IsLoaded() const { return handle_ != nullptr; }

    FinaleExtensionEnumerate_fn enumerate = nullptr;
    FinaleExtensionEnumerate_UTF16_fn enumerateUTF16 = nullptr;
    FinaleExtensionGetMenuStatus_fn getMenuStatus = nullptr;
    FinaleExtensionInit_fn init = nullptr;
    FinaleExtensionInvoke_fn invoke = nullptr;
    FinaleExtensionTerminate_fn terminate = nullptr;
    FinaleExtensionVersion_fn version = nullptr;

private:
    // The platform's side: open a library by path (null, with the system's reason, on failure),
    // find an exported function by name, close the library.
    static void* OpenLibrary(const std::string& path, std::string* error);
    static void* FindFunction(void* library, const char* name);
    static void CloseLibrary(void* library);

    template <typename T>
    bool Resolve(const char* name, T* function, std::string* error);

    void* handle_ = nullptr;
};
