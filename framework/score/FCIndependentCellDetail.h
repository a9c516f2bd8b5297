// The one record per cell (staff x measure) that holds the cell's own key and time signature on
// a staff with independent key or time signatures. Tag and data version follow the host version.
#pragma once

#include "framework/host/__FCCellDetail.h"

class FCTimeSignature;

class FCIndependentCellDetail : public __FCNoInciCellDetail {
public:
    static constexpr uint32_t kTag = FXTag('S', 'D', 'F', 'L');
    static constexpr uint32_t kOldTag = FXTag('D', '\x02', 'F', 'L');
    static constexpr uint32_t kDataSize = 20;

    // Byte offsets, the same under both tags.
    static constexpr int kPresenceOffset = 0;      // which of the two signatures the cell has
    static constexpr int kKeySignatureOffset = 2;  // key value, as a measure stores it
    static constexpr int kBeatsOffset = 4;         // beats, or the composite top's item number
    static constexpr int kBeatDurationOffset = 6;  // beat duration, or the composite bottom's item number
    static constexpr int kTimeFlagsOffset = 8;     // composite bits as in the measure record
    static constexpr uint16_t kHasKeySignature = 0x0001;
    static constexpr uint16_t kHasTimeSignature = 0x0002;
    static_assert(kTimeFlagsOffset + 2 <= int(kDataSize), "independent cell record is 20 bytes");

    FCIndependentCellDetail();
    FC_CLASS_INFO(FCIndependentCellDetail)

    // The tag a host of this version keeps cell records under.
    static uint32_t TagForHostVersion(uint32_t hostVersion);

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCIndependentCellDetail; }
    uint32_t GetTag() override;
    uint32_t GetDataVersion() override;
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }

    // Writes the record of the cell (creating or replacing it): each cell has exactly one, so
    // it is saved under the cell's key rather than created with a new incidence.
    bool SaveForCell(FCCell* cell);

    bool HasKeySignature() const;
    uint16_t GetKeySignatureValue() const;
    // Stores the key and marks it present.
    void SetKeySignatureValue(uint16_t value);
    bool HasTimeSignature() const;
    // Copies beats, beat duration and the composite flags into the given time signature; false
    // (nothing copied) when the cell has no time signature.
    bool CopyTimeSignatureTo(FCTimeSignature* destination) const;
    // Stores the time signature's fields and marks it present.
    void SetTimeSignature(const FCTimeSignature* source);
    void ClearKeySignature();
    void ClearTimeSignature();

private:
    uint16_t Word(int offset) const { return fcdata::Read<uint16_t>(data_, offset); }
    void SetWord(int offset, uint16_t value) { fcdata::Write<uint16_t>(data_, offset, value); }
    void SetPresence(uint16_t mask, bool state);

    uint8_t data_[kDataSize];
};
