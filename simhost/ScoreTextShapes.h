// Smart shapes in score text: the statements `sS slur ...`, `sS cresc ...`, `sS dim ...` and
// `sS shape ...` under the measure a shape starts in. The parser hands the words of such a
// line here; the reader builds every shape with its marks, centre shapes, measure flags and
// entry flags straight into the document's records; the writer names each shape whose ends
// the notation can say.
#pragma once

#include "simhost/ScoreTextSyntax.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace simhost {
namespace scoretext {

struct ShapeWord {
    std::string text;
    int column = 0;
};

// The second word of a staff line that starts a shape statement.
bool IsShapeKeyword(const std::string& word);

// Parses the words of a shape line (words[0] is "sS") under the given measure. On failure,
// column and message say where and what was expected.
bool ParseShapeStatement(const std::vector<ShapeWord>& words, int staff, int measure, int line, ShapeStatement* shape,
                         int* column, std::string* message);

// Builds the shapes into the document, in the order of their numbers. On failure, at and
// message say which statement could not be built and why.
bool BuildShapes(const std::vector<ShapeStatement>& shapes, Document& document, Place* at, std::string* message);

// The shape lines of a document, by the measure they are written under, and the entries whose
// smart-shape flag those lines give (the writer leaves their !shape mark out).
struct ShapeLines {
    std::map<int, std::string> byMeasure;
    std::set<int32_t> flaggedEnds;
};
void CollectShapeLines(const Document& document, const std::vector<int>& staves, bool bookkeeping, ShapeLines* out);

}  // namespace scoretext
}  // namespace simhost
