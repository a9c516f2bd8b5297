#include "simhost/musicxml/MusicXmlExport.h"

#include "simhost/Unicode.h"
#include "simhost/ScoreTextSyntax.h"
#include "simhost/musicxml/MusicXmlNames.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <tuple>

namespace simhost {
namespace musicxml {

namespace {

using scoretext::ScoreSyntax;
using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;
using tinyxml2::XMLNode;

constexpr int64_t kMaxDivisions = 1 << 24;

int64_t Gcd(int64_t a, int64_t b) {
    while (b) {
        const int64_t t = a % b;
        a = b;
        b = t;
    }
    return a < 0 ? -a : a;
}

// A time in quarters, reduced.
struct Time {
    int64_t num = 0;
    int64_t den = 1;
    static Time Of(int64_t n, int64_t d) {
        const int64_t g = Gcd(n, d);
        return g ? Time{n / g, d / g} : Time{0, 1};
    }
    static Time Edu(int64_t edu) { return Of(edu, 1024); }
    Time operator+(const Time& o) const { return Of(num * o.den + o.num * den, den * o.den); }
    Time operator-(const Time& o) const { return Of(num * o.den - o.num * den, den * o.den); }
    bool operator<(const Time& o) const { return num * o.den < o.num * den; }
    bool operator==(const Time& o) const { return num == o.num && den == o.den; }
    bool operator<=(const Time& o) const { return !(o < *this); }
    // In divisions (exact when den divides divisions).
    int64_t In(int64_t divisions) const { return num * divisions / den; }
};

// The lines of a score text by measure and staff, each with its measure's line and the
// definitions its lines use: what the export compares to see which measures a task changed.
std::map<std::pair<int, int>, std::string> Fingerprints(const std::string& text) {
    std::map<std::pair<int, int>, std::string> blocks;
    std::map<int, std::string> headers;
    std::map<std::string, std::string> definitions;  // "articulation 3": its line
    int first = 0, last = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.compare(0, 8, "measure ") == 0) {
            const size_t space = line.find(' ', 8);
            const std::string range = line.substr(8, space == std::string::npos ? std::string::npos : space - 8);
            const size_t dash = range.find('-');
            first = std::atoi(range.c_str());
            last = dash == std::string::npos ? first : std::atoi(range.c_str() + dash + 1);
            for (int m = first; m <= last && m - first < 100000; ++m)
                headers[m] = space == std::string::npos ? std::string() : line.substr(space);
        } else if (first && line.size() > 1 && line[0] == 's' && std::isdigit(static_cast<unsigned char>(line[1]))) {
            std::string& block = blocks[{first, std::atoi(line.c_str() + 1)}];
            block += line + "\n";
            // The definitions a line uses are part of it: a changed text changes the measure.
            const size_t expression = line.find(" expression ");
            if (expression != std::string::npos && line.find(" shape", expression) == std::string::npos)
                block += definitions["text-expression " + std::to_string(std::atoi(line.c_str() + expression + 12))];
            for (size_t mark = line.find("!art"); mark != std::string::npos; mark = line.find("!art", mark + 4))
                block += definitions["articulation " + std::to_string(std::atoi(line.c_str() + mark + 4))];
        } else if (!first &&
                   (line.compare(0, 16, "text-expression ") == 0 || line.compare(0, 13, "articulation ") == 0)) {
            const size_t second = line.find(' ', line.find(' ') + 1);
            definitions[line.substr(0, second)] = line + "\n";
        }
    }
    for (auto& block : blocks) block.second = headers[block.first.first] + "\n" + block.second;
    // Measures without staff lines still have their header.
    for (const auto& header : headers) blocks[{header.first, 0}] = header.second;
    return blocks;
}

struct SlurEvent {
    bool start = false;
    int number = 1;
    bool dashed = false;
};

struct WedgeEvent {
    int32_t position = 0;
    bool start = false;
    bool crescendo = false;
    int number = 1;
};

// What a changed measure keeps from its original that the document does not model.
struct KeptItem {
    Time position;
    int staff = 1;                  // of the part
    XMLElement* element = nullptr;  // in the output document
    int order = 0;
};

struct OriginalNote {
    const XMLElement* element = nullptr;
    int staff = 1;
    std::string voice;
    Time start;
    std::string pitch;  // "C4+1", or "r"
    bool grace = false;
    bool used = false;
};

// Elements of a note the document models; the others are kept.
bool ModelledNoteChild(const char* name) {
    static const char* const kNames[] = {"chord", "grace",    "pitch", "rest", "unpitched",         "duration",
                                         "tie",   "voice",    "type",  "dot",  "time-modification", "staff",
                                         "beam",  "notations"};
    for (const char* known : kNames)
        if (std::strcmp(known, name) == 0) return true;
    return false;
}

// The order of a note's children in the MusicXML schema.
int NoteChildRank(const char* name) {
    static const char* const kOrder[] = {
        "grace",      "cue",      "chord",         "pitch", "unpitched", "rest",      "duration",   "tie",
        "instrument", "footnote", "level",         "voice", "type",      "dot",       "accidental", "time-modification",
        "stem",       "notehead", "notehead-text", "staff", "beam",      "notations", "lyric",      "play",
        "listen"};
    for (size_t i = 0; i < sizeof kOrder / sizeof kOrder[0]; ++i)
        if (std::strcmp(kOrder[i], name) == 0) return int(i);
    return 100;
}

bool ModelledDirectionType(const char* name) {
    return std::strcmp(name, "dynamics") == 0 || std::strcmp(name, "words") == 0 || std::strcmp(name, "wedge") == 0 ||
           std::strcmp(name, "rehearsal") == 0;
}

std::string PitchKey(const SpelledPitch& pitch) {
    return std::string(1, "CDEFGAB"[pitch.letter % 7]) + std::to_string(pitch.octave) +
           (pitch.accidental >= 0 ? "+" : "") + std::to_string(pitch.accidental);
}

std::string PitchKey(const XMLElement* note) {
    if (note->FirstChildElement("rest")) return "r";
    const XMLElement* pitch = note->FirstChildElement("pitch");
    if (!pitch) return "?";
    const char* step = pitch->FirstChildElement("step") ? pitch->FirstChildElement("step")->GetText() : nullptr;
    const char* octave = pitch->FirstChildElement("octave") ? pitch->FirstChildElement("octave")->GetText() : nullptr;
    const char* alter = pitch->FirstChildElement("alter") ? pitch->FirstChildElement("alter")->GetText() : nullptr;
    const int a = alter ? std::atoi(alter) : 0;
    return std::string(step ? step : "?") + std::to_string(octave ? std::atoi(octave) : 0) + (a >= 0 ? "+" : "") +
           std::to_string(a);
}

XMLElement* AddText(XMLElement* parent, const char* name, const std::string& text) {
    XMLElement* child = parent->GetDocument()->NewElement(name);
    child->SetText(text.c_str());
    parent->InsertEndChild(child);
    return child;
}

// The time element of a meter: "3+2" over 8, or one beats/beat-type pair per group.
void WriteTime(const Meter& meter, XMLElement* time) {
    auto beatType = [](int duration) { return std::to_string(duration > 0 ? 4096 / duration : 4); };
    if (!meter.IsComposite()) {
        // A dotted beat (2/4.) is written in the note value of its thirds (6/8).
        int beats = meter.beats, duration = meter.beatDuration;
        while (duration > 0 && duration % 3 == 0) duration /= 3, beats *= 3;
        AddText(time, "beats", std::to_string(beats));
        AddText(time, "beat-type", beatType(duration));
        return;
    }
    for (size_t g = 0; g < meter.groups.size(); ++g) {
        const int duration = meter.groupDurations.empty() ? meter.beatDuration : meter.groupDurations[g];
        std::string beats;
        for (int b : meter.groups[g]) beats += (beats.empty() ? "" : "+") + std::to_string(b);
        AddText(time, "beats", beats);
        AddText(time, "beat-type", beatType(duration));
    }
}

class Writer {
public:
    Writer(const XMLDocument* original, const ImportResult* imported, const std::string& importedText,
           const ScoreSyntax& syntax, std::vector<std::string>* dropped, ScoreTextError* error)
        : original_(original),
          imported_(imported),
          importedText_(importedText),
          syntax_(syntax),
          dropped_(dropped),
          error_(error) {}

