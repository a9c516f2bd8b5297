// Chord symbols in the score text: the statement "sS chord POSITION SYMBOL [options]" of a
// measure (docs/score-format.md, "Chord symbols"). Parsing, building the records into a document
// and writing them back, kept apart from the rest of the format.
#pragma once

#include "simhost/Document.h"
#include "simhost/ScoreTextSyntax.h"

#include <string>
#include <vector>

namespace simhost {
namespace scoretext {

// Parses the words after "sS chord" into statement (its staff and place already set). On an
// error: false, *bad is the index of the offending word (words.size() when one is missing) and
// *expected says what was expected there.
bool ParseChordWords(const std::vector<std::string>& words, ChordStatement* statement, size_t* bad,
                     std::string* expected);

// Creates the measure's chord symbols, in order, as new incidences of their cells, and marks the
// measure as having chords. False (with *failed the statement) when a record cannot be stored.
bool BuildChordStatements(Document& document, int measure, const std::vector<ChordStatement>& chords,
                          const ChordStatement** failed);

// The chord lines of a measure, staves in the given order, each cell's symbols by incidence up to
// the first the notation cannot give exactly (the writer's raw lines say the rest). Without
// bookkeeping, what does not change the symbol as shown (show-bass, analysis=) is left out.
std::string ChordLines(const Document& document, int measure, const std::vector<int>& staves, bool bookkeeping);

}  // namespace scoretext
}  // namespace simhost
