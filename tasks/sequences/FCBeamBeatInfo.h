// The beat groups of one time signature: where each group starts in the measure, in rising order.
// Rest grouping asks which group a position falls into.
#pragma once

#include "framework/core/__FCBase.h"
#include "framework/core/__FCCollection.h"

#include <cstdint>

class FCTimeSignature;

class FCBeamBeatInfoElement : public __FCBase {
public:
    explicit FCBeamBeatInfoElement(int32_t start = -1) : start_(start) {}
    FC_CLASS_INFO(FCBeamBeatInfoElement)

    // EDUs from the start of the measure; -1 before it is set.
    int32_t GetStart() const { return start_; }
    void SetStart(int32_t start) { start_ = start; }

private:
    int32_t start_;
};

class FCBeamBeatInfo : public __FCCollection {
public:
    FC_CLASS_INFO(FCBeamBeatInfo)

    FCBeamBeatInfoElement* GetItemAt(int i) const { return ItemAs<FCBeamBeatInfoElement>(i); }

    // Replaces the list with the beat starts of the time signature: one per beat, or in a composite
    // meter one per element of the top, each lasting its beats of its group's beat duration. A
    // composite bottom whose group count differs from the top's leaves the list empty.
    void Build(const FCTimeSignature* timeSignature);
    // The index of the last group that starts at or before the position; -1 for an empty list or
    // a position before the first start.
    int GetGroupIndex(int32_t position) const;
    // The start of group i, or -1.
    int32_t GetGroupStart(int i) const;
};
