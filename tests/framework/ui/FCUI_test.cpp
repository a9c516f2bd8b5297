// FCUI's work through the host: redrawing the whole document and running host commands.
#include "framework/ui/FCUI.h"

#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct HostCalls {
    bool regionsSucceed = true;
    int redraws = 0;
    uint8_t redrawn[20] = {};
    std::vector<int32_t> menuItems;
};
HostCalls g_calls;

int16_t FXAPI FakeGetCurERegions(void* first, void* second, void* third, uint32_t) {
    std::memset(first, 1, 20);
    std::memset(second, 2, 20);
    std::memset(third, 3, 20);
    return g_calls.regionsSucceed ? 1 : 0;
}

int32_t FXAPI FakeRedrawMusic(const void* region, uint32_t) {
    ++g_calls.redraws;
    std::memcpy(g_calls.redrawn, region, 20);
    return 1;
}

int32_t FXAPI FakeExecuteMenuItem(int32_t item, uint32_t) {
    g_calls.menuItems.push_back(item);
    return 1;
}

void* FakeLookup(const char* name) {
    if (std::strcmp(name, "FX_GetCurERegions") == 0) return reinterpret_cast<void*>(&FakeGetCurERegions);
    if (std::strcmp(name, "FX_RedrawMusic") == 0) return reinterpret_cast<void*>(&FakeRedrawMusic);
    if (std::strcmp(name, "FX_ExecuteMenuItem") == 0) return reinterpret_cast<void*>(&FakeExecuteMenuItem);
    return simhost::Lookup(name);
}

class HostCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls = HostCalls();
        hostapi::SetLookup(FakeLookup);
    }
    void TearDown() override { hostapi::SetLookup(nullptr); }
};

TEST_F(HostCommandTest, RedrawMusicRedrawsTheThirdRegion) {
    FCUI ui(nullptr);
    EXPECT_TRUE(ui.RedrawMusic());
    EXPECT_EQ(1, g_calls.redraws);
    for (uint8_t byte : g_calls.redrawn) EXPECT_EQ(3, byte) << "the whole document's region";
    g_calls.regionsSucceed = false;
    EXPECT_FALSE(ui.RedrawMusic());
    EXPECT_EQ(1, g_calls.redraws) << "no redraw of a region the host did not give";
}

TEST_F(HostCommandTest, CommandOneRunsTheHostsRespacing) {
    FCUI ui(nullptr);
    EXPECT_TRUE(ui.ExecuteCommand(FCUI::kCommandRespace));
    EXPECT_FALSE(ui.ExecuteCommand(2));
    EXPECT_FALSE(ui.ExecuteCommand(0));
    EXPECT_EQ((std::vector<int32_t>{12106}), g_calls.menuItems);
}

TEST(HostCommands, FailWhenTheHostLacksTheFunctions) {
    simhost::SetWithdrawn("FX_ExecuteMenuItem");
    simhost::SetWithdrawn("FX_GetCurERegions");
    hostapi::SetLookup(simhost::Lookup);
    FCUI ui(nullptr);
    EXPECT_FALSE(ui.ExecuteCommand(FCUI::kCommandRespace));
    EXPECT_FALSE(ui.RedrawMusic());
    hostapi::SetLookup(nullptr);
}

}  // namespace
