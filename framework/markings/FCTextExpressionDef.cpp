#include "framework/markings/FCTextExpressionDef.h"

#include "framework/markings/FCCategoryDef.h"
#include "framework/markings/FCRawText.h"
#include "framework/markings/FCTextBlock.h"
#include "framework/markings/HostText.h"

#include <cstring>

namespace {

constexpr int kTextBlock = 0;
constexpr int kRehearsalMark = 2;
constexpr int kAlignment = 12;
constexpr int kCategory = 26;
// The definition's offsets of the category's placement values, in the category's order.
constexpr int kPlacement[FCTextExpressionDef::kPlacementCount] = {14, 16, 24, 32, 30};
static_assert(kCategory + 2 <= FCTextExpressionDef::kHeaderSize && 32 + 2 == FCTextExpressionDef::kHeaderSize,
              "the fixed part of a text expression definition is 34 bytes");
static_assert(FCTextExpressionDef::kPlacementCount == FCCategoryDef::kPlacementCount,
              "definitions take over every placement value of a category");

bool IsSignedPlacement(int index) { return index == 0 || index == 2; }

bool IsValidItem(int number) { return number > 0 && number < 0xFFFF; }

}  // namespace

FCTextExpressionDef::FCTextExpressionDef() : __FCVariableNoInciOther(kMinimumSize) {
    Allocate(kMinimumSize);
    SetLoadedSize(kMinimumSize);
}

uint8_t* FCTextExpressionDef::WritableBytes() {
    if (!Bytes()) Allocate(kMinimumSize);
    return Bytes();
}

uint32_t FCTextExpressionDef::GetDataVersion() {
    return hostapi::GetHostVersion() >= hostapi::kUTF16HostVersion ? 0x12050000 : 0x0F000000;
}

bool FCTextExpressionDef::Save() {
    if (IsLoaded() && GetLoadedSize() < kMinimumSize) SetLoadedSize(kMinimumSize);
    return __FCNoInciOther::Save();
}

bool FCTextExpressionDef::DeepDeleteData() {
    DeleteText();
    return DeleteData();
}

bool FCTextExpressionDef::LoadNext() {
    const int item = GetItemNo();
    // 0xFFFF asks the host for a new number; it is never a definition.
    if (item + 1 >= 0xFFFF) return false;
    if (Load(uint16_t(item + 1))) return true;
    // A deleted definition leaves a gap; the host's walk goes on from the missing number.
    return __FCNoInciOther::LoadNext();
}

int FCTextExpressionDef::Word(int offset) const { return Bytes() ? fcdata::Read<uint16_t>(Bytes(), offset) : 0; }

int FCTextExpressionDef::SignedWord(int offset) const { return Bytes() ? fcdata::Read<int16_t>(Bytes(), offset) : 0; }

void FCTextExpressionDef::SetWord(int offset, int value) {
    fcdata::Write<uint16_t>(WritableBytes(), offset, uint16_t(value));
}

int FCTextExpressionDef::GetTextBlockNumber() const { return Word(kTextBlock); }
void FCTextExpressionDef::SetTextBlockNumber(int number) { SetWord(kTextBlock, number); }
bool FCTextExpressionDef::IsRehearsalMark() const { return Word(kRehearsalMark) != 0; }
void FCTextExpressionDef::SetRehearsalMark(bool state) { SetWord(kRehearsalMark, state ? 1 : 0); }
int FCTextExpressionDef::GetHorizontalAlignment() const { return SignedWord(kAlignment); }
void FCTextExpressionDef::SetHorizontalAlignment(int alignment) { SetWord(kAlignment, alignment); }

int FCTextExpressionDef::GetPlacementValue(int index) const {
    if (index < 0 || index >= kPlacementCount) return 0;
    return IsSignedPlacement(index) ? SignedWord(kPlacement[index]) : Word(kPlacement[index]);
}

void FCTextExpressionDef::SetPlacementValue(int index, int value) {
    if (index < 0 || index >= kPlacementCount) return;
    SetWord(kPlacement[index], value);
}

int FCTextExpressionDef::GetCategoryNumber() const { return Word(kCategory) & kCategoryMask; }

void FCTextExpressionDef::SetCategoryNumber(int number) {
    SetWord(kCategory, (Word(kCategory) & ~kCategoryMask) | (number & kCategoryMask));
}

