// Reading MusicXML into the stand-in document: every element the import models comes out as the
// score text says it, and bad input gives one clear error with its line.
#include "simhost/ScoreText.h"
#include "simhost/musicxml/MusicXml.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

using namespace simhost;

namespace {

std::string ReadData(const std::string& name) {
    std::ifstream in(std::string(QZ_TEST_DATA_DIR) + "/musicxml/" + name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

ScoreTextOptions Musical() {
    ScoreTextOptions options;
    options.bookkeeping = false;
    return options;
}

// The document a MusicXML text gives, as score text without bookkeeping (or the error).
std::string Imported(const std::string& xml) {
    MusicXmlScore score;
    ScoreTextError error;
    if (!score.Import(xml, "in.musicxml", &error)) return error.ToString();
    if (!score.Open(&error)) return error.ToString();
    return WriteScoreText(Musical());
}

}  // namespace

TEST(MusicXmlImport, NotesRestsChordsBeamsKeysAndBarlines) {
    EXPECT_EQ(CanonicalScoreText(R"(qzs 1
staff 1
part 1 staves=1
measure 1 key=G
s1: 4 G4 8 [A4 B4 4 r F#4
measure 2 bar=final
s1: 2. G4 4 <D5 B4>
)", Musical()),
              Imported(ReadData("basic.musicxml")));
}
