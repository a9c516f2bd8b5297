// The score text format: the corpus round-trips (also in the layouts of older hosts), errors name
// their place, texts keep every character, the writer's raw records carry what the notation does
// not, and no text crashes the reader.
#include "simhost/ScoreText.h"

#include "framework/entries/FCArticulation.h"
#include "framework/entries/FCArticulationDef.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCTuplet.h"
#include "framework/host/hostapi.h"
#include "framework/markings/FCExpression.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace simhost;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    for (const auto& item : std::filesystem::directory_iterator(std::string(QZ_TEST_DATA_DIR) + "/scores"))
        if (item.path().extension() == ".qzs") files.push_back(item.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

ScoreTextOptions Musical() {
    ScoreTextOptions options;
    options.bookkeeping = false;
    return options;
}

}  // namespace

TEST(ScoreText, CorpusRoundTrips) {
    const std::vector<std::string> files = CorpusFiles();
    ASSERT_GE(files.size(), 8u);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const std::string text = ReadFile(file);
        ScoreTextError error;
        ASSERT_TRUE(ReadScoreFile(file, &error)) << error.ToString();
        const DocumentState read = CurrentDocument().State();
        // Writing what was read gives the text back; reading what was written gives the document.
        const std::string written = WriteScoreText();
        EXPECT_EQ(written, text);
        DocumentState again;
        ASSERT_TRUE(ParseScoreState(written, &again, &error)) << error.ToString();
        EXPECT_TRUE(again == read);
        // The music alone reads back into the same music.
        const std::string music = WriteScoreText(Musical());
        EXPECT_EQ(CanonicalScoreText(music, Musical()), music);
    }
}

