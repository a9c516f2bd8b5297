// The real Windows module, qzpattern.dll, loaded by this program as the host loads its plug-ins.
// This program is FINALE.EXE, the executable the module's binding looks for, and exports the
// stand-in host's FX_* functions; the module's windows are the system's own dialogs and controls,
// driven through their window messages. What the module carries, its entry points byte for byte,
// a whole session of tasks applied to a score, its files on disk, its panels on screen (with a
// picture of the task window), and a host folder that is missing or unreadable.
#include "framework/score/FCMusicRegion.h"
#include "plugin/PluginExports.h"
#include "simhost/Document.h"
#include "simhost/RecordView.h"
#include "simhost/ScoreQueries.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"
#include "tests/framework/files/TempHostFolder.h"
#include "tests/framework/ui/DesktopFixture.h"
#include "tests/tools/PatternResults.h"
#include "tools/qzhost/PluginModule.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace pe = pluginexports;

constexpr int kTaskWindow = 20128;
constexpr int kProfileEditor = 20129;
// The task window's controls the checks use.
enum {
    kApply = 1,
    kTree = 102,
    kStatic1 = 103,
    kPopup1 = 104,
    kStatic2 = 105,
    kEdit1 = 106,
    kCheck1 = 107,
    kCheck2 = 108,
    kPopup2 = 110,
    kStatic3 = 112,
    kPopup3 = 113,
    kDescription = 122,
    kRespace = 123,
    kClose = 162
};

std::wstring Wide(const char* text) {
    std::wstring wide;
    for (const char* c = text; *c; ++c) wide += wchar_t(static_cast<unsigned char>(*c));
    return wide;
}

// The music of a document or score text, without bookkeeping, in one canonical form.
std::string Music(const std::string& text) {
    simhost::ScoreTextOptions plain;
    plain.bookkeeping = false;
    return simhost::CanonicalScoreText(text, plain);
}
std::string DocumentMusic() {
    simhost::ScoreTextOptions plain;
    plain.bookkeeping = false;
    return simhost::CanonicalScoreText(simhost::WriteScoreText(plain), plain);
}

// Selects staves and measures of the current document, as the user does in the host.
void Select(int staff, int firstMeasure, int lastMeasure) {
    simhost::Document& document = simhost::CurrentDocument();
    const std::vector<int> staves = simhost::StaffList(simhost::RecordView(document, 0), 0);
    int slot = 0;
    for (size_t i = 0; i < staves.size(); ++i)
        if (staves[i] == staff) slot = int(i) + 1;
    FCMusicRegion region;
    region.SetStaffListNumber(0);
    region.SetStartSlot(slot);
    region.SetEndSlot(slot);
    region.SetStartMeasure(firstMeasure);
    region.SetEndMeasure(lastMeasure);
    region.SetStartMeasurePos(0);
    region.SetEndMeasurePos(FCMusicRegion::kEndOfMeasure);
    simhost::RegionData data;
    region.GetRegionData(data.data());
    document.View().SetSelection(data);
}

class WindowsModule : public DesktopTest {
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
    // The host's start-up calls, then the invocation; dialog is the task window on screen.
    void Start() {
        ASSERT_EQ(pe::kPluginInterfaceVersion, module.version(simhost::kDefaultHostVersion));
        uint32_t flags = 0;
        module.init(nullptr, &flags);
        Invoke();
    }
    void Invoke() {
        module.invoke(driver.HostWindow(), nullptr, nullptr, nullptr);
        dialog = driver.Dialog(kTaskWindow);
    }
    HWND Item(int id) const { return driver.Control(dialog, id); }
    bool Visible(int id) const { return driver.IsVisible(Item(id)); }
    std::string Text(int id) const { return driver.Text(Item(id)); }

    std::unique_ptr<TempHostFolder> folder;
    PluginModule module;
    HWND dialog = nullptr;
};

}  // namespace

