// A file in a folder: the folder is given either as text or as the host's folder in the host's
// text encoding. Subclasses open the file; the stream owns the open file and closes it when it
// is closed or destroyed.
#pragma once

#include "framework/core/FCString.h"
#include "framework/files/__FCBaseStream.h"

#include <cstdio>

class FCFileStream : public __FCBaseStream {
public:
    // Room, in characters, of the host folder fields and of the buffer GetHostFolder fills.
    static constexpr int kHostFolderSize = 260;

    // folder: the folder as text (null or empty: none); fileName: the file's name in it.
    FCFileStream(const FCString* folder, const FCString* fileName);
    // hostFolder: a folder as the host reports it, 8-bit text on hosts before 0x11000000 and
    // UTF-16 text from then on (as GetHostFolder gives it); at most kHostFolderSize characters
    // are taken.
    FCFileStream(const void* hostFolder, const FCString* fileName);
    ~FCFileStream() override;
    FCFileStream(const FCFileStream&) = delete;
    FCFileStream& operator=(const FCFileStream&) = delete;

    FC_CLASS_INFO(FCFileStream)

    // slot 6: opens the file for reading; true when it is open.
    virtual bool OpenRead() = 0;
    // slot 7: opens the file for writing, creating or truncating it; true when it is open.
    virtual bool OpenWrite() = 0;

    bool IsOpen() const { return file_ != nullptr; }
    // False when the file was not open, and also when data written to it could not be stored.
    bool Close();

    // The file's path: the folder, a separator when the folder does not end with one, and the
    // file name. False when there is no folder (none given and none from the host).
    bool GetPath(FCString* path);
    // Moves this stream's file, which must be closed, over the file of the given name in the
    // same folder, replacing that file in one step. False when it fails; both files stay.
    bool RenameOver(const FCString* fileName);
    // Deletes this stream's file, which must be closed.
    bool RemoveFile();

    // The host's folder for plug-in files, in the host's text encoding (see the second
    // constructor). False, with an empty folder, when the host gives none.
    static bool GetHostFolder(char16_t (&hostFolder)[kHostFolderSize]);

protected:
    // Opens the file with a C mode ("r" or "w+") for shared access, in text mode; closes the
    // file first when it is open.
    bool OpenFile(const char* mode);
    FILE* GetFile() const { return file_; }
    // Makes Close report failure: written data was not stored.
    void NoteWriteFailure() { writeFailed_ = true; }

private:
    // The path of a file of this name in this stream's folder; eightBit tells whether it is
    // 8-bit text in the host's code page. False when there is no folder.
    bool BuildPath(const FCString* fileName, FCString* path, bool* eightBit);

    char hostFolder8_[kHostFolderSize];
    char16_t hostFolder16_[kHostFolderSize];
    FCString folder_;
    FCString fileName_;
    FILE* file_;
    bool writing_;
    bool writeFailed_;
};
