#include "simhost/EntryStore.h"

#include "simhost/layouts/ScoreLayouts.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace simhost {

namespace {

const EntryStore::Entries& NoEntries() {
    static const EntryStore::Entries none;
    return none;
}

FXKey DetailKey(int32_t entryNumber, uint16_t inci) {
    const FXKey key = {{uint16_t(uint32_t(entryNumber) & 0xFFFF), uint16_t(uint32_t(entryNumber) >> 16), inci, 0}};
    return key;
}

int32_t Clamp(int64_t value) {
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return int32_t(value);
}

// The last stamp handed out; 0 belongs to every store that was never changed (all empty).
uint64_t g_lastStamp = 0;

}  // namespace

EntryStore::EntryStore(EntryStore&& other) noexcept
    : frames_(std::move(other.frames_)),
      numbers_(std::move(other.numbers_)),
      locked_(std::move(other.locked_)),
      next_(other.next_),
      stamp_(other.stamp_) {
    other.frames_.clear();
    other.numbers_.clear();
    other.locked_.clear();
    other.next_ = 1;
    other.Touch();
}

EntryStore& EntryStore::operator=(EntryStore&& other) noexcept {
    if (this != &other) {
        frames_ = std::move(other.frames_);
        numbers_ = std::move(other.numbers_);
        locked_ = std::move(other.locked_);
        next_ = other.next_;
        stamp_ = other.stamp_;
        other.frames_.clear();
        other.numbers_.clear();
        other.locked_.clear();
        other.next_ = 1;
        other.Touch();
    }
    return *this;
}

void EntryStore::Touch() { stamp_ = ++g_lastStamp; }

const EntryStore::Entries& EntryStore::Get(const FrameKey& key) const {
    auto found = frames_.find(key);
    return found == frames_.end() ? NoEntries() : found->second;
}

void EntryStore::Unindex(const FrameKey& key) {
    auto frame = frames_.find(key);
    if (frame == frames_.end()) return;
    for (const StoredEntry& entry : frame->second) {
        // A number held twice (only a broken document does that) stays with its other frame.
        auto indexed = numbers_.find(entry.number);
        if (indexed != numbers_.end() && indexed->second == key) numbers_.erase(indexed);
    }
}

void EntryStore::Index(const FrameKey& key) {
    auto frame = frames_.find(key);
    if (frame == frames_.end()) return;
    for (const StoredEntry& entry : frame->second) numbers_.emplace(entry.number, key);
}

void EntryStore::Set(const FrameKey& key, const Entries& entries) { Set(key, Entries(entries)); }

void EntryStore::Set(const FrameKey& key, Entries&& entries) {
    Touch();
    Unindex(key);
    if (entries.empty()) {
        frames_.erase(key);
        return;
    }
    frames_[key] = std::move(entries);
    Index(key);
}

std::vector<int32_t> EntryStore::EraseStaff(int staff) {
    Touch();
    std::vector<int32_t> numbers;
    for (auto frame = frames_.begin(); frame != frames_.end();) {
        if (frame->first.staff != staff) {
            ++frame;
            continue;
        }
        Unindex(frame->first);
        for (const StoredEntry& entry : frame->second) numbers.push_back(entry.number);
        frame = frames_.erase(frame);
    }
    for (auto locked = locked_.begin(); locked != locked_.end();)
        locked = locked->staff == staff ? locked_.erase(locked) : std::next(locked);
    return numbers;
}

void EntryStore::SetLocked(const FrameKey& key, bool locked) {
    Touch();
    if (locked)
        locked_.insert(key);
    else
        locked_.erase(key);
}

int32_t EntryStore::TakeNumber() {
    if (next_ < 1 || next_ == std::numeric_limits<int32_t>::max()) return 0;
    Touch();
    return next_++;
}

bool EntryStore::Locate(int32_t number, FrameKey* key, int* index) const {
    auto indexed = numbers_.find(number);
    if (indexed == numbers_.end()) return false;
    const Entries& entries = Get(indexed->second);
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].number == number) {
            if (key) *key = indexed->second;
            if (index) *index = int(i);
            return true;
        }
    return false;
}

