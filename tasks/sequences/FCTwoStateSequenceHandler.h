// The work of Two-state Pattern: the note counts of the groups, and the expansion of the two
// reference entries at the region start into the whole sequence in every staff and layer that has
// them, checked once without writing before it is written.
#pragma once

#include "framework/core/FCIteratorHandler.h"
#include "framework/core/FCNumberCollection.h"
#include "framework/core/__FCBase.h"
#include "framework/score/FCMusicRegion.h"

#include <cstdint>
#include <vector>

class FCMusicRegion;
class FCNoteEntry;
class FCNoteEntryLayer;
class FCString;
class FCTwoStateSequenceCollection;
class FCUI;

// Matches the first entry that stands at the region's start position in its measure (grace
// notes never do).
class FCDurationStartFinder : public FCIteratorHandler {
public:
    explicit FCDurationStartFinder(const FCMusicRegion* region) : region_(region) {}
    FC_CLASS_INFO(FCDurationStartFinder)

    bool IsMatch(__FCBase* element) override;

private:
    const FCMusicRegion* region_;
};

class FCTwoStateSequenceHandler : public __FCBase {
public:
    // The options the expansion reads from the settings.
    enum { kTypeFirstOn = 0, kTypeLastOff = 1, kTypeFirstAndLastOn = 2 };
    enum { kBeamToTimeSignature = 0, kBeamToSequenceGroups = 1, kRebarToSequenceGroups = 2 };
    enum { kRestsUnchanged = 0, kRestsToTimeSignature = 1, kRestsToSequenceGroups = 2 };

    explicit FCTwoStateSequenceHandler(FCUI* ui) : ui_(ui) {}
    FC_CLASS_INFO(FCTwoStateSequenceHandler)

    // Reads the note counts of the groups from the text (numbers between any of " :;-+,"). False,
    // with the message to show, when a group has fewer than 2 notes or no count is there.
    bool ParseCounts(const FCString* text, FCString* message);
    const FCNumberCollection* GetCounts() const { return &counts_; }

    // Check-only: whether the task can be done over the region, with the message when it cannot.
    // Otherwise writes the sequence and reports whether the document changed.
    bool Expand(const FCMusicRegion* region, bool checkOnly, FCString* message);

    // Target becomes a copy of source: a rest or a note entry, its duration and its notes.
    static void CopyEntry(const FCNoteEntry* source, FCNoteEntry* target);

private:
    bool ExpandLayer(const FCMusicRegion* region, FCNoteEntryLayer* layer, bool checkOnly, FCString* message,
                     bool* skipped);
    // The rebarred measures after the first must be empty in every staff and layer.
    static bool AreRebarMeasuresEmpty(int firstMeasure, int lastMeasure);
    bool WriteSequence(FCNoteEntryLayer* layer, FCTwoStateSequenceCollection* nodes, FCNoteEntry* a, FCNoteEntry* b,
                       int grouping);
    bool ConvertSecondReference(FCTwoStateSequenceCollection* nodes, FCNoteEntry* a, FCNoteEntry* b, int type);
    static bool CopyArticulations(FCTwoStateSequenceCollection* nodes);

    FCUI* ui_;  // not owned
    FCNumberCollection counts_;
    int32_t durationA_ = -1;
    int32_t durationB_ = -1;
    // The selection's length, the same for every staff and layer: counted once per expansion.
    int32_t regionDuration_ = -1;
    // The region of the last check and, staff by staff and layer by layer, whether it found the
    // reference entries there.
    uint8_t referencedRegion_[FCMusicRegion::kRegionDataSize] = {};
    std::vector<bool> referenced_;
};
