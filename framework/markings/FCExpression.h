// An expression placed in a measure (tag SODY, keyed by measure and incidence): a text or shape
// expression definition on a staff at a position in the measure, with its layer assignment and
// where it is shown. The 24-byte structure lives inside the object, which counts as loaded from
// construction, so a new expression can be filled and created. FCExpressions owns the
// expressions of one measure (all staves) or of one cell.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCInciOther.h"

class FCCell;
class FCShapeExpressionDef;
class FCTextExpressionDef;

class FCExpression : public __FCInciOther {
public:
    static constexpr uint32_t kTag = FXTag('S', 'O', 'D', 'Y');
    static constexpr uint32_t kDataSize = 24;

    // Bits of the flag word.
    static constexpr uint16_t kLayerMask = 0x0007;
    static constexpr uint16_t kHiddenInParts = 0x0800;
    static constexpr uint16_t kHiddenInScore = 0x1000;
    static constexpr uint16_t kShapeDefinition = 0x2000;
    static constexpr uint16_t kHiddenInCurrentPart = 0x4000;

    FCExpression();
    FC_CLASS_INFO(FCExpression)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCExpression; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }
    // Clears the structure first, so a short record never shows the previous record's bytes.
    bool Reload() override;
    // The measure is the item number.
    int GetMeasure() override { return GetKeyWord(0); }
    int GetStaff() override;
    bool HasMeasurePos() override { return true; }
    int GetMeasurePos() override;

    int GetDefinitionNumber() const;
    void SetDefinitionNumber(int number);
    bool IsShape() const;
    // Marks the definition number as a shape (true) or text (false) expression definition.
    void SetShape(bool state);
    void SetStaff(int staff);
    // In EDUs from the start of the measure; 32-bit, over two words of the record.
    void SetMeasurePos(int position);
    // 0: not assigned to a layer; 1-4 that layer.
    int GetLayerAssignment() const;
    // Only the low three bits of the value are kept.
    void SetLayerAssignment(int layer);
    bool GetShownInParts() const;
    void SetShownInParts(bool state);
    bool GetShownInScore() const;
    void SetShownInScore(bool state);
    // The host keeps this state per part: it reads and writes the part in view.
    bool GetShownInCurrentPart() const;
    void SetShownInCurrentPart(bool state);
    uint16_t GetFlags() const;

    // The definition as a new loaded object owned by the caller; null for the other kind of
    // expression or when the definition cannot be loaded.
    FCTextExpressionDef* CreateTextExpressionDef() const;
    FCShapeExpressionDef* CreateShapeExpressionDef() const;
    // Makes the expression show this text definition. False, with nothing changed, for no
    // definition or a definition number below 1.
    bool SetTextDefinition(const FCTextExpressionDef* definition);
    bool SetShapeDefinition(const FCShapeExpressionDef* definition);

    // Creates the expression as a new incidence of the cell's measure, on the cell's staff. The
    // measure is marked as having expressions first. False when the measure cannot be loaded or
    // saved, or the host refuses the record.
    bool SaveNewIntoCell(const FCCell* cell);
    // Creates the expression as it is (same staff) as a new incidence of the measure, and marks
    // the measure as having expressions. False as for SaveNewIntoCell.
    bool SaveNewUnderMeasure(int measure);

private:
    int Word(int offset) const { return fcdata::Read<uint16_t>(data_, offset); }
    void SetWord(int offset, int value) { fcdata::Write<uint16_t>(data_, offset, uint16_t(value)); }
    void SetFlagBits(uint16_t mask, bool state);
    static bool MarkMeasure(int measure);

    uint8_t data_[kDataSize];
};

class FCExpressions : public __FCCollectionInciOther {
public:
    FC_CLASS_INFO(FCExpressions)
    __FCBaseData* CreateElement() override { return new FCExpression; }
    FCExpression* GetItemAt(int i) const { return ItemAs<FCExpression>(i); }
    // slot 15: the expressions of the cell's measure that stand on the cell's staff, in
    // incidence order; the new count.
    virtual int LoadAllInCell(const FCCell* cell);
};
