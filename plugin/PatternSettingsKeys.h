// The keys of the settings file with their defaults, as one table that the settings record and
// the programs that edit a settings file (qzhost's --set) both expand; it needs no other header.
#pragma once

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
