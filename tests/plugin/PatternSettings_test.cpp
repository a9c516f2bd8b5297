#include "plugin/PatternSettings.h"

#include "framework/files/FCFilePlatform.h"
#include "plugin/PatternWindowPlacement.h"
#include "plugin/SettingsFile.h"
#include "tests/framework/files/TempHostFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

class FakeWindow : public PatternWindowPlacement {
public:
    void SetRememberedPlacement(float l, float t, float w, float h) override {
        ++setCalls;
        hasPosition = hasSize = true;
        left = l, top = t, width = w, height = h;
    }
    bool GetRememberedPosition(float* l, float* t) const override {
        *l = left, *t = top;
        return hasPosition;
    }
    bool GetRememberedSize(float* w, float* h) const override {
        *w = width, *h = height;
        return hasSize;
    }

    int setCalls = 0;
    bool hasPosition = false, hasSize = false;
    float left = 0, top = 0, width = 0, height = 0;
};

// Every field as "KEY=value" lines, in declaration order.
std::vector<std::string> Fields(const PatternSettings& s) {
    std::vector<std::string> lines;
#define FIELD_INT(key, initial) lines.push_back(std::string(#key "=") + std::to_string(s.key));
#define FIELD_BOOL(key, initial) lines.push_back(std::string(#key "=") + (s.key ? "1" : "0"));
#define FIELD_TEXT(key, initial) lines.push_back(std::string(#key "=") + s.key.GetUTF8());
    QZ_PATTERN_SETTINGS(FIELD_INT, FIELD_BOOL, FIELD_TEXT)
#undef FIELD_INT
#undef FIELD_BOOL
#undef FIELD_TEXT
    return lines;
}

// Every field set away from its default: ints and bools differ per field, texts hold
// characters beyond ASCII (one outside the basic plane) and inner blanks.
void SetNonDefaults(PatternSettings* s) {
    int n = 0;
#define SET_INT(key, initial) s->key = (initial)*3 + 7 + n++;
#define SET_BOOL(key, initial) s->key = !(initial), ++n;
#define SET_TEXT(key, initial) \
    s->key.SetUTF8((std::string(#key) + " \xC3\xBC\xE9\x9F\xB3 \xF0\x9F\x8E\xB5 = x").c_str()), ++n;
    QZ_PATTERN_SETTINGS(SET_INT, SET_BOOL, SET_TEXT)
#undef SET_INT
#undef SET_BOOL
#undef SET_TEXT
}

std::vector<std::string> SplitLines(const std::string& bytes, const std::string& lineEnd) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find(lineEnd, start)) != std::string::npos; start = end + lineEnd.size())
        lines.push_back(bytes.substr(start, end - start));
    if (start < bytes.size()) lines.push_back(bytes.substr(start) + "<no line end>");
    return lines;
}

// The settings start at their defaults in every test (tests/pluginsupport/DefaultSettings.cpp).
class PatternSettingsTest : public ::testing::Test {};

}  // namespace

TEST_F(PatternSettingsTest, TheRecordStartsWithTheDefaults) {
    const std::vector<std::string> fields = Fields(PatternSettings());
    ASSERT_EQ(fields.size(), 59u);
    for (const char* field : {"QZPT_TASK=0", "QZPT_RESPACE_IF_NECESSARY=1", "QZPT_DYNAMICS_HAIRPINS_CUSTOMPOS=-168",
                              "QZPT_SEQUENCES_TWOSTATES_NUMBERSTRING=3 3", "QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME="})
        EXPECT_NE(std::find(fields.begin(), fields.end(), field), fields.end()) << field;
}

