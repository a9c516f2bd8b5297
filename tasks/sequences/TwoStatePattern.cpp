// Two-state Pattern: two reference entries at the region start ('ON' and 'OFF') expanded into
// groups of the typed note counts, written into every staff and layer that has them, then beamed,
// rebarred and rest-grouped as the options say. The whole expansion runs once without writing, so
// every message comes before the document is touched.
#include "tasks/sequences/FCTwoStateSequenceHandler.h"

#include "framework/core/FCString.h"
#include "framework/entries/FCArticulation.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/host/hostapi.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCPart.h"
#include "framework/score/FCSystemStaff.h"
#include "framework/ui/FCCtrlEdit.h"
#include "framework/ui/FCUI.h"
#include "plugin/PatternSettings.h"
#include "tasks/sequences/FCSequencesBlockHandler.h"
#include "tasks/sequences/FCTwoStateSequenceCollection.h"

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kSeparators[] = " :;-+,";
// A host frame holds at most this many entries: no measure can take more.
constexpr int64_t kMostEntriesInMeasure = 0x7FFF;

void SetMessage(FCString* message, const std::string& text) {
    if (message) message->SetUTF8(text.c_str());
}

bool IsSeparator(char16_t unit) {
    for (const char* s = kSeparators; *s; ++s)
        if (unit == char16_t(*s)) return true;
    return false;
}

// The leading decimal digits of the token, 0 without any; clamped to the int range.
int ReadLeadingNumber(const std::u16string& token) {
    int64_t value = 0;
    for (char16_t unit : token) {
        if (unit < u'0' || unit > u'9') break;
        value = value * 10 + (unit - u'0');
        if (value > INT_MAX) return INT_MAX;
    }
    return int(value);
}

bool HasArticulationRecords(FCNoteEntry* entry) {
    FCArticulations articulations(entry);
    return articulations.LoadAll() > 0;
}

// The reference entries and the entry after them, as far as the check needs to see.
bool HasReferenceEntries(FCNoteEntryLayer* layer, const FCMusicRegion* region) {
    FCDurationStartFinder finder(region);
    const FCNoteEntry* a = static_cast<FCNoteEntry*>(layer->FindFirst(&finder));
    return a && a->Next() && a->Next()->Next();
}

}  // namespace

bool FCDurationStartFinder::IsMatch(__FCBase* element) {
    const FCNoteEntry* entry = static_cast<const FCNoteEntry*>(element);
    return entry && region_ && !entry->IsGraceNote() && entry->GetMeasurePos() == region_->GetStartMeasurePos();
}

bool FCTwoStateSequenceHandler::ParseCounts(const FCString* text, FCString* message) {
    if (message) message->Clear();
    counts_.ClearAll();
    const int length = text ? text->GetLength() : 0;
    int group = 0;
    std::u16string token;
    for (int i = 0; i <= length; ++i) {
        const bool end = i == length || IsSeparator(text->GetCharacterAt(i));
        if (!end) {
            token.push_back(text->GetCharacterAt(i));
            continue;
        }
        if (token.empty()) continue;
        ++group;
        const int value = ReadLeadingNumber(token);
        token.clear();
        if (value < 2) {
            SetMessage(message, "Group " + std::to_string(group) +
                                    " has a note count number less than 2. Please enter a larger number.");
            return false;
        }
        counts_.AddNumber(value);
    }
    if (counts_.IsEmpty()) {
        SetMessage(message,
                   "1 or more note count numbers must be present in the edit field. Separate each number with a "
                   "separator, for example space or '-' or '+'.");
        return false;
    }
    return true;
}

void FCTwoStateSequenceHandler::CopyEntry(const FCNoteEntry* source, FCNoteEntry* target) {
    if (!source || !target || source == target) return;
    const FCNote* first = source->GetNoteCount() > 0 ? source->GetNoteAt(0) : nullptr;
    if (source->IsRest()) {
        target->MakeRest();
        // A rest may keep the notes it is drawn at (note ID 31 on its first note record).
        if (first && first->GetNoteID() == 31) target->CopyNotesFrom(source);
    } else {
        // What MakeNote would give the target's first note is overwritten by the copy at once.
        target->SetEntryFlagBits(FCNoteEntry::kFlagNote, true);
        target->CopyNotesFrom(source);
    }
    target->SetDuration(source->GetDuration());
    target->SetMarkFlag(true);
}

