#include "framework/entries/FCArticulationDef.h"

#include "framework/core/FCFontInfo.h"
#include "framework/score/FCFontPrefs.h"

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <memory>

namespace {

using Layout = FCArticulationDef::Layout;

//                                  version     size  main: slot     size    font    effects  alternate: slot, size,
//                                  font, effects
constexpr Layout kLongLayout = {hostapi::kUTF16HostVersion,
                                60,
                                {0, 2},
                                {8, 1},
                                {4, 2},
                                {6, 1},
                                {12, 2},
                                {28, 1},
                                {16, 2},
                                {26, 1},
                                // flags 1, 2; values A B C D E F G H I J K L M
                                10,
                                24,
                                {18, 20, 22, 32, 42, 44, 46, 48, 30, 34, 36, 38, 40}};
// Characters and sizes share a word (character in the low byte), as do font numbers and effects.
constexpr Layout kShortLayout = {0x0F000000,
                                 48,
                                 {0, 1},
                                 {1, 1},
                                 {2, 1},
                                 {3, 1},
                                 {12, 1},
                                 {13, 1},
                                 {14, 1},
                                 {15, 1},
                                 10,
                                 22,
                                 {16, 18, 20, 30, 40, 42, 44, 46, 28, 32, 34, 36, 38}};

constexpr bool ValuesFit(const Layout& layout) {
    for (int offset : layout.values)
        if (offset + 2 > int(layout.size)) return false;
    return layout.flags1 + 2 <= int(layout.size) && layout.flags2 + 2 <= int(layout.size);
}
static_assert(kLongLayout.size == 60 && ValuesFit(kLongLayout), "articulation definition, 60 bytes");
static_assert(kShortLayout.size == 48 && ValuesFit(kShortLayout), "old articulation definition, 48 bytes");
static_assert(FCArticulationDef::kMaxDataSize == kLongLayout.size, "the buffer holds the larger layout");

// The characters that count as each kind, and the ones the tasks handle.
const int kKindCharacters[FCArticulationDef::kKindCount][4] = {
    {46, 172, 248, 249}, {45, 138, 248, 0}, {62, 138, 249, 0}, {94, 172, 0, 0}};
const int kHandledCharacters[] = {45, 46, 62, 94, 138, 172, 248, 249};

// The stored code of each position mode 1-5, in the low bits beside 0x8.
const int kModeCodes[] = {0, 12, 8, 9, 11, 10};

bool IsValidItem(int number) { return number > 0 && number < 0xFFFF; }

}  // namespace

const FCArticulationDef::Layout& FCArticulationDef::LayoutForHostVersion(uint32_t hostVersion) {
    return hostVersion >= hostapi::kUTF16HostVersion ? kLongLayout : kShortLayout;
}

FCArticulationDef::FCArticulationDef() { UseClearedData(data_, int32_t(GetDataSize())); }

bool FCArticulationDef::Reload() {
    std::memset(data_, 0, sizeof data_);
    return __FCNoInciOther::Reload();
}

int FCArticulationDef::ReadField(const Field& field) const {
    return field.bytes == 1 ? data_[field.offset] : Word(field.offset);
}

void FCArticulationDef::WriteField(const Field& field, int value) {
    if (field.bytes == 1)
        data_[field.offset] = uint8_t(value);
    else
        SetWord(field.offset, value);
}

int FCArticulationDef::Word(int offset) const { return fcdata::Read<uint16_t>(data_, offset); }
void FCArticulationDef::SetWord(int offset, int value) { fcdata::Write<uint16_t>(data_, offset, uint16_t(value)); }

int FCArticulationDef::GetMainSlot() const { return ReadField(CurrentLayout().mainSlot); }
int FCArticulationDef::GetAlternateSlot() const { return ReadField(CurrentLayout().alternateSlot); }

void FCArticulationDef::SetMainCharacter(int character) {
    WriteField(CurrentLayout().mainSlot, character);
    SetFlags2Bits(kMainIsShape, false);
}

void FCArticulationDef::SetAlternateCharacter(int character) {
    WriteField(CurrentLayout().alternateSlot, character);
    SetFlags2Bits(kAlternateIsShape, false);
}

