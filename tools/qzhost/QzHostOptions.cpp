#include "tools/qzhost/QzHostOptions.h"

#include "plugin/PatternSettingsKeys.h"
#include "qzwin32.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace {

const char* const kUsage =
    "usage: qzhost [options] SCORE\n"
    "       qzhost [options] --out-dir DIR SCORE...\n"
    "\n"
    "Runs the QZ Pattern plug-in module in the stand-in host: loads the module, calls its entry\n"
    "points in the host's order, opens the document SCORE, selects the whole document, invokes\n"
    "the plug-in and plays the script below on its task window as a user would; terminates the\n"
    "plug-in at the end (which writes its settings file). SCORE is score text (.qzs) or MusicXML\n"
    "(.musicxml, .xml, or compressed .mxl), told apart by its content.\n"
    "\n"
    "Set-up:\n"
    "  --module PATH         the plug-in module (default: the one beside this program,\n"
    "                        libqzpattern.so, or qzpattern.dll beside FINALE.EXE on Windows)\n"
    "  --folder DIR          the host's folder with the plug-in's settings and storage files\n"
    "                        (default: the stand-in host's per-user folder, created if missing)\n"
    "  --host-version HEX    the host version handed to the plug-in (default 0x1B000000)\n"
    "  --set KEY=VALUE       writes KEY=VALUE into the settings file of the host folder before\n"
    "                        the plug-in reads it (QZPT_... keys; QZPATTERN_WINDOWSHADE goes to\n"
    "                        the options file); repeatable\n"
    "  --answer yes|no|ok    answers the next message box; repeatable, used in order\n"
    "  --withdraw FX_NAME    removes the host function from this program's exports before the\n"
    "                        plug-in is loaded, as in a host that does not offer it; repeatable\n"
    "  --out FILE            writes the resulting document to FILE at the end: MusicXML when FILE\n"
    "                        ends .musicxml, .xml or .mxl (compressed), keeping what the document\n"
    "                        does not model and saying on standard error what had to be dropped;\n"
    "                        otherwise score text, complete (it reads back into the same document)\n"
    "  --out-dir DIR         batch: runs the same script on each SCORE in turn, each in a fresh\n"
    "                        host, and writes each result into DIR under the score's file name\n"
    "                        (created if missing); prints one line per score to standard output:\n"
    "                        changed or not, the undo entries, what was dropped, or why it failed\n"
    "\n"
    "Script, played in the order given once the task window is open:\n"
    "  --select STAVES:MEASURES  selects staves and measures in the document, each \"N\", \"N-M\"\n"
    "                        or \"all\" (staff numbers as in the score), e.g. 1-2:3-4; a measure\n"
    "                        may take a position in EDUs, M@EDU, so the selection starts or\n"
    "                        ends inside it, e.g. 1-3:2@512-4@2048\n"
    "  --task NAME|ID        selects the task's node in the task tree: a task name (\"Break\"),\n"
    "                        \"Category/Task\" for names used twice (\"Performance Notation/Slurs\"),\n"
    "                        a task id (1001), a category name or number\n"
    "  --apply               presses Apply\n"
    "  --print               writes the document's music as score text to standard output\n"
    "                        (without entry numbers and bookkeeping marks)\n"
    "  --undo-list           writes the host's undo entries to standard output\n"
    "  --screenshot          writes a textual picture of the task window to standard output\n"
    "\n"
    "  --help                shows this text\n"
    "\n"
    "Standard error says after each Apply whether the task changed the document, and shows the\n"
    "message boxes. Exit status: 0 when it ran (changed or not), 2 for bad arguments, a score\n"
    "that cannot be read, a selection outside the document or an unknown task, 3 when the module\n"
    "cannot be loaded, lacks an entry point or opens no task window. In a batch a score that\n"
    "fails is reported and skipped, the others go on, and the status is that of the worst\n"
    "failure (0 when every score ran).\n";

bool NeedsValue(const std::string& option) {
    return option == "--module" || option == "--folder" || option == "--host-version" || option == "--select" ||
           option == "--task" || option == "--set" || option == "--answer" || option == "--out" ||
           option == "--out-dir" || option == "--withdraw";
}