bool FCTwoStateSequenceHandler::AreRebarMeasuresEmpty(int firstMeasure, int lastMeasure) {
    if (firstMeasure > lastMeasure) return true;
    // The staves of the score, whichever part is in view.
    FCPart score(0);
    const bool switched = score.SwitchTo();
    FCSystemStaves staves;
    staves.LoadAllForItem(0);
    bool empty = true;
    // Measures past the document's end hold nothing.
    for (int measure = firstMeasure; measure <= lastMeasure && measure <= 0x7FFF && empty; ++measure) {
        FCMeasure record;
        if (!record.Load(uint16_t(measure))) break;
        for (int i = 0; i < staves.GetCount() && empty; ++i) {
            FCNoteEntryCell cell(measure, staves.GetItemAt(i)->GetStaff());
            cell.SetLayerMode(FCNoteEntryCell::kAllLayers);
            empty = !cell.Load() || cell.GetCount() == 0;
        }
    }
    if (switched) score.SwitchBack();
    return empty;
}

bool FCTwoStateSequenceHandler::WriteSequence(FCNoteEntryLayer* layer, FCTwoStateSequenceCollection* nodes,
                                              FCNoteEntry* a, FCNoteEntry* b, int grouping) {
    const int count = nodes->GetCount();
    if (count < 2) return true;
    int measure = b->GetMeasure();
    const int staff = b->GetStaff();
    int32_t position = a->GetMeasurePos() + nodes->GetItemAt(0)->GetDuration() + nodes->GetItemAt(1)->GetDuration();
    // Reference entries on both sides of a barline: the sequence goes on after the second.
    if (a->GetMeasure() != b->GetMeasure()) position = b->GetMeasurePos() + b->GetDuration();
    int next = 2;
    const bool rebar = grouping == kRebarToSequenceGroups;
    if (rebar && next < count && nodes->GetItemAt(next)->IsGroupStart()) {
        position = 0;
        ++measure;
    }
    FCNoteEntry* insertion = b;
    while (next < count) {
        if (measure < 1 || measure > 0x7FFF) return false;
        const int32_t duration = hostapi::FX_GetMeasureDuration(int16_t(staff), int16_t(measure), kFXInterfaceVersion);
        // A measure the host does not have: the nodes left have no place.
        if (duration <= 0) return false;
        // The reference entries fill their measure (or run past it): go on in the next one.
        if (!rebar && position > 0 && position >= duration) {
            position = 0;
            ++measure;
            continue;
        }
        int end = next;
        if (rebar) {
            for (++end; end < count && !nodes->GetItemAt(end)->IsGroupStart(); ++end) {
            }
        } else {
            for (int32_t filled = position; filled < duration && end < count; ++end)
                filled += nodes->GetItemAt(end)->GetDuration();
        }
        const int chosen = end - next;
        if (chosen == 0) return false;
        const bool intoNextMeasure = position == 0;
        FCNoteEntry* anchor = insertion;
        // The new measure starts after everything the measure before holds.
        if (intoNextMeasure)
            while (anchor->Next() && anchor->Next()->GetFrame() == anchor->GetFrame()) anchor = anchor->Next();
        FCNoteEntry* entry = layer->InsertEntriesAfter(anchor, chosen, intoNextMeasure);
        if (!entry || (intoNextMeasure && entry->GetMeasure() != measure)) return false;
        // The host places entries when it loads a frame; until the layer is saved and loaded
        // again the new entries, and the ones they push along, are placed here.
        int32_t at = position;
        for (int i = next; i < end && entry; ++i, entry = entry->Next()) {
            FCTwoStateSequenceNode* node = nodes->GetItemAt(i);
            node->SetTarget(entry);
            CopyEntry(node->GetSource(), entry);
            entry->SetPitchChangedMark(true);
            entry->SetMeasurePos(at);
            at += node->GetDuration();
            insertion = entry;
        }
        for (FCNoteEntry* later = insertion->Next(); later && later->GetFrame() == insertion->GetFrame();
             later = later->Next())
            later->SetMeasurePos(later->GetMeasurePos() + (at - position));
        next = end;
        position = 0;
        ++measure;
    }
    return true;
}

