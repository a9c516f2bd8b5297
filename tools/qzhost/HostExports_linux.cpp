// Linux: the symbol's entry in the program's dynamic symbol table loses its value, so the dynamic
// linker (dlsym, as the plug-in's binding uses it) no longer finds a definition.
#include "tools/qzhost/HostExports.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace {

struct Segment {
    uintptr_t address;
    int protection;
};

// The protection of the program segment that holds the address, as the loader mapped it.
int VisitSegments(dl_phdr_info* info, size_t, void* data) {
    Segment* segment = static_cast<Segment*>(data);
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        const uintptr_t begin = info->dlpi_addr + header.p_vaddr;
        if (header.p_type != PT_LOAD || segment->address < begin || segment->address >= begin + header.p_memsz)
            continue;
        segment->protection = ((header.p_flags & PF_R) ? PROT_READ : 0) | ((header.p_flags & PF_W) ? PROT_WRITE : 0) |
                              ((header.p_flags & PF_X) ? PROT_EXEC : 0);
        return 1;
    }
    return 0;
}

}  // namespace

bool WithdrawHostExport(const std::string& name, std::string* error) {
    void* program = dlopen(nullptr, RTLD_LAZY);
    void* address = program ? dlsym(program, name.c_str()) : nullptr;
    Dl_info info = {};
    ElfW(Sym)* symbol = nullptr;
    if (!address || !dladdr1(address, &info, reinterpret_cast<void**>(&symbol), RTLD_DL_SYMENT) || !symbol ||
        !info.dli_sname || name != info.dli_sname) {
        *error = "--withdraw: the host exports no function named \"" + name + "\"";
        return false;
    }
    Segment segment = {reinterpret_cast<uintptr_t>(symbol), -1};
    dl_iterate_phdr(&VisitSegments, &segment);
    const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    const uintptr_t start = reinterpret_cast<uintptr_t>(symbol) & ~(page - 1);
    const size_t length = reinterpret_cast<uintptr_t>(symbol + 1) - start;
    if (segment.protection < 0 ||
        mprotect(reinterpret_cast<void*>(start), length, segment.protection | PROT_READ | PROT_WRITE) != 0) {
        *error = "--withdraw " + name + ": the symbol table cannot be changed";
        return false;
    }
    symbol->st_value = 0;
    symbol->st_shndx = SHN_UNDEF;
    mprotect(reinterpret_cast<void*>(start), length, segment.protection);
    return true;
}
