// Host exports: entry frames of the current document, layers, pitches and entry metrics.
#include "simhost/Document.h"
#include "simhost/EntryFrames.h"
#include "simhost/EntryStore.h"
#include "simhost/PitchSpelling.h"
#include "simhost/SimExport.h"
#include "simhost/SimFunctions.h"
#include "simhost/layouts/ScoreLayouts.h"

SIM_EXPORT void* FXAPI FX_LoadTGF(int16_t staffList, int16_t slot, int16_t measure, int16_t layer, int16_t, uint32_t) {
    SIM_ENTER(FX_LoadTGF, void*);
    return simhost::LoadFrame(staffList, slot, measure, layer);
}

SIM_EXPORT int16_t FXAPI FX_SaveTGF(void* frame, uint32_t) {
    SIM_ENTER(FX_SaveTGF, int16_t);
    return simhost::SaveFrame(frame) ? 1 : 0;
}

SIM_EXPORT int16_t FXAPI FX_FreeTGF(void* frame, uint32_t) {
    SIM_ENTER(FX_FreeTGF, int16_t);
    return simhost::FreeFrame(frame) ? 1 : 0;
}

SIM_EXPORT int16_t FXAPI FX_InsertEXENTRY(void* frame, int16_t index, int16_t count, uint32_t) {
    SIM_ENTER(FX_InsertEXENTRY, int16_t);
    return simhost::InsertFrameEntries(frame, index, count) ? 1 : 0;
}

SIM_EXPORT int16_t FXAPI FX_DeleteEXENTRY(void* frame, int16_t index, int16_t count, uint32_t) {
    SIM_ENTER(FX_DeleteEXENTRY, int16_t);
    return simhost::DeleteFrameEntries(frame, index, count) ? 1 : 0;
}

SIM_EXPORT int16_t FXAPI FX_GetMaxLayers(uint32_t) {
    SIM_ENTER(FX_GetMaxLayers, int16_t);
    return simhost::EntryStore::kLayerCount;
}

SIM_EXPORT int16_t FXAPI FX_GetShowLayer(int16_t layer, uint32_t) {
    SIM_ENTER(FX_GetShowLayer, int16_t);
    if (layer < 0 || layer >= simhost::EntryStore::kLayerCount) return 0;
    return simhost::CurrentDocument().IsLayerShown(layer) ? 1 : 0;
}

// The MIDI key of a note record in a key (0 for no record).
SIM_EXPORT int16_t FXAPI FX_NoteToMidi(const void* note, int16_t key, uint32_t) {
    SIM_ENTER(FX_NoteToMidi, int16_t);
    if (!note) return 0;
    return int16_t(simhost::MidiKey(simhost::layout::Read<int16_t>(note, simhost::layout::note::kDisplacement),
                                    simhost::layout::Read<int16_t>(note, simhost::layout::note::kRaiseLower),
                                    uint16_t(key)));
}

SIM_EXPORT int16_t FXAPI FX_GetEntryMetrics2014(int16_t staff, int16_t measure, int32_t entnum, void* block, int32_t,
                                                int16_t, uint32_t) {
    SIM_ENTER(FX_GetEntryMetrics2014, int16_t);
    return simhost::FillEntryMetrics(staff, measure, entnum, block) ? 1 : 0;
}

SIM_EXPORT int16_t FXAPI FX_GetEntryMetrics2009a(int16_t staff, int16_t measure, int32_t entnum, void* block, int32_t,
                                                 int16_t, uint32_t) {
    SIM_ENTER(FX_GetEntryMetrics2009a, int16_t);
    return simhost::FillEntryMetrics(staff, measure, entnum, block) ? 1 : 0;
}

// The stand-in host keeps nothing outside the caller's block.
SIM_EXPORT int16_t FXAPI FX_FreeEntryMetrics(void* block, uint32_t) {
    SIM_ENTER(FX_FreeEntryMetrics, int16_t);
    return block ? 1 : 0;
}