    bool Run(const std::string& currentText, std::string* xml);

private:
    struct Part {
        std::vector<int> staves;
        std::string id;
        const ImportedPart* imported = nullptr;
    };

    bool Fail(const std::string& message) {
        if (error_) *error_ = ScoreTextError{"<musicxml>", 0, 0, message};
        return false;
    }
    void Drop(const std::string& kind, size_t part, int measure) {
        auto& entry = droppedKinds_[kind];
        ++entry.first;
        entry.second.insert(parts_[part].id + " measure " + std::to_string(measure));
    }

    void PrepareParts();
    void FindChanges(const std::string& currentText);
    void PrepareShapes();
    void PrepareTies();
    XMLElement* PartList();
    bool WritePart(size_t part, XMLElement* out);
    bool WriteMeasure(size_t part, int measure, XMLElement* out);
    const scoretext::MeasureStatement* MeasureAt(int measure) const {
        return measure >= 1 && size_t(measure) <= byMeasure_.size() ? byMeasure_[size_t(measure - 1)] : nullptr;
    }
    std::string VoiceOf(size_t part, int localStaff, int layer) const;
    // The key and time signature in effect on a staff: its own (cells) or the measure's.
    uint16_t KeyOf(int staff, int measure) const;
    Meter MeterOf(int staff, int measure) const;
    XMLElement* Direction(const scoretext::ExpressionStatement& expression, bool multiStaff, int localStaff);
    void KeepNoteExtras(const XMLElement* original, XMLElement* note);

    const XMLDocument* original_;
    const ImportResult* imported_;
    std::string importedText_;
    const ScoreSyntax& syntax_;
    std::vector<std::string>* dropped_;
    ScoreTextError* error_;

