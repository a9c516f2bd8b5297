// The Apply sequence on the desktop (simulated or real), with a scripted handler: a beep without
// a task, silence when the handler's check refuses, the options stored before the edit opens, one
// named undo entry and a redraw after a change, a cancelled edit and a beep otherwise.
#include "framework/markings/FCCategoryDef.h"
#include "plugin/PatternSettings.h"
#include "simhost/Document.h"
#include "simhost/SimHost.h"
#include "tests/framework/ui/DesktopFixture.h"
#include "tests/plugin/TaskTestWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace taskwindow;

namespace {

struct Script {
    bool canExecute = true;
    bool change = false;
    std::vector<std::string> log;
    bool respaceSeen = false;
};

class ScriptedHandler : public FCPatternTaskBlockHandler {
public:
    ScriptedHandler(int task, FCUI* ui, PatternTaskWindow* window, Script* script)
        : FCPatternTaskBlockHandler(task, ui, window), script_(script) {}
    ~ScriptedHandler() override { script_->log.push_back("deleted"); }

    bool Execute() override {
        script_->log.push_back("execute");
        script_->respaceSeen = ThePatternSettings().QZPT_RESPACE_IF_NECESSARY;
        if (!script_->change) return false;
        FCCategoryDef category;
        return category.SaveAs(20);
    }
    void AddTaskControls(FCTaskControlInfos*) override {}
    void InitTaskControls() override {}
    void StoreTaskSettings() override { script_->log.push_back("store"); }
    bool CanExecute() override {
        script_->log.push_back("can execute");
        return script_->canExecute;
    }

private:
    Script* script_;
};

class Apply : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ui.reset(new FCUI(driver.HostWindow()));
        window.reset(new tasktest::TaskTestWindow(ui.get()));
        window->handlerFactory = [this](int task) -> FCPatternTaskBlockHandler* {
            script.log.push_back("create " + std::to_string(task));
            if (!taskcatalogue::GetTaskName(task) || task == withoutHandler) return nullptr;
            return new ScriptedHandler(task, ui.get(), window.get(), &script);
        };
        ASSERT_EQ(1, window->ShowModeless(driver.HostWindow()));
        dialog = static_cast<HWND>(window->GetWindowHandle());
    }
    void TearDown() override {
        window->CloseWindow();
        window.reset();
        DesktopTest::TearDown();
    }
    static simhost::Document& Document() { return simhost::CurrentDocument(); }
    static int Redraws() {
        int count = 0;
        for (const simhost::HostCommand& command : Document().View().Commands())
            count += command.kind == simhost::HostCommand::kRedraw;
        return count;
    }
    static bool Changed() {
        FCCategoryDef category;
        return category.Load(20);
    }

    std::unique_ptr<FCUI> ui;
    std::unique_ptr<tasktest::TaskTestWindow> window;
    HWND dialog = nullptr;
    Script script;
    int withoutHandler = 0;
};

}  // namespace

TEST_F(Apply, WithoutASelectedTaskOnlyBeeps) {
    for (int selected : {0, 3, 9999}) {
        SCOPED_TRACE(selected);
        const size_t beeps = driver.Beeps().size();
        EXPECT_FALSE(window->ApplyTask(selected));
        EXPECT_EQ(beeps + 1, driver.Beeps().size());
        EXPECT_EQ(unsigned(MB_ICONWARNING), driver.Beeps().back());
    }
    EXPECT_TRUE(script.log.empty()) << "no handler is made";
    EXPECT_TRUE(Document().UndoList().empty());
    EXPECT_EQ(0, Redraws());
}

