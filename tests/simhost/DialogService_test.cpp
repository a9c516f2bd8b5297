// The stand-in host's dialog service, seen from a plug-in's dispatcher, on the desktop the
// service is written for: the simulated one on Linux, the system's dialog manager on Windows.
// Dialogs from the module's templates, the messages they deliver, the dialog item functions and
// the host's windows. No framework window classes are involved. The simulated desktop's exact
// message sequence and pixels are in DialogService_linux_test.cpp.
#include "tests/framework/ui/DesktopFixture.h"

#include "simhost/DialogService.h"
#include "simhost/SimFunctions.h"

#include <gtest/gtest.h>

#include <functional>

using simhost::DesktopDriver;

namespace {

constexpr uint32_t kVersion = kFXInterfaceVersion;
constexpr UINT kHostStateMessage = 0x036D;

LPCWSTR Wide(const char16_t* text) { return reinterpret_cast<LPCWSTR>(text); }

// A plug-in's dispatcher that writes down the messages it gets.
struct Recorder {
    std::vector<uint32_t> messages;
    FXWindow window = nullptr;
    std::function<int32_t(uint32_t message, uint32_t wparam)> reply;

    std::vector<uint32_t> Only(std::initializer_list<uint32_t> wanted) const {
        std::vector<uint32_t> found;
        for (uint32_t message : messages)
            for (uint32_t w : wanted)
                if (message == w) found.push_back(message);
        return found;
    }
};

int32_t FXAPI Record(FXWindow window, uint32_t message, uint32_t wparam, int32_t, void* userData) {
    Recorder* recorder = static_cast<Recorder*>(userData);
    recorder->messages.push_back(message);
    if (message == WM_INITDIALOG) recorder->window = window;
    return recorder->reply ? recorder->reply(message, wparam) : 0;
}

class DialogServiceTest : public DesktopTest {
protected:
    HWND OpenModeless(Recorder& dialog) {
        EXPECT_EQ(1, FX_Dialog(9001, &Record, driver.HostWindow(), 0, &dialog, kVersion));
        return static_cast<HWND>(dialog.window);
    }
    HWND Item(const Recorder& dialog, int id) { return GetDlgItem(static_cast<HWND>(dialog.window), id); }

