#include "tools/qzhost/QzHostSession.h"

#include "plugin/TaskCatalogue.h"
#include "simhost/Document.h"
#include "simhost/RecordView.h"
#include "simhost/ScoreQueries.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"
#include "simhost/Unicode.h"
#include "simhost/musicxml/MusicXmlContainer.h"
#include "tools/qzhost/HostExports.h"
#include "tools/qzhost/SettingsFileEdit.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>

namespace {

// The plug-in's task window, and its controls the script uses.
constexpr int kTaskWindowTemplate = 20128;
constexpr int kTreeID = 102;
constexpr int kApplyID = 1;
// The plug-in's key/value files in the host folder.
constexpr const char* kSettingsFileName = "qzpluginprefs.txt";
constexpr const char* kOptionsFileName = "qzpluginoptions.txt";

std::string Lower(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsNumber(const std::string& text) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string CategoryName(int category) {
    const TaskCategoryRow* row = taskcatalogue::FindCategory(category);
    return row ? row->name : "";
}

std::string AnswerName(int answer) {
    switch (answer) {
        case IDOK:
            return "ok";
        case IDYES:
            return "yes";
        case IDNO:
            return "no";
        case IDCANCEL:
            return "cancel";
        default:
            return "not answered";
    }
}

// The texts of an 8-bit or UTF-16 menu record, read at their offsets.
std::string RecordText8(const unsigned char* record, int offset) {
    std::string text;
    for (int i = 0; i < pluginexports::kMenuTextBytes && record[offset + i]; ++i) text += char(record[offset + i]);
    return text;
}

std::string RecordTextUTF16(const unsigned char* record, int offset) {
    std::u16string units;
    for (int i = 0; i < pluginexports::kMenuTextUnitsUTF16; ++i) {
        char16_t unit;
        std::memcpy(&unit, record + offset + 2 * i, sizeof unit);
        if (!unit) break;
        units += unit;
    }
    return simhost::ToUTF8(units);
}

// The document as a reader wants to see it: the music without the entry numbers and the marks
// that only keep the document's bookkeeping.
simhost::ScoreTextOptions MusicOnly() {
    simhost::ScoreTextOptions options;
    options.bookkeeping = false;
    return options;
}

}  // namespace

QzHostSession::QzHostSession(const QzHostOptions& options, const std::string& scorePath, const std::string& outPath,
                             std::ostream& out, std::ostream& err)
    : options_(options), scorePath_(scorePath), outPath_(outPath), out_(out), err_(err) {}

bool QzHostSession::IsMusicXmlName(const std::string& path) {
    const std::string extension = Lower(std::filesystem::u8path(path).extension().u8string());
    return extension == ".musicxml" || extension == ".xml" || extension == ".mxl";
}

bool QzHostSession::IsMusicXmlFile(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    std::string start(1 << 16, '\0');
    in.read(&start[0], std::streamsize(start.size()));
    start.resize(size_t(in.gcount()));
    return simhost::LooksLikeMusicXml(start);
}

int QzHostSession::Fail(int status, const std::string& message) {
    err_ << "qzhost: " << message << "\n";
    err_.flush();
    status_ = status;
    if (outcome_.failure.empty()) outcome_.failure = message;
    return status;
}

int QzHostSession::Run() {
    const uint32_t version = options_.hostVersionGiven ? options_.hostVersion : simhost::kDefaultHostVersion;
    simhost::Reset();
    simhost::SetHostVersion(version);
    simhost::DesktopDriver::ResetDesktop();
    // A message box or dialog nobody scripted is reported and closed; the run goes on.
    simhost::DesktopDriver::SetFailureHandler([this](const std::string& message) {
        err_ << "qzhost: " << message << "\n";
        err_.flush();
    });

    // Everything that can be wrong with the input is found before anything is written.
    if (!PrepareFolder() || !OpenScore()) return status_;
    for (const QzHostOptions::Action& action : options_.actions) {
        if (action.kind == QzHostOptions::Action::kSelect) {
            simhost::RegionData region;
            if (!ResolveSelection(action.value, &region)) return status_;
            selections_.push_back(region);
        } else if (action.kind == QzHostOptions::Action::kTask) {
            TreePath path;
            if (!ResolveTask(action.value, &path)) return status_;
            tasks_.push_back(path);
        }
    }
    std::string error;
    // Withdrawn after the host has read the score, before the plug-in can look anything up.
    for (const std::string& name : options_.withdrawn)
        if (!WithdrawHostExport(name, &error)) return Fail(kBadInput, error);
    const std::string modulePath = options_.modulePath.empty() ? PluginModule::DefaultPath() : options_.modulePath;
    if (!module_.Load(modulePath, &error)) return Fail(kBadModule, error);
    if (!WriteSettings()) return status_;

    simhost::Document& document = simhost::CurrentDocument();
    const simhost::DocumentState opened = document.State();
    for (int answer : options_.answers) driver_.AnswerNextMessageBox(answer);

    CallStartupEntryPoints();
    document.View().SetSelection(simhost::WholeDocument(simhost::RecordView(document, 0)));
    if (module_.getMenuStatus(nullptr) == 0) {
        err_ << "qzhost: the plug-in's menu item is not available; it was not invoked\n";
    } else {
        module_.invoke(driver_.HostWindow(), nullptr, nullptr, nullptr);
        window_ = driver_.Dialog(kTaskWindowTemplate);
        if (!window_) {
            const std::string reason = driver_.LastDialogError();
            Fail(kBadModule, "the plug-in opened no task window" + (reason.empty() ? "" : ": " + reason));
        } else {
            size_t selectIndex = 0, taskIndex = 0;
            for (const QzHostOptions::Action& action : options_.actions) {
                const size_t index = action.kind == QzHostOptions::Action::kSelect ? selectIndex++
                                     : action.kind == QzHostOptions::Action::kTask ? taskIndex++
                                                                                   : 0;
                if (!Play(action, index)) break;
            }
        }
    }
    module_.terminate(nullptr);
    ReportMessageBoxes();
    if (driver_.Dialog(kTaskWindowTemplate)) err_ << "qzhost: the task window is still open after terminate\n";

    if (!outPath_.empty()) WriteResult();
    const size_t undo = document.UndoList().size();
    outcome_.changed = document.State() != opened;
    outcome_.undoEntries = undo;
    if (outcome_.changed)
        err_ << "qzhost: the document was changed (" << undo << (undo == 1 ? " undo entry" : " undo entries") << ")\n";
    else
        err_ << "qzhost: the document is unchanged\n";
    out_.flush();
    err_.flush();
    // What the plug-in left behind (a window it could not close, frames it never freed) goes
    // before its code does.
    simhost::CloseSession();
    module_.Unload();
    return status_;
}

bool QzHostSession::PrepareFolder() {
    namespace fs = std::filesystem;
    std::error_code failure;
    if (!options_.folder.empty()) {
        if (!fs::is_directory(options_.folder, failure)) {
            Fail(kBadInput, "--folder: " + options_.folder + " is not a folder");
            return false;
        }
        simhost::SetFolder(fs::absolute(options_.folder, failure).string());
        return true;
    }
    const std::string folder = simhost::Folder();
    if (!fs::is_directory(folder, failure) && !fs::create_directories(folder, failure)) {
        Fail(kBadInput, "cannot create the host folder " + folder);
        return false;
    }
    return true;
}

bool QzHostSession::OpenScore() {
    simhost::ScoreTextError error;
    std::string xml;
    // Content decides; a file named as MusicXML that is not gets the MusicXML reader's reason.
    const bool opened = IsMusicXmlFile(scorePath_) || IsMusicXmlName(scorePath_)
                            ? simhost::ReadMusicXmlFile(scorePath_, &xml, &error) &&
                                  musicXml_.Import(xml, scorePath_, &error) && musicXml_.Open(&error)
                            : simhost::ReadScoreFile(scorePath_, &error);
    if (opened) {
        outcome_.opened = true;
        return true;
    }
    Fail(kBadInput, error.ToString());
    return false;
}

bool QzHostSession::WriteResult() {
    simhost::ScoreTextError error;
    std::string xml;
    std::vector<std::string> dropped;
    const bool written = !IsMusicXmlName(outPath_) ? simhost::WriteScoreFile(outPath_)
                                                   : musicXml_.Export(&xml, &dropped, &error) &&
                                                         simhost::WriteMusicXmlFile(outPath_, xml, &error);
    if (!written) {
        Fail(kBadInput, "cannot write " + outPath_ + (error.message.empty() ? "" : ": " + error.message));
        return false;
    }
    for (const std::string& line : dropped) err_ << "qzhost: " << outPath_ << ": dropped " << line << "\n";
    outcome_.written = outPath_;
    outcome_.dropped = dropped;
    return true;
}

bool QzHostSession::ResolveSelection(const std::string& text, simhost::RegionData* region) {
    int firstStaff = 0, lastStaff = 0, firstMeasure = 0, lastMeasure = 0;
    int32_t startPos = -1, endPos = -1;
    ParseSelection(text, &firstStaff, &lastStaff, &firstMeasure, &lastMeasure, &startPos, &endPos);
    simhost::Document& document = simhost::CurrentDocument();
    const simhost::RecordView view(document, 0);
    const std::vector<int> staves = simhost::StaffList(view, 0);
    const int measures = simhost::LastMeasure(view);
    const std::string where = "--select " + text + ": ";
    if (staves.empty() || measures == 0) {
        Fail(kBadInput, where + "the document has no staves or no measures");
        return false;
    }
    int firstSlot = 1, lastSlot = int(staves.size());
    if (firstStaff) {
        firstSlot = lastSlot = 0;
        for (size_t i = 0; i < staves.size(); ++i) {
            if (staves[i] == firstStaff) firstSlot = int(i) + 1;
            if (staves[i] == lastStaff) lastSlot = int(i) + 1;
        }
        if (!firstSlot || !lastSlot) {
            Fail(kBadInput, where + "the document has no staff " + std::to_string(firstSlot ? lastStaff : firstStaff));
            return false;
        }
        if (firstSlot > lastSlot) {
            Fail(kBadInput, where + "staff " + std::to_string(firstStaff) + " comes after staff " +
                                std::to_string(lastStaff) + " in the score");
            return false;
        }
    }
    if (!firstMeasure) {
        firstMeasure = 1;
        lastMeasure = measures;
    } else if (lastMeasure > measures) {
        Fail(kBadInput,
             where + "the document has " + std::to_string(measures) + (measures == 1 ? " measure" : " measures"));
        return false;
    }
    // A position must lie within its measure (as long as the first selected staff has it).
    const int32_t positions[2] = {startPos, endPos};
    const int positionMeasures[2] = {firstMeasure, lastMeasure};
    for (int side = 0; side < 2; ++side) {
        if (positions[side] < 0) continue;
        const int32_t length = simhost::MeasureDuration(view, staves[size_t(firstSlot - 1)], positionMeasures[side]);
        if (positions[side] > length) {
            Fail(kBadInput, where + "position " + std::to_string(positions[side]) + " lies outside measure " +
                                std::to_string(positionMeasures[side]) + " (" + std::to_string(length) + " EDUs)");
            return false;
        }
    }
    if (firstMeasure == lastMeasure && startPos >= 0 && endPos >= 0 && endPos < startPos) {
        Fail(kBadInput, where + "the selection ends before it starts");
        return false;
    }
    *region = simhost::SlotRegion(firstSlot, lastSlot, firstMeasure, lastMeasure, startPos < 0 ? 0 : startPos, endPos);
    if (!simhost::IsAcceptedRegion(view, *region)) {
        Fail(kBadInput, where + "the host does not accept this selection");
        return false;
    }
    return true;
}

bool QzHostSession::ResolveTask(const std::string& text, TreePath* path) {
    if (IsNumber(text)) {
        const int number = std::atoi(text.c_str());
        if (const char* name = taskcatalogue::GetTaskName(number)) {
            *path = TreePath{CategoryName(taskcatalogue::GetTaskCategory(number)), name};
            return true;
        }
        if (taskcatalogue::FindCategory(number)) {
            *path = TreePath{"", CategoryName(number)};
            return true;
        }
        Fail(kBadInput, "--task: no task or category has the number " + text);
        return false;
    }
    const size_t slash = text.find('/');
    const std::string wantedCategory = slash == std::string::npos ? "" : Lower(text.substr(0, slash));
    const std::string wantedTask = Lower(slash == std::string::npos ? text : text.substr(slash + 1));
    std::vector<TreePath> found;
    for (int i = 0; i < taskcatalogue::kTaskCount; ++i) {
        const TaskCatalogueRow* task = taskcatalogue::GetTaskAt(i);
        const std::string category = CategoryName(task->category);
        if (Lower(task->name) != wantedTask) continue;
        if (slash != std::string::npos && Lower(category) != wantedCategory) continue;
        found.push_back(TreePath{category, task->name});
    }
    if (found.empty() && slash == std::string::npos) {
        for (int position = 0; position < taskcatalogue::kCategoryCount; ++position) {
            const TaskCategoryRow* category = taskcatalogue::GetCategoryAt(position);
            if (Lower(category->name) == wantedTask) found.push_back(TreePath{"", category->name});
        }
    }
    if (found.size() == 1) {
        *path = found.front();
        return true;
    }
    if (found.empty()) {
        Fail(kBadInput, "--task: no task or category is called \"" + text + "\"");
        return false;
    }
    std::string choices;
    for (const TreePath& choice : found)
        choices += (choices.empty() ? "\"" : " or \"") + choice.parent + "/" + choice.node + "\"";
    Fail(kBadInput, "--task: \"" + text + "\" names several tasks; say " + choices);
    return false;
}

bool QzHostSession::WriteSettings() {
    std::vector<std::pair<std::string, std::string>> settings, options;
    for (const auto& setting : options_.settings) {
        std::string key = setting.first;
        bool optionsFile = false;
        ClassifySettingsKey(&key, &optionsFile);
        (optionsFile ? options : settings).emplace_back(key, setting.second);
    }
    const std::string folder = simhost::Folder() + "/";
    std::string error;
    if ((!settings.empty() && !EditSettingsFile(folder + kSettingsFileName, settings, &error)) ||
        (!options.empty() && !EditSettingsFile(folder + kOptionsFileName, options, &error))) {
        Fail(kBadInput, error);
        return false;
    }
    return true;
}

void QzHostSession::CallStartupEntryPoints() {
    const uint32_t version = simhost::HostVersion();
    const uint32_t answer = module_.version(version);
    if (answer != pluginexports::kPluginInterfaceVersion)
        err_ << "qzhost: the plug-in answers the interface version 0x" << std::hex << answer << std::dec << "\n";
    uint32_t flags = 0;
    module_.init(nullptr, &flags);
    // The host asks for menu entries until the plug-in has no more.
    for (int16_t index = 0; index < 16; ++index) {
        std::string item, description, group;
        if (version >= hostapi::kUTF16HostVersion) {
            unsigned char record[pluginexports::kMenuRecordSizeUTF16] = {};
            if (!module_.enumerateUTF16(nullptr, index, record)) break;
            item = RecordTextUTF16(record, pluginexports::kMenuItemOffsetUTF16);
            description = RecordTextUTF16(record, pluginexports::kMenuDescriptionOffsetUTF16);
            group = RecordTextUTF16(record, pluginexports::kMenuGroupOffsetUTF16);
        } else {
            unsigned char record[pluginexports::kMenuRecordSize] = {};
            if (!module_.enumerate(nullptr, index, record)) break;
            item = RecordText8(record, pluginexports::kMenuItemOffset);
            description = RecordText8(record, pluginexports::kMenuDescriptionOffset);
            group = RecordText8(record, pluginexports::kMenuGroupOffset);
        }
        err_ << "qzhost: menu " << group << " > " << item << " (" << description << ")\n";
    }
}

bool QzHostSession::Play(const QzHostOptions::Action& action, size_t index) {
    simhost::Document& document = simhost::CurrentDocument();
    switch (action.kind) {
        case QzHostOptions::Action::kSelect: {
            const simhost::RegionData& region = selections_[index];
            if (!simhost::IsAcceptedRegion(simhost::RecordView(document, 0), region)) {
                Fail(kBadInput, "--select " + action.value + ": outside the document as it is now");
                return false;
            }
            document.View().SetSelection(region);
            return true;
        }
        case QzHostOptions::Action::kTask: {
            const TreePath& path = tasks_[index];
            HWND tree = driver_.Control(window_, kTreeID);
            const bool selected = path.parent.empty()
                                      ? driver_.SelectTreeNode(tree, path.node.c_str())
                                      : driver_.SelectTreeNodeIn(tree, path.parent.c_str(), path.node.c_str());
            ReportMessageBoxes();
            if (!selected) {
                Fail(kBadModule, "--task " + action.value + ": the task tree has no such node to click");
                return false;
            }
            return true;
        }
        case QzHostOptions::Action::kApply:
            return PressApply();
        case QzHostOptions::Action::kPrint:
            // A comment line of the score text says which state of the document follows.
            out_ << "# qzhost: "
                 << (applies_ ? "after Apply " + std::to_string(applies_) + lastApply_
                              : std::string("the document as opened"))
                 << "\n"
                 << simhost::WriteScoreText(MusicOnly());
            out_.flush();
            return true;
        case QzHostOptions::Action::kUndoList:
            WriteUndoList();
            return true;
        case QzHostOptions::Action::kScreenshot:
            out_ << driver_.Picture(window_);
            out_.flush();
            return true;
    }
    return true;
}

bool QzHostSession::PressApply() {
    simhost::Document& document = simhost::CurrentDocument();
    const size_t undoBefore = document.UndoList().size();
    const size_t beepsBefore = driver_.Beeps().size();
    const std::string node = driver_.SelectedTreeNode(driver_.Control(window_, kTreeID));
    ++applies_;
    lastApply_ = node.empty() ? std::string() : " of \"" + node + "\"";
    if (!driver_.Click(driver_.Control(window_, kApplyID))) {
        Fail(kBadModule, "cannot press Apply: the task window or its Apply button is not usable");
        return false;
    }
    ReportMessageBoxes();
    const bool changed = document.UndoList().size() > undoBefore;
    const bool beeped = driver_.Beeps().size() > beepsBefore;
    err_ << "qzhost: Apply " << applies_ << (node.empty() ? " with nothing selected in the tree" : lastApply_) << ": "
         << (changed ? "the task changed the document" : "nothing changed") << (beeped ? " (the plug-in beeped)" : "")
         << "\n";
    err_.flush();
    return true;
}

void QzHostSession::ReportMessageBoxes() {
    const std::vector<simhost::DesktopDriver::MessageBoxShown> boxes = driver_.MessageBoxes();
    for (; messageBoxesSeen_ < boxes.size(); ++messageBoxesSeen_) {
        const simhost::DesktopDriver::MessageBoxShown& box = boxes[messageBoxesSeen_];
        err_ << "qzhost: message box \"" << box.caption << "\": " << box.text << " [" << AnswerName(box.answer)
             << "]\n";
    }
    err_.flush();
}

void QzHostSession::WriteUndoList() {
    const std::vector<std::u16string> entries = simhost::CurrentDocument().UndoList();
    if (entries.empty()) {
        out_ << "undo list: empty\n";
    } else {
        out_ << "undo list:\n";
        for (size_t i = 0; i < entries.size(); ++i)
            out_ << "  " << i + 1 << ". " << simhost::ToUTF8(entries[i]) << "\n";
    }
    out_.flush();
}
