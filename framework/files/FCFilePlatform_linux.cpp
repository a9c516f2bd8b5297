// Linux: stdio has no text-mode conversion, so lines end with LF on disk; 8-bit paths are the
// file system's own bytes, text paths are converted to UTF-8.
#include "framework/files/FCFilePlatform.h"

#include "framework/core/FCString.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fcfileplatform {
namespace {

std::string NativePath(FCString* path, bool eightBit) { return eightBit ? path->GetCString() : path->GetUTF8(); }

// The file a path names after following its symbolic links; the path itself when it is no link.
// A link whose target does not exist yet names that target.
std::string FollowLinks(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved)) return resolved;
    char target[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
    if (length <= 0) return path;
    const std::string pointed(target, size_t(length));
    if (pointed[0] == '/') return pointed;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? pointed : path.substr(0, slash + 1) + pointed;
}

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
    return std::rename(NativePath(from, eightBit).c_str(), FollowLinks(NativePath(to, eightBit)).c_str()) == 0;
}

bool Remove(FCString* path, bool eightBit) {
    if (!path) return false;
    return std::remove(NativePath(path, eightBit).c_str()) == 0;
}

}  // namespace fcfileplatform
