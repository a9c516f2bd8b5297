#include "framework/score/FCPart.h"

#include <cstring>
#include <set>

namespace {

constexpr int32_t kNoMorePartsAnswer = 0xFFFF;

}  // namespace

FCPart::FCPart(int identifier) : id_(0), documentID_(0), previous_(kNoSwitch) {
    UseClearedData(data_, kDataSize);
    id_ = int16_t(identifier == kCurrentPart ? hostapi::FX_GetCurrentPartID(kFXInterfaceVersion) : identifier);
    documentID_ = hostapi::FX_GetCurrentEnigmaDocument(kFXInterfaceVersion);
    SetKey(uint16_t(id_), 0);
}

bool FCPart::CopyDataFrom(__FCBaseData* other) {
    FCPart* source = dynamic_cast<FCPart*>(other);
    if (!CopyDataInto(other, data_, kDataSize)) return false;
    if (source) {
        id_ = source->id_;
        documentID_ = source->documentID_;
    }
    return true;
}

bool FCPart::IsOwnDocumentCurrent() const {
    return documentID_ == hostapi::FX_GetCurrentEnigmaDocument(kFXInterfaceVersion);
}

bool FCPart::SwitchTo() {
    if (IsSwitchPending() || !IsOwnDocumentCurrent()) return false;
    const int32_t before = hostapi::FX_GetCurrentPartID(kFXInterfaceVersion);
    hostapi::FX_SetCurrentPartID(id_, kFXInterfaceVersion);
    // The host's answer to the switch itself is not a reliable success flag; what counts is
    // whether the part is now current. Otherwise the work meant for this part would land in
    // another one.
    if (hostapi::FX_GetCurrentPartID(kFXInterfaceVersion) != id_) return false;
    previous_ = int16_t(before);
    return true;
}

bool FCPart::SwitchBack() {
    if (!IsSwitchPending() || !IsOwnDocumentCurrent()) return false;
    hostapi::FX_SetCurrentPartID(previous_, kFXInterfaceVersion);
    previous_ = kNoSwitch;
    return true;
}

int FCParts::LoadAll() {
    ClearAll();
    std::set<int32_t> seen;
    int32_t identifier = 0;
    for (;;) {
        FCPart* part = new FCPart(identifier);
        if (!part->LoadRecord()) {
            delete part;
            break;
        }
        Add(part);
        seen.insert(identifier);
        identifier = hostapi::FX_GetNextPartID(identifier, kFXInterfaceVersion);
        // A host that answers nothing useful (or repeats itself) must not make this loop forever.
        if (identifier == kNoMorePartsAnswer || identifier < 0 || identifier > 0xFFFF || seen.count(identifier)) break;
    }
    return GetCount();
}
