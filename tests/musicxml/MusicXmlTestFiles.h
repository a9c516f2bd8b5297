// What the MusicXML tests share: the corpus and example files, and documents as score text
// without bookkeeping, so comparisons show only the music.
#pragma once

#include "simhost/ScoreText.h"
#include "simhost/musicxml/MusicXml.h"

#include <fstream>
#include <sstream>
#include <string>

namespace musicxmltest {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A file of the test corpus (tests/data/musicxml).
inline std::string ReadData(const std::string& name) {
    return ReadFile(std::string(QZ_TEST_DATA_DIR) + "/musicxml/" + name);
}

// A file of the project's examples.
inline std::string ReadExample(const std::string& name) {
    return ReadFile(std::string(QZ_TEST_DATA_DIR) + "/../../examples/" + name);
}

inline simhost::ScoreTextOptions Musical() {
    simhost::ScoreTextOptions options;
    options.bookkeeping = false;
    return options;
}

// The document a MusicXML text gives, as score text without bookkeeping (or the error).
inline std::string DocumentOf(const std::string& xml, const std::string& source = "in.musicxml") {
    simhost::MusicXmlScore score;
    simhost::ScoreTextError error;
    if (!score.Import(xml, source, &error) || !score.Open(&error)) return error.ToString();
    return simhost::WriteScoreText(Musical());
}

}  // namespace musicxmltest
