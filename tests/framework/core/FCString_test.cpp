#include "framework/core/FCString.h"

#include "framework/core/FCStrings.h"
#include "framework/host/hostapi.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

// The units of a string as a std::u16string, for exact comparisons.
std::u16string Units(const FCString& s) { return std::u16string(s.GetUnits(), size_t(s.GetLength())); }

std::string Text(FCString& s) { return std::string(s.GetCString(), size_t(s.GetLength())); }

}  // namespace

TEST(FCString, ANewStringIsEmptyAndAlreadyHasATerminatedBuffer) {
    FCString s;
    EXPECT_TRUE(s.IsEmpty());
    ASSERT_NE(s.GetUnits(), nullptr);
    EXPECT_EQ(s.GetUnits()[0], 0);
    EXPECT_EQ(s.GetCapacity(), 10);
    EXPECT_STREQ(s.GetCString(), "");
}

TEST(FCString, CapacityGrowsInStepsThatDependOnTheCurrentCapacity) {
    // Successive requests on one string: (units requested, capacity afterwards).
    const struct {
        int request;
        int capacity;
    } steps[] = {
        {8, 10},         // 8 + 1 < 10: no change
        {9, 10},         // reallocated at the same size
        {10, 20},        // the 10 -> 20 step
        {1000, 1010},    // below 1001: steps of 10
        {1009, 1100},    // from 1001: steps of 100
        {20000, 20100},  // still steps of 100 (capacity was below 10001)
        {20100, 21000},  // above 10000: steps of 1000
        {5, 21000},      // never shrinks
        {-3, 21000},     // a negative request is no request
    };
    FCString s("keep me");
    for (const auto& step : steps) {
        s.EnsureCapacity(step.request);
        EXPECT_EQ(s.GetCapacity(), step.capacity) << step.request;
        EXPECT_EQ(Text(s), "keep me") << step.request;
    }
}

TEST(FCString, AppendingOneUnitAtATimeKeepsEveryUnit) {
    FCString s;
    std::u16string expected;
    for (int i = 0; i < 2500; ++i) {
        s.AppendCharacter(char16_t(0x100 + i));
        expected += char16_t(0x100 + i);
    }
    EXPECT_EQ(Units(s), expected);
    EXPECT_GT(s.GetCapacity(), s.GetLength());
    EXPECT_EQ(s.GetUnits()[s.GetLength()], 0);
}

TEST(FCString, SetCStringAndSetUTF16FollowTheCountRules) {
    const struct {
        const char* text;
        int size;  // bytes of the text, its terminator included
        int count;
        const char* expected;
    } cases[] = {
        {"abc", 4, 2, "ab"}, {"a", 2, 5, "a"}, {"abc", 4, -1, "abc"},  {"abc", 4, -7, "abc"},
        {"abc", 4, 0, ""},   {"", 1, 3, ""},   {"ab\0cd", 6, 5, "ab"},
    };
    for (const auto& c : cases) {
        FCString eight;
        eight.SetCString("previous");
        eight.SetCString(c.text, c.count);
        EXPECT_EQ(Text(eight), c.expected) << c.text << " " << c.count;

        std::u16string wide;
        for (int i = 0; i < c.size; ++i) wide += char16_t(static_cast<unsigned char>(c.text[i]));
        FCString sixteen("previous");
        sixteen.SetUTF16(wide.c_str(), c.count);
        EXPECT_EQ(Text(sixteen), c.expected) << c.text << " " << c.count;
    }
}

TEST(FCString, EightBitTextIsReadAsLatin1AndTheCopyKeepsTheLowByte) {
    FCString s;
    s.SetCString("caf\xE9");
    EXPECT_EQ(Units(s), u"caf\u00E9");
    EXPECT_EQ(s.GetUTF8(), "caf\xC3\xA9");

    s.SetUTF16(u"\u0141x\u00FF");
    EXPECT_STREQ(s.GetCString(), "Ax\xFF");  // 0x141 keeps only 0x41
}

