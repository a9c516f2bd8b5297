// Reading score text: the parsed statements are built into the current document, the structure
// and the music through the document builder, the markings straight into their records at the
// host's layouts (simhost/layouts/MarkingLayouts.h), in a scratch content that replaces the
// document only when everything was built.
#include "simhost/RecordView.h"
#include "simhost/ScoreQueries.h"
#include "simhost/ScoreTextChords.h"
#include "simhost/ScoreTextShapes.h"
#include "simhost/ScoreTextSyntax.h"
#include "simhost/SimHost.h"
#include "simhost/layouts/MarkingLayouts.h"
#include "simhost/SimFunctions.h"

#include <algorithm>
#include <cstdio>
#include <set>

static_assert(simhost::scoretext::kArticulationValueCount == simhost::layout::articdef::kValueCount,
              "the text names every value of an articulation definition");

namespace simhost {

std::string ScoreTextError::ToString() const {
    return source + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

namespace scoretext {

uint16_t SpellingKey(int staff, int measure) {
    const RecordView view = RecordView::Current();
    const uint32_t version = LayoutVersion();
    RecordStore::Bytes bytes;
    const FXKey inEffect = {{uint16_t(staff), uint16_t(measure), 0, 0}};
    const uint16_t independence = view.Read(layout::staff::kCurrentSpecTag, inEffect, bytes)
                                      ? layout::Field<uint16_t>(bytes, layout::staff::kIndependenceFlags)
                                      : 0;
    if (independence & layout::staff::kIgnoresKey) return 0;
    if ((independence & layout::staff::kIndependentKey) &&
        view.Read(layout::cell::TagForHostVersion(version), inEffect, bytes) &&
        (layout::Field<uint16_t>(bytes, layout::cell::kPresence) & layout::cell::kHasKey))
        return layout::Field<uint16_t>(bytes, layout::cell::kKey);
    const FXKey measureKey = {{uint16_t(measure), 0, 0, 0}};
    if (measure < 1 || !view.Read(layout::measure::kTag, measureKey, bytes)) return 0;
    return layout::Field<uint16_t>(bytes, layout::measure::ForHostVersion(version).key);
}

namespace {

using namespace layout;

// Empties the current document's content while it lives; puts the content and the view back.
class ScratchContent {
public:
    ScratchContent() : document_(CurrentDocument()), state_(document_.State()), view_(document_.View()) {
        document_.State() = DocumentState();
    }
    ~ScratchContent() {
        document_.State() = state_;
        document_.View() = view_;
    }
    ScratchContent(const ScratchContent&) = delete;
    ScratchContent& operator=(const ScratchContent&) = delete;

private:
    Document& document_;
    DocumentState state_;
    DocumentView view_;
};

class Builder {
public:
    Builder(const ScoreSyntax& syntax, const std::string& source, ScoreTextError* error, bool checkLengths = true)
        : syntax_(syntax),
          source_(source),
          error_(error),
          document_(CurrentDocument()),
          view_(document_, 0),
          checkLengths_(checkLengths) {}

    bool Run();

private:
    bool Fail(const Place& at, const std::string& message) {
        if (error_) {
            error_->source = source_;
            error_->line = at.line;
            error_->column = at.column;
            error_->message = message;
        }
        return false;
    }
    bool Structure();
    bool Definitions();
    bool Measure(const MeasureStatement& measure);
    bool Layer(int measure, const LayerStatement& layer);
    bool Articulations(int32_t entryNumber, const EntryItem& item);
    int ExpressionText(const std::u16string& text);
    // The measure knows it has expressions, as it does when the host places them.
    bool MarkMeasureExpressions(int measure);
    bool Raws();
    // The layer's entries end within the measure.
    bool Fits(int measure, const LayerStatement& layer);

    const ScoreSyntax& syntax_;
    const std::string& source_;
    ScoreTextError* error_;
    Document& document_;
    RecordView view_;
    bool checkLengths_;
    DocumentBuilder builder_;
    int32_t nextNumber_ = 1;
    std::set<int32_t> numbers_;
};

bool Builder::Run() {
    // The records written here are the score's.
    document_.View().SetCurrentPart(0);
    if (!Structure() || !Definitions()) return false;
    Place failed;
    if (!BuildStaffStyles(syntax_, &failed)) return Fail(failed, "the staff style could not be stored");
    for (const MeasureStatement& measure : syntax_.measures)
        if (!Measure(measure)) return false;
    if (syntax_.hasNextEntry && !builder_.SetNextEntryNumber(syntax_.nextEntry))
        return Fail(syntax_.nextEntryAt, "expected a number above every entry number (" +
                                             std::to_string(document_.Entries().HighestNumber()) + ")");
    Place shapeAt;
    std::string shapeError;
    if (!BuildShapes(syntax_.shapes, document_, &shapeAt, &shapeError)) return Fail(shapeAt, shapeError);
    if (!Raws()) return false;
    // Lengths are checked on the finished document: raw records (tuplets, time signatures) count.
    for (const MeasureStatement& measure : syntax_.measures)
        for (const LayerStatement& layer : measure.layers)
            if (checkLengths_ && !layer.overfull && !Fits(measure.first, layer)) return false;
    return true;
}

bool Builder::Fits(int measure, const LayerStatement& layer) {
    const FrameKey frame{layer.staff, measure, layer.layer};
    std::vector<EntryTiming> timing;
    ComputeTiming(document_.Entries().Get(frame), document_.Records(), &timing, nullptr);
    const int32_t length = MeasureDuration(RecordView(document_, 0), layer.staff, measure);
    for (size_t i = 0; i < timing.size(); ++i) {
        const int64_t end = int64_t(timing[i].position) + timing[i].actual;
        if (end > length)
            return Fail(layer.entries[i].at, "the entry ends at " + std::to_string(end) +
                                                 " EDUs, past the end of the measure (" + std::to_string(length) +
                                                 "); write 'overfull' before ':' if that is meant");
    }
    return true;
}

bool Builder::Structure() {
    if (syntax_.unit != 1 && !builder_.SetMeasurementUnit(syntax_.unit))
        return Fail(Place{1, 1}, "the unit could not be stored");
    if (syntax_.beamFlags && !builder_.SetBeamFlags(syntax_.beamFlags))
        return Fail(Place{1, 1}, "the beam flags could not be stored");
    for (const StaffStatement& staff : syntax_.staves) {
        if (!builder_.AddStaffNumbered(staff.number)) return Fail(staff.at, "the staff could not be added");
        if ((staff.style && !builder_.SetStaffNotationStyle(staff.number, staff.style)) ||
            ((staff.ownKey || staff.ownTime) &&
             !builder_.SetStaffIndependence(staff.number, staff.ownKey, staff.ownTime)) ||
            (staff.keyless && !builder_.SetStaffIgnoresKey(staff.number, true)))
            return Fail(staff.at, "the staff's options could not be stored");
    }
    for (const PartStatement& part : syntax_.parts)
        if (builder_.AddPart(part.staves) != part.id)
            return Fail(part.at, "the part could not be added as part " + std::to_string(part.id));
    for (const SystemStatement& system : syntax_.systems)
        if (builder_.AddSystem(system.first, system.next, system.staves, system.part, system.sizes) != system.number)
            return Fail(system.at, "the system could not be added as system " + std::to_string(system.number));
    return true;
}

bool Builder::Measure(const MeasureStatement& measure) {
    for (int number = measure.first; number <= measure.last; ++number) {
        if (builder_.AddMeasure(measure.meter, measure.key) != number)
            return Fail(measure.at, "the measure could not be added");
        if (measure.barline && !builder_.SetBarline(number, measure.barline))
            return Fail(measure.at, "the barline could not be stored");
    }
    for (const CellStatement& cell : measure.cells)
        if ((cell.hasMeter && !builder_.SetCellMeter(cell.staff, measure.first, cell.meter)) ||
            (cell.hasKey && !builder_.SetCellKey(cell.staff, measure.first, cell.key)))
            return Fail(cell.at, "the cell's signatures could not be stored");
    for (const LayerStatement& layer : measure.layers)
        if (!Layer(measure.first, layer)) return false;
    for (const ExpressionStatement& statement : measure.expressions) {
        uint8_t record[expression::kSize] = {0};
        Write<uint16_t>(record, expression::kDefinition, uint16_t(statement.definition));
        expression::WritePosition(record, statement.position);
        Write<uint16_t>(record, expression::kStaff, uint16_t(statement.staff));
        const uint16_t flags =
            uint16_t((statement.layer & expression::kLayerMask) | (statement.shape ? expression::kShape : 0) |
                     (statement.hideScore ? expression::kHiddenInScore : 0) |
                     (statement.hideParts ? expression::kHiddenInParts : 0) |
                     (statement.hidePart ? expression::kHiddenInCurrentPart : 0));
        Write<uint16_t>(record, expression::kFlags, flags);
        FXKey key = {{uint16_t(measure.first), 0xFFFF, 0, 0}};
        if (!MarkMeasureExpressions(measure.first) || !view_.Create(expression::kTag, key, record, sizeof record))
            return Fail(statement.at, "the expression could not be stored");
    }
    const ChordStatement* failed = nullptr;
    if (!BuildChordStatements(document_, measure.first, measure.chords, &failed))
        return Fail(failed->at, "the chord symbol could not be stored");
    return true;
}

bool Builder::MarkMeasureExpressions(int number) {
    const FXKey key = ItemKey(number);
    RecordStore::Bytes record;
    if (number < 1 || number >= 0xFFFF || !view_.Read(measure::kTag, key, record)) return false;
    const measure::Fields& fields = measure::ForHostVersion(LayoutVersion());
    record.resize(fields.size, 0);
    const uint16_t barline = Read<uint16_t>(record.data(), fields.barline);
    if (barline & measure::kHasExpressions) return true;
    Write<uint16_t>(record.data(), fields.barline, uint16_t(barline | measure::kHasExpressions));
    return view_.Write(measure::kTag, key, record.data(), fields.size);
}

bool Builder::Articulations(int32_t entryNumber, const EntryItem& entryItem) {
    for (const ArticulationItem& item : entryItem.articulations) {
        uint8_t record[artic::kSize] = {0};
        Write<uint16_t>(record, artic::kDefinition, uint16_t(item.definition));
        Write<int16_t>(record, artic::kPosition1, int16_t(item.position1));
        Write<int16_t>(record, artic::kPosition2, int16_t(item.position2));
        FXKey key = EntryKey(entryNumber, 0xFFFF);
        if (!view_.Create(artic::kTag, key, record, sizeof record))
            return Fail(item.at, "the articulation could not be stored");
    }
    return true;
}

namespace {

// The host's number for a font the text names.
int FontNumber(const FontItem& font) {
    if (!font.named) return font.number;
    return ::FX_FontNameToNum(font.name.c_str(), kFXInterfaceVersion);
}

}  // namespace

// A raw text and the text block naming it; the block's number, 0 when either cannot be stored.
int Builder::ExpressionText(const std::u16string& text) {
    const bool utf16 = IsUTF16Host(LayoutVersion());
    RecordStore::Bytes raw(size_t(TextSize(text, utf16)), 0);
    WriteText(raw.data(), int(raw.size()), text, utf16);
    FXKey rawKey = {{0xFFFF, 0xFFFF, 0, 0}};
    if (!view_.Create(rawtext::kExpressionTag, rawKey, raw.data(), uint32_t(raw.size())) ||
        !IsItemNumber(rawKey.words[0]))
        return 0;
    uint8_t block[textblock::kSize] = {0};
    Write<uint16_t>(block, textblock::kRawText, rawKey.words[0]);
    Write<uint16_t>(block, textblock::kKind, textblock::kExpressionKind);
    FXKey blockKey = {{0xFFFF, 0xFFFF, 0, 0}};
    if (!view_.Create(textblock::kTag, blockKey, block, sizeof block) || !IsItemNumber(blockKey.words[0])) {
        view_.Erase(rawtext::kExpressionTag, rawKey);
        return 0;
    }
    return blockKey.words[0];
}

bool Builder::Definitions() {
    const uint32_t version = LayoutVersion();
    const bool utf16 = IsUTF16Host(version);
    for (const CategoryStatement& statement : syntax_.categories) {
        const category::Layout& layout = category::ForHost(version);
        RecordStore::Bytes bytes(layout.size, 0);
        uint8_t* data = bytes.data();
        Write<uint16_t>(data, category::kType, uint16_t(statement.hasType ? statement.type : statement.number));
        WriteText(data + category::kName, layout.nameRoom, statement.name, layout.utf16Name);
        Write<uint16_t>(data, layout.font, uint16_t(int16_t(FontNumber(statement.font))));
        Write<uint16_t>(data, layout.font + 2, uint16_t(statement.size));
        Write<uint16_t>(data, layout.font + 4, uint16_t(statement.effects));
        Write<uint16_t>(data, layout.alignment, uint16_t(statement.alignment));
        for (int i = 0; i < category::kPlacementCount; ++i)
            Write<uint16_t>(data, layout.placement[i], uint16_t(statement.placement[i]));
        Write<uint16_t>(data, layout.flags, statement.flags);
        if (!view_.Write(category::kTag, ItemKey(statement.number), data, layout.size))
            return Fail(statement.at, "the category could not be stored");
    }
    for (const TextExpressionStatement& statement : syntax_.textExpressions) {
        // An 8-bit description keeps one spare byte after its terminator.
        const int textSize = TextSize(statement.description, utf16) + (utf16 ? 0 : 1);
        RecordStore::Bytes bytes(size_t(textdef::kHeaderSize + textSize), 0);
        uint8_t* data = bytes.data();
        WriteText(data + textdef::kHeaderSize, textSize, statement.description, utf16);
        uint16_t categoryWord = uint16_t(statement.category & textdef::kCategoryMask);
        if (utf16 && statement.categoryFont) categoryWord |= textdef::kUseCategoryFont;
        if (utf16 && statement.categoryPlacement) categoryWord |= textdef::kUseCategoryPlacement;
        Write<uint16_t>(data, textdef::kCategory, categoryWord);
        Write<uint16_t>(data, textdef::kAlignment, uint16_t(statement.alignment));
        for (int i = 0; i < category::kPlacementCount; ++i)
            Write<uint16_t>(data, textdef::kPlacement[i], uint16_t(statement.placement[i]));
        Write<uint16_t>(data, textdef::kRehearsalMark, statement.rehearsal ? 1 : 0);
        if (statement.hasText) {
            const int block = ExpressionText(statement.text);
            if (!block) return Fail(statement.at, "the text expression could not be stored");
            Write<uint16_t>(data, textdef::kTextBlock, uint16_t(block));
        }
        if (!view_.Write(textdef::kTag, ItemKey(statement.number), data, uint32_t(bytes.size())))
            return Fail(statement.at, "the text expression could not be stored");
    }
    for (const ShapeExpressionStatement& statement : syntax_.shapeExpressions) {
        uint8_t data[shapedef::kMinimumSize] = {0};
        Write<uint16_t>(data, shapedef::kCategory, uint16_t(statement.category & shapedef::kCategoryMask));
        if (!view_.Write(shapedef::kTag, ItemKey(statement.number), data, sizeof data))
            return Fail(statement.at, "the shape expression could not be stored");
    }
    for (const ArticulationDefStatement& statement : syntax_.articulationDefs) {
        const articdef::Layout& layout = articdef::ForHost(version);
        RecordStore::Bytes bytes(layout.size, 0);
        uint8_t* data = bytes.data();
        uint16_t flags1 = statement.flags1;
        uint16_t flags2 = uint16_t(statement.flags2 & ~(articdef::kMainIsShape | articdef::kAlternateIsShape));
        if (statement.mainShape) flags2 |= articdef::kMainIsShape;
        if (statement.alternateShape) flags2 |= articdef::kAlternateIsShape;
        if (statement.mainUsesAlternate) flags1 |= articdef::kMainUsesAlternate;
        if (statement.flippedUsesAlternate) flags1 |= articdef::kFlippedUsesAlternate;
        if (statement.mode == 0)
            flags1 = uint16_t(flags1 & ~articdef::kPositionModeOn);
        else if (statement.mode >= 1 && statement.mode <= 5)
            flags1 = uint16_t((flags1 & ~articdef::kPositionModeMask) | articdef::kModeCodes[statement.mode]);
        articdef::WriteSpan(data, layout.mainSlot, statement.mainSlot);
        articdef::WriteSpan(data, layout.alternateSlot, statement.alternateSlot);
        articdef::WriteSpan(data, layout.mainFont, FontNumber(statement.mainFont));
        articdef::WriteSpan(data, layout.mainSize, statement.mainSize);
        articdef::WriteSpan(data, layout.mainEffects, statement.mainEffects);
        articdef::WriteSpan(data, layout.alternateFont, FontNumber(statement.alternateFont));
        articdef::WriteSpan(data, layout.alternateSize, statement.alternateSize);
        articdef::WriteSpan(data, layout.alternateEffects, statement.alternateEffects);
        Write<uint16_t>(data, layout.flags1, flags1);
        Write<uint16_t>(data, layout.flags2, flags2);
        for (int value = 0; value < articdef::kValueCount; ++value)
            Write<uint16_t>(data, layout.values[value], uint16_t(statement.values[value]));
        if (!view_.Write(articdef::kTag, ItemKey(statement.number), data, layout.size))
            return Fail(statement.at, "the articulation definition could not be stored");
    }
    return true;
}

bool Builder::Layer(int measure, const LayerStatement& layer) {
    const uint16_t key = SpellingKey(layer.staff, measure);
    std::vector<StoredEntry> entries;
    for (const EntryItem& item : layer.entries) {
        StoredEntry entry;
        entry.number = item.number ? item.number : nextNumber_;
        if (entry.number <= 0 || entry.number >= 0x7FFFFFFF)
            return Fail(item.at, "no entry number is left for this entry");
        if (!numbers_.insert(entry.number).second)
            return Fail(item.at, "entry number " + std::to_string(entry.number) + " is used twice");
        nextNumber_ = entry.number + 1;
        entry.duration = item.duration;
        entry.flags = item.flags | (item.rest ? 0 : layout::entry::kNote) | (item.grace ? layout::entry::kGrace : 0) |
                      (item.beamStart ? layout::entry::kBeamStart : 0) |
                      (item.articulations.empty() ? 0 : layout::entry::kArticulations);
        entry.flags2 = item.flags2;
        entry.stemDown = item.stemDown;
        for (size_t n = 0; n < item.notes.size(); ++n) {
            const NoteItem& note = item.notes[n];
            StoredNote stored;
            if (!Unspell(note.pitch, key, &stored.displacement, &stored.raiseLower))
                return Fail(note.at, "the pitch lies out of range");
            stored.noteID = int16_t(note.hasID ? note.id : int(n) + 1);
            stored.flags = note.flags | (note.tie ? layout::note::kTieStart : 0);
            entry.notes.push_back(stored);
        }
        entries.push_back(entry);
    }
    std::vector<int32_t> numbers;
    if (!builder_.SetLayer(layer.staff, measure, layer.layer, entries, &numbers))
        return Fail(layer.at, "the layer could not be stored");
    for (const TupletItem& tuplet : layer.tuplets) {
        const int32_t number = numbers[size_t(tuplet.first)];
        const FXKey detail = EntryKey(number, 0);
        RecordStore::Bytes record;
        if (!builder_.AddTuplet(number, tuplet.ratio) || !view_.Read(TupletRatio::kTag, detail, record))
            return Fail(tuplet.at, "the tuplet could not be stored");
        record.resize(std::max<size_t>(record.size(), TupletRatio::kDataSize), 0);
        for (int option = 0; option < kTupletOptionCount; ++option)
            Write<uint16_t>(record.data(), tuplet::OptionOffset(option), uint16_t(tuplet.options[option]));
        if (!view_.Write(TupletRatio::kTag, detail, record.data(), TupletRatio::kDataSize))
            return Fail(tuplet.at, "the tuplet's options could not be stored");
    }
    for (size_t i = 0; i < layer.entries.size(); ++i)
        if (!Articulations(numbers[i], layer.entries[i])) return false;
    if (layer.locked && !builder_.SetFrameLocked(layer.staff, measure, layer.layer, true))
        return Fail(layer.at, "the layer could not be locked");
    return true;
}

bool Builder::Raws() {
    DocumentState& state = document_.State();
    for (const RawStatement& raw : syntax_.raws) {
        RecordStore& store = raw.store == RawStatement::kScore        ? state.records
                             : raw.store == RawStatement::kPartLayout ? state.parts.layouts[raw.part]
                                                                      : state.parts.fields[raw.part];
        if (raw.erase) {
            if (!store.Erase(raw.tag, raw.key)) return Fail(raw.at, "there is no such record to delete");
        } else {
            store.Put(raw.tag, raw.key, raw.bytes.data(), uint32_t(raw.bytes.size()));
        }
    }
    return true;
}

}  // namespace

bool ParseWithoutRaws(const std::string& text, DocumentState* state, ScoreTextError* error) {
    ScoreSyntax syntax;
    if (!Parse(text, "<text>", &syntax, error)) return false;
    ScratchContent scratch;
    Builder builder(syntax, "<text>", error, false);
    if (!builder.Run()) return false;
    if (state) *state = CurrentDocument().State();
    return true;
}

}  // namespace scoretext

bool ParseScoreState(const std::string& text, DocumentState* state, ScoreTextError* error, const std::string& source,
                     int32_t* currentPart) {
    return ParseScoreText(text, state, nullptr, error, source, currentPart);
}

bool ParseScoreText(const std::string& text, DocumentState* state, uint32_t* hiddenLayers, ScoreTextError* error,
                    const std::string& source, int32_t* currentPart) {
    scoretext::ScoreSyntax syntax;
    if (!scoretext::Parse(text, source, &syntax, error)) return false;
    if (currentPart) *currentPart = syntax.currentPart;
    if (hiddenLayers) *hiddenLayers = syntax.hiddenLayers;
    scoretext::ScratchContent scratch;
    scoretext::Builder builder(syntax, source, error);
    if (!builder.Run()) return false;
    if (state) *state = CurrentDocument().State();
    return true;
}

bool ReadScoreText(const std::string& text, ScoreTextError* error, const std::string& source) {
    if (CurrentDocument().IsEditOpen()) {
        if (error) *error = ScoreTextError{source, 0, 0, "a document cannot be replaced while an edit is open"};
        return false;
    }
    DocumentState state;
    int32_t part = 0;
    uint32_t hidden = 0;
    if (!ParseScoreText(text, &state, &hidden, error, source, &part)) return false;
    if (!CurrentDocument().ReplaceContent(state)) return false;
    CurrentDocument().View().SetCurrentPart(part);
    for (int layer = 0; layer < 32; ++layer) CurrentDocument().SetLayerShown(layer, !(hidden & (1u << layer)));
    return true;
}

bool ReadScoreFile(const std::string& path, ScoreTextError* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        if (error) *error = ScoreTextError{path, 0, 0, "the file cannot be opened"};
        return false;
    }
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);
    return ReadScoreText(text, error, path);
}

}  // namespace simhost
