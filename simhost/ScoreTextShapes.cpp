// Smart shapes in score text (see ScoreTextShapes.h). The records are read and written at the
// offsets of the host's layouts (simhost/layouts/MarkingLayouts.h).
#include "simhost/ScoreTextShapes.h"

#include "simhost/SimHost.h"
#include "simhost/layouts/MarkingLayouts.h"

#include <algorithm>
#include <cstring>

namespace simhost {
namespace scoretext {

namespace {

using namespace layout;
using shape::kSegFlags;
using shape::kSegMeasure;
using shape::kSegments;
using shape::kSegOffsetY;
using shape::kSegPosition;
using shape::kSegStaff;

// The flags of a shape made by the presets (a new shape starts with 0x0200).
constexpr uint32_t kEntryPresetFlags = shape::kEntryAttached | 0x20000000 | 0x8000 | 0x0200 | 0x0001;
constexpr uint32_t kMeasurePresetFlags = 0x8000 | 0x0400 | 0x0200;
constexpr uint16_t kSegmentPresetFlag = 0x4000;
constexpr uint16_t kEntrySmartShapeFlag = entry::kSmartShape;

constexpr int kSolidSlur = 15;
constexpr int kDashedSlur = 42;
constexpr int kDecrescendo = 2;
constexpr int kCrescendo = 3;

bool IsSlurType(int type) {
    static const int kTypes[] = {0, 1, 8, 9, 15, 16, 40, 41, 42};
    return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

int CountIncidences(const RecordStore& records, uint32_t tag, FXKey key, int word) {
    int count = 0;
    for (key.words[word] = 0; count < 0xFFFF && records.Find(tag, key); key.words[word] = uint16_t(++count)) {
    }
    return count;
}

bool ToNumber(const std::string& text, int64_t low, int64_t high, int64_t* value) {
    if (text.empty() || text.size() > 12) return false;
    size_t i = 0;
    bool negative = false;
    if (text[0] == '-') {
        negative = true;
        i = 1;
    }
    if (i == text.size()) return false;
    int64_t n = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        n = n * 10 + (text[i] - '0');
    }
    if (negative) n = -n;
    if (n < low || n > high) return false;
    *value = n;
    return true;
}

// "N", "M:N" (entries) or "@P", "M@P" (positions).
bool ParseEnd(const std::string& text, int measure, bool* entry, ShapeEnd* end) {
    int64_t n;
    const size_t at = text.find('@');
    const size_t colon = text.find(':');
    if (at != std::string::npos) {
        *entry = false;
        end->measure = measure;
        if (at > 0) {
            if (!ToNumber(text.substr(0, at), 1, 0xFFFE, &n)) return false;
            end->measure = int(n);
        }
        if (!ToNumber(text.substr(at + 1), 0, 0x7FFFFFFF, &n)) return false;
        end->position = int32_t(n);
        return true;
    }
    *entry = true;
    end->measure = measure;
    std::string index = text;
    if (colon != std::string::npos) {
        if (!ToNumber(text.substr(0, colon), 1, 0xFFFE, &n)) return false;
        end->measure = int(n);
        index = text.substr(colon + 1);
    }
    if (!ToNumber(index, 1, EntryStore::kMaxEntries, &n)) return false;
    end->index = int(n);
    return true;
}

std::string EndText(const ShapeEnd& end, bool entry, int measure) {
    const std::string prefix = end.measure == measure ? std::string() : std::to_string(end.measure);
    if (entry) return (prefix.empty() ? "" : prefix + ":") + std::to_string(end.index);
    return prefix + "@" + std::to_string(end.position);
}

}  // namespace

bool IsShapeKeyword(const std::string& word) {
    return word == "slur" || word == "cresc" || word == "dim" || word == "shape";
}

bool ParseShapeStatement(const std::vector<ShapeWord>& words, int staff, int measure, int line, ShapeStatement* shape,
                         int* column, std::string* message) {
    auto fail = [&](size_t i, const std::string& text) {
        *column = i < words.size() ? words[i].column
                                   : (words.empty() ? 1 : words.back().column + int(words.back().text.size()) + 1);
        *message = text;
        return false;
    };
    ShapeStatement s;
    s.staff = staff;
    s.at = Place{line, words[0].column};
    const std::string& kind = words[1].text;
    size_t i = 2;
    int64_t n;
    if (kind == "shape") {
        if (i >= words.size() || !ToNumber(words[i].text, -32768, 32767, &n))
            return fail(i, "expected the shape's type number (-32768-32767)");
        s.type = int(n);
        ++i;
    } else {
        s.type = kind == "slur" ? kSolidSlur : kind == "cresc" ? kCrescendo : kDecrescendo;
    }
    // The range: FROM-TO.
    const std::string range = i < words.size() ? words[i].text : std::string();
    const size_t dash = range.find('-');
    bool leftEntry = false, rightEntry = false;
    if (dash == std::string::npos || !ParseEnd(range.substr(0, dash), measure, &leftEntry, &s.left) ||
        !ParseEnd(range.substr(dash + 1), measure, &rightEntry, &s.right) || leftEntry != rightEntry)
        return fail(i, "expected the shape's ends: entries 'N-N' or 'N-M:N', or positions '@P-@P' or '@P-M@P'");
    s.entryAttached = leftEntry;
    if (kind == "slur" && !s.entryAttached) return fail(i, "a slur joins two entries: expected 'N-N' or 'N-M:N'");
    if ((kind == "cresc" || kind == "dim") && s.entryAttached)
        return fail(i, "a hairpin lies between two positions: expected '@P-@P' or '@P-M@P'");
    bool ordered = s.right.measure > s.left.measure;
    if (s.right.measure == s.left.measure)
        ordered = s.entryAttached ? s.right.index >= s.left.index : s.right.position >= s.left.position;
    if (s.left.measure != measure || !ordered)
        return fail(i, "expected the shape to start in this measure and to end where it starts or later");
    for (++i; i < words.size(); ++i) {
        const std::string& word = words[i].text;
        const size_t equals = word.find('=');
        const std::string name = equals == std::string::npos ? word : word.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : word.substr(equals + 1);
        if (kind == "slur" && word == "dashed") {
            s.type = kDashedSlur;
        } else if (kind == "slur" && name == "type" && equals != std::string::npos) {
            if (!ToNumber(value, -32768, 32767, &n)) return fail(i, "expected type=<number>");
            s.type = int(n);
        } else if (name == "layer" && equals != std::string::npos && s.entryAttached) {
            if (!ToNumber(value, 1, EntryStore::kLayerCount, &n)) return fail(i, "expected layer=1-4");
            s.layer = int(n) - 1;
        } else if (name == "y" && equals != std::string::npos) {
            const size_t comma = value.find(',');
            int64_t a, b;
            if (!ToNumber(value.substr(0, comma), -32768, 32767, &a) ||
                (comma != std::string::npos && !ToNumber(value.substr(comma + 1), -32768, 32767, &b)))
                return fail(i, "expected y=<offset> or y=<left>,<right> (EVPUs)");
            s.offsetLeft = int(a);
            s.offsetRight = comma == std::string::npos ? int(a) : int(b);
        } else if (name == "n" && equals != std::string::npos) {
            if (!ToNumber(value, 1, 0xFFFE, &n)) return fail(i, "expected n=<shape number> (1-65534)");
            s.number = int(n);
        } else if (name == "noflag" && s.entryAttached && (value == "start" || value == "end" || value == "both")) {
            s.unflaggedLeft = value != "end";
            s.unflaggedRight = value != "start";
        } else {
            return fail(i, std::string("expected ") + (kind == "slur" ? "dashed, type=, " : "") +
                               (s.entryAttached ? "layer=, " : "") +
                               "y=, n=" + (s.entryAttached ? " or noflag=start|end|both" : ""));
        }
    }
    *shape = s;
    return true;
}

bool BuildShapes(const std::vector<ShapeStatement>& shapes, Document& document, Place* at, std::string* message) {
    RecordStore& records = document.Records();
    EntryStore& entries = document.Entries();
    // Numbers in reading order: a statement without n= takes one above the highest so far.
    std::vector<std::pair<int, size_t>> order;
    std::set<int> used;
    int highest = 0;
    for (size_t i = 0; i < shapes.size(); ++i) {
        const int number = shapes[i].number ? shapes[i].number : highest + 1;
        if (number > 0xFFFE || !used.insert(number).second) {
            *at = shapes[i].at;
            *message = "shape number " + std::to_string(number) + " is given twice or out of range";
            return false;
        }
        highest = std::max(highest, number);
        order.emplace_back(number, i);
    }
    // Built in number order, as the host made them: each measure's marks follow the numbers.
    std::sort(order.begin(), order.end());
    for (const auto& item : order) {
        const int number = item.first;
        const ShapeStatement& s = shapes[item.second];
        *at = s.at;
        for (int m = s.left.measure; m <= s.right.measure; ++m) {
            if (!records.Find(measure::kTag, FXKey{{uint16_t(m), 0, 0, 0}})) {
                *message = "the shape reaches measure " + std::to_string(m) + ", which does not exist";
                return false;
            }
        }
        uint8_t record[shape::kSize] = {0};
        Write<int16_t>(record, shape::kType, int16_t(s.type));
        Write<uint32_t>(record, shape::kFlags, s.entryAttached ? kEntryPresetFlags : kMeasurePresetFlags);
        const ShapeEnd* ends[2] = {&s.left, &s.right};
        const int offsets[2] = {s.offsetLeft, s.offsetRight};
        int32_t entryNumbers[2] = {0, 0};
        FrameKey frames[2];
        for (int e = 0; e < 2; ++e) {
            uint8_t* segment = record + kSegments[e];
            Write<int16_t>(segment, kSegStaff, int16_t(s.staff));
            Write<uint16_t>(segment, kSegMeasure, uint16_t(ends[e]->measure));
            Write<int16_t>(segment, kSegOffsetY, int16_t(offsets[e]));
            if (!s.entryAttached && HostVersion() >= 0x12000000)
                Write<uint16_t>(segment, kSegFlags, kSegmentPresetFlag);
            if (s.entryAttached) {
                frames[e] = FrameKey{s.staff, ends[e]->measure, s.layer};
                const EntryStore::Entries& layer = entries.Get(frames[e]);
                if (ends[e]->index > int(layer.size())) {
                    *message = "layer " + std::to_string(s.layer + 1) + " of staff " + std::to_string(s.staff) +
                               " has no entry " + std::to_string(ends[e]->index) + " in measure " +
                               std::to_string(ends[e]->measure);
                    return false;
                }
                entryNumbers[e] = layer[size_t(ends[e]->index - 1)].number;
                Write<int32_t>(segment, kSegPosition, entryNumbers[e]);
            } else {
                Write<int32_t>(segment, kSegPosition, ends[e]->position);
            }
        }
        records.Put(shape::kTag, FXKey{{uint16_t(number), 0, 0, 0}}, record, shape::kSize);
        for (int m = s.left.measure; m <= s.right.measure; ++m) {
            uint8_t mark[shape::kMeasureMarkSize] = {0};
            Write<uint16_t>(mark, shape::kMarkShape, uint16_t(number));
            if (m > s.left.measure && m < s.right.measure) {
                // Centre numbers start at 1 (a mark's 0 means "no centre").
                FXKey free = {{uint16_t(number), 1, 0, 0}};
                while (records.Find(shape::kCenterTag, free)) ++free.words[1];
                uint8_t empty[shape::kCenterSize] = {0};
                records.Put(shape::kCenterTag, free, empty, shape::kCenterSize);
                Write<uint16_t>(mark, shape::kMarkCenter, free.words[1]);
            }
            const FXKey measureKey = {{uint16_t(m), 0, 0, 0}};
            const int inci = CountIncidences(records, shape::kMeasureMarkTag, measureKey, 1);
            records.Put(shape::kMeasureMarkTag, FXKey{{uint16_t(m), uint16_t(inci), 0, 0}}, mark,
                        shape::kMeasureMarkSize);
            RecordStore::Bytes bytes = *records.Find(measure::kTag, measureKey);
            if (const measure::Fields* fields = measure::ForSize(bytes.size())) {
                SetWordBits(bytes, fields->timeFlags, measure::kHasSmartShapes, true);
                records.Put(measure::kTag, measureKey, bytes.data(), uint32_t(bytes.size()));
            }
        }
        if (!s.entryAttached) continue;
        const bool unflagged[2] = {s.unflaggedLeft, s.unflaggedRight};
        for (int e = 0; e < 2; ++e) {
            uint8_t mark[shape::kEntryMarkSize] = {0};
            Write<uint16_t>(mark, shape::kMarkShape, uint16_t(number));
            const int inci = CountIncidences(records, shape::kEntryMarkTag, EntryKey(entryNumbers[e], 0), 2);
            records.Put(shape::kEntryMarkTag, EntryKey(entryNumbers[e], inci), mark, shape::kEntryMarkSize);
            EntryStore::Entries layer = entries.Get(frames[e]);
            StoredEntry& entry = layer[size_t(ends[e]->index - 1)];
            const uint16_t flags2 = unflagged[e] ? uint16_t(entry.flags2 & ~kEntrySmartShapeFlag)
                                                 : uint16_t(entry.flags2 | kEntrySmartShapeFlag);
            if (flags2 != entry.flags2) {
                entry.flags2 = flags2;
                entries.Set(frames[e], std::move(layer));
            }
        }
    }
    return true;
}

void CollectShapeLines(const Document& document, const std::vector<int>& staves, bool bookkeeping, ShapeLines* out) {
    out->byMeasure.clear();
    out->flaggedEnds.clear();
    const std::set<int> declared(staves.begin(), staves.end());
    const EntryStore& entries = document.Entries();
    struct Found {
        int measure;
        int number;
        ShapeStatement statement;
    };
    std::vector<Found> found;
    for (const auto& record : document.Records().Records(shape::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (key.words[0] < 1 || key.words[0] == 0xFFFF || key.words[1] || key.words[2] || key.words[3]) continue;
        if (record.second.size() < shape::kSize) continue;
        const uint8_t* data = record.second.data();
        ShapeStatement s;
        s.type = Read<int16_t>(data, shape::kType);
        s.entryAttached = (Read<uint32_t>(data, shape::kFlags) & shape::kEntryAttached) != 0;
        const uint8_t* left = data + kSegments[0];
        const uint8_t* right = data + kSegments[1];
        s.staff = Read<int16_t>(left, kSegStaff);
        if (Read<int16_t>(right, kSegStaff) != s.staff || !declared.count(s.staff)) continue;
        s.left.measure = Read<uint16_t>(left, kSegMeasure);
        s.right.measure = Read<uint16_t>(right, kSegMeasure);
        if (s.left.measure < 1 || s.right.measure < s.left.measure || s.right.measure == 0xFFFF) continue;
        s.offsetLeft = Read<int16_t>(left, kSegOffsetY);
        s.offsetRight = Read<int16_t>(right, kSegOffsetY);
        if (s.entryAttached) {
            FrameKey frames[2];
            int indices[2];
            const int32_t numbers[2] = {Read<int32_t>(left, kSegPosition), Read<int32_t>(right, kSegPosition)};
            if (!entries.Locate(numbers[0], &frames[0], &indices[0]) ||
                !entries.Locate(numbers[1], &frames[1], &indices[1]))
                continue;
            if (frames[0].staff != s.staff || frames[1].staff != s.staff || frames[0].layer != frames[1].layer ||
                frames[0].measure != s.left.measure || frames[1].measure != s.right.measure)
                continue;
            s.left.index = indices[0] + 1;
            s.right.index = indices[1] + 1;
            if (s.left.measure == s.right.measure && s.right.index < s.left.index) continue;
            s.layer = frames[0].layer;
            s.unflaggedLeft = !(entries.Get(frames[0])[size_t(indices[0])].flags2 & kEntrySmartShapeFlag);
            s.unflaggedRight = !(entries.Get(frames[1])[size_t(indices[1])].flags2 & kEntrySmartShapeFlag);
            if (!s.unflaggedLeft) out->flaggedEnds.insert(numbers[0]);
            if (!s.unflaggedRight) out->flaggedEnds.insert(numbers[1]);
        } else {
            s.left.position = Read<int32_t>(left, kSegPosition);
            s.right.position = Read<int32_t>(right, kSegPosition);
            if (s.left.position < 0 || s.right.position < 0) continue;
            if (s.left.measure == s.right.measure && s.right.position < s.left.position) continue;
        }
        found.push_back(Found{s.left.measure, key.words[0], s});
    }
    // Reading order: by measure, then by number.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.measure != b.measure ? a.measure < b.measure : a.number < b.number;
    });
    int highest = 0;
    for (const Found& f : found) {
        const ShapeStatement& s = f.statement;
        std::string line = "s" + std::to_string(s.staff) + " ";
        if (s.entryAttached && IsSlurType(s.type))
            line += "slur";
        else if (!s.entryAttached && s.type == kCrescendo)
            line += "cresc";
        else if (!s.entryAttached && s.type == kDecrescendo)
            line += "dim";
        else
            line += "shape " + std::to_string(s.type);
        line += " " + EndText(s.left, s.entryAttached, f.measure) + "-" + EndText(s.right, s.entryAttached, f.measure);
        if (s.entryAttached && IsSlurType(s.type) && s.type != kSolidSlur)
            line += s.type == kDashedSlur ? " dashed" : " type=" + std::to_string(s.type);
        if (s.entryAttached && s.layer) line += " layer=" + std::to_string(s.layer + 1);
        if (s.offsetLeft || s.offsetRight)
            line += " y=" + std::to_string(s.offsetLeft) +
                    (s.offsetRight == s.offsetLeft ? std::string() : "," + std::to_string(s.offsetRight));
        if (bookkeeping && f.number != highest + 1) line += " n=" + std::to_string(f.number);
        highest = std::max(highest, f.number);
        if (bookkeeping && (s.unflaggedLeft || s.unflaggedRight))
            line += std::string(" noflag=") + (!s.unflaggedRight ? "start" : !s.unflaggedLeft ? "end" : "both");
        out->byMeasure[f.measure] += line + "\n";
    }
}

}  // namespace scoretext
}  // namespace simhost
