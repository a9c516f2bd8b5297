#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCPart.h"
#include "framework/score/FCStaffSystem.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using simhost::DocumentBuilder;
using simhost::HostCommand;

namespace {

constexpr uint32_t kExpressionTag = FXTag('S', 'O', 'D', 'Y');
constexpr uint16_t kNotInCurrentPart = 0x4000;

bool SetPart(int part) { return hostapi::FX_SetCurrentPartID(part, 0) != 0; }

// An expression-like record: 24 bytes, flags at offset 10.
bool SaveExpression(uint16_t measure, uint16_t flags, uint16_t definition) {
    uint8_t data[24] = {0};
    std::memcpy(data, &definition, 2);
    std::memcpy(data + 10, &flags, 2);
    FXKey key = {{measure, 0, 0, 0}};
    return hostapi::FX_SaveEData(kExpressionTag, &key, data, 24, 0x12050000) != 0;
}

// Flags and definition of the expression as the part in view sees it; -1 when there is none.
int ExpressionFlags(uint16_t measure, uint16_t* definition = nullptr) {
    uint8_t data[24];
    uint32_t size = 24;
    FXKey key = {{measure, 0, 0, 0}};
    if (!hostapi::FX_LoadEData(kExpressionTag, &key, data, &size, 0x12050000)) return -1;
    uint16_t flags;
    std::memcpy(&flags, data + 10, 2);
    if (definition) std::memcpy(definition, data, 2);
    return flags;
}

}  // namespace

TEST(StandInHostParts, PartsAreTheDocumentsPartRecordsWalkedInOrder) {
    DocumentBuilder doc;
    doc.AddStaves(2);
    EXPECT_EQ(hostapi::FX_GetNextPartID(0, 0), 0xFFFF);
    doc.AddPart({1});
    doc.AddPart({2});
    EXPECT_EQ(hostapi::FX_GetNextPartID(0, 0), 1);
    EXPECT_EQ(hostapi::FX_GetNextPartID(1, 0), 2);
    EXPECT_EQ(hostapi::FX_GetNextPartID(2, 0), 0xFFFF);
    EXPECT_EQ(hostapi::FX_GetCurrentPartID(0), 0);
    EXPECT_FALSE(SetPart(3));
    EXPECT_FALSE(SetPart(-1));
    EXPECT_TRUE(SetPart(2));
    EXPECT_EQ(hostapi::FX_GetCurrentPartID(0), 2);

    // Each document has its own part in view.
    const int16_t other = simhost::NewDocument();
    ASSERT_TRUE(simhost::SwitchToDocument(other));
    EXPECT_EQ(hostapi::FX_GetCurrentPartID(0), 0);
    EXPECT_FALSE(SetPart(2));
}

TEST(StandInHostParts, EachPartHasItsOwnLayoutAndSharesEverythingElse) {
    DocumentBuilder doc;
    doc.AddStaves(3);
    doc.AddMeasures(8);
    doc.AddPart({2});
    doc.AddSystem(1, 5, {1, 2, 3});
    doc.AddSystem(5, 9, {1, 2, 3});
    doc.AddSystem(1, 9, {2}, 1);
    ASSERT_TRUE(doc.Ok());

    FCStaffSystems systems;
    EXPECT_EQ(systems.LoadAll(), 2);
    ASSERT_TRUE(SetPart(1));
    ASSERT_EQ(systems.LoadAll(), 1);
    EXPECT_EQ(systems.GetItemAt(0)->GetNextSystemMeasure(), 9);
    EXPECT_EQ(hostapi::FX_GetMeasureDuration(2, 8, 0), 4096);  // measures are shared

    // A system created in the part stays the part's.
    FCStaffSystem added;
    added.SetFirstMeasure(9);
    ASSERT_TRUE(added.SaveNew());
    EXPECT_EQ(added.GetItemNo(), 2);
    ASSERT_TRUE(SetPart(0));
    EXPECT_EQ(systems.LoadAll(), 2);
    EXPECT_EQ(systems.GetItemAt(1)->GetFirstMeasure(), 5);
}

TEST(StandInHostParts, TheNotShownInCurrentPartBitIsKeptPerPart) {
    DocumentBuilder doc;
    doc.AddStaves(2);
    doc.AddPart({1});
    doc.AddPart({2});
    ASSERT_TRUE(SaveExpression(1, 0x0001, 7));  // in the score

    ASSERT_TRUE(SetPart(1));
    EXPECT_EQ(ExpressionFlags(1), 0x0001);
    ASSERT_TRUE(SaveExpression(1, 0x0001 | kNotInCurrentPart, 8));  // hidden in part 1, new definition
    EXPECT_EQ(ExpressionFlags(1), 0x0001 | kNotInCurrentPart);

    ASSERT_TRUE(SetPart(2));
    uint16_t definition = 0;
    EXPECT_EQ(ExpressionFlags(1, &definition), 0x0001);  // part 2 still shows it
    EXPECT_EQ(definition, 8);                            // the other fields are shared
    ASSERT_TRUE(SetPart(0));
    EXPECT_EQ(ExpressionFlags(1), 0x0001);

    // Hiding it in the score does not hide it in the parts.
    ASSERT_TRUE(SaveExpression(1, 0x0001 | kNotInCurrentPart, 8));
    ASSERT_TRUE(SetPart(2));
    EXPECT_EQ(ExpressionFlags(1), 0x0001);
    ASSERT_TRUE(SetPart(1));
    EXPECT_EQ(ExpressionFlags(1), 0x0001 | kNotInCurrentPart);

    // Deleting the record removes every part's value with it.
    FXKey key = {{1, 0, 0, 0}};
    ASSERT_TRUE(hostapi::FX_DeleteEData(kExpressionTag, &key, 0x12050000));
    ASSERT_TRUE(SaveExpression(1, 0x0002, 9));
    EXPECT_EQ(ExpressionFlags(1), 0x0002);
}