TEST(ModuleFile, CarriesBothTemplatesAndItsVersionInformation) {
    const std::wstring path = Wide(QZ_PATTERN_MODULE);
    HMODULE resources = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, resources);
    for (int id : {kTaskWindow, kProfileEditor})
        EXPECT_NE(nullptr, FindResourceW(resources, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5))) << id;
    FreeLibrary(resources);

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS) << "1.0";
    EXPECT_EQ(DWORD(VFT_DLL), fixed->dwFileType);
    struct Row {
        const wchar_t* key;
        const wchar_t* value;
    };
    for (const Row& row : {Row{L"ProductName", L"QZ Pattern"},
                           Row{L"FileDescription", L"Tasks for pattern creation and manipulation."}}) {
        wchar_t* value = nullptr;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + row.key;
        ASSERT_TRUE(VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length));
        EXPECT_EQ(std::wstring(row.value), std::wstring(value));
    }
}

TEST_F(WindowsModule, EntryPointsAnswerTheHostByteForByte) {
    EXPECT_EQ(pe::kPluginInterfaceVersion, module.version(simhost::kDefaultHostVersion));
    uint32_t flags = 0x10;
    EXPECT_EQ(1, module.init(nullptr, &flags));
    EXPECT_EQ(0x11u, flags) << "bit 0 set, the others kept";
    EXPECT_EQ(1, module.getMenuStatus(nullptr));

    // The 8-bit record: each text with its terminator, the two values 0, nothing else written.
    std::vector<unsigned char> expected(pe::kMenuRecordSize, 0xCC);
    for (const auto& text : {std::make_pair(pe::kMenuItemOffset, pe::kMenuItem),
                             std::make_pair(pe::kMenuDescriptionOffset, pe::kMenuDescription),
                             std::make_pair(pe::kMenuGroupOffset, pe::kMenuGroup)})
        std::memcpy(&expected[size_t(text.first)], text.second, std::strlen(text.second) + 1);
    expected[192] = expected[193] = expected[194] = expected[195] = 0;
    for (int16_t index : {int16_t(0), int16_t(-1), int16_t(1), int16_t(7)}) {
        SCOPED_TRACE(index);
        std::vector<unsigned char> record(pe::kMenuRecordSize, 0xCC);
        const bool fills = index < 1;
        EXPECT_EQ(fills ? 1 : 0, module.enumerate(nullptr, index, record.data()));
        EXPECT_EQ(fills ? expected : std::vector<unsigned char>(pe::kMenuRecordSize, 0xCC), record);
    }

    // The UTF-16 record, for index 0 only.
    std::vector<unsigned char> expectedUTF16(pe::kMenuRecordSizeUTF16, 0xCC);
    for (const auto& text : {std::make_pair(pe::kMenuItemOffsetUTF16, pe::kMenuItem),
                             std::make_pair(pe::kMenuDescriptionOffsetUTF16, pe::kMenuDescription),
                             std::make_pair(pe::kMenuGroupOffsetUTF16, pe::kMenuGroup)}) {
        const size_t units = std::strlen(text.second) + 1;
        for (size_t i = 0; i < units; ++i) {
            expectedUTF16[size_t(text.first) + 2 * i] = static_cast<unsigned char>(text.second[i]);
            expectedUTF16[size_t(text.first) + 2 * i + 1] = 0;
        }
    }
    for (int offset : {pe::kMenuValue1OffsetUTF16, pe::kMenuValue2OffsetUTF16})
        expectedUTF16[size_t(offset)] = expectedUTF16[size_t(offset) + 1] = 0;
    for (int16_t index : {int16_t(0), int16_t(-1), int16_t(1)}) {
        SCOPED_TRACE(index);
        std::vector<unsigned char> record(pe::kMenuRecordSizeUTF16, 0xCC);
        const bool fills = index == 0;
        EXPECT_EQ(fills ? 1 : 0, module.enumerateUTF16(nullptr, index, record.data()));
        EXPECT_EQ(fills ? expectedUTF16 : std::vector<unsigned char>(pe::kMenuRecordSizeUTF16, 0xCC), record);
    }
    EXPECT_EQ(nullptr, driver.Dialog(kTaskWindow)) << "nothing opens before the invocation";
}

