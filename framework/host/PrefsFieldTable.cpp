#include "framework/host/PrefsFieldTable.h"

#include <cstring>

namespace {

uint16_t ReadWord(const uint8_t* record, int word) {
    uint16_t value;
    std::memcpy(&value, record + 2 * word, 2);
    return value;
}

void WriteWord(uint8_t* record, int word, uint16_t value) { std::memcpy(record + 2 * word, &value, 2); }

// The last word a row touches must lie inside the 12-byte record.
bool RowFits(const PrefsFieldRow& row) {
    const int words = (row.conversion == 1 || row.conversion == 2 || (row.conversion == 0 && row.size == 4)) ? 2 : 1;
    return row.word + words <= 6 && (row.size == 2 || row.size == 4);
}

void FieldFromRecord(const PrefsFieldRow& row, const uint8_t* record, uint8_t* prefs) {
    uint32_t value;
    switch (row.conversion) {
        case 1:
            value = (uint32_t(ReadWord(record, row.word)) << 16) | ReadWord(record, row.word + 1);
            break;
        case 2:
            value = ReadWord(record, row.word) | (uint32_t(ReadWord(record, row.word + 1)) << 16);
            break;
        case 3:
            value = ReadWord(record, row.word) ? 0 : 1;
            break;
        case 4:
            value = ReadWord(record, row.word) & 0xFF;
            break;
        default:
            value = ReadWord(record, row.word);
            if (row.size == 4) value |= uint32_t(ReadWord(record, row.word + 1)) << 16;
            break;
    }
    if (row.size == 4) {
        std::memcpy(prefs + row.offset, &value, 4);
    } else {
        const uint16_t narrow = uint16_t(value);
        std::memcpy(prefs + row.offset, &narrow, 2);
    }
}

void FieldToRecord(const PrefsFieldRow& row, const uint8_t* prefs, uint8_t* record) {
    uint32_t value = 0;
    if (row.size == 4) {
        std::memcpy(&value, prefs + row.offset, 4);
    } else {
        uint16_t narrow;
        std::memcpy(&narrow, prefs + row.offset, 2);
        value = narrow;
    }
    switch (row.conversion) {
        case 1:
            WriteWord(record, row.word, uint16_t(value >> 16));
            WriteWord(record, row.word + 1, uint16_t(value));
            break;
        case 2:
            WriteWord(record, row.word, uint16_t(value));
            WriteWord(record, row.word + 1, uint16_t(value >> 16));
            break;
        case 3:
            WriteWord(record, row.word, value ? 0 : 1);
            break;
        case 4:
            WriteWord(record, row.word, uint16_t((ReadWord(record, row.word) & 0xFF00) | (value & 0xFF)));
            break;
        default:
            WriteWord(record, row.word, uint16_t(value));
            if (row.size == 4) WriteWord(record, row.word + 1, uint16_t(value >> 16));
            break;
    }
}

bool SameRecord(const PrefsFieldRow& a, const PrefsFieldRow& b) {
    return a.codes[0] == b.codes[0] && a.codes[1] == b.codes[1] && a.item == b.item && a.inci == b.inci;
}

bool Applies(const PrefsFieldRow& row, uint32_t hostVersion) { return row.minVersion <= hostVersion && RowFits(row); }

// Walks the distinct records of the rows that apply, in first-use order: calls visit(first row
// of the record, index of every row of the record) once per record.
template <typename Visit>
void ForEachRecord(const PrefsFieldRow* rows, int count, uint32_t hostVersion, Visit visit) {
    std::vector<bool> done(size_t(count), false);
    std::vector<int> members;
    for (int i = 0; i < count; ++i) {
        if (done[size_t(i)] || !Applies(rows[i], hostVersion)) continue;
        members.clear();
        for (int j = i; j < count; ++j) {
            if (!done[size_t(j)] && Applies(rows[j], hostVersion) && SameRecord(rows[i], rows[j])) {
                done[size_t(j)] = true;
                members.push_back(j);
            }
        }
        visit(rows[i], members);
    }
}

}  // namespace

uint32_t PrefsFieldTable::SumOfSizes() const {
    uint32_t total = 0;
    for (int i = 0; i < count_; ++i) total += rows_[i].size;
    return total;
}

uint32_t PrefsFieldTable::StructureSize() const {
    uint32_t end = 0;
    for (int i = 0; i < count_; ++i)
        if (uint32_t(rows_[i].offset + rows_[i].size) > end) end = rows_[i].offset + rows_[i].size;
    return end;
}

bool PrefsFieldTable::Load(hostapi::FX_LoadEData_fn load, uint8_t* prefs, uint32_t hostVersion) const {
    if (!load || !prefs) return false;
    bool any = false;
    ForEachRecord(rows_, count_, hostVersion, [&](const PrefsFieldRow& first, const std::vector<int>& members) {
        uint8_t record[kOtherSize] = {0};
        FXKey key = {{first.item, first.inci, 0, 0}};
        uint32_t size = kOtherSize;
        if (load(OtherTag(first), &key, record, &size, kOtherVersion)) any = true;
        for (int index : members) FieldFromRecord(rows_[index], record, prefs);
    });
    return any;
}

bool PrefsFieldTable::Save(hostapi::FX_LoadEData_fn load, hostapi::FX_SaveEData_fn save, const uint8_t* prefs,
                           uint32_t hostVersion) const {
    if (!load || !save || !prefs) return false;
    bool ok = true;
    ForEachRecord(rows_, count_, hostVersion, [&](const PrefsFieldRow& first, const std::vector<int>& members) {
        uint8_t before[kOtherSize] = {0};
        FXKey key = {{first.item, first.inci, 0, 0}};
        uint32_t size = kOtherSize;
        load(OtherTag(first), &key, before, &size, kOtherVersion);
        uint8_t after[kOtherSize];
        std::memcpy(after, before, kOtherSize);
        for (int index : members) FieldToRecord(rows_[index], prefs, after);
        if (std::memcmp(after, before, kOtherSize) != 0 &&
            !save(OtherTag(first), &key, after, kOtherSize, kOtherVersion))
            ok = false;
    });
    return ok;
}
