// qzhost run as a process, as a user runs it: bad input refused with one line and nothing
// written, options travelling through the settings file into the panel and back, message boxes
// answered from the command line, and Reorder Notes and Break applied from the command line with
// the result compared with expected score text.
#include "plugin/TaskCatalogue.h"
#include "simhost/ScoreText.h"
#include "tests/framework/files/TempHostFolder.h"
#include "tests/tools/PatternResults.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs qzhost with the arguments (and extra environment entries), collecting its output.
Result RunQzHost(const TempHostFolder& scratch, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment = {}) {
    const std::string outPath = (scratch.Path() / "qzhost.out").string();
    const std::string errPath = (scratch.Path() / "qzhost.err").string();
    std::vector<std::string> argv = {QZ_HOST_PROGRAM};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(&a[0]);
    args.push_back(nullptr);
    std::vector<std::string> env(environment);
    for (char** e = environ; *e; ++e) env.push_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(&e[0]);
    envp.push_back(nullptr);

    Result result;
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.out = scratch.ReadBytes("qzhost.out");
    result.err = scratch.ReadBytes("qzhost.err");
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}

size_t Lines(const std::string& text) {
    size_t count = 0;
    for (char c : text) count += c == '\n';
    return count;
}

// The musical content of a score text, for comparing results.
std::string Music(const std::string& text) {
    simhost::ScoreTextOptions plain;
    plain.bookkeeping = false;
    return simhost::CanonicalScoreText(text, plain);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class QzHost : public ::testing::Test {
protected:
    void SetUp() override {
        hostFolder.reset(new TempHostFolder);
        scratch.reset(new TempHostFolder);
    }
    // A score file in the scratch folder.
    std::string Score(const std::string& name, const std::string& text) {
        scratch->WriteBytes(name, text);
        return scratch->File(name).string();
    }
    // qzhost with the test's host folder.
    Result Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--folder", hostFolder->Utf8()});
        return RunQzHost(*scratch, arguments);
    }
    std::vector<std::string> HostFolderFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(hostFolder->Path()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    std::unique_ptr<TempHostFolder> hostFolder;
    std::unique_ptr<TempHostFolder> scratch;
};

using patternresults::kMelody;

}  // namespace

