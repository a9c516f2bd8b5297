// qzhost built for Windows, FINALE.EXE, run as a process as a user runs it: it loads qzpattern.dll
// from beside it, applies Reorder Notes and Break from the command line (the results the Linux
// qzhost tests expect), and stands for a host without one of its functions: with any one FX_*
// function withdrawn from its exports the plug-in answers 0 where its binding says and the run
// ends normally, never in a crash.
#include "simhost/ScoreText.h"
#include "tests/framework/files/TempHostFolder.h"
#include "tests/tools/PatternResults.h"

#include "qzwin32.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Result {
    DWORD status = DWORD(-1);
    std::string out;
    std::string err;
};

// A running FINALE.EXE with its output going to two files of the scratch folder.
struct Run {
    PROCESS_INFORMATION process = {};
    std::string outName, errName;
    bool started = false;
};

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], int(wide.size()));
    wide.resize(units > 0 ? size_t(units - 1) : 0);
    return wide;
}

std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    for (char c : argument) quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
    return quoted + "\"";
}

HANDLE OutputFile(const TempHostFolder& scratch, const std::string& name) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileW(Wide(scratch.File(name).u8string()).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

Run Start(const TempHostFolder& scratch, const std::vector<std::string>& arguments, const std::string& tag) {
    Run run;
    run.outName = tag + ".out";
    run.errName = tag + ".err";
    std::string command = Quoted(QZ_HOST_PROGRAM);
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    HANDLE out = OutputFile(scratch, run.outName), err = OutputFile(scratch, run.errName);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::wstring line = Wide(command);
    run.started = CreateProcessW(Wide(QZ_HOST_PROGRAM).c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                 &startup, &run.process) != FALSE;
    CloseHandle(out);
    CloseHandle(err);
    return run;
}

Result Finish(const TempHostFolder& scratch, Run& run) {
    Result result;
    if (!run.started) return result;
    if (WaitForSingleObject(run.process.hProcess, 120000) != WAIT_OBJECT_0) TerminateProcess(run.process.hProcess, 99);
    GetExitCodeProcess(run.process.hProcess, &result.status);
    CloseHandle(run.process.hProcess);
    CloseHandle(run.process.hThread);
    // The program writes text in the system's convention (CR LF); compared as lines.
    for (std::string* text : {&result.out, &result.err}) {
        *text = text == &result.out ? scratch.ReadBytes(run.outName) : scratch.ReadBytes(run.errName);
        std::string lines;
        for (size_t i = 0; i < text->size(); ++i)
            if (!((*text)[i] == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n')) lines += (*text)[i];
        *text = lines;
    }
    return result;
}

// Runs the programs a few at a time; the results in the order of the argument lists.
std::vector<Result> RunAll(const TempHostFolder& scratch, const std::vector<std::vector<std::string>>& runs) {
    const size_t atOnce = 4;
    std::vector<Result> results(runs.size());
    for (size_t first = 0; first < runs.size(); first += atOnce) {
        std::vector<Run> started;
        for (size_t i = first; i < runs.size() && i < first + atOnce; ++i)
            started.push_back(Start(scratch, runs[i], "run" + std::to_string(i)));
        for (size_t i = 0; i < started.size(); ++i) results[first + i] = Finish(scratch, started[i]);
    }
    return results;
}

std::string Music(const std::string& text) {
    simhost::ScoreTextOptions plain;
    plain.bookkeeping = false;
    return simhost::CanonicalScoreText(text, plain);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The names of this program's FX_* exports: the functions of the stand-in host, which FINALE.EXE
// exports just the same.
std::vector<std::string> HostFunctions() {
    std::vector<std::string> names;
    const BYTE* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
    const IMAGE_NT_HEADERS* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (!directory.VirtualAddress) return names;
    const IMAGE_EXPORT_DIRECTORY* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const DWORD* nameTable = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        const std::string name = reinterpret_cast<const char*>(base + nameTable[i]);
        if (name.compare(0, 3, "FX_") == 0) names.push_back(name);
    }
    return names;
}

class HostProgram : public ::testing::Test {
protected:
    void SetUp() override {
        scratch.reset(new TempHostFolder);
        scratch->WriteBytes("melody.qzs", patternresults::kMelody);
        score = scratch->File("melody.qzs").u8string();
    }
    // A fresh host folder for one run, inside the scratch folder.
    std::string HostFolder(const std::string& name) {
        std::filesystem::create_directory(scratch->File(name));
        return scratch->File(name).u8string();
    }

    std::unique_ptr<TempHostFolder> scratch;
    std::string score;
};

}  // namespace

TEST_F(HostProgram, AppliesReorderNotesAndBreakFromTheCommandLine) {
    using namespace patternresults;
    std::vector<std::vector<std::string>> runs;
    for (const ReorderCase& c : kReorderCases)
        runs.push_back({"--folder", HostFolder("reorder" + std::to_string(c.style)), "--set",
                        "QZPT_BEAMEDGROUPS_REODER_STYLE=" + std::to_string(c.style), "--select", "1:1-2", "--task",
                        "Reorder Notes", "--apply", "--print", "--undo-list", score});
    for (const BreakCase& c : kBreakCases)
        runs.push_back({"--folder", HostFolder("break" + std::to_string(c.style)), "--set",
                        "QZPT_CHORDS_BREAK_STYLE=" + std::to_string(c.style), "--select", "1:3", "--task", "Break",
                        "--apply", "--print", "--undo-list", score});
    const std::vector<Result> results = RunAll(*scratch, runs);
    for (size_t i = 0; i < results.size(); ++i) {
        const bool reorder = i < std::size(kReorderCases);
        const std::string task = reorder ? "Reorder Notes" : "Break";
        SCOPED_TRACE(task + " " + std::to_string(i));
        const Result& result = results[i];
        ASSERT_EQ(0u, result.status) << result.err;
        EXPECT_TRUE(Contains(result.err,
                             "qzhost: menu Pattern > QZ Pattern... (Tasks for pattern creation and "
                             "manipulation.)"))
            << result.err;
        EXPECT_TRUE(Contains(result.err, "Apply 1 of \"" + task + "\": the task changed the document")) << result.err;
        const std::string expected =
            reorder ? AfterReorder(kReorderCases[i]) : AfterBreak(kBreakCases[i - std::size(kReorderCases)]);
        const size_t undo = result.out.find("undo list:");
        ASSERT_NE(std::string::npos, undo) << result.out;
        EXPECT_EQ(Music(expected), Music(result.out.substr(0, undo)));
        EXPECT_EQ("undo list:\n  1. " + task + "\n", result.out.substr(undo));
    }
}

// The plug-in's message boxes are the system's; the host program answers them as told, and a box
// nobody answered is reported and closed.
TEST_F(HostProgram, AnswersThePluginsMessageBoxes) {
    scratch->WriteBytes("wide.qzs", "qzs 1\nstaff 1\nstaff 2\nmeasure 1-12\n");
    scratch->WriteBytes("one.qzs", "qzs 1\nstaff 1\nmeasure 1-2\n");
    const std::string wide = scratch->File("wide.qzs").u8string(), one = scratch->File("one.qzs").u8string();
    struct Case {
        std::vector<std::string> arguments;
        const char* box;
        const char* outcome;
    };
    const Case cases[] = {
        {{"--task", "Hairpins", "--answer", "no", "--apply", wide}, "\"Wide Selected Region\"", "[no]"},
        {{"--task", "Hairpins", "--answer", "yes", "--apply", wide}, "\"Wide Selected Region\"", "[yes]"},
        {{"--task", "Carbon Copy", "--answer", "ok", "--apply", one}, "\"Too Few Selected Staves\"", "[ok]"},
        {{"--task", "Carbon Copy", "--apply", one}, "nobody scripted", "[not answered]"},
    };
    std::vector<std::vector<std::string>> runs;
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"--folder", HostFolder("boxes" + std::to_string(runs.size()))};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        runs.push_back(arguments);
    }
    const std::vector<Result> results = RunAll(*scratch, runs);
    for (size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE(cases[i].outcome);
        EXPECT_EQ(0u, results[i].status) << results[i].err;
        EXPECT_TRUE(Contains(results[i].err, cases[i].box)) << results[i].err;
        EXPECT_TRUE(Contains(results[i].err, cases[i].outcome)) << results[i].err;
    }
    EXPECT_TRUE(Contains(results[0].err, "nothing changed\n")) << "No abandons the Apply without a beep";
}

