// MusicXML in and out of the stand-in document. A score is read from its XML text into a
// document (through the score text notation, so the document is built by the same reader as a
// .qzs file) and remembers what it was read from, so that writing the document back keeps what
// the document does not model (lyrics, fingerings, layout, credits, sound, print) and writes the
// measures no task changed exactly as they were read.
#pragma once

#include "simhost/ScoreText.h"

#include <memory>
#include <string>
#include <vector>

namespace simhost {

class MusicXmlScore {
public:
    MusicXmlScore();
    ~MusicXmlScore();
    MusicXmlScore(const MusicXmlScore&) = delete;
    MusicXmlScore& operator=(const MusicXmlScore&) = delete;

    // Reads a score-partwise text (versions 2.0 to 4.0). False with the line and the reason in
    // error (source names the file); nothing is kept then.
    bool Import(const std::string& xml, const std::string& source, ScoreTextError* error);

    // Replaces the current document with the imported one, as ReadScoreText does; refused while
    // an edit is open.
    bool Open(ScoreTextError* error) const;

    // The current document as MusicXML text, built on what was imported. What could not be kept
    // goes to dropped, one line per kind with its count and where.
    bool Export(std::string* xml, std::vector<std::string>* dropped, ScoreTextError* error) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace simhost