TEST_F(QzHost, BadInputGetsOneLineAndWritesNothing) {
    const std::string score = Score("melody.qzs", kMelody);
    const std::string malformed = Score("malformed.qzs", "qzs 1\nstaff 1\nmeasure 1\ns1: 4 C4 Q9\n");
    const std::string reordered = Score("reordered.qzs", "qzs 1\nstaff 5\nstaff 3\nmeasure 1\ns5: 1 C4\ns3: 1 E4\n");
    const std::string damagedZip = Score("damaged.mxl", std::string("PK\x03\x04", 4) + std::string(100, 'z'));
    const std::string notMusicXml = Score("opus.musicxml", "<?xml version=\"1.0\"?>\n<opus/>\n");
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--bogus", score}, 2, "unknown option --bogus"},
        {{}, 2, "no score given"},
        {{score, score}, 2, "one score only, or several with --out-dir DIR"},
        {{"--out", "x.qzs", "--out-dir", scratch->Utf8(), score}, 2, "--out and --out-dir exclude each other"},
        {{"--out-dir", ""}, 2, "--out-dir needs a folder"},
        {{"--out-dir", scratch->Utf8(), score}, 2, "would replace the score itself"},
        {{"--out-dir", scratch->Utf8() + "/out", score, scratch->Utf8() + "/none/melody.qzs"},
         2,
         "would both be written to " + scratch->Utf8() + "/out/melody.qzs"},
        {{"--out-dir", score + "/inside", score}, 2, "--out-dir: cannot create the folder"},
        {{damagedZip}, 2, "damaged.mxl:0:0: a damaged or truncated compressed file"},
        {{notMusicXml}, 2, "opus.musicxml:0:0: not MusicXML: the root element is <opus>"},
        {{"--host-version", "0xZZ", score}, 2, "--host-version takes a hexadecimal number"},
        {{"--set", "QZPT_TASK", score}, 2, "--set takes KEY=VALUE"},
        {{"--set", "=5", score}, 2, "--set takes KEY=VALUE"},
        {{"--set", "QZPT_NO_SUCH_KEY=1", score}, 2, "the plug-in has no setting \"QZPT_NO_SUCH_KEY\""},
        {{"--answer", "maybe", score}, 2, "--answer takes yes, no or ok"},
        {{"--select", "1", score}, 2, "--select takes STAVES:MEASURES"},
        {{"--select", "2-1:1", score}, 2, "the document has no staff 2"},
        {{"--select", "1:2-1", score}, 2, "--select takes STAVES:MEASURES"},
        {{"--select", "3-5:1", reordered}, 2, "staff 3 comes after staff 5 in the score"},
        {{"--select", "1:2-9", score}, 2, "the document has 3 measures"},
        {{"--select", "4:1", score}, 2, "the document has no staff 4"},
        {{"--select", "1:2@4097-3", score}, 2, "position 4097 lies outside measure 2 (4096 EDUs)"},
        {{"--select", "1:1-3@5000", score}, 2, "position 5000 lies outside measure 3 (4096 EDUs)"},
        {{"--select", "1:2@1024-2@512", score}, 2, "the selection ends before it starts"},
        {{"--select", "1:all@5", score}, 2, "--select takes STAVES:MEASURES"},
        {{"--select", "1:2@x", score}, 2, "--select takes STAVES:MEASURES"},
        {{"--task", "Polka", score}, 2, "no task or category is called \"Polka\""},
        {{"--task", "Slurs", score}, 2, "\"Beamed Groups/Slurs\" or \"Performance Notation/Slurs\""},
        {{"--task", "1999", score}, 2, "no task or category has the number 1999"},
        {{"--folder", scratch->Utf8() + "/nowhere", score}, 2, "is not a folder"},
        {{scratch->Utf8() + "/missing.qzs"}, 2, "missing.qzs:0:0: the file cannot be opened"},
        {{malformed}, 2, "malformed.qzs:4:"},
        {{"--module", scratch->Utf8() + "/missing.so", score}, 3, "cannot load the module"},
        {{"--module", QZ_PARTIAL_MODULE, score}, 3, "lacks the entry point FinaleExtensionInit"},
        {{"--task"}, 2, "--task needs a value"},
        {{"--withdraw", "Dialog", score}, 2, "--withdraw takes the name of a host function (FX_...)"},
        {{"--withdraw", "FX_NoSuchFunction", score}, 2, "the host exports no function named \"FX_NoSuchFunction\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Result result = Run(c.arguments);
        EXPECT_EQ(c.status, result.status);
        EXPECT_EQ("", result.out);
        EXPECT_EQ(1u, Lines(result.err)) << result.err;
        EXPECT_EQ(0u, result.err.find("qzhost: ")) << result.err;
        EXPECT_TRUE(Contains(result.err, c.message)) << result.err;
        EXPECT_TRUE(HostFolderFiles().empty()) << "nothing written";
    }
    EXPECT_FALSE(scratch->Exists("out")) << "a refused batch makes no folder";
}

TEST_F(QzHost, HelpNamesEveryOption) {
    const Result result = RunQzHost(*scratch, {"--help"});
    EXPECT_EQ(0, result.status);
    EXPECT_EQ("", result.err);
    for (const char* option :
         {"--module", "--folder", "--host-version", "--select", "--task", "--set", "--apply", "--answer", "--withdraw",
          "--print", "--out", "--out-dir", "--undo-list", "--screenshot", "SCORE"})
        EXPECT_TRUE(Contains(result.out, option)) << option;
}