    XMLDocument out_;
    std::vector<Part> parts_;
    bool usable_ = false;  // the original's parts are the document's
    std::vector<const scoretext::MeasureStatement*> byMeasure_;
    std::set<std::pair<size_t, int>> changed_;
    std::map<std::tuple<int, int, int, int>, std::vector<SlurEvent>> slurs_;  // staff, layer, measure, index
    std::map<std::pair<int, int>, std::vector<WedgeEvent>> wedges_;           // staff, measure
    std::set<std::tuple<int, int, int, int, int>> tieStops_;                  // staff, layer, measure, index, note
    std::map<std::string, std::pair<int, std::set<std::string>>> droppedKinds_;
    std::map<int, size_t> partOfStaff_;
    // Per staff with cells of its own: the cell whose key (time signature) is in effect in each measure.
    std::map<int, std::vector<const scoretext::CellStatement*>> keyCells_, meterCells_;
    int64_t divisions_ = 1;  // in effect in the part being written
};

std::string Writer::VoiceOf(size_t part, int localStaff, int layer) const {
    const ImportedPart* imported = parts_[part].imported;
    if (imported && size_t(localStaff) < imported->voices.size() &&
        size_t(layer) < imported->voices[size_t(localStaff)].size())
        return imported->voices[size_t(localStaff)][size_t(layer)];
    return std::to_string(localStaff * 4 + layer + 1);
}

uint16_t Writer::KeyOf(int staff, int measure) const {
    auto cells = keyCells_.find(staff);
    if (cells != keyCells_.end() && measure >= 1 && size_t(measure) <= cells->second.size() &&
        cells->second[size_t(measure - 1)])
        return cells->second[size_t(measure - 1)]->key;
    const scoretext::MeasureStatement* statement = MeasureAt(measure);
    return statement ? statement->key : 0;
}

Meter Writer::MeterOf(int staff, int measure) const {
    auto cells = meterCells_.find(staff);
    if (cells != meterCells_.end() && measure >= 1 && size_t(measure) <= cells->second.size() &&
        cells->second[size_t(measure - 1)])
        return cells->second[size_t(measure - 1)]->meter;
    const scoretext::MeasureStatement* statement = MeasureAt(measure);
    return statement ? statement->meter : Meter::Simple(4, 1024);
}

void Writer::PrepareParts() {
    std::set<int> placed;
    for (const scoretext::PartStatement& p : syntax_.parts) {
        if (p.staves.empty()) continue;
        Part part;
        part.staves = p.staves;
        parts_.push_back(part);
        placed.insert(p.staves.begin(), p.staves.end());
    }
    for (const scoretext::StaffStatement& s : syntax_.staves)
        if (!placed.count(s.number)) {
            Part part;
            part.staves = {s.number};
            parts_.push_back(part);
        }
    // The original's parts serve when they hold the same staves in the same order.
    usable_ = original_ && imported_ && imported_->parts.size() == parts_.size();
    for (size_t p = 0; usable_ && p < parts_.size(); ++p) {
        const ImportedPart& ip = imported_->parts[p];
        std::vector<int> staves;
        for (int s = 0; s < ip.staves; ++s) staves.push_back(ip.firstStaff + s);
        usable_ = staves == parts_[p].staves;
    }
    for (size_t p = 0; p < parts_.size(); ++p) {
        parts_[p].imported = usable_ ? &imported_->parts[p] : nullptr;
        parts_[p].id = usable_ ? imported_->parts[p].id : "P" + std::to_string(p + 1);
        for (int s : parts_[p].staves) partOfStaff_[s] = p;
    }
    for (const scoretext::MeasureStatement& m : syntax_.measures)
        for (int n = m.first; n <= m.last; ++n) {
            if (byMeasure_.size() < size_t(n)) byMeasure_.resize(size_t(n), nullptr);
            byMeasure_[size_t(n - 1)] = &m;
        }
    for (size_t m = 0; m < byMeasure_.size(); ++m) {
        for (auto* cells : {&keyCells_, &meterCells_})
            for (auto& staff : *cells) staff.second[m] = m ? staff.second[m - 1] : nullptr;
        if (!byMeasure_[m] || byMeasure_[m]->first != int(m + 1)) continue;
        for (const scoretext::CellStatement& cell : byMeasure_[m]->cells) {
            if (cell.hasKey) {
                auto& list = keyCells_[cell.staff];
                list.resize(byMeasure_.size(), nullptr);
                list[m] = &cell;
            }
            if (cell.hasMeter) {
                auto& list = meterCells_[cell.staff];
                list.resize(byMeasure_.size(), nullptr);
                list[m] = &cell;
            }
        }
    }
}

void Writer::FindChanges(const std::string& currentText) {
    const auto now = Fingerprints(currentText);
    const auto before = Fingerprints(importedText_);
    const int count = int(byMeasure_.size());
    for (size_t p = 0; p < parts_.size(); ++p)
        for (int m = 1; m <= count; ++m) {
            bool same = usable_ && m <= imported_->measureCount;
            auto fingerprint = [&](const std::map<std::pair<int, int>, std::string>& blocks, int staff) {
                auto found = blocks.find({m, staff});
                return found == blocks.end() ? std::string() : found->second;
            };
            same = same && fingerprint(now, 0) == fingerprint(before, 0);
            for (int staff : parts_[p].staves) same = same && fingerprint(now, staff) == fingerprint(before, staff);
            if (!same) changed_.insert({p, m});
        }
    // A shape across measures is written whole or not at all: its measures change together.
    ScoreSyntax previous;
    ScoreTextError ignored;
    std::vector<scoretext::ShapeStatement> shapes = syntax_.shapes;
    if (scoretext::Parse(importedText_, "<imported>", &previous, &ignored))
        shapes.insert(shapes.end(), previous.shapes.begin(), previous.shapes.end());
    for (bool again = true; again;) {
        again = false;
        for (const scoretext::ShapeStatement& shape : shapes) {
            auto part = partOfStaff_.find(shape.staff);
            if (part == partOfStaff_.end() || shape.left.measure == shape.right.measure) continue;
            bool any = false;
            for (int m = shape.left.measure; m <= shape.right.measure && !any; ++m)
                any = changed_.count({part->second, m}) > 0;
            if (!any) continue;
            for (int m = shape.left.measure; m <= shape.right.measure; ++m)
                if (m <= count && changed_.insert({part->second, m}).second) again = true;
        }
    }
}

void Writer::PrepareShapes() {
    // Numbers are given so that no two shapes of a part that may overlap share one.
    struct Open {
        size_t part;
        int number;
        int lastMeasure;
        bool slur;
    };
    std::vector<Open> open;
    std::vector<const scoretext::ShapeStatement*> ordered;
    for (const scoretext::ShapeStatement& s : syntax_.shapes) ordered.push_back(&s);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const scoretext::ShapeStatement* a, const scoretext::ShapeStatement* b) {
                         return a->left.measure < b->left.measure;
                     });
    for (const scoretext::ShapeStatement* s : ordered) {
        // Shapes that ended before this one starts free their numbers.
        open.erase(
            std::remove_if(open.begin(), open.end(), [&](const Open& o) { return o.lastMeasure < s->left.measure; }),
            open.end());
        const bool slur =
            s->entryAttached && (s->type == 15 || s->type == 42 || s->type == 16 || s->type == 0 || s->type == 1 ||
                                 s->type == 8 || s->type == 9 || s->type == 40 || s->type == 41);
        const bool wedge = !s->entryAttached && (s->type == 2 || s->type == 3);
        auto part = partOfStaff_.find(s->staff);
        if (part == partOfStaff_.end()) continue;
        if (!slur && !wedge) {
            Drop("smart shape (type " + std::to_string(s->type) + ")", part->second, s->left.measure);
            continue;
        }
        int number = 1;
        for (bool taken = true; taken; ++number) {
            taken = false;
            for (const Open& o : open)
                if (o.part == part->second && o.slur == slur && o.number == number && o.lastMeasure >= s->left.measure)
                    taken = true;
            if (!taken) break;
        }
        open.push_back({part->second, number, s->right.measure, slur});
        if (slur) {
            const bool dashed = s->type == 42 || s->type == 16;
            slurs_[std::make_tuple(s->staff, s->layer, s->left.measure, s->left.index)].push_back(
                {true, number, dashed});
            slurs_[std::make_tuple(s->staff, s->layer, s->right.measure, s->right.index)].push_back(
                {false, number, dashed});
        } else {
            const bool crescendo = s->type == 3;
            wedges_[{s->staff, s->left.measure}].push_back({s->left.position, true, crescendo, number});
            wedges_[{s->staff, s->right.measure}].push_back({s->right.position, false, crescendo, number});
        }
    }
}

void Writer::PrepareTies() {
    // The notes that end a tie: the same pitch in the next entry of the staff's layer.
    std::map<std::pair<int, int>, std::vector<SpelledPitch>> tied;
    for (size_t m = 0; m < byMeasure_.size(); ++m) {
        const scoretext::MeasureStatement* statement = byMeasure_[m];
        if (!statement || statement->first != int(m + 1)) continue;
        for (const scoretext::LayerStatement& layer : statement->layers) {
            auto& pending = tied[{layer.staff, layer.layer}];
            for (size_t e = 0; e < layer.entries.size(); ++e) {
                const scoretext::EntryItem& entry = layer.entries[e];
                if (entry.grace) continue;
                std::vector<SpelledPitch> next;
                for (size_t n = 0; n < entry.notes.size(); ++n) {
                    const SpelledPitch& pitch = entry.notes[n].pitch;
                    for (const SpelledPitch& p : pending)
                        if (!entry.rest && p.letter == pitch.letter && p.accidental == pitch.accidental &&
                            p.octave == pitch.octave)
                            tieStops_.insert(std::make_tuple(layer.staff, layer.layer, int(m + 1), int(e), int(n)));
                    if (entry.notes[n].tie && !entry.rest) next.push_back(pitch);
                }
                pending = next;
            }
        }
    }
}

XMLElement* Writer::PartList() {
    XMLElement* list = out_.NewElement("part-list");
    const XMLElement* originalList =
        original_ && original_->RootElement() ? original_->RootElement()->FirstChildElement("part-list") : nullptr;
    if (usable_ && originalList) return originalList->DeepClone(&out_)->ToElement();
    for (size_t p = 0; p < parts_.size(); ++p) {
        XMLElement* scorePart = out_.NewElement("score-part");
        scorePart->SetAttribute("id", parts_[p].id.c_str());
        AddText(scorePart, "part-name", "Part " + std::to_string(p + 1));
        list->InsertEndChild(scorePart);
    }
    return list;
}

