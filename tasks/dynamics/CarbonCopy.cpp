// Carbon Copy: one staff of the selection is the source; on every other staff of the selection
// the dynamics (dynamic expressions and hairpins) inside the selection are replaced by copies of
// the source staff's. The source staff itself is never changed.
#include "framework/core/FCString.h"
#include "framework/markings/FCExpression.h"
#include "framework/markings/FCShapeExpressionDef.h"
#include "framework/markings/FCSmartShape.h"
#include "framework/markings/FCSmartShapeMeasureMark.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/ui/FCUI.h"
#include "plugin/PatternSettings.h"
#include "tasks/dynamics/FCDynamicsBlockHandler.h"

#include <memory>
#include <vector>

namespace {

// The category of dynamics.
constexpr int kDynamicsCategory = 1;

// The dynamic glyphs of the music font (p, f, mf, sfz and the like as single characters).
const char16_t kDynamicGlyphs[] = {70,  80,  82,  90,  102, 112, 130, 141, 150,
                                   167, 175, 182, 184, 185, 196, 234, 235, 236};

enum SourceChoice { kMostDynamics, kTopStaff, kBottomStaff, kFirstWithDynamics, kLastWithDynamics };

}  // namespace

bool FCDynamicsBlockHandler::IsDynamicText(const FCString* text) {
    if (!text) return false;
    FCString plain;
    plain.SetString(text);
    plain.StripFontCommands();
    plain.TrimWhitespace();
    if (plain.GetLength() == 1) {
        for (char16_t glyph : kDynamicGlyphs)
            if (plain.GetCharacterAt(0) == glyph) return true;
    }
    return plain.StartsWith("dim") || plain.StartsWith("cresc") || plain.ContainsCString(" dim") ||
           plain.ContainsCString(" cresc") || plain.IsEqualCString("molto") || plain.IsEqualCString("poco");
}

bool FCDynamicsBlockHandler::IsDynamicExpression(const FCExpression* expression) {
    if (!expression) return false;
    const int number = expression->GetDefinitionNumber();
    const int key = expression->IsShape() ? -number : number;
    const auto known = dynamicDefinitions_.find(key);
    if (known != dynamicDefinitions_.end()) return known->second;
    bool dynamic = false;
    if (expression->IsShape()) {
        std::unique_ptr<FCShapeExpressionDef> definition(expression->CreateShapeExpressionDef());
        dynamic = definition && definition->GetCategoryNumber() == kDynamicsCategory;
    } else if (std::unique_ptr<FCTextExpressionDef> definition{expression->CreateTextExpressionDef()}) {
        dynamic = definition->GetCategoryNumber() == kDynamicsCategory;
        if (!dynamic) {
            FCString text;
            definition->GetText(&text);
            dynamic = IsDynamicText(&text);
        }
    }
    dynamicDefinitions_[key] = dynamic;
    return dynamic;
}

void FCDynamicsBlockHandler::ReadRegionDynamics(const FCMusicRegion* region) {
    if (regionDynamicsRead_) return;
    regionDynamicsRead_ = true;
    FCSmartShapeMeasureMarks marks;
    marks.LoadAllForRegion(region);
    for (int i = 0; i < marks.GetCount(); ++i) {
        std::unique_ptr<FCSmartShape> shape(marks.GetItemAt(i)->CreateSmartShape(false));
        if (!shape || !shape->IsHairpin()) continue;
        FCSmartShapeSegment* left = shape->GetLeftSegment();
        FCSmartShapeSegment* right = shape->GetRightSegment();
        regionHairpins_.push_back(HairpinEnds{left->GetStaff(), left->GetMeasure(), left->GetMeasurePos(),
                                              right->GetStaff(), right->GetMeasure(), right->GetMeasurePos()});
    }
    for (int measure = region->GetStartMeasure(); measure <= region->GetEndMeasure(); ++measure) {
        if (measure < 1 || measure >= 0xFFFF) continue;
        FCExpressions expressions;
        expressions.LoadAllForItem(uint16_t(measure));
        for (int i = 0; i < expressions.GetCount(); ++i) {
            FCExpression* expression = expressions.GetItemAt(i);
            const int32_t position = expression->GetMeasurePos();
            if (expression->GetStaff() == 0 || !region->IsMeasurePosIncluded(measure, position) ||
                !IsDynamicExpression(expression))
                continue;
            regionExpressions_.push_back(DynamicMark{expression->GetStaff(), measure, position});
        }
    }
}

int FCDynamicsBlockHandler::CountDynamicExpressions(int staff, const FCMusicRegion* region, bool stopAtFirst) {
    ReadRegionDynamics(region);
    int count = 0;
    for (const DynamicMark& mark : regionExpressions_) {
        if (mark.staff != staff) continue;
        ++count;
        if (stopAtFirst) break;
    }
    return count;
}

