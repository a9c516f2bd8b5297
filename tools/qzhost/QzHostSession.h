// One run of qzhost: the stand-in host opens the score, loads the plug-in module, calls its entry
// points in the host's order, invokes it, plays the user's script on the task window through the
// simulated desktop and terminates the plug-in. Reports on standard error; --print, --undo-list
// and --screenshot write to standard output.
#pragma once

#include "tools/qzhost/PluginModule.h"
#include "tools/qzhost/QzHostOptions.h"

#include "qzwin32.h"
#include "simhost/DocumentView.h"
#include "simhost/desktop/DesktopDriver.h"

#include <iosfwd>
#include <string>
#include <vector>

class QzHostSession {
public:
    // Exit statuses.
    enum { kRan = 0, kBadInput = 2, kBadModule = 3 };

    QzHostSession(const QzHostOptions& options, std::ostream& out, std::ostream& err);

    // The whole run; the exit status.
    int Run();

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
    int Fail(int status, const std::string& message);

    const QzHostOptions& options_;
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
};
