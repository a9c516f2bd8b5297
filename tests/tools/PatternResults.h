// The expected results of Reorder Notes and Break on one melody, for the tests that run the real
// plug-in module in a host program (qzhost on Linux, FINALE.EXE on Windows): the score, and per
// style the measures the task rewrites, as score text.
#pragma once

#include <string>

namespace patternresults {

const char* const kMelody =
    "qzs 1\n"
    "staff 1\n"
    "measure 1\n"
    "s1: 8 [E4 C4 G4 D4 [B4 F4 A4 C5\n"
    "measure 2\n"
    "s1: 8 [D5 A4 F4 B4 4 r 8 [G4 E4\n"
    "measure 3\n"
    "s1: 2 <C4 E4 G4 C5> 4. <G3 B3 D4> 8 r\n";

// Reorder Notes on measures 1-2 of staff 1: measures 1 and 2 as they become.
struct ReorderCase {
    int style;
    const char* measures12;
};
const ReorderCase kReorderCases[] = {
    {0, "measure 1\ns1: 8 [C4 D4 E4 G4 [F4 A4 B4 C5\nmeasure 2\ns1: 8 [F4 A4 B4 D5 4 r 8 [E4 G4\n"},
    {1, "measure 1\ns1: 8 [G4 E4 D4 C4 [C5 B4 A4 F4\nmeasure 2\ns1: 8 [D5 B4 A4 F4 4 r 8 [G4 E4\n"},
    {8, "measure 1\ns1: 8 [C4 G4 D4 E4 [F4 A4 C5 B4\nmeasure 2\ns1: 8 [A4 F4 B4 D5 4 r 8 [E4 G4\n"},
};

// Break on measure 3 of staff 1: the music of measure 3 as it becomes.
struct BreakCase {
    int style;
    const char* measure3;
};
const BreakCase kBreakCases[] = {
    {0, "s1: 8 [C4 E4 G4 C5 [G3 B3 D4 r\n"},
    {1, "s1: 8 [C5 G4 E4 C4 [D4 B3 G3 r\n"},
    // Alberti Bass takes three-note chords only: the four-note chord stays.
    {8, "s1: 2 <C4 E4 G4 C5> 16. [G3 D4 B3 D4 8 r\n"},
};

// The whole melody after Reorder Notes or Break, as score text.
inline std::string AfterReorder(const ReorderCase& c) {
    return std::string("qzs 1\nstaff 1\n") + c.measures12 + "measure 3\ns1: 2 <C4 E4 G4 C5> 4. <G3 B3 D4> 8 r\n";
}
inline std::string AfterBreak(const BreakCase& c) {
    const std::string melody = kMelody;
    return melody.substr(0, melody.find("measure 3")) + "measure 3\n" + c.measure3;
}

}  // namespace patternresults
