#include "tasks/sequences/NumberingRun.h"

#include "framework/markings/FCExpression.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCStaffStyleAssign.h"
#include "framework/score/FCStaffStyleDef.h"
#include "framework/score/FCStaffSystem.h"
#include "framework/score/FCSystemStaff.h"
#include "framework/ui/FCUI.h"
#include "profiles/FCNumberSettingsProfiles.h"
#include "tasks/sequences/FCNumberCreator.h"

namespace {

// Barline styles that can end a run.
constexpr int kDoubleBarline = 2;
constexpr int kSolidBarline = 4;
constexpr int kFinalBarline = 5;

// The staff list that holds a part's own staves.
constexpr uint16_t kPartStaffList = 0;

}  // namespace

NumberingRun::NumberingRun() : profile_(nullptr) {}

NumberingRun::~NumberingRun() = default;

bool NumberingRun::LoadRegion() { return region_.SetCurrentSelection() && !region_.IsEmpty(); }

bool NumberingRun::CheckStaffStyles(FCUI* ui) {
    for (int slot = region_.GetStartSlot(); slot <= region_.GetEndSlot(); ++slot) {
        const int staff = region_.CalcStaffNumber(slot);
        if (staff < 1) continue;
        FCStaffStyleAssigns assigns;
        assigns.LoadAllForItem(uint16_t(staff));
        for (int i = 0; i < assigns.GetCount(); ++i) {
            FCStaffStyleAssign* assign = assigns.GetItemAt(i);
            const int start = assign->GetStartMeasure();
            const int end = assign->GetEndMeasure();
            if (start < region_.GetStartMeasure() || end > region_.GetEndMeasure()) continue;
            if (start == region_.GetStartMeasure() && assign->GetStartMeasurePos() < region_.GetStartMeasurePos())
                continue;
            if (end == region_.GetEndMeasure() && assign->GetEndMeasurePos() > region_.GetEndMeasurePos()) continue;
            if (!region_.IsStaffIncluded(assign->GetStaff())) continue;
            FCStaffStyleDef style;
            if (!style.Load(uint16_t(assign->GetStyleNumber())) || style.GetAltNotationKind() == 0) continue;
            const bool hides = style.GetAltNotationLayerField() == 0 ? !style.GetExpressionsVisibleInLayer1()
                                                                     : !style.GetExpressionsVisibleInOtherLayers();
            if (!hides) continue;
            if (!ui) return false;
            FCString text("The region contains a staff style that will hide expressions in layer 1. Continue anyway?");
            FCString caption("Staff Style Conflict");
            return ui->AlertYesNo(&text, &caption) == FCUI::kAnswerYes;
        }
    }
    return true;
}

bool NumberingRun::Prepare(FCNumberSettingsProfiles* profiles, int profileIndex, FCCategoryDefs* categories,
                           int categoryIndex) {
    profile_ = profiles ? profiles->GetItemAt(profileIndex) : nullptr;
    FCCategoryDef* chosen = categories ? categories->GetItemAt(categoryIndex) : nullptr;
    if (!profile_ || !chosen) return false;
    // The document's own record: the window's copy may be older than the document.
    if (!category_.Load(uint16_t(chosen->GetItemNo()))) return false;
    definitions_.LoadAll();
    creator_.reset(new FCNumberCreator(0, &category_, &definitions_, profile_));
    return true;
}

bool NumberingRun::EndsRunByBarline(int measure) const {
    if (!profile_) return false;
    if (!profile_->GetRestartDoubleBarline() && !profile_->GetRestartFinalBarline() &&
        !profile_->GetRestartSolidBarline())
        return false;
    FCMeasure record;
    if (!record.Load(uint16_t(measure))) return false;
    const int style = record.GetBarlineStyle();
    return (profile_->GetRestartDoubleBarline() && style == kDoubleBarline) ||
           (profile_->GetRestartFinalBarline() && style == kFinalBarline) ||
           (profile_->GetRestartSolidBarline() && style == kSolidBarline);
}

int NumberingRun::CalcRunEnd(int first) const {
    const int last = region_.GetEndMeasure();
    if (!profile_) return last;
    const bool restartsByMark = profile_->GetRestartRehearsalMark();
    for (int i = first; i < last; ++i) {
        if (EndsRunByBarline(i)) return i;
        if (restartsByMark && i > first && HasRehearsalMark(i)) return i - 1;
    }
    return last;
}

