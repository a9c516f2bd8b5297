// The dialog service on the simulated desktop only: the desktop sizes a dialog once more when it
// first shows it (the system's dialog manager sizes it before the dispatcher is reached), and it
// computes the template's dialog units into exactly these pixels, with an 8-pixel frame and a
// 23-pixel caption. The service's behaviour on both desktops is in DialogService_test.cpp.
#include "tests/framework/ui/DesktopFixture.h"

#include "simhost/DialogService.h"
#include "simhost/SimFunctions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint32_t> g_messages;
FXWindow g_window = nullptr;

int32_t FXAPI Record(FXWindow window, uint32_t message, uint32_t, int32_t, void*) {
    g_messages.push_back(message);
    if (message == WM_INITDIALOG) g_window = window;
    return 0;
}

class SimulatedDialogService : public DesktopTest {
protected:
    HWND OpenModeless() {
        g_messages.clear();
        EXPECT_EQ(1, FX_Dialog(9001, &Record, driver.HostWindow(), 0, nullptr, kFXInterfaceVersion));
        return static_cast<HWND>(g_window);
    }
};

TEST_F(SimulatedDialogService, AModelessDialogIsSizedOnceMoreWhenFirstShown) {
    OpenModeless();
    std::vector<uint32_t> seen;
    for (uint32_t message : g_messages)
        if (message == WM_INITDIALOG || message == WM_SIZE || message == WM_SHOWWINDOW ||
            message == WM_WINDOWPOSCHANGING || message == WM_ACTIVATE)
            seen.push_back(message);
    EXPECT_EQ((std::vector<uint32_t>{WM_INITDIALOG, WM_SIZE, WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATE}), seen);
}

TEST_F(SimulatedDialogService, ThePictureGivesThePixelsOfTheTemplate) {
    HWND dialog = OpenModeless();
    EnableWindow(GetDlgItem(dialog, 110), FALSE);
    const std::string picture = driver.Picture(dialog);
    for (const char* line :
         {"dialog 9001 \"QZ Test Window\" at 8,31 size 466x364 (client 450x325) active\n",
          "  [101] label \"&Label:\" at 15,16 150x13\n", "  [105] check [ ] \"Check me\" at 180,94 120x17\n",
          "  [110] button \"Press\" at 90,228 60x22 disabled\n", "  [1] button \"Apply\" default at 285,293 60x22\n"})
        EXPECT_NE(std::string::npos, picture.find(line)) << line << "in\n" << picture;
}

}  // namespace
