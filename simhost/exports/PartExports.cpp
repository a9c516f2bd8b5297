// Host exports: the parts of the current document. The parts are its part records (tag otpD,
// item number = part identifier, 0 the score); the part in view is kept with the document.
#include "simhost/Document.h"
#include "simhost/SimExport.h"
#include "simhost/SimFunctions.h"
#include "simhost/layouts/ScoreLayouts.h"

namespace {

// The answer of FX_GetNextPartID after the last part.
constexpr int32_t kNoMoreParts = 0xFFFF;

bool HasPart(int32_t part) {
    if (part == 0) return true;  // the score is always there
    if (part < 0 || part > 0xFFFF) return false;
    const FXKey key = {{uint16_t(part), 0, 0, 0}};
    return simhost::CurrentDocument().Records().Find(simhost::layout::part::kTag, key) != nullptr;
}

}  // namespace

SIM_EXPORT int32_t FXAPI FX_GetCurrentPartID(uint32_t) {
    SIM_ENTER(FX_GetCurrentPartID, int32_t);
    return simhost::CurrentDocument().View().CurrentPart();
}

SIM_EXPORT int32_t FXAPI FX_SetCurrentPartID(int32_t part, uint32_t) {
    SIM_ENTER(FX_SetCurrentPartID, int32_t);
    if (!HasPart(part)) return 0;
    simhost::CurrentDocument().View().SetCurrentPart(part);
    return 1;
}

SIM_EXPORT int32_t FXAPI FX_GetNextPartID(int32_t part, uint32_t) {
    SIM_ENTER(FX_GetNextPartID, int32_t);
    const simhost::RecordStore::TagRecords& parts =
        simhost::CurrentDocument().Records().Records(simhost::layout::part::kTag);
    for (const auto& record : parts) {
        const FXKey key = simhost::RecordStore::KeyFromOrder(record.first);
        if (key.words[1] == 0 && key.words[2] == 0 && key.words[3] == 0 && int32_t(key.words[0]) > part)
            return key.words[0];
    }
    return kNoMoreParts;
}
