// FCUI's message boxes and beep as the user meets them, on the simulated desktop (Linux) and on
// the system's own message boxes (Windows), answered by the desktop driver.
#include "tests/framework/ui/DesktopFixture.h"

#include "framework/ui/FCUI.h"

#include <gtest/gtest.h>

namespace {

typedef DesktopTest UITest;

TEST_F(UITest, AlertsShowTheirCaptionsIconsAndButtons) {
    enum Kind { kError, kInfo, kYesNo };
    struct Row {
        Kind kind;
        const char* caption;  // null: no caption at all
        const char* shownCaption;
        unsigned style;
        int answer;
        int result;  // AlertYesNo only
    };
    const Row rows[] = {
        {kError, "", "Error", MB_OK | MB_ICONERROR, IDOK, 0},
        {kError, nullptr, "Error", MB_OK | MB_ICONERROR, IDOK, 0},
        {kError, "Can't Delete", "Can't Delete", MB_OK | MB_ICONERROR, IDOK, 0},
        {kInfo, "", "Information", MB_OK | MB_ICONINFORMATION, IDOK, 0},
        {kYesNo, "", "Yes/No?", MB_YESNO, IDYES, FCUI::kAnswerYes},
        {kYesNo, "Go on?", "Go on?", MB_YESNO, IDNO, FCUI::kAnswerNo},
    };
    FCUI ui(driver.HostWindow());
    FCString text("The message");
    for (const Row& row : rows) {
        FCString caption(row.caption ? row.caption : "");
        const FCString* captionArgument = row.caption ? &caption : nullptr;
        driver.AnswerNextMessageBox(row.answer);
        int result = 0;
        switch (row.kind) {
            case kError:
                ui.AlertError(&text, captionArgument);
                break;
            case kInfo:
                ui.AlertInfo(&text, captionArgument);
                break;
            case kYesNo:
                result = ui.AlertYesNo(&text, captionArgument);
                break;
        }
        ASSERT_FALSE(driver.MessageBoxes().empty());
        const simhost::DesktopDriver::MessageBoxShown shown = driver.MessageBoxes().back();
        EXPECT_EQ(row.shownCaption, shown.caption);
        EXPECT_EQ("The message", shown.text);
        EXPECT_EQ(row.style, shown.style) << row.shownCaption;
        EXPECT_EQ(driver.HostWindow(), shown.owner) << "the enabled host window owns the box";
        EXPECT_EQ(row.result, result) << row.shownCaption;
        EXPECT_FALSE(FCUI::IsAlertShown());
    }
    EXPECT_EQ(6u, driver.MessageBoxes().size());
}

TEST_F(UITest, AlertWithoutTextShowsNothing) {
    FCUI ui(driver.HostWindow());
    EXPECT_EQ(FCUI::kAnswerOther, ui.AlertYesNo(nullptr, nullptr));
    ui.AlertError(nullptr, nullptr);
    ui.AlertInfo(nullptr, nullptr);
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

TEST_F(UITest, AnUnansweredAlertFailsLoudlyInsteadOfWaiting) {
    expectUserFailures = true;
    FCUI ui(driver.HostWindow());
    FCString text("Replace existing numbers?");
    EXPECT_EQ(FCUI::kAnswerOther, ui.AlertYesNo(&text, nullptr));
    ASSERT_EQ(1u, userFailures.size());
    EXPECT_NE(std::string::npos, userFailures[0].find("Replace existing numbers?")) << userFailures[0];
    EXPECT_FALSE(FCUI::IsAlertShown());
}

TEST_F(UITest, AlertIsOwnedByTheActiveWindowWhileTheHostIsDisabled) {
    FCUI ui(driver.HostWindow());
    driver.ShowHostModalDialog();
    HWND hostDialog = driver.ActiveWindow();
    ASSERT_NE(driver.HostWindow(), hostDialog);
    driver.AnswerNextMessageBox(IDOK);
    FCString text("Busy");
    ui.AlertInfo(&text, nullptr);
    EXPECT_EQ(hostDialog, driver.MessageBoxes().back().owner);
    EXPECT_EQ(hostDialog, driver.ActiveWindow()) << "the activation goes back to the owner";
    driver.EndHostModalDialog();
}

TEST_F(UITest, BeepPlaysTheWarningSoundOrTheDefaultBeep) {
    FCUI ui(driver.HostWindow());
    ui.Beep();
    EXPECT_EQ((std::vector<unsigned>{MB_ICONWARNING}), driver.Beeps());
    driver.SetWarningSoundAvailable(false);
    ui.Beep();
    EXPECT_EQ((std::vector<unsigned>{MB_ICONWARNING, 0xFFFFFFFF}), driver.Beeps());
}

TEST_F(UITest, ScreenHeightIsTheFullScreenClientHeight) {
    FCUI ui(driver.HostWindow());
    EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), ui.GetScreenHeight());
    EXPECT_GT(ui.GetScreenHeight(), 0);
}

}  // namespace
