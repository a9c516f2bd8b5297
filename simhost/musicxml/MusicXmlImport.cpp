#include "simhost/musicxml/MusicXmlImport.h"

#include "simhost/Unicode.h"
#include "simhost/ScoreTextSyntax.h"
#include "simhost/musicxml/MusicXmlNames.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <set>

namespace simhost {
namespace musicxml {

namespace {

using tinyxml2::XMLElement;

constexpr int64_t kMaxDivisions = 1 << 24;
constexpr int kMaxLayers = 4;

struct Note {
    SpelledPitch pitch;
    bool tie = false;
};

struct Entry {
    int serial = 0;
    int64_t start = 0;   // divisions from the start of the measure
    int64_t length = 0;  // sounding, in divisions (0 for grace notes)
    int32_t notated = 0;
    bool rest = false;
    bool grace = false;
    bool beamStart = false;
    std::vector<Note> notes;
    std::set<int> articulations;
    bool tupletStart = false;
    bool tupletEnd = false;
    int tupletNotes = 0, tupletUnit = 0, tupletReference = 0, tupletReferenceUnit = 0;
    int line = 0;
};

// A tuplet being collected in a layer.
struct OpenTuplet {
    bool open = false;
    bool explicitEnd = false;  // closed by a tuplet stop, not by its length
    int actual = 0, normal = 0;
    int32_t unit = 0;  // 0: taken from the notated sum at the stop
    int64_t sum = 0;
    size_t first = 0;
    int line = 0;
};

struct Layer {
    std::vector<Entry> entries;
    int64_t cursor = 0;
    OpenTuplet tuplet;
};

struct Statement {
    std::string text;
    int line = 0;
};

struct Measure {
    Meter meter;
    uint16_t key = 0;
    int barline = 0;
    int line = 0;
    int64_t lengthEdu = 0;             // of the first part's time signature
    std::map<int, Meter> staffMeters;  // staves with their own time signature
    std::map<int, uint16_t> staffKeys;
    std::vector<Statement> expressions;
    std::vector<Statement> chords;
    std::map<std::pair<int, int>, Layer> layers;  // (staff, layer index)
    std::vector<Statement> shapes;
};

// Where an entry ended up: measure (0-based), staff, layer index and 1-based index in the layer.
struct EntryPlace {
    int measure = 0, staff = 0, layer = 0, index = 0;
};

struct PendingSlur {
    int serial = 0;
    bool dashed = false;
    int line = 0;
};

struct PendingWedge {
    bool crescendo = true;
    int measure = 0, staff = 0;
    int32_t position = 0;
    int line = 0;
};

const char* Text(const XMLElement* element) {
    const char* text = element ? element->GetText() : nullptr;
    return text ? text : "";
}

std::string Trim(const std::string& text) {
    size_t a = 0, b = text.size();
    while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
    return text.substr(a, b - a);
}

bool ParseInteger(const std::string& raw, int64_t low, int64_t high, int64_t* value) {
    const std::string text = Trim(raw);
    if (text.empty() || text.size() > 18) return false;
    size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (i == text.size()) return false;
    for (size_t k = i; k < text.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(text[k]))) return false;
    const int64_t v = std::strtoll(text.c_str(), nullptr, 10);
    if (v < low || v > high) return false;
    *value = v;
    return true;
}

class Importer {
public:
    Importer(const tinyxml2::XMLDocument& dom, const std::string& source, ImportResult* result, ScoreTextError* error)
        : dom_(dom), source_(source), result_(result), error_(error) {}

    bool Run();

private:
    bool Fail(const XMLElement* at, const std::string& message) { return FailLine(at ? at->GetLineNum() : 0, message); }
    bool FailLine(int line, const std::string& message) {
        if (error_) *error_ = ScoreTextError{source_, line, 0, message};
        return false;
    }

    bool ReadPart(const XMLElement* part, size_t index);
    bool ReadAttributes(const XMLElement* attributes);
    bool ReadNote(const XMLElement* note, size_t partIndex, int measure);
    void ReadSlurs(const XMLElement* notations, size_t partIndex, int serial);
    bool ReadDirection(const XMLElement* direction, size_t partIndex, int measure);
    bool ReadHarmony(const XMLElement* harmony, size_t partIndex, int measure);
    bool ReadBarline(const XMLElement* barline, int measure, bool firstPart);
    bool FinishMeasure(size_t partIndex, int measure);
    bool Duration(const XMLElement* owner, int64_t* divisions);
    bool StaffOf(const XMLElement* owner, size_t partIndex, int* staff);
    // Positions past the end of the measure are taken to its end.
    int32_t PositionEdu(int64_t position) const;
    int TextExpression(const std::string& key, const std::string& definition);
    void Emit(const std::string& text, int line) {
        result_->text += text + "\n";
        result_->xmlLines.push_back(line);
    }
    bool Write();

    const tinyxml2::XMLDocument& dom_;
    std::string source_;
    ImportResult* result_;
    ScoreTextError* error_;

