// Host exports: the chord analysis of the current document.
#include "simhost/ChordAnalysis.h"
#include "simhost/SimExport.h"
#include "simhost/SimFunctions.h"

#include <cstring>

// Fills the chord record from the pitches sounding at the region's start; 0 when they name no chord.
SIM_EXPORT int32_t FXAPI FX_AnalyzeChord(const void* region, void* chord, void* result, uint32_t) {
    SIM_ENTER(FX_AnalyzeChord, int32_t);
    if (!region || !chord) return 0;
    simhost::RegionData data;
    std::memcpy(data.data(), region, data.size());
    return simhost::chords::AnalyzeRegion(data, chord, result) ? 1 : 0;
}
