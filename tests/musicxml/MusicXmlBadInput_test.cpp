// Bad MusicXML: each case gives one error with its line and reason, never a document; mutated
// corpus files either fail that way or give a document that writes out and reads back.
#include "simhost/ScoreText.h"
#include "simhost/musicxml/MusicXml.h"
#include "tests/musicxml/MusicXmlTestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace simhost;
using musicxmltest::ReadData;

namespace {

// A one-part score with the given measure content (from line 4).
std::string Score(const std::string& measure, const std::string& root = "score-partwise") {
    return "<?xml version=\"1.0\"?>\n<" + root + " version=\"3.1\"><part-list><score-part id=\"P1\"/></part-list>\n" +
           "<part id=\"P1\"><measure number=\"1\">\n" + measure + "\n</measure></part></" + root + ">\n";
}

const std::string kAttributes = "<attributes><divisions>2</divisions></attributes>";

std::string Note(const std::string& voice, const std::string& duration = "2", const std::string& type = "quarter") {
    return "<note><pitch><step>C</step><octave>4</octave></pitch><duration>" + duration + "</duration><voice>" + voice +
           "</voice><type>" + type + "</type></note>";
}

struct BadCase {
    const char* what;
    std::string xml;
    int line;
    const char* reason;
};

}  // namespace

TEST(MusicXmlBadInput, EachProblemIsOneErrorWithItsLine) {
    const std::string basic = ReadData("basic.musicxml");
    const BadCase cases[] = {
        {"empty", "", 0, "malformed XML"},
        {"truncated", basic.substr(0, basic.size() / 2), 0, "malformed XML"},
        {"not closed", Score(kAttributes + "<note><pitch>"), 0, "malformed XML"},
        {"another root", "<?xml version=\"1.0\"?>\n<opus/>", 2, "expected <score-partwise>"},
        {"timewise", Score("", "score-timewise"), 2, "timewise"},
        {"no parts", "<score-partwise/>", 1, "no <part>"},
        {"huge divisions", Score("<attributes><divisions>99999999999</divisions></attributes>"), 4, "<divisions>"},
        {"zero divisions", Score("<attributes><divisions>0</divisions></attributes>"), 4, "<divisions>"},
        {"zero duration", Score(kAttributes + "\n" + Note("1", "0")), 5, "duration 0"},
        {"overflowing duration", Score(kAttributes + "\n" + Note("1", "99999999999999")), 5,
         "whole number of divisions"},
        {"fraction duration", Score(kAttributes + "\n" + Note("1", "1.5")), 5, "whole number of divisions"},
        {"inexact duration", Score("<attributes><divisions>3</divisions></attributes>\n" + Note("1", "1", "eighth")), 5,
         "not a whole number of EDUs"},
        {"five voices",
         Score(kAttributes + Note("1") + "<backup><duration>2</duration></backup>" + Note("2") +
               "<backup><duration>2</duration></backup>" + Note("3") + "<backup><duration>2</duration></backup>" +
               Note("4") + "<backup><duration>2</duration></backup>\n" + Note("5")),
         5, "at most four voices"},
        {"backup before the measure", Score(kAttributes + "\n<backup><duration>4</duration></backup>"), 5,
         "before the start of the measure"},
        {"overlapping voice", Score(kAttributes + Note("1") + "<backup><duration>1</duration></backup>\n" + Note("1")),
         5, "overlaps itself"},
        {"staff out of range", Score(kAttributes + "\n<note><rest/><duration>2</duration><staff>3</staff></note>"), 5,
         "does not exist"},
        {"unknown step",
         Score(kAttributes + "\n<note><pitch><step>H</step><octave>4</octave></pitch><duration>2</duration></note>"), 5,
         "step"},
        {"microtone",
         Score(
             kAttributes +
             "\n<note><pitch><step>C</step><alter>0.5</alter><octave>4</octave></pitch><duration>2</duration></note>"),
         5, "microtones"},
        {"unknown type", Score(kAttributes + "\n" + Note("1", "2", "crotchet")), 5, "unknown note type"},
        {"chord first",
         Score(kAttributes +
               "\n<note><chord/><pitch><step>C</step><octave>4</octave></pitch><duration>2</duration></note>"),
         5, "<chord/>"},
        {"bad time",
         Score("<attributes><divisions>2</divisions>\n<time><beats>x</beats><beat-type>4</beat-type></time></"
               "attributes>"),
         5, "expected beats"},
        {"bad beat type",
         Score("<attributes><divisions>2</divisions>\n<time><beats>3</beats><beat-type>5</beat-type></time></"
               "attributes>"),
         5, "beat type"},
        {"bad key", Score("<attributes>\n<key><fifths>9</fifths></key></attributes>"), 5, "<fifths>"},
        {"open tuplet",
         Score("<attributes><divisions>3</divisions></attributes>\n<note><pitch><step>C</step><octave>4</octave></"
               "pitch><duration>1</duration>"
               "<type>eighth</type><time-modification><actual-notes>3</actual-notes>"
               "<normal-notes>2</normal-notes></time-modification></note>"),
         5, "tuplet"},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.what);
        MusicXmlScore score;
        ScoreTextError error;
        EXPECT_FALSE(score.Import(c.xml, "bad.musicxml", &error));
        EXPECT_EQ("bad.musicxml", error.source);
        if (c.line) {
            EXPECT_EQ(c.line, error.line) << error.ToString();
        }
        EXPECT_NE(std::string::npos, error.message.find(c.reason)) << error.ToString();
        EXPECT_FALSE(score.Open(&error)) << "nothing is kept from a failed import";
    }
}

