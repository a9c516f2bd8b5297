// Fixture of the tests that open windows on the desktop: the stand-in host's simulated desktop on
// Linux, the system's real windows and controls on Windows. An empty desktop before and after
// each test, and a scripted user's failure (a message box nobody answered) reported as a failure
// of the test instead of ending the program.
#pragma once

#include "simhost/DialogService.h"
#include "simhost/desktop/DesktopDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        simhost::DesktopDriver::ResetDesktop();
        simhost::DesktopDriver::SetFailureHandler([this](const std::string& message) {
            userFailures.push_back(message);
            if (!expectUserFailures) ADD_FAILURE() << "scripted user: " << message;
        });
    }
    void TearDown() override {
        simhost::DesktopDriver::ResetDesktop();
        simhost::DesktopDriver::SetFailureHandler(nullptr);
    }

    simhost::DesktopDriver driver;
    std::vector<std::string> userFailures;
    // Set by a test that provokes a scripted user's failure on purpose.
    bool expectUserFailures = false;
};