    std::vector<Measure> measures_;
    int staffCount_ = 0;
    std::set<int> ownKeyStaves_, ownTimeStaves_;
    std::vector<std::pair<std::string, int>> definitions_;  // text-expression lines and their numbers
    std::map<std::string, int> definitionNumbers_;
    std::set<int> articulationKinds_;
    bool dynamicsCategory_ = false;
    int serials_ = 0;
    std::map<int, EntryPlace> places_;
    std::vector<std::pair<PendingSlur, int>> slurs_;  // start and the end's serial
    std::map<std::pair<size_t, std::string>, PendingSlur> openSlurs_;
    std::map<std::pair<size_t, std::string>, PendingWedge> openWedges_;

    // The part being read.
    int64_t divisions_ = 1;
    int64_t position_ = 0;
    Meter partMeter_;
    uint16_t partKey_ = 0;
    const Entry* lastEntry_ = nullptr;
    std::pair<int, int> lastLayer_;
};

int32_t Importer::PositionEdu(int64_t position) const {
    return int32_t(std::min(position * 1024 / divisions_, MeterLength(partMeter_)));
}

int Importer::TextExpression(const std::string& key, const std::string& definition) {
    auto known = definitionNumbers_.find(key);
    if (known != definitionNumbers_.end()) return known->second;
    const int number = int(definitions_.size()) + 1;
    definitions_.push_back({definition, number});
    definitionNumbers_[key] = number;
    return number;
}

bool Importer::Duration(const XMLElement* owner, int64_t* divisions) {
    const XMLElement* duration = owner->FirstChildElement("duration");
    if (!duration) return Fail(owner, std::string("<") + owner->Name() + "> without <duration>");
    if (!ParseInteger(Text(duration), 0, 0x7FFFFFFF, divisions))
        return Fail(duration, "expected a whole number of divisions in <duration>, not \"" +
                                  scoretext::QuoteForMessage(Text(duration)) + "\"");
    return true;
}

bool Importer::StaffOf(const XMLElement* owner, size_t partIndex, int* staff) {
    const ImportedPart& part = result_->parts[partIndex];
    int64_t local = 1;
    if (const XMLElement* element = owner->FirstChildElement("staff")) {
        if (!ParseInteger(Text(element), 1, part.staves, &local))
            return Fail(element, "staff " + scoretext::QuoteForMessage(Text(element)) + " does not exist in part " +
                                     part.id + " (it has " + std::to_string(part.staves) + ")");
    }
    *staff = part.firstStaff + int(local) - 1;
    return true;
}

bool Importer::Run() {
    const XMLElement* root = dom_.RootElement();
    if (!root) return FailLine(1, "no root element");
    if (std::strcmp(root->Name(), "score-timewise") == 0)
        return Fail(root, "timewise MusicXML (score-timewise) is not supported; convert it to score-partwise");
    if (std::strcmp(root->Name(), "score-partwise") != 0)
        return Fail(root, std::string("expected <score-partwise>, found <") + root->Name() + ">");

    // The parts in the part list's order give the staves.
    std::vector<const XMLElement*> partElements;
    for (const XMLElement* part = root->FirstChildElement("part"); part; part = part->NextSiblingElement("part"))
        partElements.push_back(part);
    if (partElements.empty()) return Fail(root, "the score has no <part>");
    for (const XMLElement* part : partElements) {
        ImportedPart imported;
        const char* id = part->Attribute("id");
        imported.id = id ? id : "";
        // The most staves any of its attributes declare.
        int64_t staves = 1;
        for (const XMLElement* m = part->FirstChildElement("measure"); m; m = m->NextSiblingElement("measure"))
            for (const XMLElement* a = m->FirstChildElement("attributes"); a; a = a->NextSiblingElement("attributes"))
                if (const XMLElement* s = a->FirstChildElement("staves")) {
                    int64_t value;
                    if (!ParseInteger(Text(s), 1, 16, &value))
                        return Fail(
                            s, "expected 1 to 16 in <staves>, not \"" + scoretext::QuoteForMessage(Text(s)) + "\"");
                    staves = std::max(staves, value);
                }
        imported.staves = int(staves);
        imported.firstStaff = staffCount_ + 1;
        imported.voices.resize(size_t(staves));
        staffCount_ += int(staves);
        if (staffCount_ > 256) return Fail(part, "more than 256 staves");
        result_->parts.push_back(imported);
    }
    for (size_t p = 0; p < partElements.size(); ++p)
        if (!ReadPart(partElements[p], p)) return false;
    return Write();
}

bool Importer::ReadPart(const XMLElement* part, size_t index) {
    divisions_ = 1;
    partMeter_ = Meter::Simple(4, 1024);
    partKey_ = 0;
    lastEntry_ = nullptr;
    ImportedPart& imported = result_->parts[index];
    int measure = 0;
    for (const XMLElement* m = part->FirstChildElement("measure"); m; m = m->NextSiblingElement("measure"), ++measure) {
        if (index == 0) {
            if (measure >= 9999) return Fail(m, "more than 9999 measures");
            measures_.emplace_back();
            measures_.back().line = m->GetLineNum();
        } else if (measure >= int(measures_.size())) {
            return Fail(m, "part " + imported.id + " has more measures than the first part (" +
                               std::to_string(measures_.size()) + ")");
        }
        imported.measures.push_back(m);
        imported.divisions.push_back(divisions_);
        position_ = 0;
        lastEntry_ = nullptr;
        bool attributesSeen = false;
        for (const XMLElement* child = m->FirstChildElement(); child; child = child->NextSiblingElement()) {
            const std::string name = child->Name();
            if (name == "attributes") {
                if (!ReadAttributes(child)) return false;
                if (!attributesSeen && position_ == 0) imported.divisions.back() = divisions_;
                attributesSeen = true;
            } else if (name == "note") {
                if (!ReadNote(child, index, measure)) return false;
            } else if (name == "backup" || name == "forward") {
                int64_t duration;
                if (!Duration(child, &duration)) return false;
                if (name == "backup") {
                    if (duration > position_) return Fail(child, "<backup> goes back before the start of the measure");
                    position_ -= duration;
                } else {
                    position_ += duration;
                }
            } else if (name == "direction") {
                if (!ReadDirection(child, index, measure)) return false;
            } else if (name == "harmony") {
                if (!ReadHarmony(child, index, measure)) return false;
            } else if (name == "barline") {
                if (!ReadBarline(child, measure, index == 0)) return false;
            }
        }
        if (!FinishMeasure(index, measure)) return false;
    }
    if (measure != int(measures_.size()))
        return Fail(part, "part " + imported.id + " has " + std::to_string(measure) + " measures, the first part " +
                              std::to_string(measures_.size()));
    return true;
}

bool ParseMeter(const XMLElement* time, Meter* meter, std::string* problem) {
    std::vector<std::vector<int>> groups;
    std::vector<int> durations;
    const XMLElement* beats = time->FirstChildElement("beats");
    if (!beats) {
        *problem = "<time> without <beats> (senza misura is not supported)";
        return false;
    }
    for (; beats; beats = beats->NextSiblingElement("beats")) {
        const XMLElement* type = beats->NextSiblingElement("beat-type");
        if (!type) {
            *problem = "<beats> without <beat-type>";
            return false;
        }
        int64_t beatType;
        if (!ParseInteger(Text(type), 1, 1024, &beatType) || (beatType & (beatType - 1)) != 0) {
            *problem = "expected a beat type 1, 2, 4, ... 1024, not \"" + scoretext::QuoteForMessage(Text(type)) + "\"";
            return false;
        }
        std::vector<int> group;
        std::string text = Text(beats);
        size_t start = 0;
        while (true) {
            const size_t plus = text.find('+', start);
            int64_t value;
            if (!ParseInteger(text.substr(start, plus == std::string::npos ? std::string::npos : plus - start), 1,
                              0x7FFF, &value)) {
                *problem = "expected beats such as 3 or 3+2, not \"" + scoretext::QuoteForMessage(text) + "\"";
                return false;
            }
            group.push_back(int(value));
            if (plus == std::string::npos) break;
            start = plus + 1;
        }
        groups.push_back(group);
        durations.push_back(int(4096 / beatType));
    }
    if (groups.size() == 1 && groups[0].size() == 1) {
        *meter = Meter::Simple(groups[0][0], durations[0]);
    } else if (std::all_of(durations.begin(), durations.end(), [&](int d) { return d == durations[0]; })) {
        *meter = Meter::Composite(groups, durations[0]);
    } else {
        *meter = Meter::CompositePerGroup(groups, durations);
    }
    if (scoretext::TimeToken(*meter).empty()) {
        *problem = "this time signature cannot be kept";
        return false;
    }
    return true;
}

bool Importer::ReadAttributes(const XMLElement* attributes) {
    if (const XMLElement* divisions = attributes->FirstChildElement("divisions")) {
        if (!ParseInteger(Text(divisions), 1, kMaxDivisions, &divisions_))
            return Fail(divisions, "expected 1 to " + std::to_string(kMaxDivisions) + " in <divisions>, not \"" +
                                       scoretext::QuoteForMessage(Text(divisions)) + "\"");
    }
    if (const XMLElement* key = attributes->FirstChildElement("key")) {
        if (const XMLElement* fifths = key->FirstChildElement("fifths")) {
            int64_t value;
            if (!ParseInteger(Text(fifths), -7, 7, &value))
                return Fail(fifths,
                            "expected -7 to 7 in <fifths>, not \"" + scoretext::QuoteForMessage(Text(fifths)) + "\"");
            const bool minor = std::strcmp(Text(key->FirstChildElement("mode")), "minor") == 0;
            partKey_ = uint16_t((minor ? 0x100 : 0) | uint8_t(int8_t(value)));
        }
    }
    const XMLElement* time = attributes->FirstChildElement("time");
    // Without a meter (senza misura) the signature before stays in effect.
    if (time && !time->FirstChildElement("beats") && time->FirstChildElement("senza-misura")) time = nullptr;
    if (time) {
        std::string problem;
        if (!ParseMeter(time, &partMeter_, &problem)) return Fail(time, problem);
    }
    return true;
}

bool Importer::ReadNote(const XMLElement* note, size_t partIndex, int measure) {
    ImportedPart& part = result_->parts[partIndex];
    Measure& target = measures_[size_t(measure)];
    const bool chord = note->FirstChildElement("chord") != nullptr;
    const bool grace = note->FirstChildElement("grace") != nullptr;
    const bool rest = note->FirstChildElement("rest") != nullptr;

    Note pitch;
    if (!rest) {
        const XMLElement* p = note->FirstChildElement("pitch");
        const char* stepName = "step";
        const char* octaveName = "octave";
        if (!p) {
            p = note->FirstChildElement("unpitched");
            stepName = "display-step";
            octaveName = "display-octave";
        }
        if (!p) return Fail(note, "a <note> without <pitch>, <unpitched> or <rest>");
        const std::string step = Trim(Text(p->FirstChildElement(stepName)));
        static const char kSteps[] = "CDEFGAB";
        const char* found = step.size() == 1 ? std::strchr(kSteps, step[0]) : nullptr;
        if (!found || !step[0]) return Fail(p, "expected a step C to B in <" + std::string(stepName) + ">");
        pitch.pitch.letter = int(found - kSteps);
        int64_t octave, alter = 0;
        if (!ParseInteger(Text(p->FirstChildElement(octaveName)), 0, 9, &octave))
            return Fail(p, "expected an octave 0 to 9 in <" + std::string(octaveName) + ">");
        pitch.pitch.octave = int(octave);
        if (const XMLElement* a = p->FirstChildElement("alter")) {
            if (!ParseInteger(Text(a), -3, 3, &alter))
                return Fail(a, "expected a whole number of semitones -3 to 3 in <alter>, not \"" +
                                   scoretext::QuoteForMessage(Text(a)) + "\" (microtones are not supported)");
        }
        pitch.pitch.accidental = int(alter);
    }
    for (const XMLElement* tie = note->FirstChildElement("tie"); tie; tie = tie->NextSiblingElement("tie"))
        if (std::strcmp(tie->Attribute("type") ? tie->Attribute("type") : "", "start") == 0) pitch.tie = true;

    const XMLElement* notations = note->FirstChildElement("notations");
    if (notations)
        for (const XMLElement* tied = notations->FirstChildElement("tied"); tied;
             tied = tied->NextSiblingElement("tied"))
            if (tied->Attribute("type", "start")) pitch.tie = true;

    // Articulations of every note of a chord belong to the entry.
    std::set<int> articulations;
    if (notations)
        for (const XMLElement* a = notations->FirstChildElement("articulations"); a;
             a = a->NextSiblingElement("articulations"))
            for (const XMLElement* kind = a->FirstChildElement(); kind; kind = kind->NextSiblingElement()) {
                const int number = ArticulationNumber(kind->Name());
                if (number) articulations.insert(number), articulationKinds_.insert(number);
            }

    if (chord) {
        if (!lastEntry_) return Fail(note, "<chord/> without a note before it in the measure");
        Entry& entry = measures_[size_t(measure)].layers[lastLayer_].entries.back();
        if (entry.rest || rest) return Fail(note, "a rest cannot be part of a chord");
        entry.notes.push_back(pitch);
        entry.articulations.insert(articulations.begin(), articulations.end());
        // Slurs on chord notes belong to the entry.
        ReadSlurs(notations, partIndex, entry.serial);
        return true;
    }

    int staff;
    if (!StaffOf(note, partIndex, &staff)) return false;
    const int localStaff = staff - part.firstStaff;
    std::string voice = Trim(Text(note->FirstChildElement("voice")));
    if (voice.empty()) voice = "1";
    std::vector<std::string>& voices = part.voices[size_t(localStaff)];
    auto found = std::find(voices.begin(), voices.end(), voice);
    if (found == voices.end()) {
        if (voices.size() == size_t(kMaxLayers))
            return Fail(note, "voice " + scoretext::QuoteForMessage(voice) + " is a fifth voice on staff " +
                                  std::to_string(localStaff + 1) + " of part " + part.id +
                                  "; a staff holds at most four voices");
        voices.push_back(voice);
        found = voices.end() - 1;
    }
    const int layerIndex = int(found - voices.begin());
    Layer& layer = target.layers[{staff, layerIndex}];

    Entry entry;
    entry.serial = ++serials_;
    entry.rest = rest;
    entry.grace = grace;
    entry.line = note->GetLineNum();
    entry.articulations = articulations;
    if (!rest) entry.notes.push_back(pitch);

    // The notated value, from the type and dots.
    int32_t typed = 0;
    if (const XMLElement* type = note->FirstChildElement("type")) {
        typed = TypeDuration(Text(type));
        if (!typed) return Fail(type, "unknown note type \"" + scoretext::QuoteForMessage(Text(type)) + "\"");
        int32_t add = typed;
        for (const XMLElement* dot = note->FirstChildElement("dot"); dot; dot = dot->NextSiblingElement("dot")) {
            add /= 2;
            if (add == 0) return Fail(dot, "too many dots");
            typed += add;
        }
    }
    int actual = 1, normal = 1;
    int32_t normalUnit = 0;
    const XMLElement* modification = note->FirstChildElement("time-modification");
    if (modification) {
        int64_t a, n;
        if (!ParseInteger(Text(modification->FirstChildElement("actual-notes")), 1, 255, &a) ||
            !ParseInteger(Text(modification->FirstChildElement("normal-notes")), 1, 255, &n))
            return Fail(modification, "expected <actual-notes> and <normal-notes> of 1 to 255 in <time-modification>");
        actual = int(a);
        normal = int(n);
        if (const XMLElement* normalType = modification->FirstChildElement("normal-type")) {
            normalUnit = TypeDuration(Text(normalType));
            if (!normalUnit) return Fail(normalType, "unknown note type in <normal-type>");
            int32_t add = normalUnit;
            for (const XMLElement* dot = modification->FirstChildElement("normal-dot"); dot;
                 dot = dot->NextSiblingElement("normal-dot"))
                normalUnit += (add /= 2);
        }
        if (actual == normal) actual = normal = 1;
    }

    if (grace) {
        entry.notated = typed ? typed : 512;
        entry.length = 0;
    } else {
        int64_t duration;
        if (!Duration(note, &duration)) return false;
        if (duration == 0) return Fail(note, "a note of duration 0 that is not a grace note");
        // The sounding length in EDUs is duration * 1024 / divisions; scaled back by the tuplet
        // it must give the notated value exactly.
        const int64_t numerator = duration * 1024 * actual;
        const int64_t denominator = divisions_ * normal;
        if (typed && int64_t(typed) * denominator == numerator) {
            entry.notated = typed;
        } else if (numerator % denominator == 0 && numerator / denominator <= EntryStore::kMaxDuration &&
                   (!typed || actual == 1)) {
            entry.notated = int32_t(numerator / denominator);
        } else {
            return Fail(note, "the duration " + std::to_string(duration) + " at " + std::to_string(divisions_) +
                                  " divisions per quarter is not a whole number of EDUs" +
                                  (typed ? " and does not match the note's type" : ""));
        }
        if (entry.notated > EntryStore::kMaxDuration) return Fail(note, "the duration is too long");
        entry.length = duration;
    }

    // Beams: an entry starts a beamed group unless it continues or ends one.
    const XMLElement* beam = note->FirstChildElement("beam");
    while (beam && beam->Attribute("number") && !beam->Attribute("number", "1"))
        beam = beam->NextSiblingElement("beam");
    const std::string beamValue = beam ? Trim(Text(beam)) : "";
    entry.beamStart = !rest && entry.notated < 1024 && beamValue != "continue" && beamValue != "end";

    // The layer's time: gaps are filled with rests, overlaps are refused.
    if (!grace) {
        if (position_ < layer.cursor)
            return Fail(note,
                        "voice " + voice + " overlaps itself (the note starts before the voice's previous note ends)");
        if (position_ > layer.cursor) {
            if (layer.tuplet.open) return Fail(note, "a gap inside a tuplet");
            const int64_t gap = (position_ - layer.cursor) * 1024;
            if (gap % divisions_ != 0 || gap / divisions_ > EntryStore::kMaxDuration)
                return Fail(note, "the gap before this note is not a whole number of EDUs");
            Entry filler;
            filler.serial = ++serials_;
            filler.rest = true;
            filler.start = layer.cursor;
            filler.length = position_ - layer.cursor;
            filler.notated = int32_t(gap / divisions_);
            filler.line = entry.line;
            layer.entries.push_back(filler);
        }
    }
    entry.start = position_;

    // Tuplets.
    OpenTuplet& tuplet = layer.tuplet;
    bool tupletStop = false, tupletStartMark = false;
    if (notations)
        for (const XMLElement* t = notations->FirstChildElement("tuplet"); t; t = t->NextSiblingElement("tuplet")) {
            if (t->Attribute("type", "start")) tupletStartMark = true;
            if (t->Attribute("type", "stop")) tupletStop = true;
        }
    if (!grace && actual != 1) {
        if (tuplet.open && tupletStartMark) return Fail(note, "nested tuplets are not supported");
        if (!tuplet.open) {
            tuplet = OpenTuplet();
            tuplet.open = true;
            tuplet.explicitEnd = tupletStartMark;
            tuplet.actual = actual;
            tuplet.normal = normal;
            tuplet.unit = normalUnit ? normalUnit : (tupletStartMark ? 0 : entry.notated);
            tuplet.first = layer.entries.size();
            tuplet.line = entry.line;
            entry.tupletStart = true;
        } else if (tuplet.actual != actual || tuplet.normal != normal) {
            return Fail(note, "a tuplet of another ratio inside a tuplet (nested tuplets are not supported)");
        }
        tuplet.sum += entry.notated;
    } else if (!grace && tuplet.open) {
        return Fail(note, "the tuplet that starts on line " + std::to_string(tuplet.line) + " is not complete");
    }
    layer.entries.push_back(entry);
    Entry& stored = layer.entries.back();
    if (!grace && tuplet.open) {
        bool close = false;
        if (tuplet.explicitEnd) {
            close = tupletStop;
            if (!close && tuplet.unit && tuplet.sum > int64_t(tuplet.unit) * tuplet.actual)
                return Fail(note, "the tuplet is longer than its ratio says");
        } else {
            if (tuplet.sum > int64_t(tuplet.unit) * tuplet.actual)
                return Fail(note, "the tuplet is longer than its ratio says");
            close = tuplet.sum == int64_t(tuplet.unit) * tuplet.actual;
        }
        if (close) {
            int32_t unit = tuplet.unit;
            if (!unit) {
                if (tuplet.sum % tuplet.actual != 0) return Fail(note, "the tuplet's notes do not fill its ratio");
                unit = int32_t(tuplet.sum / tuplet.actual);
            }
            if (tuplet.sum != int64_t(unit) * tuplet.actual)
                return Fail(note, "the tuplet's notes do not fill its ratio");
            Entry& first = layer.entries[tuplet.first];
            first.tupletNotes = tuplet.actual;
            first.tupletUnit = unit;
            first.tupletReference = tuplet.normal;
            first.tupletReferenceUnit = unit;
            stored.tupletEnd = true;
            tuplet.open = false;
        }
    }

    ReadSlurs(notations, partIndex, stored.serial);

    lastEntry_ = &stored;
    lastLayer_ = {staff, layerIndex};
    if (!grace) {
        layer.cursor = position_ + stored.length;
        position_ += stored.length;
        if (position_ > (int64_t(1) << 40)) return Fail(note, "the measure is too long");
    }
    return true;
}

// Slurs pair by their number within the part.
void Importer::ReadSlurs(const XMLElement* notations, size_t partIndex, int serial) {
    if (!notations) return;
    for (const XMLElement* slur = notations->FirstChildElement("slur"); slur; slur = slur->NextSiblingElement("slur")) {
        const char* type = slur->Attribute("type");
        const char* number = slur->Attribute("number");
        const auto key = std::make_pair(partIndex, std::string(number ? number : "1"));
        if (type && std::strcmp(type, "start") == 0) {
            openSlurs_[key] =
                PendingSlur{serial, slur->Attribute("line-type", "dashed") != nullptr, slur->GetLineNum()};
        } else if (type && std::strcmp(type, "stop") == 0) {
            auto open = openSlurs_.find(key);
            if (open == openSlurs_.end()) continue;
            if (open->second.serial != serial) slurs_.push_back({open->second, serial});
            openSlurs_.erase(open);
        }
    }
}

bool Importer::ReadDirection(const XMLElement* direction, size_t partIndex, int measure) {
    Measure& target = measures_[size_t(measure)];
    int staff;
    if (!StaffOf(direction, partIndex, &staff)) return false;
    int64_t offset = 0;
    if (const XMLElement* o = direction->FirstChildElement("offset"))
        if (!ParseInteger(Text(o), -(int64_t(1) << 32), int64_t(1) << 32, &offset))
            return Fail(o, "expected a whole number of divisions in <offset>");
    const int64_t at = std::max<int64_t>(0, position_ + offset);
    const int32_t position = PositionEdu(at);
    const std::string where = "s" + std::to_string(staff);
    for (const XMLElement* type = direction->FirstChildElement("direction-type"); type;
         type = type->NextSiblingElement("direction-type")) {
        for (const XMLElement* item = type->FirstChildElement(); item; item = item->NextSiblingElement()) {
            const std::string name = item->Name();
            int definition = 0;
            if (name == "dynamics") {
                std::string dynamic;
                for (const XMLElement* d = item->FirstChildElement(); d; d = d->NextSiblingElement())
                    dynamic += std::strcmp(d->Name(), "other-dynamics") == 0 ? Trim(Text(d)) : d->Name();
                if (dynamic.empty()) continue;
                const char16_t glyph = DynamicGlyph(dynamic);
                std::u16string text = u"^fontMus(Maestro)^size(24)^nfx(0)";
                text += glyph ? std::u16string(1, glyph) : ToUTF16(dynamic);
                dynamicsCategory_ = true;
                definition = TextExpression("dynamics:" + dynamic, scoretext::QuotedToken(text) + " desc=" +
                                                                       scoretext::QuotedToken(ToUTF16(dynamic)) +
                                                                       " category=1 category-font");
            } else if (name == "words") {
                const std::string words = Text(item);
                if (Trim(words).empty()) continue;
                const bool italic = item->Attribute("font-style", "italic");
                std::u16string text = italic ? u"^fontTxt(Times New Roman)^size(12)^nfx(2)"
                                             : u"^fontTxt(Times New Roman)^size(12)^nfx(0)";
                for (char16_t c : ToUTF16(words)) {
                    text += c;
                    if (c == u'^') text += c;
                }
                definition =
                    TextExpression(std::string("words:") + (italic ? "i:" : ":") + words, scoretext::QuotedToken(text));
            } else if (name == "rehearsal") {
                const std::string mark = Trim(Text(item));
                if (mark.empty()) continue;
                std::u16string text;
                for (char16_t c : ToUTF16(mark)) {
                    text += c;
                    if (c == u'^') text += c;
                }
                definition = TextExpression("rehearsal:" + mark, scoretext::QuotedToken(text) + " rehearsal");
            } else if (name == "wedge") {
                const char* wedgeType = item->Attribute("type");
                const char* number = item->Attribute("number");
                const auto key = std::make_pair(partIndex, std::string(number ? number : "1"));
                if (!wedgeType) return Fail(item, "<wedge> without its type");
                if (std::strcmp(wedgeType, "crescendo") == 0 || std::strcmp(wedgeType, "diminuendo") == 0) {
                    openWedges_[key] = PendingWedge{std::strcmp(wedgeType, "crescendo") == 0, measure, staff, position,
                                                    item->GetLineNum()};
                } else if (std::strcmp(wedgeType, "stop") == 0) {
                    auto open = openWedges_.find(key);
                    if (open == openWedges_.end()) continue;
                    const PendingWedge& start = open->second;
                    if (measure > start.measure || position > start.position) {
                        std::string line = "s" + std::to_string(start.staff) +
                                           (start.crescendo ? " cresc @" : " dim @") + std::to_string(start.position) +
                                           "-";
                        if (measure != start.measure) line += std::to_string(measure + 1);
                        line += "@" + std::to_string(position);
                        measures_[size_t(start.measure)].shapes.push_back({line, start.line});
                    }
                    openWedges_.erase(open);
                }
                continue;
            }
            if (definition)
                target.expressions.push_back({where + " expression " + std::to_string(definition) +
                                                  (position ? " at=" + std::to_string(position) : ""),
                                              item->GetLineNum()});
        }
    }
    return true;
}

bool Importer::ReadHarmony(const XMLElement* harmony, size_t partIndex, int measure) {
    int staff;
    if (!StaffOf(harmony, partIndex, &staff)) return false;
    std::string symbol;
    if (!HarmonySymbol(harmony, &symbol)) return true;  // a harmony the document cannot hold stays in the file only
    int64_t offset = 0;
    if (const XMLElement* o = harmony->FirstChildElement("offset"))
        if (!ParseInteger(Text(o), -(int64_t(1) << 32), int64_t(1) << 32, &offset))
            return Fail(o, "expected a whole number of divisions in <offset>");
    const int32_t position = PositionEdu(std::max<int64_t>(0, position_ + offset));
    measures_[size_t(measure)].chords.push_back(
        {"s" + std::to_string(staff) + " chord " + std::to_string(position) + " " + symbol, harmony->GetLineNum()});
    return true;
}

bool Importer::ReadBarline(const XMLElement* barline, int measure, bool firstPart) {
    if (!firstPart) return true;
    const char* location = barline->Attribute("location");
    if (location && std::strcmp(location, "right") != 0) return true;
    const int style = BarlineStyle(Trim(Text(barline->FirstChildElement("bar-style"))));
    if (style >= 0) measures_[size_t(measure)].barline = style;
    return true;
}

bool Importer::FinishMeasure(size_t partIndex, int measure) {
    Measure& target = measures_[size_t(measure)];
    const ImportedPart& part = result_->parts[partIndex];
    if (partIndex == 0) {
        target.meter = partMeter_;
        target.key = partKey_;
        target.lengthEdu = MeterLength(partMeter_);
    }
    for (int staff = part.firstStaff; staff < part.firstStaff + part.staves; ++staff) {
        if (partIndex > 0) {
            if (partKey_ != measures_[size_t(measure)].key) ownKeyStaves_.insert(staff);
            target.staffKeys[staff] = partKey_;
            if (MeterLength(partMeter_) != target.lengthEdu ||
                scoretext::TimeToken(partMeter_) != scoretext::TimeToken(target.meter))
                ownTimeStaves_.insert(staff);
            target.staffMeters[staff] = partMeter_;
        }
        for (int layerIndex = 0; layerIndex < kMaxLayers; ++layerIndex) {
            auto found = target.layers.find({staff, layerIndex});
            if (found == target.layers.end()) continue;
            Layer& layer = found->second;
            if (layer.tuplet.open)
                return FailLine(layer.tuplet.line, "the tuplet that starts here does not end in its measure");
            int index = 0;
            for (const Entry& entry : layer.entries)
                places_[entry.serial] = EntryPlace{measure, staff, layerIndex, ++index};
        }
    }
    return true;
}

bool Importer::Write() {
    Emit("qzs 1", 1);
    for (int staff = 1; staff <= staffCount_; ++staff)
        Emit("staff " + std::to_string(staff) + (ownKeyStaves_.count(staff) ? " ownkey" : "") +
                 (ownTimeStaves_.count(staff) ? " owntime" : ""),
             1);
    int partNumber = 0;
    for (const ImportedPart& part : result_->parts) {
        std::string line = "part " + std::to_string(++partNumber) + " staves=";
        for (int s = 0; s < part.staves; ++s) line += (s ? "," : "") + std::to_string(part.firstStaff + s);
        Emit(line, 1);
    }
    if (dynamicsCategory_) Emit("category 1 \"Dynamics\"", 1);
    for (const auto& definition : definitions_)
        Emit("text-expression " + std::to_string(definition.second) + " " + definition.first, 1);
    for (int kind : articulationKinds_) Emit(ArticulationDefinitionLine(kind), 1);

    // Ties on the last entry of a staff's layer have nothing to end on.
    std::map<std::pair<int, int>, Entry*> last;
    for (Measure& measure : measures_)
        for (auto& layer : measure.layers)
            if (!layer.second.entries.empty()) last[layer.first] = &layer.second.entries.back();
    for (auto& entry : last)
        for (Note& note : entry.second->notes) note.tie = false;

    // Slurs between entries of one staff and layer.
    for (const auto& slur : slurs_) {
        const auto start = places_.find(slur.first.serial), end = places_.find(slur.second);
        if (start == places_.end() || end == places_.end()) continue;
        const EntryPlace& a = start->second;
        const EntryPlace& b = end->second;
        if (a.staff != b.staff || a.layer != b.layer) continue;  // a slur the document cannot hold
        if (b.measure < a.measure || (b.measure == a.measure && b.index <= a.index)) continue;
        std::string line =
            "s" + std::to_string(a.staff) + " slur " + std::to_string(a.index) + "-" + std::to_string(b.index);
        if (b.measure != a.measure) line += ":" + std::to_string(b.measure + 1);
        if (slur.first.dashed) line += " dashed";
        if (a.layer) line += " layer=" + std::to_string(a.layer + 1);
        measures_[size_t(a.measure)].shapes.push_back({line, slur.first.line});
    }

    std::string meterToken, keyToken;
    std::map<int, std::string> staffMeterTokens, staffKeyTokens;
    for (size_t m = 0; m < measures_.size(); ++m) {
        Measure& measure = measures_[m];
        std::string header = "measure " + std::to_string(m + 1);
        const std::string time = scoretext::TimeToken(measure.meter);
        if (time != meterToken) header += " " + time, meterToken = time;
        const std::string key = scoretext::KeyToken(measure.key);
        if (key != keyToken) header += " key=" + key, keyToken = key;
        if (measure.barline) header += " bar=" + scoretext::BarlineToken(measure.barline);
        Emit(header, measure.line);
        for (int staff = 1; staff <= staffCount_; ++staff) {
            std::string cell;
            if (ownTimeStaves_.count(staff) && measure.staffMeters.count(staff)) {
                const std::string t = scoretext::TimeToken(measure.staffMeters[staff]);
                if (staffMeterTokens[staff] != t) cell += " " + t, staffMeterTokens[staff] = t;
            }
            if (ownKeyStaves_.count(staff) && measure.staffKeys.count(staff)) {
                const std::string k = scoretext::KeyToken(measure.staffKeys[staff]);
                if (staffKeyTokens[staff] != k) cell += " key=" + k, staffKeyTokens[staff] = k;
            }
            if (!cell.empty()) Emit("s" + std::to_string(staff) + " cell" + cell, measure.line);
        }
        for (const Statement& s : measure.expressions) Emit(s.text, s.line);
        for (const Statement& s : measure.chords) Emit(s.text, s.line);
        for (auto& item : measure.layers) {
            const int staff = item.first.first, layerIndex = item.first.second;
            Layer& layer = item.second;
            if (layer.entries.empty()) continue;
            // The layer's own time signature decides whether it runs past the measure.
            const Meter& meter = measure.staffMeters.count(staff) ? measure.staffMeters[staff] : measure.meter;
            // The sounding length (tuplets shorten their notes) against the measure's.
            int64_t sounding = 0;
            int actual = 1, normal = 1;
            for (const Entry& e : layer.entries) {
                if (e.tupletStart) actual = e.tupletNotes, normal = e.tupletReference;
                if (!e.grace) sounding += int64_t(e.notated) * normal * 1000 / actual;
                if (e.tupletEnd) actual = normal = 1;
            }
            const bool overfull = sounding > MeterLength(meter) * 1000;
            std::string line = "s" + std::to_string(staff);
            if (layerIndex) line += " L" + std::to_string(layerIndex + 1);
            if (overfull) line += " overfull";
            line += ":";
            int32_t duration = 0;
            for (const Entry& e : layer.entries) {
                if (e.tupletStart) {
                    line += " {" + std::to_string(e.tupletNotes) + "x" + scoretext::DurationToken(e.tupletUnit) + ":" +
                            std::to_string(e.tupletReference) + "x" + scoretext::DurationToken(e.tupletReferenceUnit);
                    duration = 0;
                }
                if (e.notated != duration) line += " " + scoretext::DurationToken(e.notated), duration = e.notated;
                line += " ";
                if (e.beamStart) line += "[";
                if (e.grace) line += "g";
                if (e.rest) {
                    line += "r";
                } else if (e.notes.size() == 1) {
                    line += scoretext::PitchToken(e.notes[0].pitch) + (e.notes[0].tie ? "~" : "");
                } else {
                    line += "<";
                    for (size_t n = 0; n < e.notes.size(); ++n)
                        line += (n ? " " : "") + scoretext::PitchToken(e.notes[n].pitch) + (e.notes[n].tie ? "~" : "");
                    line += ">";
                }
                for (int a : e.articulations) line += "!art" + std::to_string(a);
                if (e.tupletEnd) line += "}";
            }
            Emit(line, layer.entries.front().line);
        }
        for (const Statement& s : measure.shapes) Emit(s.text, s.line);
    }
    result_->measureCount = int(measures_.size());
    return true;
}

}  // namespace

bool MusicXmlImport::Run(ImportResult* result, ScoreTextError* error) {
    *result = ImportResult();
    Importer importer(dom_, source_, result, error);
    return importer.Run();
}

}  // namespace musicxml
}  // namespace simhost
