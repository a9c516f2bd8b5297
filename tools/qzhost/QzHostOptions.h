// The command line of qzhost, the stand-in host as a program: which module to load, the host's
// folder and version, the settings to put into the settings file before the plug-in reads it,
// the scores to open, and the script of what the user does in the task window, in order. Parsing
// reports the first mistake as one line.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct QzHostOptions {
    // One step of the user's script, played in command-line order once the window is open.
    struct Action {
        enum Kind { kSelect, kTask, kApply, kPrint, kUndoList, kScreenshot };
        Kind kind;
        // --select: the staves and measures; --task: the task's name or number.
        std::string value;
    };

    bool help = false;
    // Empty: the module beside the qzhost program.
    std::string modulePath;
    // Empty: the stand-in host's per-user folder.
    std::string folder;
    uint32_t hostVersion = 0;
    bool hostVersionGiven = false;
    // --set, in order: the key as the plug-in writes it and the value.
    std::vector<std::pair<std::string, std::string>> settings;
    // --answer, in order: the buttons (IDYES, IDNO, IDOK) that answer the message boxes.
    std::vector<int> answers;
    // --withdraw, in order: host functions to take out of the program's exports.
    std::vector<std::string> withdrawn;
    std::vector<Action> actions;
    // --out: the one score's result; --out-dir: the folder for each score's result in a batch.
    std::string outPath;
    std::string outDir;
    // One score, or several with --out-dir.
    std::vector<std::string> scorePaths;
};

// Fills options from the arguments (without the program name). False with a one-line reason in
// error for an unknown option, a missing or malformed value, a missing score, or several scores
// without --out-dir.
bool ParseQzHostOptions(const std::vector<std::string>& arguments, QzHostOptions* options, std::string* error);

// The text of --help.
const char* QzHostUsage();

// A --select value: staff numbers first..last and measures first..last; "all" (or a side left
// out) leaves that side's numbers at 0, meaning every staff or every measure. False when the
// text is not of the form STAVES:MEASURES with STAVES and MEASURES "N", "N-M" or "all".
bool ParseSelection(const std::string& text, int* firstStaff, int* lastStaff, int* firstMeasure, int* lastMeasure);
// The same with positions: each measure may be written M@EDU ("1-3:2@512-4@2048"); a position
// left out is -1 (the start or the end of its measure). A single measure with a position,
// "2@512", starts there and runs to the end of the measure.
bool ParseSelection(const std::string& text, int* firstStaff, int* lastStaff, int* firstMeasure, int* lastMeasure,
                    int32_t* startPos, int32_t* endPos);

// Which file a --set key belongs in: the settings file, or the options file (the window-shade
// switch). False for a key the plug-in does not read; key is then left alone, otherwise it is
// set to the plug-in's spelling.
bool ClassifySettingsKey(std::string* key, bool* optionsFile);
