// The time signature of a measure or cell: beats, beat duration and the two composite flags. With
// composite beats set, beats is the item number of a composite top; with composite duration set,
// the beat duration is the item number of a composite bottom. A value object (tag 0) that never
// reaches the host by itself; measures and cells own theirs.
#pragma once

#include "framework/host/__FCBaseData.h"

#include <vector>

class FCCompositeTimeSigTop;
class FCCompositeTimeSigBottom;

class FCTimeSignature : public __FCBaseData {
public:
    static constexpr uint32_t kDataSize = 7;

    FCTimeSignature();
    FC_CLASS_INFO(FCTimeSignature)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCTimeSignature; }
    uint32_t GetTag() override { return 0; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }
    // A value object has no record of its own.
    bool LoadFirst() override { return false; }
    bool LoadNext() override { return false; }
    bool Reload() override { return false; }
    bool Save() override { return false; }
    bool DeleteData() override { return false; }

    int GetBeats() const;
    void SetBeats(int beats);
    int GetBeatDuration() const;
    void SetBeatDuration(int duration);
    bool IsCompositeTop() const;
    void SetCompositeTop(bool composite);
    bool IsCompositeBottom() const;
    void SetCompositeBottom(bool composite);

    // A new collection the caller owns: loaded for the stored item number when the matching
    // composite flag is set, otherwise empty.
    FCCompositeTimeSigTop* GetCompositeTop() const;
    FCCompositeTimeSigBottom* GetCompositeBottom() const;

    // Beats of the measure: in a composite meter, one per element of every group.
    int GetBeatCount() const;
    // Positions are EDUs from the measure start.
    bool IsBeatStartPos(int32_t position) const;
    // The 0-based beat that starts at the position, or -1.
    int GetBeatIndexAt(int32_t position) const;
    // Simple meter: the start of the beat before the position (the previous beat at an exact
    // beat start); composite meter: the start of the element that holds the position.
    int32_t GetBeatStartBefore(int32_t position) const;
    // The start of the beat after the one at position: simple meter the next multiple of the
    // beat duration below beats x beat duration; composite meter the next element start. False
    // when there is none.
    bool GetNextBeatStartPos(int32_t position, int32_t* next) const;

private:
    // Composite meters: the start of every element in order; false when the top has no entries.
    bool CompositeStarts(std::vector<int32_t>& starts, int32_t& total) const;

    uint8_t data_[kDataSize];
};
