// The score text format (files ending .qzs; docs/score-format.md): a line-oriented notation of a
// whole document, one measure of one staff per line, that the stand-in host reads into a document
// and writes back from one. Reading what was written gives the same document; writing what was
// read gives the same text when the text was written in the canonical form.
#pragma once

#include "simhost/Document.h"

#include <string>

namespace simhost {

// Where a text could not be read, and what was expected there.
struct ScoreTextError {
    std::string source;  // the file name, or "<text>"
    int line = 0;
    int column = 0;
    std::string message;

    // "source:line:column: message"
    std::string ToString() const;
};

struct ScoreTextOptions {
    // Off: the marks that only keep the document's bookkeeping (entry numbers, note IDs, the
    // marks of rewritten or created entries and notes) are left out, so a comparison shows only
    // musical differences. Such text does not read back into exactly the same document.
    bool bookkeeping = true;
};

// Replaces the current document's content with the document the text describes, and puts the
// part it names in view (the score when it names none). On an error
// the document is left as it was and error (when given) says where and what was expected.
// Refused while an edit is open.
bool ReadScoreText(const std::string& text, ScoreTextError* error = nullptr, const std::string& source = "<text>");
bool ReadScoreFile(const std::string& path, ScoreTextError* error = nullptr);
// Reads the text into a new document state without touching any document; the part in view it
// names (0 the score) goes to currentPart when given.
bool ParseScoreState(const std::string& text, DocumentState* state, ScoreTextError* error = nullptr,
                     const std::string& source = "<text>", int32_t* currentPart = nullptr);

// ParseScoreState that also gives the layers the text hides in the host's view (bit i: layer
// index i), which are not document content.
bool ParseScoreText(const std::string& text, DocumentState* state, uint32_t* hiddenLayers,
                    ScoreTextError* error = nullptr, const std::string& source = "<text>",
                    int32_t* currentPart = nullptr);

// The current document as score text (the score's view, whatever part is in view; the part in
// view is not content and is not written).
std::string WriteScoreText(const ScoreTextOptions& options = ScoreTextOptions());
bool WriteScoreFile(const std::string& path, const ScoreTextOptions& options = ScoreTextOptions());

// The text as the writer puts it (read into a scratch document and written again), or the
// error's ToString when it cannot be read; no document changes. Tests compare documents this
// way, so a failure shows the musical difference.
std::string CanonicalScoreText(const std::string& text, const ScoreTextOptions& options = ScoreTextOptions());

}  // namespace simhost
