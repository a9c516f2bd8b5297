#include "framework/markings/FCCategoryDef.h"
#include "framework/markings/FCRawText.h"
#include "framework/markings/FCTextBlock.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "simhost/DocumentBuilder.h"
#include "tests/framework/markings/MarkingsRecords.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using markingstest::Bytes;
using markingstest::Count;
using markingstest::Stored;
using markingstest::WordAt;

namespace {

std::u16string Units(const FCString& text) { return std::u16string(text.GetUnits(), size_t(text.GetLength())); }

void SetUnits(FCString& text, const std::u16string& units) { text.SetUTF16(units.c_str(), int(units.size())); }

// A create that the host refuses for one tag only, for the failure paths of multi-record edits.
uint32_t refusedTag = 0;
int16_t FXAPI CreateRefusingOneTag(uint32_t tag, FXKey* key, const void* data, uint32_t size, uint32_t version) {
    if (tag == refusedTag) return 0;
    auto create = reinterpret_cast<hostapi::FX_CreateEData_fn>(simhost::Lookup("FX_CreateEData"));
    return create(tag, key, data, size, version);
}
void* LookupRefusingOneTag(const char* name) {
    if (std::strcmp(name, "FX_CreateEData") == 0) return reinterpret_cast<void*>(&CreateRefusingOneTag);
    return simhost::Lookup(name);
}

}  // namespace

// The description follows the header as 8-bit text before host 0x11000000 and as UTF-16 from
// then on; the record length is 36 + the length (8-bit) or 36 + twice the length.
TEST(TextExpressionDefLayout, TheDescriptionIsEncodedByHostVersion) {
    const struct {
        uint32_t hostVersion;
        uint32_t dataVersion;
        bool utf16;
        std::u16string description;
    } rows[] = {
        {0x10FFFFFF, 0x0F000000, false, u"QZ Pattern: N\u00fcmber"},
        {0x11000000, 0x12050000, true, u"QZ Pattern: N\u00fcmber \u20ac"},
        {0x1B000000, 0x12050000, true, u""},
    };
    for (const auto& row : rows) {
        simhost::Reset();
        hostapi::SetHostVersion(row.hostVersion);
        SCOPED_TRACE(row.hostVersion);
        FCTextExpressionDef definition;
        EXPECT_EQ(definition.GetDataVersion(), row.dataVersion);
        definition.SetCategoryNumber(3);
        definition.SetTextBlockNumber(11);
        FCString description;
        SetUnits(description, row.description);
        definition.SetDescription(&description);
        ASSERT_TRUE(definition.SaveNew());
        ASSERT_EQ(definition.GetItemNo(), 1);

        const Bytes* bytes = Stored(FCTextExpressionDef::kTag, 1);
        ASSERT_TRUE(bytes);
        const size_t length = row.description.size();
        EXPECT_EQ(bytes->size(), row.utf16 ? 36 + 2 * length : 36 + length);
        EXPECT_EQ(WordAt(bytes, 0), 11);
        EXPECT_EQ(WordAt(bytes, 26), 3);
        const Bytes expected = markingstest::HostTextBytes(row.description, row.utf16);
        EXPECT_EQ(Bytes(bytes->begin() + 34, bytes->begin() + 34 + long(expected.size())), expected);

        FCTextExpressionDef loaded;
        ASSERT_TRUE(loaded.Load(1));
        FCString read;
        loaded.GetDescription(&read);
        EXPECT_EQ(Units(read), row.description);
        EXPECT_EQ(loaded.GetTextBlockNumber(), 11);
    }
}