bool FCTwoStateSequenceHandler::ConvertSecondReference(FCTwoStateSequenceCollection* nodes, FCNoteEntry* a,
                                                       FCNoteEntry* b, int type) {
    const int firstCount = counts_.GetItemAt(0)->GetInt();
    const bool convert = (type == kTypeLastOff && firstCount != 2) || (type == kTypeFirstAndLastOn && firstCount == 2);
    if (!convert) return type != kTypeFirstOn;
    const int32_t before = b->GetDuration();
    CopyEntry(a, b);
    // The host places entries only when it loads a frame: the ones after b move with its length.
    const int32_t shift = b->GetDuration() - before;
    for (FCNoteEntry* entry = b->Next(); shift != 0 && entry && entry->GetFrame() == b->GetFrame();
         entry = entry->Next())
        entry->SetMeasurePos(entry->GetMeasurePos() + shift);
    FCTwoStateSequenceNode* second = nodes->GetItemAt(1);
    second->SetTarget(b);
    second->SetReference(false);
    return true;
}

bool FCTwoStateSequenceHandler::CopyArticulations(FCTwoStateSequenceCollection* nodes) {
    // Every node copies from one of the two reference entries: their articulations are read once.
    FCNoteEntry* sources[2] = {nullptr, nullptr};
    std::unique_ptr<FCArticulations> lists[2];
    bool ok = true;
    for (int i = 0; i < nodes->GetCount(); ++i) {
        FCTwoStateSequenceNode* node = nodes->GetItemAt(i);
        FCNoteEntry* target = node->GetTarget();
        FCNoteEntry* source = node->GetSource();
        if (node->IsReference() || !target || !source || target->GetEntryNumber() == 0) continue;
        const int k = node->IsOn() ? 0 : 1;
        if (sources[k] != source) {
            sources[k] = source;
            lists[k].reset(new FCArticulations(source));
            lists[k]->LoadAll();
        }
        if (lists[k]->IsEmpty()) continue;
        FCArticulations existing(target);
        const int had = existing.LoadAll();
        bool added = false;
        for (int j = 0; j < lists[k]->GetCount(); ++j) {
            FCArticulation* articulation = lists[k]->GetItemAt(j);
            bool carried = false;
            for (int e = 0; e < had && !carried; ++e)
                carried = existing.GetItemAt(e)->GetDefNumber() == articulation->GetDefNumber();
            if (carried) continue;
            FCArticulation copy;
            copy.CopyDataFrom(articulation);
            copy.ConnectToEntry(target);
            if (copy.SaveNew())
                added = true;
            else
                ok = false;
        }
        if (added) target->SetArticulationFlag(true);
    }
    return ok;
}