void FCArticulationDef::SetMainShape(int shape) {
    WriteField(CurrentLayout().mainSlot, shape);
    SetFlags2Bits(kMainIsShape, true);
}

void FCArticulationDef::SetAlternateShape(int shape) {
    WriteField(CurrentLayout().alternateSlot, shape);
    SetFlags2Bits(kAlternateIsShape, true);
}

int FCArticulationDef::GetMainSymbolChar() const {
    return (GetFlags1() & kMainUsesAlternate) ? GetAlternateCharacter() : GetMainCharacter();
}

int FCArticulationDef::GetFlippedSymbolChar() const {
    return (GetFlags1() & kFlippedUsesAlternate) ? GetAlternateCharacter() : GetMainCharacter();
}

void FCArticulationDef::SetMainSymbolChar(int character) {
    if (GetFlags1() & kMainUsesAlternate)
        SetAlternateCharacter(character);
    else
        SetMainCharacter(character);
}

void FCArticulationDef::SetFlippedSymbolChar(int character) {
    if (GetFlags1() & kFlippedUsesAlternate)
        SetAlternateCharacter(character);
    else
        SetMainCharacter(character);
}

bool FCArticulationDef::UsesShape() const {
    const bool mainFromAlternate = (GetFlags1() & kMainUsesAlternate) != 0;
    const bool flippedFromAlternate = (GetFlags1() & kFlippedUsesAlternate) != 0;
    return (mainFromAlternate ? IsAlternateShape() : IsMainShape()) ||
           (flippedFromAlternate ? IsAlternateShape() : IsMainShape());
}

int FCArticulationDef::GetMainFontNumber() const { return ReadField(CurrentLayout().mainFont); }
void FCArticulationDef::SetMainFontNumber(int number) { WriteField(CurrentLayout().mainFont, number); }
int FCArticulationDef::GetMainFontSize() const { return ReadField(CurrentLayout().mainSize); }
void FCArticulationDef::SetMainFontSize(int size) { WriteField(CurrentLayout().mainSize, size); }
int FCArticulationDef::GetMainFontEffects() const { return ReadField(CurrentLayout().mainEffects); }
void FCArticulationDef::SetMainFontEffects(int effects) { WriteField(CurrentLayout().mainEffects, effects); }
int FCArticulationDef::GetAlternateFontNumber() const { return ReadField(CurrentLayout().alternateFont); }
void FCArticulationDef::SetAlternateFontNumber(int number) { WriteField(CurrentLayout().alternateFont, number); }
int FCArticulationDef::GetAlternateFontSize() const { return ReadField(CurrentLayout().alternateSize); }
void FCArticulationDef::SetAlternateFontSize(int size) { WriteField(CurrentLayout().alternateSize, size); }
int FCArticulationDef::GetAlternateFontEffects() const { return ReadField(CurrentLayout().alternateEffects); }
void FCArticulationDef::SetAlternateFontEffects(int effects) { WriteField(CurrentLayout().alternateEffects, effects); }

uint16_t FCArticulationDef::GetFlags1() const { return uint16_t(Word(CurrentLayout().flags1)); }
void FCArticulationDef::SetFlags1(uint16_t flags) { SetWord(CurrentLayout().flags1, flags); }
uint16_t FCArticulationDef::GetFlags2() const { return uint16_t(Word(CurrentLayout().flags2)); }
void FCArticulationDef::SetFlags2(uint16_t flags) { SetWord(CurrentLayout().flags2, flags); }

void FCArticulationDef::SetFlags1Bits(uint16_t mask, bool state) {
    SetFlags1(state ? uint16_t(GetFlags1() | mask) : uint16_t(GetFlags1() & ~mask));
}

void FCArticulationDef::SetFlags2Bits(uint16_t mask, bool state) {
    SetFlags2(state ? uint16_t(GetFlags2() | mask) : uint16_t(GetFlags2() & ~mask));
}

int FCArticulationDef::GetPositionMode() const {
    const int code = GetFlags1() & kPositionModeMask;
    if (!(code & kPositionModeOn)) return 0;
    for (int mode = 1; mode <= 5; ++mode)
        if (kModeCodes[mode] == code) return mode;
    return -1;
}

