// Writing an imported score back: an untouched document gives every measure back element for
// element, the written file reads back into the same document, and in a changed measure what the
// document does not model stays with its note or is reported.
#include "simhost/ScoreText.h"
#include "simhost/musicxml/MusicXml.h"
#include "tests/musicxml/MusicXmlTestFiles.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace simhost;
using namespace musicxmltest;

namespace {

std::string Print(const tinyxml2::XMLElement* element) {
    tinyxml2::XMLPrinter printer(nullptr, true);
    element->Accept(&printer);
    return printer.CStr();
}

// Every measure of every part, printed.
std::vector<std::string> Measures(const std::string& xml) {
    tinyxml2::XMLDocument dom;
    std::vector<std::string> measures;
    if (dom.Parse(xml.c_str()) != tinyxml2::XML_SUCCESS) return measures;
    for (const tinyxml2::XMLElement* part = dom.RootElement()->FirstChildElement("part"); part;
         part = part->NextSiblingElement("part"))
        for (const tinyxml2::XMLElement* m = part->FirstChildElement("measure"); m;
             m = m->NextSiblingElement("measure"))
            measures.push_back(Print(m));
    return measures;
}

// The corpus, and the examples the README draws.
const char* const kCorpus[] = {"basic.musicxml", "song.musicxml", "ensemble.musicxml",
                               "../../../examples/alberti.musicxml", "../../../examples/hairpins.musicxml"};

}  // namespace

TEST(MusicXmlRoundTrip, UntouchedScoresComeBackElementForElementWithTheSameMusic) {
    for (const char* name : kCorpus) {
        SCOPED_TRACE(name);
        const std::string xml = ReadData(name);
        MusicXmlScore score;
        ScoreTextError error;
        ASSERT_TRUE(score.Import(xml, name, &error)) << error.ToString();
        ASSERT_TRUE(score.Open(&error)) << error.ToString();
        const std::string document = WriteScoreText(Musical());
        std::string written;
        std::vector<std::string> dropped;
        ASSERT_TRUE(score.Export(&written, &dropped, &error)) << error.ToString();
        EXPECT_TRUE(dropped.empty());
        EXPECT_EQ(Measures(xml), Measures(written));
        EXPECT_EQ(document, DocumentOf(written));
    }
}

TEST(MusicXmlRoundTrip, EveryMeasureWrittenAfreshReadsBackIntoTheSameDocument) {
    // A score with no file behind it: every measure is generated from the document.
    for (const char* name : kCorpus) {
        SCOPED_TRACE(name);
        MusicXmlScore imported;
        ScoreTextError error;
        ASSERT_TRUE(imported.Import(ReadData(name), name, &error)) << error.ToString();
        ASSERT_TRUE(imported.Open(&error)) << error.ToString();
        const std::string document = WriteScoreText(Musical());
        MusicXmlScore fresh;
        std::string written;
        std::vector<std::string> dropped;
        ASSERT_TRUE(fresh.Export(&written, &dropped, &error)) << error.ToString();
        EXPECT_TRUE(dropped.empty());
        EXPECT_EQ(document, DocumentOf(written)) << written;
    }
}

TEST(MusicXmlRoundTrip, AChangedMeasureKeepsWhatItsNotesCarriedAndReportsTheRest) {
    const std::string xml = ReadData("song.musicxml");
    MusicXmlScore score;
    ScoreTextError error;
    ASSERT_TRUE(score.Import(xml, "song.musicxml", &error)) << error.ToString();
    ASSERT_TRUE(score.Open(&error)) << error.ToString();
    // The first note of the voice part, which carries the lyric "La", becomes another pitch.
    std::string text = WriteScoreText();
    const size_t at = text.find("s1: 4 C5 ");
    ASSERT_NE(std::string::npos, at);
    text.replace(at, 9, "s1: 4 B4 ");
    ASSERT_TRUE(ReadScoreText(text, &error)) << error.ToString();
    const std::string document = WriteScoreText(Musical());

    std::string written;
    std::vector<std::string> dropped;
    ASSERT_TRUE(score.Export(&written, &dropped, &error)) << error.ToString();
    EXPECT_EQ(std::vector<std::string>{"lyric: 1 dropped (P1 measure 1)"}, dropped);
    EXPECT_EQ(document, DocumentOf(written));

    const std::vector<std::string> before = Measures(xml), after = Measures(written);
    ASSERT_EQ(before.size(), after.size());
    EXPECT_NE(before[0], after[0]);
    for (size_t m = 1; m < before.size(); ++m) EXPECT_EQ(before[m], after[m]) << "measure " << m;
    // The notes that are still there keep their lyrics and fingering; the layout, the tempo
    // and its sound stay.
    for (const char* kept : {"<text>li</text>", "<text>la</text>", "<text>lo</text>", "<fingering>3</fingering>",
                             "<per-minute>72</per-minute>", "<sound tempo=\"72\"/>", "<left-margin>70</left-margin>"})
        EXPECT_NE(std::string::npos, after[0].find(kept)) << kept;
    EXPECT_EQ(std::string::npos, after[0].find("<text>La</text>"));
    EXPECT_EQ(std::string::npos, after[0].find("<stem>down</stem>")) << "the stem belonged to the replaced note";
}

