#include "profiles/FCNumberSettingsProfile.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::string Format(const FCNumberSettingsProfile& profile, int value, int maxValue) {
    FCString text;
    profile.FormatNumber(value, maxValue, &text);
    return text.GetUTF8();
}

// A profile without the maximum's markup, so the table below shows the bare patterns.
void Plain(FCNumberSettingsProfile& profile, int style, int formatting) {
    profile.SetOptions(0);
    profile.SetNumberStyle(style);
    profile.SetFormatting(formatting);
}

std::string Replace(std::string text, const std::string& x, const std::string& m) {
    std::string out;
    for (char c : text) out += c == 'x' ? x : c == 'M' ? m : std::string(1, c);
    return out;
}

}  // namespace

TEST(NumberSettingsProfile, ANewProfileHasTheDefaults) {
    FCNumberSettingsProfile profile;
    EXPECT_EQ(profile.GetName()->GetUTF8(), "Profile Name");
    EXPECT_EQ(profile.GetNumberStyle(), 0);
    EXPECT_EQ(profile.GetFormatting(), 0);
    EXPECT_EQ(profile.GetOptions(), 0x91);
    EXPECT_EQ(profile.GetSteps(), 1);
    EXPECT_EQ(profile.GetStartAt(), 1);
    EXPECT_EQ(profile.GetMaxValuePtDiff(), 0);
    EXPECT_EQ(profile.GetScorePartAssignment(), 0);
    EXPECT_EQ(profile.GetFontSize(), 0);
    EXPECT_TRUE(profile.GetAlwaysEndOfRegion());
    EXPECT_TRUE(profile.GetRestartFinalBarline());
    EXPECT_TRUE(profile.GetMaxItalics());
    EXPECT_FALSE(profile.GetMaxOnFirst());

    // The option table's order is the editor's row order and the storage file's attribute order.
    EXPECT_EQ(FCNumberSettingsProfile::GetProfileOption(3).bit, FCNumberSettingsProfile::kRestartDoubleBarline);
    EXPECT_STREQ(FCNumberSettingsProfile::GetProfileOption(8).storageAttribute, "MaxOnFirst");
    EXPECT_EQ(FCNumberSettingsProfile::GetFormattingText(14), nullptr);
}

// Every pattern in every number style: value 3 with maximum 12.
TEST(NumberFormatting, EveryPatternInEveryStyle) {
    const char* patterns[] = {"x",   "(x)", "[x]",   "{x}",   "x (M)",  "x [M]",  "x {M}",
                              "x-M", "x/M", "x - M", "x / M", "x (-M)", "x [-M]", "x {-M}"};
    const struct {
        int style;
        const char* x;
        const char* m;
    } styles[] = {{0, "3", "12"}, {1, "III", "XII"}, {2, "C", "L"}, {3, "c", "l"}};
    for (const auto& style : styles) {
        for (int formatting = 0; formatting < FCNumberSettingsProfile::kFormattingCount; ++formatting) {
            SCOPED_TRACE(std::to_string(style.style) + "/" + std::to_string(formatting));
            FCNumberSettingsProfile profile;
            Plain(profile, style.style, formatting);
            EXPECT_EQ(Format(profile, 3, 12), Replace(patterns[formatting], style.x, style.m));
            EXPECT_EQ(profile.ShowsMaxValue(3), formatting >= 4);
        }
    }
}

// The forms of single values, including those a style cannot show: 0 and negative values have
// no Roman or letter form; values beyond kMaxStyledValue fall back to decimal.
TEST(NumberFormatting, ValuesInEachStyleIncludingTheEdges) {
    const std::string roman32767 = std::string(32, 'M') + "DCCLXVII";
    const struct {
        int style;
        int value;
        std::string text;
    } rows[] = {
        {0, 0, "0"},
        {0, -5, "-5"},
        {0, INT_MAX, "2147483647"},
        {0, INT_MIN, "-2147483648"},
        {1, 1, "I"},
        {1, 4, "IV"},
        {1, 9, "IX"},
        {1, 14, "XIV"},
        {1, 40, "XL"},
        {1, 49, "XLIX"},
        {1, 90, "XC"},
        {1, 400, "CD"},
        {1, 444, "CDXLIV"},
        {1, 1999, "MCMXCIX"},
        {1, 3999, "MMMCMXCIX"},
        {1, 4000, "MMMM"},
        {1, 0, ""},
        {1, -3, ""},
        {1, 32767, roman32767},
        {1, 32768, "32768"},
        {1, INT_MAX, "2147483647"},
        {1, INT_MIN, ""},
        {2, 1, "A"},
        {2, 26, "Z"},
        {2, 27, "AA"},
        {2, 52, "ZZ"},
        {2, 53, "AAA"},
        {2, 0, ""},
        {2, -1, ""},
        {2, INT_MAX, "2147483647"},
        {2, 32767, std::string(1261, 'G')},
        {3, 28, "bb"},
        {3, 2, "b"},
        {3, INT_MIN, ""},
        {7, 12, "12"},
        {-1, 5, "5"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.style) + ": " + std::to_string(row.value));
        FCNumberSettingsProfile profile;
        Plain(profile, row.style, 0);
        EXPECT_EQ(Format(profile, row.value, 1), row.text);
    }
}

