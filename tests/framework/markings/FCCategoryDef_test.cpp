#include "framework/core/FCFontInfo.h"
#include "framework/markings/FCCategoryDef.h"
#include "tests/framework/markings/MarkingsRecords.h"

#include <gtest/gtest.h>

#include <string>

using markingstest::Bytes;
using markingstest::Stored;
using markingstest::WordAt;

namespace {

std::u16string Units(const FCString& text) { return std::u16string(text.GetUnits(), size_t(text.GetLength())); }

}  // namespace

// Byte level, both layouts: every field at its offset, the name in the layout's encoding, and
// everything read back as written.
TEST(CategoryDefLayout, BothLayoutsPlaceEveryFieldAtItsOffset) {
    const struct {
        uint32_t hostVersion;
        uint32_t dataVersion;
        size_t size;
        int font, placement[5], alignment, flags;
        bool utf16;
    } rows[] = {
        {0x10FFFFFF, 0x0F000000, 104, 68, {86, 90, 92, 94, 96}, 88, 102, false},
        {0x11000000, 0x11000000, 296, 260, {278, 282, 284, 286, 288}, 280, 294, true},
        {0x1B000000, 0x11000000, 296, 260, {278, 282, 284, 286, 288}, 280, 294, true},
    };
    for (const auto& row : rows) {
        simhost::Reset();
        hostapi::SetHostVersion(row.hostVersion);
        SCOPED_TRACE(row.hostVersion);
        FCCategoryDef category;
        EXPECT_TRUE(category.IsLoaded());
        EXPECT_EQ(category.GetDataVersion(), row.dataVersion);
        category.SetCategoryType(4);
        const std::u16string name = row.utf16 ? u"Expressive Text \u00e9\u20ac" : u"Expressive Text \u00e9";
        FCString nameText;
        nameText.SetUTF16(name.c_str());
        category.SetName(&nameText);
        FCFontInfo font;
        font.SetName("Arial");
        font.SetSize(14);
        font.SetEffects(2);
        category.SetTextFontInfo(&font);
        category.SetHorizontalAlignment(-3);
        for (int i = 0; i < FCCategoryDef::kPlacementCount; ++i) category.SetPlacementValue(i, 10 * (i + 1));
        category.SetFlags(0x0090);
        ASSERT_TRUE(category.SaveAs(4));

        const Bytes* bytes = Stored(FCCategoryDef::kTag, 4);
        ASSERT_TRUE(bytes);
        ASSERT_EQ(bytes->size(), row.size);
        EXPECT_EQ(WordAt(bytes, 0), 4);
        const Bytes expectedName = markingstest::HostTextBytes(name, row.utf16);
        EXPECT_EQ(Bytes(bytes->begin() + 2, bytes->begin() + 2 + long(expectedName.size())), expectedName);
        EXPECT_EQ(WordAt(bytes, row.font), 2);  // "Arial" is the host's font 2
        EXPECT_EQ(WordAt(bytes, row.font + 2), 14);
        EXPECT_EQ(WordAt(bytes, row.font + 4), 2);
        EXPECT_EQ(int16_t(WordAt(bytes, row.alignment)), -3);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(WordAt(bytes, row.placement[i]), 10 * (i + 1));
        EXPECT_EQ(WordAt(bytes, row.flags), 0x0090);

        FCCategoryDef loaded;
        ASSERT_TRUE(loaded.Load(4));
        FCString read;
        loaded.GetName(&read);
        EXPECT_EQ(Units(read), name);
        EXPECT_TRUE(loaded.IsSameAs(&category));

        // A name longer than the room before the font is cut, and the font stays as it was.
        const std::u16string longName(400, u'x');
        nameText.SetUTF16(longName.c_str());
        loaded.SetName(&nameText);
        loaded.GetName(&read);
        EXPECT_EQ(read.GetLength(), row.utf16 ? 128 : 65);
        EXPECT_EQ(loaded.GetTextFontNumber(), 2);
    }
}