TEST_F(QzHost, SettingsTravelFromTheFileIntoThePanelAndBackAtTerminate) {
    const std::string score = Score("melody.qzs", kMelody);
    hostFolder->WriteBytes("qzpluginprefs.txt", "MY_KEY=mine\nqzpt_beamedgroups_reoder_style = 2\n");
    const Result result = Run({"--set", "QZPT_BEAMEDGROUPS_REODER_STYLE=4", "--set", "qzpt_respace_if_necessary=0",
                               "--task", "1001", "--screenshot", score});
    EXPECT_EQ(0, result.status) << result.err;
    EXPECT_TRUE(Contains(result.out, "[104] popup \"Wave - Ascending\"")) << result.out;
    EXPECT_TRUE(Contains(result.out, "[123] check [ ] \"Respace if necessary\"")) << result.out;
    EXPECT_TRUE(Contains(result.out, "  Reorder Notes *")) << result.out;
    const std::string settings = hostFolder->ReadBytes("qzpluginprefs.txt");
    EXPECT_EQ(0u, settings.find("MY_KEY=mine\nQZPT_BEAMEDGROUPS_REODER_STYLE=4\n")) << settings;
    EXPECT_TRUE(Contains(settings, "\nQZPT_TASK=1001\n"));
    EXPECT_TRUE(Contains(settings, "\nQZPT_RESPACE_IF_NECESSARY=0\n"));
    EXPECT_TRUE(hostFolder->Exists("qzpluginstorage.xml"));
}

TEST_F(QzHost, TasksNamedTwiceAreReachedThroughTheirCategory) {
    const std::string score = Score("melody.qzs", kMelody);
    struct Case {
        const char* task;
        const char* category;  // the open category, where the selected node must be
        const char* selected;
    };
    for (const Case& c :
         {Case{"Performance Notation/Slurs", "- Performance Notation", "  Slurs *"},
          Case{"beamed groups/slurs", "- Beamed Groups", "  Slurs *"},
          Case{"1301", "- Performance Notation", "  Articulations *"}, Case{"3", "+ Dynamics *", "+ Dynamics *"}}) {
        SCOPED_TRACE(c.task);
        const Result result = Run({"--task", c.task, "--screenshot", score});
        EXPECT_EQ(0, result.status) << result.err;
        const size_t category = result.out.find(c.category);
        ASSERT_NE(std::string::npos, category) << result.out;
        EXPECT_TRUE(Contains(result.out.substr(category), c.selected)) << result.out;
    }
}

TEST_F(QzHost, AnApplyThatChangesNothingIsReportedAndLeavesNoUndoEntry) {
    const std::string score = Score("melody.qzs", kMelody);
    const std::string out = scratch->File("result.qzs").string();
    const Result result = Run({"--task", "Delete Numbers", "--apply", "--undo-list", "--print", "--out", out, score});
    EXPECT_EQ(0, result.status);
    EXPECT_TRUE(Contains(result.err, "qzhost: Apply 1 of \"Delete Numbers\": nothing changed (the plug-in beeped)"))
        << result.err;
    EXPECT_TRUE(Contains(result.err, "qzhost: the document is unchanged"));
    EXPECT_EQ(0u, result.out.find("undo list: empty\n# qzhost: after Apply 1 of \"Delete Numbers\"\n")) << result.out;
    EXPECT_EQ(Music(kMelody), Music(result.out.substr(result.out.find('#'))));
    EXPECT_EQ(Music(kMelody), Music(scratch->ReadBytes("result.qzs")));
    // An Apply with no task selected only beeps.
    const Result none = Run({"--task", "Chords", "--apply", score});
    EXPECT_EQ(0, none.status);
    EXPECT_TRUE(Contains(none.err, "Apply 1 of \"Chords\": nothing changed (the plug-in beeped)")) << none.err;
}

