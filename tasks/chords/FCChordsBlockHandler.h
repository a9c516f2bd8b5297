// The handler of the Chords task Break: its option panel, and the work that turns each chord of
// the selection into a single-note figure. Short-lived like every task handler; owns nothing.
#pragma once

#include "plugin/FCPatternTaskBlockHandler.h"

#include <cstdint>

class FCNoteEntry;
class FCNoteEntryLayer;
class FCNotePitches;

class FCChordsBlockHandler : public FCPatternTaskBlockHandler {
public:
    enum { kBreak = 1101 };

    // The figures of QZPT_CHORDS_BREAK_STYLE.
    enum Style {
        kAscending,
        kDescending,
        kStaircaseAscending,
        kStaircaseDescending,
        kWaveAscending,
        kWaveDescending,
        kBaseDescending,
        kTopDescending,
        kAlbertiBass,
        kAlbertiBass6,
        kStyleCount
    };

    FCChordsBlockHandler(int taskID, FCUI* ui, PatternTaskWindow* window)
        : FCPatternTaskBlockHandler(taskID, ui, window) {}
    FC_CLASS_INFO(FCChordsBlockHandler)

    bool Execute() override;
    void AddTaskControls(FCTaskControlInfos* infos) override;
    void InitTaskControls() override;
    void StoreTaskSettings() override;

    // Replaces the chord by the style's figure of single notes over the chord's duration, the
    // new entries inserted into the layer after it (a tuplet when the division needs one).
    // False, with nothing changed, for a chord the style cannot break. The chord's pitches are
    // copied into pitches when given (a caller breaking chord after chord keeps one list), else
    // into a list of its own. refused, when given, tells whether the host refused to create a
    // record the figure needs (the caller then gives the whole run up).
    static bool BreakChord(FCNoteEntry* entry, FCNoteEntryLayer* layer, int style, FCNotePitches* pitches = nullptr,
                           bool* refused = nullptr);

    // How many notes a chord of noteCount notes is broken into; 0 when the style does not
    // apply to it.
    static int CalcFigureLength(int style, int noteCount);
    // The index (lowest pitch 0) of the pitch at position i of a figure of length n; -1 for an
    // unknown style or a position outside the figure.
    static int CalcPitchIndex(int style, int i, int n);
    // The written value for notes of `each` EDUs: each itself when it is a plain value from a
    // 32nd to a whole note (or, dotted, such a value dotted); otherwise the next plain value above
    // it, and a 64th for anything below a 32nd. A value other than each needs a tuplet.
    static int32_t SnapToNoteValue(int32_t each, bool dotted);

private:
    // Break over the selection (in Break.cpp).
    bool ExecuteBreak();
};