// Texts with caret commands, empty texts and texts outside ASCII come back as they were set,
// through a raw text record (tag txxp) and a text block of the expression kind.
TEST(TextExpressionDef, TextsRoundTripThroughTheBlockAndTheRawText) {
    const struct {
        uint32_t hostVersion;
        std::u16string text;
    } rows[] = {
        {0x1B000000, u"^fontTxt(Times New Roman)^size(12)^nfx(0)3 (^nfx(2)8)"},
        {0x1B000000, u""},
        {0x1B000000, u"p\u00fcu cresc. \u00bd \U0001D11E"},
        {0x10FFFFFF, u"^font(Maestro)^size(24)^nfx(0)\u00e9\u00f8"},
    };
    for (const auto& row : rows) {
        simhost::Reset();
        hostapi::SetHostVersion(row.hostVersion);
        SCOPED_TRACE(row.hostVersion);
        FCTextExpressionDef definition;
        FCString text;
        SetUnits(text, row.text);
        ASSERT_TRUE(definition.SetText(&text));
        ASSERT_TRUE(definition.SaveNew());

        const Bytes* block = Stored(FCTextBlock::kTag, uint16_t(definition.GetTextBlockNumber()));
        ASSERT_TRUE(block);
        EXPECT_EQ(WordAt(block, 24), FCTextBlock::kExpressionTextKind);
        const Bytes* raw = Stored(FCRawText::kExpressionTextTag, WordAt(block, 0));
        ASSERT_TRUE(raw);
        EXPECT_EQ(*raw, markingstest::HostTextBytes(row.text, row.hostVersion >= 0x11000000));

        FCTextExpressionDef loaded;
        ASSERT_TRUE(loaded.Load(uint16_t(definition.GetItemNo())));
        std::unique_ptr<FCString> read(loaded.CreateTextString());
        EXPECT_EQ(Units(*read), row.text);

        EXPECT_TRUE(loaded.DeleteText());
        EXPECT_EQ(Count(FCTextBlock::kTag), 0);
        EXPECT_EQ(Count(FCRawText::kExpressionTextTag), 0);
        FCString after("left over");
        EXPECT_FALSE(loaded.GetText(&after));
        EXPECT_TRUE(after.IsEmpty());
    }
}

