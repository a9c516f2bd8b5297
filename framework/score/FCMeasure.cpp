#include "framework/score/FCMeasure.h"

#include <cstring>

namespace {

constexpr FCMeasure::Layout kCurrentLayout = {hostapi::kCurrentLayoutHostVersion, 30, 2, 8, 10, 12, 14, 20};
constexpr FCMeasure::Layout kOldLayout = {0x0A000000, 26, 2, 4, 6, 8, 10, 16};
static_assert(kCurrentLayout.size == 30 && kCurrentLayout.measureFlags + 2 <= 30, "measure record, 30 bytes");
static_assert(kOldLayout.size == 26 && kOldLayout.measureFlags + 2 <= 26, "old measure record, 26 bytes");
static_assert(FCMeasure::kMaxDataSize == kCurrentLayout.size, "the measure buffer holds the larger layout");

// Barline styles by the bits 0x00F0 of the barline word.
struct BarlineCode {
    uint16_t bits;
    int style;
};
const BarlineCode kBarlines[] = {{0x10, 1}, {0x20, 2}, {0x30, 3}, {0x40, 4}, {0x50, 5}, {0x60, 6}, {0xE0, 7}};

}  // namespace

const FCMeasure::Layout& FCMeasure::LayoutForHostVersion(uint32_t hostVersion) {
    return hostVersion >= hostapi::kCurrentLayoutHostVersion ? kCurrentLayout : kOldLayout;
}

const FCMeasure::Layout* FCMeasure::LayoutForSize(uint32_t size) {
    if (size >= kCurrentLayout.size) return &kCurrentLayout;
    if (size >= kOldLayout.size) return &kOldLayout;
    return nullptr;
}

FCMeasure::FCMeasure() { std::memset(data_, 0, sizeof data_); }

const FCMeasure::Layout& FCMeasure::CurrentLayout() const { return LayoutForHostVersion(hostapi::GetHostVersion()); }

uint32_t FCMeasure::GetDataVersion() { return CurrentLayout().dataVersion; }

uint32_t FCMeasure::GetDataSize() { return CurrentLayout().size; }

bool FCMeasure::CopyDataFrom(__FCBaseData* other) {
    ReleaseCaches();
    return CopyDataInto(other, data_, GetDataSize());
}

void FCMeasure::ReleaseCaches() {
    timeSignature_.reset();
    keySignature_.reset();
}

bool FCMeasure::Reload() {
    ReleaseCaches();
    return __FCNoInciOther::Reload();
}

bool FCMeasure::Load(uint16_t measure) {
    if (measure == 0) {
        ReleaseCaches();
        SetKey(0, 0);
        SetLoadedSize(0);
        return false;
    }
    return __FCNoInciOther::Load(measure);
}

FCTimeSignature* FCMeasure::GetTimeSignature() {
    if (!IsLoaded()) return nullptr;
    if (!timeSignature_) {
        const Layout& layout = CurrentLayout();
        timeSignature_.reset(new FCTimeSignature);
        timeSignature_->SetBeats(Word(layout.beats));
        timeSignature_->SetBeatDuration(Word(layout.beatDuration));
        timeSignature_->SetCompositeTop((Word(layout.timeFlags) & kTimeCompositeBeats) != 0);
        timeSignature_->SetCompositeBottom((Word(layout.timeFlags) & kTimeCompositeDuration) != 0);
    }
    return timeSignature_.get();
}

FCKeySignature* FCMeasure::GetKeySignature() {
    if (!IsLoaded()) return nullptr;
    if (!keySignature_) keySignature_.reset(new FCKeySignature(Word(CurrentLayout().keySignature)));
    return keySignature_.get();
}

bool FCMeasure::Save() {
    if (!IsLoaded()) return false;
    const Layout& layout = CurrentLayout();
    if (keySignature_) SetWord(layout.keySignature, keySignature_->GetKeyValue());
    if (timeSignature_) {
        SetWord(layout.beats, uint16_t(timeSignature_->GetBeats()));
        SetWord(layout.beatDuration, uint16_t(timeSignature_->GetBeatDuration()));
        SetBits(layout.timeFlags, kTimeCompositeBeats, timeSignature_->IsCompositeTop());
        SetBits(layout.timeFlags, kTimeCompositeDuration, timeSignature_->IsCompositeBottom());
    }
    return __FCNoInciOther::Save();
}

void FCMeasure::SetBits(int offset, uint16_t mask, bool state) {
    const uint16_t word = Word(offset);
    SetWord(offset, state ? uint16_t(word | mask) : uint16_t(word & ~mask));
}

int FCMeasure::GetBarlineStyle() const {
    const uint16_t bits = Word(CurrentLayout().barline) & kBarlineStyleMask;
    for (const BarlineCode& code : kBarlines)
        if (code.bits == bits) return code.style;
    return 0;
}

void FCMeasure::SetBarlineStyle(int style) {
    uint16_t bits = 0;
    for (const BarlineCode& code : kBarlines)
        if (code.style == style) bits = code.bits;
    const int offset = CurrentLayout().barline;
    SetWord(offset, uint16_t((Word(offset) & ~kBarlineStyleMask) | bits));
}

bool FCMeasure::GetHasChords() const { return (Word(CurrentLayout().measureFlags) & kMeasureHasChords) != 0; }
void FCMeasure::SetHasChords(bool state) { SetBits(CurrentLayout().measureFlags, kMeasureHasChords, state); }
bool FCMeasure::GetHasSmartShapes() const { return (Word(CurrentLayout().timeFlags) & kTimeHasSmartShapes) != 0; }
void FCMeasure::SetHasSmartShapes(bool state) { SetBits(CurrentLayout().timeFlags, kTimeHasSmartShapes, state); }
bool FCMeasure::GetHasExpressions() const { return (Word(CurrentLayout().barline) & kBarlineHasExpressions) != 0; }
void FCMeasure::SetHasExpressions(bool state) { SetBits(CurrentLayout().barline, kBarlineHasExpressions, state); }