TEST(ScoreText, ErrorsNameTheirPlaceAndLeaveTheDocumentAlone) {
    const std::string head = "qzs 1\nstaff 1\nmeasure 1\n";
    struct Row {
        std::string text;
        int line, column;
        std::string expected;
    } rows[] = {
        {"", 1, 1, "expected the header 'qzs 1'"},
        {"qzs 2", 1, 5, "expected format version 1"},
        {"qzs 1\nstaf 1", 2, 1, "expected a statement"},
        {"qzs 1\nstaff 0", 2, 7, "expected a staff number"},
        {"qzs 1\nstaff 1\nstaff 1", 3, 7, "declared twice"},
        {"qzs 1\nmeasure 1\nstaff 1", 3, 1, "expected 'staff' before the first measure"},
        {"qzs 1\nstaff 1\nmeasure 2", 3, 9, "expected measure 1"},
        {"qzs 1\nmeasure 1 4/3", 2, 13, "expected a beat duration"},
        {"qzs 1\nmeasure 1 3+/4", 2, 13, "expected a number of beats"},
        {"qzs 1\nmeasure 1 key=H", 2, 15, "expected a key"},
        {"qzs 1\nmeasure 1 bar=wavy", 2, 15, "expected a barline"},
        {"qzs 1\nstaff 1\ns1: 4 C4", 3, 1, "expected a single 'measure' line"},
        {head + "s1: C4", 4, 5, "expected a duration"},
        {head + "s1: 4 H4", 4, 7, "expected a pitch (A-G)"},
        {head + "s1: 4 C", 4, 8, "expected an octave number"},
        {head + "s1: 4 C4 D4 E4 F4 G4", 4, 19, "past the end of the measure (4096)"},
        {head + "s1: 4 C4~", 4, 7, "the tie has no note to end on"},
        {head + "s1: 4 {3:2 8 C4 D4}", 4, 19, "to last 1536 EDUs, they last 1024"},
        {head + "s1: 4 {3:2 8 C4 D4 E4", 4, 7, "the tuplet is not closed"},
        {head + "s1: {3:2 8 C4 {3:2 D4", 4, 15, "tuplets cannot be nested"},
        {head + "s1: 4 C4}", 4, 9, "'}' closes no tuplet"},
        {head + "s1: {3:2 8 C4 gD4}", 4, 18, "a tuplet cannot end on a grace note"},
        {head + "s2: 4 C4", 4, 2, "staff 2 is not declared"},
        {head + "s1 L5: 4 C4", 4, 5, "expected a layer 1-4"},
        {head + "s1: 4 C4\ns1: 4 D4", 5, 1, "already given"},
        {head + "s1: 4 <C4 E4", 4, 13, "expected '>'"},
        {head + "s1: 4 <C4 E4>~", 4, 14, "tie the notes inside the chord"},
        {head + "s1: 4 r~", 4, 8, "a rest cannot be tied"},
        {head + "s1: 4 C4!bogus", 4, 9, "expected a mark"},
        {head + "s1: 4 <C4!mark>", 4, 10, "entry marks go after the chord's '>'"},
        {head + "s1: 4 C4@3 D4@3", 4, 12, "entry number 3 is used twice"},
        {head + "s1: 4 <C4 C4 C4 C4 C4 C4 C4 C4 C4 C4 C4 C4 C4>", 4, 44, "at most 12 notes"},
        {head + "s1: 4 C4 D4\nnext-entry 2", 5, 12, "above every entry number (2)"},
        {head + "raw SOMS 1 0 0", 4, 15, "expected four key words"},
        {head + "raw SOMS 9 0 0 0 delete", 4, 1, "no such record to delete"},
        {head + "raw SOMS 9 0 0 0 = 0A0", 4, 20, "pairs of hex digits"},
        {std::string("qzs 1\n\x01"), 2, 1, "unexpected control character"},
        // What no host document can hold.
        {"qzs 1\nstaff 1\nsystem 1 measures=5-1 staves=1", 3, 19, "the system's measures run backwards"},
        {"qzs 1\nstaff 1\nsystem 1 measures=1-1 staves=1 sizes=0", 3, 38, "staff sizes of 1 percent or more"},
        {"qzs 1\nprefs unit=-1", 2, 12, "expected a unit"},
        {head + "s1: 4 C99", 4, 8, "the pitch lies out of range"},
        {head + "s1: 4 C-99", 4, 8, "the pitch lies out of range"},
        {"qzs 1\ncategory 1 \"a\\u{0}b\"", 2, 14, "a text cannot hold the character 0"},
        {"qzs 1\n" + std::string(60, 'x') + "\xff", 2, 1, "found '" + std::string(40, 'x') + "...'"},
        {"qzs 1\n\xff\xfe", 2, 1, "found '\\xFF\\xFE'"},
    };
    ASSERT_TRUE(ReadScoreText("qzs 1\nstaff 1\nmeasure 1\ns1: 1 C4\n"));
    const DocumentState before = CurrentDocument().State();
    for (const Row& row : rows) {
        ScoreTextError error;
        EXPECT_FALSE(ReadScoreText(row.text, &error)) << row.text;
        EXPECT_EQ(error.source, "<text>") << row.text;
        EXPECT_EQ(error.line, row.line) << row.text << "\n" << error.ToString();
        EXPECT_EQ(error.column, row.column) << row.text << "\n" << error.ToString();
        EXPECT_NE(error.message.find(row.expected), std::string::npos) << row.text << "\n" << error.ToString();
    }
    EXPECT_TRUE(CurrentDocument().State() == before);

    // A file names itself; an open edit keeps the document.
    const std::string path = (std::filesystem::temp_directory_path() / "qzs-error-test.qzs").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << head << "s1: 4 C4 X4\n";
    }
    ScoreTextError error;
    EXPECT_FALSE(ReadScoreFile(path, &error));
    EXPECT_EQ(error.ToString(), path + ":4:10: expected a pitch (A-G)");
    std::filesystem::remove(path);
    EXPECT_FALSE(ReadScoreFile(path, &error));
    EXPECT_EQ(error.source, path);
    ASSERT_TRUE(CurrentDocument().StartEdit(u"Edit"));
    EXPECT_FALSE(ReadScoreText(head, &error));
    EXPECT_TRUE(CurrentDocument().State() == before);
}