bool ParseHex(const std::string& text, uint32_t* value) {
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits = digits.substr(2);
    if (digits.empty() || digits.size() > 8) return false;
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    *value = uint32_t(std::strtoul(digits.c_str(), nullptr, 16));
    return true;
}

// "N" or "N-M" with 1 <= N, M <= 32767, or "all" (both 0). inOrder: N <= M as well (measures;
// staves follow the score's order, which the document knows).
bool ParseRange(const std::string& text, int* first, int* last, bool inOrder) {
    if (text == "all") {
        *first = *last = 0;
        return true;
    }
    const size_t dash = text.find('-');
    const std::string a = text.substr(0, dash);
    const std::string b = dash == std::string::npos ? a : text.substr(dash + 1);
    for (const std::string* part : {&a, &b}) {
        if (part->empty() || part->size() > 5) return false;
        for (char c : *part)
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    *first = std::atoi(a.c_str());
    *last = std::atoi(b.c_str());
    return *first >= 1 && *last >= 1 && (!inOrder || *first <= *last) && *first <= 32767 && *last <= 32767;
}

std::string Upper(std::string text) {
    for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

const char* QzHostUsage() { return kUsage; }

bool ParseSelection(const std::string& text, int* firstStaff, int* lastStaff, int* firstMeasure, int* lastMeasure) {
    int32_t startPos = 0, endPos = 0;
    return ParseSelection(text, firstStaff, lastStaff, firstMeasure, lastMeasure, &startPos, &endPos) && startPos < 0 &&
           endPos < 0;
}

bool ParseSelection(const std::string& text, int* firstStaff, int* lastStaff, int* firstMeasure, int* lastMeasure,
                    int32_t* startPos, int32_t* endPos) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || text.find(':', colon + 1) != std::string::npos) return false;
    if (!ParseRange(text.substr(0, colon), firstStaff, lastStaff, false)) return false;
    // Measures, each side with an optional position: "2@512-4@2048"; the positions are cut out
    // before the range is read.
    std::string measures = text.substr(colon + 1);
    *startPos = *endPos = -1;
    const size_t dash = measures.find('-');
    std::string sides[2] = {measures.substr(0, dash),
                            dash == std::string::npos ? std::string() : measures.substr(dash + 1)};
    int32_t* positions[2] = {startPos, endPos};
    for (int side = 0; side < 2; ++side) {
        const size_t at = sides[side].find('@');
        if (at == std::string::npos) continue;
        const std::string digits = sides[side].substr(at + 1);
        if (digits.empty() || digits.size() > 9) return false;
        for (char c : digits)
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        *positions[side] = int32_t(std::atol(digits.c_str()));
        sides[side] = sides[side].substr(0, at);
    }
    measures = dash == std::string::npos ? sides[0] : sides[0] + "-" + sides[1];
    if (!ParseRange(measures, firstMeasure, lastMeasure, true)) return false;
    // "all" has no positions.
    return *firstMeasure != 0 || (*startPos < 0 && *endPos < 0);
}

bool ClassifySettingsKey(std::string* key, bool* optionsFile) {
    static const char* const kKeys[] = {
#define QZHOST_SETTINGS_KEY(name, initial) #name,
        QZ_PATTERN_SETTINGS(QZHOST_SETTINGS_KEY, QZHOST_SETTINGS_KEY, QZHOST_SETTINGS_KEY)
#undef QZHOST_SETTINGS_KEY
            "QZPT_WINDOWX",
        "QZPT_WINDOWY", "QZPT_WINDOWWIDTH", "QZPT_WINDOWHEIGHT"};
    const std::string wanted = Upper(*key);
    if (wanted == "QZPATTERN_WINDOWSHADE") {
        *key = wanted;
        *optionsFile = true;
        return true;
    }
    for (const char* known : kKeys) {
        if (wanted != known) continue;
        *key = wanted;
        *optionsFile = false;
        return true;
    }
    return false;
}

