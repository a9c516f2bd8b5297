// Editing one of the plug-in's key/value files (settings or options) from the host program, as a
// user with a text editor would, before the plug-in reads it.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Gives each key its value: the first line whose key (the text before its first "=", without
// surrounding blanks, compared case-insensitively) is the key gets "KEY=VALUE"; a key without a
// line is appended. All other lines stay as they are. A missing file is created. False, with a
// one-line reason, when the file cannot be written.
bool EditSettingsFile(const std::string& path, const std::vector<std::pair<std::string, std::string>>& values,
                      std::string* error);
