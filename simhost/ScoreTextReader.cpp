// Reading score text: the parsed statements are built into the current document through the
// document builder, in a scratch content that replaces the document only when everything was
// built.
#include "framework/core/FCFontInfo.h"
#include "framework/entries/FCArticulation.h"
#include "framework/entries/FCArticulationDef.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCTuplet.h"
#include "framework/markings/FCCategoryDef.h"
#include "framework/markings/FCExpression.h"
#include "framework/markings/FCShapeExpressionDef.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCCurrentStaffSpec.h"
#include "framework/score/FCKeySignature.h"
#include "simhost/RecordView.h"
#include "simhost/ScoreQueries.h"
#include "simhost/ScoreTextChords.h"
#include "simhost/ScoreTextShapes.h"
#include "simhost/ScoreTextSyntax.h"
#include "simhost/SimHost.h"

#include <cstdio>
#include <set>

static_assert(simhost::scoretext::kArticulationValueCount == FCArticulationDef::kValueCount,
              "the text names every value of an articulation definition");

namespace simhost {

std::string ScoreTextError::ToString() const {
    return source + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

namespace scoretext {

uint16_t SpellingKey(int staff, int measure) {
    FCCurrentStaffSpec inEffect;
    if (inEffect.LoadAt(staff, measure, 0)) {
        const uint8_t* flags = inEffect.GetIndependenceFlagsField();
        if (flags && (fcdata::Read<uint16_t>(flags, 0) & FCNoteEntry::kStaffIgnoresKey)) return 0;
    }
    FCCell cell(measure, staff);
    const FCKeySignature* key = cell.GetKeySignature();
    return key ? key->GetKeyValue() : 0;
}

namespace {

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
        : syntax_(syntax), source_(source), error_(error), document_(CurrentDocument()), checkLengths_(checkLengths) {}

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
    bool Raws();
    // The layer's entries end within the measure.
    bool Fits(int measure, const LayerStatement& layer);

    const ScoreSyntax& syntax_;
    const std::string& source_;
    ScoreTextError* error_;
    Document& document_;
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
        FCExpression expression;
        expression.SetDefinitionNumber(statement.definition);
        expression.SetShape(statement.shape);
        expression.SetStaff(statement.staff);
        expression.SetMeasurePos(statement.position);
        expression.SetLayerAssignment(statement.layer);
        expression.SetShownInScore(!statement.hideScore);
        expression.SetShownInParts(!statement.hideParts);
        expression.SetShownInCurrentPart(!statement.hidePart);
        if (!expression.SaveNewUnderMeasure(measure.first))
            return Fail(statement.at, "the expression could not be stored");
    }
    const ChordStatement* failed = nullptr;
    if (!BuildChordStatements(document_, measure.first, measure.chords, &failed))
        return Fail(failed->at, "the chord symbol could not be stored");
    return true;
}

bool Builder::Articulations(int32_t entryNumber, const EntryItem& entryItem) {
    if (entryItem.articulations.empty()) return true;
    // A stand-in for the entry: the details only need its number.
    uint8_t record[FCNoteEntry::kRecordSize] = {0};
    fcdata::Write<int32_t>(record, 0, entryNumber);
    FCNoteEntry entry(record);
    for (const ArticulationItem& item : entryItem.articulations) {
        FCArticulation articulation;
        articulation.ConnectToEntry(&entry);
        articulation.SetDefNumber(item.definition);
        articulation.SetPosition1(item.position1);
        articulation.SetPosition2(item.position2);
        if (!articulation.SaveNew()) return Fail(item.at, "the articulation could not be stored");
    }
    return true;
}

namespace {

// The host's number for a font the text names.
int FontNumber(const FontItem& font) {
    if (!font.named) return font.number;
    return hostapi::FX_FontNameToNum(font.name.c_str(), kFXInterfaceVersion);
}

void ToString(const std::u16string& units, FCString* text) { text->SetUTF16(units.c_str(), int(units.size())); }

}  // namespace

bool Builder::Definitions() {
    for (const CategoryStatement& statement : syntax_.categories) {
        FCCategoryDef category;
        category.SetCategoryType(statement.hasType ? statement.type : statement.number);
        FCString name;
        ToString(statement.name, &name);
        category.SetName(&name);
        FCFontInfo font;
        font.SetName("");
        font.SetNameNumber(int16_t(FontNumber(statement.font)));
        font.SetSize(float(statement.size));
        font.SetEffects(uint16_t(statement.effects));
        category.SetTextFontInfo(&font);
        category.SetHorizontalAlignment(statement.alignment);
        for (int i = 0; i < FCCategoryDef::kPlacementCount; ++i) category.SetPlacementValue(i, statement.placement[i]);
        category.SetFlags(statement.flags);
        if (!category.SaveAs(uint16_t(statement.number))) return Fail(statement.at, "the category could not be stored");
    }
    for (const TextExpressionStatement& statement : syntax_.textExpressions) {
        FCTextExpressionDef definition;
        FCString text;
        ToString(statement.description, &text);
        definition.SetDescription(&text);
        definition.SetCategoryNumber(statement.category);
        definition.SetUseCategoryFont(statement.categoryFont);
        definition.SetUseCategoryPlacement(statement.categoryPlacement);
        definition.SetHorizontalAlignment(statement.alignment);
        for (int i = 0; i < FCTextExpressionDef::kPlacementCount; ++i)
            definition.SetPlacementValue(i, statement.placement[i]);
        definition.SetRehearsalMark(statement.rehearsal);
        ToString(statement.text, &text);
        if ((statement.hasText && !definition.SetText(&text)) || !definition.SaveAs(uint16_t(statement.number)))
            return Fail(statement.at, "the text expression could not be stored");
    }
    for (const ShapeExpressionStatement& statement : syntax_.shapeExpressions) {
        FCShapeExpressionDef definition;
        definition.SetCategoryNumber(statement.category);
        if (!definition.SaveAs(uint16_t(statement.number)))
            return Fail(statement.at, "the shape expression could not be stored");
    }
    for (const ArticulationDefStatement& statement : syntax_.articulationDefs) {
        FCArticulationDef definition;
        definition.SetFlags1(statement.flags1);
        definition.SetFlags2(statement.flags2);
        if (statement.mainShape)
            definition.SetMainShape(statement.mainSlot);
        else
            definition.SetMainCharacter(statement.mainSlot);
        if (statement.alternateShape)
            definition.SetAlternateShape(statement.alternateSlot);
        else
            definition.SetAlternateCharacter(statement.alternateSlot);
        if (statement.mainUsesAlternate) definition.SetFlags1Bits(FCArticulationDef::kMainUsesAlternate, true);
        if (statement.flippedUsesAlternate) definition.SetFlags1Bits(FCArticulationDef::kFlippedUsesAlternate, true);
        if (statement.mode >= 0) definition.SetPositionMode(statement.mode);
        definition.SetMainFontNumber(FontNumber(statement.mainFont));
        definition.SetMainFontSize(statement.mainSize);
        definition.SetMainFontEffects(statement.mainEffects);
        definition.SetAlternateFontNumber(FontNumber(statement.alternateFont));
        definition.SetAlternateFontSize(statement.alternateSize);
        definition.SetAlternateFontEffects(statement.alternateEffects);
        for (int value = 0; value < kArticulationValueCount; ++value)
            definition.SetValue(FCArticulationDef::Value(value), statement.values[value]);
        if (!definition.SaveAs(uint16_t(statement.number)))
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
        entry.flags = item.flags | (item.rest ? 0 : FCNoteEntry::kFlagNote) |
                      (item.grace ? FCNoteEntry::kFlagGrace : 0) | (item.beamStart ? FCNoteEntry::kFlagBeamStart : 0) |
                      (item.articulations.empty() ? 0 : FCNoteEntry::kFlagArticulations);
        entry.flags2 = item.flags2;
        entry.stemDown = item.stemDown;
        for (size_t n = 0; n < item.notes.size(); ++n) {
            const NoteItem& note = item.notes[n];
            StoredNote stored;
            if (!Unspell(note.pitch, key, &stored.displacement, &stored.raiseLower))
                return Fail(note.at, "the pitch lies out of range");
            stored.noteID = int16_t(note.hasID ? note.id : int(n) + 1);
            stored.flags = note.flags | (note.tie ? FCNote::kFlagTieStart : 0);
            entry.notes.push_back(stored);
        }
        entries.push_back(entry);
    }
    std::vector<int32_t> numbers;
    if (!builder_.SetLayer(layer.staff, measure, layer.layer, entries, &numbers))
        return Fail(layer.at, "the layer could not be stored");
    for (const TupletItem& tuplet : layer.tuplets) {
        const int32_t number = numbers[size_t(tuplet.first)];
        FCTuplet record;
        if (!builder_.AddTuplet(number, tuplet.ratio) || !record.Load(number, 0))
            return Fail(tuplet.at, "the tuplet could not be stored");
        for (int option = 0; option < kTupletOptionCount; ++option)
            record.SetOption(FCTuplet::Option(option), tuplet.options[option]);
        if (!record.Save()) return Fail(tuplet.at, "the tuplet's options could not be stored");
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
