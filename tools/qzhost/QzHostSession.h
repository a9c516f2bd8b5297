// One run of qzhost on one score: the stand-in host opens the score (score text or MusicXML),
// loads the plug-in module, calls its entry points in the host's order, invokes it, plays the
// user's script on the task window through the simulated desktop and terminates the plug-in.
// Reports on standard error; --print, --undo-list and --screenshot write to standard output.
#pragma once

#include "tools/qzhost/PluginModule.h"
#include "tools/qzhost/QzHostOptions.h"

#include "qzwin32.h"
#include "simhost/DocumentView.h"
#include "simhost/desktop/DesktopDriver.h"
#include "simhost/musicxml/MusicXml.h"

#include <iosfwd>
#include <string>
#include <vector>

class QzHostSession {
public:
    // Exit statuses.
    enum { kRan = 0, kBadInput = 2, kBadModule = 3 };

    // What a run came to, for the line a batch prints per score.
    struct Outcome {
        bool opened = false;
        bool changed = false;
        size_t undoEntries = 0;
        // The file written (empty: none), and what it could not keep.
        std::string written;
        std::vector<std::string> dropped;
        // The first failure's message; empty when the run succeeded.
        std::string failure;
    };

    // outPath: where the result goes (empty: nowhere); MusicXML when it ends .musicxml, .xml or
    // .mxl, score text otherwise.
    QzHostSession(const QzHostOptions& options, const std::string& scorePath, const std::string& outPath,
                  std::ostream& out, std::ostream& err);

    // The whole run; the exit status.
    int Run();
    const Outcome& Result() const { return outcome_; }

    // Whether a file name asks for MusicXML (.musicxml, .xml, .mxl in any case).
    static bool IsMusicXmlName(const std::string& path);
    // Whether the file begins like MusicXML (plain or compressed); false when it cannot be read.
    static bool IsMusicXmlFile(const std::string& path);

private:
    // Where a --task value leads in the tree: a top-level node, or a node below one.
    struct TreePath {
        std::string parent;
        std::string node;
    };

    // Checks made before anything is loaded or written.
    bool PrepareFolder();
    bool OpenScore();
    bool ResolveSelection(const std::string& text, simhost::RegionData* region);
    bool ResolveTask(const std::string& text, TreePath* path);
    bool WriteSettings();
    void CallStartupEntryPoints();
    // One step of the script; false ends the script with status_ set.
    bool Play(const QzHostOptions::Action& action, size_t index);
    bool PressApply();
    void ReportMessageBoxes();
    void WriteUndoList();
    bool WriteResult();
    int Fail(int status, const std::string& message);

    const QzHostOptions& options_;
    const std::string scorePath_;
    const std::string outPath_;
    std::ostream& out_;
    std::ostream& err_;
    simhost::DesktopDriver driver_;
    PluginModule module_;
    HWND window_ = nullptr;
    std::vector<simhost::RegionData> selections_;
    std::vector<TreePath> tasks_;
    size_t messageBoxesSeen_ = 0;
    int applies_ = 0;
    // " of \"<task>\"" for the last Apply, as its node showed in the tree.
    std::string lastApply_;
    int status_ = kRan;
    // The MusicXML the document was read from, which the written MusicXML is built on; nothing
    // imported when the score was score text.
    simhost::MusicXmlScore musicXml_;
    Outcome outcome_;
};
