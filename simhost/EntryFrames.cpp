#include "simhost/EntryFrames.h"

#include "simhost/Document.h"
#include "simhost/RecordView.h"
#include "simhost/ScoreQueries.h"
#include "simhost/SimHost.h"
#include "simhost/layouts/ScoreLayouts.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

namespace simhost {

namespace {

// What the host knows about a frame it handed out.
struct LiveFrame {
    int16_t document;
    FrameKey key;
    uint8_t* entries;
    int count;
    uint8_t* tuplets;
    int tupletCount;
};

// The frames handed out; whatever is still out when the process ends is freed then.
struct LiveFrames : std::map<const void*, LiveFrame> {
    LiveFrames() = default;
    LiveFrames(const LiveFrames&) = delete;
    LiveFrames& operator=(const LiveFrames&) = delete;
    ~LiveFrames() { FreeAll(); }
    void FreeAll() {
        for (auto& frame : *this) {
            delete[] frame.second.entries;
            delete[] frame.second.tuplets;
            delete[] static_cast<const uint8_t*>(frame.first);
        }
        clear();
    }
};

LiveFrames& Frames() {
    static LiveFrames frames;
    return frames;
}

// The frame's record, when the frame is one the host handed out and its header still names the
// arrays the host allocated.
LiveFrame* Find(const void* frame) {
    if (!frame) return nullptr;
    auto found = Frames().find(frame);
    if (found == Frames().end()) return nullptr;
    LiveFrame& live = found->second;
    if (layout::frame::ReadAddress(frame, layout::frame::kEntries) != live.entries ||
        layout::Read<int16_t>(frame, layout::frame::kEntryCount) != live.count ||
        layout::frame::ReadAddress(frame, layout::frame::kTuplets) != live.tuplets ||
        layout::Read<int16_t>(frame, layout::frame::kTupletCount) != live.tupletCount)
        return nullptr;
    return &live;
}

uint8_t* NewBlock(size_t size) {
    if (size == 0) return nullptr;
    uint8_t* block = new uint8_t[size];
    std::memset(block, 0, size);
    return block;
}

void WriteEntry(uint8_t* record, const StoredEntry& entry, const EntryTiming& timing) {
    layout::Write<int32_t>(record, layout::entry::kNumber, entry.number);
    layout::Write<int32_t>(record, layout::entry::kDuration, entry.duration);
    layout::Write<uint32_t>(record, layout::entry::kFlags, entry.flags);
    layout::Write<uint16_t>(record, layout::entry::kFlags2, entry.flags2);
    layout::Write<int16_t>(record, layout::entry::kNoteCount, int16_t(entry.notes.size()));
    for (size_t i = 0; i < entry.notes.size() && i < size_t(layout::entry::kMaxNotes); ++i) {
        uint8_t* note = record + layout::entry::kNotes + i * layout::note::kSize;
        layout::Write<int16_t>(note, layout::note::kDisplacement, entry.notes[i].displacement);
        layout::Write<int16_t>(note, layout::note::kRaiseLower, entry.notes[i].raiseLower);
        layout::Write<int16_t>(note, layout::note::kID, entry.notes[i].noteID);
        layout::Write<uint32_t>(note, layout::note::kFlags, entry.notes[i].flags);
    }
    layout::Write<int32_t>(record, layout::entry::kPosition, timing.position);
    layout::Write<int32_t>(record, layout::entry::kActualDuration, timing.actual);
}

void SetArrays(uint8_t* frame, LiveFrame& live, uint8_t* entries, int count) {
    live.entries = entries;
    live.count = count;
    layout::frame::WriteAddress(frame, layout::frame::kEntries, entries);
    layout::Write<int16_t>(frame, layout::frame::kEntryCount, int16_t(count));
}

}  // namespace

void* LoadFrame(int staffList, int slot, int measure, int layer) {
    Document& document = CurrentDocument();
    const RecordView view = RecordView::Current();
    const int staff = StaffAtSlot(view, staffList, slot);
    if (staff == 0 || !HasMeasure(view, measure)) return nullptr;
    if (layer < 0 || layer >= EntryStore::kLayerCount) return nullptr;
    const FrameKey key{staff, measure, layer};
    const EntryStore::Entries& entries = document.Entries().Get(key);
    std::vector<EntryTiming> timing;
    std::vector<TupletSpan> spans;
    ComputeTiming(entries, document.Records(), &timing, &spans);

    uint8_t* frame = NewBlock(layout::frame::kHeaderSize);
    layout::Write<int16_t>(frame, layout::frame::kStaffList, int16_t(staffList));
    layout::Write<int16_t>(frame, layout::frame::kSlot, int16_t(slot));
    layout::Write<int16_t>(frame, layout::frame::kMeasure, int16_t(measure));
    layout::Write<int16_t>(frame, layout::frame::kLayer, int16_t(layer));
    layout::Write<int16_t>(frame, layout::frame::kLocked, document.Entries().IsLocked(key) ? 1 : 0);

    LiveFrame live{document.ID(), key, nullptr, 0, nullptr, 0};
    uint8_t* records = NewBlock(entries.size() * layout::entry::kSize);
    for (size_t i = 0; i < entries.size(); ++i) WriteEntry(records + i * layout::entry::kSize, entries[i], timing[i]);
    SetArrays(frame, live, records, int(entries.size()));
    live.tuplets = NewBlock(spans.size() * layout::frame::kSpanSize);
    live.tupletCount = int(spans.size());
    for (size_t i = 0; i < spans.size(); ++i) {
        uint8_t* span = live.tuplets + i * layout::frame::kSpanSize;
        layout::Write<int16_t>(span, layout::frame::kSpanFirst, int16_t(spans[i].first));
        layout::Write<int16_t>(span, layout::frame::kSpanLast, int16_t(spans[i].last));
        layout::Write<int16_t>(span, layout::frame::kSpanDetail, int16_t(spans[i].detail));
    }
    layout::frame::WriteAddress(frame, layout::frame::kTuplets, live.tuplets);
    layout::Write<int16_t>(frame, layout::frame::kTupletCount, int16_t(live.tupletCount));
    Frames()[frame] = live;
    return frame;
}

bool SaveFrame(void* frame) {
    const LiveFrame* live = Find(frame);
    if (!live) return false;
    Document* document = FindDocument(live->document);
    if (!document) return false;
    EntryStore& store = document->Entries();
    if (store.IsLocked(live->key)) return false;

    // The stored entries by number: their layout (stem direction) carries over. Sorted lists
    // rather than trees: a frame is saved for every cell a task changes.
    const EntryStore::Entries& before = store.Get(live->key);
    std::vector<std::pair<int32_t, const StoredEntry*>> previous;
    previous.reserve(before.size());
    for (const StoredEntry& entry : before) previous.emplace_back(entry.number, &entry);
    std::stable_sort(previous.begin(), previous.end(),
                     [](const std::pair<int32_t, const StoredEntry*>& a,
                        const std::pair<int32_t, const StoredEntry*>& b) { return a.first < b.first; });
    // The stored entry with this number (the last one, should a frame hold it twice), or null.
    auto stored = [&previous](int32_t number) -> const StoredEntry* {
        auto after = std::upper_bound(
            previous.begin(), previous.end(), number,
            [](int32_t n, const std::pair<int32_t, const StoredEntry*>& item) { return n < item.first; });
        return after != previous.begin() && (after - 1)->first == number ? (after - 1)->second : nullptr;
    };

    EntryStore::Entries after;
    after.reserve(size_t(live->count));
    std::vector<int32_t> kept;
    kept.reserve(size_t(live->count));
    int fresh = 0;
    for (int i = 0; i < live->count; ++i) {
        const uint8_t* record = live->entries + i * layout::entry::kSize;
        const int32_t number = layout::Read<int32_t>(record, layout::entry::kNumber);
        const int32_t duration = layout::Read<int32_t>(record, layout::entry::kDuration);
        if (duration == 0) continue;  // marked for deletion
        const int notes = layout::Read<int16_t>(record, layout::entry::kNoteCount);
        if (duration < 0 || duration > EntryStore::kMaxDuration) return false;
        if (notes < 0 || notes > EntryStore::kMaxNotes) return false;
        if (number < 0 || (number > 0 && !store.WasIssued(number))) return false;
        const StoredEntry* old = number > 0 ? stored(number) : nullptr;
        if (number > 0) {
            kept.push_back(number);
            FrameKey where;
            if (!old && store.Locate(number, &where, nullptr)) return false;
        } else {
            ++fresh;
        }
        after.emplace_back();
        StoredEntry& entry = after.back();
        entry.number = number;
        entry.duration = duration;
        entry.flags = layout::Read<uint32_t>(record, layout::entry::kFlags);
        entry.flags2 = layout::Read<uint16_t>(record, layout::entry::kFlags2);
        entry.notes.resize(size_t(notes));
        for (int n = 0; n < notes; ++n) {
            const uint8_t* note = record + layout::entry::kNotes + n * layout::note::kSize;
            StoredNote& copy = entry.notes[size_t(n)];
            copy.displacement = layout::Read<int16_t>(note, layout::note::kDisplacement);
            copy.raiseLower = layout::Read<int16_t>(note, layout::note::kRaiseLower);
            copy.noteID = layout::Read<int16_t>(note, layout::note::kID);
            copy.flags = layout::Read<uint32_t>(note, layout::note::kFlags);
        }
        if (old) entry.stemDown = old->stemDown;
    }
    // An entry number the frame holds twice.
    std::sort(kept.begin(), kept.end());
    if (std::adjacent_find(kept.begin(), kept.end()) != kept.end()) return false;
    if (fresh > 0 && int64_t(store.NextNumber()) + fresh >= int64_t(0x7FFFFFFF)) return false;

    for (StoredEntry& entry : after)
        if (entry.number == 0) entry.number = store.TakeNumber();
    for (const StoredEntry& entry : before)
        if (!std::binary_search(kept.begin(), kept.end(), entry.number))
            EraseEntryDetails(document->Records(), entry.number);
    store.Set(live->key, std::move(after));
    return true;
}

bool FreeFrame(void* frame) {
    if (!frame) return false;
    auto found = Frames().find(frame);
    if (found == Frames().end()) return false;
    // The host frees what it allocated, whatever the header says now.
    delete[] found->second.entries;
    delete[] found->second.tuplets;
    Frames().erase(found);
    delete[] static_cast<uint8_t*>(frame);
    return true;
}

void FreeAllFrames() { Frames().FreeAll(); }

bool InsertFrameEntries(void* frame, int index, int count) {
    LiveFrame* live = Find(frame);
    if (!live || count < 1 || index < 0 || index > live->count) return false;
    if (live->count + count > EntryStore::kMaxEntries) return false;
    Document* document = FindDocument(live->document);
    if (!document || document->Entries().IsLocked(live->key)) return false;
    const int total = live->count + count;
    // Only the new records start blank; the others are copied over straight away.
    uint8_t* records = new uint8_t[size_t(total) * layout::entry::kSize];
    if (index > 0) std::memcpy(records, live->entries, size_t(index) * layout::entry::kSize);
    std::memset(records + size_t(index) * layout::entry::kSize, 0, size_t(count) * layout::entry::kSize);
    if (index < live->count)
        std::memcpy(records + size_t(index + count) * layout::entry::kSize,
                    live->entries + index * layout::entry::kSize, size_t(live->count - index) * layout::entry::kSize);
    delete[] live->entries;
    SetArrays(static_cast<uint8_t*>(frame), *live, records, total);
    return true;
}

bool DeleteFrameEntries(void* frame, int index, int count) {
    LiveFrame* live = Find(frame);
    if (!live || count < 1 || index < 0 || index + count > live->count) return false;
    Document* document = FindDocument(live->document);
    if (!document || document->Entries().IsLocked(live->key)) return false;
    const int total = live->count - count;
    uint8_t* records = NewBlock(size_t(total) * layout::entry::kSize);
    if (index > 0) std::memcpy(records, live->entries, size_t(index) * layout::entry::kSize);
    if (index + count < live->count)
        std::memcpy(records + size_t(index) * layout::entry::kSize,
                    live->entries + (index + count) * layout::entry::kSize,
                    size_t(live->count - index - count) * layout::entry::kSize);
    delete[] live->entries;
    SetArrays(static_cast<uint8_t*>(frame), *live, records, total);
    return true;
}

int LiveFrameCount() { return int(Frames().size()); }

bool FillEntryMetrics(int staff, int measure, int32_t entryNumber, void* block) {
    if (!block || entryNumber <= 0) return false;
    // The beam rules ask about every entry of a cell several times: the stem directions of the
    // last cell asked about are kept while the entries stay the same. Only the layers of that
    // staff and measure can hold the entry; a search of the whole document for every entry a task
    // asks about would make the tasks quadratic.
    struct CellStems {
        bool valid = false;
        uint64_t stamp = 0;
        int staff = 0;
        int measure = 0;
        std::vector<std::pair<int32_t, bool>> up;  // by entry number, in layer and entry order
    };
    static CellStems last;
    const EntryStore& store = CurrentDocument().Entries();
    if (!last.valid || last.stamp != store.Stamp() || last.staff != staff || last.measure != measure) {
        last.valid = true;
        last.stamp = store.Stamp();
        last.staff = staff;
        last.measure = measure;
        last.up.clear();
        const std::map<FrameKey, EntryStore::Entries>& frames = store.Frames();
        for (auto frame = frames.lower_bound(FrameKey{staff, measure, 0});
             frame != frames.end() && frame->first.staff == staff && frame->first.measure == measure; ++frame)
            for (const StoredEntry& stored : frame->second)
                last.up.emplace_back(stored.number, (stored.flags & layout::entry::kNote) && !stored.stemDown);
    }
    for (const auto& entry : last.up)
        if (entry.first == entryNumber) {
            std::memset(block, 0, layout::frame::kMetricsSize);
            layout::Write<uint32_t>(block, layout::frame::kMetricsStemWord,
                                    entry.second ? layout::frame::kMetricsStemUp : 0);
            return true;
        }
    return false;
}

}  // namespace simhost