TEST(ScoreText, ReadingReplacesTheDocumentAndClearsItsHistory) {
    DocumentBuilder builder;
    builder.AddStaves(2);
    builder.AddMeasures(2);
    ASSERT_TRUE(builder.Select(1, 2, 1, 2));
    ASSERT_TRUE(CurrentDocument().StartEdit(u"Edit"));
    ASSERT_TRUE(CurrentDocument().EndEdit());
    ASSERT_TRUE(ReadScoreText("qzs 1\nstaff 1\nmeasure 1\n"));
    EXPECT_TRUE(CurrentDocument().UndoList().empty());
    EXPECT_EQ(CurrentDocument().View().Selection(), RegionData());
    EXPECT_EQ(WriteScoreText(), "qzs 1\nstaff 1\nmeasure 1\n");
}

TEST(ScoreText, DocumentsMadeByTheBuilderRoundTrip) {
    DocumentBuilder builder;
    const std::vector<int> staves = builder.AddStaves(4);
    ASSERT_TRUE(builder.RemoveStaff(2));
    ASSERT_TRUE(builder.SetScoreOrder({4, 1, 3}));
    builder.AddMeasure(Meter::Simple(3, 1024), 0x0102);
    builder.AddMeasure(Meter::Composite({{3, 2}, {2}}, 512));
    builder.AddMeasure(Meter::CompositePerGroup({{2}}, {1024}));  // one group with its own duration
    builder.AddMeasure(Meter::CompositePerGroup({{1}, {1}, {1}, {1}}, {1024, 512, 256, 768}));
    ASSERT_TRUE(builder.SetStaffIndependence(3, true, true));
    ASSERT_TRUE(builder.SetCellMeter(3, 2, Meter::Simple(5, 256)));
    ASSERT_TRUE(builder.SetCellKey(3, 4, 0x01FF));
    ASSERT_TRUE(builder.SetBarline(3, 7));
    builder.AddPart({4, 3});
    builder.AddSystem(1, 3, {4, 1, 3}, 0, {100, 50, 100});
    builder.AddSystem(3, 5, {3}, 1);
    StoredEntry entry;
    entry.duration = 1024;
    entry.flags = 0x40000000;
    entry.notes.resize(1);
    ASSERT_TRUE(builder.SetLayer(1, 1, 0, {entry, entry}));
    ASSERT_TRUE(builder.Ok());
    // Records the notation does not know, and a missing one.
    const uint8_t bytes[3] = {1, 2, 3};
    const FXKey key = {{7, 0, 0, 0}};
    CurrentDocument().Records().Put(FXTag('z', 'z', '\x01', ' '), key, bytes, sizeof bytes);
    CurrentDocument().State().parts.fields[1].Put(FXTag('S', 'O', 'D', 'Y'), key, bytes, 2);
    const FXKey prefs = {{1, 0, 0, 0}};
    CurrentDocument().Records().Erase(FXTag('p', 'f', 'g', 'p'), prefs);

    const DocumentState built = CurrentDocument().State();
    const std::string text = WriteScoreText();
    EXPECT_NE(text.find("raw zz\\x01\\x20 7 0 0 0 = 010203\n"), std::string::npos) << text;
    EXPECT_NE(text.find("raw field=1 SODY 7 0 0 0 = 0102\n"), std::string::npos) << text;
    EXPECT_NE(text.find("raw pfgp 1 0 0 0 delete\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("# "), std::string::npos) << text;
    ASSERT_TRUE(ReadScoreText(text));
    EXPECT_TRUE(CurrentDocument().State() == built) << text;
    EXPECT_EQ(WriteScoreText(), text);
    // The music alone has no raw records.
    EXPECT_EQ(WriteScoreText(Musical()).find("raw"), std::string::npos);
}

TEST(ScoreText, TheScoreIsWrittenWhateverPartIsInView) {
    ASSERT_TRUE(ReadScoreFile(std::string(QZ_TEST_DATA_DIR) + "/scores/structure.qzs"));
    const std::string score = WriteScoreText();
    ASSERT_TRUE(hostapi::FX_SetCurrentPartID(2, kFXInterfaceVersion));
    EXPECT_EQ(WriteScoreText(), score);
    EXPECT_EQ(CurrentDocument().View().CurrentPart(), 2);
}

TEST(ScoreText, MusicalTextsLeaveOutTheBookkeeping) {
    ASSERT_TRUE(ReadScoreFile(std::string(QZ_TEST_DATA_DIR) + "/scores/bookkeeping.qzs"));
    EXPECT_EQ(WriteScoreText(Musical()), R"(qzs 1
staff 1
staff 2
measure 1
s1: 4 C4 D4~ <D4 F4!n=00000010> E4!f=00000100
s2: 2 <C3 E3>!mute!alter!shape r!f2=0100
measure 2
s1: 4 D4!artic r!f=00010000!f2=0001 <> <G4 C5>
s2: 1 C3!n=40000000
)");
}

TEST(ScoreText, HiddenLayersAreViewStateTheTextCarries) {
    const std::string text = "qzs 1\nprefs hidden-layers=2,4\nstaff 1\nmeasure 1\ns1: 1 C4\n";
    ASSERT_TRUE(ReadScoreText(text));
    const int shown[] = {1, 0, 1, 0};
    for (int layer = 0; layer < 4; ++layer) EXPECT_EQ(shown[layer], CurrentDocument().IsLayerShown(layer)) << layer;
    EXPECT_EQ(text, WriteScoreText());
    // Not music: a musical text leaves them out, and its canonical form does not bring them in.
    EXPECT_EQ("qzs 1\nstaff 1\nmeasure 1\ns1: 1 C4\n", WriteScoreText(Musical()));
    EXPECT_EQ(text, CanonicalScoreText(text));
    EXPECT_TRUE(CurrentDocument().IsLayerShown(0)) << "the canonical form leaves the view alone";
    EXPECT_FALSE(CurrentDocument().IsLayerShown(1));
    // Reading another text shows every layer again.
    ASSERT_TRUE(ReadScoreText("qzs 1\nstaff 1\nmeasure 1\n"));
    for (int layer = 0; layer < 4; ++layer) EXPECT_TRUE(CurrentDocument().IsLayerShown(layer)) << layer;
    for (const char* bad : {"hidden-layers=", "hidden-layers=5", "hidden-layers=2,2", "hidden-layers=1,,2"}) {
        ScoreTextError error;
        EXPECT_FALSE(ReadScoreText(std::string("qzs 1\nprefs ") + bad + "\n", &error)) << bad;
        EXPECT_EQ(2, error.line) << bad;
    }
}

// Mutations of the corpus: whatever the reader accepts must write and read back into the same
// document; whatever it refuses must leave the document alone. Nothing may crash.
TEST(ScoreText, MutatedTextsNeverBreakTheReader) {
    std::vector<std::string> corpus;
    for (const std::string& file : CorpusFiles()) corpus.push_back(ReadFile(file));
    ASSERT_FALSE(corpus.empty());
    const std::string alphabet = " \n\t0123456789ABCDEFGabcdefgrxLsn#~:@!_<>{}[]()/+,.=-";
    const char* const pieces[] = {" {3:2",        "}",           " <",          ">",        "~",
                                  "@1",           "@2147483647", " e16777217",  " 1024.",   "!f=FFFFFFFF",
                                  " 99999999999", " measure 1",  " s1:",        " L4",      "(-32768)",
                                  "(+40000)",     " C-9999",     " key=0xFFFF", " 32767/4", " raw SOMS 1 0 0 0 =",
                                  "\x7f",         "\xc3\xa9",    "\r"};
    std::mt19937 random(20240521);
    int accepted = 0;
    const int rounds = 3000;
    for (int round = 0; round < rounds; ++round) {
        std::string text = corpus[random() % corpus.size()];
        const int edits = 1 + int(random() % 3);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const size_t at = random() % text.size();
            const size_t lineStart = text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
            const size_t lineEnd = text.find('\n', at) == std::string::npos ? text.size() : text.find('\n', at) + 1;
            switch (random() % 7) {
                case 0:
                    text[at] = alphabet[random() % alphabet.size()];
                    break;
                case 1:
                    text.erase(at, 1 + random() % 6);
                    break;
                case 2:
                    text.insert(at, 1, alphabet[random() % alphabet.size()]);
                    break;
                case 3:
                    text.insert(at, pieces[random() % (sizeof pieces / sizeof pieces[0])]);
                    break;
                case 4:
                    // Another pitch letter or another digit: mostly still a valid text.
                    if (text[at] >= 'A' && text[at] <= 'G') text[at] = char('A' + random() % 7);
                    if (text[at] >= '1' && text[at] <= '9') text[at] = char('1' + random() % 9);
                    break;
                case 5:
                    text.erase(lineStart, lineEnd - lineStart);
                    break;
                default:
                    text.insert(random() % text.size(), text.substr(lineStart, lineEnd - lineStart));
            }
        }
        const DocumentState before = CurrentDocument().State();
        ScoreTextError error;
        if (!ReadScoreText(text, &error)) {
            ASSERT_TRUE(CurrentDocument().State() == before) << text;
            ASSERT_GE(error.line, 1) << text;
            ASSERT_FALSE(error.message.empty()) << text;
            continue;
        }
        ++accepted;
        const DocumentState read = CurrentDocument().State();
        const std::string written = WriteScoreText();
        DocumentState again;
        ASSERT_TRUE(ParseScoreState(written, &again, &error)) << text << "\n---\n" << written << error.ToString();
        ASSERT_TRUE(again == read) << text << "\n---\n" << written;
        ASSERT_EQ(CanonicalScoreText(written), written) << text;
    }
    // Both paths were taken often.
    EXPECT_GT(accepted, rounds / 20);
    EXPECT_LT(accepted, rounds * 9 / 10);
}

TEST(ScoreText, HugeMeasuresKeepTheirLengthInRange) {
    ScoreTextError error;
    ASSERT_TRUE(ReadScoreText(R"(qzs 1
staff 1
measure 1 32767+32767+32767/e32767
s1: e16777216 C4 C4
measure 2 32767/e32767
)",
                              &error))
        << error.ToString();
    EXPECT_EQ(hostapi::FX_GetMeasureDuration(1, 1, kFXInterfaceVersion), 0x7FFFFFFF);
    EXPECT_EQ(hostapi::FX_GetMeasureDuration(1, 2, kFXInterfaceVersion), 32767 * 32767);
    EXPECT_EQ(CanonicalScoreText(WriteScoreText()), WriteScoreText());
}