TEST_F(PatternSettingsTest, SaveThenLoadGivesBackEveryFieldAndThePlacement) {
    TempHostFolder folder;
    PatternSettings saved;
    SetNonDefaults(&saved);
    FakeWindow window;
    window.SetRememberedPlacement(10.9f, -3.7f, 640.0f, 480.5f);
    ASSERT_TRUE(SaveSettings(&saved, &window));

    // On disk: UTF-8 without a byte-order mark, the platform's line ends after every line, the
    // window keys first, then every key in table order.
    const std::string bytes = folder.ReadBytes("qzpluginprefs.txt");
    ASSERT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
    const std::vector<std::string> lines = SplitLines(bytes, fcfileplatform::TextLineEnd());
    std::vector<std::string> expected = {"QZPT_WINDOWX=10", "QZPT_WINDOWY=-3", "QZPT_WINDOWWIDTH=640",
                                         "QZPT_WINDOWHEIGHT=480"};
    for (const std::string& field : Fields(saved)) expected.push_back(field);
    EXPECT_EQ(lines, expected);

    PatternSettings& loaded = ThePatternSettings();
    FakeWindow reopened;
    ASSERT_TRUE(LoadSettings(&loaded, &reopened));
    EXPECT_EQ(Fields(loaded), Fields(saved));
    EXPECT_EQ(reopened.setCalls, 1);
    EXPECT_EQ(reopened.left, 10.0f);
    EXPECT_EQ(reopened.top, -3.0f);
    EXPECT_EQ(reopened.width, 640.0f);
    EXPECT_EQ(reopened.height, 480.0f);
}

TEST_F(PatternSettingsTest, SavingKeepsUnknownLinesInPlaceAndDropsMalformedOnes) {
    TempHostFolder folder;
    folder.WriteBytes("qzpluginprefs.txt",
                      "FOREIGN=caf\xC3\xA9 \xF0\x9F\x8E\xB5\r\n"
                      "=5\r\n"
                      "qzpt_task = 1203\r\n"
                      "QZPT_TASK\r\n"
                      "  other key = a=b  \r\n"
                      "QZPT_WINDOWX=5\r\n"
                      "QZPT_TASK=99\r\n"
                      "LAST=x");
    PatternSettings& settings = ThePatternSettings();
    FakeWindow window;
    ASSERT_TRUE(LoadSettings(&settings, &window));
    EXPECT_EQ(settings.QZPT_TASK, 1203);
    EXPECT_EQ(window.setCalls, 0);  // only one of the four window keys

    settings.QZPT_TASK = 1101;
    ASSERT_TRUE(SaveSettings(&settings, &window));
    std::vector<std::string> lines = SplitLines(folder.ReadBytes("qzpluginprefs.txt"), fcfileplatform::TextLineEnd());
    ASSERT_GE(lines.size(), 7u);
    // The first matching line takes the new value under its own spelling; a later duplicate
    // stays as it was; new keys follow the file's own lines.
    const std::vector<std::string> head(lines.begin(), lines.begin() + 7);
    EXPECT_EQ(head, (std::vector<std::string>{"FOREIGN=caf\xC3\xA9 \xF0\x9F\x8E\xB5", "qzpt_task=1101", "other key=a=b",
                                              "QZPT_WINDOWX=-1", "QZPT_TASK=99", "LAST=x", "QZPT_WINDOWY=-1"}));
    EXPECT_EQ(lines.size(), 6u + 3u + 58u);  // the file's six pairs, three window keys, every field but QZPT_TASK
}

TEST_F(PatternSettingsTest, LoadingSetsThePresentKeysByTypeAndThePlacementOnlyFromAllFour) {
    TempHostFolder folder;
    folder.WriteBytes("qzpluginprefs.txt",
                      "QZPT_RESPACE_IF_NECESSARY=true\nQZPT_DYNAMICS_SWELLS_FOCALPOINT=abc\n"
                      "QZPT_SEQUENCES_TWOSTATES_NUMBERSTRING=  2 3  4  \n"
                      "QZPT_WINDOWX=1\nQZPT_WINDOWY=2\nQZPT_WINDOWWIDTH=x\nQZPT_WINDOWHEIGHT=4\n");
    PatternSettings& s = ThePatternSettings();
    FakeWindow window;
    ASSERT_TRUE(LoadSettings(&s, &window));
    EXPECT_FALSE(s.QZPT_RESPACE_IF_NECESSARY);
    EXPECT_EQ(s.QZPT_DYNAMICS_SWELLS_FOCALPOINT, 0);
    EXPECT_EQ(s.QZPT_SEQUENCES_TWOSTATES_NUMBERSTRING.GetUTF8(), "2 3  4");
    EXPECT_EQ(s.QZPT_DYNAMICS_SWELLS_PADDING, 5);  // not in the file: default
    EXPECT_EQ(window.setCalls, 1);
    EXPECT_EQ(window.width, 0.0f);
    EXPECT_EQ(window.height, 4.0f);
}

