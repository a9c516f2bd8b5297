// Linux: the module is a shared library, loaded with its own symbols kept to itself; its
// undefined symbols (the host's FX_* functions, the simulated desktop) resolve from the program.
#include "tools/qzhost/PluginModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace {

template <typename T>
bool Resolve(void* handle, const char* name, T* function, std::string* error) {
    *function = reinterpret_cast<T>(dlsym(handle, name));
    if (*function) return true;
    *error = std::string("the module lacks the entry point ") + name;
    return false;
}

}  // namespace

PluginModule::~PluginModule() { Unload(); }

std::string PluginModule::DefaultPath() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return "libqzpattern.so";
    std::string program(buffer, size_t(length));
    const size_t slash = program.rfind('/');
    return (slash == std::string::npos ? std::string(".") : program.substr(0, slash)) + "/libqzpattern.so";
}

bool PluginModule::Load(const std::string& path, std::string* error) {
    Unload();
    // A bare file name means the file here, not a search of the library path.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* reason = dlerror();
        *error = "cannot load the module " + path + ": " + (reason ? reason : "unknown reason");
        return false;
    }
    const bool found = Resolve(handle_, "FinaleExtensionVersion", &version, error) &&
                       Resolve(handle_, "FinaleExtensionInit", &init, error) &&
                       Resolve(handle_, "FinaleExtensionEnumerate", &enumerate, error) &&
                       Resolve(handle_, "FinaleExtensionEnumerate_UTF16", &enumerateUTF16, error) &&
                       Resolve(handle_, "FinaleExtensionGetMenuStatus", &getMenuStatus, error) &&
                       Resolve(handle_, "FinaleExtensionInvoke", &invoke, error) &&
                       Resolve(handle_, "FinaleExtensionTerminate", &terminate, error);
    if (!found) {
        *error = path + ": " + *error;
        Unload();
        return false;
    }
    return true;
}

void PluginModule::Unload() {
    if (handle_) dlclose(handle_);
    handle_ = nullptr;
    enumerate = nullptr;
    enumerateUTF16 = nullptr;
    getMenuStatus = nullptr;
    init = nullptr;
    invoke = nullptr;
    terminate = nullptr;
    version = nullptr;
}