TEST(FCString, NoTextEmptiesTheStringButItKeepsAUsableBuffer) {
    FCString s;
    for (int i = 0; i < 50; ++i) s.AppendCString("grow");
    s.SetCString(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    ASSERT_NE(s.GetUnits(), nullptr);
    EXPECT_EQ(s.GetCapacity(), 10);  // the large buffer was released
    s.AppendCString("x");
    EXPECT_EQ(Text(s), "x");

    s.SetUTF16(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    ASSERT_NE(s.GetUnits(), nullptr);

    s.SetCString("x");
    s.SetUTF8(nullptr);
    EXPECT_TRUE(s.IsEmpty());

    FCString fromNull(nullptr);
    EXPECT_TRUE(fromNull.IsEmpty());
    EXPECT_NE(fromNull.GetUnits(), nullptr);
}

TEST(FCString, SettingFromItsOwnUnitsWorksAcrossAReallocation) {
    FCString s("0123456789abcdefghi");
    ASSERT_EQ(s.GetCapacity(), 20);
    s.SetUTF16(s.GetUnits());  // 19 units in a 20-unit buffer: storing them reallocates
    EXPECT_EQ(Text(s), "0123456789abcdefghi");
    s.SetUTF16(s.GetUnits() + 1);
    EXPECT_EQ(Text(s), "123456789abcdefghi");

    s.SetString(&s);
    EXPECT_EQ(Text(s), "123456789abcdefghi");

    s.AppendString(&s);
    EXPECT_EQ(Text(s), "123456789abcdefghi123456789abcdefghi");

    s.SetCString(s.GetCString() + 30);
    EXPECT_EQ(Text(s), "defghi");
}

TEST(FCString, SetStringCopiesOrEmptiesAndSetTextChecksTheEncoding) {
    FCString a("alpha");
    FCString b;
    b.SetString(&a);
    EXPECT_TRUE(b.IsEqual(&a));
    b.SetString(nullptr);
    EXPECT_TRUE(b.IsEmpty());

    FCString t("unchanged");
    EXPECT_FALSE(t.SetText("x", 0x0D000000));
    EXPECT_FALSE(t.SetText(nullptr, 0x0E000000));
    EXPECT_FALSE(t.SetText(nullptr, 0x11000000));
    EXPECT_EQ(Text(t), "unchanged");
    EXPECT_TRUE(t.SetText("eight", 0x0E000000));
    EXPECT_EQ(Text(t), "eight");
    EXPECT_TRUE(t.SetText(u"sixteen\u20AC", 0x11000000));
    EXPECT_EQ(Units(t), u"sixteen\u20AC");
}

TEST(FCString, IntegersAreWrittenAsDecimalText) {
    const struct {
        int n;
        const char* text;
    } cases[] = {{0, "0"}, {-7, "-7"}, {123456, "123456"}, {INT_MIN, "-2147483648"}, {INT_MAX, "2147483647"}};
    for (const auto& c : cases) {
        FCString s("old");
        s.SetInteger(c.n);
        EXPECT_EQ(Text(s), c.text);
        FCString appended("n=");
        appended.AppendInteger(c.n);
        EXPECT_EQ(Text(appended), std::string("n=") + c.text);
    }
}

TEST(FCString, AppendingIgnoresMissingTexts) {
    FCString s("a");
    s.AppendCString(nullptr);
    s.AppendString(nullptr);
    s.AppendCString("");
    s.AppendCString("b\xE9");
    s.AppendCharacter(u'\u20AC');
    FCString tail("!");
    s.AppendString(&tail);
    EXPECT_EQ(Units(s), u"ab\u00E9\u20AC!");
}

TEST(FCString, CharacterAccessGivesZeroOrFalseOutsideTheString) {
    FCString s("xyz");
    FCString empty;
    EXPECT_EQ(s.GetCharacterAt(-1), u'z');
    EXPECT_EQ(s.GetCharacterAt(0), u'x');
    EXPECT_EQ(s.GetCharacterAt(2), u'z');
    EXPECT_EQ(s.GetCharacterAt(3), 0);
    EXPECT_EQ(s.GetCharacterAt(-2), 0);
    EXPECT_EQ(empty.GetCharacterAt(-1), 0);
    EXPECT_EQ(empty.GetCharacterAt(0), 0);

    EXPECT_TRUE(s.IsCharacterAt(1, u'y'));
    EXPECT_FALSE(s.IsCharacterAt(1, u'x'));
    EXPECT_FALSE(s.IsCharacterAt(3, 0));
    EXPECT_FALSE(s.IsCharacterAt(-1, u'z'));

    EXPECT_TRUE(s.IsOneOfCharactersAt(2, "az"));
    EXPECT_FALSE(s.IsOneOfCharactersAt(2, "ab"));
    EXPECT_FALSE(s.IsOneOfCharactersAt(3, "xyz"));
    EXPECT_FALSE(s.IsOneOfCharactersAt(-1, "xyz"));
    EXPECT_FALSE(s.IsOneOfCharactersAt(0, nullptr));
    EXPECT_FALSE(s.IsOneOfCharactersAt(0, ""));
}

TEST(FCString, GetUTF16CopiesAtMostCountMinusOneUnits) {
    FCString s("abcd");
    const struct {
        int count;
        std::u16string expected;  // what the destination holds afterwards, up to its terminator
    } cases[] = {{3, u"ab"}, {1, u""}, {5, u"abcd"}, {50, u"abcd"}, {0, u"abcd"}, {-1, u"untouched"}};
    for (const auto& c : cases) {
        char16_t destination[16] = u"untouched";
        s.GetUTF16(destination, c.count);
        EXPECT_EQ(std::u16string(destination), c.expected) << c.count;
    }
    s.GetUTF16(nullptr, 5);  // nothing to write into: nothing happens
}

TEST(FCString, GetIntegerReadsLikeAtoiFromAPosition) {
    const struct {
        const char* text;
        int start;
        int expected;
    } cases[] = {
        {"m. 12", 3, 12},
        {"12", 10, 0},
        {"12", 2, 0},
        {"12", -1, 0},
        {"  -7x", 0, -7},
        {"abc", 0, 0},
        {"", 0, 0},
        {"+42", 0, 42},
        {"4 2", 0, 4},
        {"99999999999", 0, INT_MAX},
        {"-99999999999", 0, INT_MIN},
        {"3.9", 0, 3},
    };
    for (const auto& c : cases) {
        FCString s(c.text);
        EXPECT_EQ(s.GetInteger(c.start), c.expected) << c.text << " @" << c.start;
    }
}

TEST(FCString, GetFloatReadsCommaAsPointWithoutChangingTheString) {
    const struct {
        const char* text;
        int start;
        double expected;
    } cases[] = {{"1,5", 0, 1.5}, {"x2.25", 1, 2.25},     {"abc", 0, 0}, {"1.5", 4, 0},
                 {"1.5", -2, 0},  {" -0,25mm", 0, -0.25}, {"", 0, 0}};
    for (const auto& c : cases) {
        FCString s(c.text);
        EXPECT_DOUBLE_EQ(s.GetFloat(c.start), c.expected) << c.text;
        EXPECT_EQ(Text(s), c.text);
    }
}

TEST(FCString, SearchesReturnTheFirstPositionOrMinusOne) {
    FCString s("abcabc");
    EXPECT_EQ(s.FindFirst("bc"), 1);
    EXPECT_EQ(s.FindFirst("abcabcd"), -1);
    EXPECT_EQ(s.FindFirst(""), -1);
    EXPECT_EQ(s.FindFirst(nullptr), -1);

    const struct {
        const char* text;
        int start;
        int expected;
    } from[] = {{"bc", 0, 1},   {"bc", 1, 1},   {"bc", 2, 4}, {"bc", 5, -1}, {"bc", 6, -1},
                {"bc", 60, -1}, {"bc", -1, -1}, {"x", 0, -1}, {"c", 5, 5}};
    for (const auto& f : from) {
        FCString other(f.text);
        EXPECT_EQ(s.FindFrom(&other, f.start), f.expected) << f.text << " @" << f.start;
        EXPECT_EQ(s.FindFromCString(f.text, f.start), f.expected) << f.text << " @" << f.start;
    }
    EXPECT_EQ(s.FindFrom(nullptr, 0), -1);
    EXPECT_EQ(s.FindFromCString(nullptr, 0), -1);

    // Units above 255 are compared whole, not by their low byte.
    FCString wide;
    wide.SetUTF16(u"\u0141A");
    EXPECT_EQ(wide.FindFirst("A"), 1);

    FCString empty;
    FCString bc("bc");
    EXPECT_TRUE(s.ContainsString(&empty));
    EXPECT_TRUE(empty.ContainsString(&empty));
    EXPECT_TRUE(s.ContainsString(&bc));
    EXPECT_FALSE(bc.ContainsString(&s));
    EXPECT_FALSE(s.ContainsString(nullptr));
    EXPECT_TRUE(s.ContainsCString(""));
    EXPECT_TRUE(s.ContainsCString("ca"));
    EXPECT_FALSE(s.ContainsCString("cb"));
    EXPECT_FALSE(s.ContainsCString(nullptr));
}

TEST(FCString, PrefixSuffixAndEqualityCompareTheEightBitText) {
    const struct {
        const char* string;
        const char* text;
        bool starts, ends, equal;
    } cases[] = {
        {"Allegro", "All", true, false, false},
        {"Allegro", "gro", false, true, false},
        {"Allegro", "Allegro", true, true, true},
        {"Allegro", "Allegro!", false, false, false},
        {"ab", "abc", false, false, false},
        {"Allegro", "", true, true, false},
        {"", "", true, true, true},
        {"Allegro", "allegro", false, false, false},
    };
    for (const auto& c : cases) {
        FCString s(c.string);
        EXPECT_EQ(s.StartsWith(c.text), c.starts) << c.string << " / " << c.text;
        EXPECT_EQ(s.EndsWith(c.text), c.ends) << c.string << " / " << c.text;
        EXPECT_EQ(s.IsEqualCString(c.text), c.equal) << c.string << " / " << c.text;
    }
    FCString s("x");
    EXPECT_FALSE(s.StartsWith(nullptr));
    EXPECT_FALSE(s.EndsWith(nullptr));
    EXPECT_FALSE(s.IsEqualCString(nullptr));

    FCString a("same"), b("same"), c("Same"), d("sam");
    EXPECT_TRUE(a.IsEqual(&b));
    EXPECT_FALSE(a.IsEqual(&c));
    EXPECT_FALSE(a.IsEqual(&d));
    EXPECT_FALSE(d.IsEqual(&a));
    EXPECT_FALSE(a.IsEqual(nullptr));
}

TEST(FCString, TruncateAndDeleteRefusePositionsOutsideTheString) {
    const struct {
        int at;
        bool result;
        const char* expected;
    } truncations[] = {{0, true, ""},      {2, true, "ab"},    {3, true, "abc"},
                       {4, false, "abcd"}, {9, false, "abcd"}, {-1, false, "abcd"}};
    for (const auto& t : truncations) {
        FCString s("abcd");
        EXPECT_EQ(s.TruncateAt(t.at), t.result) << t.at;
        EXPECT_EQ(Text(s), t.expected) << t.at;
    }

    const struct {
        int at;
        bool result;
        const char* expected;
    } single[] = {{-1, true, "abc"}, {0, true, "bcd"}, {3, true, "abc"}, {4, false, "abcd"}, {-2, false, "abcd"}};
    for (const auto& d : single) {
        FCString s("abcd");
        EXPECT_EQ(s.DeleteCharacterAt(d.at), d.result) << d.at;
        EXPECT_EQ(Text(s), d.expected) << d.at;
    }
    FCString empty;
    EXPECT_FALSE(empty.DeleteCharacterAt(-1));

    const struct {
        int at, count;
        bool result;
        const char* expected;
    } runs[] = {{1, 2, true, "ad"},     {0, 4, true, ""},      {4, 1, false, "abcd"},  {1, 0, false, "abcd"},
                {1, -1, false, "abcd"}, {0, 5, false, "abcd"}, {-1, 1, false, "abcd"}, {2, 4, true, "ab"}};
    for (const auto& r : runs) {
        FCString s("abcd");
        EXPECT_EQ(s.DeleteCharacters(r.at, r.count), r.result) << r.at << "," << r.count;
        EXPECT_EQ(Text(s), r.expected) << r.at << "," << r.count;
    }
}

TEST(FCString, TrimmingRemovesItsCharactersFromBothEndsOnly) {
    const struct {
        const char* text;
        const char* whitespace;
        const char* crlf;
    } cases[] = {
        {" \t\r\n", "", " \t"},
        {"\r\n key = value \t\r\n", "key = value", " key = value \t"},
        {"a b", "a b", "a b"},
        {"", "", ""},
        {"\n\r\nline\r", "line", "line"},
    };
    for (const auto& c : cases) {
        FCString s(c.text);
        s.TrimWhitespace();
        EXPECT_EQ(Text(s), c.whitespace) << c.text;
        FCString t(c.text);
        t.TrimCRLF();
        EXPECT_EQ(Text(t), c.crlf) << c.text;
    }
}

TEST(FCString, ToLowerCaseUsesUnicodeOnlyOnNewerHosts) {
    FCString s;
    s.SetUTF16(u"AbC \u00C4\u0141\u0410");
    s.ToLowerCase();
    EXPECT_EQ(Units(s), u"abc \u00E4\u0142\u0430");

    hostapi::SetHostVersion(0x10FFFFFF);
    s.SetUTF16(u"AbC \u00C4\u0141");
    s.ToLowerCase();
    EXPECT_EQ(Units(s), u"abc \u00C4\u0141");  // the C runtime's "C" table lowers ASCII only
}

TEST(FCString, ReplaceSubstitutesEveryOccurrenceFromTheLeft) {
    const struct {
        const char* text;
        const char* oldText;
        const char* newText;
        bool result;
        const char* expected;
    } cases[] = {
        {"1,5", ",", ".", true, "1.5"},    {"a,b,,c", ",", ";", true, "a;b;;c"},
        {"aaaa", "a", "b", true, "bbbb"},  {"aa", "a", "aa", true, "aaaa"},
        {"abab", "ab", "", true, ""},      {"abc", "x", "y", false, "abc"},
        {"abc", "", "y", false, "abc"},    {"abc", nullptr, "y", false, "abc"},
        {"abc", "b", nullptr, true, "ac"}, {"aaa", "aa", "b", true, "ba"},
        {"", "a", "b", false, ""},
    };
    for (const auto& c : cases) {
        FCString s(c.text);
        EXPECT_EQ(s.Replace(c.oldText, c.newText), c.result) << c.text;
        EXPECT_EQ(Text(s), c.expected) << c.text;
    }
}

TEST(FCString, SplitGivesTheNonEmptyRunsBetweenSeparators) {
    const struct {
        const char* text;
        const char* separators;
        std::vector<std::string> parts;
    } cases[] = {
        {",a,,b c,", ", ", {"a", "b", "c"}},
        {"one", ",", {"one"}},
        {"", ",", {}},
        {",,, ", ", ", {}},
        {"3 4 2", " ", {"3", "4", "2"}},
        {"a,b", "", {"a,b"}},
        {"a,b", nullptr, {"a,b"}},
    };
    for (const auto& c : cases) {
        FCString s(c.text);
        std::unique_ptr<FCStrings> parts(s.Split(c.separators));
        ASSERT_NE(parts, nullptr);
        std::vector<std::string> got;
        for (int i = 0; i < parts->GetCount(); ++i) got.push_back(Text(*parts->GetItemAt(i)));
        EXPECT_EQ(got, c.parts) << c.text;
        EXPECT_EQ(Text(s), c.text);  // the string itself is unchanged
    }
}

TEST(FCString, StripFontCommandsDropsOnlyFontSizeAndEffectCommands) {
    const struct {
        const char* text;
        const char* expected;
        bool result;
    } cases[] = {
        {"^fontTxt(Times New Roman,4096)^size(12)^nfx(0)Allegro", "Allegro", true},
        {"a^^b", "a^b", false},
        {"x^flat()y", "x^flat()y", false},
        {"^Font(Arial)a^fontMus(Maestro,8192)b^fontNum(x)c^font(y)d", "abcd", true},
        {"pi^size(10)u", "piu", true},
        {"^^^nfx(1)", "^", true},
        {"text^size(12", "text", false},  // an open command at the end is dropped
        {"end^", "end", false},
        {"^value(1)^size(9)", "^value(1)", true},
        {"", "", false},
        {"plain", "plain", false},
    };
    for (const auto& c : cases) {
        FCString s(c.text);
        EXPECT_EQ(s.StripFontCommands(), c.result) << c.text;
        EXPECT_EQ(Text(s), c.expected) << c.text;
    }
}

TEST(FCString, UTF8IsDecodedAndInvalidSequencesBecomeReplacementCharacters) {
    const struct {
        const char* utf8;
        std::u16string units;
    } cases[] = {
        {"plain", u"plain"},
        {"caf\xC3\xA9 \xE2\x82\xAC", u"caf\u00E9 \u20AC"},
        {"\xF0\x9D\x84\x9E", u"\U0001D11E"},  // outside the basic plane: a surrogate pair
        {"a\xFF"
         "b",
         u"a\uFFFD"
         "b"},
        {"\xC3", u"\uFFFD"},
        {"", u""},
    };
    for (const auto& c : cases) {
        FCString s("old");
        s.SetUTF8(c.utf8);
        EXPECT_EQ(Units(s), c.units) << c.utf8;
    }
    FCString s;
    s.SetUTF16(u"caf\u00E9 \u20AC \U0001D11E");
    EXPECT_EQ(s.GetUTF8(), "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9D\x84\x9E");
    FCString empty;
    EXPECT_EQ(empty.GetUTF8(), "");
}