void FCTextExpressionDef::SetCategoryBit(uint16_t bit, bool state) {
    // Older hosts keep other meanings in these bits.
    if (!hostapi::UseUTF16()) return;
    const int word = Word(kCategory);
    SetWord(kCategory, state ? (word | bit) : (word & ~bit));
}

bool FCTextExpressionDef::GetUseCategoryFont() const {
    return hostapi::UseUTF16() && (Word(kCategory) & kUseCategoryFont) != 0;
}
void FCTextExpressionDef::SetUseCategoryFont(bool state) { SetCategoryBit(kUseCategoryFont, state); }
bool FCTextExpressionDef::GetUseCategoryPlacement() const {
    return hostapi::UseUTF16() && (Word(kCategory) & kUseCategoryPlacement) != 0;
}
void FCTextExpressionDef::SetUseCategoryPlacement(bool state) { SetCategoryBit(kUseCategoryPlacement, state); }

void FCTextExpressionDef::GetDescription(FCString* description) const {
    if (!description) return;
    description->Clear();
    if (!Bytes() || !IsLoaded()) return;
    const int size = const_cast<FCTextExpressionDef*>(this)->GetLoadedSize();
    const int end = size < int(Capacity()) ? size : int(Capacity());
    if (end <= kHeaderSize) return;
    hosttext::Read(Bytes() + kHeaderSize, end - kHeaderSize, hostapi::UseUTF16(), description);
}

void FCTextExpressionDef::SetDescription(const FCString* description) {
    const bool utf16 = hostapi::UseUTF16();
    uint8_t header[kHeaderSize];
    std::memcpy(header, WritableBytes(), kHeaderSize);
    const bool loaded = IsLoaded();
    // 36 bytes and the characters: an 8-bit description keeps one spare byte after its terminator.
    const int textSize = hosttext::EncodedSize(description, utf16) + (utf16 ? 0 : 1);
    const int size = kHeaderSize + textSize;
    uint8_t* data = Allocate(uint32_t(size));
    std::memcpy(data, header, kHeaderSize);
    hosttext::Write(data + kHeaderSize, textSize, description, utf16);
    SetLoadedSize(loaded ? size : 0);
}

bool FCTextExpressionDef::GetText(FCString* text) const {
    if (!text) return false;
    text->Clear();
    FCTextBlock block;
    if (!IsValidItem(GetTextBlockNumber()) || !block.Load(uint16_t(GetTextBlockNumber()))) return false;
    FCRawText raw;
    raw.SetCustomTag(FCRawText::kExpressionTextTag);
    if (!IsValidItem(block.GetRawTextNumber()) || !raw.Load(uint16_t(block.GetRawTextNumber()))) return false;
    raw.GetText(text);
    return true;
}

FCString* FCTextExpressionDef::CreateTextString() const {
    FCString* text = new FCString;
    GetText(text);
    return text;
}

bool FCTextExpressionDef::SetText(const FCString* text) {
    FCRawText raw;
    raw.SetCustomTag(FCRawText::kExpressionTextTag);
    raw.SetText(text);
    if (!raw.SaveNew()) return false;
    // A host that does not report the number it assigned leaves no way to link the text.
    if (!IsValidItem(raw.GetItemNo())) return false;
    FCTextBlock block;
    block.SetRawTextNumber(raw.GetItemNo());
    block.SetTextKind(FCTextBlock::kExpressionTextKind);
    if (!block.SaveNew() || !IsValidItem(block.GetItemNo())) {
        raw.DeleteData();
        return false;
    }
    SetTextBlockNumber(block.GetItemNo());
    return true;
}

bool FCTextExpressionDef::DeleteText() {
    FCTextBlock block;
    if (!IsValidItem(GetTextBlockNumber()) || !block.Load(uint16_t(GetTextBlockNumber()))) return false;
    FCRawText raw;
    raw.SetCustomTag(FCRawText::kExpressionTextTag);
    if (IsValidItem(block.GetRawTextNumber()) && raw.Load(uint16_t(block.GetRawTextNumber()))) raw.DeleteData();
    return block.DeleteData();
}

bool FCTextExpressionDef::AssignToCategory(FCCategoryDef* category) {
    if (!category || !category->IsLoaded() || category->GetItemNo() < 1) return false;
    SetCategoryNumber(category->GetItemNo());
    SetUseCategoryFont(true);
    SetHorizontalAlignment(category->GetHorizontalAlignment());
    for (int i = 0; i < kPlacementCount; ++i) SetPlacementValue(i, category->GetPlacementValue(i));
    SetUseCategoryPlacement(true);
    return true;
}