TEST_F(PatternSettingsTest, WithoutAReadableFileEverythingStaysAsItWas) {
    // No folder from the host, a folder that does not exist, no file, and a file name taken by
    // a folder: defaults, no placement, and nothing written when there is nowhere to write.
    for (int variant = 0; variant < 4; ++variant) {
        TempHostFolder folder;
        if (variant == 0) simhost::SetFailing("FX_GetFinalePath");
        if (variant == 1) simhost::SetFolder(folder.Utf8() + "/absent");
        if (variant == 3) std::filesystem::create_directory(folder.File("qzpluginprefs.txt"));
        PatternSettings& s = ThePatternSettings();
        FakeWindow window;
        LoadSettings(&s, &window);
        EXPECT_EQ(Fields(s), Fields(PatternSettings())) << variant;
        EXPECT_EQ(window.setCalls, 0) << variant;
        const bool saved = SaveSettings(&s, &window);
        EXPECT_EQ(saved, variant == 2) << variant;
        EXPECT_FALSE(folder.Exists("absent"));
        EXPECT_FALSE(folder.Exists("qzpluginprefs.txt.tmp"));
        simhost::Reset();
    }
}

TEST_F(PatternSettingsTest, UnknownPlacementIsWrittenAsMinusOne) {
    struct Case {
        bool position, size;
        float left, top, width, height;
        const char* lines;
    };
    const Case cases[] = {
        {false, false, 1, 2, 3, 4, "-1 -1 -1 -1"},
        {true, false, 1, 2, 3, 4, "1 2 -1 -1"},
        {false, true, 1, 2, 3, 4, "-1 -1 3 4"},
        {true, true, -0.5f, 1e12f, NAN, 99.99f, "0 -1 -1 99"},  // beyond int: unknown
    };
    for (const Case& c : cases) {
        TempHostFolder folder;
        FakeWindow window;
        window.hasPosition = c.position, window.hasSize = c.size;
        window.left = c.left, window.top = c.top, window.width = c.width, window.height = c.height;
        ASSERT_TRUE(SaveSettings(&ThePatternSettings(), &window));
        std::unique_ptr<FCSettingsPairs> pairs(ReadSettingsFile(kSettingsFile));
        std::ostringstream values;
        for (const char* key : {"QZPT_WINDOWX", "QZPT_WINDOWY", "QZPT_WINDOWWIDTH", "QZPT_WINDOWHEIGHT"}) {
            int value = 12345;
            EXPECT_TRUE(ReadSettingsInt(pairs.get(), key, &value));
            values << (values.tellp() > 0 ? " " : "") << value;
        }
        EXPECT_EQ(values.str(), c.lines);
    }
}

TEST_F(PatternSettingsTest, AVeryLongValueSurvivesLoadAndSaveWhole) {
    // A value longer than a stream piece, with text in it that looks like a key at the point
    // where the piece is cut: it must neither be cut off nor turn into a line of its own.
    TempHostFolder folder;
    std::string value(299999 - std::string("QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME=").size(), 'v');
    value += "QZPT_TASK=1203 ";
    value += std::string(100000, 'w');
    folder.WriteBytes("qzpluginprefs.txt", "QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME=" + value + "\nX=1\n");
    PatternSettings& s = ThePatternSettings();
    ASSERT_TRUE(LoadSettings(&s, nullptr));
    EXPECT_EQ(s.QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME.GetUTF8(), value);
    EXPECT_EQ(s.QZPT_TASK, 0);
    ASSERT_TRUE(SaveSettings(&s, nullptr));
    const std::vector<std::string> lines =
        SplitLines(folder.ReadBytes("qzpluginprefs.txt"), fcfileplatform::TextLineEnd());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME=" + value);
    EXPECT_EQ(lines[1], "X=1");
}

TEST_F(PatternSettingsTest, AnOlderEightBitHostKeepsItsSettingsToo) {
    TempHostFolder folder;
    hostapi::SetHostVersion(0x10000000);
    PatternSettings saved;
    SetNonDefaults(&saved);
    ASSERT_TRUE(SaveSettings(&saved, nullptr));
    ASSERT_TRUE(folder.Exists("qzpluginprefs.txt"));
    ASSERT_TRUE(LoadSettings(&ThePatternSettings(), nullptr));
    EXPECT_EQ(Fields(ThePatternSettings()), Fields(saved));
}
