#include "framework/files/FCFileStream.h"

#include "framework/files/FCFilePlatform.h"
#include "framework/host/hostapi.h"

#include <cstring>

FCFileStream::FCFileStream(const FCString* folder, const FCString* fileName)
    : file_(nullptr), writing_(false), writeFailed_(false) {
    std::memset(hostFolder8_, 0, sizeof hostFolder8_);
    std::memset(hostFolder16_, 0, sizeof hostFolder16_);
    folder_.SetString(folder);
    fileName_.SetString(fileName);
}

FCFileStream::FCFileStream(const void* hostFolder, const FCString* fileName)
    : file_(nullptr), writing_(false), writeFailed_(false) {
    std::memset(hostFolder8_, 0, sizeof hostFolder8_);
    std::memset(hostFolder16_, 0, sizeof hostFolder16_);
    fileName_.SetString(fileName);
    if (!hostFolder) return;
    // Bounded copies: the last character of each field stays the terminator.
    if (hostapi::UseUTF16()) {
        const char16_t* units = static_cast<const char16_t*>(hostFolder);
        for (int i = 0; i < kHostFolderSize - 1 && units[i]; ++i) hostFolder16_[i] = units[i];
    } else {
        const char* bytes = static_cast<const char*>(hostFolder);
        for (int i = 0; i < kHostFolderSize - 1 && bytes[i]; ++i) hostFolder8_[i] = bytes[i];
    }
}

FCFileStream::~FCFileStream() { Close(); }

bool FCFileStream::Close() {
    if (!file_) return false;
    bool stored = !writeFailed_;
    if (writing_ && !fcfileplatform::Commit(file_)) stored = false;
    if (std::fclose(file_) != 0 && writing_) stored = false;
    file_ = nullptr;
    writing_ = false;
    writeFailed_ = false;
    return stored;
}

bool FCFileStream::OpenFile(const char* mode) {
    if (file_) Close();
    FCString path;
    bool eightBit = false;
    if (!BuildPath(&fileName_, &path, &eightBit)) return false;
    file_ = fcfileplatform::Open(&path, eightBit, mode);
    writing_ = file_ && std::strchr(mode, 'w') != nullptr;
    writeFailed_ = false;
    return file_ != nullptr;
}

bool FCFileStream::BuildPath(const FCString* fileName, FCString* path, bool* eightBit) {
    path->Clear();
    *eightBit = false;
    if (!fileName || fileName->IsEmpty()) return false;
    if (!folder_.IsEmpty()) {
        path->SetString(&folder_);
    } else if (hostapi::UseUTF16()) {
        path->SetUTF16(hostFolder16_);
    } else {
        path->SetCString(hostFolder8_);
        *eightBit = true;
    }
    // Without a folder the name alone would land in whatever folder the process happens to be in.
    if (path->IsEmpty()) return false;
    const char16_t separator = fcfileplatform::FolderSeparator();
    if (path->GetCharacterAt(-1) != separator) path->AppendCharacter(separator);
    if (*eightBit) {
        FCString name;
        name.SetString(fileName);
        path->AppendCString(name.GetCString());
    } else {
        path->AppendString(fileName);
    }
    return true;
}

bool FCFileStream::GetPath(FCString* path) {
    if (!path) return false;
    bool eightBit = false;
    return BuildPath(&fileName_, path, &eightBit);
}

bool FCFileStream::RenameOver(const FCString* fileName) {
    if (file_) return false;
    FCString from, to;
    bool eightBit = false;
    if (!BuildPath(&fileName_, &from, &eightBit) || !BuildPath(fileName, &to, &eightBit)) return false;
    return fcfileplatform::Replace(&from, &to, eightBit);
}

bool FCFileStream::RemoveFile() {
    if (file_) return false;
    FCString path;
    bool eightBit = false;
    if (!BuildPath(&fileName_, &path, &eightBit)) return false;
    return fcfileplatform::Remove(&path, eightBit);
}

bool FCFileStream::GetHostFolder(char16_t (&hostFolder)[kHostFolderSize]) {
    std::memset(hostFolder, 0, sizeof hostFolder);
    const uint32_t version = hostapi::GetHostVersion();
    const int16_t folder = version > 0x0FFFFFFF ? 15 : 7;
    const int16_t utf16 = hostapi::UseUTF16() ? 1 : 0;
    if (hostapi::FX_GetFinalePath(hostFolder, kHostFolderSize, folder, utf16, kFXInterfaceVersion) == 0) {
        std::memset(hostFolder, 0, sizeof hostFolder);
        return false;
    }
    // A host that fills the whole buffer leaves no terminator; keep one.
    if (utf16) {
        hostFolder[kHostFolderSize - 1] = 0;
        return hostFolder[0] != 0;
    }
    char* bytes = reinterpret_cast<char*>(hostFolder);
    bytes[kHostFolderSize - 1] = 0;
    return bytes[0] != 0;
}
