// PatternSettings: every task option, the "Respace if necessary" choice and the last selected
// task, as one process-wide record that the category handlers read and write. Each field is
// named after its key in the settings file. LoadSettings fills it (and the task window's
// remembered placement) from the settings file; SaveSettings writes them back.
#pragma once

#include "framework/core/FCString.h"

class PatternWindowPlacement;

// Every field in file order: INT/BOOL/TEXT(key, default).
#define QZ_PATTERN_SETTINGS(INT, BOOL, TEXT)               \
    INT(QZPT_TASK, 0)                                      \
    BOOL(QZPT_RESPACE_IF_NECESSARY, true)                  \
    INT(QZPT_BEAMEDGROUPS_REODER_STYLE, 0)                 \
    INT(QZPT_BEAMEDGROUPS_ARTIC_PLACEMENT, 0)              \
    INT(QZPT_BEAMEDGROUPS_ARTIC_STYLEDIGIT, 1)             \
    INT(QZPT_BEAMEDGROUPS_ARTIC_TYPE, 0)                   \
    BOOL(QZPT_BEAMEDGROUPS_ARTIC_KEEP, false)              \
    BOOL(QZPT_BEAMEDGROUPS_ARTIC_MERGE, true)              \
    INT(QZPT_BEAMEDGROUPS_SLUR_STYLE, 0)                   \
    INT(QZPT_BEAMEDGROUPS_SLUR_STYLEDIGIT, 2)              \
    INT(QZPT_BEAMEDGROUPS_SLUR_SHAPE, 0)                   \
    BOOL(QZPT_BEAMEDGROUPS_CHORDSYM_REPLACE, true)         \
    BOOL(QZPT_BEAMEDGROUPS_CHORDSYM_ALTBASS, false)        \
    INT(QZPT_CHORDS_BREAK_STYLE, 0)                        \
    INT(QZPT_DYNAMICS_CARBONCOPY_SOURCE, 0)                \
    BOOL(QZPT_DYNAMICS_CARBONCOPY_MUSIC, true)             \
    BOOL(QZPT_DYNAMICS_CARBONCOPY_SHRINKSMARTSHAPES, true) \
    BOOL(QZPT_DYNAMICS_CARBONCOPY_LAYERASSIGN, true)       \
    INT(QZPT_DYNAMICS_HAIRPINS_TYPE, 0)                    \
    INT(QZPT_DYNAMICS_HAIRPINS_PADDING, 3)                 \
    INT(QZPT_DYNAMICS_HAIRPINS_VERTPOS, 2)                 \
    INT(QZPT_DYNAMICS_HAIRPINS_CUSTOMPOS, -168)            \
    BOOL(QZPT_DYNAMICS_HAIRPINS_MUSIC, true)               \
    BOOL(QZPT_DYNAMICS_HAIRPINS_SHRINK, true)              \
    BOOL(QZPT_DYNAMICS_SWELLS_INVERSE, false)              \
    INT(QZPT_DYNAMICS_SWELLS_SCOPE, 2)                     \
    INT(QZPT_DYNAMICS_SWELLS_DURATION, 3)                  \
    INT(QZPT_DYNAMICS_SWELLS_FOCALPOINT, 50)               \
    INT(QZPT_DYNAMICS_SWELLS_PADDING, 5)                   \
    INT(QZPT_DYNAMICS_SWELLS_VERTPOS, 2)                   \
    INT(QZPT_DYNAMICS_SWELLS_CUSTOMPOS, -168)              \
    INT(QZPT_PERFORMANCE_ARTIC_PLACEMENTSTYLE, 0)          \
    INT(QZPT_PERFORMANCE_ARTIC_STYLEDIGIT, 1)              \
    INT(QZPT_PERFORMANCE_ARTIC_DURATION, 6)                \
    INT(QZPT_PERFORMANCE_ARTIC_TYPE, 0)                    \
    BOOL(QZPT_PERFORMANCE_ARTIC_KEEP, false)               \
    BOOL(QZPT_PERFORMANCE_ARTIC_MERGE, true)               \
    BOOL(QZPT_PERFORMANCE_ARTIC_TIEDDURATION, true)        \
    INT(QZPT_PERFORMANCE_SLUR_STYLE, 0)                    \
    INT(QZPT_PERFORMANCE_SLUR_STYLEDIGIT, 1)               \
    INT(QZPT_PERFORMANCE_SLUR_DURATION, 6)                 \
    INT(QZPT_PERFORMANCE_SLUR_SHAPE, 0)                    \
    BOOL(QZPT_PERFORMANCE_SLUR_IDENTICALPITCH, true)       \
    BOOL(QZPT_PERFORMANCE_SLUR_ARTICULATION, false)        \
    BOOL(QZPT_PERFORMANCE_SLUR_KEEPEXISTING, false)        \
    TEXT(QZPT_SEQUENCES_TWOSTATES_NUMBERSTRING, "3 3")     \
    INT(QZPT_SEQUENCES_TWOSTATES_TYPE, 0)                  \
    INT(QZPT_SEQUENCES_TWOSTATES_GROUPING, 1)              \
    INT(QZPT_SEQUENCES_TWOSTATES_REST, 1)                  \
    INT(QZPT_SEQUENCES_NUMMEASURES_CATEGORYIDX, 0)         \
    TEXT(QZPT_SEQUENCES_NUMMEASURES_CATEGORYNAME, "")      \
    INT(QZPT_SEQUENCES_NUMMEASURES_PROFILE, 0)             \
    BOOL(QZPT_SEQUENCES_NUMMEASURES_REPLACE, true)         \
    INT(QZPT_SEQUENCES_NUMSTEPS_METHOD, 0)                 \
    INT(QZPT_SEQUENCES_NUMSTEPS_METHODNUMBER, 2)           \
    INT(QZPT_SEQUENCES_NUMSTEPS_CATEGORYIDX, 0)            \
    TEXT(QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME, "")         \
    INT(QZPT_SEQUENCES_NUMSTEPS_PROFILE, 0)                \
    BOOL(QZPT_SEQUENCES_NUMSTEPS_REPLACE, true)

struct PatternSettings {
    PatternSettings();
    PatternSettings(const PatternSettings&) = delete;
    PatternSettings& operator=(const PatternSettings&) = delete;

    // Back to the defaults of a freshly loaded module.
    void ResetToDefaults();

#define QZ_SETTINGS_INT_FIELD(key, initial) int key;
#define QZ_SETTINGS_BOOL_FIELD(key, initial) bool key;
#define QZ_SETTINGS_TEXT_FIELD(key, initial) FCString key;
    QZ_PATTERN_SETTINGS(QZ_SETTINGS_INT_FIELD, QZ_SETTINGS_BOOL_FIELD, QZ_SETTINGS_TEXT_FIELD)
#undef QZ_SETTINGS_INT_FIELD
#undef QZ_SETTINGS_BOOL_FIELD
#undef QZ_SETTINGS_TEXT_FIELD
};

// The process-wide record, holding the defaults from the moment the module is loaded.
PatternSettings& ThePatternSettings();

// Fills settings from the settings file, each key that is present; gives the window its
// remembered placement when the file has all four window keys (window may be null). False,
// with nothing changed, when the file cannot be read.
bool LoadSettings(PatternSettings* settings, PatternWindowPlacement* window);
// Writes the window keys (-1 for what the window does not know) and every field into the
// settings file, keeping the file's other lines in their order. False when nothing was written.
bool SaveSettings(const PatternSettings* settings, const PatternWindowPlacement* window);
