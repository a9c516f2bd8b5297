// The names MusicXML gives what the document holds, both ways: note types, articulations,
// dynamics, barlines and chord kinds. Import and export use the same tables so that a file read
// and written back names everything as it did.
#pragma once

#include "simhost/ScoreTextSyntax.h"

#include <tinyxml2.h>

#include <string>
#include <vector>

namespace simhost {
namespace musicxml {

// The EDU duration of a note type ("quarter": 1024); 0 for an unknown type.
int32_t TypeDuration(const char* type);
// The note type and dots of a notated EDU duration; false when it has none.
bool TypeOfDuration(int32_t duration, std::string* type, int* dots);

// The articulation definition number the import gives an articulation element (staccato 1,
// tenuto 2, accent 3, strong-accent 4); 0 for one the document does not hold.
int ArticulationNumber(const char* element);
// The definition line of one of those numbers.
std::string ArticulationDefinitionLine(int number);
// The articulation elements a definition draws, from its main character; empty for one that
// has no MusicXML name.
std::vector<std::string> ArticulationElements(const scoretext::ArticulationDefStatement& definition);

// The glyph of the music font the dynamics category writes for a dynamic ("p", "mf"), 0 when
// the dynamic is written in letters.
char16_t DynamicGlyph(const std::string& name);
// The dynamic a text of the dynamics category shows ("mf"), empty when it shows none.
std::string DynamicOfText(const std::u16string& plain);

// A right barline's bar-style as a measure's barline style; -1 for one the document does not hold.
int BarlineStyle(const std::string& barStyle);
// The bar-style of a barline style; empty for the regular barline.
std::string BarStyleName(int style);

// The chord symbol of a harmony element as the score text writes it ("C#m7/E"); false for one
// the document cannot hold.
bool HarmonySymbol(const tinyxml2::XMLElement* harmony, std::string* symbol);
// Fills a harmony element with the root, kind, degrees and bass of a chord statement.
bool WriteHarmony(const scoretext::ChordStatement& chord, tinyxml2::XMLElement* harmony);

// Text without the caret commands of the host's texts (^fontTxt(...), ^size(...), "^^" a caret).
std::u16string StripCaretCommands(const std::u16string& text);

// A measure's length in EDUs by its time signature, composite ones included.
int64_t MeterLength(const Meter& meter);

}  // namespace musicxml
}  // namespace simhost
