// Host exports: menu commands, redraws and layout updates. The stand-in host records each in the
// document's command log with the part in view and the selection; of them it runs only the
// layout update, by its own fixed rule (SystemLayout.h).
#include "simhost/Document.h"
#include "simhost/SimExport.h"
#include "simhost/SimFunctions.h"
#include "simhost/SystemLayout.h"

#include <cstring>

namespace {

int32_t Log(simhost::HostCommand::Kind kind, int32_t command, int32_t second, const void* region) {
    simhost::Document& document = simhost::CurrentDocument();
    simhost::HostCommand entry;
    entry.kind = kind;
    entry.command = command;
    entry.second = second;
    entry.part = document.View().CurrentPart();
    entry.selection = document.View().Selection();
    entry.region.fill(0);
    if (region) std::memcpy(entry.region.data(), region, entry.region.size());
    document.View().Record(entry);
    return 1;
}

}  // namespace

SIM_EXPORT int32_t FXAPI FX_ExecuteMenuItem(int32_t command, uint32_t) {
    SIM_ENTER(FX_ExecuteMenuItem, int32_t);
    if (command <= 0) return 0;
    return Log(simhost::HostCommand::kMenuItem, command, 0, nullptr);
}

SIM_EXPORT int32_t FXAPI FX_RedrawMusic(const void* region, uint32_t) {
    SIM_ENTER(FX_RedrawMusic, int32_t);
    return Log(simhost::HostCommand::kRedraw, 0, 0, region);
}

SIM_EXPORT int32_t FXAPI FX_UpdateLayout(int32_t first, int32_t second, uint32_t) {
    SIM_ENTER(FX_UpdateLayout, int32_t);
    Log(simhost::HostCommand::kUpdateLayout, first, second, nullptr);
    simhost::RecordView view = simhost::RecordView::Current();
    return simhost::UpdateLayout(view) ? 1 : 0;
}
