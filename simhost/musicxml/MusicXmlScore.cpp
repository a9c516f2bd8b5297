#include "simhost/musicxml/MusicXml.h"

#include "simhost/musicxml/MusicXmlExport.h"
#include "simhost/musicxml/MusicXmlImport.h"

#include <tinyxml2.h>

namespace simhost {

struct MusicXmlScore::Impl {
    tinyxml2::XMLDocument dom;
    std::string source;
    musicxml::ImportResult imported;
    std::string canonical;  // the imported document's score text without bookkeeping
};

MusicXmlScore::MusicXmlScore() = default;
MusicXmlScore::~MusicXmlScore() = default;

bool MusicXmlScore::Import(const std::string& xml, const std::string& source, ScoreTextError* error) {
    impl_.reset();
    auto impl = std::make_unique<Impl>();
    impl->source = source;
    if (impl->dom.Parse(xml.data(), xml.size()) != tinyxml2::XML_SUCCESS) {
        if (error)
            *error = ScoreTextError{
                source, impl->dom.ErrorLineNum(), 0,
                std::string("malformed XML (") + tinyxml2::XMLDocument::ErrorIDToName(impl->dom.ErrorID()) + ")"};
        return false;
    }
    musicxml::MusicXmlImport reader(impl->dom, source);
    if (!reader.Run(&impl->imported, error)) return false;
    DocumentState state;
    ScoreTextError textError;
    if (!ParseScoreState(impl->imported.text, &state, &textError, source)) {
        // The text came from the file: name the element it came from.
        const std::vector<int>& lines = impl->imported.xmlLines;
        const int line =
            textError.line >= 1 && size_t(textError.line) <= lines.size() ? lines[size_t(textError.line - 1)] : 0;
        if (error) *error = ScoreTextError{source, line, 0, textError.message};
        return false;
    }
    ScoreTextOptions options;
    options.bookkeeping = false;
    impl->canonical = CanonicalScoreText(impl->imported.text, options);
    impl_ = std::move(impl);
    return true;
}

bool MusicXmlScore::Open(ScoreTextError* error) const {
    if (!impl_) {
        if (error) *error = ScoreTextError{"<musicxml>", 0, 0, "no score has been imported"};
        return false;
    }
    return ReadScoreText(impl_->imported.text, error, impl_->source);
}

bool MusicXmlScore::Export(std::string* xml, std::vector<std::string>* dropped, ScoreTextError* error) const {
    musicxml::MusicXmlExport writer(impl_ ? &impl_->dom : nullptr, impl_ ? &impl_->imported : nullptr,
                                    impl_ ? impl_->canonical : std::string());
    return writer.Run(xml, dropped, error);
}

}  // namespace simhost
