// The expanded two-state sequence of one staff and layer, node after node, group after group, and
// the steps that shape the written sequence: beaming, rebarring and the grouping of its rests.
#pragma once

#include "framework/core/__FCBase.h"
#include "framework/core/__FCCollection.h"

#include <cstdint>

class FCMusicRegion;
class FCNoteEntry;
class FCNoteEntryLayer;

class FCTwoStateSequenceNode : public __FCBase {
public:
    FCTwoStateSequenceNode(int32_t duration, bool reference, bool on, FCNoteEntry* source, bool groupStart)
        : duration_(duration),
          reference_(reference),
          on_(on),
          source_(source),
          target_(nullptr),
          groupStart_(groupStart) {}
    FC_CLASS_INFO(FCTwoStateSequenceNode)

    int32_t GetDuration() const { return duration_; }
    // The node stands for one of the two reference entries already in the score.
    bool IsReference() const { return reference_; }
    void SetReference(bool state) { reference_ = state; }
    // The 'ON' state (the first reference entry).
    bool IsOn() const { return on_; }
    FCNoteEntry* GetSource() const { return source_; }
    FCNoteEntry* GetTarget() const { return target_; }
    void SetTarget(FCNoteEntry* entry) { target_ = entry; }
    bool IsGroupStart() const { return groupStart_; }
    // The entry in the score for the node: the reference entry itself or the one written for it.
    FCNoteEntry* GetActualEntry() const { return reference_ ? source_ : target_; }

private:
    int32_t duration_;
    bool reference_;
    bool on_;
    FCNoteEntry* source_;  // not owned
    FCNoteEntry* target_;  // not owned
    bool groupStart_;
};

class FCTwoStateSequenceCollection : public __FCCollection {
public:
    FC_CLASS_INFO(FCTwoStateSequenceCollection)

    FCTwoStateSequenceNode* GetItemAt(int i) const { return ItemAs<FCTwoStateSequenceNode>(i); }

    // Appends the nodes of every group (counts in order) from the reference entries a and b: which
    // positions are 'ON' follows the sequence type (0 "ABBBBBB", 1 "AAAAAAB", 2 "ABBBBBA").
    void Build(const int* counts, int groupCount, int type, FCNoteEntry* a, FCNoteEntry* b);
    int CountGroups() const;
    int32_t CalcTotalDuration() const;

    // A beam starts on every node's entry that stands on a beat of its measure's time signature.
    void BeamToTimeSignature();
    // With the document's four-eighths preference: four eighth notes filling the first or second
    // half of a measure of four quarter beats are beamed as one group.
    void ApplyFourEighthsRule(FCNoteEntryLayer* layer);
    // A beam starts on the first entry of every group.
    void BeamToSequenceGroups();
    // The measure of each group gets a time signature as long as the group. False when a measure
    // could not be saved.
    bool RebarToSequenceGroups();
    // The entries of measures the sequence holds only rests in get duration 0 (the caller deletes
    // them).
    void ClearRestOnlyMeasures();
    // Runs of rests in one measure and one group are merged into their first while the sum is a
    // plain or dotted value; the merged ones get duration 0 (the caller deletes them).
    void GroupRestsToSequenceGroups();

    // The rests of the layer within the region are split at beat-group boundaries of their
    // measure, merged within a beat group, and merged into whole-measure and half-measure rests.
    // False when a save or reload of the layer failed.
    static bool GroupRestsToTimeSignature(FCNoteEntryLayer* layer, const FCMusicRegion* region);

    // The rest lengths a run of rests in a sequence group may be merged to: 4096 down to 128, or
    // one and a half times one of them.
    static bool IsGroupedRestDuration(int32_t duration);
    // The lengths rests of one beat group may be merged to: the highest power of two in the
    // length (up to 8192), or that dotted once, twice or three times.
    static bool IsMergedRestDuration(int32_t duration);
    // The beat duration that gives a measure of the total: 1024, 1536 or 512 when it divides,
    // else the first of the finer values that does; 0 when none does.
    static int32_t CalcRebarBeatDuration(int32_t total);
};