// Open, look at the tree and a few panels, apply Reorder Notes and Break, close, reopen, terminate.
TEST_F(WindowsModule, ASessionAppliesTasksAndKeepsItsStateAndFiles) {
    using namespace patternresults;
    simhost::ScoreTextError error;
    ASSERT_TRUE(simhost::ReadScoreText(kMelody, &error)) << error.ToString();
    folder->WriteBytes("qzpluginprefs.txt", "QZPT_TASK=1101\r\nMY_OWN_KEY=kept\r\n");
    Start();
    ASSERT_NE(nullptr, dialog) << driver.LastDialogError();
    EXPECT_EQ("QZ Pattern", driver.Text(dialog));
    EXPECT_TRUE(driver.IsActive(dialog));

    // The tree: five categories (Performance Notation before Sequences), the stored task open.
    EXPECT_EQ((std::vector<std::string>{"+ Beamed Groups",
                                        "  Reorder Notes",
                                        "  Merge to Chord",
                                        "  Articulations",
                                        "  Slurs",
                                        "  Chord Symbols",
                                        "- Chords",
                                        "  Break *",
                                        "+ Dynamics",
                                        "  Carbon Copy",
                                        "  Hairpins",
                                        "  Hairpin Swells",
                                        "+ Performance Notation",
                                        "  Articulations",
                                        "  Slurs",
                                        "+ Sequences",
                                        "  Two-state Pattern",
                                        "  Numbered Measures",
                                        "  Numbered Steps",
                                        "  Delete Numbers"}),
              driver.TreeNodes(Item(kTree)));
    EXPECT_EQ("Breaks a chord into a single-note sequence that spans the duration of the chord.", Text(kDescription));

    // Panels on the real controls: labels, rows and the dependencies between the controls.
    ASSERT_TRUE(driver.SelectTreeNodeIn(Item(kTree), "Beamed Groups", "Reorder Notes"));
    EXPECT_EQ("Style:", Text(kStatic1));
    const std::vector<std::string> reorderRows = driver.Rows(Item(kPopup1));
    ASSERT_EQ(11u, reorderRows.size());
    EXPECT_EQ("Ascending", reorderRows.front());
    EXPECT_EQ("Randomize", reorderRows.back());
    EXPECT_FALSE(Visible(kPopup2));
    ASSERT_TRUE(driver.SelectTreeNodeIn(Item(kTree), "Dynamics", "Hairpins"));
    EXPECT_EQ("Shape type:", Text(kStatic1));
    EXPECT_EQ("Padding:", Text(kStatic2));
    EXPECT_EQ("Vertical Position:", Text(kStatic3));
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup3), 6));
    EXPECT_TRUE(Visible(kEdit1)) << "the custom distance shows with \"Custom (from baseline)\"";
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup3), 0));
    EXPECT_FALSE(Visible(kEdit1));
    ASSERT_TRUE(driver.SelectTreeNodeIn(Item(kTree), "Beamed Groups", "Articulations"));
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup2), 6));
    EXPECT_FALSE(driver.IsEnabled(Item(kEdit1))) << "\"Slurred Notes\" takes no number";
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup2), 2));
    EXPECT_TRUE(driver.IsEnabled(Item(kEdit1)));
    const bool keep = driver.IsChecked(Item(kCheck1));
    ASSERT_TRUE(driver.ToggleCheck(Item(kCheck1)));
    EXPECT_EQ(!keep, driver.IsEnabled(Item(kCheck2))) << "\"Merge if possible\" follows \"Keep\"";

    // Reorder Notes (Descending) on measures 1-2, then Break (Ascending) on measure 3.
    const ReorderCase& reorder = kReorderCases[1];
    const BreakCase& broken = kBreakCases[0];
    Select(1, 1, 2);
    ASSERT_TRUE(driver.SelectTreeNodeIn(Item(kTree), "Beamed Groups", "Reorder Notes"));
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup1), reorder.style));
    ASSERT_TRUE(driver.Click(Item(kApply)));
    Select(1, 3, 3);
    ASSERT_TRUE(driver.SelectTreeNodeIn(Item(kTree), "Chords", "Break"));
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup1), broken.style));
    ASSERT_TRUE(driver.Click(Item(kApply)));
    simhost::Document& document = simhost::CurrentDocument();
    EXPECT_FALSE(document.IsEditOpen());
    EXPECT_EQ((std::vector<std::u16string>{u"Reorder Notes", u"Break"}), document.UndoList());
    EXPECT_EQ(Music(std::string("qzs 1\nstaff 1\n") + reorder.measures12 + "measure 3\n" + broken.measure3),
              DocumentMusic());
    EXPECT_TRUE(driver.Beeps().empty()) << "both tasks changed the document";
    EXPECT_TRUE(driver.MessageBoxes().empty());

    // Closing writes the profiles, not the settings.
    const RECT open = driver.Bounds(dialog);
    ASSERT_TRUE(driver.CloseWindow(dialog));
    EXPECT_EQ(nullptr, driver.Dialog(kTaskWindow));
    EXPECT_TRUE(folder->Exists("qzpluginstorage.xml"));
    EXPECT_EQ("QZPT_TASK=1101\r\nMY_OWN_KEY=kept\r\n", folder->ReadBytes("qzpluginprefs.txt"));

    // Reopened from memory: the task and its option as they were, at the same place.
    Invoke();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Break", driver.SelectedTreeNode(Item(kTree)));
    EXPECT_EQ(broken.style, driver.SelectedRow(Item(kPopup1)));
    EXPECT_EQ(open.left, driver.Bounds(dialog).left);
    EXPECT_EQ(open.top, driver.Bounds(dialog).top);
    ASSERT_TRUE(driver.SelectTreeNodeIn(Item(kTree), "Beamed Groups", "Reorder Notes"));
    EXPECT_EQ(reorder.style, driver.SelectedRow(Item(kPopup1)));

    // Terminate writes the settings file, in the host's text convention (CR LF).
    module.terminate(nullptr);
    EXPECT_EQ(nullptr, driver.Dialog(kTaskWindow));
    const std::string settings = folder->ReadBytes("qzpluginprefs.txt");
    size_t lines = 0;
    for (size_t i = 0; i < settings.size(); ++i) {
        if (settings[i] != '\n') continue;
        ++lines;
        EXPECT_TRUE(i > 0 && settings[i - 1] == '\r') << "line " << lines << " ends in a bare LF";
    }
    EXPECT_GT(lines, 20u);
    for (const char* line : {"QZPT_TASK=1001\r\n", "QZPT_BEAMEDGROUPS_REODER_STYLE=1\r\n",
                             "QZPT_CHORDS_BREAK_STYLE=0\r\n", "MY_OWN_KEY=kept\r\n"})
        EXPECT_NE(std::string::npos, settings.find(line)) << line << "in\n" << settings;
    const std::string storage = folder->ReadBytes("qzpluginstorage.xml");
    for (const char* part : {"<QZPluginSettings>", "<QZPattern>", "<NumberSettingsProfiles>", "Default Profile"})
        EXPECT_NE(std::string::npos, storage.find(part)) << part << "in\n" << storage;
}

