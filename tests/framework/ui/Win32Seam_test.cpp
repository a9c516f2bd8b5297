// The Win32 interface of the window layer: the numbers and 32-bit layouts the framework and the
// stand-in host rely on. The same test runs against the system's headers on Windows and against
// the simulated desktop's declaration on Linux, so the two sides of the seam cannot drift apart.
#include "qzwin32.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace {

static_assert(sizeof(void*) == 4, "the window layer is 32-bit");

TEST(Win32Seam, MessageAndNotificationNumbersAreThePlatforms) {
    struct Row {
        const char* name;
        long long value;
        long long expected;
    };
    const Row rows[] = {
        {"WM_SIZE", WM_SIZE, 5},
        {"WM_ACTIVATE", WM_ACTIVATE, 6},
        {"WM_CLOSE", WM_CLOSE, 16},
        {"WM_SHOWWINDOW", WM_SHOWWINDOW, 24},
        {"WM_GETMINMAXINFO", WM_GETMINMAXINFO, 36},
        {"WM_WINDOWPOSCHANGING", WM_WINDOWPOSCHANGING, 70},
        {"WM_NOTIFY", WM_NOTIFY, 78},
        {"WM_INITDIALOG", WM_INITDIALOG, 272},
        {"WM_COMMAND", WM_COMMAND, 273},
        {"WM_TIMER", WM_TIMER, 275},
        {"UDN_DELTAPOS", int(UDN_DELTAPOS), -722},
        {"TCN_SELCHANGE", int(TCN_SELCHANGE), -551},
        {"TVN_SELCHANGEDW", int(TVN_SELCHANGEDW), -451},
        {"TVN_SELCHANGEDA", int(TVN_SELCHANGEDA), -402},
        {"LVN_GETDISPINFOW", int(LVN_GETDISPINFOW), -177},
        {"LVN_GETDISPINFOA", int(LVN_GETDISPINFOA), -150},
        {"LVN_ITEMCHANGED", int(LVN_ITEMCHANGED), -101},
        {"NM_DBLCLK", int(NM_DBLCLK), -3},
        {"CB_GETCURSEL", CB_GETCURSEL, 0x147},
        {"CB_SETCURSEL", CB_SETCURSEL, 0x14E},
        {"LB_GETCURSEL", LB_GETCURSEL, 0x188},
        {"BM_GETCHECK", BM_GETCHECK, 0xF0},
        {"LVM_SETITEMSTATE", LVM_SETITEMSTATE, 0x102B},
        {"LVM_INSERTITEMW", LVM_INSERTITEMW, 0x104D},
        {"LVM_INSERTCOLUMNW", LVM_INSERTCOLUMNW, 0x1061},
        {"TVM_INSERTITEMW", TVM_INSERTITEMW, 0x1132},
        {"TVM_SELECTITEM", TVM_SELECTITEM, 0x110B},
        {"TVM_GETNEXTITEM", TVM_GETNEXTITEM, 0x110A},
        {"DWLP_USER", DWLP_USER, 8},
        {"DWLP_MSGRESULT", DWLP_MSGRESULT, 0},
        {"LVIS_STATEIMAGEMASK", LVIS_STATEIMAGEMASK, 0xF000},
        {"SM_CYFULLSCREEN", SM_CYFULLSCREEN, 17},
        {"MB_ICONWARNING", MB_ICONWARNING, 0x30},
        {"IDYES", IDYES, 6},
        {"IDNO", IDNO, 7},
    };
    for (const Row& row : rows) EXPECT_EQ(row.expected, row.value) << row.name;
}

TEST(Win32Seam, NotificationRecordsHaveThe32BitLayouts) {
    struct Row {
        const char* name;
        size_t size;
        size_t expected;
    };
    const Row rows[] = {
        {"NMHDR", sizeof(NMHDR), 12},
        {"NMLISTVIEW", sizeof(NMLISTVIEW), 44},
        {"NMITEMACTIVATE", sizeof(NMITEMACTIVATE), 48},
        {"NMLVDISPINFOW", sizeof(NMLVDISPINFOW), 72},
        {"NMLVDISPINFOA", sizeof(NMLVDISPINFOA), 72},
        {"LVITEMW", sizeof(LVITEMW), 60},
        {"LVCOLUMNW", sizeof(LVCOLUMNW), 44},
        {"TVITEMW", sizeof(TVITEMW), 40},
        {"TVINSERTSTRUCTW", sizeof(TVINSERTSTRUCTW), 68},
        {"NMTREEVIEWW", sizeof(NMTREEVIEWW), 104},
        {"NMUPDOWN", sizeof(NMUPDOWN), 20},
        {"MINMAXINFO", sizeof(MINMAXINFO), 40},
        {"WINDOWPOS", sizeof(WINDOWPOS), 28},
        {"LOGFONTW", sizeof(LOGFONTW), 92},
        {"NMTREEVIEWW.itemNew", offsetof(NMTREEVIEWW, itemNew), 56},
        {"NMLISTVIEW.uChanged", offsetof(NMLISTVIEW, uChanged), 28},
        {"MINMAXINFO.ptMinTrackSize", offsetof(MINMAXINFO, ptMinTrackSize), 24},
        {"NMUPDOWN.iDelta", offsetof(NMUPDOWN, iDelta), 16},
    };
    for (const Row& row : rows) EXPECT_EQ(row.expected, row.size) << row.name;
}

}  // namespace
