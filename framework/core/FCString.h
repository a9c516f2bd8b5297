// The framework's text type: UTF-16 code units with stepped capacity growth, conversions to and
// from 8-bit (Latin-1 reading), UTF-8, integers, floats and measurements, and the host's caret
// text commands. Owns its buffers.
#pragma once

#include "framework/core/__FCBase.h"

#include <cstdint>
#include <string>

class FCStrings;

class FCString : public __FCBase {
public:
    FCString();
    explicit FCString(const char* text);
    ~FCString() override;
    FCString(const FCString&) = delete;
    FCString& operator=(const FCString&) = delete;

    FC_CLASS_INFO(FCString)

    // Measurement units of SetMeasurement/GetMeasurement.
    enum {
        kUnitDocument = 0,
        kUnitEVPUs = 1,
        kUnitInches = 2,
        kUnitCentimeters = 3,
        kUnitPoints = 4,
        kUnitPicas = 5,
        kUnitSpaces = 6
    };

    // Setting the content. count < 0: up to the terminator; otherwise at most count units,
    // stopping at a 0. No text at all makes the string empty.
    void SetCString(const char* text, int count = -1);
    void SetUTF16(const char16_t* units, int count = -1);
    void SetUTF8(const char* text);
    void SetString(const FCString* other);
    // encoding 0x0E000000: 8-bit data; 0x11000000: UTF-16 data; otherwise false.
    bool SetText(const void* data, uint32_t encoding);
    void SetInteger(int n);
    void Clear();

    // Appending.
    void AppendCString(const char* text);
    void AppendString(const FCString* other);
    void AppendCharacter(char16_t unit);
    void AppendInteger(int n);

    // Reading.
    int GetLength() const { return length_; }
    bool IsEmpty() const { return length_ == 0; }
    // i = -1 means the last unit; out of range gives 0.
    char16_t GetCharacterAt(int i) const;
    bool IsCharacterAt(int i, char16_t unit) const;
    bool IsOneOfCharactersAt(int i, const char* set) const;
    // The 8-bit copy (low 8 bits of each unit), owned by the string, valid until the next call
    // of an 8-bit operation or destruction.
    const char* GetCString();
    // Copies min(length, count - 1) units and a terminator when count > 0; count 0 copies all.
    void GetUTF16(char16_t* destination, int count) const;
    // The units themselves (0-terminated), owned by the string.
    const char16_t* GetUnits() const { return buffer_; }
    // The UTF-8 text of the content.
    std::string GetUTF8() const;
    // The atoi reading of the 8-bit text from start; 0 when start lies beyond the end.
    int GetInteger(int start = 0);
    // The atof reading from start, with "," read as "."; 0 when start lies beyond the end.
    double GetFloat(int start = 0);

    // Searching and comparing; positions are 0-based, -1 means not found.
    int FindFirst(const char* text) const;
    int FindFrom(const FCString* other, int start) const;
    int FindFromCString(const char* text, int start) const;
    // An empty text is contained in every string.
    bool ContainsString(const FCString* other) const;
    bool ContainsCString(const char* text) const;
    // StartsWith, EndsWith and IsEqualCString compare the 8-bit copy.
    bool StartsWith(const char* text);
    bool EndsWith(const char* text);
    bool IsEqualCString(const char* text);
    bool IsEqual(const FCString* other) const;

    // Changing.
    // Keeps the units before i; false when i is not inside the string.
    bool TruncateAt(int i);
    // i = -1 means the last unit.
    bool DeleteCharacterAt(int i);
    // A run reaching past the end removes the rest of the string.
    bool DeleteCharacters(int i, int count);
    void TrimWhitespace();
    void TrimCRLF();
    void ToLowerCase();
    // Replaces every occurrence of oldText, scanning from the left; true when any was replaced.
    bool Replace(const char* oldText, const char* newText);
    // A new collection of the non-empty runs between separator units; the caller owns it.
    FCStrings* Split(const char* separators) const;

    // Caret commands and measurements.
    // Removes the caret font, size and effect commands; true when any was removed.
    bool StripFontCommands();
    // The EVPU value as text in the unit (0: the document's unit), with the locale's decimal symbol.
    void SetMeasurement(double evpus, int unit);
    // The text read as a measurement (a unit suffix overrides the given unit), in EVPUs.
    double GetMeasurement(int unit);

    // Makes room for n code units and a terminator.
    void EnsureCapacity(int n);
    int GetCapacity() const { return capacity_; }

private:
    // Replaces the content with exactly these units (which may lie inside this string's buffer).
    void Store(const char16_t* units, int count);
    void AppendUnits(const char16_t* units, int count);
    // Drops the buffer and starts again with the smallest one.
    void ReleaseBuffer();
    // Fills an 8-bit buffer with the low 8 bits of every unit, reusing it while it is big enough.
    void Fill8Bit(char*& target, int& size) const;
    bool MatchesCStringAt(int i, const char* text, int textLength) const;

    int length_;
    int capacity_;
    char16_t* buffer_;
    char* cstring_;
    char* conversion_;
    int cstringSize_;
    int conversionSize_;
};