XMLElement* Writer::Direction(const scoretext::ExpressionStatement& expression, bool multiStaff, int localStaff) {
    const scoretext::TextExpressionStatement* definition = nullptr;
    for (const auto& d : syntax_.textExpressions)
        if (d.number == expression.definition) definition = &d;
    if (expression.shape || !definition || !definition->hasText) return nullptr;
    const std::u16string plain = StripCaretCommands(definition->text);
    XMLElement* direction = out_.NewElement("direction");
    XMLElement* type = out_.NewElement("direction-type");
    direction->InsertEndChild(type);
    const std::string dynamic = DynamicOfText(plain);
    const bool glyph = plain.size() == 1 && plain[0] > 127 && !dynamic.empty();
    if (definition->rehearsal) {
        direction->SetAttribute("placement", "above");
        AddText(type, "rehearsal", ToUTF8(plain));
    } else if (!dynamic.empty() && (definition->category == 1 || glyph)) {
        direction->SetAttribute("placement", "below");
        XMLElement* dynamics = out_.NewElement("dynamics");
        static const char* const kElements[] = {
            "p",  "pp", "ppp", "pppp", "ppppp", "pppppp", "f",   "ff",  "fff",  "ffff", "fffff", "ffffff", "mp",
            "mf", "sf", "sfp", "sfpp", "fp",    "rf",     "rfz", "sfz", "sffz", "fz",   "n",     "pf",     "sfzp"};
        bool known = false;
        for (const char* k : kElements) known = known || dynamic == k;
        if (known) {
            dynamics->InsertEndChild(out_.NewElement(dynamic.c_str()));
        } else {
            AddText(dynamics, "other-dynamics", dynamic);
        }
        type->InsertEndChild(dynamics);
    } else {
        direction->SetAttribute("placement", "above");
        XMLElement* words = AddText(type, "words", ToUTF8(plain));
        const std::u16string& text = definition->text;
        if (text.find(u"^nfx(2)") != std::u16string::npos) words->SetAttribute("font-style", "italic");
    }
    if (multiStaff) AddText(direction, "staff", std::to_string(localStaff + 1));
    return direction;
}

void Writer::KeepNoteExtras(const XMLElement* original, XMLElement* note) {
    // Attributes of the note element (print-object, layout) come along.
    for (const tinyxml2::XMLAttribute* a = original->FirstAttribute(); a; a = a->Next())
        if (!note->Attribute(a->Name())) note->SetAttribute(a->Name(), a->Value());
    for (const XMLElement* child = original->FirstChildElement(); child; child = child->NextSiblingElement()) {
        const char* name = child->Name();
        if (std::strcmp(name, "notations") == 0) {
            // Everything in the notations but ties, slurs, tuplets and the modelled articulations.
            XMLElement* notations = note->FirstChildElement("notations");
            for (const XMLElement* n = child->FirstChildElement(); n; n = n->NextSiblingElement()) {
                const char* kind = n->Name();
                if (std::strcmp(kind, "tied") == 0 || std::strcmp(kind, "slur") == 0 ||
                    std::strcmp(kind, "tuplet") == 0)
                    continue;
                XMLElement* copy = n->DeepClone(&out_)->ToElement();
                if (std::strcmp(kind, "articulations") == 0) {
                    for (XMLElement* a = copy->FirstChildElement(); a;) {
                        XMLElement* next = a->NextSiblingElement();
                        if (ArticulationNumber(a->Name())) copy->DeleteChild(a);
                        a = next;
                    }
                    if (!copy->FirstChildElement()) {
                        out_.DeleteNode(copy);
                        continue;
                    }
                }
                if (!notations) {
                    notations = out_.NewElement("notations");
                    note->InsertEndChild(notations);
                }
                notations->InsertEndChild(copy);
            }
            continue;
        }
        if (ModelledNoteChild(name)) continue;
        // In its place by the schema's order.
        XMLElement* copy = child->DeepClone(&out_)->ToElement();
        const int rank = NoteChildRank(name);
        XMLElement* before = nullptr;
        for (XMLElement* existing = note->FirstChildElement(); existing; existing = existing->NextSiblingElement())
            if (NoteChildRank(existing->Name()) > rank) {
                before = existing;
                break;
            }
        if (!before) {
            note->InsertEndChild(copy);
        } else if (XMLNode* previous = before->PreviousSibling()) {
            note->InsertAfterChild(previous, copy);
        } else {
            note->InsertFirstChild(copy);
        }
    }
}

// The names of what a note keeps, for the report when it has no place.
void ExtraKinds(const XMLElement* note, std::vector<std::string>* kinds) {
    for (const XMLElement* child = note->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (std::strcmp(child->Name(), "notations") == 0) {
            for (const XMLElement* n = child->FirstChildElement(); n; n = n->NextSiblingElement()) {
                if (std::strcmp(n->Name(), "tied") == 0 || std::strcmp(n->Name(), "slur") == 0 ||
                    std::strcmp(n->Name(), "tuplet") == 0)
                    continue;
                if (std::strcmp(n->Name(), "articulations") == 0 || std::strcmp(n->Name(), "technical") == 0 ||
                    std::strcmp(n->Name(), "ornaments") == 0) {
                    for (const XMLElement* g = n->FirstChildElement(); g; g = g->NextSiblingElement())
                        if (!ArticulationNumber(g->Name())) kinds->push_back(g->Name());
                } else {
                    kinds->push_back(n->Name());
                }
            }
        } else if (!ModelledNoteChild(child->Name()) && std::strcmp(child->Name(), "stem") != 0 &&
                   std::strcmp(child->Name(), "accidental") != 0) {
            kinds->push_back(child->Name());
        }
    }
}

