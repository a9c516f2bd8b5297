#include "framework/core/FCString.h"

#include "framework/core/FCDocumentUnit.h"
#include "framework/core/FCPlatform.h"
#include "framework/core/FCStrings.h"
#include "framework/host/hostapi.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

// GetMeasurement's unit for a "mm" or "millimeters" suffix; not a unit of SetMeasurement.
constexpr int kUnitMillimeters = 100;

// "%f" of the value, however long the text gets.
std::string FormatFixed(double value) {
    char text[48];
    const int needed = std::snprintf(text, sizeof text, "%f", value);
    if (needed < 0) return std::string();
    if (size_t(needed) < sizeof text) return std::string(text, size_t(needed));
    std::string longer(size_t(needed) + 1, '\0');
    std::snprintf(&longer[0], longer.size(), "%f", value);
    longer.resize(size_t(needed));
    return longer;
}

bool IsWhitespace(char16_t unit) { return unit == ' ' || unit == '\r' || unit == '\n' || unit == '\t'; }
bool IsCRLF(char16_t unit) { return unit == '\r' || unit == '\n'; }

// True when the units start with the 8-bit prefix.
bool UnitsStartWith(const std::u16string& units, const char* prefix) {
    const size_t n = std::strlen(prefix);
    if (units.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (units[i] != char16_t(static_cast<unsigned char>(prefix[i]))) return false;
    return true;
}

bool IsInSet(char16_t unit, const char* set) {
    if (!set) return false;
    for (const char* c = set; *c; ++c)
        if (unit == char16_t(static_cast<unsigned char>(*c))) return true;
    return false;
}

}  // namespace

FCString::FCString()
    : length_(0),
      capacity_(0),
      buffer_(nullptr),
      cstring_(nullptr),
      conversion_(nullptr),
      cstringSize_(0),
      conversionSize_(0) {
    SetCString("");
}

FCString::FCString(const char* text) : FCString() { SetCString(text); }

FCString::~FCString() {
    delete[] buffer_;
    delete[] cstring_;
    delete[] conversion_;
}

void FCString::EnsureCapacity(int n) {
    if (n < 0) n = 0;
    if (buffer_ && (long long)n + 1 < capacity_) return;
    const int step = capacity_ < 1001 ? 10 : capacity_ < 10001 ? 100 : 1000;
    // Computed wide so that an absurd request fails in the allocation, not in an overflow.
    const long long grown = (long long)step * (((long long)n + step) / step);
    char16_t* units = new char16_t[size_t(grown)];
    if (buffer_) std::memcpy(units, buffer_, size_t(length_) * sizeof(char16_t));
    units[length_] = 0;
    delete[] buffer_;
    buffer_ = units;
    capacity_ = int(grown);
}

void FCString::ReleaseBuffer() {
    delete[] buffer_;
    buffer_ = nullptr;
    length_ = 0;
    capacity_ = 0;
    EnsureCapacity(0);
}

void FCString::Store(const char16_t* units, int count) {
    if (count < 0) count = 0;
    std::u16string own;
    std::less<const char16_t*> before;
    if (count > 0 && !before(units, buffer_) && before(units, buffer_ + capacity_)) {
        // The source is part of this string, which may be reallocated below.
        own.assign(units, size_t(count));
        units = own.data();
    }
    EnsureCapacity(count);
    if (count > 0) std::memmove(buffer_, units, size_t(count) * sizeof(char16_t));
    length_ = count;
    buffer_[length_] = 0;
}

void FCString::AppendUnits(const char16_t* units, int count) {
    if (!units || count <= 0) return;
    std::u16string own;
    std::less<const char16_t*> before;
    if (!before(units, buffer_) && before(units, buffer_ + capacity_)) {
        own.assign(units, size_t(count));
        units = own.data();
    }
    EnsureCapacity(length_ + count);
    std::memcpy(buffer_ + length_, units, size_t(count) * sizeof(char16_t));
    length_ += count;
    buffer_[length_] = 0;
}

void FCString::SetCString(const char* text, int count) {
    if (!text) {
        ReleaseBuffer();
        return;
    }
    int n = 0;
    if (count < 0) {
        n = int(std::strlen(text));
    } else {
        while (n < count && text[n]) ++n;
    }
    EnsureCapacity(n);
    for (int i = 0; i < n; ++i) buffer_[i] = char16_t(static_cast<unsigned char>(text[i]));
    length_ = n;
    buffer_[length_] = 0;
}