// Every panel on the real controls, laid out by the panel rule: no two visible controls overlap,
// no label or check box is narrower than its text and the description fits its field. First the
// task window with the Hairpins panel is saved as a picture, as the screen shows it.
TEST_F(WindowsModule, EveryPanelFitsItsControlsOnScreen) {
    folder->WriteBytes("qzpluginprefs.txt", "QZPT_TASK=1202\n");
    Start();
    ASSERT_NE(nullptr, dialog);
    ASSERT_EQ("Hairpins", driver.SelectedTreeNode(Item(kTree)));
    ASSERT_TRUE(driver.Activate(dialog));
    std::string why;
    ASSERT_TRUE(driver.SaveImage(dialog, QZ_TASK_WINDOW_IMAGE, &why)) << why;
    std::ifstream image(QZ_TASK_WINDOW_IMAGE, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(image)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ("BM", bytes.substr(0, 2));

    struct Task {
        const char* category;
        const char* name;
    };
    const Task tasks[] = {{"Beamed Groups", "Reorder Notes"}, {"Beamed Groups", "Merge to Chord"},
                          {"Beamed Groups", "Articulations"}, {"Beamed Groups", "Slurs"},
                          {"Beamed Groups", "Chord Symbols"}, {"Chords", "Break"},
                          {"Dynamics", "Carbon Copy"},        {"Dynamics", "Hairpins"},
                          {"Dynamics", "Hairpin Swells"},     {"Performance Notation", "Articulations"},
                          {"Performance Notation", "Slurs"},  {"Sequences", "Two-state Pattern"},
                          {"Sequences", "Numbered Measures"}, {"Sequences", "Numbered Steps"},
                          {"Sequences", "Delete Numbers"}};
    RECT client = {};
    GetClientRect(dialog, &client);
    for (const Task& task : tasks) {
        SCOPED_TRACE(std::string(task.category) + "/" + task.name);
        ASSERT_TRUE(driver.SelectTreeNodeIn(Item(kTree), task.category, task.name));
        std::vector<HWND> shown;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (IsWindowVisible(child)) shown.push_back(child);
        for (size_t i = 0; i < shown.size(); ++i) {
            const RECT a = driver.Bounds(shown[i]);
            const int id = GetDlgCtrlID(shown[i]);
            EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= client.right && a.bottom <= client.bottom)
                << "control " << id << " lies inside the window";
            for (size_t j = i + 1; j < shown.size(); ++j) {
                const RECT b = driver.Bounds(shown[j]);
                RECT overlap;
                EXPECT_FALSE(IntersectRect(&overlap, &a, &b))
                    << "controls " << id << " and " << GetDlgCtrlID(shown[j]) << " overlap";
            }
            // Single-line texts: a label or a check box shows its whole text.
            char16_t className[32] = {};
            GetClassNameW(shown[i], reinterpret_cast<LPWSTR>(className), 32);
            const std::u16string kind(className);
            const DWORD style = DWORD(GetWindowLongW(shown[i], GWL_STYLE));
            const bool label = kind == u"Static" && (style & SS_TYPEMASK) == SS_LEFT;
            const bool check = kind == u"Button" && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
            const std::string text = driver.Text(shown[i]);
            if ((!label && !check) || text.empty()) continue;
            HDC context = GetDC(shown[i]);
            HGDIOBJ previous =
                SelectObject(context, reinterpret_cast<HGDIOBJ>(SendMessageW(shown[i], WM_GETFONT, 0, 0)));
            std::vector<wchar_t> wide(text.size() + 1);
            const int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), int(wide.size())) - 1;
            // The description wraps in its field; every other text is one line.
            RECT needed = {0, 0, a.right - a.left, 0};
            DrawTextW(context, wide.data(), units, &needed,
                      DT_CALCRECT | DT_NOPREFIX | (id == kDescription ? DT_WORDBREAK : DT_SINGLELINE));
            SelectObject(context, previous);
            ReleaseDC(shown[i], context);
            const int box = check ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0;
            EXPECT_LE(needed.right + box, a.right - a.left) << "\"" << text << "\" (" << id << ") is cut";
            EXPECT_LE(needed.bottom, a.bottom - a.top) << "\"" << text << "\" (" << id << ") is cut at the bottom";
        }
    }
}

