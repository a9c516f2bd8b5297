// A text file of UTF-8 lines: lines are read as UTF-8 (invalid bytes become replacement
// characters, a byte-order mark at the start of the file is skipped) and texts are written as
// UTF-8 without a byte-order mark. The stream class of the settings files.
#pragma once

#include "framework/files/FCTextFileStream.h"

class FCTextFileUTF8Stream : public FCTextFileStream {
public:
    using FCTextFileStream::FCTextFileStream;

    FC_CLASS_INFO(FCTextFileUTF8Stream)

    // slot 8: a line up to and including its line feed, as text. A piece of a long line never
    // ends inside a character: the character's bytes go to the next piece.
    FCString* ReadLine() override;
    // slot 10; the lines of slots 9 and 11 are written through it, so they are UTF-8 as well.
    bool WriteText(FCString* text) override;

    // True while every line read since opening came back byte for byte: valid UTF-8 without NUL
    // characters. A file that is not can only be rewritten with some of its bytes changed.
    bool ReadFaithfully() const { return faithful_; }
    bool OpenRead() override;

private:
    bool faithful_ = true;
};