void FCString::SetUTF16(const char16_t* units, int count) {
    if (!units) {
        ReleaseBuffer();
        return;
    }
    int n = 0;
    if (count < 0) {
        while (units[n]) ++n;
    } else {
        while (n < count && units[n]) ++n;
    }
    Store(units, n);
}

void FCString::SetUTF8(const char* text) {
    const std::u16string units = fcplatform::UTF8ToUTF16(text);
    Store(units.data(), int(units.size()));
}

void FCString::SetString(const FCString* other) {
    if (other == this) return;
    if (!other) {
        Clear();
        return;
    }
    Store(other->buffer_, other->length_);
}

bool FCString::SetText(const void* data, uint32_t encoding) {
    if (!data) return false;
    if (encoding == 0x0E000000) {
        SetCString(static_cast<const char*>(data));
        return true;
    }
    if (encoding == 0x11000000) {
        SetUTF16(static_cast<const char16_t*>(data));
        return true;
    }
    return false;
}

void FCString::SetInteger(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", n);
    SetCString(text);
}

void FCString::Clear() {
    length_ = 0;
    buffer_[0] = 0;
}

void FCString::AppendCString(const char* text) {
    if (!text) return;
    const int n = int(std::strlen(text));
    EnsureCapacity(length_ + n);
    for (int i = 0; i < n; ++i) buffer_[length_ + i] = char16_t(static_cast<unsigned char>(text[i]));
    length_ += n;
    buffer_[length_] = 0;
}

void FCString::AppendString(const FCString* other) {
    if (!other) return;
    AppendUnits(other->buffer_, other->length_);
}

void FCString::AppendCharacter(char16_t unit) { AppendUnits(&unit, 1); }

void FCString::AppendInteger(int n) {
    FCString number;
    number.SetInteger(n);
    AppendString(&number);
}

char16_t FCString::GetCharacterAt(int i) const {
    if (i == -1) i = length_ - 1;
    if (i < 0 || i >= length_) return 0;
    return buffer_[i];
}

bool FCString::IsCharacterAt(int i, char16_t unit) const { return i >= 0 && i < length_ && buffer_[i] == unit; }

bool FCString::IsOneOfCharactersAt(int i, const char* set) const {
    return i >= 0 && i < length_ && IsInSet(buffer_[i], set);
}

void FCString::Fill8Bit(char*& target, int& size) const {
    if (!target || size < length_ + 1) {
        delete[] target;
        size = capacity_;  // always more than the length
        target = new char[size_t(size)];
    }
    for (int i = 0; i < length_; ++i) target[i] = char(buffer_[i] & 0xFF);
    target[length_] = 0;
}

const char* FCString::GetCString() {
    Fill8Bit(cstring_, cstringSize_);
    return cstring_;
}

void FCString::GetUTF16(char16_t* destination, int count) const {
    if (!destination || count < 0) return;
    const int n = count == 0 ? length_ : std::min(length_, count - 1);
    std::memcpy(destination, buffer_, size_t(n) * sizeof(char16_t));
    destination[n] = 0;
}

std::string FCString::GetUTF8() const { return fcplatform::UTF16ToUTF8(buffer_, length_); }