    // Lives until the desktop is emptied after the test, like a plug-in's window object.
    Recorder recorder;
};

TEST_F(DialogServiceTest, AModelessDialogGetsInitShowAndActivationInThatOrder) {
    HWND dialog = OpenModeless(recorder);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ((std::vector<uint32_t>{WM_INITDIALOG, WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATE}),
              recorder.Only({WM_INITDIALOG, WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATE}));
    EXPECT_EQ(uint32_t(WM_INITDIALOG), recorder.messages.front())
        << "nothing reaches the plug-in before initialisation";
    EXPECT_TRUE(driver.IsActive(dialog));
    EXPECT_EQ(driver.HostWindow(), GetParent(dialog)) << "owned by the parent given";
    EXPECT_EQ(1, simhost::OpenDialogCount());
    EXPECT_FALSE(simhost::IsModalDialog(dialog));
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(450, client.right) << "300 dialog units of 8-point MS Sans Serif";
    EXPECT_EQ(325, client.bottom);

    recorder.messages.clear();
    EXPECT_EQ(1, FX_EndDialog(dialog, 0, kVersion));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(uint32_t(WM_NCDESTROY), recorder.messages.back());
    EXPECT_EQ(0, simhost::OpenDialogCount());
    EXPECT_EQ(0, FX_EndDialog(dialog, 0, kVersion)) << "an ended dialog is unknown";
    EXPECT_EQ(driver.HostWindow(), driver.ActiveWindow()) << "the activation goes back to the owner";
}

TEST_F(DialogServiceTest, AModalDialogReturnsTheResultItWasEndedWith) {
    bool ownerDisabled = false;
    driver.OnNextModalDialog([&](DesktopDriver& d, HWND dialog) {
        EXPECT_TRUE(simhost::IsModalDialog(dialog));
        ownerDisabled = !d.IsEnabled(d.HostWindow());
        EXPECT_EQ(1, FX_EndDialog(dialog, 7, kVersion));
        EXPECT_TRUE(IsWindow(dialog)) << "a modal dialog ends when its loop returns";
    });
    EXPECT_EQ(7, FX_Dialog(9002, &Record, driver.HostWindow(), 1, &recorder, kVersion));
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(driver.IsEnabled(driver.HostWindow()));
    EXPECT_FALSE(IsWindow(static_cast<HWND>(recorder.window)));
    EXPECT_EQ(0, simhost::OpenDialogCount());
}

TEST_F(DialogServiceTest, AModalDialogNobodyScriptedFailsLoudlyAndCloses) {
    expectUserFailures = true;
    EXPECT_EQ(IDCANCEL, FX_Dialog(9002, &Record, driver.HostWindow(), 1, &recorder, kVersion));
    ASSERT_EQ(1u, userFailures.size());
    EXPECT_NE(std::string::npos, userFailures[0].find("QZ Test Modal")) << userFailures[0];
    EXPECT_FALSE(IsWindow(static_cast<HWND>(recorder.window)));
    EXPECT_FALSE(recorder.Only({WM_CLOSE}).empty()) << "closed as a user would close it";
}

TEST_F(DialogServiceTest, DialogsNeedATemplateOfTheDispatchersModule) {
    EXPECT_EQ(0, FX_Dialog(4242, &Record, driver.HostWindow(), 0, &recorder, kVersion));
    EXPECT_NE(std::string::npos, driver.LastDialogError().find("4242")) << driver.LastDialogError();
    EXPECT_EQ(0, FX_Dialog(9001, nullptr, driver.HostWindow(), 0, &recorder, kVersion));
    EXPECT_EQ(0, FX_Dialog(4242, &Record, driver.HostWindow(), 1, &recorder, kVersion));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(0, simhost::OpenDialogCount());
    EXPECT_EQ(0, FX_EndDialog(driver.HostWindow(), 0, kVersion)) << "not a plug-in dialog";
}

TEST_F(DialogServiceTest, ItemValuesFollowTheirKinds) {
    OpenModeless(recorder);
    FXWindow dialog = recorder.window;
    for (HWND list : {Item(recorder, 103), Item(recorder, 106)})
        for (const char16_t* text : {u"Zero", u"One", u"Two"})
            SendMessageW(list, list == Item(recorder, 103) ? CB_ADDSTRING : LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(text));
    struct Row {
        int16_t id;
        int16_t kind;
        int32_t set;
        int32_t setResult;
        int32_t read;
    };
    const Row rows[] = {
        {103, 0, 2, 1, 2},                         // drop-down list, 1-based
        {103, 0, 0, 1, 0},                         // 0 clears the selection
        {103, 0, 9, 1, 0},                         // past the end: nothing selected
        {106, 0, 3, 1, 3},                         // list box
        {105, 1, 1, 1, 1},                         // check box
        {105, 1, 0, 1, 0}, {104, 3, -17, 1, -17},  // integer field
        {104, 2, 5, 0, 0},                         // an unknown kind
        {105, 0, 1, 0, 0},                         // a check box has no list selection
        {999, 3, 1, 0, 0},                         // no such item
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.setResult, FX_SetDlgItemVal(dialog, row.id, row.kind, row.set, kVersion))
            << row.id << " kind " << row.kind;
        EXPECT_EQ(row.read, FX_GetDlgItemVal(dialog, row.id, row.kind, kVersion)) << row.id << " kind " << row.kind;
    }
    EXPECT_EQ(CB_ERR, SendMessageW(Item(recorder, 103), CB_GETCURSEL, 0, 0)) << "the native list agrees";
    EXPECT_EQ("-17", driver.Text(Item(recorder, 104)));
    struct Typed {
        const char* text;
        int32_t value;
    };
    for (const Typed& typed : {Typed{" 12abc", 12}, Typed{"x", 0}, Typed{"-0", 0}, Typed{"99999999999", 2147483647}}) {
        driver.Type(Item(recorder, 104), typed.text);
        EXPECT_EQ(typed.value, FX_GetDlgItemVal(dialog, 104, 3, kVersion)) << typed.text;
    }
    EXPECT_EQ(1, FX_EnableDlgItem(dialog, 105, 0, kVersion));
    EXPECT_FALSE(driver.IsEnabled(Item(recorder, 105)));
    EXPECT_EQ(1, FX_EnableDlgItem(dialog, 105, 1, kVersion));
    EXPECT_TRUE(driver.IsEnabled(Item(recorder, 105)));
    EXPECT_EQ(0, FX_EnableDlgItem(dialog, 999, 1, kVersion));
}