TEST_F(Apply, ARefusingCheckOrAMissingHandlerEndsTheApplySilently) {
    script.canExecute = false;
    EXPECT_FALSE(window->ApplyTask(1201));
    EXPECT_EQ((std::vector<std::string>{"create 1201", "can execute", "deleted"}), script.log);

    script.log.clear();
    withoutHandler = 1202;
    EXPECT_FALSE(window->ApplyTask(1202));
    EXPECT_EQ((std::vector<std::string>{"create 1202"}), script.log);

    EXPECT_TRUE(driver.Beeps().empty());
    EXPECT_FALSE(Document().IsEditOpen());
    EXPECT_TRUE(Document().UndoList().empty());
    EXPECT_EQ(0, Redraws());
}

TEST_F(Apply, AChangeIsOneUndoEntryNamedAfterTheTaskAndIsRedrawn) {
    script.change = true;
    // The window's check box is read into the settings before the task runs.
    ASSERT_TRUE(driver.ToggleCheck(driver.Control(dialog, kRespace)));
    ThePatternSettings().QZPT_RESPACE_IF_NECESSARY = false;
    EXPECT_TRUE(window->ApplyTask(1203));
    EXPECT_EQ((std::vector<std::string>{"create 1203", "can execute", "store", "execute", "deleted"}), script.log);
    EXPECT_TRUE(script.respaceSeen);
    EXPECT_EQ(std::vector<std::u16string>{u"Hairpin Swells"}, Document().UndoList());
    EXPECT_TRUE(Changed());
    EXPECT_EQ(1, Redraws());
    EXPECT_TRUE(driver.Beeps().empty());
}

TEST_F(Apply, NoChangeCancelsTheEditAndBeeps) {
    ASSERT_TRUE(driver.ToggleCheck(driver.Control(dialog, kRespace)));
    ASSERT_TRUE(driver.ToggleCheck(driver.Control(dialog, kRespace)));
    EXPECT_FALSE(window->ApplyTask(1001));
    EXPECT_EQ((std::vector<std::string>{"create 1001", "can execute", "store", "execute", "deleted"}), script.log);
    EXPECT_FALSE(script.respaceSeen);
    EXPECT_FALSE(ThePatternSettings().QZPT_RESPACE_IF_NECESSARY);
    EXPECT_TRUE(Document().UndoList().empty());
    EXPECT_FALSE(Document().IsEditOpen());
    EXPECT_EQ(0, Redraws());
    EXPECT_EQ(1u, driver.Beeps().size());

    // A host that will not open the edit: nothing runs, and the user hears it.
    script.log.clear();
    script.change = true;
    simhost::SetFailing("FX_StartFinaleEdit_UTF16");
    EXPECT_FALSE(window->ApplyTask(1001));
    EXPECT_EQ((std::vector<std::string>{"create 1001", "can execute", "store", "deleted"}), script.log);
    EXPECT_FALSE(Changed());
    EXPECT_EQ(2u, driver.Beeps().size());
}

TEST_F(Apply, TheApplyButtonRunsTheSelectedTasksRealHandler) {
    // No task changes the document yet: Apply stores the panel, cancels its edit and beeps.
    window->handlerFactory = nullptr;
    window->SelectTask(1001);
    ASSERT_TRUE(driver.ChoosePopupRow(driver.Control(dialog, kPopup1), 4));
    ASSERT_TRUE(driver.Click(driver.Control(dialog, kApply)));
    EXPECT_EQ(std::vector<bool>{false}, window->applied);
    EXPECT_EQ(4, ThePatternSettings().QZPT_BEAMEDGROUPS_REODER_STYLE);
    EXPECT_TRUE(Document().UndoList().empty());
    EXPECT_EQ(1u, driver.Beeps().size());
    EXPECT_EQ(0, Redraws());
    EXPECT_TRUE(driver.IsVisible(dialog)) << "the window stays open";
    // Enter does the same; the second Apply starts from what the first one stored.
    ASSERT_TRUE(driver.PressEnter(dialog));
    EXPECT_EQ((std::vector<bool>{false, false}), window->applied);
    EXPECT_EQ(4, ThePatternSettings().QZPT_BEAMEDGROUPS_REODER_STYLE);
}