bool Writer::WriteMeasure(size_t partIndex, int measure, XMLElement* partElement) {
    const Part& part = parts_[partIndex];
    const scoretext::MeasureStatement* statement = MeasureAt(measure);
    const XMLElement* original = part.imported && size_t(measure) <= part.imported->measures.size()
                                     ? part.imported->measures[size_t(measure - 1)]
                                     : nullptr;
    const bool multiStaff = part.staves.size() > 1;

    // Unchanged: the original, element for element.
    if (original && !changed_.count({partIndex, measure})) {
        const int64_t needed = part.imported->divisions[size_t(measure - 1)];
        const XMLElement* attributes = original->FirstChildElement("attributes");
        const bool ownDivisions =
            attributes && attributes->FirstChildElement("divisions") && attributes == original->FirstChildElement();
        if (needed != divisions_ && !ownDivisions) {
            // The measure before was written in other divisions: give these back at its end.
            if (XMLElement* last = partElement->LastChildElement("measure")) {
                XMLElement* restore = out_.NewElement("attributes");
                AddText(restore, "divisions", std::to_string(needed));
                last->InsertEndChild(restore);
            }
        }
        partElement->InsertEndChild(original->DeepClone(&out_));
        // The divisions at its end.
        divisions_ = needed;
        for (const XMLElement* a = original->FirstChildElement("attributes"); a;
             a = a->NextSiblingElement("attributes"))
            if (const XMLElement* d = a->FirstChildElement("divisions"))
                if (d->GetText()) divisions_ = std::atoll(d->GetText());
        return true;
    }

    XMLElement* out = out_.NewElement("measure");
    if (original) {
        for (const tinyxml2::XMLAttribute* a = original->FirstAttribute(); a; a = a->Next())
            out->SetAttribute(a->Name(), a->Value());
    } else {
        out->SetAttribute("number", measure);
    }
    partElement->InsertEndChild(out);
    const Meter meter = MeterOf(part.staves[0], measure);
    const uint16_t key = KeyOf(part.staves[0], measure);
    const Time length = Time::Edu(MeterLength(meter));
    const scoretext::MeasureStatement* previous = MeasureAt(measure - 1);

    // The layers of this part's staves, in the document's order.
    struct LayerRef {
        int localStaff;
        const scoretext::LayerStatement* layer;
    };
    std::vector<LayerRef> layers;
    if (statement && statement->first == measure)
        for (size_t s = 0; s < part.staves.size(); ++s)
            for (const scoretext::LayerStatement& layer : statement->layers)
                if (layer.staff == part.staves[s]) layers.push_back({int(s), &layer});

    // What the original holds besides the modelled music.
    std::vector<KeptItem> kept;
    std::vector<OriginalNote> notes;
    std::vector<XMLElement*> leading;
    const XMLElement* leadingAttributes = nullptr;
    const XMLElement* rightBarline = nullptr;
    if (original) {
        int64_t divisions = part.imported->divisions[size_t(measure - 1)];
        int64_t position = 0;
        bool started = false;
        int order = 0;
        for (const XMLElement* child = original->FirstChildElement(); child; child = child->NextSiblingElement()) {
            const std::string name = child->Name();
            const Time at = Time::Of(position, divisions);
            auto staffOf = [&](const XMLElement* e) {
                const XMLElement* s = e->FirstChildElement("staff");
                const int n = s && s->GetText() ? std::atoi(s->GetText()) : 1;
                return n >= 1 && n <= int(part.staves.size()) ? n : 1;
            };
            auto durationOf = [&](const XMLElement* e) {
                const XMLElement* d = e->FirstChildElement("duration");
                return d && d->GetText() ? std::max<int64_t>(0, std::atoll(d->GetText())) : 0;
            };
            if (name == "note") {
                started = true;
                OriginalNote note;
                note.element = child;
                note.staff = staffOf(child);
                const XMLElement* v = child->FirstChildElement("voice");
                note.voice = v && v->GetText() ? v->GetText() : "1";
                note.grace = child->FirstChildElement("grace") != nullptr;
                note.pitch = PitchKey(child);
                const bool chord = child->FirstChildElement("chord") != nullptr;
                if (chord && !notes.empty()) {
                    note.start = notes.back().start;
                } else {
                    note.start = at;
                }
                notes.push_back(note);
                if (!chord && !note.grace) position += durationOf(child);
            } else if (name == "backup") {
                started = true;
                position = std::max<int64_t>(0, position - durationOf(child));
            } else if (name == "forward") {
                started = true;
                position += durationOf(child);
            } else if (name == "attributes" && !started && !leadingAttributes) {
                leadingAttributes = child;
                if (const XMLElement* d = child->FirstChildElement("divisions"))
                    if (d->GetText() && std::atoll(d->GetText()) > 0) divisions = std::atoll(d->GetText());
            } else if ((name == "print" && !started) || (name == "barline" && child->Attribute("location", "left"))) {
                leading.push_back(child->DeepClone(&out_)->ToElement());
            } else if (name == "barline" && !child->Attribute("location", "middle")) {
                rightBarline = child;
            } else if (name == "direction") {
                XMLElement* copy = child->DeepClone(&out_)->ToElement();
                for (XMLElement* type = copy->FirstChildElement("direction-type"); type;) {
                    XMLElement* next = type->NextSiblingElement("direction-type");
                    for (XMLElement* item = type->FirstChildElement(); item;) {
                        XMLElement* nextItem = item->NextSiblingElement();
                        if (ModelledDirectionType(item->Name())) type->DeleteChild(item);
                        item = nextItem;
                    }
                    if (!type->FirstChildElement()) copy->DeleteChild(type);
                    type = next;
                }
                if (XMLElement* offset = copy->FirstChildElement("offset")) copy->DeleteChild(offset);
                int64_t offset = 0;
                if (const XMLElement* o = child->FirstChildElement("offset"))
                    if (o->GetText()) offset = std::atoll(o->GetText());
                const Time where = Time::Of(std::max<int64_t>(0, position + offset), divisions);
                if (copy->FirstChildElement("direction-type")) {
                    kept.push_back({where, staffOf(child), copy, order++});
                } else {
                    // A sound that went with a modelled direction stays, on its own.
                    if (const XMLElement* sound = child->FirstChildElement("sound"))
                        kept.push_back({where, staffOf(child), sound->DeepClone(&out_)->ToElement(), order++});
                    out_.DeleteNode(copy);
                }
            } else if (name == "harmony") {
                std::string symbol;
                if (!HarmonySymbol(child, &symbol)) {
                    XMLElement* copy = child->DeepClone(&out_)->ToElement();
                    if (XMLElement* offset = copy->FirstChildElement("offset")) copy->DeleteChild(offset);
                    kept.push_back({at, staffOf(child), copy, order++});
                }
            } else if (name == "attributes") {
                XMLElement* copy = child->DeepClone(&out_)->ToElement();
                if (const XMLElement* d = child->FirstChildElement("divisions"))
                    if (d->GetText() && std::atoll(d->GetText()) > 0) divisions = std::atoll(d->GetText());
                if (XMLElement* d = copy->FirstChildElement("divisions")) copy->DeleteChild(d);
                if (copy->FirstChildElement()) {
                    kept.push_back({at, 1, copy, order++});
                } else {
                    out_.DeleteNode(copy);
                }
            } else if (name != "print" || started) {
                kept.push_back({at, staffOf(child), child->DeepClone(&out_)->ToElement(), order++});
            }
        }
    }

    // The divisions this measure needs: every duration and position a whole number.
    int64_t needed = 1;
    auto need = [&](const Time& t) {
        if (needed <= kMaxDivisions) needed = needed / Gcd(needed, t.den) * t.den;
    };
    for (const LayerRef& ref : layers) {
        for (size_t e = 0; e < ref.layer->entries.size(); ++e) {
            const scoretext::EntryItem& entry = ref.layer->entries[e];
            int64_t num = entry.duration, den = 1024;
            for (const scoretext::TupletItem& t : ref.layer->tuplets)
                if (int(e) >= t.first && int(e) <= t.last) num *= t.ratio.ActualTotal(), den *= t.ratio.NotatedTotal();
            need(Time::Of(num, den));
        }
    }
    if (statement)
        for (const auto& e : statement->expressions) need(Time::Edu(e.position));
    if (statement)
        for (const auto& c : statement->chords) need(Time::Edu(c.position));
    for (int staff : part.staves) {
        auto w = wedges_.find({staff, measure});
        if (w != wedges_.end())
            for (const WedgeEvent& event : w->second) need(Time::Edu(event.position));
    }
    for (const KeptItem& k : kept) need(k.position);
    if (needed > kMaxDivisions)
        return Fail("measure " + std::to_string(measure) + " needs more than " + std::to_string(kMaxDivisions) +
                    " divisions per quarter");
    const bool firstMeasure = partElement->FirstChildElement("measure") == out;
    // The divisions in effect when they serve, else the least that serve both.
    int64_t divisions = divisions_ % needed == 0 ? divisions_ : divisions_ / Gcd(divisions_, needed) * needed;
    if (divisions > kMaxDivisions) divisions = needed;
    const bool writeDivisions = firstMeasure || divisions != divisions_ ||
                                (leadingAttributes && leadingAttributes->FirstChildElement("divisions"));
    divisions_ = divisions;

    for (XMLElement* e : leading) out->InsertEndChild(e);

    // Attributes: divisions, key and time as the document has them, the rest as they were.
    {
        XMLElement* attributes = out_.NewElement("attributes");
        if (writeDivisions) AddText(attributes, "divisions", std::to_string(divisions));
        const bool keyChanged = !previous || KeyOf(part.staves[0], measure - 1) != key;
        const bool timeChanged =
            !previous || scoretext::TimeToken(MeterOf(part.staves[0], measure - 1)) != scoretext::TimeToken(meter);
        if (keyChanged || (leadingAttributes && leadingAttributes->FirstChildElement("key"))) {
            XMLElement* k = out_.NewElement("key");
            AddText(k, "fifths", std::to_string(int(int8_t(key & 0xFF))));
            AddText(k, "mode", (key >> 8) == 1 ? "minor" : "major");
            attributes->InsertEndChild(k);
        }
        if (timeChanged || (leadingAttributes && leadingAttributes->FirstChildElement("time"))) {
            XMLElement* t = out_.NewElement("time");
            WriteTime(meter, t);
            attributes->InsertEndChild(t);
        }
        if (leadingAttributes) {
            for (const XMLElement* c = leadingAttributes->FirstChildElement(); c; c = c->NextSiblingElement())
                if (std::strcmp(c->Name(), "divisions") != 0 && std::strcmp(c->Name(), "key") != 0 &&
                    std::strcmp(c->Name(), "time") != 0)
                    attributes->InsertEndChild(c->DeepClone(&out_));
        } else if (firstMeasure) {
            if (multiStaff) AddText(attributes, "staves", std::to_string(part.staves.size()));
            for (size_t s = 0; s < part.staves.size(); ++s) {
                XMLElement* clef = out_.NewElement("clef");
                if (multiStaff) clef->SetAttribute("number", int(s + 1));
                const bool bass = multiStaff && s == part.staves.size() - 1;
                AddText(clef, "sign", bass ? "F" : "G");
                AddText(clef, "line", bass ? "4" : "2");
                attributes->InsertEndChild(clef);
            }
        }
        if (attributes->FirstChildElement()) {
            out->InsertEndChild(attributes);
        } else {
            out_.DeleteNode(attributes);
        }
    }

    // Per staff: its directions, chord symbols and kept items by position, then its layers.
    struct Placed {
        Time position;
        XMLElement* element;
        int order;
    };
    Time cursor;
    auto moveTo = [&](const Time& to) {
        if (to == cursor) return;
        XMLElement* move = out_.NewElement(to < cursor ? "backup" : "forward");
        AddText(move, "duration", std::to_string((to < cursor ? cursor - to : to - cursor).In(divisions)));
        out->InsertEndChild(move);
        cursor = to;
    };
    for (size_t s = 0; s < part.staves.size(); ++s) {
        const int staff = part.staves[s];
        std::vector<Placed> placed;
        int order = 0;
        if (statement && statement->first == measure) {
            for (const auto& c : statement->chords) {
                if (c.staff != staff) continue;
                XMLElement* harmony = out_.NewElement("harmony");
                if (!WriteHarmony(c, harmony)) {
                    out_.DeleteNode(harmony);
                    Drop("chord symbol", partIndex, measure);
                    continue;
                }
                if (multiStaff) AddText(harmony, "staff", std::to_string(s + 1));
                placed.push_back({Time::Edu(c.position), harmony, order++});
            }
            for (const auto& e : statement->expressions) {
                if (e.staff != staff) continue;
                XMLElement* direction = Direction(e, multiStaff, int(s));
                if (!direction) {
                    Drop("expression", partIndex, measure);
                    continue;
                }
                placed.push_back({Time::Edu(e.position), direction, order++});
            }
        }
        auto w = wedges_.find({staff, measure});
        if (w != wedges_.end())
            for (const WedgeEvent& event : w->second) {
                XMLElement* direction = out_.NewElement("direction");
                direction->SetAttribute("placement", "below");
                XMLElement* type = out_.NewElement("direction-type");
                XMLElement* wedge = out_.NewElement("wedge");
                wedge->SetAttribute("type", event.start ? (event.crescendo ? "crescendo" : "diminuendo") : "stop");
                wedge->SetAttribute("number", event.number);
                type->InsertEndChild(wedge);
                direction->InsertEndChild(type);
                if (multiStaff) AddText(direction, "staff", std::to_string(s + 1));
                placed.push_back({Time::Edu(event.position), direction, order++});
            }
        for (const KeptItem& k : kept) {
            if (k.staff != int(s + 1)) continue;
            if (length < k.position) {
                // A direction by what it shows ("metronome").
                const XMLElement* type = k.element->FirstChildElement("direction-type");
                Drop(type && type->FirstChildElement() ? type->FirstChildElement()->Name() : k.element->Name(),
                     partIndex, measure);
                out_.DeleteNode(k.element);
                continue;
            }
            placed.push_back({k.position, k.element, 1000 + k.order});
        }
        std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
            return a.position < b.position || (a.position == b.position && a.order < b.order);
        });
        size_t nextPlaced = 0;
        // Placed items go before the note they fall on (with an offset inside it).
        auto flush = [&](const Time* until) {
            while (nextPlaced < placed.size() && (!until || placed[nextPlaced].position < *until)) {
                const Placed& p = placed[nextPlaced++];
                XMLElement* element = p.element;
                if (cursor < p.position) {
                    const std::string name = element->Name();
                    if (name == "direction" || name == "harmony") {
                        XMLElement* offset = out_.NewElement("offset");
                        offset->SetText(std::to_string((p.position - cursor).In(divisions)).c_str());
                        // After the direction types (a harmony: after its chord).
                        XMLElement* after = element->LastChildElement(name == "direction" ? "direction-type" : nullptr);
                        if (name == "harmony") {
                            after = nullptr;
                            for (XMLElement* c = element->FirstChildElement(); c; c = c->NextSiblingElement())
                                if (std::strcmp(c->Name(), "staff") != 0) after = c;
                        }
                        if (after)
                            element->InsertAfterChild(after, offset);
                        else
                            element->InsertFirstChild(offset);
                        out->InsertEndChild(element);
                    } else {
                        // Elements without an offset go there and the time comes back.
                        const Time back = cursor;
                        moveTo(p.position);
                        out->InsertEndChild(element);
                        moveTo(back);
                    }
                } else {
                    out->InsertEndChild(element);
                }
            }
        };
        bool first = true;
        for (const LayerRef& ref : layers) {
            if (ref.localStaff != int(s)) continue;
            const scoretext::LayerStatement& layer = *ref.layer;
            moveTo(Time());
            const std::string voice = VoiceOf(partIndex, int(s), layer.layer);
            Time at;
            for (size_t e = 0; e < layer.entries.size(); ++e) {
                const scoretext::EntryItem& entry = layer.entries[e];
                const scoretext::TupletItem* tuplet = nullptr;
                for (const scoretext::TupletItem& t : layer.tuplets)
                    if (int(e) >= t.first && int(e) <= t.last) tuplet = &t;
                Time sounding = Time::Edu(entry.duration);
                if (tuplet)
                    sounding = Time::Of(int64_t(entry.duration) * tuplet->ratio.ActualTotal(),
                                        1024 * tuplet->ratio.NotatedTotal());
                if (entry.grace) sounding = Time();
                if (first) {
                    const Time end = at + sounding;
                    flush(&end);
                }
                // Beams: a group runs from a beam start over the short notes after it.
                auto beamable = [&](size_t i) {
                    const scoretext::EntryItem& x = layer.entries[i];
                    return !x.rest && x.duration < 1024 && x.grace == entry.grace;
                };
                std::string beam;
                if (beamable(e)) {
                    const bool continues = e > 0 && !entry.beamStart && beamable(e - 1);
                    const bool continued =
                        e + 1 < layer.entries.size() && !layer.entries[e + 1].beamStart && beamable(e + 1);
                    if (continues && continued)
                        beam = "continue";
                    else if (continues)
                        beam = "end";
                    else if (continued)
                        beam = "begin";
                }
                const size_t noteCount = entry.rest ? 1 : entry.notes.size();
                const std::string pitchKeyRest = "r";
                for (size_t n = 0; n < noteCount; ++n) {
                    XMLElement* note = out_.NewElement("note");
                    if (entry.grace) note->InsertEndChild(out_.NewElement("grace"));
                    if (n > 0) note->InsertEndChild(out_.NewElement("chord"));
                    std::string pitchKey = pitchKeyRest;
                    if (entry.rest) {
                        note->InsertEndChild(out_.NewElement("rest"));
                    } else {
                        const SpelledPitch& p = entry.notes[n].pitch;
                        pitchKey = PitchKey(p);
                        XMLElement* pitch = out_.NewElement("pitch");
                        AddText(pitch, "step", std::string(1, "CDEFGAB"[p.letter % 7]));
                        if (p.accidental) AddText(pitch, "alter", std::to_string(p.accidental));
                        AddText(pitch, "octave", std::to_string(p.octave));
                        note->InsertEndChild(pitch);
                    }
                    if (!entry.grace) AddText(note, "duration", std::to_string(sounding.In(divisions)));
                    const bool tieStop =
                        tieStops_.count(std::make_tuple(layer.staff, layer.layer, measure, int(e), int(n))) > 0;
                    const bool tieStart = !entry.rest && entry.notes[n].tie;
                    for (int end = 0; end < 2; ++end) {
                        if (!(end == 0 ? tieStop : tieStart)) continue;
                        XMLElement* tie = out_.NewElement("tie");
                        tie->SetAttribute("type", end == 0 ? "stop" : "start");
                        note->InsertEndChild(tie);
                    }
                    AddText(note, "voice", voice);
                    std::string type;
                    int dots = 0;
                    if (TypeOfDuration(entry.duration, &type, &dots)) {
                        AddText(note, "type", type);
                        for (int d = 0; d < dots; ++d) note->InsertEndChild(out_.NewElement("dot"));
                    }
                    if (tuplet) {
                        XMLElement* modification = out_.NewElement("time-modification");
                        const TupletRatio& r = tuplet->ratio;
                        int64_t actualNotes = r.notes, normalNotes = 0;
                        if (r.symbolic && r.ActualTotal() % r.symbolic == 0) {
                            normalNotes = r.ActualTotal() / r.symbolic;
                        } else {
                            const int64_t g = Gcd(r.NotatedTotal(), r.ActualTotal());
                            actualNotes = r.NotatedTotal() / g;
                            normalNotes = r.ActualTotal() / g;
                        }
                        AddText(modification, "actual-notes", std::to_string(actualNotes));
                        AddText(modification, "normal-notes", std::to_string(normalNotes));
                        std::string unitType;
                        int unitDots = 0;
                        if (normalNotes * r.symbolic == r.ActualTotal() &&
                            TypeOfDuration(r.symbolic, &unitType, &unitDots)) {
                            AddText(modification, "normal-type", unitType);
                            for (int d = 0; d < unitDots; ++d)
                                modification->InsertEndChild(out_.NewElement("normal-dot"));
                        }
                        note->InsertEndChild(modification);
                    }
                    if (multiStaff) AddText(note, "staff", std::to_string(s + 1));
                    if (!beam.empty()) AddText(note, "beam", beam)->SetAttribute("number", 1);
                    // Notations: ties, slurs, tuplet ends and articulations.
                    XMLElement* notations = out_.NewElement("notations");
                    if (tieStop)
                        notations->InsertEndChild(out_.NewElement("tied"))->ToElement()->SetAttribute("type", "stop");
                    if (tieStart)
                        notations->InsertEndChild(out_.NewElement("tied"))->ToElement()->SetAttribute("type", "start");
                    if (n == 0) {
                        auto slurEvents = slurs_.find(std::make_tuple(layer.staff, layer.layer, measure, int(e) + 1));
                        if (slurEvents != slurs_.end())
                            for (const SlurEvent& event : slurEvents->second) {
                                XMLElement* slur = out_.NewElement("slur");
                                slur->SetAttribute("type", event.start ? "start" : "stop");
                                slur->SetAttribute("number", event.number);
                                if (event.start && event.dashed) slur->SetAttribute("line-type", "dashed");
                                notations->InsertEndChild(slur);
                            }
                        if (tuplet && tuplet->first == int(e)) {
                            XMLElement* t = out_.NewElement("tuplet");
                            t->SetAttribute("type", "start");
                            notations->InsertEndChild(t);
                        }
                        if (tuplet && tuplet->last == int(e)) {
                            XMLElement* t = out_.NewElement("tuplet");
                            t->SetAttribute("type", "stop");
                            notations->InsertEndChild(t);
                        }
                        std::vector<std::string> names;
                        for (const scoretext::ArticulationItem& a : entry.articulations) {
                            bool found = false;
                            for (const auto& d : syntax_.articulationDefs)
                                if (d.number == a.definition) {
                                    found = true;
                                    const std::vector<std::string> elements = ArticulationElements(d);
                                    if (elements.empty()) Drop("articulation", partIndex, measure);
                                    for (const std::string& element : elements)
                                        if (std::find(names.begin(), names.end(), element) == names.end())
                                            names.push_back(element);
                                }
                            if (!found) Drop("articulation", partIndex, measure);
                        }
                        if (!names.empty()) {
                            XMLElement* articulations = out_.NewElement("articulations");
                            for (const std::string& name : names)
                                articulations->InsertEndChild(out_.NewElement(name.c_str()));
                            notations->InsertEndChild(articulations);
                        }
                    }
                    if (notations->FirstChildElement()) {
                        note->InsertEndChild(notations);
                    } else {
                        out_.DeleteNode(notations);
                    }
                    // What the original note at this place had besides its music.
                    for (OriginalNote& o : notes)
                        if (!o.used && o.staff == int(s + 1) && o.voice == voice && o.start == at &&
                            o.grace == entry.grace && o.pitch == pitchKey) {
                            o.used = true;
                            KeepNoteExtras(o.element, note);
                            break;
                        }
                    out->InsertEndChild(note);
                }
                at = at + sounding;
                cursor = at;
            }
            first = false;
        }
        // A staff without music here still gets its directions, from the measure's start.
        if (first && nextPlaced < placed.size()) moveTo(Time());
        flush(nullptr);
    }

    // The original notes without a place: what they carried is lost.
    for (const OriginalNote& o : notes) {
        if (o.used) continue;
        std::vector<std::string> kinds;
        ExtraKinds(o.element, &kinds);
        for (const std::string& kind : kinds) Drop(kind, partIndex, measure);
    }

    // The barline: its style from the document, repeats and the rest as they were.
    const int style = statement ? statement->barline : 0;
    const std::string barStyle = BarStyleName(style);
    if (rightBarline) {
        XMLElement* barline = rightBarline->DeepClone(&out_)->ToElement();
        XMLElement* bs = barline->FirstChildElement("bar-style");
        const int originalStyle = bs && bs->GetText() ? BarlineStyle(bs->GetText()) : 0;
        if (!barStyle.empty()) {
            if (!bs) {
                bs = out_.NewElement("bar-style");
                barline->InsertFirstChild(bs);
            }
            bs->SetText(barStyle.c_str());
        } else if (bs && originalStyle > 0) {
            bs->SetText("regular");
        }
        out->InsertEndChild(barline);
    } else if (!barStyle.empty()) {
        XMLElement* barline = out_.NewElement("barline");
        barline->SetAttribute("location", "right");
        AddText(barline, "bar-style", barStyle);
        out->InsertEndChild(barline);
    }
    return true;
}