// The maximum's markup: italics, then the smaller size, never below 6 points and never larger
// than the text the number is drawn in.
TEST(NumberFormatting, TheMaximumsMarkup) {
    const struct {
        bool italics;
        int fontSize, difference;
        int formatting;
        std::string text;
    } rows[] = {
        {true, 12, 2, 9, "3 - ^nfx(2)^size(8)12"},
        {true, 0, 2, 9, "3 - ^nfx(2)12"},
        {false, 12, 1, 4, "3 ^size(10)(12)"},
        {false, 12, 3, 13, "3 ^size(6){-12}"},
        {false, 7, 3, 8, "3/^size(6)12"},
        {false, 6, 1, 8, "3/12"},
        {false, 6, 3, 8, "3/12"},
        {false, 4, 1, 8, "3/12"},
        {false, 12, 0, 8, "3/12"},
        {false, 12, 9, 8, "3/12"},
        {false, -12, 2, 8, "3/12"},
        {true, 12, 2, 3, "{3}"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        FCNumberSettingsProfile profile;
        Plain(profile, 0, row.formatting);
        profile.SetOption(FCNumberSettingsProfile::kMaxItalics, row.italics);
        profile.SetFontSize(row.fontSize);
        profile.SetMaxValuePtDiff(row.difference);
        EXPECT_EQ(Format(profile, 3, 12), row.text);
    }
}

TEST(NumberFormatting, OnlyMaxOnFirstShowsTheMaximumOnValueOneInEveryStyle) {
    const char* firsts[] = {"1-8", "I-VIII", "A-H", "a-h"};
    const char* seconds[] = {"2", "II", "B", "b"};
    for (int style = 0; style < 4; ++style) {
        FCNumberSettingsProfile profile;
        Plain(profile, style, 7);
        profile.SetOption(FCNumberSettingsProfile::kMaxOnFirst, true);
        EXPECT_EQ(Format(profile, 1, 8), firsts[style]);
        EXPECT_EQ(Format(profile, 2, 8), seconds[style]);
        EXPECT_TRUE(profile.ShowsMaxValue(0));
        EXPECT_FALSE(profile.ShowsMaxValue(2));
    }
    // Unknown patterns show the number alone.
    for (int formatting : {-1, 14, 99}) {
        FCNumberSettingsProfile profile;
        Plain(profile, 0, formatting);
        EXPECT_EQ(Format(profile, 5, 9), "5");
        EXPECT_FALSE(profile.ShowsMaxValue(5));
    }
}

TEST(NumberFormatting, TheExampleLine) {
    const struct {
        int style, formatting, start, steps;
        bool italics;
        int difference;
        std::string text;
    } rows[] = {
        {0, 0, 1, 1, true, 0, "1,     2,     3,     4,     5"},
        {1, 8, 3, 2, true, 2, "III/XI,     V/XI,     VII/XI,     IX/XI,     XI/XI"},
        {2, 1, 26, 1, false, 0, "(Z),     (AA),     (BB),     (CC),     (DD)"},
        {0, 7, INT_MAX - 1, 1000, false, 0,
         "2147483646-2147483647,     2147483647-2147483647,     2147483647-2147483647,     "
         "2147483647-2147483647,     2147483647-2147483647"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        FCNumberSettingsProfile profile;
        Plain(profile, row.style, row.formatting);
        profile.SetStartAt(row.start);
        profile.SetSteps(row.steps);
        profile.SetOption(FCNumberSettingsProfile::kMaxItalics, row.italics);
        profile.SetMaxValuePtDiff(row.difference);
        profile.SetFontSize(12);
        FCString line;
        profile.GetExampleLine(&line);
        EXPECT_EQ(line.GetUTF8(), row.text);
        EXPECT_TRUE(profile.GetMaxItalics() == row.italics);  // the profile itself is unchanged
    }
}
