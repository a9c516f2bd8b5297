// Writing score text: the document's structure and music in the notation, then, for whatever the
// notation does not carry (records of kinds it does not know yet, fields it leaves out), raw
// record lines: the writer reads its own text into a scratch document and writes every record
// that differs from the document, so reading the whole text always gives the same document.
#include "simhost/RecordView.h"
#include "simhost/ScoreQueries.h"
#include "simhost/ScoreTextChords.h"
#include "simhost/ScoreTextShapes.h"
#include "simhost/ScoreTextSyntax.h"
#include "simhost/SimHost.h"
#include "simhost/layouts/MarkingLayouts.h"
#include "simhost/SimFunctions.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <map>
#include <set>

namespace simhost {
namespace scoretext {
namespace {

using namespace layout;

std::string Hex(uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

// Puts the score in view while it lives, for what reads the current part's records (SpellingKey).
class ScoreInView {
public:
    ScoreInView() : document_(CurrentDocument()), part_(document_.View().CurrentPart()) {
        document_.View().SetCurrentPart(0);
    }
    ~ScoreInView() { document_.View().SetCurrentPart(part_); }
    ScoreInView(const ScoreInView&) = delete;
    ScoreInView& operator=(const ScoreInView&) = delete;

private:
    Document& document_;
    int32_t part_;
};

// A font by its name when the host names the number with a plain name that gives the number back.
std::string FontToken(int number) {
    const int16_t font = int16_t(number);
    char name[256] = {0};
    if (font >= 0 && ::FX_FontNumToName(font, name, int32_t(sizeof name) - 1, kFXInterfaceVersion) && name[0] &&
        ::FX_FontNameToNum(name, kFXInterfaceVersion) == font) {
        std::u16string units;
        for (const char* c = name; *c; ++c) {
            if (static_cast<unsigned char>(*c) >= 0x80) return std::to_string(uint16_t(number));
            units += char16_t(*c);
        }
        return QuotedToken(units);
    }
    return std::to_string(uint16_t(number));
}

// The key of an item of a record without incidence (1-65534).
bool IsItemKey(const FXKey& key) {
    return key.words[0] >= 1 && key.words[0] < 0xFFFF && !key.words[1] && !key.words[2] && !key.words[3];
}

// The placement values of a category or a text expression definition at their offsets.
std::string PlacementText(const uint8_t* data, const int (&offsets)[category::kPlacementCount]) {
    bool any = false;
    std::string text;
    for (int i = 0; i < category::kPlacementCount; ++i) {
        const int value =
            category::IsSignedPlacement(i) ? Read<int16_t>(data, offsets[i]) : Read<uint16_t>(data, offsets[i]);
        any = any || value;
        text += (i ? "," : "") + std::to_string(value);
    }
    return any ? " place=" + text : std::string();
}

// The groups of a composite time signature's top or bottom item, each group the values of its
// entries: a group runs from an entry that starts one up to the next. A top element whose first
// entry is unused is skipped whole; a bottom element ends at its first unused entry.
std::vector<std::vector<int>> CompositeGroups(const RecordView& view, bool top, int item) {
    const uint32_t tag = top ? composite::kTopTag : composite::kBottomTag;
    const RecordStore& store = view.StoreFor(tag);
    std::vector<std::vector<int>> groups;
    auto append = [&groups](int value, bool startsGroup) {
        if (startsGroup)
            groups.emplace_back(1, value);
        else if (!groups.empty())
            groups.back().push_back(value);
    };
    for (int inci = 0; inci < 0xFFFF; ++inci) {
        const RecordStore::Bytes* record = store.Find(tag, FXKey{{uint16_t(item), uint16_t(inci), 0, 0}});
        if (!record || record->size() < composite::kSize) break;
        const int entries = top ? composite::kTopEntries : composite::kBottomEntries;
        for (int i = 0; i < entries; ++i) {
            const int at = i * (top ? composite::kTopEntrySize : composite::kBottomEntrySize);
            const int value = Field<int16_t>(*record, at + (top ? composite::kTopBeats : composite::kBottomDuration));
            const bool used = top ? Field<uint16_t>(*record, at + composite::kTopBeats) ||
                                        Field<uint16_t>(*record, at + composite::kTopSecondWord)
                                  : Field<uint16_t>(*record, at + composite::kBottomDuration) != 0;
            if (!used && (!top || i == 0)) break;
            if (used)
                append(value, Field<uint16_t>(*record, at + (top ? composite::kTopStartsGroup
                                                                 : composite::kBottomStartsGroup)) != 0);
        }
    }
    return groups;
}

// The meter of a measure or cell record's time fields, when the notation can say it.
std::string TimeOf(const RecordView& view, const RecordStore::Bytes& record, int beatsAt, int beatDurationAt,
                   int timeFlagsAt) {
    const int beats = Field<uint16_t>(record, beatsAt);
    const int beatDuration = Field<uint16_t>(record, beatDurationAt);
    const uint16_t flags = Field<uint16_t>(record, timeFlagsAt);
    const bool compositeTop = (flags & measure::kCompositeBeats) != 0;
    const bool compositeBottom = (flags & measure::kCompositeDuration) != 0;
    if (!compositeTop && !compositeBottom) return TimeToken(Meter::Simple(beats, beatDuration));
    if (!compositeTop) return std::string();
    const std::vector<std::vector<int>> groups = CompositeGroups(view, true, beats);
    if (!compositeBottom) return TimeToken(Meter::Composite(groups, beatDuration));
    const std::vector<std::vector<int>> bottom = CompositeGroups(view, false, beatDuration);
    if (bottom.size() != groups.size()) return std::string();
    std::vector<int> durations;
    for (const std::vector<int>& group : bottom) {
        if (group.size() != 1) return std::string();
        durations.push_back(group[0]);
    }
    return TimeToken(Meter::CompositePerGroup(groups, durations));
}

class Writer {
public:
    Writer(const ScoreTextOptions& options) : options_(options), document_(CurrentDocument()), view_(document_, 0) {}

    std::string Run();

private:
    void Prefs();
    void Staves();
    void PartsAndSystems();
    bool Systems(int part, std::string* text);
    void Definitions();
    std::string CategoryLine(int number);
    std::string TextExpressionLine(int number);
    std::string ShapeExpressionLine(int number);
    std::string ArticulationDefLine(int number);
    bool ExpressionText(int block, std::u16string* text);
    // The record under the key, at least size bytes (a shorter one padded with zeros, as the
    // plug-in reads it); false when there is none.
    bool Load(uint32_t tag, const FXKey& key, uint32_t size, RecordStore::Bytes* bytes) const {
        if (!view_.Read(tag, key, *bytes)) return false;
        bytes->resize(std::max<size_t>(bytes->size(), size), 0);
        return true;
    }
    std::string Expressions(int measure);
    std::string ArticulationMarks(int32_t entryNumber);
    std::string TupletOptions(int32_t entryNumber);
    void Measures();
    std::string MeasureLine(int first, int last, const std::string& time, const std::string& key, int barline);
    std::string Cell(int staff, int measure);
    std::string Layer(int staff, int measure, int layer);
    std::string Entry(const StoredEntry& entry, uint16_t key, bool braced, bool lastOfLayer);
    std::string Note(const StoredNote& note, size_t index, uint16_t key, bool dangling);

    const ScoreTextOptions& options_;
    Document& document_;
    RecordView view_;
    std::string out_;
    std::vector<int> staves_;  // declared, in score order
    int32_t expected_ = 1;     // the number the reader gives the next entry
    // The last measure holding entries, per staff and layer (where a tie cannot end).
    std::map<std::pair<int, int>, int> lastMeasure_;
    ShapeLines shapes_;
};

std::string Writer::Run() {
    out_ = "qzs 1\n";
    Prefs();
    Staves();
    PartsAndSystems();
    Definitions();
    CollectShapeLines(document_, staves_, options_.bookkeeping, &shapes_);
    out_ += StaffStyleLines(staves_);
    Measures();
    const EntryStore& entries = document_.Entries();
    if (options_.bookkeeping && entries.NextNumber() != entries.HighestNumber() + 1)
        out_ += "next-entry " + std::to_string(entries.NextNumber()) + "\n";
    return out_;
}

void Writer::Prefs() {
    RecordStore::Bytes bytes;
    const int unit =
        view_.Read(prefs::kGeneralTag, ItemKey(1), bytes) ? Field<int16_t>(bytes, prefs::kMeasurementUnit) : 1;
    const FXKey beamFlags = {{prefs::kDocumentItem, 0, 0, 0}};
    const uint16_t flags =
        view_.Read(prefs::kBeamFlagsTag, beamFlags, bytes) ? Field<uint16_t>(bytes, prefs::kBeamFlags) : 0;
    // The view's hidden layers are not music: a comparison of the music leaves them out.
    std::string hidden;
    for (int layer = 0; layer < 4 && options_.bookkeeping; ++layer)
        if (!document_.IsLayerShown(layer)) hidden += (hidden.empty() ? "" : ",") + std::to_string(layer + 1);
    if (unit == 1 && flags == 0 && hidden.empty()) return;
    std::string line = "prefs";
    if (unit != 1) line += " unit=" + UnitToken(unit);
    if (flags & prefs::kBeamOverRests) line += " beams-over-rests";
    if (flags & prefs::kBeamFourEighthsInCommonTime) line += " four-eighths";
    const uint16_t other = uint16_t(flags & ~(prefs::kBeamOverRests | prefs::kBeamFourEighthsInCommonTime));
    if (other) line += " beamflags=0x" + Hex(other, 4);
    if (!hidden.empty()) line += " hidden-layers=" + hidden;
    out_ += line + "\n";
}

void Writer::Staves() {
    std::set<int> seen;
    for (int number : StaffList(view_, 0)) {
        if (number < 1 || number > 0x7FFF || !seen.insert(number).second) continue;
        staves_.push_back(number);
        std::string line = "staff " + std::to_string(number);
        RecordStore::Bytes record;
        if (view_.Read(staff::kTag, ItemKey(number), record)) {
            const uint16_t notation = Field<uint16_t>(record, staff::kNotationFlags);
            if (notation & staff::kNotationStyle1)
                line += " style=1";
            else if (notation & staff::kNotationStyle2)
                line += " style=2";
            const uint16_t independence = Field<uint16_t>(record, staff::kIndependenceFlags);
            if (independence & staff::kIndependentKey) line += " ownkey";
            if (independence & staff::kIndependentTime) line += " owntime";
            if (independence & staff::kIgnoresKey) line += " keyless";
        }
        out_ += line + "\n";
    }
}

std::string StaffListText(const std::vector<int>& staves) {
    std::string text;
    for (size_t i = 0; i < staves.size(); ++i) text += (i ? "," : "") + std::to_string(staves[i]);
    return text;
}

void Writer::PartsAndSystems() {
    // Parts are written when they are numbered 1, 2, ... and hold declared staves only.
    std::vector<int> parts;
    bool writable = true;
    for (const auto& record : document_.Records().Records(part::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (key.words[0] == 0 || key.words[1] || key.words[2] || key.words[3]) continue;
        parts.push_back(key.words[0]);
        if (key.words[0] != parts.size()) writable = false;
    }
    const std::set<int> declared(staves_.begin(), staves_.end());
    std::string partText;
    for (int part : parts) {
        const std::vector<int> staves = StaffList(RecordView(document_, part), 0);
        for (int staff : staves)
            if (!declared.count(staff)) writable = false;
        partText += "part " + std::to_string(part) + (staves.empty() ? "" : " staves=" + StaffListText(staves)) + "\n";
    }
    if (!writable)
        parts.clear();
    else
        out_ += partText;
    std::string systems;
    if (Systems(0, &systems)) out_ += systems;
    for (int part : parts) {
        systems.clear();
        if (Systems(part, &systems)) out_ += systems;
    }
}

bool Writer::Systems(int part, std::string* text) {
    const RecordView view(document_, part);
    const std::set<int> declared(staves_.begin(), staves_.end());
    int expected = 1;
    for (const auto& record : view.StoreFor(staffsystem::kTag).Records(staffsystem::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (key.words[1] || key.words[2] || key.words[3]) return false;
        if (key.words[0] != expected++ || record.second.size() < staffsystem::kSize) return false;
        const int first = Field<int16_t>(record.second, staffsystem::kFirstMeasure);
        const int next = Field<int16_t>(record.second, staffsystem::kNextSystemMeasure);
        const std::vector<int> staves = StaffList(view, key.words[0]);
        std::vector<int> sizes;
        bool sized = false;
        for (int staff : staves) {
            if (!declared.count(staff)) return false;
            const FXKey sizeKey = {{key.words[0], uint16_t(staff), 0, 0}};
            const RecordStore::Bytes* size = view.StoreFor(systemstaff::kSizeTag).Find(systemstaff::kSizeTag, sizeKey);
            sizes.push_back(size && size->size() >= size_t(systemstaff::kPercent + 2)
                                ? Field<int16_t>(*size, systemstaff::kPercent)
                                : systemstaff::kDefaultPercent);
            if (sizes.back() != systemstaff::kDefaultPercent) sized = true;
        }
        *text += "system " + std::to_string(key.words[0]) + (part ? " part=" + std::to_string(part) : "") +
                 " measures=" + std::to_string(first) + "-" + std::to_string(next - 1) +
                 " staves=" + StaffListText(staves) + (sized ? " sizes=" + StaffListText(sizes) : "") + "\n";
    }
    return true;
}

std::string Writer::MeasureLine(int first, int last, const std::string& time, const std::string& key, int barline) {
    std::string line = "measure " + std::to_string(first);
    if (last != first) line += "-" + std::to_string(last);
    if (!time.empty()) line += " " + time;
    if (!key.empty()) line += " key=" + key;
    if (barline) line += " bar=" + BarlineToken(barline);
    return line + "\n";
}

std::string Writer::Cell(int staff, int measure) {
    const FXKey cellKey = {{uint16_t(staff), uint16_t(measure), 0, 0}};
    RecordStore::Bytes record;
    if (!view_.Read(cell::TagForHostVersion(LayoutVersion()), cellKey, record)) return std::string();
    const uint16_t presence = Field<uint16_t>(record, cell::kPresence);
    std::string time, key;
    if (presence & cell::kHasTime) time = TimeOf(view_, record, cell::kBeats, cell::kBeatDuration, cell::kTimeFlags);
    if (presence & cell::kHasKey) key = KeyToken(Field<uint16_t>(record, cell::kKey));
    if (time.empty() && key.empty()) return std::string();
    std::string line = "s" + std::to_string(staff) + " cell";
    if (!time.empty()) line += " " + time;
    if (!key.empty()) line += " key=" + key;
    return line + "\n";
}

std::string Writer::Note(const StoredNote& note, size_t index, uint16_t key, bool dangling) {
    std::string text = PitchToken(Spell(note.displacement, note.raiseLower, key));
    uint32_t flags = note.flags;
    if ((flags & note::kTieStart) && !dangling) {
        text += "~";
        flags &= ~note::kTieStart;
    }
    if (options_.bookkeeping && note.noteID != int(index) + 1) text += ":" + std::to_string(note.noteID);
    if (flags & note::kCreated) {
        if (options_.bookkeeping) text += "!new";
        flags &= ~note::kCreated;
    }
    if (flags) text += "!n=" + Hex(flags, 8);
    return text;
}

std::string Writer::Entry(const StoredEntry& entry, uint16_t key, bool braced, bool lastOfLayer) {
    std::string text;
    uint32_t flags = entry.flags;
    uint16_t flags2 = entry.flags2;
    if (flags & entry::kBeamStart) text += "[";
    if (flags & entry::kGrace) text += "g";
    flags &= ~(entry::kBeamStart | entry::kGrace);
    if (braced) flags &= ~entry::kTupletStart;
    // Articulation marks imply the flag; without it the records stay raw.
    // A shape line names the entries at its ends, which gives them their flag.
    if (shapes_.flaggedEnds.count(entry.number)) flags2 = uint16_t(flags2 & ~entry::kSmartShape);
    std::string articulations;
    if (flags & entry::kArticulations) articulations = ArticulationMarks(entry.number);
    if (!articulations.empty()) flags &= ~entry::kArticulations;
    const bool note = (flags & entry::kNote) != 0;
    flags &= ~entry::kNote;
    if (note && entry.notes.size() == 1) {
        text += Note(entry.notes[0], 0, key, lastOfLayer);
    } else {
        if (!note) text += "r";
        if (note || !entry.notes.empty()) {
            text += "<";
            for (size_t i = 0; i < entry.notes.size(); ++i)
                text += (i ? " " : "") + Note(entry.notes[i], i, key, lastOfLayer);
            text += ">";
        }
    }
    if (entry.stemDown) text += "_";
    text += articulations;
    struct Named {
        const char* name;
        uint32_t flags;
        uint16_t flags2;
        bool bookkeeping;
    };
    static const Named kNamed[] = {
        {"mark", entry::kMark, 0, true},           {"mute", entry::kNotSounding, 0, false},
        {"alter", entry::kAlterMod, 0, false},     {"artic", entry::kArticulations, 0, false},
        {"tuplet", entry::kTupletStart, 0, false}, {"changed", 0, entry::kPitchChanged, true},
        {"shape", 0, entry::kSmartShape, false}};
    for (const Named& named : kNamed) {
        if ((named.flags && !(flags & named.flags)) || (named.flags2 && !(flags2 & named.flags2))) continue;
        if (options_.bookkeeping || !named.bookkeeping) text += std::string("!") + named.name;
        flags &= ~named.flags;
        flags2 = uint16_t(flags2 & ~named.flags2);
    }
    if (flags) text += "!f=" + Hex(flags, 8);
    if (flags2) text += "!f2=" + Hex(flags2, 4);
    if (options_.bookkeeping && entry.number != expected_) text += "@" + std::to_string(entry.number);
    expected_ = entry.number + 1;
    return text;
}

std::string Writer::Layer(int staff, int measure, int layer) {
    const FrameKey frame{staff, measure, layer};
    const EntryStore::Entries& entries = document_.Entries().Get(frame);
    const bool locked = document_.Entries().IsLocked(frame);
    if (entries.empty() && !locked) return std::string();
    std::vector<EntryTiming> timing;
    ComputeTiming(entries, document_.Records(), &timing, nullptr);
    bool overfull = false;
    const int32_t length = MeasureDuration(view_, staff, measure);
    for (const EntryTiming& t : timing)
        if (int64_t(t.position) + t.actual > length) overfull = true;

    // Tuplets written as braces: a valid record on a flagged entry whose notes fill it exactly.
    std::vector<int> braceEnd(entries.size(), -1);
    std::vector<TupletRatio> ratios(entries.size());
    for (size_t i = 0, free = 0; i < entries.size(); ++i) {
        if (i < free || !(entries[i].flags & entry::kTupletStart) || entries[i].number <= 0) continue;
        TupletRatio ratio;
        if (!FindTuplet(document_.Records(), entries[i].number, &ratio) || !ratio.IsValid()) continue;
        int64_t sum = 0;
        for (size_t k = i; k < entries.size(); ++k) {
            if (!(entries[k].flags & entry::kGrace)) sum += entries[k].duration;
            if (sum < ratio.NotatedTotal()) continue;
            if (sum == ratio.NotatedTotal() && !(entries[k].flags & entry::kGrace)) {
                braceEnd[i] = int(k);
                ratios[i] = ratio;
                free = k + 1;
            }
            break;
        }
    }

    const uint16_t key = SpellingKey(staff, measure);
    const bool lastOfLayer = lastMeasure_[std::make_pair(staff, layer)] == measure;
    std::string line = "s" + std::to_string(staff);
    if (layer) line += " L" + std::to_string(layer + 1);
    if (locked) line += " locked";
    if (overfull) line += " overfull";
    line += ":";
    int32_t duration = 0;
    int closeAt = -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        const StoredEntry& entry = entries[i];
        if (braceEnd[i] >= 0) {
            const TupletRatio& r = ratios[i];
            if (r.symbolic == r.referenceDuration && r.symbolic == entry.duration)
                line += " {" + std::to_string(r.notes) + ":" + std::to_string(r.referenceNumber);
            else
                line += " {" + std::to_string(r.notes) + "x" + DurationToken(r.symbolic) + ":" +
                        std::to_string(r.referenceNumber) + "x" + DurationToken(r.referenceDuration);
            line += TupletOptions(entry.number);
            closeAt = braceEnd[i];
        }
        if (entry.duration != duration) {
            duration = entry.duration;
            line += " " + DurationToken(duration);
        }
        line += " " + Entry(entry, key, braceEnd[i] >= 0, lastOfLayer && i + 1 == entries.size());
        if (int(i) == closeAt) line += "}";
    }
    return line + "\n";
}

void Writer::Definitions() {
    const RecordStore& records = document_.Records();
    for (const auto& record : records.Records(category::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (IsItemKey(key)) out_ += CategoryLine(key.words[0]);
    }
    for (const auto& record : records.Records(textdef::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (IsItemKey(key)) out_ += TextExpressionLine(key.words[0]);
    }
    for (const auto& record : records.Records(shapedef::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (IsItemKey(key)) out_ += ShapeExpressionLine(key.words[0]);
    }
    for (const auto& record : records.Records(articdef::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (IsItemKey(key)) out_ += ArticulationDefLine(key.words[0]);
    }
}

std::string Writer::CategoryLine(int number) {
    const uint32_t version = LayoutVersion();
    const category::Layout& layout = category::ForHost(version);
    RecordStore::Bytes bytes;
    if (!Load(category::kTag, ItemKey(number), layout.size, &bytes)) return std::string();
    const uint8_t* data = bytes.data();
    std::string line = "category " + std::to_string(number);
    const std::u16string name = ReadText(data + category::kName, layout.nameRoom, layout.utf16Name);
    if (!name.empty()) line += " " + QuotedToken(name);
    const int type = Read<int16_t>(data, category::kType);
    if (type != number) line += " type=" + std::to_string(type);
    const int font = Read<int16_t>(data, layout.font);
    const int size = Read<int16_t>(data, layout.font + 2);
    const int effects = Read<uint16_t>(data, layout.font + 4);
    if (font) line += " font=" + FontToken(font);
    if (size) line += " size=" + std::to_string(size);
    if (effects) line += " effects=" + std::to_string(effects);
    const int alignment = Read<int16_t>(data, layout.alignment);
    if (alignment) line += " align=" + std::to_string(alignment);
    line += PlacementText(data, layout.placement);
    const uint16_t flags = Read<uint16_t>(data, layout.flags);
    if (flags) line += " flags=0x" + Hex(flags, 4);
    return line + "\n";
}

// The text of a text expression definition: its text block and the raw text that names; false
// when the block or the raw text is missing.
bool Writer::ExpressionText(int block, std::u16string* text) {
    RecordStore::Bytes bytes;
    if (!IsItemNumber(block) || !Load(textblock::kTag, ItemKey(block), textblock::kSize, &bytes)) return false;
    const int raw = Read<uint16_t>(bytes.data(), textblock::kRawText);
    if (!IsItemNumber(raw) || !view_.Read(rawtext::kExpressionTag, ItemKey(raw), bytes) || bytes.empty()) return false;
    *text = ReadText(bytes.data(), int(bytes.size()), IsUTF16Host(LayoutVersion()));
    return true;
}

std::string Writer::TextExpressionLine(int number) {
    const bool utf16 = IsUTF16Host(LayoutVersion());
    RecordStore::Bytes bytes;
    if (!view_.Read(textdef::kTag, ItemKey(number), bytes) || bytes.empty()) return std::string();
    const size_t stored = bytes.size();
    bytes.resize(std::max<size_t>(stored, textdef::kMinimumSize), 0);
    const uint8_t* data = bytes.data();
    std::string line = "text-expression " + std::to_string(number);
    std::u16string text;
    const int block = Read<uint16_t>(data, textdef::kTextBlock);
    if (block && ExpressionText(block, &text)) line += " " + QuotedToken(text);
    const std::u16string description =
        stored > size_t(textdef::kHeaderSize)
            ? ReadText(data + textdef::kHeaderSize, int(stored) - textdef::kHeaderSize, utf16)
            : std::u16string();
    if (!description.empty()) line += " desc=" + QuotedToken(description);
    const uint16_t categoryWord = Read<uint16_t>(data, textdef::kCategory);
    if (categoryWord & textdef::kCategoryMask)
        line += " category=" + std::to_string(categoryWord & textdef::kCategoryMask);
    if (utf16 && (categoryWord & textdef::kUseCategoryFont)) line += " category-font";
    if (utf16 && (categoryWord & textdef::kUseCategoryPlacement)) line += " category-place";
    const int alignment = Read<int16_t>(data, textdef::kAlignment);
    if (alignment) line += " align=" + std::to_string(alignment);
    line += PlacementText(data, textdef::kPlacement);
    if (Read<uint16_t>(data, textdef::kRehearsalMark)) line += " rehearsal";
    return line + "\n";
}

// Only the category has a notation; the raw lines give the rest of a definition the host made.
std::string Writer::ShapeExpressionLine(int number) {
    RecordStore::Bytes bytes;
    if (!view_.Read(shapedef::kTag, ItemKey(number), bytes) || bytes.empty()) return std::string();
    bytes.resize(std::max<size_t>(bytes.size(), shapedef::kMinimumSize), 0);
    std::string line = "shape-expression " + std::to_string(number);
    const int category = Read<uint16_t>(bytes.data(), shapedef::kCategory) & shapedef::kCategoryMask;
    if (category) line += " category=" + std::to_string(category);
    return line + "\n";
}

std::string Writer::ArticulationDefLine(int number) {
    const articdef::Layout& layout = articdef::ForHost(LayoutVersion());
    RecordStore::Bytes bytes;
    if (!Load(articdef::kTag, ItemKey(number), layout.size, &bytes)) return std::string();
    const uint8_t* data = bytes.data();
    uint16_t flags1 = Read<uint16_t>(data, layout.flags1);
    uint16_t flags2 = Read<uint16_t>(data, layout.flags2);
    std::string line = "articulation " + std::to_string(number);
    const int mainSlot = articdef::ReadSpan(data, layout.mainSlot);
    const int alternateSlot = articdef::ReadSpan(data, layout.alternateSlot);
    if (flags2 & articdef::kMainIsShape)
        line += " shape=" + std::to_string(mainSlot);
    else if (mainSlot)
        line += " char=" + std::to_string(mainSlot);
    if (flags2 & articdef::kAlternateIsShape)
        line += " alt-shape=" + std::to_string(alternateSlot);
    else if (alternateSlot)
        line += " alt=" + std::to_string(alternateSlot);
    if (flags1 & articdef::kMainUsesAlternate) line += " main=alt";
    if (flags1 & articdef::kFlippedUsesAlternate) line += " flipped=alt";
    flags1 &= uint16_t(~(articdef::kMainUsesAlternate | articdef::kFlippedUsesAlternate));
    // A mode is written only where the stored code is one; any other code stays in the flags.
    const int code = flags1 & articdef::kPositionModeMask;
    for (int mode = 1; mode <= 5 && (code & articdef::kPositionModeOn); ++mode)
        if (articdef::kModeCodes[mode] == code) {
            line += " mode=" + std::to_string(mode);
            flags1 &= uint16_t(~articdef::kPositionModeMask);
        }
    struct Font {
        const char* prefix;
        const articdef::Span *number, *size, *effects;
    } fonts[] = {{"", &layout.mainFont, &layout.mainSize, &layout.mainEffects},
                 {"alt-", &layout.alternateFont, &layout.alternateSize, &layout.alternateEffects}};
    for (const Font& font : fonts) {
        const int fontNumber = articdef::ReadSpan(data, *font.number);
        const int size = articdef::ReadSpan(data, *font.size);
        const int effects = articdef::ReadSpan(data, *font.effects);
        if (fontNumber) line += std::string(" ") + font.prefix + "font=" + FontToken(fontNumber);
        if (size) line += std::string(" ") + font.prefix + "size=" + std::to_string(size);
        if (effects) line += std::string(" ") + font.prefix + "effects=" + std::to_string(effects);
    }
    for (int value = 0; value < articdef::kValueCount; ++value) {
        const int given = Read<int16_t>(data, layout.values[value]);
        if (given) line += " " + std::string(1, char('A' + value)) + "=" + std::to_string(given);
    }
    if (flags1) line += " flags=0x" + Hex(flags1, 4);
    flags2 = uint16_t(flags2 & ~(articdef::kMainIsShape | articdef::kAlternateIsShape));
    if (flags2) line += " flags2=0x" + Hex(flags2, 4);
    return line + "\n";
}

std::string Writer::Expressions(int measure) {
    const std::set<int> declared(staves_.begin(), staves_.end());
    const RecordStore::TagRecords& records = document_.Records().Records(expression::kTag);
    const FXKey first = {{uint16_t(measure), 0, 0, 0}};
    std::string text;
    for (auto record = records.lower_bound(RecordStore::Order(first)); record != records.end(); ++record) {
        const FXKey key = RecordStore::KeyFromOrder(record->first);
        if (key.words[0] != measure) break;
        if (key.words[2] || key.words[3]) continue;
        RecordStore::Bytes bytes;
        if (!Load(expression::kTag, key, expression::kSize, &bytes)) continue;
        const uint8_t* data = bytes.data();
        const int staff = Read<int16_t>(data, expression::kStaff);
        if (!declared.count(staff)) continue;
        const uint16_t flags = Read<uint16_t>(data, expression::kFlags);
        const int32_t position = expression::Position(data);
        text += "s" + std::to_string(staff) + " expression " +
                std::to_string(Read<uint16_t>(data, expression::kDefinition));
        if (flags & expression::kShape) text += " shape";
        if (position) text += " at=" + std::to_string(position);
        if (flags & expression::kLayerMask) text += " layer=" + std::to_string(flags & expression::kLayerMask);
        if (flags & expression::kHiddenInScore) text += " hide-score";
        if (flags & expression::kHiddenInParts) text += " hide-parts";
        if (flags & expression::kHiddenInCurrentPart) text += " hide-part";
        text += "\n";
    }
    return text;
}

std::string Writer::ArticulationMarks(int32_t entryNumber) {
    std::string text;
    for (int inci = 0; inci < 0xFFFF; ++inci) {
        const RecordStore::Bytes* bytes = document_.Records().Find(artic::kTag, EntryKey(entryNumber, inci));
        if (!bytes) break;
        // Marks only for records their fields give exactly; the others are written raw.
        if (bytes->size() != artic::kSize) return std::string();
        const uint8_t* data = bytes->data();
        const int definition = Read<uint16_t>(data, artic::kDefinition);
        const int position1 = Read<int16_t>(data, artic::kPosition1);
        const int position2 = Read<int16_t>(data, artic::kPosition2);
        uint8_t made[artic::kSize] = {0};
        Write<uint16_t>(made, artic::kDefinition, uint16_t(definition));
        Write<int16_t>(made, artic::kPosition1, int16_t(position1));
        Write<int16_t>(made, artic::kPosition2, int16_t(position2));
        if (std::memcmp(data, made, artic::kSize) != 0) return std::string();
        text += "!art" + std::to_string(definition);
        if (position1 || position2) text += "(" + std::to_string(position1) + "," + std::to_string(position2) + ")";
    }
    return text;
}

std::string Writer::TupletOptions(int32_t entryNumber) {
    RecordStore::Bytes bytes;
    if (!Load(TupletRatio::kTag, EntryKey(entryNumber, 0), TupletRatio::kDataSize, &bytes)) return std::string();
    std::string text;
    for (const TupletOptionName& option : kTupletOptionNames) {
        const int offset = tuplet::OptionOffset(option.option);
        const bool flagWord = option.option == tuplet::kDisplayFlags || option.option == tuplet::kDisplayFlags2;
        const int value = flagWord ? Read<uint16_t>(bytes.data(), offset) : Read<int16_t>(bytes.data(), offset);
        if (value)
            text += std::string(" ") + option.name + "=" + (option.hex ? "0x" + Hex(value, 4) : std::to_string(value));
    }
    return text;
}

void Writer::Measures() {
    const int last = LastMeasure(view_);
    for (const auto& frame : document_.Entries().Frames()) {
        int& lastMeasure = lastMeasure_[std::make_pair(frame.first.staff, frame.first.layer)];
        if (frame.first.measure > lastMeasure) lastMeasure = frame.first.measure;
    }
    std::string previousTime = "4/4", previousKey = KeyToken(0);
    // A run of measures without cells or music, sharing their signatures and barline, is one line.
    int runFirst = 0, runBarline = 0;
    std::string runTime, runKey;
    auto flush = [&](int runLast) {
        if (runFirst) out_ += MeasureLine(runFirst, runLast, runTime, runKey, runBarline);
        runFirst = 0;
    };
    for (int m = 1; m <= last; ++m) {
        std::string time = "4/4", key = KeyToken(0);
        int barline = 0;
        RecordStore::Bytes record;
        if (view_.Read(measure::kTag, ItemKey(m), record)) {
            const measure::Fields& fields = measure::ForHostVersion(LayoutVersion());
            time = TimeOf(view_, record, fields.beats, fields.beatDuration, fields.timeFlags);
            if (time.empty()) time = "4/4";  // the raw measure record says the rest
            key = KeyToken(Field<uint16_t>(record, fields.key));
            barline = measure::BarlineStyle(Field<uint16_t>(record, fields.barline));
        }
        const std::string timeText = time == previousTime ? std::string() : time;
        const std::string keyText = key == previousKey ? std::string() : key;
        previousTime = time;
        previousKey = key;

        std::string content;
        for (int staff : staves_) content += Cell(staff, m);
        content += Expressions(m);
        content += ChordLines(document_, m, staves_, options_.bookkeeping);
        for (int staff : staves_)
            for (int layer = 0; layer < EntryStore::kLayerCount; ++layer) content += Layer(staff, m, layer);
        content += shapes_.byMeasure[m];

        const bool joins = runFirst && content.empty() && timeText.empty() && keyText.empty() && barline == runBarline;
        if (joins) continue;
        flush(m - 1);
        if (content.empty()) {
            runFirst = m;
            runTime = timeText;
            runKey = keyText;
            runBarline = barline;
            continue;
        }
        out_ += MeasureLine(m, m, timeText, keyText, barline) + content;
    }
    flush(last);
}

// Raw lines for every record of store that other lacks or holds differently, and deletions for
// the records only other holds.
void Difference(const RecordStore& store, const RecordStore& other, const std::string& prefix, std::string* out) {
    auto keyText = [](uint64_t order) {
        const FXKey key = RecordStore::KeyFromOrder(order);
        return std::to_string(key.words[0]) + " " + std::to_string(key.words[1]) + " " + std::to_string(key.words[2]) +
               " " + std::to_string(key.words[3]);
    };
    for (const auto& tag : store.All())
        for (const auto& record : tag.second) {
            const RecordStore::Bytes* theirs = other.Find(tag.first, RecordStore::KeyFromOrder(record.first));
            if (theirs && *theirs == record.second) continue;
            std::string bytes;
            for (uint8_t b : record.second) bytes += Hex(b, 2);
            *out += "raw " + prefix + TagToken(tag.first) + " " + keyText(record.first) + " =" +
                    (bytes.empty() ? "" : " " + bytes) + "\n";
        }
    for (const auto& tag : other.All())
        for (const auto& record : tag.second)
            if (!store.Find(tag.first, RecordStore::KeyFromOrder(record.first)))
                *out += "raw " + prefix + TagToken(tag.first) + " " + keyText(record.first) + " delete\n";
}

void PartDifference(const std::map<int32_t, RecordStore>& mine, const std::map<int32_t, RecordStore>& theirs,
                    const char* name, std::string* out) {
    static const RecordStore empty;
    std::set<int32_t> parts;
    for (const auto& part : mine) parts.insert(part.first);
    for (const auto& part : theirs) parts.insert(part.first);
    for (int32_t part : parts) {
        auto a = mine.find(part), b = theirs.find(part);
        Difference(a == mine.end() ? empty : a->second, b == theirs.end() ? empty : b->second,
                   std::string(name) + "=" + std::to_string(part) + " ", out);
    }
}

}  // namespace
}  // namespace scoretext

std::string WriteScoreText(const ScoreTextOptions& options) {
    std::string text;
    {
        scoretext::ScoreInView score;
        scoretext::Writer writer(options);
        text = writer.Run();
    }
    if (!options.bookkeeping) return text;
    DocumentState scratch;
    ScoreTextError error;
    if (!scoretext::ParseWithoutRaws(text, &scratch, &error))
        return text + "# the text above cannot be read: " + error.ToString() + "\n";
    const DocumentState& state = CurrentDocument().State();
    std::string raw;
    scoretext::Difference(state.records, scratch.records, "", &raw);
    scoretext::PartDifference(state.parts.layouts, scratch.parts.layouts, "part", &raw);
    scoretext::PartDifference(state.parts.fields, scratch.parts.fields, "field", &raw);
    if (state.entries != scratch.entries) raw += "# the entries above differ from the document's\n";
    return text + raw;
}

bool WriteScoreFile(const std::string& path, const ScoreTextOptions& options) {
    const std::string text = WriteScoreText(options);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

std::string CanonicalScoreText(const std::string& text, const ScoreTextOptions& options) {
    DocumentState state;
    ScoreTextError error;
    uint32_t hidden = 0;
    if (!ParseScoreText(text, &state, &hidden, &error)) return error.ToString();
    // Write the scratch document from the current one's place, then put everything back.
    Document& document = CurrentDocument();
    const DocumentState saved = document.State();
    const DocumentView view = document.View();
    uint32_t savedHidden = 0;
    for (int layer = 0; layer < 32; ++layer) {
        if (!document.IsLayerShown(layer)) savedHidden |= 1u << layer;
        document.SetLayerShown(layer, !(hidden & (1u << layer)));
    }
    document.State() = state;
    const std::string canonical = WriteScoreText(options);
    document.State() = saved;
    document.View() = view;
    for (int layer = 0; layer < 32; ++layer) document.SetLayerShown(layer, !(savedHidden & (1u << layer)));
    return canonical;
}

}  // namespace simhost
