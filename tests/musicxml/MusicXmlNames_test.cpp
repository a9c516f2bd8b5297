// The names both directions share: every chord kind, note value and articulation written out
// reads back as itself.
#include "simhost/ChordAnalysis.h"
#include "simhost/musicxml/MusicXmlNames.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <string>
#include <vector>

using namespace simhost;
using namespace simhost::musicxml;

TEST(MusicXmlNames, EveryChordKindWrittenAsAHarmonyReadsBackAsItsSymbol) {
    tinyxml2::XMLDocument dom;
    for (int kind = 1; kind <= chords::KindCount(); ++kind) {
        for (const auto& spelled : std::vector<std::pair<int, int>>{{0, 0}, {3, 1}, {6, -1}}) {
            scoretext::ChordStatement chord;
            chord.rootLetter = spelled.first;
            chord.rootAlteration = spelled.second;
            chord.kind = kind;
            chord.bassLetter = 4;
            chord.bassAlteration = -1;
            chord.flags = 0x0040;
            tinyxml2::XMLElement* harmony = dom.NewElement("harmony");
            ASSERT_TRUE(WriteHarmony(chord, harmony)) << kind;
            std::string symbol;
            ASSERT_TRUE(HarmonySymbol(harmony, &symbol)) << kind;
            const std::string root = std::string(1, "CDEFGAB"[spelled.first]) + (spelled.second > 0   ? "#"
                                                                                 : spelled.second < 0 ? "b"
                                                                                                      : "");
            EXPECT_EQ(root + chords::KindSuffix(kind) + "/Gb", symbol);
        }
    }
}

TEST(MusicXmlNames, HarmoniesTheHostHasNoKindForAreNotTaken) {
    const char* const kHarmonies[] = {
        "<harmony><root><root-step>C</root-step></root><kind>other</kind></harmony>",
        "<harmony><root><root-step>C</root-step></root><kind>Neapolitan</kind></harmony>",
        "<harmony><root><root-step>H</root-step></root><kind>major</kind></harmony>",
        "<harmony><kind>major</kind></harmony>",
        "<harmony><root><root-step>C</root-step></root><kind>dominant</kind>"
        "<degree><degree-value>9</degree-value><degree-alter>0</degree-alter><degree-type>add</degree-type></degree>"
        "<degree><degree-value>13</degree-value><degree-alter>0</degree-alter><degree-type>add</degree-type></degree></"
        "harmony>",
        "<harmony><root><root-step>C</root-step></root><kind>major</kind>"
        "<degree><degree-value>5</degree-value><degree-alter>0</degree-alter><degree-type>subtract</degree-type></"
        "degree></harmony>",
    };
    for (const char* text : kHarmonies) {
        tinyxml2::XMLDocument dom;
        ASSERT_EQ(tinyxml2::XML_SUCCESS, dom.Parse(text));
        std::string symbol;
        EXPECT_FALSE(HarmonySymbol(dom.RootElement(), &symbol)) << text << " read as " << symbol;
    }
}

TEST(MusicXmlNames, NoteValuesAndTheirDots) {
    const struct {
        int32_t duration;
        const char* type;
        int dots;
    } kValues[] = {{4096, "whole", 0}, {1536, "quarter", 1}, {1792, "quarter", 2}, {768, "eighth", 1},
                   {8192, "breve", 0}, {4, "1024th", 0},     {3584, "half", 2}};
    for (const auto& v : kValues) {
        std::string type;
        int dots = -1;
        ASSERT_TRUE(TypeOfDuration(v.duration, &type, &dots)) << v.duration;
        EXPECT_EQ(v.type, type);
        EXPECT_EQ(v.dots, dots);
    }
    std::string type;
    int dots;
    EXPECT_FALSE(TypeOfDuration(1280, &type, &dots));  // a quarter and a sixteenth
    EXPECT_FALSE(TypeOfDuration(341, &type, &dots));
    EXPECT_EQ(1024, TypeDuration("quarter"));
    EXPECT_EQ(32768, TypeDuration("maxima"));
    EXPECT_EQ(0, TypeDuration("crotchet"));
}

TEST(MusicXmlNames, ArticulationsByTheCharacterTheyDraw) {
    const struct {
        int main;
        bool shape;
        bool mainFromAlternate;
        int alternate;
        std::vector<std::string> elements;
    } kDefinitions[] = {
        {46, false, false, 0, {"staccato"}},
        {45, false, false, 0, {"tenuto"}},
        {62, false, false, 62, {"accent"}},
        {94, false, false, 118, {"strong-accent"}},
        {248, false, false, 60, {"staccato", "tenuto"}},
        {249, false, false, 223, {"staccato", "accent"}},
        {172, false, false, 232, {"staccato", "strong-accent"}},
        {138, false, false, 137, {"tenuto", "accent"}},
        {3, false, true, 46, {"staccato"}},
        {46, true, false, 0, {}},
        {97, false, false, 0, {}},
    };
    for (const auto& d : kDefinitions) {
        scoretext::ArticulationDefStatement definition;
        definition.mainSlot = d.main;
        definition.mainShape = d.shape;
        definition.mainUsesAlternate = d.mainFromAlternate;
        definition.alternateSlot = d.alternate;
        EXPECT_EQ(d.elements, ArticulationElements(definition)) << d.main;
    }
    // The import's definitions draw what their elements name.
    const char* const kNames[] = {"staccato", "tenuto", "accent", "strong-accent"};
    for (int number = 1; number <= 4; ++number) EXPECT_EQ(number, ArticulationNumber(kNames[number - 1]));
    EXPECT_EQ(0, ArticulationNumber("staccatissimo"));
}

TEST(MusicXmlNames, DynamicsAndTheirGlyphs) {
    for (const char* name : {"p", "pp", "ppp", "pppp", "mp", "mf", "f", "ff", "fff", "ffff", "sfz", "fz"}) {
        const char16_t glyph = DynamicGlyph(name);
        ASSERT_NE(0, glyph) << name;
        EXPECT_EQ(name, DynamicOfText(std::u16string(1, glyph)));
    }
    EXPECT_EQ(0, DynamicGlyph("sffz"));
    EXPECT_EQ("sffz", DynamicOfText(u"sffz"));
    EXPECT_EQ("", DynamicOfText(u"dolce"));
    EXPECT_EQ("", DynamicOfText(u""));
    EXPECT_EQ(u"mf cresc. ^", StripCaretCommands(u"^fontTxt(Times New Roman)^size(12)^nfx(2)mf cresc. ^^"));
}
