// Windows: the C runtime's shared-access opening in text mode, so a line feed written becomes
// CR LF on disk and CR LF read becomes a line feed; 8-bit paths go to the code-page functions,
// text paths to the wide ones.
#include "framework/files/FCFilePlatform.h"

#include "framework/core/FCString.h"

#include <windows.h>

#include <io.h>
#include <share.h>

#include <cstdio>
#include <string>

namespace fcfileplatform {
namespace {

const wchar_t* Wide(FCString* path) { return reinterpret_cast<const wchar_t*>(path->GetUnits()); }

// The file a path names after following a symbolic link; the path itself when it is no link or
// the link cannot be followed.
std::wstring FollowLinks(const wchar_t* path) {
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
    HANDLE file = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return path;
    wchar_t resolved[MAX_PATH * 4];
    const DWORD length = GetFinalPathNameByHandleW(file, resolved, DWORD(sizeof resolved / sizeof resolved[0]), 0);
    CloseHandle(file);
    if (length == 0 || length >= sizeof resolved / sizeof resolved[0]) return path;
    return std::wstring(resolved, length);
}

}  // namespace

char16_t FolderSeparator() { return u'\\'; }

const char* TextLineEnd() { return "\r\n"; }

FILE* Open(FCString* path, bool eightBit, const char* mode) {
    if (!path || path->IsEmpty() || !mode) return nullptr;
    // The mode names text mode explicitly, whatever the process's default mode is.
    const std::string textMode = std::string(mode) + "t";
    if (eightBit) return _fsopen(path->GetCString(), textMode.c_str(), _SH_DENYNO);
    const std::wstring wideMode(textMode.begin(), textMode.end());
    return _wfsopen(Wide(path), wideMode.c_str(), _SH_DENYNO);
}

bool Commit(FILE* file) {
    if (!file || std::fflush(file) != 0) return false;
    return _commit(_fileno(file)) == 0;
}

bool Replace(FCString* from, FCString* to, bool eightBit) {
    if (!from || !to) return false;
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (eightBit) return MoveFileExA(from->GetCString(), to->GetCString(), flags) != 0;
    return MoveFileExW(Wide(from), FollowLinks(Wide(to)).c_str(), flags) != 0;
}

bool Remove(FCString* path, bool eightBit) {
    if (!path) return false;
    if (eightBit) return DeleteFileA(path->GetCString()) != 0;
    return DeleteFileW(Wide(path)) != 0;
}

}  // namespace fcfileplatform
