// Text fields of host records: a NUL-terminated text stored inside a record, as 8-bit characters
// (one byte per character) or as UTF-16 units, read and written within a bounded byte range so
// that a record without a terminator can never be read past its end.
#pragma once

#include <cstdint>

class FCString;

namespace hosttext {

// The text from data up to the first NUL or to the end of size bytes, whichever comes first.
void Read(const uint8_t* data, int size, bool utf16, FCString* text);
// Bytes the text takes with its terminator.
int EncodedSize(const FCString* text, bool utf16);
// Writes the text and a terminator into room bytes at data, cutting the text to fit; the bytes
// after the terminator are cleared. Nothing is written when room cannot hold a terminator.
void Write(uint8_t* data, int room, const FCString* text, bool utf16);

}  // namespace hosttext
