#include "plugin/PatternSettings.h"

#include "plugin/PatternWindowPlacement.h"
#include "plugin/SettingsFile.h"

#include <cmath>
#include <memory>

namespace {

PatternSettings gSettings;

const char* const kWindowX = "QZPT_WINDOWX";
const char* const kWindowY = "QZPT_WINDOWY";
const char* const kWindowWidth = "QZPT_WINDOWWIDTH";
const char* const kWindowHeight = "QZPT_WINDOWHEIGHT";

// A remembered coordinate as the file keeps it: truncated to int. A value no int can hold is
// written as unknown rather than converted with undefined results.
int FileCoordinate(float value) {
    if (!std::isfinite(value) || value <= -2147483648.0f || value >= 2147483648.0f) return -1;
    return int(value);
}

}  // namespace

PatternSettings::PatternSettings() { ResetToDefaults(); }

void PatternSettings::ResetToDefaults() {
#define QZ_SETTINGS_INT_DEFAULT(key, initial) key = initial;
#define QZ_SETTINGS_BOOL_DEFAULT(key, initial) key = initial;
#define QZ_SETTINGS_TEXT_DEFAULT(key, initial) key.SetCString(initial);
    QZ_PATTERN_SETTINGS(QZ_SETTINGS_INT_DEFAULT, QZ_SETTINGS_BOOL_DEFAULT, QZ_SETTINGS_TEXT_DEFAULT)
#undef QZ_SETTINGS_INT_DEFAULT
#undef QZ_SETTINGS_BOOL_DEFAULT
#undef QZ_SETTINGS_TEXT_DEFAULT
}

PatternSettings& ThePatternSettings() { return gSettings; }

bool LoadSettings(PatternSettings* settings, PatternWindowPlacement* window) {
    std::unique_ptr<FCSettingsPairs> pairs(ReadSettingsFile(kSettingsFile));
    if (!pairs) return false;

    int left = 0, top = 0, width = 0, height = 0;
    const bool placed = ReadSettingsInt(pairs.get(), kWindowX, &left) && ReadSettingsInt(pairs.get(), kWindowY, &top) &&
                        ReadSettingsInt(pairs.get(), kWindowWidth, &width) &&
                        ReadSettingsInt(pairs.get(), kWindowHeight, &height);
    if (placed && window) window->SetRememberedPlacement(float(left), float(top), float(width), float(height));

    if (settings) {
#define QZ_SETTINGS_READ_INT(key, initial) ReadSettingsInt(pairs.get(), #key, &settings->key);
#define QZ_SETTINGS_READ_BOOL(key, initial) ReadSettingsBool(pairs.get(), #key, &settings->key);
#define QZ_SETTINGS_READ_TEXT(key, initial) ReadSettingsText(pairs.get(), #key, &settings->key);
        QZ_PATTERN_SETTINGS(QZ_SETTINGS_READ_INT, QZ_SETTINGS_READ_BOOL, QZ_SETTINGS_READ_TEXT)
#undef QZ_SETTINGS_READ_INT
#undef QZ_SETTINGS_READ_BOOL
#undef QZ_SETTINGS_READ_TEXT
    }
    return true;
}

bool SaveSettings(const PatternSettings* settings, const PatternWindowPlacement* window) {
    std::unique_ptr<FCSettingsPairs> pairs(ReadSettingsFile(kSettingsFile));
    if (!pairs) pairs.reset(new FCSettingsPairs);

    float left = 0, top = 0, width = 0, height = 0;
    const bool hasPosition = window && window->GetRememberedPosition(&left, &top);
    const bool hasSize = window && window->GetRememberedSize(&width, &height);
    WriteSettingsInt(pairs.get(), kWindowX, hasPosition ? FileCoordinate(left) : -1);
    WriteSettingsInt(pairs.get(), kWindowY, hasPosition ? FileCoordinate(top) : -1);
    WriteSettingsInt(pairs.get(), kWindowWidth, hasSize ? FileCoordinate(width) : -1);
    WriteSettingsInt(pairs.get(), kWindowHeight, hasSize ? FileCoordinate(height) : -1);

    if (settings) {
#define QZ_SETTINGS_WRITE_INT(key, initial) WriteSettingsInt(pairs.get(), #key, settings->key);
#define QZ_SETTINGS_WRITE_BOOL(key, initial) WriteSettingsBool(pairs.get(), #key, settings->key);
#define QZ_SETTINGS_WRITE_TEXT(key, initial) WriteSettingsText(pairs.get(), #key, &settings->key);
        QZ_PATTERN_SETTINGS(QZ_SETTINGS_WRITE_INT, QZ_SETTINGS_WRITE_BOOL, QZ_SETTINGS_WRITE_TEXT)
#undef QZ_SETTINGS_WRITE_INT
#undef QZ_SETTINGS_WRITE_BOOL
#undef QZ_SETTINGS_WRITE_TEXT
    }
    return WriteSettingsFile(pairs.get(), kSettingsFile);
}