bool FCTwoStateSequenceHandler::ExpandLayer(const FCMusicRegion* region, FCNoteEntryLayer* layer, bool checkOnly,
                                            FCString* message, bool* skipped) {
    const PatternSettings& settings = ThePatternSettings();
    const int type = settings.QZPT_SEQUENCES_TWOSTATES_TYPE;
    const int grouping = settings.QZPT_SEQUENCES_TWOSTATES_GROUPING;
    const int rests = settings.QZPT_SEQUENCES_TWOSTATES_REST;

    FCDurationStartFinder finder(region);
    FCNoteEntry* a = static_cast<FCNoteEntry*>(layer->FindFirst(&finder));
    FCNoteEntry* b = a ? a->Next() : nullptr;
    *skipped = !a || !b;
    if (*skipped) return true;
    if (a->IsInTuplet() || b->IsInTuplet()) {
        SetMessage(message, "The reference notes that the sequence is based on cannot be part of a tuplet.");
        return false;
    }
    if (a->IsGraceNote() || b->IsGraceNote()) {
        SetMessage(message, "The reference notes that the sequence is based on cannot be a grace note.");
        return false;
    }
    if (checkOnly && durationA_ != -1) {
        if (a->GetDuration() != durationA_) {
            SetMessage(message,
                       "The duration of the first pattern note doesn't match across the selected staves/layers.");
            return false;
        }
        if (b->GetDuration() != durationB_) {
            SetMessage(message,
                       "The duration of the second pattern note doesn't match across the selected staves/layers.");
            return false;
        }
    }
    durationA_ = a->GetDuration();
    durationB_ = b->GetDuration();

    // What the sequence needs, counted before any node is made: a count far beyond the selection
    // is refused without building it.
    std::vector<int> counts;
    int64_t nodeCount = 0, required = 0;
    for (int i = 0; i < counts_.GetCount(); ++i) {
        const int n = counts_.GetItemAt(i)->GetInt();
        counts.push_back(n);
        nodeCount += n;
        const int64_t on = type == kTypeFirstOn          ? 1
                           : type == kTypeLastOff        ? n - 1
                           : type == kTypeFirstAndLastOn ? 2
                                                         : 0;
        required += on * durationA_ + (n - on) * durationB_;
    }
    const int measures = region->GetEndMeasure() - region->GetStartMeasure() + 1;
    if (grouping == kRebarToSequenceGroups) {
        const int groups = int(counts.size());
        if (groups > measures) {
            SetMessage(message,
                       "The number of selected measures are too few to be able to contain all groups. "
                       "The area needs to be " +
                           std::to_string(groups - measures) + " measure(s) wider.");
            return false;
        }
        for (int n : counts)
            if (n > kMostEntriesInMeasure) return false;
    } else {
        if (regionDuration_ < 0) regionDuration_ = region->CalcDuration();
        int64_t available = regionDuration_;
        FCNoteEntry* after = b->Next();
        if (after && region->IsEntryIncluded(after)) {
            uint8_t data[FCMusicRegion::kRegionDataSize];
            region->GetRegionData(data);
            FCMusicRegion rest(data);
            rest.SetStartMeasure(after->GetMeasure());
            rest.SetStartMeasurePos(after->GetMeasurePos());
            available = int64_t(rest.CalcDuration()) - 1;
        }
        if (required > available) {
            SetMessage(message,
                       "The unfilled area in the selection is smaller than the duration required to create "
                       "the full sequence. (The area must be " +
                           std::to_string(required - available) + " EDUs wider).");
            return false;
        }
    }
    // More entries than the measures' frames can hold: nothing could be written.
    if (nodeCount > kMostEntriesInMeasure * measures) return false;

    if (checkOnly) return true;
    FCTwoStateSequenceCollection nodes;
    nodes.Build(counts.data(), int(counts.size()), type, a, b);

    if (!WriteSequence(layer, &nodes, a, b, grouping)) return false;
    // The new entries get their numbers when the layer is saved; only copied articulations need
    // them before the end, so without articulations on the reference entries the layer is saved
    // once, after the beaming (the same document as a save after every step).
    const bool articulations = HasArticulationRecords(a) || HasArticulationRecords(b);
    if (articulations && !layer->Save()) return false;
    ConvertSecondReference(&nodes, a, b, type);
    if (articulations && !CopyArticulations(&nodes)) return false;
    switch (grouping) {
        case kBeamToTimeSignature:
            nodes.BeamToTimeSignature();
            nodes.ApplyFourEighthsRule(layer);
            break;
        case kBeamToSequenceGroups:
            nodes.BeamToSequenceGroups();
            break;
        default:
            break;
    }
    if (!layer->Save()) return false;
    if (grouping == kRebarToSequenceGroups && !nodes.RebarToSequenceGroups()) return false;
    switch (rests) {
        case kRestsToTimeSignature:
            nodes.ClearRestOnlyMeasures();
            if (!layer->DeleteZeroDurationEntries() || !layer->Save()) return false;
            // The node entries are gone with the rebuilt layer; the rest is the layer's own work.
            nodes.ClearAll();
            if (!FCTwoStateSequenceCollection::GroupRestsToTimeSignature(layer, region)) return false;
            break;
        case kRestsToSequenceGroups:
            // The host drops the entries of duration 0 when it saves a frame, with their details:
            // one save of the layer deletes the merged rests (the layer is not used afterwards).
            nodes.GroupRestsToSequenceGroups();
            if (!layer->Save()) return false;
            break;
        default:
            break;
    }
    return true;
}