TEST(MusicXmlRoundTrip, PositionedElementsKeepTheirTimeOrAreReportedPastTheMeasure) {
    // A tempo sound in the middle of the second quarter and a metronome mark in the last.
    const std::string xml = R"(<?xml version="1.0"?>
<score-partwise version="4.0"><part-list><score-part id="P1"><part-name>Oboe</part-name></score-part></part-list>
<part id="P1"><measure number="1">
<attributes><divisions>2</divisions><time><beats>4</beats><beat-type>4</beat-type></time></attributes>
<note><pitch><step>C</step><octave>4</octave></pitch><duration>2</duration><voice>1</voice><type>quarter</type></note>
<note><pitch><step>D</step><octave>4</octave></pitch><duration>2</duration><voice>1</voice><type>quarter</type></note>
<note><pitch><step>E</step><octave>4</octave></pitch><duration>2</duration><voice>1</voice><type>quarter</type></note>
<direction><direction-type><metronome><beat-unit>quarter</beat-unit><per-minute>60</per-minute></metronome></direction-type><offset>1</offset></direction>
<note><pitch><step>F</step><octave>4</octave></pitch><duration>2</duration><voice>1</voice><type>quarter</type></note>
<backup><duration>5</duration></backup><sound tempo="60"/><forward><duration>5</duration></forward>
</measure></part></score-partwise>
)";
    MusicXmlScore score;
    ScoreTextError error;
    ASSERT_TRUE(score.Import(xml, "oboe.musicxml", &error)) << error.ToString();
    ASSERT_TRUE(ReadScoreText("qzs 1\nstaff 1\npart 1 staves=1\nmeasure 1 3/4\ns1: 4 C4 B3 E4\n", &error))
        << error.ToString();
    std::string written;
    std::vector<std::string> dropped;
    ASSERT_TRUE(score.Export(&written, &dropped, &error)) << error.ToString();
    EXPECT_EQ(std::vector<std::string>{"metronome: 1 dropped (P1 measure 1)"}, dropped);

    // The sound still stands a quarter and a half into the measure.
    tinyxml2::XMLDocument dom;
    ASSERT_EQ(tinyxml2::XML_SUCCESS, dom.Parse(written.c_str()));
    const tinyxml2::XMLElement* measure = dom.RootElement()->FirstChildElement("part")->FirstChildElement("measure");
    int64_t position = 0, divisions = 1, sound = -1;
    for (const tinyxml2::XMLElement* e = measure->FirstChildElement(); e; e = e->NextSiblingElement()) {
        const std::string name = e->Name();
        const tinyxml2::XMLElement* duration = e->FirstChildElement("duration");
        if (name == "attributes" && e->FirstChildElement("divisions"))
            divisions = std::stoll(e->FirstChildElement("divisions")->GetText());
        if (name == "note" && !e->FirstChildElement("chord")) position += std::stoll(duration->GetText());
        if (name == "forward") position += std::stoll(duration->GetText());
        if (name == "backup") position -= std::stoll(duration->GetText());
        if (name == "sound") sound = position * 1024 / divisions;
    }
    EXPECT_EQ(1536, sound);
    EXPECT_EQ(3 * 1024, position * 1024 / divisions);
    EXPECT_EQ(CanonicalScoreText("qzs 1\nstaff 1\npart 1 staves=1\nmeasure 1 3/4\ns1: 4 C4 B3 E4\n", Musical()),
              DocumentOf(written));
}

TEST(MusicXmlRoundTrip, AChangedDefinitionChangesTheMeasuresThatUseIt) {
    const std::string xml = ReadData("song.musicxml");
    MusicXmlScore score;
    ScoreTextError error;
    ASSERT_TRUE(score.Import(xml, "song.musicxml", &error)) << error.ToString();
    ASSERT_TRUE(score.Open(&error)) << error.ToString();
    // "rit." (measure 3 of the voice) becomes "rall."; nothing else changes.
    std::string text = WriteScoreText();
    const size_t at = text.find("rit.");
    ASSERT_NE(std::string::npos, at);
    text.replace(at, 4, "rall.");
    ASSERT_TRUE(ReadScoreText(text, &error)) << error.ToString();
    std::string written;
    std::vector<std::string> dropped;
    ASSERT_TRUE(score.Export(&written, &dropped, &error)) << error.ToString();
    const std::vector<std::string> before = Measures(xml), after = Measures(written);
    ASSERT_EQ(6u, after.size());
    for (size_t m : {0, 1, 3, 4, 5}) EXPECT_EQ(before[m], after[m]) << "measure " << m;
    EXPECT_NE(std::string::npos, after[2].find(">rall.</words>"));
    EXPECT_NE(std::string::npos, after[2].find("<fermata"));
}