TEST_F(DialogServiceTest, MeasurementsConvertBetweenTheUsersUnitAndEVPUs) {
    struct Row {
        simhost::MeasurementUnit unit;
        const char* shown;
    };
    const Row rows[] = {
        {simhost::MeasurementUnit::EVPUs, "144"},        {simhost::MeasurementUnit::Inches, "0.5"},
        {simhost::MeasurementUnit::Centimeters, "1.27"}, {simhost::MeasurementUnit::Points, "36"},
        {simhost::MeasurementUnit::Picas, "3"},          {simhost::MeasurementUnit::Spaces, "6"},
        {simhost::MeasurementUnit::Millimeters, "12.7"},
    };
    OpenModeless(recorder);
    EXPECT_EQ(simhost::MeasurementUnit::Inches, simhost::GetMeasurementUnit()) << "the host's default";
    for (const Row& row : rows) {
        simhost::SetMeasurementUnit(row.unit);
        EXPECT_EQ(1, FX_SetDlgItemUser(recorder.window, 111, 0, 144.0, kVersion));
        EXPECT_EQ(row.shown, driver.Text(Item(recorder, 111)));
        double evpus = 0;
        EXPECT_EQ(1, FX_GetDlgItemUser(recorder.window, 111, 0, &evpus, kVersion));
        EXPECT_NEAR(144.0, evpus, 1e-9) << row.shown;
    }
    driver.Type(Item(recorder, 111), "abc");
    double evpus = 5;
    EXPECT_EQ(0, FX_GetDlgItemUser(recorder.window, 111, 0, &evpus, kVersion));
    EXPECT_EQ(0, evpus);
    EXPECT_EQ(0, FX_GetDlgItemUser(recorder.window, 111, 0, nullptr, kVersion));
    EXPECT_EQ(0, FX_SetDlgItemUser(recorder.window, 999, 0, 1.0, kVersion));
}

