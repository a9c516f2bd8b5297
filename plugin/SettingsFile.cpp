#include "plugin/SettingsFile.h"

#include "framework/files/FCTextFileUTF8Stream.h"

#include <climits>
#include <cstdio>
#include <memory>

namespace {

FCSettingsPair* FindPair(const FCSettingsPairs* pairs, const char* key) {
    if (!pairs || !key) return nullptr;
    const FCString keyText(key);
    return pairs->FindKey(&keyText);
}

bool IsTrueValue(const FCString* text) { return text->GetLength() == 1 && text->GetCharacterAt(0) == '1'; }

bool IsCSpace(char16_t unit) { return unit == ' ' || (unit >= '\t' && unit <= '\r'); }

// C's decimal conversion on the code units themselves, so that no character outside ASCII can
// pass for a digit or a sign.
int ReadDecimal(const FCString* text) {
    const int length = text->GetLength();
    int i = 0;
    while (i < length && IsCSpace(text->GetCharacterAt(i))) ++i;
    bool negative = false;
    if (i < length && (text->GetCharacterAt(i) == '+' || text->GetCharacterAt(i) == '-')) {
        negative = text->GetCharacterAt(i) == '-';
        ++i;
    }
    long long value = 0;
    for (; i < length; ++i) {
        const char16_t unit = text->GetCharacterAt(i);
        if (unit < '0' || unit > '9') break;
        if (value <= INT_MAX) value = value * 10 + (unit - '0');
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int(value);
}

}  // namespace

const char* SettingsFileName(SettingsFileKind which) {
    return which == kOptionsFile ? "qzpluginoptions.txt" : "qzpluginprefs.txt";
}

FCSettingsPairs* ReadSettingsFile(SettingsFileKind which) {
    char16_t folder[FCFileStream::kHostFolderSize];
    if (!FCFileStream::GetHostFolder(folder)) return nullptr;
    const FCString name(SettingsFileName(which));
    FCTextFileUTF8Stream stream(folder, &name);
    if (!stream.OpenRead()) return nullptr;
    std::unique_ptr<FCStrings> lines(stream.ReadAllLines());
    stream.Close();
    if (!lines) return nullptr;

    FCSettingsPairs* pairs = new FCSettingsPairs;
    FCString key, value;
    for (int i = 0; i < lines->GetCount(); ++i) {
        const FCString* line = lines->GetItemAt(i);
        if (!line) continue;
        const int equals = line->FindFirst("=");
        // No "=", or nothing before it: not a pair.
        if (equals <= 0) continue;
        key.SetUTF16(line->GetUnits(), equals);
        value.SetUTF16(line->GetUnits() + equals + 1);
        FCSettingsPair* pair = new FCSettingsPair(&key, &value);
        // Only blanks before the "=" are no key either.
        if (pair->GetKey()->IsEmpty()) {
            delete pair;
            continue;
        }
        pairs->Add(pair);
    }
    return pairs;
}

FCSettingsPair* ReadSettingsKey(const char* key, SettingsFileKind which) {
    std::unique_ptr<FCSettingsPairs> pairs(ReadSettingsFile(which));
    const FCSettingsPair* pair = FindPair(pairs.get(), key);
    return pair ? pair->Clone() : nullptr;
}

bool WriteSettingsFile(FCSettingsPairs* pairs, SettingsFileKind which) {
    char16_t folder[FCFileStream::kHostFolderSize];
    if (!FCFileStream::GetHostFolder(folder)) return false;
    const FCString name(SettingsFileName(which));
    FCString temporaryName;
    temporaryName.SetString(&name);
    temporaryName.AppendCString(".tmp");

    // Opening the file itself for writing would empty it before anything new is safely stored.
    FCTextFileUTF8Stream temporary(folder, &temporaryName);
    if (!temporary.OpenWrite()) return false;
    const bool written = temporary.WriteSettingsPairs(pairs);
    const bool stored = temporary.Close() && written;
    if (!stored || !temporary.RenameOver(&name)) {
        temporary.RemoveFile();
        return false;
    }
    return true;
}

bool ReadSettingsBool(const FCSettingsPairs* pairs, const char* key, bool* value) {
    const FCSettingsPair* pair = FindPair(pairs, key);
    if (!pair || !value) return false;
    *value = IsTrueValue(pair->GetValue());
    return true;
}

bool ReadSettingsInt(const FCSettingsPairs* pairs, const char* key, int* value) {
    const FCSettingsPair* pair = FindPair(pairs, key);
    if (!pair || !value) return false;
    *value = ReadDecimal(pair->GetValue());
    return true;
}

bool ReadSettingsText(const FCSettingsPairs* pairs, const char* key, FCString* value) {
    const FCSettingsPair* pair = FindPair(pairs, key);
    if (!pair || !value) return false;
    value->SetString(pair->GetValue());
    return true;
}

void WriteSettingsBool(FCSettingsPairs* pairs, const char* key, bool value) {
    const FCString text(value ? "1" : "0");
    WriteSettingsText(pairs, key, &text);
}

void WriteSettingsInt(FCSettingsPairs* pairs, const char* key, int value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", value);
    const FCString text(digits);
    WriteSettingsText(pairs, key, &text);
}

void WriteSettingsText(FCSettingsPairs* pairs, const char* key, const FCString* value) {
    if (!pairs || !key) return;
    const FCString keyText(key);
    const FCString empty;
    pairs->SetValue(&keyText, value ? value : &empty);
}

bool ReadWindowShadeSwitch() {
    std::unique_ptr<FCSettingsPair> pair(ReadSettingsKey("QZPATTERN_WINDOWSHADE", kOptionsFile));
    return pair && IsTrueValue(pair->GetValue());
}
