// The resource-script reader gives the dialog templates the Windows build's resource compiler
// makes of the same script (the expected styles are that compiler's output).
#include "simhost/desktop/ResourceScript.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string ReadTestScript() {
    std::ifstream file(std::string(QZ_TEST_DATA_DIR) + "/../framework/ui/data/test_dialogs.rc");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

simhost::ResourceScript Parse(const std::string& text) {
    simhost::ResourceScript script;
    std::string error;
    EXPECT_TRUE(simhost::ParseResourceScript(text, &script, &error)) << error;
    return script;
}

TEST(ResourceScript, ReadsTheTestTemplates) {
    const std::string text = ReadTestScript();
    ASSERT_FALSE(text.empty());
    const simhost::ResourceScript script = Parse(text);
    ASSERT_EQ(2u, script.dialogs.size()) << "the STRINGTABLE is skipped";
    const simhost::DialogTemplate* window = script.FindDialog(9001);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0x80cc0040u, window->style);
    EXPECT_EQ(u"QZ Test Window", window->caption);
    EXPECT_EQ(8, window->fontSize);
    EXPECT_EQ(u"MS Sans Serif", window->fontName);
    EXPECT_EQ(300, window->cx);
    EXPECT_EQ(200, window->cy);
    struct Row {
        int id;
        const char16_t* className;
        const char16_t* text;
        uint32_t style;
        int x, y, cx, cy;
    };
    const Row rows[] = {
        {101, u"Static", u"&Label:", 0x50020000, 10, 10, 100, 8},
        {102, u"SysTreeView32", u"", 0x50810027, 10, 20, 100, 100},
        {103, u"ComboBox", u"", 0x50210003, 120, 20, 100, 60},
        {104, u"Edit", u"", 0x50810080, 120, 40, 50, 12},
        {111, u"Edit", u"", 0x50810080, 180, 40, 40, 12},
        {105, u"Button", u"Check me", 0x50010003, 120, 58, 80, 10},
        {106, u"ListBox", u"", 0x50a10001, 120, 72, 100, 40},
        {107, u"SysListView32", u"", 0x5081000d, 230, 20, 60, 90},
        {108, u"Static", u"", 0x50000010, 10, 130, 280, 2},
        {109, u"Button", u"Hidden", 0x40010000, 10, 140, 40, 14},
        {110, u"Button", u"Press", 0x50010000, 60, 140, 40, 14},
        {1, u"Button", u"Apply", 0x50010001, 190, 180, 40, 14},
        {162, u"Button", u"Close", 0x50010000, 240, 180, 40, 14},
    };
    ASSERT_EQ(sizeof rows / sizeof rows[0], window->items.size());
    for (size_t i = 0; i < window->items.size(); ++i) {
        const simhost::DialogItemTemplate& item = window->items[i];
        const Row& row = rows[i];
        EXPECT_EQ(row.id, item.id);
        EXPECT_EQ(row.className, item.className) << row.id;
        EXPECT_EQ(row.text, item.text) << row.id;
        EXPECT_EQ(row.style, item.style) << row.id;
        EXPECT_EQ(row.x, item.x) << row.id;
        EXPECT_EQ(row.y, item.y) << row.id;
        EXPECT_EQ(row.cx, item.cx) << row.id;
        EXPECT_EQ(row.cy, item.cy) << row.id;
    }
    const simhost::DialogTemplate* modal = script.FindDialog(9002);
    ASSERT_NE(nullptr, modal);
    EXPECT_EQ(0x80c800c0u, modal->style);
    EXPECT_EQ(-1, modal->items[0].id);
    EXPECT_EQ(nullptr, script.FindDialog(9003));
}

