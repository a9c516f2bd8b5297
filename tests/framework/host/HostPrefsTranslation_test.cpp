#include "framework/host/hostapi.h"
#include "simhost/Document.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr uint32_t kVersion = 0x12050000;

void PutOther(char a, char b, uint16_t inci, uint16_t firstWord) {
    uint16_t words[6];
    for (int i = 0; i < 6; ++i) words[i] = uint16_t(firstWord + i);
    FXKey key = {{0xFFFE, inci, 0, 0}};
    ASSERT_TRUE(hostapi::FX_SaveEData(FXTag('o', 't', a, b), &key, words, 12, kVersion));
}

}  // namespace

TEST(PrefsTranslation, MappedTagsReadConsecutiveIncidencesAtTheDocumentItem) {
    PutOther('8', '9', 2, 300);
    uint8_t buffer[12] = {0};
    FXKey key = {{3, 0, 0, 0}};  // pfGb number 3 is incidence 2 of ot89
    uint32_t size = sizeof buffer;
    ASSERT_TRUE(hostapi::FX_LoadEData(FXTag('p', 'f', 'G', 'b'), &key, buffer, &size, kVersion));
    EXPECT_EQ(size, 12u);
    uint16_t first;
    std::memcpy(&first, buffer, 2);
    EXPECT_EQ(first, 300);

    struct Row {
        char tag[2];
        uint16_t number;
        bool ok;
        uint32_t size;
    } rows[] = {
        {{'G', 'b'}, 5, false, 0},  {{'G', 'b'}, 0, false, 0},   {{'T', 'C'}, 1, true, 60},
        {{'G', 'G'}, 9, true, 132}, {{'S', 'N'}, 128, true, 12}, {{'S', 'N'}, 129, false, 0},
        {{'G', 's'}, 2, false, 0},  {{'P', 'F'}, 1, true, 48},   {{'P', 'F'}, 2, false, 0},
    };
    for (const Row& row : rows) {
        FXKey k = {{row.number, 0, 0, 0}};
        uint32_t reported = 0;
        const bool ok =
            hostapi::FX_LoadEData(FXTag('p', 'f', row.tag[0], row.tag[1]), &k, nullptr, &reported, kVersion);
        EXPECT_EQ(ok, row.ok) << row.tag[0] << row.tag[1] << " " << row.number;
        if (row.ok) {
            EXPECT_EQ(reported, row.size) << row.tag[0] << row.tag[1];
        }
    }
}

TEST(PrefsTranslation, MappedLoadRefusesABufferSmallerThanItsRecords) {
    uint8_t buffer[60];
    FXKey key = {{1, 0, 0, 0}};
    uint32_t size = 59;
    EXPECT_FALSE(hostapi::FX_LoadEData(FXTag('p', 'f', 'T', 'C'), &key, buffer, &size, kVersion));
}

TEST(PrefsTranslation, MappedSaveWritesEverySlotToItsRecord) {
    uint8_t slots[24];
    for (int i = 0; i < 24; ++i) slots[i] = uint8_t(i);
    FXKey key = {{1, 0, 0, 0}};
    ASSERT_TRUE(hostapi::FX_SaveEData(FXTag('p', 'f', 'M', 'M'), &key, slots, sizeof slots, kVersion));
    const simhost::RecordStore& store = simhost::CurrentDocument().Records();
    FXKey second = {{0xFFFE, 1, 0, 0}};
    const simhost::RecordStore::Bytes* record = store.Find(FXTag('o', 't', '5', '2'), second);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ((*record)[0], 12);
    EXPECT_FALSE(hostapi::FX_SaveEData(FXTag('p', 'f', 'M', 'M'), &key, slots, 23, kVersion));
    EXPECT_FALSE(hostapi::FX_SaveEData(FXTag('p', 'f', 'M', 'M'), &key, nullptr, 24, kVersion));
}

TEST(PrefsTranslation, FieldTablesConvertAndWriteBackOnlyChangedRecords) {
    // pfPL: 32-bit high word first, 32-bit high word second, inverted boolean, low byte, words.
    const uint16_t first[6] = {0x0001, 0x0002, 0x0003, 0x0004, 0x0000, 0x1234};
    FXKey key0 = {{0xFFFE, 0, 0, 0}};
    ASSERT_TRUE(hostapi::FX_SaveEData(FXTag('o', 't', 'P', 'L'), &key0, first, 12, kVersion));
    uint8_t prefs[18] = {0};
    FXKey key = {{1, 0, 0, 0}};
    uint32_t size = sizeof prefs;
    ASSERT_TRUE(hostapi::FX_LoadEData(FXTag('p', 'f', 'P', 'L'), &key, prefs, &size, kVersion));
    EXPECT_EQ(size, 18u);
    uint32_t high, low;
    uint16_t inverted, byte;
    std::memcpy(&high, prefs + 0, 4);
    std::memcpy(&low, prefs + 4, 4);
    std::memcpy(&inverted, prefs + 8, 2);
    std::memcpy(&byte, prefs + 10, 2);
    EXPECT_EQ(high, 0x00010002u);
    EXPECT_EQ(low, 0x00040003u);
    EXPECT_EQ(inverted, 1);
    EXPECT_EQ(byte, 0x34);

    // Change the low byte only: the high byte of the word survives, incidence 1 is not written.
    const uint16_t newByte = 0x99;
    std::memcpy(prefs + 10, &newByte, 2);
    ASSERT_TRUE(hostapi::FX_SaveEData(FXTag('p', 'f', 'P', 'L'), &key, prefs, sizeof prefs, kVersion));
    const simhost::RecordStore& store = simhost::CurrentDocument().Records();
    const simhost::RecordStore::Bytes* record = store.Find(FXTag('o', 't', 'P', 'L'), key0);
    ASSERT_NE(record, nullptr);
    uint16_t word5;
    std::memcpy(&word5, record->data() + 10, 2);
    EXPECT_EQ(word5, 0x1299);
    FXKey key1 = {{0xFFFE, 1, 0, 0}};
    EXPECT_EQ(store.Find(FXTag('o', 't', 'P', 'L'), key1), nullptr);
}

TEST(PrefsTranslation, OtherTagsPassStraightToTheHost) {
    uint8_t data[4] = {1, 2, 3, 4};
    FXKey key = {{1, 0, 0, 0}};
    ASSERT_TRUE(hostapi::FX_SaveEData(FXTag('p', 'f', 'g', 'p'), &key, data, 4, 0x0D000000));
    EXPECT_NE(simhost::CurrentDocument().Records().Find(FXTag('p', 'f', 'g', 'p'), key), nullptr);
    uint32_t size = 0;
    EXPECT_FALSE(hostapi::FX_LoadEData(FXTag('p', 'f', 'M', 'I'), &key, nullptr, &size, kVersion));
}
