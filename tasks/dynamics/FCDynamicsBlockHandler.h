// The handler of the Dynamics tasks (Carbon Copy, Hairpins, Hairpin Swells): their option panels,
// the checks that ask the user before an Apply, and the work on the dynamics of the selection.
// Each task's work lives in the file named after it; the pieces they share (where a hairpin sits,
// where music sounds, making and removing hairpins) live here. Short-lived like every task
// handler; owns nothing.
#pragma once

#include "plugin/FCPatternTaskBlockHandler.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

class FCExpression;
class FCMusicRegion;
class FCString;

class FCDynamicsBlockHandler : public FCPatternTaskBlockHandler {
public:
    enum { kCarbonCopy = 1201, kHairpins = 1202, kHairpinSwells = 1203 };
    // The vertical position that takes the custom distance from the baseline.
    static constexpr int kCustomVerticalPosition = 6;
    // Hairpins over more measures than this need the user's consent.
    static constexpr int kWideRegionMeasures = 9;
    // Hairpin shape types.
    static constexpr int kDiminuendo = 2;
    static constexpr int kCrescendo = 3;
    // How far (EDUs) a point may lie before or after a note and still count as on it.
    static constexpr int32_t kMusicTolerance = 512;
    // Hairpins shorter than this (EDUs) are not made.
    static constexpr int32_t kShortestHairpin = 512;
    // The entry flag of notes that do not sound (they never count as music).
    static constexpr uint32_t kNotSoundingFlag = 0x00008000;

    FCDynamicsBlockHandler(int taskID, FCUI* ui, PatternTaskWindow* window)
        : FCPatternTaskBlockHandler(taskID, ui, window) {}
    FC_CLASS_INFO(FCDynamicsBlockHandler)

    bool Execute() override;
    void AddTaskControls(FCTaskControlInfos* infos) override;
    void InitTaskControls() override;
    void UpdateTaskControls() override;
    void StoreTaskSettings() override;
    bool CanExecute() override;

    // --- shared pieces ---
    // The handler keeps what it learns of the cells' notes and of the expression definitions for
    // its whole life: the Dynamics tasks change neither.

    // The vertical offset (EVPUs) of a position choice; the custom offset for the custom choice,
    // 0 for a choice outside the table.
    static int CalcVerticalOffset(int position, int customOffset);
    // The layer number (1-4) of the first sounding note of cell (measure, staff) whose span,
    // widened by tolerance on each side, holds the position; with layer given (1-4), only notes
    // of that layer count. 0 when none does or the cell cannot be loaded.
    int FindSoundingLayer(int measure, int staff, int32_t position, int32_t tolerance, int layer = 0);
    // Moves a point forward to the nearest start of a sounding note at or after it, going on into
    // the following measures. False, with the point unchanged, when no note follows.
    bool ShrinkStart(int staff, int* measure, int32_t* position);
    // Moves a point back to the nearest end of a sounding note at or before it, going back into
    // earlier measures. False, with the point unchanged, when no note comes before.
    bool ShrinkEnd(int staff, int* measure, int32_t* position);
    // Creates a hairpin of the shape type on the staff over the region (to the end of the end
    // measure when the region runs to it), both ends at the vertical offset.
    static bool CreateHairpin(int staff, const FCMusicRegion* region, int shapeType, int verticalOffset);
    // Removes every hairpin that has an end in the region and both ends on staves of the region,
    // except those with an end on the excluded staff (0: none excluded). Whether any was removed.
    static bool RemoveHairpins(int excludedStaff, const FCMusicRegion* region);

    // --- Hairpins ---
    // The padding (EDUs) of a padding choice for a region of the duration; 0 outside the table.
    static int32_t CalcPadding(int padding, int32_t duration);

    // --- Hairpin Swells ---
    // The reference duration (EDUs) of a duration choice; 0 outside the table.
    static int32_t CalcSwellDuration(int choice);
    // Whether a note of the length gets a swell under the scope (0 exact, 1 longer, 2 equal or
    // longer) and reference duration.
    static bool IsSwellLength(int scope, int32_t length, int32_t reference);

    // --- Carbon Copy ---
    // Whether the text of a text expression that is not in the dynamics category reads as a
    // dynamic: one dynamic glyph of the music font, or a crescendo or diminuendo word.
    static bool IsDynamicText(const FCString* text);
    // Whether the expression is a dynamic (by its definition's category or text); false when its
    // definition cannot be loaded.
    bool IsDynamicExpression(const FCExpression* expression);
    // The dynamics of the staff in the region: hairpins with both ends in it, then dynamic
    // expressions; with stopAtFirst the count stops at 1.
    int CountDynamics(int staff, const FCMusicRegion* region, bool stopAtFirst);
    // The staff to copy from by the source choice, or 0 when there is none.
    int ChooseSourceStaff(int source, const FCMusicRegion* region);

private:
    bool CanCopyDynamics();
    bool CanCreateHairpins();

    bool ExecuteCarbonCopy();
    bool ExecuteHairpins();
    bool ExecuteHairpinSwells();

    // Hairpins: the music test, shrinking and creation over the region, which comes back as it was.
    bool PlaceHairpin(int staff, FCMusicRegion* region, int shapeType, int verticalOffset, bool music, bool shrink);
    // Carbon Copy's steps.
    int CountHairpins(int staff, const FCMusicRegion* region, bool stopAtFirst);
    int CountDynamicExpressions(int staff, const FCMusicRegion* region, bool stopAtFirst);
    bool CopyHairpins(int source, const FCMusicRegion* region, bool music, bool shrink);
    bool DeleteDestinationDynamics(int source, const FCMusicRegion* region);
    bool CopyDynamicExpressions(int source, const FCMusicRegion* region, bool music, bool layerAssign);
    // Hairpin Swells: the two hairpins of the swell over one note's span (a region of one staff).
    static bool CreateSwell(const FCMusicRegion* span, int verticalOffset);

    // A sounding note of a cell: its span and its layer number.
    struct SoundingNote {
        int32_t start;
        int64_t end;
        int layer;
    };
    // The sounding notes of cell (measure, staff) in the cell's order; empty when it cannot be loaded.
    const std::vector<SoundingNote>& SoundingNotes(int measure, int staff);

    std::map<std::pair<int, int>, std::vector<SoundingNote>> soundingNotes_;
    // Whether each definition is a dynamic, by definition number (shape definitions negated).
    std::map<int, bool> dynamicDefinitions_;

    // Carbon Copy counts the dynamics of every staff of one region before it changes anything:
    // the hairpins and dynamic expressions of the region are read once, on the first count.
    struct HairpinEnds {
        int leftStaff, leftMeasure;
        int32_t leftPosition;
        int rightStaff, rightMeasure;
        int32_t rightPosition;
    };
    struct DynamicMark {
        int staff, measure;
        int32_t position;
    };
    void ReadRegionDynamics(const FCMusicRegion* region);
    bool regionDynamicsRead_ = false;
    std::vector<HairpinEnds> regionHairpins_;
    std::vector<DynamicMark> regionExpressions_;
};
