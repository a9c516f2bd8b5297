// Linux: the module is a shared library, loaded with its own symbols kept to itself; its
// undefined symbols (the host's FX_* functions, the simulated desktop) resolve from the program.
#include "tools/qzhost/PluginModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

std::string PluginModule::DefaultPath() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return "libqzpattern.so";
    std::string program(buffer, size_t(length));
    const size_t slash = program.rfind('/');
    return (slash == std::string::npos ? std::string(".") : program.substr(0, slash)) + "/libqzpattern.so";
}

void* PluginModule::OpenLibrary(const std::string& path, std::string* error) {
    // A bare file name means the file here, not a search of the library path.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        *error = reason ? reason : "unknown reason";
    }
    return library;
}

void* PluginModule::FindFunction(void* library, const char* name) { return dlsym(library, name); }

void PluginModule::CloseLibrary(void* library) { dlclose(library); }
