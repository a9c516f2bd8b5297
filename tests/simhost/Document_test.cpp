#include "framework/host/hostapi.h"
#include "simhost/Document.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr uint32_t kTag = FXTag('T', 'E', 'S', 'T');
constexpr uint32_t kVersion = 0x12050000;

bool Save(uint16_t cmper, uint16_t inci, uint8_t fill, uint32_t size = 6) {
    uint8_t data[32];
    std::memset(data, fill, sizeof data);
    FXKey key = {{cmper, inci, 0, 0}};
    return hostapi::FX_SaveEData(kTag, &key, data, size, kVersion) != 0;
}

// Many creates, saves and deletes of records of two tags.
void ChurnRecords() {
    for (uint16_t i = 1; i <= 40; ++i) {
        uint8_t data[10] = {uint8_t(i)};
        FXKey key = {{0xFFFF, 0xFFFF, 0, 0}};
        ASSERT_TRUE(hostapi::FX_CreateEData(kTag, &key, data, sizeof data, kVersion));
    }
    for (uint16_t i = 1; i <= 40; i += 3) ASSERT_TRUE(Save(i, 0, 0xEE, 20));
    for (uint16_t i = 2; i <= 40; i += 4) {
        FXKey key = {{i, 0, 0, 0}};
        ASSERT_TRUE(hostapi::FX_DeleteEData(kTag, &key, kVersion));
    }
    FXKey other = {{7, 0xFFFF, 0, 0}};
    uint8_t data[4] = {1, 2, 3, 4};
    ASSERT_TRUE(hostapi::FX_CreateEData(FXTag('O', 'T', 'H', 'R'), &other, data, 4, kVersion));
}

}  // namespace

TEST(StandInHostRecords, CreateAssignsItemsFromOneAndIncidencesFromZero) {
    struct Row {
        FXKey request;
        FXKey assigned;
    } rows[] = {
        {{{0xFFFF, 0xFFFF, 0, 0}}, {{1, 0, 0, 0}}},  // first item
        {{{0xFFFF, 0xFFFF, 0, 0}}, {{2, 0, 0, 0}}},  // next item
        {{{5, 0xFFFF, 0, 0}}, {{5, 0, 0, 0}}},       // first incidence of item 5
        {{{5, 0xFFFF, 0, 0}}, {{5, 1, 0, 0}}},       // next incidence
        {{{0xFFFF, 0xFFFF, 0, 0}}, {{6, 0, 0, 0}}},  // one more than the largest item
        {{{9, 3, 0xFFFF, 0}}, {{9, 3, 0, 0}}},       // incidence in word 2 (cell details)
        {{{9, 3, 0xFFFF, 0}}, {{9, 3, 1, 0}}},
        {{{9, 4, 0xFFFF, 0}}, {{9, 4, 0, 0}}},  // another cell starts again at 0
    };
    for (const Row& row : rows) {
        FXKey key = row.request;
        uint8_t data[2] = {0, 0};
        ASSERT_TRUE(hostapi::FX_CreateEData(kTag, &key, data, 2, kVersion));
        for (int w = 0; w < 4; ++w) EXPECT_EQ(key.words[w], row.assigned.words[w]) << w;
    }
    // Creating over an existing key is refused.
    FXKey taken = {{5, 1, 0, 0}};
    uint8_t data[2] = {0, 0};
    EXPECT_FALSE(hostapi::FX_CreateEData(kTag, &taken, data, 2, kVersion));
}

TEST(StandInHostRecords, NextWalksInAscendingKeyOrder) {
    ASSERT_TRUE(Save(3, 1, 0));
    ASSERT_TRUE(Save(1, 5, 0));
    ASSERT_TRUE(Save(3, 0, 0));
    FXKey key = {{0, 0, 0, 0}};
    std::vector<std::pair<int, int>> seen;
    while (hostapi::FX_NextEData(kTag, &key, nullptr, nullptr, kVersion)) seen.push_back({key.words[0], key.words[1]});
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1, 5}, {3, 0}, {3, 1}}));
    EXPECT_FALSE(hostapi::FX_NextEData(kTag, nullptr, nullptr, nullptr, kVersion));
}

