// Reading a score-partwise DOM into score text (docs/musicxml.md): one walk over the parts and
// measures that gives the text the stand-in document is built from, and what the export needs
// to find its way back to the elements it came from. Does not own the DOM.
#pragma once

#include "simhost/ScoreText.h"

#include <tinyxml2.h>

#include <map>
#include <string>
#include <vector>

namespace simhost {
namespace musicxml {

// A part of the file and where its staves went.
struct ImportedPart {
    std::string id;
    int firstStaff = 1;  // the document's staff number of its first staff
    int staves = 1;
    // Per staff of the part: the voices of the file in the order of their layers.
    std::vector<std::vector<std::string>> voices;
    // Per measure: the element it came from and the divisions in effect at its start.
    std::vector<const tinyxml2::XMLElement*> measures;
    std::vector<int64_t> divisions;
};

struct ImportResult {
    std::string text;           // the score text
    std::vector<int> xmlLines;  // per text line (index 0 is line 1): the XML line it came from
    std::vector<ImportedPart> parts;
    int measureCount = 0;
};

class MusicXmlImport {
public:
    MusicXmlImport(const tinyxml2::XMLDocument& dom, const std::string& source) : dom_(dom), source_(source) {}

    // False with the XML line and the reason.
    bool Run(ImportResult* result, ScoreTextError* error);

private:
    const tinyxml2::XMLDocument& dom_;
    std::string source_;
};

}  // namespace musicxml
}  // namespace simhost
