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
    enum { kUnitDocument = 0, kUnitEVPUs = 1, kUnitInches = 2, kUnitCentimeters = 3, kUnitPoints = 4,
           kUnitPicas = 5, kUnitSpaces = 6 };

    // Setting the content.
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
    // The 8-bit copy (low 8 bits of each unit), owned by the string, valid until the next call.
    const char* GetCString();
    // Copies min(length, count - 1) units and a terminator when count > 0; count 0 copies all.
    void GetUTF16(char16_t* destination, int count) const;
    // The units themselves (0-terminated), owned by the string.
    const char16_t* GetUnits() const { return buffer_; }
    // The UTF-8 text of the content.
    std::string GetUTF8() const;
    int GetInteger(int start = 0);
    double GetFloat(int start = 0);

    // Searching and comparing; positions are 0-based, -1 means not found.
    int FindFirst(const char* text) const;
    int FindFrom(const FCString* other, int start) const;
    int FindFromCString(const char* text, int start) const;
    bool ContainsString(const FCString* other) const;
    bool ContainsCString(const char* text) const;
    bool StartsWith(const char* text);
    bool EndsWith(const char* text);
    bool IsEqualCString(const char* text);
    bool IsEqual(const FCString* other) const;

    // Changing.
    bool TruncateAt(int i);
    bool DeleteCharacterAt(int i);
    bool DeleteCharacters(int i, int count);
    void TrimWhitespace();
    void TrimCRLF();
    void ToLowerCase();
    bool Replace(const char* oldText, const char* newText);
    // A new collection of the runs between separator units; the caller owns it.
    FCStrings* Split(const char* separators) const;

    // Caret commands and measurements.
    bool StripFontCommands();
    void SetMeasurement(double evpus, int unit);
    double GetMeasurement(int unit);

    // Before storing n code units.
    void EnsureCapacity(int n);
    int GetCapacity() const { return capacity_; }

private:
    int length_;
    int capacity_;
    char16_t* buffer_;
    char* cstring_;
    char* conversion_;
};