// Every host function, withdrawn in turn: the same script runs to its end every time.
TEST_F(HostProgram, WithoutAnyOneHostFunctionThePluginNeverCrashes) {
    const std::vector<std::string> functions = HostFunctions();
    ASSERT_GT(functions.size(), 30u);
    std::vector<std::vector<std::string>> runs;
    for (const std::string& name : functions)
        runs.push_back({"--folder", HostFolder(name), "--withdraw", name, "--select", "1:1-2", "--task",
                        "Reorder Notes", "--apply", "--select", "1:3", "--task", "Break", "--apply", "--print", score});
    const std::vector<Result> results = RunAll(*scratch, runs);
    for (size_t i = 0; i < results.size(); ++i) {
        const std::string& name = functions[i];
        SCOPED_TRACE(name);
        const Result& result = results[i];
        // 3: the plug-in could open no task window; never a crash or a hang.
        EXPECT_TRUE(result.status == 0 || result.status == 3) << std::hex << result.status << "\n" << result.err;
        EXPECT_TRUE(Contains(result.err, "qzhost: the document ")) << "the run ended normally:\n" << result.err;
        if (name == "FX_Dialog") {
            EXPECT_EQ(3u, result.status);
            EXPECT_TRUE(Contains(result.err, "the plug-in opened no task window")) << result.err;
        } else if (name == "FX_StartFinaleEdit_UTF16") {
            // No edit can be opened: no task runs, and the user hears it.
            EXPECT_EQ(0u, result.status);
            EXPECT_TRUE(Contains(result.err, "Apply 1 of \"Reorder Notes\": nothing changed (the plug-in beeped)"))
                << result.err;
            EXPECT_TRUE(Contains(result.err, "the document is unchanged")) << result.err;
        } else if (name == "FX_EndFinaleEdit") {
            // No edit can be committed: each one is cancelled, so nothing is left half-done.
            EXPECT_EQ(0u, result.status);
            EXPECT_TRUE(Contains(result.err, "Apply 1 of \"Reorder Notes\": nothing changed (the plug-in beeped)"))
                << result.err;
            EXPECT_TRUE(Contains(result.err, "Apply 2 of \"Break\": nothing changed (the plug-in beeped)"))
                << result.err;
            EXPECT_TRUE(Contains(result.err, "the document is unchanged")) << result.err;
        } else if (name == "FX_GetFinalePath") {
            // No folder to read from or write to: the defaults, and nothing on disk.
            EXPECT_TRUE(std::filesystem::is_empty(scratch->File(name))) << "nothing written";
            EXPECT_TRUE(Contains(result.err, "Apply 2 of \"Break\": the task changed the document")) << result.err;
        }
    }
}

TEST_F(HostProgram, RefusesToWithdrawWhatItDoesNotExport) {
    const std::vector<Result> results =
        RunAll(*scratch, {{"--withdraw", "FX_NoSuchFunction", score}, {"--withdraw", "Dialog", score}});
    EXPECT_EQ(2u, results[0].status);
    EXPECT_EQ("qzhost: --withdraw: the host exports no function named \"FX_NoSuchFunction\"\n", results[0].err);
    EXPECT_EQ(2u, results[1].status);
    EXPECT_TRUE(Contains(results[1].err, "--withdraw takes the name of a host function (FX_...)")) << results[1].err;
}