// The font name comes from the host by number; a number the host does not know gives
// "Times New Roman". The caret prefix the numbers are written with follows from it.
TEST(CategoryDef, TheTextFontIsNamedByTheHost) {
    const struct {
        int number;
        const char* name;
        const char* command;
    } rows[] = {
        {2, "Arial", "^fontTxt(Arial)^size(12)^nfx(1)"},
        {0, "Maestro", "^fontTxt(Maestro)^size(12)^nfx(1)"},
        {999, "Times New Roman", "^fontTxt(Times New Roman)^size(12)^nfx(1)"},
        {-5, "Times New Roman", "^fontTxt(Times New Roman)^size(12)^nfx(1)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.number);
        Bytes raw(296, 0);
        markingstest::SetWord(raw, 260, uint16_t(row.number));
        markingstest::SetWord(raw, 262, 12);
        markingstest::SetWord(raw, 264, 1);
        markingstest::Put(FCCategoryDef::kTag, 1, 0, raw);
        FCCategoryDef category;
        ASSERT_TRUE(category.Load(1));
        FCFontInfo font;
        font.SetName("previous");
        ASSERT_TRUE(category.GetTextFontInfo(&font));
        EXPECT_STREQ(font.GetName(), row.name);
        EXPECT_EQ(font.GetNameNumber(), row.number);
        FCString command;
        font.GetFontCommand(&command, "^fontTxt");
        EXPECT_STREQ(command.GetCString(), row.command);
    }
    simhost::SetWithdrawn("FX_FontNumToName");
    hostapi::SetLookup(&simhost::Lookup);
    FCCategoryDef category;
    ASSERT_TRUE(category.Load(1));
    FCFontInfo font;
    category.GetTextFontInfo(&font);
    EXPECT_STREQ(font.GetName(), "Times New Roman");
}

TEST(CategoryDef, SameAsComparesNumberTypeFlagsAndName) {
    FCString name("Dynamics");
    FCCategoryDef base;
    base.SetCategoryType(1);
    base.SetName(&name);
    base.SetFlags(0x80);
    ASSERT_TRUE(base.SaveAs(1));
    ASSERT_TRUE(base.SaveAs(2));
    FCCategoryDef first, second;
    ASSERT_TRUE(first.Load(1));
    ASSERT_TRUE(second.Load(1));
    EXPECT_TRUE(first.IsSameAs(&second));
    EXPECT_FALSE(first.IsSameAs(nullptr));

    const struct {
        const char* change;
        void (*apply)(FCCategoryDef&);
    } rows[] = {
        {"number", [](FCCategoryDef& c) { c.Load(2); }},
        {"type", [](FCCategoryDef& c) { c.SetCategoryType(5); }},
        {"flags", [](FCCategoryDef& c) { c.SetFlags(0x90); }},
        {"name",
         [](FCCategoryDef& c) {
             FCString other("Dynamics ");
             c.SetName(&other);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.change);
        ASSERT_TRUE(second.Load(1));
        row.apply(second);
        EXPECT_FALSE(first.IsSameAs(&second));
    }
}

// A document whose category 1 was deleted still lists its categories; a short record never shows
// the bytes of the category loaded before it.
TEST(CategoryDefs, LoadingAllStartsAtTheLowestNumberAndClearsShortRecords) {
    Bytes full(296, 0);
    markingstest::SetWord(full, 0, 2);
    markingstest::SetWord(full, 294, 0x0080);
    markingstest::SetWord(full, 2, u'X');
    markingstest::Put(FCCategoryDef::kTag, 2, 0, full);
    markingstest::Put(FCCategoryDef::kTag, 5, 0, Bytes(20, 0));
    FCCategoryDefs categories;
    ASSERT_EQ(categories.LoadAll(), 2);
    EXPECT_EQ(categories.GetItemAt(0)->GetFlags(), 0x0080);
    EXPECT_EQ(categories.GetItemAt(1)->GetItemNo(), 5);
    EXPECT_EQ(categories.GetItemAt(1)->GetFlags(), 0);
    FCString name;
    categories.GetItemAt(1)->GetName(&name);
    EXPECT_TRUE(name.IsEmpty());
    EXPECT_EQ(categories.FindItemNo(5), categories.GetItemAt(1));
    EXPECT_EQ(categories.FindItemNo(1), nullptr);
}
