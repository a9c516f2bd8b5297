// PatternSettings: every task option, the "Respace if necessary" choice and the last selected
// task, as one process-wide record that the category handlers read and write. Each field is
// named after its key in the settings file. LoadSettings fills it (and the task window's
// remembered placement) from the settings file; SaveSettings writes them back.
#pragma once

#include "framework/core/FCString.h"
#include "plugin/PatternSettingsKeys.h"

class PatternWindowPlacement;

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
