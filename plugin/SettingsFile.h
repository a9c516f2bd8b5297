// The plug-in's two key/value text files in the host's folder: the settings file, read once and
// written back when the plug-in ends, and the options file, which the user edits by hand and the
// plug-in only reads. Typed access to the values of a file's pairs.
#pragma once

#include "framework/files/FCSettingsPairs.h"

enum SettingsFileKind {
    kSettingsFile,  // "qzpluginprefs.txt"
    kOptionsFile    // "qzpluginoptions.txt"
};

// The file's name in the host's folder.
const char* SettingsFileName(SettingsFileKind which);

// The pairs of the file's lines in file order (lines without a key and "=" are left out), or
// null when the file cannot be read. The caller owns the result.
FCSettingsPairs* ReadSettingsFile(SettingsFileKind which);
// A copy of the file's pair for the key, or null when the file or the key is missing. The
// caller owns the result.
FCSettingsPair* ReadSettingsKey(const char* key, SettingsFileKind which);
// Replaces the file by one line per pair. The new content goes to a temporary file beside it
// ("<name>.tmp") that then replaces the file in one step, so a failed save leaves the previous
// file as it was. False when the file could not be written.
bool WriteSettingsFile(FCSettingsPairs* pairs, SettingsFileKind which);

// Typed readers: true when the key was found; the output is left untouched otherwise.
// A bool is true exactly when the value is "1".
bool ReadSettingsBool(const FCSettingsPairs* pairs, const char* key, bool* value);
// An int is read like C's decimal conversion: leading white space, a sign, the digits up to the
// first non-digit; no digits reads as 0, values beyond the int range as its nearest end.
bool ReadSettingsInt(const FCSettingsPairs* pairs, const char* key, int* value);
bool ReadSettingsText(const FCSettingsPairs* pairs, const char* key, FCString* value);

// Typed writers: set the key's value, appending the key when it is new. A bool is written as
// "1" or "0", an int in decimal.
void WriteSettingsBool(FCSettingsPairs* pairs, const char* key, bool value);
void WriteSettingsInt(FCSettingsPairs* pairs, const char* key, int value);
void WriteSettingsText(FCSettingsPairs* pairs, const char* key, const FCString* value);

// The options file's window-shade switch ("QZPATTERN_WINDOWSHADE"); false when it is not set.
bool ReadWindowShadeSwitch();