void FCArticulationDef::SetPositionMode(int mode) {
    if (mode == 0)
        SetFlags1Bits(kPositionModeOn, false);
    else if (mode >= 1 && mode <= 5)
        SetFlags1(uint16_t((GetFlags1() & ~kPositionModeMask) | kModeCodes[mode]));
}

int FCArticulationDef::GetValue(Value value) const {
    if (value < 0 || value >= kValueCount) return 0;
    return fcdata::Read<int16_t>(data_, CurrentLayout().values[value]);
}

void FCArticulationDef::SetValue(Value value, int number) {
    if (value >= 0 && value < kValueCount) SetWord(CurrentLayout().values[value], number);
}

bool FCArticulationDef::CountsAsKind(int kind) const {
    if (kind < 0 || kind >= kKindCount || IsMainShape()) return false;
    const int character = GetMainSlot();
    for (int c : kKindCharacters[kind])
        if (c && c == character) return true;
    return false;
}

bool FCArticulationDef::CountsAsAnyKind() const {
    for (int kind = 0; kind < kKindCount; ++kind)
        if (CountsAsKind(kind)) return true;
    return false;
}

bool FCArticulationDef::IsHandledCharacter(int character) {
    for (int c : kHandledCharacters)
        if (c == character) return true;
    return false;
}

bool FCArticulationDef::ApplyTemplate(int kind, const FCFontInfo* font) {
    if (kind < 0 || kind >= kKindCount) return false;
    if (font) {
        int number = font->GetNameNumber();
        if (font->GetName()[0]) {
            // 0 is both a font number and the host's answer for a name it does not know.
            const int16_t found = hostapi::FX_FontNameToNum(font->GetName(), kFXInterfaceVersion);
            char check[256] = {0};
            if (found > 0 ||
                (found == 0 && hostapi::FX_FontNumToName(0, check, int32_t(sizeof check) - 1, kFXInterfaceVersion) &&
                 std::strcmp(check, font->GetName()) == 0))
                number = found;
        }
        const float size = font->GetSize();
        const int whole = std::isnan(size) ? 0 : (size >= 32767.0f ? 32767 : (size <= -32768.0f ? -32768 : int(size)));
        SetMainFontNumber(number);
        SetMainFontSize(whole);
        SetMainFontEffects(font->GetEffects());
        SetAlternateFontNumber(number);
        SetAlternateFontSize(whole);
        SetAlternateFontEffects(font->GetEffects());
    }
    SetFlags1Bits(kMainUsesAlternate, false);
    SetFlags1Bits(kFlippedUsesAlternate, false);
    SetPositionMode(1);
    SetFlags1Bits(kFlag0010, true);

    struct Template {
        int mode;
        bool flippedAlternate;
        int main, alternate;  // 0: left unset
        bool flag1000, flag0200, flag2_0001;
        bool flag2_0008, flag2_0020;
        int c, b, d, ef, gh;  // 0: left unset
    };
    static const Template kTemplates[kKindCount] = {
        {1, false, 46, 0, false, true, true, false, true, 16, -4, 0, 40, 0},
        {1, false, 45, 0, false, true, true, false, false, 14, 0, -16, 0, 0},
        {1, true, 62, 62, true, false, false, true, false, 14, -4, -23, 0, 125},
        {5, true, 94, 118, true, false, false, true, false, 16, -8, -32, 0, 140}};
    const Template& t = kTemplates[kind];
    SetPositionMode(t.mode);
    SetFlags1Bits(kFlippedUsesAlternate, t.flippedAlternate);
    SetMainCharacter(t.main);
    if (t.alternate) SetAlternateCharacter(t.alternate);
    SetFlags1Bits(kFlag1000, t.flag1000);
    SetFlags1Bits(kFlag0200, t.flag0200);
    SetFlags2Bits(kFlag2_0001, t.flag2_0001);
    if (t.flag2_0008) SetFlags2Bits(kPlayback08, true);
    if (t.flag2_0020) SetFlags2Bits(kPlayback20, true);
    SetValue(kValueC, t.c);
    if (t.b) SetValue(kValueB, t.b);
    if (t.d) SetValue(kValueD, t.d);
    if (t.ef) {
        SetValue(kValueE, t.ef);
        SetValue(kValueF, t.ef);
    }
    if (t.gh) {
        SetValue(kValueG, t.gh);
        SetValue(kValueH, t.gh);
    }
    return true;
}

