// The operating-system file services the stream classes need: opening a file for shared access
// in the platform's text mode, making written data durable, and replacing or removing a file.
// One implementation file per system. A path is either text (UTF-16) or 8-bit text in the host's
// code page, held byte for byte in the low 8 bits of each unit.
#pragma once

#include <cstdio>

class FCString;

namespace fcfileplatform {

// The character put between a folder and a file name.
char16_t FolderSeparator();
// What a line feed written in text mode becomes on disk.
const char* TextLineEnd();
// Opens the file with the C mode ("r" or "w+") for shared access, in text mode; null on failure.
FILE* Open(FCString* path, bool eightBit, const char* mode);
// Flushes the file's buffers through to the disk; false when the data could not be written.
bool Commit(FILE* file);
// Renames from over to, replacing to when it exists, as one step; false when it fails. When to is
// a symbolic link, the file it points to is replaced and the link stays.
bool Replace(FCString* from, FCString* to, bool eightBit);
// Deletes the file; false when it fails.
bool Remove(FCString* path, bool eightBit);

}  // namespace fcfileplatform