TEST(StandInHostEdits, ACancelledEditRestoresTheDocumentByteForByte) {
    ASSERT_TRUE(Save(1, 0, 0x11));
    ASSERT_TRUE(Save(2, 0, 0x22));
    const simhost::DocumentState before = simhost::CurrentDocument().State();
    ASSERT_TRUE(hostapi::FX_StartFinaleEdit("Churn", kFXInterfaceVersion));
    ChurnRecords();
    EXPECT_NE(simhost::CurrentDocument().State(), before);
    ASSERT_TRUE(hostapi::FX_CancelFinaleEdit(kFXInterfaceVersion));
    EXPECT_EQ(simhost::CurrentDocument().State(), before) << simhost::CurrentDocument().Dump();
    EXPECT_TRUE(simhost::CurrentDocument().UndoList().empty());
}

TEST(StandInHostEdits, AnEndedEditIsOneUndoEntryAndUndoRestoresTheEarlierDocument) {
    ASSERT_TRUE(Save(1, 0, 0x11));  // outside an edit: document building, no undo entry
    EXPECT_TRUE(simhost::CurrentDocument().UndoList().empty());
    const simhost::DocumentState before = simhost::CurrentDocument().State();
    const char16_t title[] = u"Reorder Notes";
    ASSERT_TRUE(hostapi::FX_StartFinaleEdit_UTF16(title, kFXInterfaceVersion));
    EXPECT_FALSE(hostapi::FX_StartFinaleEdit("Nested", kFXInterfaceVersion));  // edits never nest
    ChurnRecords();
    ASSERT_TRUE(hostapi::FX_EndFinaleEdit(kFXInterfaceVersion));
    const simhost::DocumentState after = simhost::CurrentDocument().State();
    ASSERT_EQ(simhost::CurrentDocument().UndoList(), std::vector<std::u16string>{u"Reorder Notes"});
    ASSERT_TRUE(simhost::CurrentDocument().Undo());
    EXPECT_EQ(simhost::CurrentDocument().State(), before);
    EXPECT_NE(after, before);
    EXPECT_FALSE(simhost::CurrentDocument().Undo());
}

TEST(StandInHostEdits, EndOrCancelWithoutAnOpenEditChangesNothing) {
    ASSERT_TRUE(Save(1, 0, 0x11));
    const simhost::DocumentState before = simhost::CurrentDocument().State();
    EXPECT_FALSE(hostapi::FX_EndFinaleEdit(kFXInterfaceVersion));
    EXPECT_FALSE(hostapi::FX_CancelFinaleEdit(kFXInterfaceVersion));
    EXPECT_FALSE(hostapi::FX_StartFinaleEdit(nullptr, kFXInterfaceVersion));
    EXPECT_EQ(simhost::CurrentDocument().State(), before);
    EXPECT_TRUE(simhost::CurrentDocument().UndoList().empty());
}

TEST(StandInHostDocuments, RecordCallsActOnTheCurrentDocument) {
    ASSERT_TRUE(Save(1, 0, 0x11));
    const int16_t second = simhost::NewDocument();
    EXPECT_EQ(hostapi::FX_GetCurrentEnigmaDocument(kFXInterfaceVersion), 1);
    ASSERT_TRUE(simhost::SwitchToDocument(second));
    EXPECT_EQ(hostapi::FX_GetCurrentEnigmaDocument(kFXInterfaceVersion), second);
    FXKey key = {{1, 0, 0, 0}};
    uint32_t size = 0;
    EXPECT_FALSE(hostapi::FX_LoadEData(kTag, &key, nullptr, &size, kVersion));
    EXPECT_FALSE(simhost::SwitchToDocument(99));
    ASSERT_TRUE(simhost::SwitchToDocument(1));
    EXPECT_TRUE(hostapi::FX_LoadEData(kTag, &key, nullptr, &size, kVersion));
}

