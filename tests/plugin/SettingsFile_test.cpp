#include "plugin/SettingsFile.h"

#include "framework/files/FCFilePlatform.h"
#include "tests/framework/files/TempHostFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::pair<std::string, std::string>> PairList;

PairList Pairs(const FCSettingsPairs* pairs) {
    PairList list;
    for (int i = 0; pairs && i < pairs->GetCount(); ++i)
        list.emplace_back(pairs->GetItemAt(i)->GetKey()->GetUTF8(), pairs->GetItemAt(i)->GetValue()->GetUTF8());
    return list;
}

// Pairs with one key and the given UTF-8 value.
std::unique_ptr<FCSettingsPairs> OnePair(const char* key, const char* value) {
    std::unique_ptr<FCSettingsPairs> pairs(new FCSettingsPairs);
    FCString k(key), v;
    v.SetUTF8(value);
    pairs->SetValue(&k, &v);
    return pairs;
}

}  // namespace

TEST(SettingsFile, LinesBecomePairsSplitAtTheFirstEqualsSign) {
    TempHostFolder folder;
    folder.WriteBytes("qzpluginprefs.txt",
                      "\xEF\xBB\xBF"
                      "qzpt_task = 1203\r\n"
                      "=5\n"
                      " \t=6\n"
                      "QZPT_TASK\n"
                      "\n"
                      "A=b=c\n"
                      "  KEY\t=\t  v a l  \r\n"
                      "EMPTY=\n"
                      "QZPT_TASK=7\n"
                      "NAME=caf\xC3\xA9 \xF0\x9F\x8E\xB5 \xFF\n"
                      "LAST=no line feed");
    std::unique_ptr<FCSettingsPairs> pairs(ReadSettingsFile(kSettingsFile));
    ASSERT_NE(pairs, nullptr);
    EXPECT_EQ(Pairs(pairs.get()), (PairList{{"qzpt_task", "1203"},
                                            {"A", "b=c"},
                                            {"KEY", "v a l"},
                                            {"EMPTY", ""},
                                            {"QZPT_TASK", "7"},
                                            {"NAME", "caf\xC3\xA9 \xF0\x9F\x8E\xB5 \xEF\xBF\xBD"},
                                            {"LAST", "no line feed"}}));
    int task = 0;
    EXPECT_TRUE(ReadSettingsInt(pairs.get(), "QZPT_TASK", &task));
    EXPECT_EQ(task, 1203);  // the first of the two

    std::unique_ptr<FCSettingsPair> pair(ReadSettingsKey("key", kSettingsFile));
    ASSERT_NE(pair, nullptr);
    EXPECT_EQ(pair->GetValue()->GetUTF8(), "v a l");
    EXPECT_EQ(ReadSettingsKey("MISSING", kSettingsFile), nullptr);
    // The options file is a different file.
    EXPECT_EQ(ReadSettingsFile(kOptionsFile), nullptr);
    EXPECT_EQ(ReadSettingsKey("KEY", kOptionsFile), nullptr);
}

TEST(SettingsFile, IntValuesReadLikeCDecimalConversion) {
    struct Case {
        const char* value;
        int expected;
    };
    const Case cases[] = {
        {"12", 12},
        {"-168", -168},
        {"+3", 3},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"1.9", 1},
        {"- 5", 0},
        {"0x1F", 0},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
        {"\xD9\xA1", 0},  // an Arabic-Indic digit is no digit here
        {"\xC4\xB1", 0},  // nor a character whose low byte is "1"
    };
    for (const Case& c : cases) {
        std::unique_ptr<FCSettingsPairs> pairs = OnePair("K", c.value);
        int value = 12345;
        EXPECT_TRUE(ReadSettingsInt(pairs.get(), "K", &value));
        EXPECT_EQ(value, c.expected) << "value: " << c.value;
    }
    std::unique_ptr<FCSettingsPairs> pairs = OnePair("K", "5");
    int untouched = 12345;
    EXPECT_FALSE(ReadSettingsInt(pairs.get(), "OTHER", &untouched));
    EXPECT_EQ(untouched, 12345);
}

TEST(SettingsFile, BoolValuesAreTrueExactlyForOne) {
    struct Case {
        const char* value;
        bool expected;
    };
    const Case cases[] = {{"1", true},   {"0", false}, {"true", false}, {"01", false},
                          {"1x", false}, {"", false},  {"yes", false},  {"\xC4\xB1", false}};
    for (const Case& c : cases) {
        std::unique_ptr<FCSettingsPairs> pairs = OnePair("K", c.value);
        bool value = !c.expected;
        EXPECT_TRUE(ReadSettingsBool(pairs.get(), "k", &value));
        EXPECT_EQ(value, c.expected) << "value: " << c.value;
    }
    std::unique_ptr<FCSettingsPairs> pairs = OnePair("K", "1");
    bool untouched = false;
    FCString text("keep");
    EXPECT_FALSE(ReadSettingsBool(pairs.get(), "OTHER", &untouched));
    EXPECT_FALSE(ReadSettingsText(pairs.get(), "OTHER", &text));
    EXPECT_FALSE(untouched);
    EXPECT_EQ(text.GetUTF8(), "keep");
}