TEST(ScoreText, DefinitionsExpressionsArticulationsAndTupletOptionsNameTheirErrors) {
    const std::string head = "qzs 1\nstaff 1\nmeasure 1\n";
    struct Row {
        std::string text;
        int line, column;
        const char* expected;
    } rows[] = {
        {"qzs 1\narticulation 0", 2, 14, "expected a definition number (1-65534)"},
        {"qzs 1\narticulation", 2, 14, "expected a definition number (1-65534)"},
        {"qzs 1\ncategory", 2, 10, "expected a category number (1-65534)"},
        {"qzs 1\ntext-expression", 2, 17, "expected a definition number (1-65534)"},
        {"qzs 1\ntext-expression 4\ntext-expression 4", 3, 17, "text expression 4 is declared twice"},
        {"qzs 1\narticulation 1\narticulation 1", 3, 14, "articulation 1 is declared twice"},
        {"qzs 1\narticulation 1 char=70000", 2, 21, "expected a character or shape number"},
        {"qzs 1\narticulation 1 mode=6", 2, 21, "expected a position mode"},
        {"qzs 1\narticulation 1 N=1", 2, 16, "expected char="},
        {"qzs 1\narticulation 1 flags=12", 2, 22, "expected flags in hex"},
        {"qzs 1\narticulation 1 font=\"Maestro", 2, 21, "the text is not closed"},
        {"qzs 1\ncategory 1 \"Dyn\\q\"", 2, 16, "expected an escape"},
        {"qzs 1\ncategory 1 place=1,2,3", 2, 22, "expected five placement values"},
        {"qzs 1\ncategory 1 \"a\"b", 2, 15, "expected a space after the text"},
        {"qzs 1\ncategory 1 size=40000", 2, 17, "expected a font size"},
        {"qzs 1\ncategory 2\ncategory 2", 3, 10, "category 2 is declared twice"},
        {"qzs 1\ntext-expression 2 \"\\u{110000}\"", 2, 20, "expected a character number in hex"},
        {"qzs 1\ntext-expression 2 \"\xff\"", 2, 20, "expected UTF-8 text"},
        {"qzs 1\ntext-expression 2 \"\xed\xa0\x80\"", 2, 20, "expected UTF-8 text"},  // a surrogate
        {"qzs 1\ntext-expression 2 category=20000", 2, 28, "expected a category number"},
        {"qzs 1\ntext-expression 2 bold", 2, 19, "expected the text in quotes"},
        {"qzs 1\nshape-expression", 2, 18, "expected a definition number (1-65534)"},
        {"qzs 1\nshape-expression 3\nshape-expression 3", 3, 18, "shape expression 3 is declared twice"},
        {"qzs 1\nshape-expression 3 category=x", 2, 29, "expected a category number"},
        {"qzs 1\nshape-expression 3 \"p\"", 2, 20, "expected category="},
        {head + "shape-expression 1", 4, 1, "expected 'shape-expression' before the first measure"},
        {head + "category 1", 4, 1, "expected 'category' before the first measure"},
        {head + "s1 expression", 4, 15, "expected the number of the expression's definition"},
        {head + "s1 expression 3 at=x", 4, 20, "expected a position in the measure"},
        {head + "s1 expression 3 layer=8", 4, 23, "expected a layer"},
        {head + "s1 expression 3 bold", 4, 17, "expected shape, at="},
        {head + "s1: 4 C4!art1(7)", 4, 14, "expected the articulation's two positions"},
        {head + "s1: 4 C4!art70000", 4, 13, "expected an articulation definition number"},
        {head + "s1: {3:2 z=1 8 C4 D4 E4} 2 r", 4, 10, "expected a tuplet option"},
        {head + "s1: {3:2 x=40000 8 C4 D4 E4} 2 r", 4, 12, "expected a value (-32768-32767)"},
        {head + "s1: {3:2 flags=7 8 C4 D4 E4} 2 r", 4, 16, "expected the tuplet's flags in hex"},
    };
    ASSERT_TRUE(ReadScoreText("qzs 1\nstaff 1\nmeasure 1\ns1: 1 C4!art1\n"));
    const DocumentState before = CurrentDocument().State();
    for (const Row& row : rows) {
        ScoreTextError error;
        EXPECT_FALSE(ReadScoreText(row.text, &error)) << row.text;
        EXPECT_EQ(error.line, row.line) << row.text << "\n" << error.ToString();
        EXPECT_EQ(error.column, row.column) << row.text << "\n" << error.ToString();
        EXPECT_NE(error.message.find(row.expected), std::string::npos) << row.text << "\n" << error.ToString();
    }
    EXPECT_TRUE(CurrentDocument().State() == before);
}

