// The handler of the Performance Notation tasks (Articulations and Slurs placed by beat, duration
// and phrase rules): their option panels and their work along whole layers. Shares the
// articulation and slur pieces of the Beamed Groups handler. Short-lived like every task
// handler; owns the measures it loads to answer beat questions, nothing else.
#pragma once

#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class FCMeasure;
class FCNoteEntries;
class FCNoteEntryLayer;
class FCTimeSignature;

class FCPerformanceNotationBlockHandler : public FCBeamedGroupsBlockHandler {
public:
    enum { kArticulations = 1301, kSlurs = 1303 };

    // The placements of QZPT_PERFORMANCE_ARTIC_PLACEMENTSTYLE.
    enum ArticulationPlacement {
        kAllNotes,
        kFirstOfBeat,
        kLastOfBeat,
        kFirstNoteOfBeatN,
        kSlurredNotes,
        kNonSlurredNotes,
        kSlurStart,
        kSlurEnd,
        kDurationEqual,
        kDurationShorter,
        kDurationLonger,
        kSolitaryNote,
        kPlacementCount
    };
    // The styles of QZPT_PERFORMANCE_SLUR_STYLE.
    enum SlurStyle {
        kFullPhrase,
        kByBeat,
        kGroupByMeasures,
        kGroupByBeats,
        kGroupByNotes,
        kGroupFirstBeats,
        kGroupLastBeats,
        kConsecutiveDurations,
        kSlurShorter,
        kSlurLonger,
        kGraceToFull,
        kSlurStyleCount
    };

    FCPerformanceNotationBlockHandler(int taskID, FCUI* ui, PatternTaskWindow* window);
    ~FCPerformanceNotationBlockHandler() override;
    FC_CLASS_INFO(FCPerformanceNotationBlockHandler)

    bool Execute() override;
    void AddTaskControls(FCTaskControlInfos* infos) override;
    void InitTaskControls() override;
    void UpdateTaskControls() override;
    void StoreTaskSettings() override;

    // --- beats, in the time signature of the entry's measure ---
    // The 0-based beat that holds the entry (the beat it starts or lies in); -1 when the measure
    // has no beat there (a composite meter without elements, or no measure).
    int BeatOf(const FCNoteEntry* entry);
    // The entry starts exactly on a beat.
    bool IsOnBeat(const FCNoteEntry* entry);
    // The entry lies in one of the last `beats` beats of its measure.
    bool IsInLastBeats(const FCNoteEntry* entry, int beats);
    // The beats of a measure by its own time signature; 0 for a measure that does not load.
    int BeatCountOf(int measure);
    // The EDUs of a duration popup key (32nd ... Dotted Half); 0 for any other key.
    static int32_t DurationOfKey(int key);

    // --- the entries the rules pick ---
    // A note the region holds that is neither a grace note nor a tied continuation.
    static bool IsArticulationCandidate(const FCNoteEntry* entry, const FCMusicRegion* region);
    // The entry's duration with the durations of the notes it is tied on to (the tie chain
    // stops at a missing entry, a rest or a grace note).
    static int32_t CalcTiedDuration(const FCNoteEntry* entry);

    // --- the tasks on one loaded layer; true when the document changed (the caller saves the
    // layer then) ---
    // Articulations (tasks/performance/Articulations.cpp).
    bool RunArticulations(FCNoteEntryLayer* layer, const FCMusicRegion* region);
    // Slurs (tasks/performance/Slurs.cpp).
    bool RunSlurs(FCNoteEntryLayer* layer, const FCMusicRegion* region);
    // The phrases the slur style cuts the region's part of the layer into: the first and last
    // entry of every phrase that gets a slur, in order. Moves the grouping origin as it goes.
    void CollectPhrases(FCNoteEntryLayer* layer, const FCMusicRegion* region,
                        std::vector<std::pair<FCNoteEntry*, FCNoteEntry*>>* phrases);
    // The first and the last entry of the layer that the region holds; false when it holds none.
    static bool FindRegionEnds(FCNoteEntryLayer* layer, const FCMusicRegion* region, FCNoteEntry** first,
                               FCNoteEntry** last);

    // The grouping origin of the measure and beat styles.
    int GetOriginMeasure() const { return originMeasure_; }
    int GetOriginBeat() const { return originBeat_; }

private:
    // The loaded time signature of a measure, kept for the whole run; null when it does not load.
    FCTimeSignature* TimeSignatureOf(int measure);

    // --- the placements of Articulations ---
    bool PlaceByBeat(FCNoteEntries* candidates, int placement);
    bool PlaceByDuration(FCNoteEntries* candidates, int placement, int32_t duration, bool tied);
    bool PlaceSolitary(FCNoteEntries* candidates);
    bool IsSolitary(const FCNoteEntry* entry) const;

    // Any measure from first to last held smart shapes when the run started.
    bool HadShapesBefore(int firstMeasure, int lastMeasure) const;

    // --- the phrase rules of Slurs ---
    FCNoteEntry* NextPhraseStart(FCNoteEntry* start, FCNoteEntry* last, bool include);
    FCNoteEntry* PhraseEnd(FCNoteEntry* start, FCNoteEntry* last);
    bool EndsGroup(FCNoteEntry* next, FCNoteEntry* start);
    bool IsPhraseStartEligible(FCNoteEntry* entry);
    static bool IsRepeatedPitch(const FCNoteEntry* previous, const FCNoteEntry* next);
    // The has-articulations flag is set and the first articulation record loads.
    static bool HasArticulationRecords(FCNoteEntry* entry);
    // Beats from the origin to the entry's beat, counting each measure by its own time signature.
    int BeatsFromOrigin(const FCNoteEntry* entry);
    // Moves the beat origin to the start of the group of d beats that holds the entry.
    void AdvanceBeatOrigin(const FCNoteEntry* entry);
    // Moves the measure origin to the start of the group of d measures that holds the measure.
    void AdvanceMeasureOrigin(int measure);
    // The first entry of the run of grace notes just before the entry in its measure, or null
    // when the entry is no main note with grace notes before it.
    static FCNoteEntry* GraceRunStart(FCNoteEntry* entry);

    // The articulation definitions are loaded once per run, at the first layer.
    bool articulationsPrepared_ = false;
    // Which measures held smart shapes when the run started (from shapesFirstMeasure_ on).
    std::vector<char> shapesBefore_;
    int shapesFirstMeasure_ = 1;

    // The grouping origin of the current slur grouping.
    int16_t originMeasure_ = 0;
    int32_t originBeat_ = 0;
    // The slur options of the run (the count clamped to the panel's range).
    int slurStyle_ = 0;
    int slurCount_ = 1;
    int32_t slurDuration_ = 0;
    bool pitchBreak_ = false;
    bool articulationBreak_ = false;
    // Measures loaded for their time signatures, by number (owned).
    std::map<int, std::unique_ptr<FCMeasure>> measures_;
    int lastMeasure_ = -1;
    FCTimeSignature* lastTime_ = nullptr;
};
