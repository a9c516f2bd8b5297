// Writing the current document as MusicXML (docs/musicxml.md). Built on the DOM the document was
// imported from, when there is one: measures whose music did not change are copied element for
// element, and in the others what the document does not model is kept where its note or position
// still exists. Does not own the DOM or the import's result.
#pragma once

#include "simhost/ScoreText.h"
#include "simhost/musicxml/MusicXmlImport.h"

#include <tinyxml2.h>

#include <string>
#include <vector>

namespace simhost {
namespace musicxml {

class MusicXmlExport {
public:
    // original and imported are null for a document that was not imported; importedText is the
    // imported document's score text without bookkeeping.
    MusicXmlExport(const tinyxml2::XMLDocument* original, const ImportResult* imported, const std::string& importedText)
        : original_(original), imported_(imported), importedText_(importedText) {}

    // The document as MusicXML text; what could not be kept goes to dropped, one line per kind.
    bool Run(std::string* xml, std::vector<std::string>* dropped, ScoreTextError* error);

private:
    const tinyxml2::XMLDocument* original_;
    const ImportResult* imported_;
    std::string importedText_;
};

}  // namespace musicxml
}  // namespace simhost
