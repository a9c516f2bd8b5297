#include "framework/core/FCDocumentUnit.h"
#include "framework/core/FCFontInfo.h"
#include "framework/score/FCFontPrefs.h"
#include "framework/score/FCGeneralPrefs.h"
#include "framework/score/FCMiscDocPrefs.h"
#include "framework/score/FCTupletPrefs.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>

using simhost::DocumentBuilder;

namespace {

uint16_t OtherWord(char a, char b, uint16_t item, int word) {
    const FXKey key = {{item, 0, 0, 0}};
    const simhost::RecordStore::Bytes* bytes = simhost::CurrentDocument().Records().Find(FXTag('o', 't', a, b), key);
    uint16_t value = 0;
    if (bytes && bytes->size() >= size_t(2 * word + 2)) std::memcpy(&value, bytes->data() + 2 * word, 2);
    return value;
}

}  // namespace

// The beam flags of pfMI live in word 1 of ot41 at the document item.
TEST(MiscDocPrefs, BeamFlagsComeFromAndGoBackToTheirOtherRecord) {
    DocumentBuilder doc;
    ASSERT_TRUE(doc.SetBeamFlags(FCMiscDocPrefs::kBeamOverRests | FCMiscDocPrefs::kBeamFourEighthsInCommonTime));
    EXPECT_EQ(OtherWord('4', '1', 0xFFFE, 1), 0x0009);

    FCMiscDocPrefs prefs;
    ASSERT_TRUE(prefs.Load(1));
    EXPECT_TRUE(prefs.GetBeamOverRests());
    EXPECT_TRUE(prefs.GetBeamFourEighthsInCommonTime());
    prefs.SetBeamFourEighthsInCommonTime(false);
    ASSERT_TRUE(prefs.Save());
    EXPECT_EQ(OtherWord('4', '1', 0xFFFE, 1), 0x0001);
    ASSERT_TRUE(prefs.Reload());
    EXPECT_FALSE(prefs.GetBeamFourEighthsInCommonTime());
}

TEST(GeneralPrefs, TheDocumentUnitIsReadFromTheGeneralPreferences) {
    EXPECT_EQ(FCDocumentMeasurementUnit(), 1);  // no preferences at all: EVPUs
    DocumentBuilder doc;
    struct Row {
        int stored, reported;
    } rows[] = {{1, 1}, {3, 3}, {6, 6}, {0, 1}, {7, 1}, {-2, 1}};
    for (const Row& row : rows) {
        ASSERT_TRUE(doc.SetMeasurementUnit(row.stored));
        EXPECT_EQ(FCDocumentMeasurementUnit(), row.reported) << row.stored;
    }
    FCGeneralPrefs prefs;
    ASSERT_TRUE(prefs.Load(1));
    EXPECT_EQ(prefs.GetMeasurementUnit(), -2);
    EXPECT_EQ(prefs.GetLoadedSize(), 66);
}

TEST(FontPrefs, FontInfoTakesTheHostsNameForTheFontNumber) {
    const int16_t arial = hostapi::FX_FontNameToNum("Arial", kFXInterfaceVersion);
    const uint16_t data[3] = {uint16_t(arial), 14, 2};
    FXKey key = {{27, 0, 0, 0}};
    ASSERT_TRUE(hostapi::FX_SaveEData(FCFontPrefs::kTag, &key, data, 6, 0x12050000));
    FCFontPrefs prefs;
    FCFontInfo font;
    EXPECT_FALSE(prefs.GetFontInfo(&font));  // not loaded
    ASSERT_TRUE(prefs.Load(FCFontPrefs::kArticulationFont));
    ASSERT_TRUE(prefs.GetFontInfo(&font));
    EXPECT_STREQ(font.GetName(), "Arial");
    EXPECT_EQ(font.GetSize(), 14.0f);
    EXPECT_EQ(font.GetEffects(), 2);

    prefs.SetFontNumber(999);  // a number the host has no name for
    ASSERT_TRUE(prefs.GetFontInfo(&font));
    EXPECT_STREQ(font.GetName(), "Times New Roman");
}

TEST(TupletPrefs, FurtherOptionsComeFromTheSecondRecordWhenThereIsOne) {
    uint8_t zeros[30] = {0};
    zeros[8] = 12;  // horizontal offset word
    FXKey key = {{1, 0, 0, 0}};
    ASSERT_TRUE(hostapi::FX_SaveEData(FCTupletPrefs::kTag, &key, zeros, 30, 0x12050000));
    FCTupletPrefs prefs;
    ASSERT_TRUE(prefs.Load(1));
    EXPECT_EQ(prefs.GetHorizontalOffset(), 12);
    EXPECT_EQ(prefs.GetExtraOptionWord(3), 0);  // no second record yet
    prefs.SetExtraOptionWord(3, 77);
    prefs.SetOptionWord(5, -4);
    ASSERT_TRUE(prefs.Save());
    FCTupletPrefs again;
    ASSERT_TRUE(again.Load(1));
    EXPECT_EQ(again.GetExtraOptionWord(3), 77);
    EXPECT_EQ(again.GetVerticalOffset(), -4);
    EXPECT_EQ(again.GetOptionWord(15), 0);  // out of range
}