int32_t EntryStore::HighestNumber() const {
    return numbers_.empty() ? 0 : std::max<int32_t>(0, numbers_.rbegin()->first);
}

bool FindTuplet(const RecordStore& records, int32_t entryNumber, TupletRatio* ratio) {
    const RecordStore::Bytes* record = records.Find(TupletRatio::kTag, DetailKey(entryNumber, 0));
    if (!record || record->size() < 8) return false;
    if (ratio) {
        ratio->notes = layout::Read<uint16_t>(record->data(), 0);
        ratio->symbolic = layout::Read<uint16_t>(record->data(), 2);
        ratio->referenceNumber = layout::Read<uint16_t>(record->data(), 4);
        ratio->referenceDuration = layout::Read<uint16_t>(record->data(), 6);
    }
    return true;
}

void ComputeTiming(const EntryStore::Entries& entries, const RecordStore& records, std::vector<EntryTiming>* timing,
                   std::vector<TupletSpan>* spans) {
    if (timing) timing->assign(entries.size(), EntryTiming());
    if (spans) spans->clear();
    int64_t position = 0;
    // The tuplet in progress: where it started, its ratio and the notated time it has used.
    bool inTuplet = false;
    int64_t tupletStart = 0, tupletUsed = 0;
    TupletRatio ratio;
    for (size_t i = 0; i < entries.size(); ++i) {
        const StoredEntry& entry = entries[i];
        const bool grace = (entry.flags & layout::entry::kGrace) != 0;
        TupletRatio found;
        if ((entry.flags & layout::entry::kTupletStart) && entry.number > 0 &&
            FindTuplet(records, entry.number, &found) && found.IsValid()) {
            // The span: entries until their notated durations reach the tuplet's total.
            size_t last = i;
            int64_t sum = 0;
            for (size_t k = i; k < entries.size(); ++k) {
                last = k;
                if (!(entries[k].flags & layout::entry::kGrace)) sum += entries[k].duration;
                if (sum >= found.NotatedTotal()) break;
            }
            if (spans) spans->push_back(TupletSpan{int(i), int(last), 0});
            if (!inTuplet) {
                inTuplet = true;
                tupletStart = position;
                tupletUsed = 0;
                ratio = found;
            }
        }
        const int64_t notated = grace ? 0 : entry.duration;
        int64_t actual = notated;
        if (inTuplet) {
            const int64_t from = tupletUsed * ratio.ActualTotal() / ratio.NotatedTotal();
            tupletUsed += notated;
            const int64_t to = tupletUsed * ratio.ActualTotal() / ratio.NotatedTotal();
            actual = to - from;
            position = tupletStart + from;
            if (tupletUsed >= ratio.NotatedTotal()) inTuplet = false;
        }
        if (timing) (*timing)[i] = EntryTiming{Clamp(position), Clamp(actual)};
        position += actual;
    }
}

bool IsEntryDetailTag(uint32_t tag) {
    static const uint32_t kTags[] = {
        FXTag('e', 'd', 'I', 'M'),  // articulations
        TupletRatio::kTag,          // tuplets
        FXTag('e', 'd', 'E', 'x'),  // smart-shape entry marks
    };
    return std::find(std::begin(kTags), std::end(kTags), tag) != std::end(kTags);
}

void EraseEntryDetails(RecordStore& records, int32_t entryNumber) {
    // An entry's details share key words 0 and 1, so they lie together in key order.
    const FXKey first = DetailKey(entryNumber, 0);
    FXKey last = first;
    last.words[2] = last.words[3] = 0xFFFF;
    std::vector<std::pair<uint32_t, FXKey>> doomed;
    for (const auto& tag : records.All()) {
        if (!IsEntryDetailTag(tag.first)) continue;
        const RecordStore::TagRecords& held = tag.second;
        for (auto record = held.lower_bound(RecordStore::Order(first));
             record != held.end() && record->first <= RecordStore::Order(last); ++record)
            doomed.emplace_back(tag.first, RecordStore::KeyFromOrder(record->first));
    }
    for (const auto& record : doomed) records.Erase(record.first, record.second);
}

}  // namespace simhost
