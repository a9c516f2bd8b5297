// The window layer on the simulated desktop only: what the desktop records and Windows does not
// tell (batches of deferred moves, live fonts, the exact sizing messages), what it lets a test set
// (the screen's DPI) and its clock, which a test advances exactly. Everything else about windows
// runs on both desktops in FCResourceWindow_test.cpp.
#include "tests/framework/ui/DesktopFixture.h"
#include "tests/framework/ui/TestWindow.h"

#include "simhost/DialogService.h"

#include <gtest/gtest.h>

#include <memory>

using uitest::Log;
using uitest::TestWindow;

namespace {

class SimulatedWindowTest : public DesktopTest {
protected:
    HWND Open(TestWindow& window) {
        EXPECT_EQ(1, window.ShowModeless(driver.HostWindow()));
        return static_cast<HWND>(window.GetWindowHandle());
    }
};

// The simulated desktop sizes a dialog once more when it first shows it; its frame is 8 pixels
// and its caption 23.
TEST_F(SimulatedWindowTest, OpeningSizesTheWindowOnceAfterInit) {
    TestWindow window;
    Open(window);
    EXPECT_EQ((Log{"init", "resize 450x325 from 450x325", "activate"}), window.log);
    EXPECT_FLOAT_EQ(466, window.GetMinimumWidth());
    EXPECT_FLOAT_EQ(364, window.GetMaximumHeight());
}

TEST_F(SimulatedWindowTest, DeferredLayoutMovesAllPendingControlsInOneBatch) {
    TestWindow window;
    Open(window);
    window.BeginDeferredLayout();
    window.edit->MoveBy(40, 0);
    window.check->MoveTo(5, 6);
    window.tree->ResizeBy(40, 20);
    EXPECT_TRUE(driver.DeferredBatches().empty());
    window.EndDeferredLayout();
    EXPECT_EQ((std::vector<int>{3}), driver.DeferredBatches());
    window.BeginDeferredLayout();
    window.EndDeferredLayout();
    EXPECT_EQ(1u, driver.DeferredBatches().size()) << "no batch without pending moves";
}

TEST_F(SimulatedWindowTest, TimersFireExactlyOnTheirPeriods) {
    TestWindow window;
    Open(window);
    window.SetTimer(1, 300);
    window.SetTimer(7, 1000);
    driver.AdvanceClock(299);
    EXPECT_TRUE(window.Entries("timer").empty());
    driver.AdvanceClock(1);
    EXPECT_EQ((Log{"timer 1"}), window.Entries("timer"));
    driver.AdvanceClock(700);
    EXPECT_EQ((Log{"timer 1", "timer 1", "timer 1", "timer 7"}), window.Entries("timer"));
    window.SetTimer(1, 0);
    driver.AdvanceClock(1000);
    EXPECT_EQ((Log{"timer 1", "timer 1", "timer 1", "timer 7", "timer 7"}), window.Entries("timer"));
    window.CloseWindow();
    driver.AdvanceClock(5000);
    EXPECT_EQ(5u, window.Entries("timer").size()) << "timers end with the native window";
}

TEST_F(SimulatedWindowTest, BoldCopiesLiveAsLongAsTheirWindow) {
    std::unique_ptr<TestWindow> window(new TestWindow);
    Open(*window);
    window->label->SetBold();
    window->label->SetBold();
    EXPECT_EQ(2, driver.LiveFontCount()) << "the dialog's font and one bold copy";
    window.reset();
    EXPECT_EQ(0, driver.LiveFontCount());
}

TEST_F(SimulatedWindowTest, ScaledControlsWorkIn96DotsPerInch) {
    driver.SetScreenDPI(144);
    TestWindow window;
    window.edit->SetScaling(true);
    HWND dialog = Open(window);
    window.edit->MoveTo(10, 20);
    window.edit->SetWidth(40);
    const RECT native = driver.Bounds(driver.Control(dialog, uitest::kEdit));
    EXPECT_EQ(15, native.left);
    EXPECT_EQ(30, native.top);
    EXPECT_EQ(60, native.right - native.left);
    EXPECT_FLOAT_EQ(10, window.edit->GetLeft());
    EXPECT_FLOAT_EQ(40, window.edit->GetWidth());
    window.check->MoveTo(10, 20);
    EXPECT_EQ(10, driver.Bounds(driver.Control(dialog, uitest::kCheck)).left) << "unscaled controls use pixels";
}

}  // namespace
