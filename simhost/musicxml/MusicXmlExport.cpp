#include "simhost/musicxml/MusicXmlExport.h"

namespace simhost {
namespace musicxml {

bool MusicXmlExport::Run(std::string* xml, std::vector<std::string>* dropped, ScoreTextError* error) {
    (void)xml;
    (void)dropped;
    if (error) *error = ScoreTextError{"<musicxml>", 0, 0, "not written yet"};
    return false;
}

}  // namespace musicxml
}  // namespace simhost
