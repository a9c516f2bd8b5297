// A task run over an imported score: the file written afterwards changes only the measures the
// task rewrote and reads back into the document the task left.
#include "framework/core/FCString.h"
#include "plugin/FCUndoBlock.h"
#include "plugin/PatternSettings.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/ScoreText.h"
#include "simhost/musicxml/MusicXml.h"
#include "tests/musicxml/MusicXmlTestFiles.h"
#include "tasks/chords/FCChordsBlockHandler.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace simhost;
using musicxmltest::ReadExample;

namespace {

// Each part's measures, printed.
std::vector<std::vector<std::string>> PartMeasures(const std::string& xml) {
    tinyxml2::XMLDocument dom;
    std::vector<std::vector<std::string>> parts;
    if (dom.Parse(xml.c_str()) != tinyxml2::XML_SUCCESS) return parts;
    for (const tinyxml2::XMLElement* part = dom.RootElement()->FirstChildElement("part"); part;
         part = part->NextSiblingElement("part")) {
        parts.emplace_back();
        for (const tinyxml2::XMLElement* m = part->FirstChildElement("measure"); m;
             m = m->NextSiblingElement("measure")) {
            tinyxml2::XMLPrinter printer(nullptr, true);
            m->Accept(&printer);
            parts.back().push_back(printer.CStr());
        }
    }
    return parts;
}

// The document's music without bookkeeping and without beam marks: a beam start on a quarter
// (which Break sets on the first note it writes) has no MusicXML.
std::string MusicWithoutBeamMarks() {
    ScoreTextOptions options;
    options.bookkeeping = false;
    std::string text = WriteScoreText(options);
    text.erase(std::remove(text.begin(), text.end(), '['), text.end());
    return text;
}

}  // namespace

TEST(MusicXmlTasks, BreakInAlbertiBassRewritesOnlyThePianosLeftHand) {
    const std::string xml = ReadExample("alberti.musicxml");
    MusicXmlScore score;
    ScoreTextError error;
    ASSERT_TRUE(score.Import(xml, "alberti.musicxml", &error)) << error.ToString();
    ASSERT_TRUE(score.Open(&error)) << error.ToString();
    const std::string before = MusicWithoutBeamMarks();

    // The piano's lower staff (the third staff), all eight measures.
    DocumentBuilder builder;
    ASSERT_TRUE(builder.Select(3, 3, 1, 8));
    ThePatternSettings().ResetToDefaults();
    ThePatternSettings().QZPT_CHORDS_BREAK_STYLE = 8;
    FCChordsBlockHandler handler(FCChordsBlockHandler::kBreak, nullptr, nullptr);
    FCUndoBlock block;
    const FCString name("Break");
    ASSERT_TRUE(block.Run(&handler, &name));
    ThePatternSettings().ResetToDefaults();
    const std::string after = MusicWithoutBeamMarks();
    ASSERT_NE(before, after);

    std::string written;
    std::vector<std::string> dropped;
    ASSERT_TRUE(score.Export(&written, &dropped, &error)) << error.ToString();
    EXPECT_TRUE(dropped.empty());
    const auto original = PartMeasures(xml), result = PartMeasures(written);
    ASSERT_EQ(2u, result.size());
    EXPECT_EQ(original[0], result[0]) << "the violin is untouched";
    ASSERT_EQ(8u, result[1].size());
    for (size_t m = 0; m < 8; ++m) EXPECT_NE(original[1][m], result[1][m]) << "measure " << m + 1;

    MusicXmlScore again;
    ASSERT_TRUE(again.Import(written, "out.musicxml", &error)) << error.ToString();
    ASSERT_TRUE(again.Open(&error)) << error.ToString();
    EXPECT_EQ(after, MusicWithoutBeamMarks());
}
