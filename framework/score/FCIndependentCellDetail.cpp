#include "framework/score/FCIndependentCellDetail.h"

#include "framework/score/FCCell.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCTimeSignature.h"

#include <cstring>

FCIndependentCellDetail::FCIndependentCellDetail() { UseClearedData(data_, kDataSize); }

uint32_t FCIndependentCellDetail::TagForHostVersion(uint32_t hostVersion) {
    return hostVersion >= hostapi::kCurrentLayoutHostVersion ? kTag : kOldTag;
}

uint32_t FCIndependentCellDetail::GetTag() { return TagForHostVersion(hostapi::GetHostVersion()); }

uint32_t FCIndependentCellDetail::GetDataVersion() {
    const bool current = hostapi::GetHostVersion() >= hostapi::kCurrentLayoutHostVersion;
    return current ? hostapi::kCurrentLayoutHostVersion : 0x0F000000;
}

bool FCIndependentCellDetail::SaveForCell(FCCell* cell) {
    if (!cell) return false;
    SetKeyWord(0, uint16_t(cell->GetStaff()));
    SetKeyWord(1, uint16_t(cell->GetMeasure()));
    SetKeyWord(2, 0);
    SetKeyWord(3, 0);
    SetFixedData(data_, kDataSize);
    return Save();
}

void FCIndependentCellDetail::SetPresence(uint16_t mask, bool state) {
    const uint16_t word = Word(kPresenceOffset);
    SetWord(kPresenceOffset, state ? uint16_t(word | mask) : uint16_t(word & ~mask));
}

bool FCIndependentCellDetail::HasKeySignature() const { return (Word(kPresenceOffset) & kHasKeySignature) != 0; }

uint16_t FCIndependentCellDetail::GetKeySignatureValue() const { return Word(kKeySignatureOffset); }

void FCIndependentCellDetail::SetKeySignatureValue(uint16_t value) {
    SetWord(kKeySignatureOffset, value);
    SetPresence(kHasKeySignature, true);
}

bool FCIndependentCellDetail::HasTimeSignature() const { return (Word(kPresenceOffset) & kHasTimeSignature) != 0; }

bool FCIndependentCellDetail::CopyTimeSignatureTo(FCTimeSignature* destination) const {
    if (!destination || !HasTimeSignature()) return false;
    const uint16_t flags = Word(kTimeFlagsOffset);
    destination->SetBeats(Word(kBeatsOffset));
    destination->SetBeatDuration(Word(kBeatDurationOffset));
    destination->SetCompositeTop((flags & FCMeasure::kTimeCompositeBeats) != 0);
    destination->SetCompositeBottom((flags & FCMeasure::kTimeCompositeDuration) != 0);
    return true;
}

void FCIndependentCellDetail::SetTimeSignature(const FCTimeSignature* source) {
    if (!source) return;
    SetWord(kBeatsOffset, uint16_t(source->GetBeats()));
    SetWord(kBeatDurationOffset, uint16_t(source->GetBeatDuration()));
    uint16_t flags =
        Word(kTimeFlagsOffset) & uint16_t(~(FCMeasure::kTimeCompositeBeats | FCMeasure::kTimeCompositeDuration));
    if (source->IsCompositeTop()) flags |= FCMeasure::kTimeCompositeBeats;
    if (source->IsCompositeBottom()) flags |= FCMeasure::kTimeCompositeDuration;
    SetWord(kTimeFlagsOffset, flags);
    SetPresence(kHasTimeSignature, true);
}

void FCIndependentCellDetail::ClearKeySignature() { SetPresence(kHasKeySignature, false); }

void FCIndependentCellDetail::ClearTimeSignature() { SetPresence(kHasTimeSignature, false); }