TEST(StandInHostFolder, ReportsTheChosenFolderInBothFormsAndRefusesSmallBuffers) {
    simhost::SetFolder("/tmp/qz folder/");
    char narrow[64];
    ASSERT_TRUE(hostapi::FX_GetFinalePath(narrow, sizeof narrow, 15, 0, kFXInterfaceVersion));
    EXPECT_STREQ(narrow, "/tmp/qz folder");
    char16_t wide[64];
    ASSERT_TRUE(hostapi::FX_GetFinalePath(wide, 64, 7, 1, kFXInterfaceVersion));
    EXPECT_EQ(std::u16string(wide), u"/tmp/qz folder");
    char tiny[8] = "unset";
    EXPECT_FALSE(hostapi::FX_GetFinalePath(tiny, sizeof tiny, 15, 0, kFXInterfaceVersion));
    EXPECT_STREQ(tiny, "unset");
    EXPECT_FALSE(hostapi::FX_GetFinalePath(nullptr, 64, 15, 0, kFXInterfaceVersion));
    EXPECT_FALSE(hostapi::FX_GetFinalePath(narrow, sizeof narrow, 3, 0, kFXInterfaceVersion));
}

TEST(StandInHostFonts, NamesAndNumbersMapBothWays) {
    const int16_t arial = hostapi::FX_FontNameToNum("Arial", kFXInterfaceVersion);
    char name[32];
    ASSERT_TRUE(hostapi::FX_FontNumToName(arial, name, sizeof name, kFXInterfaceVersion));
    EXPECT_STREQ(name, "Arial");
    const int16_t added = hostapi::FX_FontNameToNum("Some New Font", kFXInterfaceVersion);
    EXPECT_GT(added, arial);
    EXPECT_EQ(hostapi::FX_FontNameToNum("Some New Font", kFXInterfaceVersion), added);
    char small[4] = "xyz";
    EXPECT_FALSE(hostapi::FX_FontNumToName(arial, small, sizeof small, kFXInterfaceVersion));
    EXPECT_STREQ(small, "xyz");
    EXPECT_FALSE(hostapi::FX_FontNumToName(-1, name, sizeof name, kFXInterfaceVersion));
    EXPECT_FALSE(hostapi::FX_FontNumToName(9999, name, sizeof name, kFXInterfaceVersion));
    EXPECT_EQ(hostapi::FX_FontNameToNum(nullptr, kFXInterfaceVersion), 0);
}

TEST(StandInHostRecords, DeletingAnIncidenceMovesTheHigherOnesDown) {
    struct Row {
        uint32_t tag;
        FXKey first;  // incidence word 0xFFFF is filled per record
    } rows[] = {
        {FXTag('S', 'O', 'D', 'Y'), {{4, 0xFFFF, 0, 0}}},   // expressions: item, incidence in word 1
        {FXTag('e', 'd', 'I', 'M'), {{70, 1, 0xFFFF, 0}}},  // entry details: incidence in word 2
        {FXTag('S', 'D', 'C', 'h'), {{2, 9, 0xFFFF, 0}}},   // cell details: incidence in word 2
    };
    for (const Row& row : rows) {
        const int w = simhost::RecordStore::IncidenceWord(row.tag);
        for (uint8_t value = 0; value < 4; ++value) {
            FXKey key = row.first;
            ASSERT_TRUE(hostapi::FX_CreateEData(row.tag, &key, &value, 1, kVersion));
            EXPECT_EQ(key.words[w], value);
        }
        // A record of another item must keep its incidence.
        FXKey other = row.first;
        other.words[0] = uint16_t(other.words[0] + 1);
        uint8_t otherValue = 99;
        ASSERT_TRUE(hostapi::FX_CreateEData(row.tag, &other, &otherValue, 1, kVersion));

        FXKey doomed = row.first;
        doomed.words[w] = 1;
        ASSERT_TRUE(hostapi::FX_DeleteEData(row.tag, &doomed, kVersion));
        std::vector<int> values;
        for (uint16_t inci = 0; inci < 4; ++inci) {
            FXKey key = row.first;
            key.words[w] = inci;
            uint8_t value = 0;
            uint32_t size = 1;
            if (hostapi::FX_LoadEData(row.tag, &key, &value, &size, kVersion)) values.push_back(value);
        }
        EXPECT_EQ(values, (std::vector<int>{0, 2, 3})) << std::hex << row.tag;
        other.words[w] = 0;
        uint32_t size = 1;
        EXPECT_TRUE(hostapi::FX_LoadEData(row.tag, &other, &otherValue, &size, kVersion));
    }
}