int FCDynamicsBlockHandler::CountDynamics(int staff, const FCMusicRegion* region, bool stopAtFirst) {
    const int hairpins = CountHairpins(staff, region, stopAtFirst);
    if (stopAtFirst && hairpins) return hairpins;
    return hairpins + CountDynamicExpressions(staff, region, stopAtFirst);
}

int FCDynamicsBlockHandler::ChooseSourceStaff(int source, const FCMusicRegion* region) {
    const int first = region->GetStartSlot(), last = region->GetEndSlot();
    switch (source) {
        case kTopStaff:
            return region->CalcStaffNumber(first);
        case kBottomStaff:
            return region->CalcStaffNumber(last);
        case kFirstWithDynamics:
            for (int slot = first; slot <= last; ++slot) {
                const int staff = region->CalcStaffNumber(slot);
                if (CountDynamics(staff, region, true)) return staff;
            }
            return 0;
        case kLastWithDynamics:
            for (int slot = last; slot >= first; --slot) {
                const int staff = region->CalcStaffNumber(slot);
                if (CountDynamics(staff, region, true)) return staff;
            }
            return 0;
        case kMostDynamics: {
            int best = 0, most = 0;
            for (int slot = first; slot <= last; ++slot) {
                const int staff = region->CalcStaffNumber(slot);
                const int count = CountDynamics(staff, region, false);
                // On equal counts the upper staff stays.
                if (count > most) {
                    most = count;
                    best = staff;
                }
            }
            return best;
        }
        default:
            return 0;
    }
}

bool FCDynamicsBlockHandler::DeleteDestinationDynamics(int source, const FCMusicRegion* region) {
    bool changed = false;
    for (int measure = region->GetStartMeasure(); measure <= region->GetEndMeasure(); ++measure) {
        if (measure < 1 || measure >= 0xFFFF) continue;
        FCExpressions expressions;
        expressions.LoadAllForItem(uint16_t(measure));
        // From the last: the host closes the gap a deleted incidence leaves.
        for (int i = expressions.GetCount() - 1; i >= 0; --i) {
            FCExpression* expression = expressions.GetItemAt(i);
            const int staff = expression->GetStaff();
            if (staff == source || staff == 0 || !region->IsStaffIncluded(staff) ||
                !region->IsMeasurePosIncluded(measure, expression->GetMeasurePos()) || !IsDynamicExpression(expression))
                continue;
            changed |= expression->DeleteData();
        }
    }
    return changed;
}

bool FCDynamicsBlockHandler::CopyDynamicExpressions(int source, const FCMusicRegion* region, bool music,
                                                    bool layerAssign) {
    bool changed = false;
    for (int measure = region->GetStartMeasure(); measure <= region->GetEndMeasure(); ++measure) {
        if (measure < 1 || measure >= 0xFFFF) continue;
        // The copies are made under the same measure; the list holds only what was there before.
        FCExpressions expressions;
        expressions.LoadAllForItem(uint16_t(measure));
        for (int i = 0; i < expressions.GetCount(); ++i) {
            FCExpression* expression = expressions.GetItemAt(i);
            const int32_t position = expression->GetMeasurePos();
            if (expression->GetStaff() != source || !region->IsMeasurePosIncluded(measure, position) ||
                !IsDynamicExpression(expression))
                continue;
            for (int slot = region->GetStartSlot(); slot <= region->GetEndSlot(); ++slot) {
                const int staff = region->CalcStaffNumber(slot);
                if (staff == source) continue;
                if (music && !FindSoundingLayer(measure, staff, position, 0)) continue;
                expression->SetStaff(staff);
                // Moved to a layer that sounds there; the change carries on to the next staff.
                const int layer = expression->GetLayerAssignment();
                if (layer && layerAssign && !FindSoundingLayer(measure, staff, position, 0, layer)) {
                    const int sounding = FindSoundingLayer(measure, staff, position, 0);
                    if (sounding) expression->SetLayerAssignment(sounding);
                }
                changed |= expression->SaveNewUnderMeasure(measure);
            }
        }
    }
    return changed;
}

bool FCDynamicsBlockHandler::ExecuteCarbonCopy() {
    const PatternSettings& settings = ThePatternSettings();
    FCMusicRegion region;
    region.SetCurrentSelection();
    if (region.IsEmpty()) return false;
    const int source = ChooseSourceStaff(settings.QZPT_DYNAMICS_CARBONCOPY_SOURCE, &region);
    if (!source) return false;
    if (!CountDynamics(source, &region, true)) {
        FCUI* ui = GetUI();
        if (!ui) return false;
        FCString text(
            "The source staff doesn't have any dynamics in the selected region. Do you really want to erase the "
            "dynamics of all the destination staves?");
        FCString caption("No Source Dynamics");
        if (ui->AlertYesNo(&text, &caption) != FCUI::kAnswerYes) return false;
    }
    const bool music = settings.QZPT_DYNAMICS_CARBONCOPY_MUSIC;
    bool changed = RemoveHairpins(source, &region);
    changed |= CopyHairpins(source, &region, music, music && settings.QZPT_DYNAMICS_CARBONCOPY_SHRINKSMARTSHAPES);
    changed |= DeleteDestinationDynamics(source, &region);
    changed |= CopyDynamicExpressions(source, &region, music, settings.QZPT_DYNAMICS_CARBONCOPY_LAYERASSIGN);
    return changed;
}

