#include "framework/score/FCCell.h"

#include "framework/score/FCCurrentStaffSpec.h"
#include "framework/score/FCIndependentCellDetail.h"
#include "framework/score/FCKeySignature.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCTimeSignature.h"

FCCell::FCCell(int measure, int staff) : measure_(measure), staff_(staff) {}

FCCell::~FCCell() = default;

FCTimeSignature* FCCell::GetTimeSignature() {
    if (!timeSignature_) timeSignature_.reset(new FCTimeSignature);
    LoadTimeSignature(timeSignature_.get());
    return timeSignature_.get();
}

FCKeySignature* FCCell::GetKeySignature() {
    if (!keySignature_) keySignature_.reset(new FCKeySignature);
    LoadKeySignature(keySignature_.get());
    return keySignature_.get();
}

bool FCCell::LoadTimeSignature(FCTimeSignature* destination) {
    FCCurrentStaffSpec inEffect;
    if (inEffect.LoadForCell(this) && inEffect.HasIndependentTimeSig()) {
        FCIndependentCellDetail detail;
        detail.ConnectToCell(this);
        if (detail.LoadFirst() && detail.CopyTimeSignatureTo(destination)) return true;
    }
    if (measure_ < 1 || measure_ > 0xFFFF) return false;
    FCMeasure measure;
    if (!measure.Load(uint16_t(measure_))) return false;
    const FCTimeSignature* source = measure.GetTimeSignature();
    destination->SetBeats(source->GetBeats());
    destination->SetBeatDuration(source->GetBeatDuration());
    destination->SetCompositeTop(source->IsCompositeTop());
    destination->SetCompositeBottom(source->IsCompositeBottom());
    return true;
}

bool FCCell::LoadKeySignature(FCKeySignature* destination) {
    FCCurrentStaffSpec inEffect;
    if (inEffect.LoadForCell(this) && inEffect.HasIndependentKeySig()) {
        FCIndependentCellDetail detail;
        detail.ConnectToCell(this);
        if (detail.LoadFirst() && detail.HasKeySignature()) {
            destination->SetKeyValue(detail.GetKeySignatureValue());
            return true;
        }
    }
    if (measure_ < 1 || measure_ > 0xFFFF) return false;
    FCMeasure measure;
    if (!measure.Load(uint16_t(measure_))) return false;
    destination->SetKeyValue(measure.GetKeySignature()->GetKeyValue());
    return true;
}
