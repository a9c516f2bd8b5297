#include "tasks/sequences/FCBeamBeatInfo.h"

#include "framework/score/FCCompositeTimeSigBottom.h"
#include "framework/score/FCCompositeTimeSigTop.h"
#include "framework/score/FCTimeSignature.h"

#include <memory>

void FCBeamBeatInfo::Build(const FCTimeSignature* timeSignature) {
    ClearAll();
    if (!timeSignature) return;
    if (!timeSignature->IsCompositeTop()) {
        const int32_t duration = timeSignature->GetBeatDuration();
        for (int i = 0; i < timeSignature->GetBeats(); ++i) Add(new FCBeamBeatInfoElement(i * duration));
        return;
    }
    std::unique_ptr<FCCompositeTimeSigTop> top(timeSignature->GetCompositeTop());
    std::unique_ptr<FCCompositeTimeSigBottom> bottom(
        timeSignature->IsCompositeBottom() ? timeSignature->GetCompositeBottom() : nullptr);
    if (!top) return;
    if (bottom && bottom->GetGroupCount() != top->GetGroupCount()) return;
    int32_t start = 0;
    for (int group = 0; group < top->GetGroupCount(); ++group) {
        const int32_t unit = bottom ? bottom->GetGroupBeatDuration(group) : timeSignature->GetBeatDuration();
        for (int i = 0; i < top->GetGroupElementCount(group); ++i) {
            Add(new FCBeamBeatInfoElement(start));
            start += unit * top->GetGroupElementBeats(group, i);
        }
    }
}

int FCBeamBeatInfo::GetGroupIndex(int32_t position) const {
    int found = -1;
    for (int i = 0; i < GetCount(); ++i) {
        if (GetItemAt(i)->GetStart() > position) break;
        found = i;
    }
    return found;
}

int32_t FCBeamBeatInfo::GetGroupStart(int i) const {
    const FCBeamBeatInfoElement* element = GetItemAt(i);
    return element ? element->GetStart() : -1;
}