bool FCTwoStateSequenceHandler::Expand(const FCMusicRegion* region, bool checkOnly, FCString* message) {
    // Messages are for the check; the real pass ends at the same tests without one.
    FCString unused;
    FCString* out = checkOnly && message ? message : &unused;
    out->Clear();
    const PatternSettings& settings = ThePatternSettings();
    if (!ParseCounts(&settings.QZPT_SEQUENCES_TWOSTATES_NUMBERSTRING, out)) return false;
    if (!region || region->IsEmpty()) return checkOnly;
    if (settings.QZPT_SEQUENCES_TWOSTATES_GROUPING == kRebarToSequenceGroups) {
        const int first = region->GetStartMeasure();
        if (!AreRebarMeasuresEmpty(first + 1, first + counts_.GetCount() - 1)) {
            SetMessage(out,
                       "The measures must be empty in all staves (even in non-selected staves) when the 'Rebar to "
                       "Sequence Groups' option is used.");
            return false;
        }
    }
    durationA_ = durationB_ = -1;
    regionDuration_ = -1;
    bool changed = false;
    const int layers = FCNoteEntryCell::MaxLayers();
    // The check over this very region tells the writing pass which layers hold reference entries
    // (the check writes nothing, so the others have none): those alone are loaded again.
    FCMusicRegion checked(referencedRegion_);
    const bool known = !checkOnly && checked.IsEqual(const_cast<FCMusicRegion*>(region));
    if (checkOnly) {
        region->GetRegionData(referencedRegion_);
        referenced_.clear();
    }
    size_t seen = 0;
    for (int slot = region->GetStartSlot(); slot <= region->GetEndSlot(); ++slot) {
        const int staff = region->CalcStaffNumber(slot);
        if (staff < 1) continue;
        for (int index = 0; index < layers; ++index, ++seen) {
            if (known && (seen >= referenced_.size() || !referenced_[seen])) continue;
            if (checkOnly) referenced_.push_back(false);
            // The check looks only at the reference entries and the entry after them: the first
            // measures usually hold them, and the whole layer is loaded only when they do not.
            const int first = region->GetStartMeasure(), last = region->GetEndMeasure();
            const int loaded = checkOnly && last > first + 1 ? first + 1 : last;
            std::unique_ptr<FCNoteEntryLayer> layer(new FCNoteEntryLayer(index, staff, first, loaded));
            if (!layer->Load()) continue;
            if (loaded < last && !HasReferenceEntries(layer.get(), region)) {
                layer.reset(new FCNoteEntryLayer(index, staff, first, last));
                if (!layer->Load()) continue;
            }
            bool skipped = false;
            if (!ExpandLayer(region, layer.get(), checkOnly, out, &skipped)) return false;
            if (checkOnly) referenced_.back() = !skipped;
            if (!skipped && !checkOnly) changed = true;
        }
    }
    if (!checkOnly && changed && settings.QZPT_RESPACE_IF_NECESSARY && ui_) ui_->ExecuteCommand(FCUI::kCommandRespace);
    return checkOnly ? true : changed;
}

// --- the task in the Sequences handler ---

bool FCSequencesBlockHandler::CanExecuteTwoStatePattern() {
    FCString text;
    if (FCCtrlEdit* edit = GetEdit1()) edit->GetText(&text);
    FCTwoStateSequenceHandler parser(GetUI());
    FCString message;
    if (parser.ParseCounts(&text, &message)) return true;
    if (FCUI* ui = GetUI()) {
        FCString caption("Input Error");
        ui->AlertError(&message, &caption);
    }
    return false;
}

bool FCSequencesBlockHandler::ExecuteTwoStatePattern() {
    FCMusicRegion region;
    if (!region.SetCurrentSelection() || region.IsEmpty()) return false;
    FCUI* ui = GetUI();
    if (ThePatternSettings().QZPT_SEQUENCES_TWOSTATES_GROUPING == FCTwoStateSequenceHandler::kRebarToSequenceGroups &&
        region.GetStartMeasurePos() != 0) {
        if (ui) {
            FCString text(
                "When the 'Rebar to Sequence Groups' option is used, the region must start at the beginning "
                "of a measure.");
            FCString caption("Region Selection Error");
            ui->AlertError(&text, &caption);
        }
        return false;
    }
    FCTwoStateSequenceHandler handler(ui);
    FCString message;
    if (!handler.Expand(&region, true, &message)) {
        // A selection nothing could be written into says nothing more than the beep.
        if (ui && !message.IsEmpty()) {
            FCString caption("Region Error");
            ui->AlertError(&message, &caption);
        }
        return false;
    }
    return handler.Expand(&region, false, nullptr);
}
