// Host exports: the selection, the whole-document region, slot and staff conversion and measure
// durations, answered from the current document's records as the part in view sees them.
#include "simhost/Document.h"
#include "simhost/ScoreQueries.h"
#include "simhost/SimExport.h"
#include "simhost/SimFunctions.h"

#include <cstring>

namespace {

void CopyRegion(void* destination, const simhost::RegionData& region) {
    if (destination) std::memcpy(destination, region.data(), region.size());
}

}  // namespace

// First and second: the selection; third: every staff and measure of the part in view.
SIM_EXPORT int16_t FXAPI FX_GetCurERegions(void* first, void* second, void* third, uint32_t) {
    SIM_ENTER(FX_GetCurERegions, int16_t);
    const simhost::RecordView view = simhost::RecordView::Current();
    const simhost::RegionData& selection = simhost::CurrentDocument().View().Selection();
    CopyRegion(first, selection);
    CopyRegion(second, selection);
    CopyRegion(third, simhost::WholeDocument(view));
    return 1;
}

SIM_EXPORT int32_t FXAPI FX_SetCurERegion(const void* region, uint32_t) {
    SIM_ENTER(FX_SetCurERegion, int32_t);
    if (!region) return 0;
    simhost::RegionData data;
    std::memcpy(data.data(), region, data.size());
    if (!simhost::IsAcceptedRegion(simhost::RecordView::Current(), data)) return 0;
    simhost::CurrentDocument().View().SetSelection(data);
    return 1;
}

SIM_EXPORT int16_t FXAPI FX_SlotToInst(int16_t slot, int16_t staffList, uint32_t) {
    SIM_ENTER(FX_SlotToInst, int16_t);
    return int16_t(simhost::StaffAtSlot(simhost::RecordView::Current(), staffList, slot));
}

SIM_EXPORT int16_t FXAPI FX_InstToSlot(int16_t staff, int16_t staffList, uint32_t) {
    SIM_ENTER(FX_InstToSlot, int16_t);
    return int16_t(simhost::SlotOfStaff(simhost::RecordView::Current(), staffList, staff));
}

SIM_EXPORT int32_t FXAPI FX_GetMeasureDuration(int16_t staff, int16_t measure, uint32_t) {
    SIM_ENTER(FX_GetMeasureDuration, int32_t);
    return simhost::MeasureDuration(simhost::RecordView::Current(), staff, measure);
}