// A host folder the plug-in cannot use: the settings keep their defaults and nothing is written.
TEST_F(WindowsModule, AMissingOrUnreadableHostFolderGivesDefaultsAndWritesNothing) {
    const std::string missing = folder->Utf8() + "\\not here";
    const std::string notAFolder = folder->Utf8() + "\\a file";
    folder->WriteBytes("a file", "QZPT_TASK=1101\r\n");
    for (const std::string& hostFolder : {missing, notAFolder}) {
        SCOPED_TRACE(hostFolder);
        simhost::SetFolder(hostFolder);
        Start();
        ASSERT_NE(nullptr, dialog);
        EXPECT_NE("Break", driver.SelectedTreeNode(Item(kTree))) << "no settings were read";
        ASSERT_TRUE(driver.SelectTreeNodeIn(Item(kTree), "Chords", "Break"));
        EXPECT_EQ(0, driver.SelectedRow(Item(kPopup1))) << "the default style";
        ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup1), 3));
        ASSERT_TRUE(driver.CloseWindow(dialog));
        module.terminate(nullptr);
        module.Unload();
        std::string error;
        ASSERT_TRUE(module.Load(QZ_PATTERN_MODULE, &error)) << error;
    }
    std::error_code ignored;
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(missing), ignored));
    EXPECT_EQ("QZPT_TASK=1101\r\n", folder->ReadBytes("a file")) << "the file in the folder's place is untouched";
    EXPECT_EQ(std::vector<std::string>{"a file"}, [&] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder->Path()))
            names.push_back(entry.path().filename().u8string());
        return names;
    }());
}
