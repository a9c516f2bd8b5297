#include "framework/score/FCTupletPrefs.h"

#include "framework/entries/FCTuplet.h"

#include <cstring>

static_assert(FCTupletPrefs::kHorizontalOffsetWord == FCTuplet::kHorizontalOffset &&
                  FCTupletPrefs::kVerticalOffsetWord == FCTuplet::kVerticalOffset,
              "a tuplet's option words follow the preference's words");

FCTupletPrefs::FCTupletPrefs() {
    std::memset(data_, 0, sizeof data_);
    std::memset(extra_, 0, sizeof extra_);
}

bool FCTupletPrefs::CopyDataFrom(__FCBaseData* other) {
    FCTupletPrefs* source = dynamic_cast<FCTupletPrefs*>(other);
    if (!CopyDataInto(other, data_, kDataSize)) return false;
    if (source) std::memcpy(extra_, source->extra_, sizeof extra_);
    return true;
}

bool FCTupletPrefs::Load(uint16_t prefsNumber) {
    std::memset(extra_, 0, sizeof extra_);
    if (!__FCPrefsBase::Load(prefsNumber)) return false;
    FXKey key = {{kExtraItem, 0, 0, 0}};
    uint8_t record[kExtraRecordSize] = {0};
    uint32_t size = kExtraRecordSize;
    if (hostapi::FX_LoadEData(kExtraTag, &key, record, &size, kDefaultDataVersion))
        std::memcpy(extra_, record, sizeof extra_);
    return true;
}

bool FCTupletPrefs::Save() {
    if (!__FCPrefsBase::Save()) return false;
    FXKey key = {{kExtraItem, 0, 0, 0}};
    uint8_t record[kExtraRecordSize] = {0};
    uint32_t size = kExtraRecordSize;
    hostapi::FX_LoadEData(kExtraTag, &key, record, &size, kDefaultDataVersion);  // keeps the unused bytes
    std::memcpy(record, extra_, sizeof extra_);
    return hostapi::FX_SaveEData(kExtraTag, &key, record, kExtraRecordSize, kDefaultDataVersion) != 0;
}

int FCTupletPrefs::GetOptionWord(int index) const {
    if (index < 0 || index >= kOptionWordCount) return 0;
    return fcdata::Read<int16_t>(data_, index * 2);
}

void FCTupletPrefs::SetOptionWord(int index, int value) {
    if (index >= 0 && index < kOptionWordCount) fcdata::Write<int16_t>(data_, index * 2, int16_t(value));
}

int FCTupletPrefs::GetExtraOptionWord(int index) const {
    if (index < 0 || index >= kExtraSize / 2) return 0;
    return fcdata::Read<int16_t>(extra_, index * 2);
}

void FCTupletPrefs::SetExtraOptionWord(int index, int value) {
    if (index >= 0 && index < kExtraSize / 2) fcdata::Write<int16_t>(extra_, index * 2, int16_t(value));
}

bool FCTupletPrefs::CopyToTuplet(FCTuplet* tuplet, bool withPositions) const {
    if (!tuplet) return false;
    for (int word = 0; word < FCTuplet::kDisplayFlags2; ++word) {
        if (!withPositions && (word == kHorizontalOffsetWord || word == kVerticalOffsetWord)) continue;
        tuplet->SetOption(FCTuplet::Option(word), GetOptionWord(word));
    }
    tuplet->SetOption(FCTuplet::kDisplayFlags2, GetExtraOptionWord(0));
    return true;
}
