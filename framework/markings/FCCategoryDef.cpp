#include "framework/markings/FCCategoryDef.h"

#include "framework/core/FCFontInfo.h"
#include "framework/markings/HostText.h"

#include <cmath>
#include <cstring>

namespace {

constexpr FCCategoryDef::Layout kLongLayout = {hostapi::kUTF16HostVersion, 296, true, 2, 258, 260,
                                               {278, 282, 284, 286, 288},  280, 294};
constexpr FCCategoryDef::Layout kShortLayout = {0x0F000000, 104, false, 2, 66, 68, {86, 90, 92, 94, 96}, 88, 102};
static_assert(kLongLayout.flags + 2 == int(kLongLayout.size), "category record, 296 bytes");
static_assert(kShortLayout.flags + 2 == int(kShortLayout.size), "old category record, 104 bytes");
static_assert(kLongLayout.name + kLongLayout.nameRoom == kLongLayout.textFont, "the name runs up to the font");
static_assert(kShortLayout.name + kShortLayout.nameRoom == kShortLayout.textFont, "the name runs up to the font");
static_assert(FCCategoryDef::kMaxDataSize == kLongLayout.size, "the buffer holds the larger layout");

// The placement values read as signed: the first and the third.
bool IsSignedPlacement(int index) { return index == 0 || index == 2; }

}  // namespace

const FCCategoryDef::Layout& FCCategoryDef::LayoutForHostVersion(uint32_t hostVersion) {
    return hostVersion >= hostapi::kUTF16HostVersion ? kLongLayout : kShortLayout;
}

FCCategoryDef::FCCategoryDef() { UseClearedData(data_, int32_t(GetDataSize())); }

bool FCCategoryDef::Reload() {
    std::memset(data_, 0, sizeof data_);
    return __FCNoInciOther::Reload();
}

int FCCategoryDef::GetCategoryType() const { return SignedWord(0); }
void FCCategoryDef::SetCategoryType(int type) { SetWord(0, type); }

void FCCategoryDef::GetName(FCString* name) const {
    const Layout& layout = CurrentLayout();
    hosttext::Read(data_ + layout.name, layout.nameRoom, layout.utf16Name, name);
}

void FCCategoryDef::SetName(const FCString* name) {
    const Layout& layout = CurrentLayout();
    hosttext::Write(data_ + layout.name, layout.nameRoom, name, layout.utf16Name);
}

int FCCategoryDef::GetTextFontNumber() const { return SignedWord(CurrentLayout().textFont); }
int FCCategoryDef::GetTextFontSize() const { return SignedWord(CurrentLayout().textFont + 2); }
int FCCategoryDef::GetTextFontEffects() const { return Word(CurrentLayout().textFont + 4); }

bool FCCategoryDef::GetTextFontInfo(FCFontInfo* font) const {
    if (!font) return false;
    const int number = GetTextFontNumber();
    char name[256] = {0};
    if (hostapi::FX_FontNumToName(int16_t(number), name, int32_t(sizeof name), kFXInterfaceVersion) && name[0]) {
        name[sizeof name - 1] = 0;
        font->SetName(name);
    } else {
        font->SetName("Times New Roman");
    }
    font->SetNameNumber(int16_t(number));
    font->SetSize(float(GetTextFontSize()));
    font->SetEffects(uint16_t(GetTextFontEffects()));
    return true;
}

void FCCategoryDef::SetTextFontInfo(const FCFontInfo* font) {
    if (!font) return;
    int16_t number = font->GetNameNumber();
    if (font->GetName()[0]) {
        // 0 is both a font number and the host's answer for a name it does not know.
        const int16_t found = hostapi::FX_FontNameToNum(font->GetName(), kFXInterfaceVersion);
        char check[256] = {0};
        if (found > 0 ||
            (found == 0 && hostapi::FX_FontNumToName(0, check, int32_t(sizeof check) - 1, kFXInterfaceVersion) &&
             std::strcmp(check, font->GetName()) == 0))
            number = found;
    }
    const int offset = CurrentLayout().textFont;
    SetWord(offset, number);
    const float size = font->GetSize();
    int whole = 0;
    if (size >= 32767.0f)
        whole = 32767;
    else if (size <= -32768.0f)
        whole = -32768;
    else if (!std::isnan(size))
        whole = int(size);
    SetWord(offset + 2, whole);
    SetWord(offset + 4, font->GetEffects());
}

int FCCategoryDef::GetHorizontalAlignment() const { return SignedWord(CurrentLayout().horizontalAlignment); }
void FCCategoryDef::SetHorizontalAlignment(int alignment) { SetWord(CurrentLayout().horizontalAlignment, alignment); }

int FCCategoryDef::GetPlacementValue(int index) const {
    if (index < 0 || index >= kPlacementCount) return 0;
    const int offset = CurrentLayout().placement[index];
    return IsSignedPlacement(index) ? SignedWord(offset) : Word(offset);
}

void FCCategoryDef::SetPlacementValue(int index, int value) {
    if (index < 0 || index >= kPlacementCount) return;
    SetWord(CurrentLayout().placement[index], value);
}

uint16_t FCCategoryDef::GetFlags() const { return uint16_t(Word(CurrentLayout().flags)); }
void FCCategoryDef::SetFlags(uint16_t flags) { SetWord(CurrentLayout().flags, flags); }

bool FCCategoryDef::IsSameAs(const FCCategoryDef* other) const {
    if (!other || other->GetKeyWord(0) != GetKeyWord(0)) return false;
    if (other->GetCategoryType() != GetCategoryType() || other->GetFlags() != GetFlags()) return false;
    FCString name, otherName;
    GetName(&name);
    other->GetName(&otherName);
    return name.IsEqual(&otherName);
}

FCCategoryDef* FCCategoryDefs::FindItemNo(int number) const {
    for (int i = 0; i < GetCount(); ++i) {
        FCCategoryDef* category = GetItemAt(i);
        if (category && category->GetItemNo() == number) return category;
    }
    return nullptr;
}