bool Writer::WritePart(size_t part, XMLElement* out) {
    divisions_ =
        parts_[part].imported && !parts_[part].imported->divisions.empty() ? parts_[part].imported->divisions[0] : 1;
    for (int m = 1; m <= int(byMeasure_.size()); ++m)
        if (!WriteMeasure(part, m, out)) return false;
    // Measures the document no longer has.
    if (parts_[part].imported)
        for (size_t m = byMeasure_.size(); m < parts_[part].imported->measures.size(); ++m)
            Drop("measure", part, int(m + 1));
    return true;
}

bool Writer::Run(const std::string& currentText, std::string* xml) {
    PrepareParts();
    FindChanges(currentText);
    PrepareShapes();
    PrepareTies();

    const XMLElement* originalRoot = original_ ? original_->RootElement() : nullptr;
    if (original_) {
        for (const XMLNode* node = original_->FirstChild(); node; node = node->NextSibling())
            if (!node->ToElement()) out_.InsertEndChild(node->DeepClone(&out_));
    } else {
        out_.InsertEndChild(out_.NewDeclaration("xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\""));
        out_.InsertEndChild(
            out_.NewUnknown("DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
                            "\"http://www.musicxml.org/dtds/partwise.dtd\""));
    }
    XMLElement* root = out_.NewElement("score-partwise");
    if (originalRoot) {
        for (const tinyxml2::XMLAttribute* a = originalRoot->FirstAttribute(); a; a = a->Next())
            root->SetAttribute(a->Name(), a->Value());
    } else {
        root->SetAttribute("version", "4.0");
    }
    out_.InsertEndChild(root);
    // The header as it was (work, identification, defaults, credits), then the parts.
    if (originalRoot)
        for (const XMLElement* child = originalRoot->FirstChildElement(); child; child = child->NextSiblingElement()) {
            if (std::strcmp(child->Name(), "part") == 0 || std::strcmp(child->Name(), "part-list") == 0) continue;
            root->InsertEndChild(child->DeepClone(&out_));
        }
    root->InsertEndChild(PartList());
    for (size_t p = 0; p < parts_.size(); ++p) {
        XMLElement* part = out_.NewElement("part");
        part->SetAttribute("id", parts_[p].id.c_str());
        root->InsertEndChild(part);
        if (!WritePart(p, part)) return false;
    }
    tinyxml2::XMLPrinter printer;
    out_.Print(&printer);
    *xml = printer.CStr();
    if (dropped_) {
        dropped_->clear();
        for (const auto& kind : droppedKinds_) {
            std::string where;
            for (const std::string& w : kind.second.second) where += (where.empty() ? "" : ", ") + w;
            dropped_->push_back(kind.first + ": " + std::to_string(kind.second.first) + " dropped (" + where + ")");
        }
    }
    return true;
}

}  // namespace

bool MusicXmlExport::Run(std::string* xml, std::vector<std::string>* dropped, ScoreTextError* error) {
    ScoreTextOptions options;
    options.bookkeeping = false;
    const std::string text = WriteScoreText(options);
    ScoreSyntax syntax;
    if (!scoretext::Parse(text, "<document>", &syntax, error)) return false;
    Writer writer(original_, imported_, importedText_, syntax, dropped, error);
    std::string result;
    if (!writer.Run(text, &result)) return false;
    *xml = result;
    return true;
}

}  // namespace musicxml
}  // namespace simhost
