// Writing score text: the document's structure and music in the notation, then, for whatever the
// notation does not carry (records of kinds it does not know yet, fields it leaves out), raw
// record lines: the writer reads its own text into a scratch document and writes every record
// that differs from the document, so reading the whole text always gives the same document.
#include "framework/entries/FCArticulation.h"
#include "framework/entries/FCArticulationDef.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCTuplet.h"
#include "framework/markings/FCCategoryDef.h"
#include "framework/markings/FCExpression.h"
#include "framework/markings/FCShapeExpressionDef.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCCompositeTimeSigBottom.h"
#include "framework/score/FCCompositeTimeSigTop.h"
#include "framework/score/FCGeneralPrefs.h"
#include "framework/score/FCIndependentCellDetail.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCMiscDocPrefs.h"
#include "framework/score/FCPart.h"
#include "framework/score/FCStaff.h"
#include "framework/score/FCStaffSystem.h"
#include "framework/score/FCSystemStaff.h"
#include "simhost/RecordView.h"
#include "simhost/ScoreQueries.h"
#include "simhost/ScoreTextChords.h"
#include "simhost/ScoreTextShapes.h"
#include "simhost/ScoreTextSyntax.h"
#include "simhost/SimHost.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>

namespace simhost {
namespace scoretext {
namespace {

std::string Hex(uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

// Shows the score to the framework's record calls while it lives.
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

std::u16string Units(const FCString& text) { return std::u16string(text.GetUnits(), size_t(text.GetLength())); }

// A font by its name when the host names the number with a plain name that gives the number back.
std::string FontToken(int number) {
    const int16_t font = int16_t(number);
    char name[256] = {0};
    if (font >= 0 && hostapi::FX_FontNumToName(font, name, int32_t(sizeof name) - 1, kFXInterfaceVersion) && name[0] &&
        hostapi::FX_FontNameToNum(name, kFXInterfaceVersion) == font) {
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

std::string PlacementText(const int* values, int count) {
    bool any = false;
    std::string text;
    for (int i = 0; i < count; ++i) {
        any = any || values[i];
        text += (i ? "," : "") + std::to_string(values[i]);
    }
    return any ? " place=" + text : std::string();
}

// The meter a time signature holds, when the notation can say it.
std::string TimeOf(const FCTimeSignature& time) {
    Meter meter;
    if (!time.IsCompositeTop() && !time.IsCompositeBottom())
        return TimeToken(Meter::Simple(time.GetBeats(), time.GetBeatDuration()));
    if (!time.IsCompositeTop()) return std::string();
    std::unique_ptr<FCCompositeTimeSigTop> top(time.GetCompositeTop());
    std::vector<std::vector<int>> groups;
    for (int g = 0; g < top->GetGroupCount(); ++g) {
        groups.emplace_back();
        for (int i = 0; i < top->GetGroupElementCount(g); ++i) groups.back().push_back(top->GetGroupElementBeats(g, i));
    }
    if (!time.IsCompositeBottom()) return TimeToken(Meter::Composite(groups, time.GetBeatDuration()));
    std::unique_ptr<FCCompositeTimeSigBottom> bottom(time.GetCompositeBottom());
    if (bottom->GetGroupCount() != int(groups.size())) return std::string();
    std::vector<int> durations;
    for (int g = 0; g < bottom->GetGroupCount(); ++g) {
        if (bottom->GetGroupElementCount(g) != 1) return std::string();
        durations.push_back(bottom->GetGroupBeatDuration(g));
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
    FCGeneralPrefs general;
    const int unit = general.Load(1) ? general.GetMeasurementUnit() : 1;
    FCMiscDocPrefs misc;
    const uint16_t flags = misc.Load(1) ? misc.GetBeamFlags() : 0;
    // The view's hidden layers are not music: a comparison of the music leaves them out.
    std::string hidden;
    for (int layer = 0; layer < 4 && options_.bookkeeping; ++layer)
        if (!document_.IsLayerShown(layer)) hidden += (hidden.empty() ? "" : ",") + std::to_string(layer + 1);
    if (unit == 1 && flags == 0 && hidden.empty()) return;
    std::string line = "prefs";
    if (unit != 1) line += " unit=" + UnitToken(unit);
    if (flags & FCMiscDocPrefs::kBeamOverRests) line += " beams-over-rests";
    if (flags & FCMiscDocPrefs::kBeamFourEighthsInCommonTime) line += " four-eighths";
    const uint16_t other =
        uint16_t(flags & ~(FCMiscDocPrefs::kBeamOverRests | FCMiscDocPrefs::kBeamFourEighthsInCommonTime));
    if (other) line += " beamflags=0x" + Hex(other, 4);
    if (!hidden.empty()) line += " hidden-layers=" + hidden;
    out_ += line + "\n";
}

void Writer::Staves() {
    std::set<int> seen;
    for (int staff : StaffList(view_, 0)) {
        if (staff < 1 || staff > 0x7FFF || !seen.insert(staff).second) continue;
        staves_.push_back(staff);
        std::string line = "staff " + std::to_string(staff);
        FCStaff record;
        if (record.Load(uint16_t(staff))) {
            const int style = record.GetNotationStyle();
            if (style) line += " style=" + std::to_string(style);
            if (record.HasIndependentKeySig()) line += " ownkey";
            if (record.HasIndependentTimeSig()) line += " owntime";
            const uint8_t* flags = record.GetIndependenceFlagsField();
            if (flags && (fcdata::Read<uint16_t>(flags, 0) & FCNoteEntry::kStaffIgnoresKey)) line += " keyless";
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
    for (const auto& record : document_.Records().Records(FCPart::kTag)) {
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
    for (const auto& record : view.StoreFor(FCStaffSystem::kTag).Records(FCStaffSystem::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (key.words[1] || key.words[2] || key.words[3]) return false;
        if (key.words[0] != expected++ || record.second.size() < FCStaffSystem::kDataSize) return false;
        const int first = fcdata::Read<int16_t>(record.second.data(), FCStaffSystem::kFirstMeasureOffset);
        const int next = fcdata::Read<int16_t>(record.second.data(), FCStaffSystem::kNextSystemMeasureOffset);
        const std::vector<int> staves = StaffList(view, key.words[0]);
        std::vector<int> sizes;
        bool sized = false;
        for (int staff : staves) {
            if (!declared.count(staff)) return false;
            const FXKey sizeKey = {{key.words[0], uint16_t(staff), 0, 0}};
            const RecordStore::Bytes* size =
                view.StoreFor(FCSystemStaff::kSizeTag).Find(FCSystemStaff::kSizeTag, sizeKey);
            sizes.push_back(size && size->size() >= 2 ? fcdata::Read<int16_t>(size->data(), 0) : 100);
            if (sizes.back() != 100) sized = true;
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
    FCCell cell(measure, staff);
    FCIndependentCellDetail detail;
    detail.ConnectToCell(&cell);
    if (!detail.LoadFirst()) return std::string();
    std::string time, key;
    FCTimeSignature meter;
    if (detail.CopyTimeSignatureTo(&meter)) time = TimeOf(meter);
    if (detail.HasKeySignature()) key = KeyToken(detail.GetKeySignatureValue());
    if (time.empty() && key.empty()) return std::string();
    std::string line = "s" + std::to_string(staff) + " cell";
    if (!time.empty()) line += " " + time;
    if (!key.empty()) line += " key=" + key;
    return line + "\n";
}

std::string Writer::Note(const StoredNote& note, size_t index, uint16_t key, bool dangling) {
    std::string text = PitchToken(Spell(note.displacement, note.raiseLower, key));
    uint32_t flags = note.flags;
    if ((flags & FCNote::kFlagTieStart) && !dangling) {
        text += "~";
        flags &= ~FCNote::kFlagTieStart;
    }
    if (options_.bookkeeping && note.noteID != int(index) + 1) text += ":" + std::to_string(note.noteID);
    if (flags & FCNote::kFlagCreated) {
        if (options_.bookkeeping) text += "!new";
        flags &= ~FCNote::kFlagCreated;
    }
    if (flags) text += "!n=" + Hex(flags, 8);
    return text;
}

std::string Writer::Entry(const StoredEntry& entry, uint16_t key, bool braced, bool lastOfLayer) {
    std::string text;
    uint32_t flags = entry.flags;
    uint16_t flags2 = entry.flags2;
    if (flags & FCNoteEntry::kFlagBeamStart) text += "[";
    if (flags & FCNoteEntry::kFlagGrace) text += "g";
    flags &= ~(FCNoteEntry::kFlagBeamStart | FCNoteEntry::kFlagGrace);
    if (braced) flags &= ~FCNoteEntry::kFlagTupletStart;
    // Articulation marks imply the flag; without it the records stay raw.
    // A shape line names the entries at its ends, which gives them their flag.
    if (shapes_.flaggedEnds.count(entry.number)) flags2 = uint16_t(flags2 & ~FCNoteEntry::kFlag2SmartShape);
    std::string articulations;
    if (flags & FCNoteEntry::kFlagArticulations) articulations = ArticulationMarks(entry.number);
    if (!articulations.empty()) flags &= ~FCNoteEntry::kFlagArticulations;
    const bool note = (flags & FCNoteEntry::kFlagNote) != 0;
    flags &= ~FCNoteEntry::kFlagNote;
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
        {"mark", FCNoteEntry::kFlagMark, 0, true},           {"mute", FCNoteEntry::kFlagNotSounding, 0, false},
        {"alter", FCNoteEntry::kFlagAlterMod, 0, false},     {"artic", FCNoteEntry::kFlagArticulations, 0, false},
        {"tuplet", FCNoteEntry::kFlagTupletStart, 0, false}, {"changed", 0, FCNoteEntry::kFlag2PitchChanged, true},
        {"shape", 0, FCNoteEntry::kFlag2SmartShape, false}};
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
        if (i < free || !(entries[i].flags & FCNoteEntry::kFlagTupletStart) || entries[i].number <= 0) continue;
        TupletRatio ratio;
        if (!FindTuplet(document_.Records(), entries[i].number, &ratio) || !ratio.IsValid()) continue;
        int64_t sum = 0;
        for (size_t k = i; k < entries.size(); ++k) {
            if (!(entries[k].flags & FCNoteEntry::kFlagGrace)) sum += entries[k].duration;
            if (sum < ratio.NotatedTotal()) continue;
            if (sum == ratio.NotatedTotal() && !(entries[k].flags & FCNoteEntry::kFlagGrace)) {
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
    for (const auto& record : records.Records(FCCategoryDef::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (IsItemKey(key)) out_ += CategoryLine(key.words[0]);
    }
    for (const auto& record : records.Records(FCTextExpressionDef::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (IsItemKey(key)) out_ += TextExpressionLine(key.words[0]);
    }
    for (const auto& record : records.Records(FCShapeExpressionDef::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (IsItemKey(key)) out_ += ShapeExpressionLine(key.words[0]);
    }
    for (const auto& record : records.Records(FCArticulationDef::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (IsItemKey(key)) out_ += ArticulationDefLine(key.words[0]);
    }
}

std::string Writer::CategoryLine(int number) {
    FCCategoryDef category;
    if (!category.Load(uint16_t(number))) return std::string();
    std::string line = "category " + std::to_string(number);
    FCString name;
    category.GetName(&name);
    if (!name.IsEmpty()) line += " " + QuotedToken(Units(name));
    if (category.GetCategoryType() != number) line += " type=" + std::to_string(category.GetCategoryType());
    if (category.GetTextFontNumber()) line += " font=" + FontToken(category.GetTextFontNumber());
    if (category.GetTextFontSize()) line += " size=" + std::to_string(category.GetTextFontSize());
    if (category.GetTextFontEffects()) line += " effects=" + std::to_string(category.GetTextFontEffects());
    if (category.GetHorizontalAlignment()) line += " align=" + std::to_string(category.GetHorizontalAlignment());
    int placement[FCCategoryDef::kPlacementCount];
    for (int i = 0; i < FCCategoryDef::kPlacementCount; ++i) placement[i] = category.GetPlacementValue(i);
    line += PlacementText(placement, FCCategoryDef::kPlacementCount);
    if (category.GetFlags()) line += " flags=0x" + Hex(category.GetFlags(), 4);
    return line + "\n";
}

std::string Writer::TextExpressionLine(int number) {
    FCTextExpressionDef definition;
    if (!definition.Load(uint16_t(number))) return std::string();
    std::string line = "text-expression " + std::to_string(number);
    FCString text;
    if (definition.GetTextBlockNumber() && definition.GetText(&text)) line += " " + QuotedToken(Units(text));
    definition.GetDescription(&text);
    if (!text.IsEmpty()) line += " desc=" + QuotedToken(Units(text));
    if (definition.GetCategoryNumber()) line += " category=" + std::to_string(definition.GetCategoryNumber());
    if (definition.GetUseCategoryFont()) line += " category-font";
    if (definition.GetUseCategoryPlacement()) line += " category-place";
    if (definition.GetHorizontalAlignment()) line += " align=" + std::to_string(definition.GetHorizontalAlignment());
    int placement[FCTextExpressionDef::kPlacementCount];
    for (int i = 0; i < FCTextExpressionDef::kPlacementCount; ++i) placement[i] = definition.GetPlacementValue(i);
    line += PlacementText(placement, FCTextExpressionDef::kPlacementCount);
    if (definition.IsRehearsalMark()) line += " rehearsal";
    return line + "\n";
}

// Only the category has a notation; the raw lines give the rest of a definition the host made.
std::string Writer::ShapeExpressionLine(int number) {
    FCShapeExpressionDef definition;
    if (!definition.Load(uint16_t(number))) return std::string();
    std::string line = "shape-expression " + std::to_string(number);
    if (definition.GetCategoryNumber()) line += " category=" + std::to_string(definition.GetCategoryNumber());
    return line + "\n";
}

std::string Writer::ArticulationDefLine(int number) {
    FCArticulationDef definition;
    if (!definition.Load(uint16_t(number))) return std::string();
    std::string line = "articulation " + std::to_string(number);
    if (definition.IsMainShape())
        line += " shape=" + std::to_string(definition.GetMainSlot());
    else if (definition.GetMainSlot())
        line += " char=" + std::to_string(definition.GetMainSlot());
    if (definition.IsAlternateShape())
        line += " alt-shape=" + std::to_string(definition.GetAlternateSlot());
    else if (definition.GetAlternateSlot())
        line += " alt=" + std::to_string(definition.GetAlternateSlot());
    uint16_t flags1 = definition.GetFlags1();
    if (flags1 & FCArticulationDef::kMainUsesAlternate) line += " main=alt";
    if (flags1 & FCArticulationDef::kFlippedUsesAlternate) line += " flipped=alt";
    flags1 &= uint16_t(~(FCArticulationDef::kMainUsesAlternate | FCArticulationDef::kFlippedUsesAlternate));
    // A mode is written only where the stored code is one; any other code stays in the flags.
    const int mode = definition.GetPositionMode();
    if (mode >= 1) {
        line += " mode=" + std::to_string(mode);
        flags1 &= uint16_t(~FCArticulationDef::kPositionModeMask);
    }
    struct Font {
        const char* prefix;
        int number, size, effects;
    } fonts[] = {{"", definition.GetMainFontNumber(), definition.GetMainFontSize(), definition.GetMainFontEffects()},
                 {"alt-", definition.GetAlternateFontNumber(), definition.GetAlternateFontSize(),
                  definition.GetAlternateFontEffects()}};
    for (const Font& font : fonts) {
        if (font.number) line += std::string(" ") + font.prefix + "font=" + FontToken(font.number);
        if (font.size) line += std::string(" ") + font.prefix + "size=" + std::to_string(font.size);
        if (font.effects) line += std::string(" ") + font.prefix + "effects=" + std::to_string(font.effects);
    }
    for (int value = 0; value < FCArticulationDef::kValueCount; ++value) {
        const int given = definition.GetValue(FCArticulationDef::Value(value));
        if (given) line += " " + std::string(1, char('A' + value)) + "=" + std::to_string(given);
    }
    if (flags1) line += " flags=0x" + Hex(flags1, 4);
    const uint16_t flags2 =
        uint16_t(definition.GetFlags2() & ~(FCArticulationDef::kMainIsShape | FCArticulationDef::kAlternateIsShape));
    if (flags2) line += " flags2=0x" + Hex(flags2, 4);
    return line + "\n";
}

std::string Writer::Expressions(int measure) {
    const std::set<int> declared(staves_.begin(), staves_.end());
    const RecordStore::TagRecords& records = document_.Records().Records(FCExpression::kTag);
    const FXKey first = {{uint16_t(measure), 0, 0, 0}};
    std::string text;
    for (auto record = records.lower_bound(RecordStore::Order(first)); record != records.end(); ++record) {
        const FXKey key = RecordStore::KeyFromOrder(record->first);
        if (key.words[0] != measure) break;
        if (key.words[2] || key.words[3]) continue;
        FCExpression expression;
        if (!expression.Load(key.words[0], key.words[1]) || !declared.count(expression.GetStaff())) continue;
        text += "s" + std::to_string(expression.GetStaff()) + " expression " +
                std::to_string(expression.GetDefinitionNumber());
        if (expression.IsShape()) text += " shape";
        if (expression.GetMeasurePos()) text += " at=" + std::to_string(expression.GetMeasurePos());
        if (expression.GetLayerAssignment()) text += " layer=" + std::to_string(expression.GetLayerAssignment());
        if (!expression.GetShownInScore()) text += " hide-score";
        if (!expression.GetShownInParts()) text += " hide-parts";
        if (!expression.GetShownInCurrentPart()) text += " hide-part";
        text += "\n";
    }
    return text;
}

std::string Writer::ArticulationMarks(int32_t entryNumber) {
    std::string text;
    for (int inci = 0; inci < 0xFFFF; ++inci) {
        const FXKey key = {
            {uint16_t(uint32_t(entryNumber) & 0xFFFF), uint16_t(uint32_t(entryNumber) >> 16), uint16_t(inci), 0}};
        const RecordStore::Bytes* bytes = document_.Records().Find(FCArticulation::kTag, key);
        if (!bytes) break;
        FCArticulation articulation;
        if (!articulation.Load(entryNumber, uint16_t(inci))) return std::string();
        // Marks only for records their fields give exactly; the others are written raw.
        FCArticulation made;
        made.SetDefNumber(articulation.GetDefNumber());
        made.SetPosition1(articulation.GetPosition1());
        made.SetPosition2(articulation.GetPosition2());
        if (bytes->size() != FCArticulation::kDataSize ||
            std::memcmp(bytes->data(), made.GetDataPointer(), FCArticulation::kDataSize) != 0)
            return std::string();
        text += "!art" + std::to_string(articulation.GetDefNumber());
        if (articulation.GetPosition1() || articulation.GetPosition2())
            text += "(" + std::to_string(articulation.GetPosition1()) + "," +
                    std::to_string(articulation.GetPosition2()) + ")";
    }
    return text;
}

std::string Writer::TupletOptions(int32_t entryNumber) {
    FCTuplet tuplet;
    if (!tuplet.Load(entryNumber, 0)) return std::string();
    std::string text;
    for (const TupletOptionName& option : kTupletOptionNames) {
        const int value = tuplet.GetOption(FCTuplet::Option(option.option));
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
        FCMeasure measure;
        std::string time = "4/4", key = KeyToken(0);
        int barline = 0;
        if (measure.Load(uint16_t(m))) {
            time = TimeOf(*measure.GetTimeSignature());
            if (time.empty()) time = "4/4";  // the raw measure record says the rest
            key = KeyToken(measure.GetKeySignature()->GetKeyValue());
            barline = measure.GetBarlineStyle();
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