TEST_F(DialogServiceTest, TextsTravelAs8BitOrUTF16) {
    OpenModeless(recorder);
    FXWindow dialog = recorder.window;
    EXPECT_EQ(1, FX_SetDlgString_UTF16(dialog, 104, u"Gr\u00FC\u00DFe \u20AC", kVersion));
    char16_t wide[32];
    EXPECT_EQ(1, FX_GetDlgString_UTF16(dialog, 104, wide, 32, kVersion));
    EXPECT_EQ(std::u16string(u"Gr\u00FC\u00DFe \u20AC"), std::u16string(wide));
    char narrow[32];
    EXPECT_EQ(1, FX_GetDlgString(dialog, 104, narrow, 32, kVersion));
    EXPECT_EQ(std::string("Gr\xFC\xDF"
                          "e ?"),
              std::string(narrow))
        << "beyond Latin-1 becomes '?'";
    EXPECT_EQ(1, FX_GetDlgString(dialog, 104, narrow, 4, kVersion));
    EXPECT_EQ(std::string("Gr\xFC"), std::string(narrow)) << "cut to the buffer";
    EXPECT_EQ(1, FX_GetDlgString_UTF16(dialog, 104, wide, 1, kVersion));
    EXPECT_EQ(u'\0', wide[0]);
    EXPECT_EQ(0, FX_GetDlgString(dialog, 104, nullptr, 32, kVersion));
    EXPECT_EQ(0, FX_GetDlgString(dialog, 104, narrow, 0, kVersion));
    EXPECT_EQ(1, FX_SetDlgString(dialog, 101, "caf\xE9", kVersion));
    EXPECT_EQ("caf\xC3\xA9", driver.Text(Item(recorder, 101)));
    EXPECT_EQ(0, FX_SetDlgString(dialog, 101, nullptr, kVersion));
    EXPECT_EQ(0, FX_GetDlgString(dialog, 999, narrow, 32, kVersion));
    EXPECT_EQ('\0', narrow[0]);
    // A drop-down list's text is its selected item.
    SendMessageW(Item(recorder, 103), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Chosen"));
    FX_SetDlgItemVal(dialog, 103, 0, 1, kVersion);
    EXPECT_EQ(1, FX_GetDlgString(dialog, 103, narrow, 32, kVersion));
    EXPECT_EQ("Chosen", std::string(narrow));
}

TEST_F(DialogServiceTest, TheCurrentWindowIsTheHostsDocumentWindow) {
    HWND current = static_cast<HWND>(FX_GetCurrentWindow(kVersion));
    ASSERT_NE(nullptr, current);
    EXPECT_NE(driver.HostWindow(), current);
    EXPECT_EQ(driver.HostWindow(), GetAncestor(current, GA_ROOT));
    EXPECT_TRUE(driver.IsEnabled(driver.HostWindow()));
    EXPECT_TRUE(driver.IsActive(driver.HostWindow()));
}

TEST_F(DialogServiceTest, TheHostTellsItsDialogsWhenItsWindowChangesState) {
    OpenModeless(recorder);
    driver.ShowHostModalDialog();
    EXPECT_EQ(1u, recorder.Only({kHostStateMessage}).size());
    EXPECT_TRUE(simhost::IsHostModalDialogShown());
    driver.EndHostModalDialog();
    EXPECT_EQ(2u, recorder.Only({kHostStateMessage}).size());
    EXPECT_EQ(driver.HostWindow(), driver.ActiveWindow());
    simhost::SetHostStateNotifications(false);
    driver.ShowHostModalDialog();
    driver.EndHostModalDialog();
    EXPECT_EQ(2u, recorder.Only({kHostStateMessage}).size());
}

TEST_F(DialogServiceTest, MessageBoxAnswersMustFitTheButtons) {
    expectUserFailures = true;
    driver.AnswerNextMessageBox(IDYES);
    EXPECT_EQ(0, MessageBoxW(nullptr, Wide(u"text"), Wide(u"caption"), MB_OK));
    EXPECT_EQ(1u, userFailures.size()) << "Yes is no button of an OK box";
    driver.AnswerNextMessageBox(IDNO);
    EXPECT_EQ(IDNO, MessageBoxW(nullptr, Wide(u"Sure?"), Wide(u"Question"), MB_YESNO));
    EXPECT_EQ(1u, userFailures.size());
    EXPECT_EQ(0, MessageBoxW(nullptr, Wide(u"Nobody answers"), Wide(u"Hello"), MB_OK));
    EXPECT_EQ(2u, userFailures.size());
    ASSERT_EQ(3u, driver.MessageBoxes().size());
    EXPECT_EQ("Question", driver.MessageBoxes()[1].caption);
    EXPECT_EQ(IDNO, driver.MessageBoxes()[1].answer);
}

TEST_F(DialogServiceTest, ThePictureShowsTheVisibleControlsWithTheirValues) {
    HWND dialog = OpenModeless(recorder);
    for (const char16_t* text : {u"Zero", u"One", u"Two"})
        SendMessageW(Item(recorder, 103), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageW(Item(recorder, 103), CB_SETCURSEL, 2, 0);
    SendMessageW(Item(recorder, 105), BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(Item(recorder, 110), FALSE);
    const std::string picture = driver.Picture(dialog);
    for (const char* line :
         {"dialog 9001 \"QZ Test Window\" at ", "(client 450x325) active\n",
          "  [101] label \"&Label:\" at 15,16 150x13\n", "  [103] popup \"Two\" of [Zero|One|Two] at 180,33 150x21\n",
          "  [105] check [x] \"Check me\" at 180,94 120x", "  [110] button \"Press\" at 90,228 60x", " disabled\n",
          "  [1] button \"Apply\" default at 285,293 60x"})
        EXPECT_NE(std::string::npos, picture.find(line)) << line << "in\n" << picture;
    EXPECT_EQ(std::string::npos, picture.find("Hidden")) << "hidden controls are not in the picture";
    EXPECT_EQ(Item(recorder, 101), driver.ControlByText(dialog, "Label:"));
    EXPECT_EQ(Item(recorder, 101), driver.ControlByText(dialog, "&Label:"));
    EXPECT_EQ(nullptr, driver.ControlByText(dialog, "Nothing"));
    EXPECT_EQ(dialog, driver.DialogByCaption("QZ Test Window"));
}

}  // namespace