bool ParseQzHostOptions(const std::vector<std::string>& arguments, QzHostOptions* options, std::string* error) {
    *options = QzHostOptions();
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help" || option == "-h") {
            options->help = true;
            return true;
        }
        if (option.size() > 1 && option[0] == '-') {
            std::string value;
            if (NeedsValue(option)) {
                if (i + 1 >= arguments.size()) {
                    *error = option + " needs a value";
                    return false;
                }
                value = arguments[++i];
            }
            typedef QzHostOptions::Action Action;
            if (option == "--module") {
                options->modulePath = value;
            } else if (option == "--folder") {
                options->folder = value;
            } else if (option == "--host-version") {
                if (!ParseHex(value, &options->hostVersion)) {
                    *error = "--host-version takes a hexadecimal number, not \"" + value + "\"";
                    return false;
                }
                options->hostVersionGiven = true;
            } else if (option == "--set") {
                const size_t equals = value.find('=');
                std::string key = value.substr(0, equals);
                bool optionsFile = false;
                if (equals == std::string::npos || key.empty()) {
                    *error = "--set takes KEY=VALUE, not \"" + value + "\"";
                    return false;
                }
                if (!ClassifySettingsKey(&key, &optionsFile)) {
                    *error = "--set: the plug-in has no setting \"" + key + "\"";
                    return false;
                }
                const std::string setting = value.substr(equals + 1);
                if (setting.find_first_of("\r\n") != std::string::npos) {
                    *error = "--set: the value of " + key + " has a line break";
                    return false;
                }
                options->settings.emplace_back(key, setting);
            } else if (option == "--answer") {
                if (value == "yes")
                    options->answers.push_back(IDYES);
                else if (value == "no")
                    options->answers.push_back(IDNO);
                else if (value == "ok")
                    options->answers.push_back(IDOK);
                else {
                    *error = "--answer takes yes, no or ok, not \"" + value + "\"";
                    return false;
                }
            } else if (option == "--out") {
                options->outPath = value;
            } else if (option == "--out-dir") {
                if (value.empty()) {
                    *error = "--out-dir needs a folder";
                    return false;
                }
                options->outDir = value;
            } else if (option == "--withdraw") {
                if (value.compare(0, 3, "FX_") != 0 || value.size() == 3) {
                    *error = "--withdraw takes the name of a host function (FX_...), not \"" + value + "\"";
                    return false;
                }
                options->withdrawn.push_back(value);
            } else if (option == "--select") {
                int a, b, c, d;
                int32_t p, q;
                if (!ParseSelection(value, &a, &b, &c, &d, &p, &q)) {
                    *error = "--select takes STAVES:MEASURES (each N, N-M or all; a measure may be M@EDU), not \"" +
                             value + "\"";
                    return false;
                }
                options->actions.push_back(Action{Action::kSelect, value});
            } else if (option == "--task") {
                if (value.empty()) {
                    *error = "--task needs a task name or id";
                    return false;
                }
                options->actions.push_back(Action{Action::kTask, value});
            } else if (option == "--apply") {
                options->actions.push_back(Action{Action::kApply, ""});
            } else if (option == "--print") {
                options->actions.push_back(Action{Action::kPrint, ""});
            } else if (option == "--undo-list") {
                options->actions.push_back(Action{Action::kUndoList, ""});
            } else if (option == "--screenshot") {
                options->actions.push_back(Action{Action::kScreenshot, ""});
            } else {
                *error = "unknown option " + option + " (see --help)";
                return false;
            }
            continue;
        }
        options->scorePaths.push_back(option);
    }
    if (options->scorePaths.empty()) {
        *error = "no score given (see --help)";
        return false;
    }
    if (options->scorePaths.size() > 1 && options->outDir.empty()) {
        *error = "one score only, or several with --out-dir DIR: \"" + options->scorePaths[0] + "\" and \"" +
                 options->scorePaths[1] + "\"";
        return false;
    }
    if (!options->outPath.empty() && !options->outDir.empty()) {
        *error = "--out and --out-dir exclude each other: --out names one result, --out-dir a folder for each";
        return false;
    }
    return true;
}
