#include "simhost/RecordStore.h"

#include <utility>

namespace simhost {

namespace {

// The last stamp handed out; 0 belongs to every store that was never changed (all empty).
uint64_t g_lastStamp = 0;

}  // namespace

RecordStore::RecordStore(RecordStore&& other) noexcept : tags_(std::move(other.tags_)), stamp_(other.stamp_) {
    other.Clear();
}

RecordStore& RecordStore::operator=(RecordStore&& other) noexcept {
    if (this != &other) {
        tags_ = std::move(other.tags_);
        stamp_ = other.stamp_;
        other.Clear();
    }
    return *this;
}

void RecordStore::Touch() { stamp_ = ++g_lastStamp; }

void RecordStore::Clear() {
    tags_.clear();
    Touch();
}

uint64_t RecordStore::Order(const FXKey& key) {
    return (uint64_t(key.words[0]) << 48) | (uint64_t(key.words[1]) << 32) | (uint64_t(key.words[2]) << 16) |
           uint64_t(key.words[3]);
}

FXKey RecordStore::KeyFromOrder(uint64_t order) {
    FXKey key = {{uint16_t(order >> 48), uint16_t(order >> 32), uint16_t(order >> 16), uint16_t(order)}};
    return key;
}

const RecordStore::Bytes* RecordStore::Find(uint32_t tag, const FXKey& key) const {
    auto t = tags_.find(tag);
    if (t == tags_.end()) return nullptr;
    auto r = t->second.find(Order(key));
    return r == t->second.end() ? nullptr : &r->second;
}

void RecordStore::Put(uint32_t tag, const FXKey& key, const uint8_t* data, uint32_t size) {
    Touch();
    TagRecords& records = tags_[tag];
    const uint64_t order = Order(key);
    // Records made in key order (new items, new incidences) go to the end without a search.
    Bytes& bytes = records.empty() || order > records.rbegin()->first
                       ? records.emplace_hint(records.end(), order, Bytes())->second
                       : records[order];
    if (data)
        bytes.assign(data, data + size);
    else
        bytes.assign(size, 0);
}

bool RecordStore::Erase(uint32_t tag, const FXKey& key) {
    auto t = tags_.find(tag);
    if (t == tags_.end()) return false;
    if (t->second.erase(Order(key)) == 0) return false;
    if (t->second.empty()) tags_.erase(t);
    Touch();
    return true;
}

int RecordStore::IncidenceWord(uint32_t tag) {
    const char first = char(tag >> 24);
    const char second = char(tag >> 16);
    if (first == 'e' || first == 'E' || first == 'D' || (first == 'S' && second == 'D')) return 2;
    return 1;
}

bool RecordStore::EraseAndRenumber(uint32_t tag, const FXKey& key) {
    if (!Erase(tag, key)) return false;
    auto t = tags_.find(tag);
    if (t == tags_.end()) return true;
    const int w = IncidenceWord(tag);
    // The records of the same item lie in one run of the key order: every word before w agrees.
    FXKey low = key, high = key;
    for (int v = w; v < 4; ++v) {
        low.words[v] = 0;
        high.words[v] = 0xFFFF;
    }
    std::vector<std::pair<FXKey, Bytes>> moved;
    for (auto r = t->second.lower_bound(Order(low)); r != t->second.end() && r->first <= Order(high);) {
        const FXKey other = KeyFromOrder(r->first);
        bool sameItem = true;
        for (int v = w + 1; v < 4; ++v)
            if (other.words[v] != key.words[v]) sameItem = false;
        if (sameItem && other.words[w] > key.words[w]) {
            FXKey lower = other;
            --lower.words[w];
            moved.emplace_back(lower, std::move(r->second));
            r = t->second.erase(r);
        } else {
            ++r;
        }
    }
    for (auto& m : moved) t->second[Order(m.first)] = std::move(m.second);
    Touch();
    return true;
}

bool RecordStore::Next(uint32_t tag, FXKey& key) const {
    auto t = tags_.find(tag);
    if (t == tags_.end()) return false;
    auto r = t->second.upper_bound(Order(key));
    if (r == t->second.end()) return false;
    key = KeyFromOrder(r->first);
    return true;
}

void RecordStore::AssignKey(uint32_t tag, FXKey& key) const {
    bool requested[4];
    for (int w = 0; w < 4; ++w) requested[w] = key.words[w] == 0xFFFF;
    const TagRecords& records = Records(tag);
    for (int w = 0; w < 4; ++w) {
        if (!requested[w]) continue;
        // Records that agree in the words before w lie in one run of the key order.
        FXKey low = {{0, 0, 0, 0}};
        FXKey high = {{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}};
        for (int v = 0; v < w; ++v) low.words[v] = high.words[v] = key.words[v];
        // Within the run, word w orders the records: walking it backwards, the first record that
        // agrees holds the highest value (a long run of items is not walked whole).
        int highest = -1;
        const auto first = records.lower_bound(Order(low));
        for (auto r = records.upper_bound(Order(high)); r != first;) {
            --r;
            const FXKey other = KeyFromOrder(r->first);
            bool agrees = other.words[w] != 0xFFFF;
            for (int v = w + 1; v < 4 && agrees; ++v)
                if (!requested[v] && other.words[v] != key.words[v]) agrees = false;
            if (agrees) {
                highest = other.words[w];
                break;
            }
        }
        // Words before the incidence word are item numbers, which start at 1 (a centre shape's
        // number, word 1 of its key, must never be 0: a measure mark's 0 means "no centre").
        const int start = w < IncidenceWord(tag) ? 1 : 0;
        key.words[w] = uint16_t(highest < start ? start : highest + 1);
        requested[w] = false;
    }
}

const RecordStore::TagRecords& RecordStore::Records(uint32_t tag) const {
    static const TagRecords empty;
    auto t = tags_.find(tag);
    return t == tags_.end() ? empty : t->second;
}

int RecordStore::Count(uint32_t tag) const { return int(Records(tag).size()); }

}  // namespace simhost
