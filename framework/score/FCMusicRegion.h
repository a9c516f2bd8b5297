// The rectangle of music a task works on: a run of staves (slots in score order) times a run of
// measures, with exact start and end positions. Held as the host's 20-byte region structure so
// it can be read from and handed back to the host unchanged. A plain value; it owns nothing.
#pragma once

#include "framework/core/__FCBase.h"

#include <cstdint>

class FCNoteEntry;

class FCMusicRegion : public __FCBase {
public:
    static constexpr int kRegionDataSize = 20;
    // End position meaning "up to the end of the end measure".
    static constexpr int32_t kEndOfMeasure = 0x7FFFFFFF;

    // An empty region (all fields 0), or a copy of a host region structure together with the
    // identifier of the current document.
    explicit FCMusicRegion(const void* sourceRegionData = nullptr);
    FC_CLASS_INFO(FCMusicRegion)

    // slot 6: same staff list, staves (as staff numbers), measures and positions.
    virtual bool IsEqual(FCMusicRegion* other);

    // The user's selection (second host region); false when the host call failed.
    bool SetCurrentSelection();
    // Every staff and measure of the document (third host region); always true.
    bool SetFullDocument();
    // Makes this region the host's selection; refused for a region of another document.
    bool SetAsSelection();
    // Copies the 20-byte host structure out (for host calls that take a region).
    void GetRegionData(void* destination) const;
    // Replaces the 20-byte structure without asking the host for the document.
    void SetRegionData(const void* source);
    int16_t GetDocumentID() const { return documentID_; }

    // The start staff list number (the one slot conversions use).
    int GetStaffListNumber() const;
    int GetEndStaffListNumber() const;
    // Sets the start and the end staff list number.
    void SetStaffListNumber(int number);
    int GetStartSlot() const;
    int GetEndSlot() const;
    void SetStartSlot(int slot);
    void SetEndSlot(int slot);
    int GetStartMeasure() const;
    void SetStartMeasure(int measure);
    int GetEndMeasure() const;
    void SetEndMeasure(int measure);
    int32_t GetStartMeasurePos() const;
    void SetStartMeasurePos(int32_t edu);
    int32_t GetEndMeasurePos() const;
    void SetEndMeasurePos(int32_t edu);

    // Slot and staff conversions through the host, in the region's staff list. 0 when the host
    // cannot answer.
    int CalcStartStaff() const;
    int CalcEndStaff() const;
    void SetStartStaff(int staff);
    void SetEndStaff(int staff);
    int CalcStaffNumber(int slot) const;
    int CalcSlotNumber(int staff) const;

    bool IsEmpty() const;
    bool IsEndMeasurePosMax() const { return GetEndMeasurePos() == kEndOfMeasure; }
    bool IsMeasureIncluded(int measure) const;
    bool IsSlotIncluded(int slot) const;
    bool IsStaffIncluded(int staff) const;
    // Both ends inclusive.
    bool IsMeasurePosIncluded(int measure, int32_t position) const;
    bool IsEntryIncluded(const FCNoteEntry* entry) const;

    // EDUs the region spans (measure lengths as the host gives them for the start staff).
    int32_t CalcDuration() const;
    // The region becomes the last `duration` EDUs before its end; false (unchanged) when the
    // music before the end is shorter.
    bool MoveStartToDuration(int32_t duration);
    // The region becomes the first `duration` EDUs from its start; false (unchanged) when the
    // music after the start is shorter.
    bool MoveEndToDuration(int32_t duration);

private:
    int16_t Word(int offset) const;
    void SetWord(int offset, int value);
    int32_t Long(int offset) const;
    void SetLong(int offset, int32_t value);
    int32_t MeasureDuration(int measure) const;

    uint8_t data_[kRegionDataSize];
    int16_t documentID_;
};