namespace {

// Both ends of the shape lie in the region.
bool EndsInRegion(FCSmartShape* shape, const FCMusicRegion* region) {
    FCSmartShapeSegment* left = shape->GetLeftSegment();
    FCSmartShapeSegment* right = shape->GetRightSegment();
    return region->IsMeasurePosIncluded(left->GetMeasure(), left->GetMeasurePos()) &&
           region->IsMeasurePosIncluded(right->GetMeasure(), right->GetMeasurePos());
}

}  // namespace

int FCDynamicsBlockHandler::CountHairpins(int staff, const FCMusicRegion* region, bool stopAtFirst) {
    ReadRegionDynamics(region);
    if (!region->IsStaffIncluded(staff)) return 0;
    int count = 0;
    for (const HairpinEnds& ends : regionHairpins_) {
        if (ends.leftStaff != staff || ends.rightStaff != staff ||
            !region->IsMeasurePosIncluded(ends.leftMeasure, ends.leftPosition) ||
            !region->IsMeasurePosIncluded(ends.rightMeasure, ends.rightPosition))
            continue;
        ++count;
        if (stopAtFirst) break;
    }
    return count;
}

bool FCDynamicsBlockHandler::CopyHairpins(int source, const FCMusicRegion* region, bool music, bool shrink) {
    FCSmartShapeMeasureMarks marks;
    marks.LoadAllForRegion(region);
    // The source's hairpins with both ends in the region; the shapes are loaded once here, not
    // again by each filter of the list.
    std::vector<std::unique_ptr<FCSmartShape>> hairpins;
    for (int i = 0; i < marks.GetCount(); ++i) {
        std::unique_ptr<FCSmartShape> shape(marks.GetItemAt(i)->CreateSmartShape(true));
        if (!shape || !shape->IsHairpin() || !EndsInRegion(shape.get(), region)) continue;
        if (shape->GetLeftSegment()->GetStaff() == source || shape->GetRightSegment()->GetStaff() == source)
            hairpins.push_back(std::move(shape));
    }
    bool changed = false;
    for (int slot = region->GetStartSlot(); slot <= region->GetEndSlot(); ++slot) {
        const int staff = region->CalcStaffNumber(slot);
        if (staff == source) continue;
        for (const std::unique_ptr<FCSmartShape>& hairpin : hairpins) {
            FCSmartShapeSegment* left = hairpin->GetLeftSegment();
            FCSmartShapeSegment* right = hairpin->GetRightSegment();
            const int startMeasure = left->GetMeasure(), endMeasure = right->GetMeasure();
            const int32_t startPosition = left->GetMeasurePos(), endPosition = right->GetMeasurePos();
            const int leftStaff = left->GetStaff(), rightStaff = right->GetStaff();
            const bool startOnMusic =
                !music || FindSoundingLayer(startMeasure, staff, startPosition, kMusicTolerance) != 0;
            const bool endOnMusic = !music || FindSoundingLayer(endMeasure, staff, endPosition, kMusicTolerance) != 0;
            if (!startOnMusic && !endOnMusic) continue;
            bool copy = true;
            if (music && shrink) {
                int measure = startMeasure;
                int32_t position = startPosition;
                if (!startOnMusic && ShrinkStart(staff, &measure, &position)) {
                    left->SetMeasure(measure);
                    left->SetMeasurePos(position);
                }
                measure = endMeasure;
                position = endPosition;
                if (!endOnMusic && ShrinkEnd(staff, &measure, &position)) {
                    right->SetMeasure(measure);
                    right->SetMeasurePos(position);
                }
                FCMusicRegion span = *region;
                span.SetStartMeasure(left->GetMeasure());
                span.SetStartMeasurePos(left->GetMeasurePos());
                span.SetEndMeasure(right->GetMeasure());
                span.SetEndMeasurePos(right->GetMeasurePos());
                copy = span.CalcDuration() >= kShortestHairpin;
            }
            if (copy) {
                hairpin->SetStaff(staff);
                changed |= hairpin->SaveNewEverything(nullptr, nullptr);
            }
            // The next staff starts from the source's hairpin again.
            left->SetStaff(leftStaff);
            right->SetStaff(rightStaff);
            left->SetMeasure(startMeasure);
            left->SetMeasurePos(startPosition);
            right->SetMeasure(endMeasure);
            right->SetMeasurePos(endPosition);
        }
    }
    return changed;
}