bool NumberingRun::HasRehearsalMark(int measure) {
    if (measure < 1 || measure >= 0xFFFF) return false;
    FCExpressions expressions;
    expressions.LoadAllForItem(uint16_t(measure));
    for (int i = 0; i < expressions.GetCount(); ++i) {
        FCExpression* expression = expressions.GetItemAt(i);
        if (expression->IsShape()) continue;
        std::unique_ptr<FCTextExpressionDef> definition(expression->CreateTextExpressionDef());
        if (definition && definition->IsRehearsalMark()) return true;
    }
    return false;
}

bool NumberingRun::NumbersSystems() const {
    return profile_ && (profile_->GetAlwaysStartOfSystem() || profile_->GetAlwaysEndOfSystem());
}

void NumberingRun::LoadSystems() {
    parts_.LoadAll();
    systems_.ClearAll();
    FCSystemStaves regionStaves;
    regionStaves.LoadAllForItem(uint16_t(region_.GetStaffListNumber()));
    for (int i = regionStaves.GetCount() - 1; i >= 0; --i)
        if (!region_.IsStaffIncluded(regionStaves.GetItemAt(i)->GetStaff())) regionStaves.ClearItemAt(i);
    for (int i = 0; i < parts_.GetCount(); ++i) {
        FCPart* part = parts_.GetItemAt(i);
        part->SetUserData(0);
        if (!part->SwitchTo()) continue;
        FCSystemStaves own;
        own.LoadAllForItem(kPartStaffList);
        bool holds = false;
        for (int s = 0; s < regionStaves.GetCount() && !holds; ++s)
            holds = own.FindStaff(regionStaves.GetItemAt(s)->GetStaff()) != nullptr;
        if (holds) {
            hostapi::FX_UpdateLayout(0, 0, kFXInterfaceVersion);
            FCStaffSystems* systems = new FCStaffSystems;
            systems->LoadAll();
            systems_.Add(systems);
            part->SetUserData(uint32_t(systems_.GetCount()));
        }
        part->SwitchBack();
    }
}

bool NumberingRun::StartsSystemOfPart(int partIndex, int measure) const {
    const FCPart* part = parts_.GetItemAt(partIndex);
    const FCStaffSystems* systems =
        part ? static_cast<const FCStaffSystems*>(systems_.GetItemAt(int(part->GetUserData()) - 1)) : nullptr;
    if (!systems) return false;
    for (int i = 0; i < systems->GetCount(); ++i)
        if (systems->GetItemAt(i)->GetFirstMeasure() == measure) return true;
    return false;
}

bool NumberingRun::EndsSystemOfPart(int partIndex, int measure) const {
    const FCPart* part = parts_.GetItemAt(partIndex);
    const FCStaffSystems* systems =
        part ? static_cast<const FCStaffSystems*>(systems_.GetItemAt(int(part->GetUserData()) - 1)) : nullptr;
    if (!systems) return false;
    for (int i = 0; i < systems->GetCount(); ++i)
        if (systems->GetItemAt(i)->GetNextSystemMeasure() == measure + 1) return true;
    return false;
}

bool NumberingRun::StartsSystem(int measure) const {
    for (int i = 0; i < parts_.GetCount(); ++i)
        if (StartsSystemOfPart(i, measure)) return true;
    return false;
}

bool NumberingRun::EndsSystem(int measure) const {
    for (int i = 0; i < parts_.GetCount(); ++i)
        if (EndsSystemOfPart(i, measure)) return true;
    return false;
}

void NumberingRun::ShowSystemNumberInParts(FCExpression* expression, int measure) {
    if (!expression || !profile_) return;
    for (int i = 0; i < parts_.GetCount(); ++i) {
        FCPart* part = parts_.GetItemAt(i);
        if (!part->SwitchTo()) continue;
        const bool shown = (profile_->GetAlwaysStartOfSystem() && StartsSystemOfPart(i, measure)) ||
                           (profile_->GetAlwaysEndOfSystem() && EndsSystemOfPart(i, measure));
        expression->SetShownInCurrentPart(shown);
        expression->Save();
        part->SwitchBack();
    }
}