TEST(SettingsFile, WritersSetOrAppendInDecimalAndOneOrZero) {
    FCSettingsPairs pairs;
    WriteSettingsInt(&pairs, "I", -168);
    WriteSettingsInt(&pairs, "MIN", INT_MIN);
    WriteSettingsBool(&pairs, "B", true);
    WriteSettingsBool(&pairs, "C", false);
    FCString text;
    text.SetUTF8("\xE9\x9F\xB3 x");
    WriteSettingsText(&pairs, "T", &text);
    WriteSettingsInt(&pairs, "i", 42);  // same key, other case: replaced in place
    EXPECT_EQ(Pairs(&pairs),
              (PairList{{"I", "42"}, {"MIN", "-2147483648"}, {"B", "1"}, {"C", "0"}, {"T", "\xE9\x9F\xB3 x"}}));
}

TEST(SettingsFile, WritingReplacesTheFileAndLeavesNoTemporaryFile) {
    TempHostFolder folder;
    folder.WriteBytes("qzpluginprefs.txt", "OLD=1\n");
    folder.WriteBytes("qzpluginprefs.txt.tmp", "stale leftover of an interrupted save");
    FCSettingsPairs pairs;
    WriteSettingsInt(&pairs, "NEW", 2);
    WriteSettingsText(&pairs, "NAME", nullptr);
    EXPECT_TRUE(WriteSettingsFile(&pairs, kSettingsFile));
    EXPECT_EQ(folder.ReadBytes("qzpluginprefs.txt"),
              std::string("NEW=2") + fcfileplatform::TextLineEnd() + "NAME=" + fcfileplatform::TextLineEnd());
    EXPECT_FALSE(folder.Exists("qzpluginprefs.txt.tmp"));
    EXPECT_FALSE(folder.Exists("qzpluginoptions.txt"));
}

TEST(SettingsFile, AFailedWriteLeavesThePreviousFileIntact) {
    // Each way the new content cannot be stored: the temporary file cannot be created (its
    // name is taken by a folder), or it cannot replace the file (the file's name is a folder).
    // The previous content stays, and no temporary file is left behind.
    TempHostFolder folder;
    FCSettingsPairs pairs;
    WriteSettingsInt(&pairs, "NEW", 2);

    folder.WriteBytes("qzpluginprefs.txt", "OLD=1\r\nKEEP=me\n");
    std::filesystem::create_directory(folder.File("qzpluginprefs.txt.tmp"));
    EXPECT_FALSE(WriteSettingsFile(&pairs, kSettingsFile));
    EXPECT_EQ(folder.ReadBytes("qzpluginprefs.txt"), "OLD=1\r\nKEEP=me\n");

    std::filesystem::remove(folder.File("qzpluginprefs.txt.tmp"));
    std::filesystem::remove(folder.File("qzpluginprefs.txt"));
    std::filesystem::create_directory(folder.File("qzpluginprefs.txt"));
    folder.WriteBytes("qzpluginprefs.txt/inside", "x");
    EXPECT_FALSE(WriteSettingsFile(&pairs, kSettingsFile));
    EXPECT_EQ(folder.ReadBytes("qzpluginprefs.txt/inside"), "x");
    EXPECT_FALSE(folder.Exists("qzpluginprefs.txt.tmp"));

    // A host folder that does not exist: nothing is created.
    simhost::SetFolder(folder.Utf8() + "/absent");
    EXPECT_FALSE(WriteSettingsFile(&pairs, kSettingsFile));
    EXPECT_FALSE(folder.Exists("absent"));
}

TEST(SettingsFile, WindowShadeIsOnOnlyForOneInTheOptionsFile) {
    struct Case {
        const char* options;  // null: no options file
        bool shade;
    };
    const Case cases[] = {
        {nullptr, false},
        {"QZPATTERN_WINDOWSHADE=true\n", false},
        {"QZPATTERN_WINDOWSHADE=0\n", false},
        {"QZPATTERN_WINDOWSHADE=1\n", true},
        {" qzpattern_windowshade = 1 \r\n", true},
        {"OTHER=1\nQZPATTERN_WINDOWSHADE=1", true},
        {"QZPATTERN_WINDOWSHADE\n=1\n", false},
    };
    for (const Case& c : cases) {
        TempHostFolder folder;
        // The settings file does not count.
        folder.WriteBytes("qzpluginprefs.txt", "QZPATTERN_WINDOWSHADE=1\n");
        if (c.options) folder.WriteBytes("qzpluginoptions.txt", c.options);
        EXPECT_EQ(ReadWindowShadeSwitch(), c.shade) << (c.options ? c.options : "<none>");
    }
}