TEST(ResourceScript, StatementsGetTheResourceCompilersDefaultStyles) {
    const simhost::ResourceScript script = Parse(R"(
#include <windows.h>
#define MYID 77
100 DIALOGEX 10, 20, 100, 100
STYLE WS_POPUP
CAPTION "x"
BEGIN
    COMBOBOX 1, 1,1,1,1, CBS_DROPDOWNLIST
    COMBOBOX 2, 1,1,1,1
    EDITTEXT 3, 1,1,1,1, NOT WS_BORDER
    EDITTEXT 4, 1,1,1,1
    PUSHBUTTON "a", 5, 1,1,1,1, WS_DISABLED
    LTEXT "t", 6, 1,1,1,1, SS_NOTIFY
    LTEXT "t", 7, 1,1,1,1, NOT WS_GROUP
    LISTBOX 8, 1,1,1,1
    AUTOCHECKBOX "c", 9, 1,1,1,1
    CHECKBOX "c", 10, 1,1,1,1
    GROUPBOX "g", 11, 1,1,1,1
    RTEXT "r", 12, 1,1,1,1
    CTEXT "r", 13, 1,1,1,1
    CONTROL "", 14, "Button", BS_AUTOCHECKBOX, 1,1,1,1
    CONTROL "", 15, WC_TREEVIEW, 0, 1,1,1,1, WS_EX_CLIENTEDGE
    EDITTEXT 16, 1,1,1,1, ES_NUMBER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE
    DEFPUSHBUTTON "OK", IDOK, 1,1,1,1
    RADIOBUTTON "r", 17, 1,1,1,1
    AUTORADIOBUTTON "r", 18, 1,1,1,1, WS_DISABLED
    CONTROL "x", MYID + 1, "Button", NOT WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 1,1,1,1
    LTEXT "a""b", 19, 1,1,1,1
    EDITTEXT 20, 1,1,1,1, NOT 0x10000 | NOT WS_BORDER
END
101 DIALOG 10, 20, 100, 100
BEGIN
END
VS_VERSION_INFO VERSIONINFO
 FILEVERSION 1, 0, 0, 0
 FILEOS VOS_NT_WINDOWS32
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        VALUE "ProductName", "skipped"
    END
END
)");
    ASSERT_EQ(2u, script.dialogs.size());
    EXPECT_EQ(0x80c00000u, script.dialogs[0].style) << "CAPTION adds the caption to the style given";
    EXPECT_EQ(0x80880000u, script.dialogs[1].style) << "the default dialog style";
    struct Row {
        int id;
        uint32_t style;
        uint32_t exStyle;
    };
    const Row rows[] = {
        {1, 0x50000003, 0},      {2, 0x50010001, 0},  {3, 0x50010000, 0},  {4, 0x50810000, 0},  {5, 0x58010000, 0},
        {6, 0x50000100, 0},      {7, 0x50000000, 0},  {8, 0x50800001, 0},  {9, 0x50010003, 0},  {10, 0x50010002, 0},
        {11, 0x50000007, 0},     {12, 0x50020002, 0}, {13, 0x50020001, 0}, {14, 0x50000003, 0}, {15, 0x50000000, 0x200},
        {16, 0x50812080, 0x200}, {1, 0x50010001, 0},  {17, 0x50010004, 0}, {18, 0x58000009, 0}, {78, 0x40010000, 0},
        {19, 0x50020000, 0},     {20, 0x50000000, 0},
    };
    const std::vector<simhost::DialogItemTemplate>& items = script.dialogs[0].items;
    ASSERT_EQ(sizeof rows / sizeof rows[0], items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(rows[i].id, items[i].id) << "item " << i;
        EXPECT_EQ(rows[i].style, items[i].style) << "item " << i << " (" << items[i].statement << ")";
        EXPECT_EQ(rows[i].exStyle, items[i].exStyle) << "item " << i;
    }
    EXPECT_EQ(u"SysTreeView32", items[14].className);
    EXPECT_EQ(u"a\"b", items[20].text);
}

TEST(ResourceScript, TheModulesScriptHoldsNoDialogTheParserCannotRead) {
    std::ifstream file(std::string(QZ_TEST_DATA_DIR) + "/../../resources/qzpattern.rc");
    std::stringstream text;
    text << file.rdbuf();
    ASSERT_FALSE(text.str().empty());
    Parse(text.str());
}

TEST(ResourceScript, ErrorsNameTheirLine) {
    struct Row {
        const char* script;
        const char* error;
    };
    const Row rows[] = {
        {"1 DIALOGEX 0, 0, 10, 10\nBEGIN\n  LTEXT \"a\", 1, 1, 1, 1, 1, SS_NOSUCH\nEND\n",
         "line 3: unknown name SS_NOSUCH"},
        {"1 ICON \"app.ico\"\n", "line 1: unsupported resource type ICON"},
        {"1 DIALOGEX 0, 0, 10, 10\nBEGIN\n  LTEXT \"a\", 1, 1, 1, 1, 1\n", "missing END"},
        {"1 DIALOGEX 0, 0, 10, 10\nCAPTION \"open\nBEGIN\nEND\n", "line 2: unterminated string"},
        {"1 DIALOGEX 0, 0, 10, 10\nBEGIN\n  SCROLLBAR 1, 1, 1, 1, 1\nEND\n", "unsupported control statement SCROLLBAR"},
        {"1 DIALOGEX 0, 0, 10\nBEGIN\nEND\n", "expected ','"},
    };
    for (const Row& row : rows) {
        simhost::ResourceScript script;
        std::string error;
        EXPECT_FALSE(simhost::ParseResourceScript(row.script, &script, &error)) << row.script;
        EXPECT_NE(std::string::npos, error.find(row.error)) << "got: " << error;
        EXPECT_TRUE(script.dialogs.empty());
    }
}

}  // namespace