TEST(ScoreText, TextsKeepEveryCharacter) {
    ASSERT_TRUE(ReadScoreText("qzs 1\n"));
    std::u16string units = u"a\"b\\c # d ^^e\u00e9\U0001F600";
    units += char16_t(0xD800);  // unpaired surrogates stay as they are
    units += u'x';
    units += char16_t(0xDC00);
    units += u"\x01\x7f\t\r\n";
    FCString text, description;
    text.SetUTF16(units.c_str(), int(units.size()));
    description.SetUTF16(u"QZ Pattern: Number", -1);
    FCTextExpressionDef definition;
    definition.SetDescription(&description);
    ASSERT_TRUE(definition.SetText(&text));
    ASSERT_TRUE(definition.SaveAs(3));
    const DocumentState built = CurrentDocument().State();
    const std::string written = WriteScoreText();
    EXPECT_EQ(written,
              "qzs 1\ntext-expression 3 \"a\\\"b\\\\c # d "
              "^^e\xc3\xa9\xf0\x9f\x98\x80\\u{D800}x\\u{DC00}\\u{1}\\u{7F}\\t\\r\\n\" "
              "desc=\"QZ Pattern: Number\"\n");
    DocumentState again;
    ScoreTextError error;
    ASSERT_TRUE(ParseScoreState(written, &again, &error)) << error.ToString();
    EXPECT_TRUE(again == built);
    // A comment may follow the text; a sharp inside it is text.
    ASSERT_TRUE(ReadScoreText("qzs 1\ntext-expression 3 \"# 1\" # the first\n", &error)) << error.ToString();
    FCTextExpressionDef read;
    ASSERT_TRUE(read.Load(3));
    ASSERT_TRUE(read.GetText(&text));
    EXPECT_EQ(text.GetUTF8(), "# 1");
}

