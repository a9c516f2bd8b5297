#include "framework/score/FCTimeSignature.h"

#include "framework/score/FCCompositeTimeSigBottom.h"
#include "framework/score/FCCompositeTimeSigTop.h"

#include <cstring>
#include <memory>

namespace {

constexpr int kBeats = 0;
constexpr int kBeatDuration = 2;
constexpr int kCompositeTop = 4;
constexpr int kCompositeBottom = 5;
// The further flag at offset 6 is always 0 in this system.

}  // namespace

FCTimeSignature::FCTimeSignature() { UseClearedData(data_, kDataSize); }

int FCTimeSignature::GetBeats() const { return fcdata::Read<uint16_t>(data_, kBeats); }
void FCTimeSignature::SetBeats(int beats) { fcdata::Write<uint16_t>(data_, kBeats, uint16_t(beats)); }
int FCTimeSignature::GetBeatDuration() const { return fcdata::Read<uint16_t>(data_, kBeatDuration); }
void FCTimeSignature::SetBeatDuration(int duration) {
    fcdata::Write<uint16_t>(data_, kBeatDuration, uint16_t(duration));
}
bool FCTimeSignature::IsCompositeTop() const { return data_[kCompositeTop] != 0; }
void FCTimeSignature::SetCompositeTop(bool composite) { data_[kCompositeTop] = composite ? 1 : 0; }
bool FCTimeSignature::IsCompositeBottom() const { return data_[kCompositeBottom] != 0; }
void FCTimeSignature::SetCompositeBottom(bool composite) { data_[kCompositeBottom] = composite ? 1 : 0; }

FCCompositeTimeSigTop* FCTimeSignature::GetCompositeTop() const {
    FCCompositeTimeSigTop* top = new FCCompositeTimeSigTop;
    if (IsCompositeTop()) top->LoadAllForItem(uint16_t(GetBeats()));
    return top;
}

FCCompositeTimeSigBottom* FCTimeSignature::GetCompositeBottom() const {
    FCCompositeTimeSigBottom* bottom = new FCCompositeTimeSigBottom;
    if (IsCompositeBottom()) bottom->LoadAllForItem(uint16_t(GetBeatDuration()));
    return bottom;
}

bool FCTimeSignature::CompositeStarts(std::vector<int32_t>& starts, int32_t& total) const {
    std::unique_ptr<FCCompositeTimeSigTop> top(GetCompositeTop());
    std::unique_ptr<FCCompositeTimeSigBottom> bottom(IsCompositeBottom() ? GetCompositeBottom() : nullptr);
    starts.clear();
    total = 0;
    for (int group = 0; group < top->GetGroupCount(); ++group) {
        const int32_t duration = bottom ? bottom->GetGroupBeatDuration(group) : GetBeatDuration();
        for (int i = 0; i < top->GetGroupElementCount(group); ++i) {
            starts.push_back(total);
            total += int32_t(top->GetGroupElementBeats(group, i)) * duration;
        }
    }
    return !starts.empty();
}

int FCTimeSignature::GetBeatCount() const {
    if (!IsCompositeTop()) return GetBeats();
    std::unique_ptr<FCCompositeTimeSigTop> top(GetCompositeTop());
    return top->GetTotalElementCount();
}

bool FCTimeSignature::IsBeatStartPos(int32_t position) const { return GetBeatIndexAt(position) >= 0; }

int FCTimeSignature::GetBeatIndexAt(int32_t position) const {
    if (!IsCompositeTop()) {
        const int32_t duration = GetBeatDuration();
        if (duration <= 0) return position == 0 ? 0 : -1;
        return position % duration == 0 ? position / duration : -1;
    }
    std::vector<int32_t> starts;
    int32_t total;
    CompositeStarts(starts, total);
    for (size_t i = 0; i < starts.size(); ++i)
        if (starts[i] == position) return int(i);
    return -1;
}

int32_t FCTimeSignature::GetBeatStartBefore(int32_t position) const {
    if (!IsCompositeTop()) {
        const int32_t duration = GetBeatDuration();
        if (duration <= 0) return 0;
        return ((position - 1) / duration) * duration;
    }
    std::vector<int32_t> starts;
    int32_t total;
    if (!CompositeStarts(starts, total)) return 0;
    for (size_t i = 0; i < starts.size(); ++i)
        if (starts[i] > position) return i > 0 ? starts[i - 1] : 0;
    return position < total ? starts.back() : 0;
}

bool FCTimeSignature::GetNextBeatStartPos(int32_t position, int32_t* next) const {
    if (!next) return false;
    if (!IsCompositeTop()) {
        const int32_t duration = GetBeatDuration();
        if (duration <= 0 || position < 0) return false;
        const int32_t candidate = (position / duration + 1) * duration;
        if (candidate >= int32_t(GetBeats()) * duration) return false;
        *next = candidate;
        return true;
    }
    std::vector<int32_t> starts;
    int32_t total;
    CompositeStarts(starts, total);
    for (int32_t start : starts)
        if (start > position) {
            *next = start;
            return true;
        }
    return false;
}