int FCString::GetInteger(int start) {
    if (start < 0 || length_ < start) return 0;
    // strtol rather than atoi: the same reading, with out-of-range values clamped instead of undefined.
    const long value = std::strtol(GetCString() + start, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int(value);
}

double FCString::GetFloat(int start) {
    if (start < 0 || length_ < start) return 0;
    Fill8Bit(conversion_, conversionSize_);
    for (int i = 0; i < length_; ++i)
        if (conversion_[i] == ',') conversion_[i] = '.';
    return std::atof(conversion_ + start);
}

bool FCString::MatchesCStringAt(int i, const char* text, int textLength) const {
    if (i < 0 || i + textLength > length_) return false;
    for (int k = 0; k < textLength; ++k)
        if (buffer_[i + k] != char16_t(static_cast<unsigned char>(text[k]))) return false;
    return true;
}

int FCString::FindFirst(const char* text) const {
    if (!text || !*text) return -1;
    return FindFromCString(text, 0);
}

int FCString::FindFromCString(const char* text, int start) const {
    if (!text || start < 0 || start > length_) return -1;
    const int n = int(std::strlen(text));
    for (int i = start; i + n <= length_; ++i)
        if (MatchesCStringAt(i, text, n)) return i;
    return -1;
}

int FCString::FindFrom(const FCString* other, int start) const {
    if (!other || start < 0 || start > length_) return -1;
    const int n = other->length_;
    for (int i = start; i + n <= length_; ++i)
        if (n == 0 || std::memcmp(buffer_ + i, other->buffer_, size_t(n) * sizeof(char16_t)) == 0) return i;
    return -1;
}

bool FCString::ContainsString(const FCString* other) const { return FindFrom(other, 0) >= 0; }

bool FCString::ContainsCString(const char* text) const { return FindFromCString(text, 0) >= 0; }

bool FCString::StartsWith(const char* text) {
    if (!text) return false;
    const int n = int(std::strlen(text));
    if (length_ < n) return false;
    return std::memcmp(GetCString(), text, size_t(n)) == 0;
}

bool FCString::EndsWith(const char* text) {
    if (!text) return false;
    const int n = int(std::strlen(text));
    if (length_ < n) return false;
    return std::memcmp(GetCString() + length_ - n, text, size_t(n)) == 0;
}

bool FCString::IsEqualCString(const char* text) {
    if (!text) return false;
    const size_t n = std::strlen(text);
    return size_t(length_) == n && std::memcmp(GetCString(), text, n) == 0;
}

bool FCString::IsEqual(const FCString* other) const {
    if (!other) return false;
    return other->length_ == length_ && std::memcmp(buffer_, other->buffer_, size_t(length_) * sizeof(char16_t)) == 0;
}

bool FCString::TruncateAt(int i) {
    if (i < 0 || i >= length_) return false;
    length_ = i;
    buffer_[length_] = 0;
    return true;
}

bool FCString::DeleteCharacterAt(int i) {
    if (i == -1) i = length_ - 1;
    return DeleteCharacters(i, 1);
}

bool FCString::DeleteCharacters(int i, int count) {
    if (i < 0 || i >= length_ || count < 1 || count > length_) return false;
    if (count > length_ - i) count = length_ - i;  // a run past the end removes the rest
    std::memmove(buffer_ + i, buffer_ + i + count, size_t(length_ - i - count) * sizeof(char16_t));
    length_ -= count;
    buffer_[length_] = 0;
    return true;
}

void FCString::TrimWhitespace() {
    int end = length_;
    while (end > 0 && IsWhitespace(buffer_[end - 1])) --end;
    int start = 0;
    while (start < end && IsWhitespace(buffer_[start])) ++start;
    Store(buffer_ + start, end - start);
}

void FCString::TrimCRLF() {
    int end = length_;
    while (end > 0 && IsCRLF(buffer_[end - 1])) --end;
    int start = 0;
    while (start < end && IsCRLF(buffer_[start])) ++start;
    Store(buffer_ + start, end - start);
}

void FCString::ToLowerCase() {
    if (hostapi::GetHostVersion() >= hostapi::kUTF16HostVersion) {
        fcplatform::ToLowerUnicode(buffer_, length_);
        return;
    }
    // tolower is only defined for byte values; older hosts never hand over anything wider.
    for (int i = 0; i < length_; ++i)
        if (buffer_[i] < 256) buffer_[i] = char16_t(std::tolower(buffer_[i]));
}

bool FCString::Replace(const char* oldText, const char* newText) {
    if (!oldText || !*oldText) return false;
    if (!newText) newText = "";
    const int oldLength = int(std::strlen(oldText));
    const FCString replacement(newText);
    std::u16string result;
    bool replaced = false;
    int i = 0;
    // The scan continues after each replacement, so a replacement is never searched again and
    // adjacent occurrences are all replaced.
    while (i < length_) {
        if (MatchesCStringAt(i, oldText, oldLength)) {
            result.append(replacement.buffer_, size_t(replacement.length_));
            i += oldLength;
            replaced = true;
        } else {
            result += buffer_[i++];
        }
    }
    if (replaced) Store(result.data(), int(result.size()));
    return replaced;
}

FCStrings* FCString::Split(const char* separators) const {
    FCStrings* parts = new FCStrings;
    int i = 0;
    while (i < length_) {
        while (i < length_ && IsInSet(buffer_[i], separators)) ++i;
        const int start = i;
        while (i < length_ && !IsInSet(buffer_[i], separators)) ++i;
        if (i > start) {
            FCString* part = new FCString;
            part->Store(buffer_ + start, i - start);
            parts->Add(part);
        }
    }
    return parts;
}

bool FCString::StripFontCommands() {
    static const char* const kDropped[] = {"^font", "^Font", "^fontMus", "^fontTxt", "^fontNum", "^nfx", "^size"};
    std::u16string output;
    std::u16string command;
    bool inCommand = false;
    bool stripped = false;
    for (int i = 0; i < length_; ++i) {
        const char16_t unit = buffer_[i];
        if (!inCommand) {
            if (unit != '^') {
                output += unit;
            } else if (i + 1 < length_ && buffer_[i + 1] == '^') {
                output += u'^';
                ++i;
            } else {
                command = u"^";
                inCommand = true;
            }
            continue;
        }
        command += unit;
        if (unit != ')') continue;
        inCommand = false;
        bool drop = false;
        for (const char* prefix : kDropped)
            if (UnitsStartWith(command, prefix)) {
                drop = true;
                break;
            }
        if (drop)
            stripped = true;
        else
            output += command;
    }
    Store(output.data(), int(output.size()));
    return stripped;
}

void FCString::SetMeasurement(double evpus, int unit) {
    Clear();
    if (unit == kUnitDocument) unit = FCDocumentMeasurementUnit();
    std::string text;
    int decimals;
    switch (unit) {
        case kUnitEVPUs:
            decimals = 2;
            if (evpus == std::trunc(evpus) && evpus > double(INT_MIN) - 1 && evpus < double(INT_MAX) + 1) {
                SetInteger(int(evpus));
                return;
            }
            text = FormatFixed(evpus);
            break;
        case kUnitInches:
            decimals = 5;
            text = FormatFixed(evpus / 288);
            break;
        case kUnitCentimeters:
            decimals = 5;
            text = FormatFixed(evpus * 100000 / 11338583);
            break;
        case kUnitPoints:
            decimals = 2;
            text = FormatFixed(evpus / 4);
            break;
        case kUnitPicas: {
            decimals = 2;
            text = FormatFixed(evpus / 48);
            const size_t point = text.find('.');
            if (point != std::string::npos) {
                text.resize(point);
                text += 'p';
            }
            std::string points = FormatFixed((evpus - 48 * std::trunc(evpus / 48)) / 4);
            if (!points.empty() && points[0] == '-') points.erase(0, 1);
            text += points;
            break;
        }
        case kUnitSpaces:
            decimals = 5;
            text = FormatFixed(evpus / 24);
            break;
        default:
            return;
    }
    const size_t point = text.find('.');
    if (point != std::string::npos) {
        if (text.size() > point + 1 + size_t(decimals)) text.resize(point + 1 + size_t(decimals));
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    SetCString(text.c_str());
    const std::string symbol = fcplatform::DecimalSymbol();
    if (!symbol.empty() && symbol != ".") Replace(".", symbol.c_str());
}

double FCString::GetMeasurement(int unit) {
    // Longer suffixes before the shorter ones they end with.
    static const struct {
        const char* suffix;
        int unit;
    } kSuffixes[] = {{"EVPUs", 1},
                     {"evpus", 1},
                     {"inches", 2},
                     {"inch", 2},
                     {"in", 2},
                     {"centimeters", 3},
                     {"cm", 3},
                     {"millimeters", kUnitMillimeters},
                     {"mm", kUnitMillimeters},
                     {"picas", 5},
                     {"points", 4},
                     {"pts", 4},
                     {"spaces", 6},
                     {"sp", 6},
                     {"e", 1},
                     {"i", 2},
                     {"''", 2},
                     {"c", 3},
                     {"pt", 4},
                     {"p", 5},
                     {"s", 6}};
    FCString text;
    text.SetString(this);
    text.Replace(",", ".");
    text.TrimWhitespace();
    if (unit == kUnitDocument) unit = FCDocumentMeasurementUnit();
    for (const auto& entry : kSuffixes) {
        const std::string withPoint = std::string(entry.suffix) + ".";
        int cut = 0;
        if (text.EndsWith(entry.suffix))
            cut = int(std::strlen(entry.suffix));
        else if (text.EndsWith(withPoint.c_str()))
            cut = int(withPoint.size());
        if (cut == 0) continue;
        text.TruncateAt(text.GetLength() - cut);
        text.TrimWhitespace();
        unit = entry.unit;
        break;
    }
    const double number = text.GetFloat(0);
    switch (unit) {
        case kUnitEVPUs:
            return number;
        case kUnitInches:
            return number * 288;
        case kUnitCentimeters:
            return number * 1134 / 10;
        case kUnitMillimeters:
            return number * 1134 / 100;
        case kUnitPoints:
            return number * 4;
        case kUnitSpaces:
            return number * 24;
        case kUnitPicas: {
            const int p = text.FindFirst("p");
            if (p < 0) return number * 48;
            FCString picas;
            picas.Store(text.buffer_, p);
            FCString points;
            points.Store(text.buffer_ + p + 1, text.length_ - p - 1);
            return picas.GetFloat(0) * 48 + points.GetFloat(0) * 4;
        }
        default:
            return 0;
    }
}
