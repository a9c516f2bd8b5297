#include "simhost/musicxml/MusicXmlNames.h"

#include "simhost/Unicode.h"
#include "simhost/ChordAnalysis.h"

#include <cstdlib>
#include <cstring>

namespace simhost {
namespace musicxml {

namespace {

using tinyxml2::XMLElement;

struct TypeName {
    const char* name;
    int32_t duration;
};
const TypeName kTypes[] = {{"maxima", 32768}, {"long", 16384}, {"breve", 8192}, {"whole", 4096}, {"half", 2048},
                           {"quarter", 1024}, {"eighth", 512}, {"16th", 256},   {"32nd", 128},   {"64th", 64},
                           {"128th", 32},     {"256th", 16},   {"512th", 8},    {"1024th", 4}};

// The articulations the document holds, with the definition lines of the host's defaults.
struct ArticulationName {
    const char* element;
    const char* definition;
};
const ArticulationName kArticulations[] = {
    {"staccato", "char=46 mode=1 size=24 alt-size=24 B=-4 C=16 E=40 F=40 flags=0x0210 flags2=0x0021"},
    {"tenuto", "char=45 mode=1 size=24 alt-size=24 C=14 D=-16 flags=0x0210 flags2=0x0001"},
    {"accent",
     "char=62 alt=62 flipped=alt mode=1 size=24 alt-size=24 B=-4 C=14 D=-23 G=125 H=125 flags=0x1010 flags2=0x0008"},
    {"strong-accent",
     "char=94 alt=118 flipped=alt mode=5 size=24 alt-size=24 B=-8 C=16 D=-32 G=140 H=140 flags=0x1010 flags2=0x0008"},
};

// The main characters of the music font and the articulations they draw (the combined symbols
// of two articulations included).
struct ArticulationGlyph {
    int character;
    const char* first;
    const char* second;
};
const ArticulationGlyph kArticulationGlyphs[] = {{46, "staccato", nullptr},
                                                 {45, "tenuto", nullptr},
                                                 {62, "accent", nullptr},
                                                 {94, "strong-accent", nullptr},
                                                 {118, "strong-accent", nullptr},
                                                 {248, "staccato", "tenuto"},
                                                 {60, "staccato", "tenuto"},
                                                 {249, "staccato", "accent"},
                                                 {223, "staccato", "accent"},
                                                 {172, "staccato", "strong-accent"},
                                                 {232, "staccato", "strong-accent"},
                                                 {138, "tenuto", "accent"},
                                                 {137, "tenuto", "accent"}};

struct DynamicName {
    const char* name;
    char16_t glyph;
};
const DynamicName kDynamics[] = {{"pppp", 175}, {"ppp", 184}, {"pp", 185},  {"p", 112},    {"mp", 80},   {"mf", 70},
                                 {"f", 102},    {"ff", 196},  {"fff", 236}, {"ffff", 235}, {"sfz", 167}, {"fz", 90}};

// The chord kinds (numbered as the host numbers them, from 1) as MusicXML kinds with at most one degree.
struct HarmonyKind {
    const char* kind;
    int degree;  // 0: none
    int alter;
    const char* degreeType;
};
const HarmonyKind kHarmonyKinds[] = {
    {"major", 0, 0, nullptr},
    {"minor", 0, 0, nullptr},
    {"diminished", 0, 0, nullptr},
    {"augmented", 0, 0, nullptr},
    {"suspended-fourth", 0, 0, nullptr},
    {"suspended-second", 0, 0, nullptr},
    {"power", 0, 0, nullptr},
    {"major-sixth", 0, 0, nullptr},
    {"minor-sixth", 0, 0, nullptr},
    {"dominant", 0, 0, nullptr},
    {"major-seventh", 0, 0, nullptr},
    {"minor-seventh", 0, 0, nullptr},
    {"half-diminished", 0, 0, nullptr},
    {"diminished-seventh", 0, 0, nullptr},
    {"major-minor", 0, 0, nullptr},
    {"suspended-fourth", 7, -1, "add"},
    {"dominant", 5, -1, "alter"},
    {"augmented-seventh", 0, 0, nullptr},
    {"major-seventh", 5, 1, "alter"},
    {"major", 9, 0, "add"},
    {"minor", 9, 0, "add"},
    {"major-sixth", 9, 0, "add"},
    {"dominant-ninth", 0, 0, nullptr},
    {"major-ninth", 0, 0, nullptr},
    {"minor-ninth", 0, 0, nullptr},
    {"dominant", 9, -1, "add"},
    {"dominant", 9, 1, "add"},
    {"dominant-11th", 0, 0, nullptr},
    {"minor-11th", 0, 0, nullptr},
    {"dominant", 11, 1, "add"},
    {"major-seventh", 11, 1, "add"},
    {"dominant-13th", 0, 0, nullptr},
    {"major-13th", 0, 0, nullptr},
    {"minor-13th", 0, 0, nullptr},
    {"dominant", 13, -1, "add"},
};
constexpr int kHarmonyKindCount = int(sizeof kHarmonyKinds / sizeof kHarmonyKinds[0]);

const char kSteps[] = "CDEFGAB";

bool ParseWhole(const char* text, int low, int high, int* value) {
    if (!text) return false;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    while (end && (*end == ' ' || *end == '\n' || *end == '\t' || *end == '\r')) ++end;
    if (end == text || !end || *end || v < low || v > high) return false;
    *value = int(v);
    return true;
}

// A step and alter as the score text spells them ("C#", "Bb").
bool Spelling(const XMLElement* step, const XMLElement* alter, std::string* text) {
    const char* s = step ? step->GetText() : nullptr;
    if (!s) return false;
    while (*s == ' ' || *s == '\n' || *s == '\t') ++s;
    if (!*s || !std::strchr(kSteps, *s)) return false;
    int semitones = 0;
    if (alter && !ParseWhole(alter->GetText(), -2, 2, &semitones)) return false;
    *text = std::string(1, *s) +
            (semitones > 0 ? std::string(size_t(semitones), '#') : std::string(size_t(-semitones), 'b'));
    return true;
}

void AddText(XMLElement* parent, const char* name, const std::string& text) {
    XMLElement* child = parent->GetDocument()->NewElement(name);
    child->SetText(text.c_str());
    parent->InsertEndChild(child);
}

}  // namespace

int32_t TypeDuration(const char* type) {
    if (!type) return 0;
    for (const TypeName& t : kTypes)
        if (std::strcmp(t.name, type) == 0) return t.duration;
    return 0;
}

bool TypeOfDuration(int32_t duration, std::string* type, int* dots) {
    for (const TypeName& t : kTypes) {
        int32_t total = t.duration, add = t.duration;
        for (int d = 0; d <= 3; ++d) {
            if (total == duration) {
                *type = t.name;
                *dots = d;
                return true;
            }
            add /= 2;
            if (!add) break;
            total += add;
        }
    }
    return false;
}

int ArticulationNumber(const char* element) {
    for (size_t i = 0; i < sizeof kArticulations / sizeof kArticulations[0]; ++i)
        if (std::strcmp(kArticulations[i].element, element) == 0) return int(i) + 1;
    return 0;
}

std::string ArticulationDefinitionLine(int number) {
    return "articulation " + std::to_string(number) + " " + kArticulations[number - 1].definition;
}

std::vector<std::string> ArticulationElements(const scoretext::ArticulationDefStatement& definition) {
    const bool fromAlternate = definition.mainUsesAlternate;
    const int slot = fromAlternate ? definition.alternateSlot : definition.mainSlot;
    const bool shape = fromAlternate ? definition.alternateShape : definition.mainShape;
    std::vector<std::string> names;
    if (shape) return names;
    for (const ArticulationGlyph& glyph : kArticulationGlyphs)
        if (glyph.character == slot) {
            names.push_back(glyph.first);
            if (glyph.second) names.push_back(glyph.second);
            break;
        }
    return names;
}

char16_t DynamicGlyph(const std::string& name) {
    for (const DynamicName& d : kDynamics)
        if (name == d.name) return d.glyph;
    return 0;
}

std::string DynamicOfText(const std::u16string& plain) {
    if (plain.size() == 1)
        for (const DynamicName& d : kDynamics)
            if (plain[0] == d.glyph) return d.name;
    if (plain.empty()) return std::string();
    for (char16_t c : plain)
        if (c > 127 || !std::strchr("pmfszrn", char(c))) return std::string();
    return ToUTF8(plain);
}

int BarlineStyle(const std::string& barStyle) {
    if (barStyle == "regular") return 0;
    if (barStyle == "light-light") return 2;
    if (barStyle == "heavy") return 4;
    if (barStyle == "light-heavy") return 5;
    return -1;
}

std::string BarStyleName(int style) {
    switch (style) {
        case 2:
            return "light-light";
        case 4:
            return "heavy";
        case 5:
            return "light-heavy";
        default:
            return std::string();
    }
}

bool HarmonySymbol(const XMLElement* harmony, std::string* symbol) {
    const XMLElement* root = harmony->FirstChildElement("root");
    const XMLElement* kindElement = harmony->FirstChildElement("kind");
    if (!root || !kindElement || !kindElement->GetText()) return false;
    std::string rootText, bassText;
    if (!Spelling(root->FirstChildElement("root-step"), root->FirstChildElement("root-alter"), &rootText)) return false;
    std::string kind = kindElement->GetText();
    while (!kind.empty() && (kind.back() == ' ' || kind.back() == '\n')) kind.pop_back();
    while (!kind.empty() && (kind.front() == ' ' || kind.front() == '\n')) kind.erase(0, 1);
    if (kind == "dominant-seventh") kind = "dominant";
    if (kind == "major-major") kind = "major-seventh";
    // At most one degree: its value and alteration.
    int degree = 0, alter = 0;
    const XMLElement* d = harmony->FirstChildElement("degree");
    if (d) {
        if (d->NextSiblingElement("degree")) return false;
        if (!ParseWhole(
                d->FirstChildElement("degree-value") ? d->FirstChildElement("degree-value")->GetText() : nullptr, 1, 13,
                &degree) ||
            !ParseWhole(d->FirstChildElement("degree-alter") ? d->FirstChildElement("degree-alter")->GetText() : "0",
                        -2, 2, &alter))
            return false;
        const XMLElement* type = d->FirstChildElement("degree-type");
        if (type && type->GetText() && std::strcmp(type->GetText(), "subtract") == 0) return false;
    }
    int found = 0;
    for (int k = 0; k < kHarmonyKindCount && !found; ++k)
        if (kind == kHarmonyKinds[k].kind && degree == kHarmonyKinds[k].degree && alter == kHarmonyKinds[k].alter)
            found = k + 1;
    if (!found || found > chords::KindCount()) return false;
    *symbol = rootText + chords::KindSuffix(found);
    if (const XMLElement* bass = harmony->FirstChildElement("bass")) {
        if (!Spelling(bass->FirstChildElement("bass-step"), bass->FirstChildElement("bass-alter"), &bassText))
            return false;
        *symbol += "/" + bassText;
    }
    return true;
}

bool WriteHarmony(const scoretext::ChordStatement& chord, XMLElement* harmony) {
    if (chord.kind < 1 || chord.kind > kHarmonyKindCount || chord.rootLetter < 0 || chord.rootLetter > 6) return false;
    const HarmonyKind& kind = kHarmonyKinds[chord.kind - 1];
    tinyxml2::XMLDocument* dom = harmony->GetDocument();
    XMLElement* root = dom->NewElement("root");
    AddText(root, "root-step", std::string(1, kSteps[chord.rootLetter]));
    if (chord.rootAlteration) AddText(root, "root-alter", std::to_string(chord.rootAlteration));
    harmony->InsertEndChild(root);
    XMLElement* kindElement = dom->NewElement("kind");
    kindElement->SetText(kind.kind);
    kindElement->SetAttribute("text", chords::KindSuffix(chord.kind));
    harmony->InsertEndChild(kindElement);
    const bool showBass = (chord.flags & 0x0040) != 0;
    if (showBass && chord.bassLetter >= 0 && chord.bassLetter <= 6) {
        XMLElement* bass = dom->NewElement("bass");
        AddText(bass, "bass-step", std::string(1, kSteps[chord.bassLetter]));
        if (chord.bassAlteration) AddText(bass, "bass-alter", std::to_string(chord.bassAlteration));
        harmony->InsertEndChild(bass);
    }
    if (kind.degree) {
        XMLElement* degree = dom->NewElement("degree");
        AddText(degree, "degree-value", std::to_string(kind.degree));
        AddText(degree, "degree-alter", std::to_string(kind.alter));
        AddText(degree, "degree-type", kind.degreeType);
        harmony->InsertEndChild(degree);
    }
    return true;
}

std::u16string StripCaretCommands(const std::u16string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'^') {
            out += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == u'^') {
            out += u'^';
            ++i;
            continue;
        }
        // ^name(arguments)
        size_t j = i + 1;
        while (j < text.size() && ((text[j] >= u'a' && text[j] <= u'z') || (text[j] >= u'A' && text[j] <= u'Z'))) ++j;
        if (j < text.size() && text[j] == u'(') {
            int depth = 0;
            for (; j < text.size(); ++j) {
                if (text[j] == u'(') ++depth;
                if (text[j] == u')' && --depth == 0) break;
            }
        }
        i = j < text.size() ? j : text.size();
    }
    return out;
}

int64_t MeterLength(const Meter& meter) {
    if (!meter.IsComposite()) return int64_t(meter.beats) * meter.beatDuration;
    int64_t total = 0;
    for (size_t g = 0; g < meter.groups.size(); ++g) {
        const int64_t unit = meter.groupDurations.empty() ? meter.beatDuration : meter.groupDurations[g];
        for (int beats : meter.groups[g]) total += beats * unit;
    }
    return total;
}

}  // namespace musicxml
}  // namespace simhost