TEST(StandInHostParts, ACancelledEditRestoresThePartsRecordsToo) {
    DocumentBuilder doc;
    doc.AddStaves(2);
    doc.AddPart({1, 2});
    ASSERT_TRUE(SaveExpression(1, 0, 7));
    const simhost::DocumentState before = simhost::CurrentDocument().State();
    ASSERT_TRUE(SetPart(1));
    ASSERT_TRUE(hostapi::FX_StartFinaleEdit("Edit", kFXInterfaceVersion));
    ASSERT_TRUE(SaveExpression(1, kNotInCurrentPart, 7));
    ASSERT_TRUE(doc.SetScoreOrder({2}));  // the score's list, written from the builder
    FCStaffSystem system;
    ASSERT_TRUE(system.SaveNew());
    EXPECT_NE(simhost::CurrentDocument().State(), before);
    ASSERT_TRUE(hostapi::FX_CancelFinaleEdit(kFXInterfaceVersion));
    EXPECT_EQ(simhost::CurrentDocument().State(), before);
    EXPECT_EQ(hostapi::FX_GetCurrentPartID(0), 1);  // the view is not content
}

TEST(StandInHostCommands, CommandsAreLoggedWithTheirPartAndSelection) {
    DocumentBuilder doc;
    doc.AddStaves(2);
    doc.AddMeasures(3);
    doc.AddPart({2});
    ASSERT_TRUE(doc.Select(1, 2, 2, 3));
    ASSERT_TRUE(hostapi::FX_ExecuteMenuItem(12106, 0));
    EXPECT_FALSE(hostapi::FX_ExecuteMenuItem(0, 0));
    ASSERT_TRUE(SetPart(1));
    ASSERT_TRUE(hostapi::FX_UpdateLayout(1, 2, 0));
    uint8_t region[20];
    FCMusicRegion whole;
    whole.SetFullDocument();
    whole.GetRegionData(region);
    ASSERT_TRUE(hostapi::FX_RedrawMusic(region, 0));

    const std::vector<HostCommand>& log = simhost::CurrentDocument().View().Commands();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].kind, HostCommand::kMenuItem);
    EXPECT_EQ(log[0].command, 12106);
    EXPECT_EQ(log[0].part, 0);
    FCMusicRegion selection;
    selection.SetRegionData(log[0].selection.data());
    EXPECT_EQ(selection.GetStartMeasure(), 2);
    EXPECT_EQ(selection.GetEndSlot(), 2);
    EXPECT_EQ(log[1].kind, HostCommand::kUpdateLayout);
    EXPECT_EQ(log[1].command, 1);
    EXPECT_EQ(log[1].second, 2);
    EXPECT_EQ(log[1].part, 1);
    EXPECT_EQ(log[2].kind, HostCommand::kRedraw);
    EXPECT_EQ(std::memcmp(log[2].region.data(), region, 20), 0);

    simhost::SetFailing("FX_ExecuteMenuItem");
    EXPECT_FALSE(hostapi::FX_ExecuteMenuItem(12106, 0));
    EXPECT_EQ(simhost::CurrentDocument().View().Commands().size(), 3u);
}

// The way a task respaces its measures in every part: each part gets the command over all of its
// staves in the selected measures, and the user's selection is back afterwards.
TEST(StandInHostCommands, RespacingEveryPartCanBeTracedInTheLog) {
    DocumentBuilder doc;
    doc.AddStaves(3);
    doc.AddMeasures(6);
    doc.AddPart({1});
    doc.AddPart({2, 3});
    ASSERT_TRUE(doc.Select(2, 3, 3, 4, 512, 1024));

    FCParts parts;
    ASSERT_EQ(parts.LoadAll(), 3);
    FCMusicRegion saved;
    ASSERT_TRUE(saved.SetCurrentSelection());
    for (int i = 0; i < parts.GetCount(); ++i) {
        FCPart* part = parts.GetItemAt(i);
        ASSERT_TRUE(part->SwitchTo());
        FCMusicRegion span;
        span.SetFullDocument();
        span.SetStartMeasure(saved.GetStartMeasure());
        span.SetEndMeasure(saved.GetEndMeasure());
        ASSERT_TRUE(span.SetAsSelection());
        ASSERT_TRUE(hostapi::FX_ExecuteMenuItem(12106, 0));
        ASSERT_TRUE(part->SwitchBack());
    }
    ASSERT_TRUE(saved.SetAsSelection());

    const std::vector<HostCommand>& log = simhost::CurrentDocument().View().Commands();
    ASSERT_EQ(log.size(), 3u);
    const int staves[] = {3, 1, 2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(log[size_t(i)].part, i);
        FCMusicRegion at;
        at.SetRegionData(log[size_t(i)].selection.data());
        EXPECT_EQ(at.GetStartSlot(), 1) << i;
        EXPECT_EQ(at.GetEndSlot(), staves[i]) << i;
        EXPECT_EQ(at.GetStartMeasure(), 3) << i;
        EXPECT_EQ(at.GetEndMeasure(), 4) << i;
        EXPECT_TRUE(at.IsEndMeasurePosMax()) << i;
    }
    FCMusicRegion after;
    after.SetCurrentSelection();
    EXPECT_TRUE(after.IsEqual(&saved));
    EXPECT_EQ(after.GetStartMeasurePos(), 512);
    EXPECT_EQ(hostapi::FX_GetCurrentPartID(0), 0);
}
