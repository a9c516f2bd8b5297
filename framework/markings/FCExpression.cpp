#include "framework/markings/FCExpression.h"

#include "framework/markings/FCShapeExpressionDef.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCMeasure.h"

#include <cstring>
#include <memory>

namespace {

constexpr int kDefinition = 0;
constexpr int kPositionLow = 2;
constexpr int kStaff = 8;
constexpr int kFlags = 10;
constexpr int kCellWord = 14;
constexpr int kPositionHigh = 16;
static_assert(kPositionHigh + 2 <= int(FCExpression::kDataSize), "expression record is 24 bytes");

}  // namespace

FCExpression::FCExpression() { UseClearedData(data_, kDataSize); }

bool FCExpression::Reload() {
    std::memset(data_, 0, sizeof data_);
    return __FCInciOther::Reload();
}

int FCExpression::GetStaff() { return fcdata::Read<int16_t>(data_, kStaff); }
void FCExpression::SetStaff(int staff) { SetWord(kStaff, staff); }

int FCExpression::GetMeasurePos() {
    const int32_t high = fcdata::Read<int16_t>(data_, kPositionHigh);
    const int32_t low = fcdata::Read<int16_t>(data_, kPositionLow);
    return int(uint32_t(high) * 65536u + uint32_t(low));
}

void FCExpression::SetMeasurePos(int position) {
    // The low word is read back as signed, so the high word takes whatever the signed low word
    // leaves: positions from 32768 on read back unchanged.
    const int16_t low = int16_t(uint16_t(uint32_t(position) & 0xFFFF));
    const uint32_t high = (uint32_t(position) - uint32_t(int32_t(low))) >> 16;
    SetWord(kPositionLow, uint16_t(low));
    SetWord(kPositionHigh, int(high & 0xFFFF));
}

int FCExpression::GetDefinitionNumber() const { return Word(kDefinition); }
void FCExpression::SetDefinitionNumber(int number) { SetWord(kDefinition, number); }
uint16_t FCExpression::GetFlags() const { return uint16_t(Word(kFlags)); }

void FCExpression::SetFlagBits(uint16_t mask, bool state) {
    const int flags = Word(kFlags);
    SetWord(kFlags, state ? (flags | mask) : (flags & ~mask));
}

bool FCExpression::IsShape() const { return (GetFlags() & kShapeDefinition) != 0; }
void FCExpression::SetShape(bool state) { SetFlagBits(kShapeDefinition, state); }
int FCExpression::GetLayerAssignment() const { return GetFlags() & kLayerMask; }
void FCExpression::SetLayerAssignment(int layer) { SetWord(kFlags, (GetFlags() & ~kLayerMask) | (layer & kLayerMask)); }
bool FCExpression::GetShownInParts() const { return (GetFlags() & kHiddenInParts) == 0; }
void FCExpression::SetShownInParts(bool state) { SetFlagBits(kHiddenInParts, !state); }
bool FCExpression::GetShownInScore() const { return (GetFlags() & kHiddenInScore) == 0; }
void FCExpression::SetShownInScore(bool state) { SetFlagBits(kHiddenInScore, !state); }
bool FCExpression::GetShownInCurrentPart() const { return (GetFlags() & kHiddenInCurrentPart) == 0; }
void FCExpression::SetShownInCurrentPart(bool state) { SetFlagBits(kHiddenInCurrentPart, !state); }

FCTextExpressionDef* FCExpression::CreateTextExpressionDef() const {
    const int number = GetDefinitionNumber();
    if (IsShape() || number < 1 || number >= 0xFFFF) return nullptr;
    std::unique_ptr<FCTextExpressionDef> definition(new FCTextExpressionDef);
    if (!definition->Load(uint16_t(number))) return nullptr;
    return definition.release();
}

FCShapeExpressionDef* FCExpression::CreateShapeExpressionDef() const {
    const int number = GetDefinitionNumber();
    if (!IsShape() || number < 1 || number >= 0xFFFF) return nullptr;
    std::unique_ptr<FCShapeExpressionDef> definition(new FCShapeExpressionDef);
    if (!definition->Load(uint16_t(number))) return nullptr;
    return definition.release();
}

bool FCExpression::SetTextDefinition(const FCTextExpressionDef* definition) {
    if (!definition || definition->GetItemNo() < 1) return false;
    SetDefinitionNumber(definition->GetItemNo());
    SetShape(false);
    return true;
}

bool FCExpression::SetShapeDefinition(const FCShapeExpressionDef* definition) {
    if (!definition || definition->GetItemNo() < 1) return false;
    SetDefinitionNumber(definition->GetItemNo());
    SetShape(true);
    return true;
}

bool FCExpression::MarkMeasure(int measure) {
    if (measure < 1 || measure >= 0xFFFF) return false;
    FCMeasure record;
    if (!record.Load(uint16_t(measure))) return false;
    if (record.GetHasExpressions()) return true;
    record.SetHasExpressions(true);
    return record.Save();
}

bool FCExpression::SaveNewIntoCell(const FCCell* cell) {
    if (!cell || !IsLoaded() || !MarkMeasure(cell->GetMeasure())) return false;
    SetWord(kCellWord, 0);
    SetStaff(cell->GetStaff());
    return SaveNew(uint16_t(cell->GetMeasure()));
}

bool FCExpression::SaveNewUnderMeasure(int measure) {
    if (!IsLoaded() || !MarkMeasure(measure)) return false;
    return SaveNew(uint16_t(measure));
}

int FCExpressions::LoadAllInCell(const FCCell* cell) {
    ClearAll();
    if (!cell || cell->GetMeasure() < 1 || cell->GetMeasure() >= 0xFFFF) return 0;
    LoadAllForItem(uint16_t(cell->GetMeasure()));
    for (int i = GetCount() - 1; i >= 0; --i) {
        FCExpression* expression = GetItemAt(i);
        if (!expression || expression->GetStaff() != cell->GetStaff()) ClearItemAt(i);
    }
    return GetCount();
}
