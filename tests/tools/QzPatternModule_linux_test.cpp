// The real plug-in module, libqzpattern.so, loaded into this program as the host loads it and run
// only through its exports: what it exports, how a loader refuses broken modules, and a whole
// session of opening, applying, closing, reopening and terminating with the files on disk.
#include "simhost/Document.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"
#include "tests/framework/files/TempHostFolder.h"
#include "tests/framework/ui/DesktopFixture.h"
#include "tools/qzhost/PluginModule.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace {

constexpr int kTaskWindow = 20128;
constexpr int kTree = 102;
constexpr int kPopup1 = 104;
constexpr int kApply = 1;

// The names of the symbols the module defines in its dynamic symbol table, as nm lists them.
std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
    std::set<std::string> names;
    std::FILE* pipe = popen(("nm -D --defined-only '" + path + "' 2>/dev/null").c_str(), "r");
    if (!pipe) return names;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        std::istringstream fields(line);
        std::string address, kind, name;
        if (fields >> address >> kind >> name) names.insert(kind + " " + name);
    }
    pclose(pipe);
    return names;
}

std::string SettingOnDisk(const TempHostFolder& folder, const std::string& key) {
    std::istringstream lines(folder.ReadBytes("qzpluginprefs.txt"));
    std::string line;
    while (std::getline(lines, line))
        if (line.compare(0, key.size() + 1, key + "=") == 0) return line.substr(key.size() + 1);
    return "<none>";
}

class Module : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        folder.reset(new TempHostFolder);
        std::string error;
        ASSERT_TRUE(module.Load(QZ_PATTERN_MODULE, &error)) << error;
    }
    void TearDown() override {
        if (module.IsLoaded()) module.terminate(nullptr);
        module.Unload();
        folder.reset();
        DesktopTest::TearDown();
    }
    HWND Item(int id) const { return driver.Control(dialog, id); }

    std::unique_ptr<TempHostFolder> folder;
    PluginModule module;
    HWND dialog = nullptr;
};

}  // namespace

TEST(ModuleFile, ExportsTheSevenEntryPointsAndNothingElse) {
    const std::set<std::string> expected = {"T FinaleExtensionEnumerate",     "T FinaleExtensionEnumerate_UTF16",
                                            "T FinaleExtensionGetMenuStatus", "T FinaleExtensionInit",
                                            "T FinaleExtensionInvoke",        "T FinaleExtensionTerminate",
                                            "T FinaleExtensionVersion"};
    EXPECT_EQ(expected, DefinedDynamicSymbols(QZ_PATTERN_MODULE));
}

TEST_F(Module, ASessionOpensAppliesClosesReopensAndTerminatesWithTheFilesOnDisk) {
    folder->WriteBytes("qzpluginprefs.txt", "QZPT_TASK=1101\n");
    simhost::ScoreTextError error;
    ASSERT_TRUE(simhost::ReadScoreText("qzs 1\nstaff 1\nmeasure 1\ns1: 8 [E4 C4 G4 D4 2 <C4 E4 G4>\n", &error))
        << error.ToString();
    module.version(simhost::kDefaultHostVersion);
    module.invoke(driver.HostWindow(), nullptr, nullptr, nullptr);
    // The window's template comes from the module itself: this program embeds no resources.
    dialog = driver.Dialog(kTaskWindow);
    ASSERT_NE(nullptr, dialog) << driver.LastDialogError();
    EXPECT_EQ("Break", driver.SelectedTreeNode(Item(kTree)));

    ASSERT_TRUE(driver.SelectTreeNode(Item(kTree), "Reorder Notes"));
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup1), 1));
    ASSERT_TRUE(driver.Click(Item(kApply)));
    simhost::Document& document = simhost::CurrentDocument();
    EXPECT_FALSE(document.IsEditOpen());
    const std::vector<std::u16string> undo = document.UndoList();
    if (undo.empty())
        EXPECT_EQ(1u, driver.Beeps().size()) << "an Apply that changes nothing beeps";
    else
        EXPECT_EQ(std::vector<std::u16string>{u"Reorder Notes"}, undo);

    // Closing writes the profiles, not the settings.
    ASSERT_TRUE(driver.CloseWindow(dialog));
    EXPECT_EQ(nullptr, driver.Dialog(kTaskWindow));
    EXPECT_TRUE(folder->Exists("qzpluginstorage.xml"));
    EXPECT_EQ("QZPT_TASK=1101\n", folder->ReadBytes("qzpluginprefs.txt"));

    // Reopened from memory, with the same task and option.
    module.invoke(driver.HostWindow(), nullptr, nullptr, nullptr);
    dialog = driver.Dialog(kTaskWindow);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Reorder Notes", driver.SelectedTreeNode(Item(kTree)));
    EXPECT_EQ(1, driver.SelectedRow(Item(kPopup1)));

    module.terminate(nullptr);
    EXPECT_EQ(nullptr, driver.Dialog(kTaskWindow));
    EXPECT_EQ("1001", SettingOnDisk(*folder, "QZPT_TASK"));
    EXPECT_EQ("1", SettingOnDisk(*folder, "QZPT_BEAMEDGROUPS_REODER_STYLE"));
    EXPECT_NE("<none>", SettingOnDisk(*folder, "QZPT_WINDOWX"));
    EXPECT_NE(std::string::npos, folder->ReadBytes("qzpluginstorage.xml").find("Default Profile"));
}

TEST_F(Module, EveryLoadStartsFromTheDefaults) {
    folder->WriteBytes("qzpluginprefs.txt", "QZPT_CHORDS_BREAK_STYLE=7\n");
    module.version(simhost::kDefaultHostVersion);
    module.invoke(driver.HostWindow(), nullptr, nullptr, nullptr);
    module.terminate(nullptr);
    EXPECT_EQ("7", SettingOnDisk(*folder, "QZPT_CHORDS_BREAK_STYLE"));
    module.Unload();
    EXPECT_EQ(nullptr, dlopen(QZ_PATTERN_MODULE, RTLD_NOW | RTLD_NOLOAD)) << "unloading really unloads the module";

    // A fresh load with a settings file that lacks the key: the default, not the value the
    // previous load held.
    folder->WriteBytes("qzpluginprefs.txt", "QZPT_TASK=1101\n");
    std::string error;
    ASSERT_TRUE(module.Load(QZ_PATTERN_MODULE, &error)) << error;
    module.version(simhost::kDefaultHostVersion);
    module.invoke(driver.HostWindow(), nullptr, nullptr, nullptr);
    dialog = driver.Dialog(kTaskWindow);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(0, driver.SelectedRow(Item(kPopup1)));
}
