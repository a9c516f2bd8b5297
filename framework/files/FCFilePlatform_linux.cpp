// Linux: stdio has no text-mode conversion, so lines end with LF on disk; 8-bit paths are the
// file system's own bytes, text paths are converted to UTF-8.
#include "framework/files/FCFilePlatform.h"

#include "framework/core/FCString.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace fcfileplatform {
namespace {

std::string NativePath(FCString* path, bool eightBit) { return eightBit ? path->GetCString() : path->GetUTF8(); }

}  // namespace

char16_t FolderSeparator() { return u'/'; }

const char* TextLineEnd() { return "\n"; }

FILE* Open(FCString* path, bool eightBit, const char* mode) {
    if (!path || path->IsEmpty() || !mode) return nullptr;
    return std::fopen(NativePath(path, eightBit).c_str(), mode);
}

bool Commit(FILE* file) {
    if (!file || std::fflush(file) != 0) return false;
    return fsync(fileno(file)) == 0;
}

bool Replace(FCString* from, FCString* to, bool eightBit) {
    if (!from || !to) return false;
    return std::rename(NativePath(from, eightBit).c_str(), NativePath(to, eightBit).c_str()) == 0;
}

bool Remove(FCString* path, bool eightBit) {
    if (!path) return false;
    return std::remove(NativePath(path, eightBit).c_str()) == 0;
}

}  // namespace fcfileplatform