TEST(TextExpressionDef, AMissingBlockOrRawTextGivesAnEmptyText) {
    FCTextExpressionDef definition;
    FCString text("x");
    EXPECT_FALSE(definition.GetText(&text));  // block number 0
    EXPECT_TRUE(text.IsEmpty());

    FCTextBlock block;
    block.SetRawTextNumber(5);  // no such raw text
    ASSERT_TRUE(block.SaveNew());
    definition.SetTextBlockNumber(block.GetItemNo());
    text.SetCString("x");
    EXPECT_FALSE(definition.GetText(&text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_TRUE(definition.DeleteText());  // the block goes even without its raw text
    EXPECT_EQ(Count(FCTextBlock::kTag), 0);
    EXPECT_FALSE(definition.DeleteText());
}

// A failed text creation leaves no record behind and the definition's text unchanged.
TEST(TextExpressionDef, AFailedTextCreationLeavesNothingBehind) {
    FCTextExpressionDef definition;
    definition.SetTextBlockNumber(4);
    FCString text("7");
    simhost::SetFailing("FX_CreateEData");
    EXPECT_FALSE(definition.SetText(&text));
    simhost::SetFailing("FX_CreateEData", false);

    refusedTag = FCTextBlock::kTag;
    hostapi::SetLookup(&LookupRefusingOneTag);
    EXPECT_FALSE(definition.SetText(&text));
    hostapi::SetLookup(nullptr);
    EXPECT_EQ(Count(FCRawText::kExpressionTextTag), 0);
    EXPECT_EQ(Count(FCTextBlock::kTag), 0);
    EXPECT_EQ(definition.GetTextBlockNumber(), 4);
}

TEST(TextExpressionDef, TheCategoryWordKeepsItsBitsApartAndOlderHostsIgnoreTheUseBits) {
    const struct {
        uint32_t hostVersion;
        bool hasUseBits;
    } rows[] = {{0x10FFFFFF, false}, {0x11000000, true}, {0x1B000000, true}};
    for (const auto& row : rows) {
        simhost::Reset();
        hostapi::SetHostVersion(row.hostVersion);
        SCOPED_TRACE(row.hostVersion);
        Bytes raw(36, 0);
        markingstest::SetWord(raw, 26, 0xC005);
        markingstest::Put(FCTextExpressionDef::kTag, 1, 0, raw);
        FCTextExpressionDef definition;
        ASSERT_TRUE(definition.Load(1));
        EXPECT_EQ(definition.GetCategoryNumber(), 5);
        EXPECT_EQ(definition.GetUseCategoryFont(), row.hasUseBits);
        EXPECT_EQ(definition.GetUseCategoryPlacement(), row.hasUseBits);

        definition.SetCategoryNumber(0x7FFF);  // bits 0-13 only; 14 and 15 kept
        definition.SetUseCategoryFont(false);
        ASSERT_TRUE(definition.Save());
        EXPECT_EQ(WordAt(Stored(FCTextExpressionDef::kTag, 1), 26), row.hasUseBits ? 0x7FFF : 0xFFFF);
        definition.SetUseCategoryPlacement(false);
        EXPECT_EQ(definition.GetCategoryNumber(), 0x3FFF);
    }
}

// Assigning to a category copies its number, alignment and placement into the definition's own
// offsets and turns on the use of the category's font and placement, in both category layouts.
TEST(TextExpressionDef, AssigningToACategoryCopiesItsPlacement) {
    for (uint32_t hostVersion : {0x10FFFFFFu, 0x11000000u, 0x1B000000u}) {
        simhost::Reset();
        hostapi::SetHostVersion(hostVersion);
        SCOPED_TRACE(hostVersion);
        FCCategoryDef category;
        category.SetHorizontalAlignment(-2);
        const int values[] = {-120, 7, -36, 9, 11};
        for (int i = 0; i < FCCategoryDef::kPlacementCount; ++i) category.SetPlacementValue(i, values[i]);
        ASSERT_TRUE(category.SaveAs(6));

        FCCategoryDef loaded;
        ASSERT_TRUE(loaded.Load(6));
        FCTextExpressionDef definition;
        ASSERT_TRUE(definition.AssignToCategory(&loaded));
        ASSERT_TRUE(definition.SaveNew());
        const Bytes* bytes = Stored(FCTextExpressionDef::kTag, uint16_t(definition.GetItemNo()));
        const uint16_t useBits = FCTextExpressionDef::kUseCategoryFont | FCTextExpressionDef::kUseCategoryPlacement;
        EXPECT_EQ(WordAt(bytes, 26), 6 | (hostVersion >= 0x11000000 ? useBits : 0));
        EXPECT_EQ(int16_t(WordAt(bytes, 12)), -2);
        // Category offsets 86, 90, 92, 94, 96 (short layout) go to 14, 16, 24, 32, 30.
        EXPECT_EQ(int16_t(WordAt(bytes, 14)), -120);
        EXPECT_EQ(WordAt(bytes, 16), 7);
        EXPECT_EQ(int16_t(WordAt(bytes, 24)), -36);
        EXPECT_EQ(WordAt(bytes, 32), 9);
        EXPECT_EQ(WordAt(bytes, 30), 11);
        for (int i = 0; i < FCTextExpressionDef::kPlacementCount; ++i)
            EXPECT_EQ(definition.GetPlacementValue(i), values[i]);
    }
}

TEST(TextExpressionDef, AssigningToCategoryZeroFailsAndChangesNothing) {
    FCTextExpressionDef definition;
    definition.SetCategoryNumber(4);
    definition.SetHorizontalAlignment(1);
    FCCategoryDef unnumbered;  // item number 0
    unnumbered.SetHorizontalAlignment(5);
    EXPECT_FALSE(definition.AssignToCategory(&unnumbered));
    EXPECT_FALSE(definition.AssignToCategory(nullptr));
    FCCategoryDef missing;
    EXPECT_FALSE(missing.Load(3));
    EXPECT_FALSE(definition.AssignToCategory(&missing));
    EXPECT_EQ(definition.GetCategoryNumber(), 4);
    EXPECT_EQ(definition.GetHorizontalAlignment(), 1);
    EXPECT_FALSE(definition.GetUseCategoryFont());
}

// Deleted definitions leave gaps in the numbers; loading all still finds every definition.
TEST(TextExpressionDefs, LoadingAllFindsDefinitionsAfterGaps) {
    for (uint16_t number : {2, 3, 6, 40}) markingstest::Put(FCTextExpressionDef::kTag, number, 0, Bytes(36, 0));
    FCTextExpressionDefs definitions;
    ASSERT_EQ(definitions.LoadAll(), 4);
    EXPECT_EQ(definitions.GetItemAt(0)->GetItemNo(), 2);
    EXPECT_EQ(definitions.GetItemAt(1)->GetItemNo(), 3);
    EXPECT_EQ(definitions.GetItemAt(2)->GetItemNo(), 6);
    EXPECT_EQ(definitions.GetItemAt(3)->GetItemNo(), 40);
    markingstest::Put(FCTextExpressionDef::kTag, 0xFFFE, 0, Bytes(36, 0));
    EXPECT_EQ(definitions.LoadAll(), 5);
}

// Records that are shorter than the header or have no terminator are read within their bytes;
// fields set on them reach the host.
TEST(TextExpressionDef, ShortAndUnterminatedRecordsAreReadWithinTheirBytes) {
    Bytes unterminated(34 + 8, 'A');
    markingstest::Put(FCTextExpressionDef::kTag, 1, 0, unterminated);
    markingstest::Put(FCTextExpressionDef::kTag, 2, 0, Bytes(10, 0x01));
    markingstest::Put(FCTextExpressionDef::kTag, 3, 0, Bytes(35, 0));

    FCTextExpressionDefs definitions;
    ASSERT_EQ(definitions.LoadAll(), 3);
    FCString description;
    definitions.GetItemAt(0)->GetDescription(&description);
    EXPECT_EQ(description.GetLength(), 4);  // 8 bytes: four UTF-16 units, no terminator
    definitions.GetItemAt(1)->GetDescription(&description);
    EXPECT_TRUE(description.IsEmpty());
    EXPECT_EQ(definitions.GetItemAt(1)->GetCategoryNumber(), 0);
    definitions.GetItemAt(2)->GetDescription(&description);
    EXPECT_TRUE(description.IsEmpty());

    FCTextExpressionDef* shortRecord = definitions.GetItemAt(1);
    shortRecord->SetCategoryNumber(9);
    ASSERT_TRUE(shortRecord->Save());
    EXPECT_EQ(Stored(FCTextExpressionDef::kTag, 2)->size(), 36u);
    EXPECT_EQ(WordAt(Stored(FCTextExpressionDef::kTag, 2), 26), 9);

    std::unique_ptr<__FCBaseData> clone(definitions.GetItemAt(0)->Clone());
    static_cast<FCTextExpressionDef*>(clone.get())->GetDescription(&description);
    EXPECT_EQ(description.GetLength(), 4);

    FCTextExpressionDef missing;
    EXPECT_FALSE(missing.Load(9));
    missing.GetDescription(&description);
    EXPECT_TRUE(description.IsEmpty());
    EXPECT_EQ(missing.GetCategoryNumber(), 0);
    missing.SetCategoryNumber(2);  // no record: nothing to save
    EXPECT_FALSE(missing.Save());
}

TEST(TextExpressionDef, RehearsalMarksAndDeepDeletion) {
    Bytes raw(36, 0);
    markingstest::SetWord(raw, 2, 1);
    markingstest::Put(FCTextExpressionDef::kTag, 1, 0, raw);
    FCTextExpressionDef definition;
    ASSERT_TRUE(definition.Load(1));
    EXPECT_TRUE(definition.IsRehearsalMark());
    FCString text("A");
    ASSERT_TRUE(definition.SetText(&text));
    ASSERT_TRUE(definition.Save());
    EXPECT_TRUE(definition.DeepDeleteData());
    EXPECT_EQ(Count(FCTextExpressionDef::kTag), 0);
    EXPECT_EQ(Count(FCTextBlock::kTag), 0);
    EXPECT_EQ(Count(FCRawText::kExpressionTextTag), 0);
}