bool FCArticulationDef::IsIdenticalTo(const FCArticulationDef* other, bool comparePlayback, bool comparePositions,
                                      bool compareFlagsB, bool comparePositionMode) const {
    if (other == this) return true;
    if (!other) return false;
    const uint16_t flags1 = GetFlags1(), otherFlags1 = other->GetFlags1();
    const uint16_t flags2 = GetFlags2(), otherFlags2 = other->GetFlags2();
    auto same1 = [&](uint16_t mask) { return (flags1 & mask) == (otherFlags1 & mask); };
    auto same2 = [&](uint16_t mask) { return (flags2 & mask) == (otherFlags2 & mask); };
    auto sameValues = [&](Value a, Value b) {
        return GetValue(a) == other->GetValue(a) && GetValue(b) == other->GetValue(b);
    };

    if (!same1(kDefinitionFlag)) return false;
    if (IsMainShape() != other->IsMainShape() || GetMainSlot() != other->GetMainSlot()) return false;
    if (IsAlternateShape() != other->IsAlternateShape() || GetAlternateSlot() != other->GetAlternateSlot())
        return false;
    if (GetMainFontNumber() != other->GetMainFontNumber() || GetMainFontSize() != other->GetMainFontSize() ||
        GetMainFontEffects() != other->GetMainFontEffects())
        return false;
    if (GetAlternateFontNumber() != other->GetAlternateFontNumber() ||
        GetAlternateFontSize() != other->GetAlternateFontSize() ||
        GetAlternateFontEffects() != other->GetAlternateFontEffects())
        return false;
    if (!same1(kMainUsesAlternate | kFlippedUsesAlternate | kFlag1000 | kFlag0200)) return false;
    if (comparePlayback) {
        if (!same2(kPlayback40) || !sameValues(kValueJ, kValueK)) return false;
        if (!same2(kPlayback10) || !sameValues(kValueL, kValueM)) return false;
        if (!same2(kPlayback20) || !sameValues(kValueE, kValueF)) return false;
        if (!same2(kPlayback08) || !sameValues(kValueG, kValueH)) return false;
    }
    if (compareFlagsB && (!same1(kFlagsB1) || !same2(kFlagsB2))) return false;
    if (comparePositionMode) {
        const int mode = GetPositionMode();
        if (mode != other->GetPositionMode()) return false;
        if (mode < 0 && !same1(kPositionModeMask)) return false;
    }
    if (comparePositions) {
        for (Value value : {kValueC, kValueB, kValueA, kValueD, kValueI})
            if (GetValue(value) != other->GetValue(value)) return false;
    }
    return true;
}

int FCArticulationDefs::LoadAllHandled(FCFontInfo* font) {
    if (font) {
        FCFontPrefs prefs;
        if (prefs.Load(FCFontPrefs::kArticulationFont)) prefs.GetFontInfo(font);
    }
    LoadAll();
    for (int i = GetCount() - 1; i >= 0; --i) {
        const FCArticulationDef* definition = GetItemAt(i);
        if (!definition || definition->UsesShape() ||
            !FCArticulationDef::IsHandledCharacter(definition->GetMainSymbolChar()))
            ClearItemAt(i);
    }
    return GetCount();
}

FCArticulationDef* FCArticulationDefs::FindOrCreateDefinition(FCArticulationDef* candidate) {
    if (!candidate) return nullptr;
    for (bool compareFlagsB : {true, false})
        for (int i = 0; i < GetCount(); ++i) {
            FCArticulationDef* definition = GetItemAt(i);
            if (definition && definition->IsIdenticalTo(candidate, false, false, compareFlagsB, true))
                return static_cast<FCArticulationDef*>(definition->Clone());
        }
    std::unique_ptr<FCArticulationDef> created(static_cast<FCArticulationDef*>(candidate->Clone()));
    // A host that does not report the number it assigned leaves no way to refer to the definition.
    if (created->SaveNew() && IsValidItem(created->GetItemNo())) Add(created->Clone());
    return created.release();
}