TEST(MusicXmlBadInput, UnknownElementsAreIgnoredAndWrittenBack) {
    const std::string xml = Score(kAttributes + "<foo bar=\"1\"><baz/></foo>" + Note("1", "8", "whole"));
    MusicXmlScore score;
    ScoreTextError error;
    ASSERT_TRUE(score.Import(xml, "odd.musicxml", &error)) << error.ToString();
    ASSERT_TRUE(score.Open(&error)) << error.ToString();
    std::string written;
    std::vector<std::string> dropped;
    ASSERT_TRUE(score.Export(&written, &dropped, &error)) << error.ToString();
    EXPECT_NE(std::string::npos, written.find("<foo bar=\"1\">"));
}

TEST(MusicXmlBadInput, MutatedFilesFailCleanlyOrGiveADocumentThatWritesOut) {
    // A fixed generator: the same mutants on every run.
    uint32_t state = 12345;
    auto next = [&state](uint32_t bound) {
        state = state * 1103515245u + 12345u;
        return bound ? (state >> 8) % bound : 0;
    };
    const std::string sources[] = {ReadData("basic.musicxml"), ReadData("song.musicxml"),
                                   ReadData("ensemble.musicxml")};
    int failed = 0, read = 0;
    for (int round = 0; round < 450; ++round) {
        std::string xml = sources[round % 3];
        const int kind = int(next(6));
        const size_t at = next(uint32_t(xml.size()));
        switch (kind) {
            case 0:  // truncated
                xml.resize(at);
                break;
            case 1:  // a byte changed
                xml[at] = char(next(256));
                break;
            case 2: {  // a line deleted
                const size_t start = xml.rfind('\n', at), end = xml.find('\n', at);
                if (start != std::string::npos && end != std::string::npos) xml.erase(start, end - start);
                break;
            }
            case 3: {  // a line doubled
                const size_t start = xml.rfind('\n', at), end = xml.find('\n', at);
                if (start != std::string::npos && end != std::string::npos)
                    xml.insert(end, xml.substr(start, end - start));
                break;
            }
            default: {  // a number made huge, zero or negative
                const size_t digit = xml.find_first_of("0123456789", at);
                if (digit == std::string::npos) break;
                const size_t end = xml.find_first_not_of("0123456789", digit);
                static const char* const kNumbers[] = {"4294967296", "0", "-1", "2147483647", "7"};
                xml.replace(digit, end - digit, kNumbers[next(5)]);
                break;
            }
        }
        SCOPED_TRACE("round " + std::to_string(round));
        MusicXmlScore score;
        ScoreTextError error;
        if (!score.Import(xml, "mutant.musicxml", &error)) {
            ++failed;
            EXPECT_FALSE(error.message.empty());
            EXPECT_EQ("mutant.musicxml", error.source);
            continue;
        }
        ++read;
        ASSERT_TRUE(score.Open(&error)) << error.ToString();
        std::string written;
        std::vector<std::string> dropped;
        ASSERT_TRUE(score.Export(&written, &dropped, &error)) << error.ToString();
        MusicXmlScore again;
        EXPECT_TRUE(again.Import(written, "written.musicxml", &error)) << error.ToString() << "\n" << xml;
    }
    // Both outcomes occur, or the mutations test nothing.
    EXPECT_GT(failed, 50);
    EXPECT_GT(read, 50);
}