TEST(ScoreText, RecordsTheNotationCannotSayStayRaw) {
    ASSERT_TRUE(ReadScoreText(R"(qzs 1
staff 1
articulation 1 char=46
measure 1
s1 expression 1 at=512
s1: 4 C4!art1 D4!art1 {3:2 8 E4 F4 G4} 4 A4
)"));
    RecordStore& records = CurrentDocument().Records();
    auto change = [&](uint32_t tag, FXKey key, int offset, uint8_t value, size_t size) {
        const RecordStore::Bytes* stored = records.Find(tag, key);
        ASSERT_NE(stored, nullptr);
        RecordStore::Bytes bytes = *stored;
        bytes.resize(size, 0);
        bytes[size_t(offset)] = value;
        records.Put(tag, key, bytes.data(), uint32_t(bytes.size()));
    };
    change(FCArticulation::kTag, {{1, 0, 0, 0}}, 8, 5, 12);      // a field the mark does not say
    change(FCExpression::kTag, {{1, 0, 0, 0}}, 11, 0x01, 24);    // a flag without a name
    change(FCTuplet::kTag, {{3, 0, 0, 0}}, 31, 1, 32);           // a longer record
    change(FCArticulationDef::kTag, {{1, 0, 0, 0}}, 50, 9, 60);  // bytes of no field
    // Articulations without the entry's flag.
    FrameKey frame{1, 1, 0};
    EntryStore::Entries entries = CurrentDocument().Entries().Get(frame);
    entries[1].flags &= ~FCNoteEntry::kFlagArticulations;
    CurrentDocument().Entries().Set(frame, entries);

    const DocumentState changed = CurrentDocument().State();
    const std::string written = WriteScoreText();
    for (const char* line :
         {"articulation 1 char=46\n", "s1 expression 1 at=512\n", "s1: 4 C4!artic D4 {3:2 8 E4 F4 G4} 4 A4\n",
          "raw edIM 1 0 0 0 = 010000000000000005000000\n", "raw edIM 2 0 0 0 = 010000000000000000000000\n",
          "raw SODY 1 0 0 0 = ", "raw E\\x03TP 3 0 0 0 = ", "raw O\\x04IX 1 0 0 0 = "})
        EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
    DocumentState again;
    ScoreTextError error;
    ASSERT_TRUE(ParseScoreState(written, &again, &error)) << error.ToString();
    EXPECT_TRUE(again == changed) << written;
    EXPECT_EQ(CanonicalScoreText(written), written);
}

TEST(ScoreText, OldHostsRoundTripTheirLayouts) {
    for (uint32_t version : {0x10000000u, 0x11000000u}) {
        for (const std::string& file : CorpusFiles()) {
            SCOPED_TRACE(file + " " + std::to_string(version));
            simhost::Reset();
            hostapi::SetHostVersion(version);
            ScoreTextError error;
            ASSERT_TRUE(ReadScoreFile(file, &error)) << error.ToString();
            const DocumentState read = CurrentDocument().State();
            const std::string written = WriteScoreText();
            DocumentState again;
            ASSERT_TRUE(ParseScoreState(written, &again, &error)) << error.ToString();
            EXPECT_TRUE(again == read) << written;
            EXPECT_EQ(CanonicalScoreText(written), written);
        }
    }
}

// Mutations aimed at the statements of definitions, expressions, articulations and tuplet options.
TEST(ScoreText, MutatedDefinitionsNeverBreakTheReader) {
    std::vector<std::string> corpus;
    for (const std::string& file : CorpusFiles())
        if (file.find("articulations") != std::string::npos || file.find("expressions") != std::string::npos ||
            file.find("tuplet-options") != std::string::npos)
            corpus.push_back(ReadFile(file));
    ASSERT_EQ(corpus.size(), 3u);
    const char* const pieces[] = {"\"",
                                  "\\",
                                  "\\u{D800}",
                                  "\\u{1F600}",
                                  "!art1",
                                  "!art65535(1,-1)",
                                  " x=3",
                                  " flags=0xFFFF",
                                  " shape",
                                  " at=-1",
                                  " at=2147483647",
                                  " layer=7",
                                  " desc=\"#\"",
                                  " place=1,2,3,4,65535",
                                  " font=\"New Font\"",
                                  " font=65535",
                                  " size=255",
                                  "\xc3\xa9",
                                  "\xff",
                                  "\ncategory 7 \"x\"\n",
                                  "\ntext-expression 9 \"\"\n",
                                  "\narticulation 9 shape=1 main=alt\n",
                                  "\ns1 expression 1 hide-part\n",
                                  " mode=0",
                                  " A=-32768"};
    std::mt19937 random(20240607);
    int accepted = 0;
    const int rounds = 1500;
    for (int round = 0; round < rounds; ++round) {
        std::string text = corpus[random() % corpus.size()];
        const int edits = 1 + int(random() % 3);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const size_t at = random() % text.size();
            switch (random() % 4) {
                case 0:
                    text.erase(at, 1 + random() % 4);
                    break;
                case 1:
                    text.insert(at, pieces[random() % (sizeof pieces / sizeof pieces[0])]);
                    break;
                case 2:
                    if (text[at] >= '0' && text[at] <= '9') text[at] = char('0' + random() % 10);
                    break;
                default:
                    text.insert(random() % text.size(), pieces[random() % (sizeof pieces / sizeof pieces[0])]);
            }
        }
        const DocumentState before = CurrentDocument().State();
        ScoreTextError error;
        if (!ReadScoreText(text, &error)) {
            ASSERT_TRUE(CurrentDocument().State() == before) << text;
            ASSERT_GE(error.line, 1) << text;
            continue;
        }
        ++accepted;
        const DocumentState read = CurrentDocument().State();
        const std::string written = WriteScoreText();
        DocumentState again;
        ASSERT_TRUE(ParseScoreState(written, &again, &error)) << text << "\n---\n" << written << error.ToString();
        ASSERT_TRUE(again == read) << text << "\n---\n" << written;
        ASSERT_EQ(CanonicalScoreText(written), written) << text;
    }
    EXPECT_GT(accepted, rounds / 20);
    EXPECT_LT(accepted, rounds * 9 / 10);
}

TEST(ScoreText, TheFormatsDocumentedExamplesAreCanonical) {
    const std::string doc = ReadFile(std::string(QZ_TEST_DATA_DIR) + "/../../docs/score-format.md");
    int examples = 0;
    for (size_t at = doc.find("```\nqzs 1\n"); at != std::string::npos; at = doc.find("```\nqzs 1\n", at + 1)) {
        const size_t start = at + 4, end = doc.find("```", start);
        ASSERT_NE(end, std::string::npos);
        const std::string example = doc.substr(start, end - start);
        EXPECT_EQ(CanonicalScoreText(example), example);
        ++examples;
    }
    EXPECT_GE(examples, 1);
}
