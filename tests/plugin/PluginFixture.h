// Fixture of the tests that run the plug-in as the host does (the exports, the module's task
// window) on the desktop (simulated on Linux, the system's own on Windows): a fresh host folder
// for the settings, options and storage files, the settings at their defaults, and the plug-in
// terminated after each test.
#pragma once

#include "framework/ui/FCControl.h"
#include "plugin/FCPatternWindow.h"
#include "plugin/PatternPlugin.h"
#include "plugin/PatternSettings.h"
#include "plugin/PluginExports.h"
#include "plugin/TaskWindowIDs.h"
#include "tests/framework/files/TempHostFolder.h"
#include "tests/framework/ui/DesktopFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

class PluginTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        folder.reset(new TempHostFolder);
    }
    void TearDown() override {
        FinaleExtensionTerminate(nullptr);
        folder.reset();
        DesktopTest::TearDown();
    }

    // The host invokes the plug-in; dialog is the task window on screen (or null).
    void Invoke() {
        FinaleExtensionInvoke(driver.HostWindow(), nullptr, nullptr, nullptr);
        dialog = driver.Dialog(taskwindow::kTemplateID);
    }
    FCPatternWindow* Window() const { return patternplugin::GetWindow(); }
    HWND Item(int id) const { return driver.Control(dialog, id); }
    HWND Tree() const { return Item(taskwindow::kTree); }
    bool Visible(int id) const { return driver.IsVisible(Item(id)); }
    std::string Text(int id) const { return driver.Text(Item(id)); }
    RECT Bounds(int id) const { return driver.Bounds(Item(id)); }
    // Clicks a task below its category, as the user does.
    bool SelectTask(const char* category, const char* task) { return driver.SelectTreeNodeIn(Tree(), category, task); }
    bool AnyOptionControlVisible() const {
        for (int id : taskwindow::kOptionControlIDs)
            if (Visible(id)) return true;
        return false;
    }

    // The value of a key in the settings file on disk; "<none>" without the file or the key.
    std::string SettingOnDisk(const std::string& key) const {
        std::istringstream lines(folder->ReadBytes("qzpluginprefs.txt"));
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.compare(0, key.size() + 1, key + "=") == 0) return line.substr(key.size() + 1);
        }
        return "<none>";
    }

    std::unique_ptr<TempHostFolder> folder;
    HWND dialog = nullptr;
};
