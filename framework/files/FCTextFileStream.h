// A text file read and written line by line: lines of 8-bit text (each byte one character),
// written as given. FCTextFileUTF8Stream reads and writes UTF-8 instead. The file is opened for
// shared access in the platform's text mode: a line feed written becomes CR LF on Windows.
#pragma once

#include "framework/core/FCStrings.h"
#include "framework/files/FCFileStream.h"

#include <cstddef>
#include <string>

class FCSettingsPairs;

class FCTextFileStream : public FCFileStream {
public:
    using FCFileStream::FCFileStream;

    FC_CLASS_INFO(FCTextFileStream)

    // Longest piece ReadLine returns, in bytes of the file, line feed included.
    static constexpr size_t kMaxLineBytes = 299999;

    // slot 6
    bool OpenRead() override;
    // slot 7
    bool OpenWrite() override;
    // slot 8: the next line with its line end, or null at the end of the file. A line longer
    // than kMaxLineBytes comes in pieces. The caller owns the result.
    virtual FCString* ReadLine();
    // slot 9: each line followed by a line feed. False when not open or a write failed.
    virtual bool WriteLines(FCStrings* lines);
    // slot 10: the text unchanged. False when not open or the write failed.
    virtual bool WriteText(FCString* text);
    // slot 11: one line of key, "=" and value per pair. Line breaks inside a key or value are
    // written as blanks, so that every pair stays one line.
    virtual bool WriteSettingsPairs(FCSettingsPairs* pairs);

    // Every line up to the end of the file, without its line end, empty lines included; the
    // pieces of a long line are joined again. Null when the file is not open. The caller owns
    // the result.
    FCStrings* ReadAllLines();

protected:
    // Reads the bytes of the next line (after any pending bytes) up to and including the line
    // end: a line feed, or also a carriage return (with a line feed after it) when stopAtCR is
    // set. Stops after kMaxLineBytes bytes. False at the end of the file with nothing read.
    bool ReadLineBytes(std::string* bytes, bool stopAtCR);
    bool WriteBytes(const char* data, size_t size);

    // Bytes taken from the file that belong to the next line (the tail of a cut piece).
    std::string pending_;
    // True until the first line since opening was read.
    bool atFileStart_ = true;
    // Set by ReadLine when the line it returned is a piece that the next piece continues.
    bool lineContinues_ = false;
};
