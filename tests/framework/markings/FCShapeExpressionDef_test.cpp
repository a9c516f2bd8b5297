#include "framework/markings/FCRawText.h"
#include "framework/markings/FCShapeExpressionDef.h"
#include "tests/framework/markings/MarkingsRecords.h"

#include <gtest/gtest.h>

using markingstest::Bytes;
using markingstest::Stored;
using markingstest::WordAt;

TEST(ShapeExpressionDef, TagVersionAndCategoryBits) {
    const struct {
        uint32_t hostVersion;
        uint32_t dataVersion;
    } rows[] = {{0x10FFFFFF, 0x0F000000}, {0x11000000, 0x11000000}, {0x1B000000, 0x11000000}};
    for (const auto& row : rows) {
        simhost::Reset();
        hostapi::SetHostVersion(row.hostVersion);
        FCShapeExpressionDef definition;
        EXPECT_EQ(definition.GetDataVersion(), row.dataVersion);
        EXPECT_EQ(definition.GetTag(), 0x4F03444Fu);
        definition.SetCustomTag(FXTag('O', '\x03', 'D', 'x'));
        EXPECT_EQ(definition.GetTag(), FXTag('O', '\x03', 'D', 'x'));
    }

    // A record longer than the fields read, with the top bits of the category word in use.
    Bytes raw(64, 0);
    markingstest::SetWord(raw, 26, 0xC001);
    markingstest::SetWord(raw, 60, 0xABCD);
    markingstest::Put(FCShapeExpressionDef::kTag, 3, 0, raw);
    FCShapeExpressionDef definition;
    ASSERT_TRUE(definition.LoadFirst());  // 1 and 2 are missing
    EXPECT_EQ(definition.GetItemNo(), 3);
    EXPECT_EQ(definition.GetCategoryNumber(), 1);
    definition.SetCategoryNumber(7);
    ASSERT_TRUE(definition.Save());
    const Bytes* stored = Stored(FCShapeExpressionDef::kTag, 3);
    ASSERT_EQ(stored->size(), 64u);
    EXPECT_EQ(WordAt(stored, 26), 0xC007);
    EXPECT_EQ(WordAt(stored, 60), 0xABCD);

    // A short record is read as zero beyond its end and saved at the structure's size.
    markingstest::Put(FCShapeExpressionDef::kTag, 4, 0, Bytes(6, 0xFF));
    ASSERT_TRUE(definition.Load(4));
    EXPECT_EQ(definition.GetCategoryNumber(), 0);
    definition.SetCategoryNumber(2);
    ASSERT_TRUE(definition.Save());
    EXPECT_EQ(WordAt(Stored(FCShapeExpressionDef::kTag, 4), 26), 2);
}

// Raw texts live under the tag their owner chooses, in the host's encoding.
TEST(RawText, TheCustomTagChoosesTheRecordAndTheHostVersionTheEncoding) {
    for (uint32_t hostVersion : {0x10FFFFFFu, 0x1B000000u}) {
        simhost::Reset();
        hostapi::SetHostVersion(hostVersion);
        const bool utf16 = hostVersion >= 0x11000000;
        FCRawText text;
        EXPECT_EQ(text.GetDataVersion(), hostVersion);
        FCString value("Allegro \xe9");
        text.SetText(&value);
        EXPECT_FALSE(text.SaveNew());  // no tag chosen: no record
        text.SetCustomTag(FXTag('b', 'l', 'o', 'c'));
        ASSERT_TRUE(text.SaveNew());
        const Bytes* bytes = Stored(FXTag('b', 'l', 'o', 'c'), uint16_t(text.GetItemNo()));
        ASSERT_TRUE(bytes);
        EXPECT_EQ(*bytes, markingstest::HostTextBytes(u"Allegro \u00e9", utf16));

        FCRawText loaded;
        loaded.SetCustomTag(FXTag('b', 'l', 'o', 'c'));
        ASSERT_TRUE(loaded.LoadFirst());
        FCString read;
        loaded.GetText(&read);
        EXPECT_TRUE(read.IsEqual(&value));
        EXPECT_FALSE(loaded.Load(7));
        loaded.GetText(&read);
        EXPECT_TRUE(read.IsEmpty());
    }
    // An unterminated record ends with its bytes.
    markingstest::Put(FCRawText::kExpressionTextTag, 1, 0, Bytes{'a', 0, 'b'});
    FCRawText odd;
    odd.SetCustomTag(FCRawText::kExpressionTextTag);
    ASSERT_TRUE(odd.Load(1));
    FCString read;
    odd.GetText(&read);
    EXPECT_EQ(read.GetLength(), 1);
}