TEST_F(QzHost, MessageBoxesAreAnsweredInOrderAndShownOnStandardError) {
    const std::string wide = Score("wide.qzs", "qzs 1\nstaff 1\nstaff 2\nmeasure 1-12\n");
    const std::string one = Score("one.qzs", "qzs 1\nstaff 1\nmeasure 1-2\n");
    struct Case {
        std::vector<std::string> arguments;
        std::string box;
        std::string outcome;
    };
    const Case cases[] = {
        // The question before a wide hairpin: "No" abandons the Apply without a beep.
        {{"--task", "Hairpins", "--answer", "no", "--apply", wide}, "\"Wide Selected Region\"", "[no]"},
        {{"--task", "Hairpins", "--answer", "yes", "--apply", wide}, "\"Wide Selected Region\"", "[yes]"},
        // Carbon Copy needs two staves: an information box.
        {{"--task", "Carbon Copy", "--answer", "ok", "--apply", one}, "\"Too Few Selected Staves\"", "[ok]"},
        // Nobody answered: reported, and the run goes on.
        {{"--task", "Carbon Copy", "--apply", one}, "nobody scripted", "[not answered]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[3]);
        const Result result = Run(c.arguments);
        EXPECT_EQ(0, result.status);
        EXPECT_TRUE(Contains(result.err, c.box)) << result.err;
        EXPECT_TRUE(Contains(result.err, c.outcome)) << result.err;
        // Without a "yes" the task never runs: no edit, no beep.
        if (c.outcome != "[yes]") {
            EXPECT_TRUE(Contains(result.err, "nothing changed\n")) << result.err;
        }
    }
}

TEST_F(QzHost, TheQuestionOfATaskIsAnsweredFromTheCommandLine) {
    // The top staff has no dynamics: Carbon Copy asks before it erases those of the staff below.
    const std::string score =
        Score("dynamics.qzs",
              "qzs 1\nstaff 1\nstaff 2\ntext-expression 1 \"p\"\nmeasure 1\ns2 expression 1\ns1: 1 C4\ns2: 1 C4\n");
    for (const char* answer : {"yes", "no"}) {
        SCOPED_TRACE(answer);
        const Result result = Run({"--set", "QZPT_DYNAMICS_CARBONCOPY_SOURCE=1", "--task", "Carbon Copy", "--answer",
                                   answer, "--apply", "--print", score});
        EXPECT_EQ(0, result.status);
        EXPECT_TRUE(Contains(result.err,
                             "qzhost: message box \"No Source Dynamics\": The source staff doesn't have "
                             "any dynamics in the selected region. Do you really want to erase the "
                             "dynamics of all the destination staves? [" +
                                 std::string(answer) + "]"))
            << result.err;
        const bool yes = std::string(answer) == "yes";
        EXPECT_TRUE(Contains(result.err, yes ? "the task changed the document" : "nothing changed")) << result.err;
        EXPECT_EQ(!yes, Contains(result.out, "s2 expression 1")) << result.out;
    }
}

TEST_F(QzHost, WithoutAFolderItUsesTheUsersFolderAndCreatesIt) {
    const std::string score = Score("melody.qzs", kMelody);
    const std::string config = scratch->Utf8() + "/config";
    const Result result = RunQzHost(*scratch, {"--task", "Break", score}, {"XDG_CONFIG_HOME=" + config});
    EXPECT_EQ(0, result.status) << result.err;
    EXPECT_TRUE(std::filesystem::is_directory(config + "/qzpattern"));
    EXPECT_TRUE(std::filesystem::exists(config + "/qzpattern/qzpluginprefs.txt"));
}

TEST_F(QzHost, AnEightBitHostGetsTheEightBitMenuRecord) {
    const Result result =
        Run({"--host-version", "0x10000000", "--task", "Break", "--screenshot", Score("m.qzs", kMelody)});
    EXPECT_EQ(0, result.status) << result.err;
    EXPECT_TRUE(
        Contains(result.err, "qzhost: menu Pattern > QZ Pattern... (Tasks for pattern creation and manipulation.)"));
    EXPECT_TRUE(Contains(result.out, "[103] label \"Style:\"")) << result.out;
}

// Reorder Notes and Break from the command line, compared with the expected music. Until a task
// changes documents, its Apply only beeps; the comparison then waits for the task.
TEST_F(QzHost, ReorderNotesRewritesEveryBeamedGroupOfTheSelection) {
    const std::string score = Score("melody.qzs", kMelody);
    for (const patternresults::ReorderCase& c : patternresults::kReorderCases) {
        SCOPED_TRACE(c.style);
        const Result result = Run({"--set", "QZPT_BEAMEDGROUPS_REODER_STYLE=" + std::to_string(c.style), "--select",
                                   "1:1-2", "--task", "Reorder Notes", "--apply", "--print", "--undo-list", score});
        ASSERT_EQ(0, result.status) << result.err;
        if (Contains(result.err, "nothing changed")) GTEST_SKIP() << "Reorder Notes does not change documents yet";
        EXPECT_TRUE(Contains(result.err, "Apply 1 of \"Reorder Notes\": the task changed the document"));
        const std::string expected = patternresults::AfterReorder(c);
        const size_t undo = result.out.find("undo list:");
        EXPECT_EQ(Music(expected), Music(result.out.substr(0, undo)));
        EXPECT_EQ("undo list:\n  1. Reorder Notes\n", result.out.substr(undo));
    }
}

// A selection that starts and ends inside measures: Slurs slurs only the groups that lie wholly
// inside it, and --out writes the slurs complete.
// Staves are named in the score's order, whatever their numbers.
TEST_F(QzHost, StavesAreSelectedInScoreOrder) {
    const std::string score =
        Score("reordered.qzs", "qzs 1\nstaff 5\nstaff 3\nmeasure 1\ns5: 2 <C4 E4> r\ns3: 2 <E4 G4> r\n");
    const Result result = Run(
        {"--set", "QZPT_CHORDS_BREAK_STYLE=0", "--select", "5-3:1", "--task", "Break", "--apply", "--print", score});
    ASSERT_EQ(0, result.status) << result.err;
    EXPECT_TRUE(Contains(result.out, "s5: 4 [C4 E4 2 r")) << result.out;
    EXPECT_TRUE(Contains(result.out, "s3: 4 [E4 G4 2 r")) << result.out;
}

TEST_F(QzHost, SelectionsStartAndEndAtPositionsInsideMeasures) {
    const std::string score = Score("melody.qzs", kMelody);
    const std::string out = scratch->File("slurred.qzs").string();
    const Result result = Run(
        {"--select", "1:1@2048-2@2047", "--task", "Beamed Groups/Slurs", "--apply", "--print", "--out", out, score});
    ASSERT_EQ(0, result.status) << result.err;
    const std::string melody = kMelody;
    const std::string expected =
        melody.substr(0, melody.find("measure 2")) + "s1 slur 5-8\n" +
        melody.substr(melody.find("measure 2"), melody.find("measure 3") - melody.find("measure 2")) + "s1 slur 1-4\n" +
        melody.substr(melody.find("measure 3"));
    EXPECT_EQ(Music(expected), Music(result.out));
    const std::string complete = scratch->ReadBytes("slurred.qzs");
    EXPECT_EQ(complete, simhost::CanonicalScoreText(complete));
    EXPECT_EQ(Music(expected), Music(complete));
}

TEST_F(QzHost, BreakTurnsEveryChordOfTheSelectionIntoAFigure) {
    const std::string score = Score("melody.qzs", kMelody);
    for (const patternresults::BreakCase& c : patternresults::kBreakCases) {
        SCOPED_TRACE(c.style);
        const std::string out = scratch->File("broken.qzs").string();
        const Result result = Run({"--set", "QZPT_CHORDS_BREAK_STYLE=" + std::to_string(c.style), "--select", "1:3",
                                   "--task", "Break", "--apply", "--print", "--out", out, score});
        ASSERT_EQ(0, result.status) << result.err;
        if (Contains(result.err, "nothing changed")) GTEST_SKIP() << "Break does not change documents yet";
        const std::string expected = patternresults::AfterBreak(c);
        EXPECT_EQ(Music(expected), Music(result.out));
        // The complete text of --out reads back into the same document, entry numbers and all.
        const std::string complete = scratch->ReadBytes("broken.qzs");
        EXPECT_EQ(complete, simhost::CanonicalScoreText(complete));
        EXPECT_EQ(Music(expected), Music(complete));
    }
}

// A host without one of its functions: the withdrawn name is gone from the program's dynamic
// symbols, so the plug-in's binding finds nothing and its calls answer 0.
TEST_F(QzHost, AWithdrawnHostFunctionIsMissingForThePluginWhichCarriesOn) {
    const std::string score = Score("melody.qzs", kMelody);
    struct Case {
        const char* function;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"FX_Dialog", 3, "the plug-in opened no task window"},
        {"FX_StartFinaleEdit_UTF16", 0, "Apply 1 of \"Reorder Notes\": nothing changed (the plug-in beeped)"},
        {"FX_GetFinalePath", 0, "Apply 1 of \"Reorder Notes\": the task changed the document"},
        // Nothing could take back an edit that changes nothing: no Apply runs.
        {"FX_CancelFinaleEdit", 0, "Apply 1 of \"Reorder Notes\": nothing changed (the plug-in beeped)"},
        // The plug-in never gives its frames back, or cannot close its window: the host frees what it
        // handed out when the session ends (the sanitizer build would report a leak).
        {"FX_FreeTGF", 0, "Apply 1 of \"Reorder Notes\": the task changed the document"},
        {"FX_EndDialog", 0, "the task window is still open after terminate"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        hostFolder.reset(new TempHostFolder);
        const Result result =
            Run({"--withdraw", c.function, "--select", "1:1-2", "--task", "Reorder Notes", "--apply", score});
        EXPECT_EQ(c.status, result.status) << result.err;
        EXPECT_TRUE(Contains(result.err, c.message)) << result.err;
        EXPECT_TRUE(Contains(result.err, "qzhost: the document ")) << "the run ended normally: " << result.err;
        if (std::string(c.function) == "FX_GetFinalePath") {
            EXPECT_TRUE(HostFolderFiles().empty()) << "no folder for the plug-in: nothing written";
        }
    }
}

TEST_F(QzHost, TheNumberingTasksRunWithTheProfileTheSettingsChoose) {
    hostFolder->WriteBytes("qzpluginstorage.xml",
                           "<QZPluginSettings><QZPattern><NumberSettingsProfiles>\n"
                           "<NumberSettingsProfile Name=\"Every\" AlwaysEndOfRegion=\"0\"/>\n"
                           "<NumberSettingsProfile Name=\"Two by three\" StartAt=\"2\" Steps=\"3\" "
                           "AlwaysEndOfRegion=\"0\" Formatting=\"7\" MaxItalics=\"0\"/>\n"
                           "</NumberSettingsProfiles></QZPattern></QZPluginSettings>\n");
    // The category keeps font 0, the host's first font.
    const std::string head = "qzs 1\nstaff 1\ncategory 3 \"Technique Text\" size=12 align=3\n";
    const std::string score = Score("eight.qzs", head + "measure 1-3\nmeasure 4 bar=double\nmeasure 5-8\n");
    const std::string number = " desc=\"QZ Pattern: Number\" category=3 category-font category-place align=3\n";
    struct Case {
        std::vector<std::string> arguments;
        std::string music;
    };
    const Case cases[] = {
        {{"--set", "QZPT_SEQUENCES_NUMMEASURES_PROFILE=1", "--task", "Numbered Measures"},
         head + "text-expression 1 \"^fontTxt(Maestro)^size(12)^nfx(0)2-8\"" + number +
             "text-expression 2 \"^fontTxt(Maestro)^size(12)^nfx(0)5-8\"" + number +
             "text-expression 3 \"^fontTxt(Maestro)^size(12)^nfx(0)8-8\"" + number +
             "measure 1\nmeasure 2\ns1 expression 1\nmeasure 3\nmeasure 4 bar=double\nmeasure 5\ns1 expression 2\n"
             "measure 6-7\nmeasure 8\ns1 expression 3\n"},
        {{"--set", "QZPT_SEQUENCES_NUMSTEPS_PROFILE=0", "--set", "QZPT_SEQUENCES_NUMSTEPS_METHOD=1", "--task",
          "Numbered Steps"},
         head + "text-expression 1 \"^fontTxt(Maestro)^size(12)^nfx(0)1\"" + number +
             "measure 1-3\nmeasure 4 bar=double\nmeasure 5\ns1 expression 1\nmeasure 6-8\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), {"--select", "1:all"});
        for (const char* more : {"--apply", "--print", "--task", "Delete Numbers", "--apply", "--print"})
            arguments.push_back(more);
        arguments.push_back(score);
        const Result result = Run(arguments);
        EXPECT_EQ(0, result.status) << result.err;
        const size_t second = result.out.find("# qzhost: after Apply 2");
        ASSERT_NE(std::string::npos, second) << result.out;
        EXPECT_EQ(Music(c.music), Music(result.out.substr(0, second)));
        // Delete Numbers takes the expressions away and keeps the definitions.
        const std::string kept = Music(result.out.substr(second));
        EXPECT_EQ(std::string::npos, kept.find("expression 1\n")) << kept;
        EXPECT_NE(std::string::npos, kept.find("text-expression 1 ")) << kept;
    }
}

// A batch runs the same script on each score in a fresh host: a score that cannot be read is
// reported and skipped, the others go on, each gets its line, and the status says one failed.
TEST_F(QzHost, ABatchRunsEveryScoreAndSkipsTheOneThatFails) {
    const std::string chords = Score("chords.qzs", "qzs 1\nstaff 1\nmeasure 1\ns1: 2 <C4 E4> r\n");
    const std::string malformed = Score("malformed.qzs", "qzs 1\nstaff 1\nmeasure 1\ns1: 4 C4 Q9\n");
    const std::string plain = Score("plain.qzs", "qzs 1\nstaff 1\nmeasure 1\ns1: 4 C4 D4 E4 F4\n");
    const std::string outDir = scratch->Utf8() + "/results";
    const Result result = Run({"--set", "QZPT_CHORDS_BREAK_STYLE=0", "--task", "Break", "--apply", "--out-dir", outDir,
                               chords, malformed, plain});
    EXPECT_EQ(2, result.status) << result.err;
    const std::string expected = chords + ": changed, 1 undo entry, written to " + outDir +
                                 "/chords.qzs, nothing dropped\n" + malformed + ": failed: " + malformed + ":4:";
    ASSERT_EQ(3u, Lines(result.out)) << result.out;
    EXPECT_EQ(0u, result.out.find(expected)) << result.out;
    const std::string last = result.out.substr(result.out.rfind('\n', result.out.size() - 2) + 1);
    EXPECT_EQ(plain + ": unchanged, 0 undo entries, written to " + outDir + "/plain.qzs, nothing dropped\n", last);
    // Every score was run through the whole session, the failed one as far as it came.
    size_t menus = 0;
    for (size_t at = result.err.find("qzhost: menu "); at != std::string::npos;
         at = result.err.find("qzhost: menu ", at + 1))
        ++menus;
    EXPECT_EQ(2u, menus) << result.err;
    EXPECT_TRUE(Contains(result.err, "malformed.qzs:4:")) << result.err;

    std::vector<std::string> written;
    for (const auto& entry : std::filesystem::directory_iterator(outDir)) written.push_back(entry.path().filename());
    std::sort(written.begin(), written.end());
    EXPECT_EQ((std::vector<std::string>{"chords.qzs", "plain.qzs"}), written);
    const std::string broken = scratch->ReadBytes("results/chords.qzs");
    EXPECT_EQ(Music("qzs 1\nstaff 1\nmeasure 1\ns1: 4 [C4 E4 2 r\n"), Music(broken)) << broken;
    EXPECT_EQ(Music(scratch->ReadBytes("plain.qzs")), Music(scratch->ReadBytes("results/plain.qzs")));

    // All good: status 0; the results are replaced.
    const Result again = Run({"--task", "Break", "--out-dir", outDir, chords, plain});
    EXPECT_EQ(0, again.status) << again.err;
    EXPECT_EQ(2u, Lines(again.out)) << again.out;
    EXPECT_EQ(Music(scratch->ReadBytes("chords.qzs")), Music(scratch->ReadBytes("results/chords.qzs")));
}

// A score is told by its content, not its name: MusicXML under any name opens as MusicXML, and in
// a batch its result keeps a MusicXML name.
TEST_F(QzHost, MusicXmlIsOpenedByContent) {
    std::ifstream in(QZ_TEST_DATA_DIR "/musicxml/basic.musicxml", std::ios::binary);
    const std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(xml.empty());
    const Result named = Run({"--print", Score("basic.musicxml", xml)});
    ASSERT_EQ(0, named.status) << named.err;
    EXPECT_TRUE(Contains(named.out, "\nstaff 1\n")) << named.out;
    const Result unnamed = Run({"--print", Score("basic.dat", xml)});
    EXPECT_EQ(0, unnamed.status) << unnamed.err;
    EXPECT_EQ(named.out, unnamed.out);

    // Written compressed and as plain text, each reads back into the same music; in a batch the
    // result keeps a MusicXML name.
    for (const char* name : {"basic-out.mxl", "basic-out.xml"}) {
        SCOPED_TRACE(name);
        const Result written = Run({"--out", scratch->File(name).string(), scratch->Utf8() + "/basic.dat"});
        ASSERT_EQ(0, written.status) << written.err;
        EXPECT_EQ(std::string(name).find(".mxl") != std::string::npos,
                  scratch->ReadBytes(name).compare(0, 2, "PK") == 0);
        const Result reread = Run({"--print", scratch->File(name).string()});
        EXPECT_EQ(0, reread.status) << reread.err;
        EXPECT_EQ(Music(named.out), Music(reread.out));
    }
    const Result batch = Run({"--out-dir", scratch->Utf8() + "/results", scratch->Utf8() + "/basic.dat"});
    EXPECT_EQ(0, batch.status) << batch.err;
    EXPECT_EQ(scratch->Utf8() + "/basic.dat: unchanged, 0 undo entries, written to " + scratch->Utf8() +
                  "/results/basic.dat.musicxml, nothing dropped\n",
              batch.out);
    EXPECT_EQ(Music(named.out), Music(Run({"--print", scratch->Utf8() + "/results/basic.dat.musicxml"}).out));
}

// Every task of the catalogue does work through the window's Apply on an example score; a task
// whose Apply can change nothing, or one the table has no run for, fails here.
TEST_F(QzHost, EveryTaskOfTheCatalogueChangesAnExample) {
    struct ExampleRun {
        int taskID;
        const char* path;  // as --task takes it
        const char* example;
        std::vector<std::string> before;  // tasks applied first, each one undo entry
    };
    const ExampleRun runs[] = {
        {1001, "Reorder Notes", "patterns.qzs", {}},
        {1002, "Merge to Chord", "patterns.qzs", {}},
        {1003, "Beamed Groups/Articulations", "patterns.qzs", {}},
        {1004, "Beamed Groups/Slurs", "patterns.qzs", {}},
        {1005, "Chord Symbols", "patterns.qzs", {}},
        {1101, "Break", "patterns.qzs", {}},
        {1201, "Carbon Copy", "dynamics.qzs", {}},
        {1202, "Hairpins", "dynamics.qzs", {}},
        {1203, "Hairpin Swells", "dynamics.qzs", {}},
        {1301, "Performance Notation/Articulations", "patterns.qzs", {}},
        {1303, "Performance Notation/Slurs", "patterns.qzs", {}},
        {1402, "Two-state Pattern", "twostate.qzs", {}},
        {1403, "Numbered Measures", "numbering.qzs", {}},
        {1404, "Numbered Steps", "numbering.qzs", {}},
        // Numbers to delete come from the task that makes them.
        {1405, "Delete Numbers", "numbering.qzs", {"Numbered Measures"}},
    };
    for (int i = 0; i < taskcatalogue::kTaskCount; ++i) {
        const int id = taskcatalogue::GetTaskID(i);
        SCOPED_TRACE(taskcatalogue::GetTaskName(id));
        const ExampleRun* run = nullptr;
        for (const ExampleRun& r : runs)
            if (r.taskID == id) run = &r;
        ASSERT_NE(nullptr, run) << "no example run for task " << id;
        std::vector<std::string> arguments;
        for (const std::string& first : run->before) arguments.insert(arguments.end(), {"--task", first, "--apply"});
        arguments.insert(arguments.end(),
                         {"--task", run->path, "--apply", std::string(QZ_EXAMPLES_DIR "/") + run->example});
        const Result result = Run(arguments);
        EXPECT_EQ(0, result.status) << result.err;
        EXPECT_FALSE(Contains(result.err, "nothing changed")) << result.err;
        const size_t entries = run->before.size() + 1;
        EXPECT_TRUE(Contains(result.err, "the document was changed (" + std::to_string(entries) +
                                             (entries == 1 ? " undo entry)" : " undo entries)")))
            << result.err;
    }
}
