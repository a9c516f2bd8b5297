#include "framework/host/HostPrefsTranslation.h"

#include <cstring>
#include <vector>

namespace hostapi {
namespace {

constexpr uint32_t kOtherVersion = 0x12050000;
constexpr uint16_t kDocumentItem = 0xFFFE;
constexpr uint32_t kOtherSize = 12;

uint32_t OtherTag(char a, char b) { return FXTag('o', 't', a, b); }

uint16_t ReadWord(const uint8_t* record, int word) {
    uint16_t value;
    std::memcpy(&value, record + 2 * word, 2);
    return value;
}

void WriteWord(uint8_t* record, int word, uint16_t value) { std::memcpy(record + 2 * word, &value, 2); }

// Copies one field from its other record into the preference structure.
void FieldFromRecord(const PrefsFieldRow& row, const uint8_t* record, uint8_t* prefs) {
    uint32_t value = 0;
    switch (row.conversion) {
        case 1: value = (uint32_t(ReadWord(record, row.word)) << 16) | ReadWord(record, row.word + 1); break;
        case 2: value = ReadWord(record, row.word) | (uint32_t(ReadWord(record, row.word + 1)) << 16); break;
        case 3: value = ReadWord(record, row.word) ? 0 : 1; break;
        case 4: value = ReadWord(record, row.word) & 0xFF; break;
        default:
            value = row.size == 4 ? (ReadWord(record, row.word) | (uint32_t(ReadWord(record, row.word + 1)) << 16))
                                  : ReadWord(record, row.word);
            break;
    }
    if (row.size == 4) {
        std::memcpy(prefs + row.offset, &value, 4);
    } else {
        uint16_t narrow = uint16_t(value);
        std::memcpy(prefs + row.offset, &narrow, 2);
    }
}

// Writes one field of the preference structure into its other record.
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
        case 3: WriteWord(record, row.word, value ? 0 : 1); break;
        case 4: WriteWord(record, row.word, uint16_t((ReadWord(record, row.word) & 0xFF00) | (value & 0xFF))); break;
        default:
            WriteWord(record, row.word, uint16_t(value));
            if (row.size == 4) WriteWord(record, row.word + 1, uint16_t(value >> 16));
            break;
    }
}

FXKey OtherKey(const PrefsFieldRow& row) {
    FXKey key = {{row.item == 0 ? kDocumentItem : row.item, row.inci, 0, 0}};
    return key;
}

bool SameRecord(const PrefsFieldRow& a, const PrefsFieldRow& b) {
    return a.codes[0] == b.codes[0] && a.codes[1] == b.codes[1] && a.item == b.item && a.inci == b.inci;
}

// The distinct other records a field table touches, in first-use order, with their fields.
struct RecordGroup {
    const PrefsFieldRow* first;
    std::vector<const PrefsFieldRow*> rows;
    uint8_t bytes[kOtherSize];
};

std::vector<RecordGroup> GroupRows(const PrefsFieldRow* rows, int count) {
    std::vector<RecordGroup> groups;
    for (int i = 0; i < count; ++i) {
        RecordGroup* group = nullptr;
        for (RecordGroup& g : groups)
            if (SameRecord(*g.first, rows[i])) group = &g;
        if (!group) {
            groups.push_back(RecordGroup{&rows[i], {}, {}});
            group = &groups.back();
        }
        group->rows.push_back(&rows[i]);
    }
    return groups;
}

// The field tables. Their rows are this binding's own layout: the fields lie one after another
// in the preference structure, six 16-bit fields to each incidence of the other record named
// after the preference tag, except where a table below says otherwise.
struct GeneratedTable {
    uint32_t tag;
    char codes[2];
    int rows;
    int onlyPrefsNumber;
    std::vector<PrefsFieldRow> table;
};

std::vector<PrefsFieldRow> SequentialRows(char a, char b, int count) {
    std::vector<PrefsFieldRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(PrefsFieldRow{{a, b}, 0, uint16_t(i / 6), uint16_t(2 * i), uint16_t(i % 6), 2, 0});
    return rows;
}

// pfPL mixes the conversions: two 32-bit values (high word first, then second), an inverted
// boolean, a low byte and three plain words.
const PrefsFieldRow kPlaybackRows[] = {
    {{'P', 'L'}, 0, 0, 0, 0, 4, 1},  {{'P', 'L'}, 0, 0, 4, 2, 4, 2},  {{'P', 'L'}, 0, 0, 8, 4, 2, 3},
    {{'P', 'L'}, 0, 0, 10, 5, 2, 4}, {{'P', 'L'}, 0, 1, 12, 0, 2, 0}, {{'P', 'L'}, 0, 1, 14, 1, 2, 0},
    {{'P', 'L'}, 0, 1, 16, 2, 2, 0},
};

struct Tables {
    std::vector<std::vector<PrefsFieldRow>> storage;
    std::vector<PrefsTranslation> translations;

    Tables() {
        struct FieldTag {
            char a, b;
            int rows;
            int onlyNumber;
        };
        const FieldTag fieldTags[] = {{'0', '5', 11, -1}, {'D', 'P', 36, -1}, {'E', 'X', 25, -1},
                                      {'M', 'S', 49, -1}, {'P', 'B', 11, -1}, {'P', 'F', 22, 0},
                                      {'R', 'P', 20, -1}, {'S', 'I', 23, -1}, {'S', 'S', 43, -1}};
        storage.reserve(sizeof(fieldTags) / sizeof(fieldTags[0]));
        for (const FieldTag& t : fieldTags) {
            storage.push_back(SequentialRows(t.a, t.b, t.rows));
            translations.emplace_back(FXTag('p', 'f', t.a, t.b), storage.back().data(), t.rows, t.onlyNumber);
        }
        translations.emplace_back(FXTag('p', 'f', 'P', 'L'), kPlaybackRows,
                                  int(sizeof(kPlaybackRows) / sizeof(kPlaybackRows[0])), -1);

        struct Mapped {
            char tag[2];
            char codes[2];
            int records;
            int first, last;
            bool inciFromNumber;
        };
        const Mapped mapped[] = {
            {{'G', 'D'}, {'9', '7'}, 1, 0, 0, false},   {{'G', 'G'}, {'8', '8'}, 11, 0, 0, false},
            {{'G', 'b'}, {'8', '9'}, 1, 1, 4, true},    {{'G', 'd'}, {'0', '8'}, 1, 0, 0, false},
            {{'G', 's'}, {'1', '9'}, 1, 1, 1, false},   {{'M', 'M'}, {'5', '2'}, 2, 0, 0, false},
            {{'N', 'D'}, {'4', '0'}, 1, 0, 0, false},   {{'N', 'd'}, {'6', '6'}, 1, 0, 0, false},
            {{'P', 'F'}, {'7', '7'}, 4, 1, 1, false},   {{'S', 'C'}, {'2', '5'}, 2, 0, 0, false},
            {{'S', 'N'}, {'0', '4'}, 1, 1, 128, true},  {{'S', 'P'}, {'4', '9'}, 3, 0, 0, false},
            {{'S', 'l'}, {'6', '2'}, 1, 1, 15, true},   {{'T', 'C'}, {'6', '8'}, 5, 0, 0, false},
            {{'T', 'I'}, {'4', '8'}, 4, 0, 0, false},   {{'T', 'X'}, {'8', '7'}, 8, 0, 0, false},
            {{'T', 'p'}, {'5', '8'}, 4, 0, 0, false},   {{'T', 's'}, {'0', '9'}, 1, 1, 9, true},
        };
        for (const Mapped& m : mapped)
            translations.emplace_back(FXTag('p', 'f', m.tag[0], m.tag[1]), m.codes[0], m.codes[1], m.records,
                                      m.first, m.last, m.inciFromNumber);
    }
};

const Tables& AllTables() {
    static const Tables tables;
    return tables;
}

}  // namespace

PrefsTranslation::PrefsTranslation(uint32_t tag, const PrefsFieldRow* rows, int rowCount, int onlyPrefsNumber)
    : tag_(tag), rows_(rows), rowCount_(rowCount), onlyPrefsNumber_(onlyPrefsNumber), otherTag_(0), records_(0),
      firstAllowed_(0), lastAllowed_(0), inciFromNumber_(false) {}

PrefsTranslation::PrefsTranslation(uint32_t tag, char codeA, char codeB, int records, int firstAllowed,
                                   int lastAllowed, bool inciFromNumber)
    : tag_(tag), rows_(nullptr), rowCount_(0), onlyPrefsNumber_(-1), otherTag_(OtherTag(codeA, codeB)),
      records_(records), firstAllowed_(firstAllowed), lastAllowed_(lastAllowed), inciFromNumber_(inciFromNumber) {}

bool PrefsTranslation::Serves(uint16_t prefsNumber) const {
    if (rows_) return onlyPrefsNumber_ < 0 || prefsNumber == onlyPrefsNumber_;
    return true;  // mapped tags refuse numbers out of range when called
}

uint32_t PrefsTranslation::StructureSize() const {
    if (!rows_) return uint32_t(records_) * kOtherSize;
    uint32_t total = 0;
    for (int i = 0; i < rowCount_; ++i) total += rows_[i].size;
    return total;
}

int16_t PrefsTranslation::Load(FX_LoadEData_fn load, FXKey* key, void* data, uint32_t* size) const {
    if (!key || !size) return 0;
    const uint32_t needed = StructureSize();
    if (rows_) {
        if (data) {
            if (*size < needed) return 0;
            uint8_t* prefs = static_cast<uint8_t*>(data);
            for (RecordGroup& group : GroupRows(rows_, rowCount_)) {
                FXKey otherKey = OtherKey(*group.first);
                uint32_t otherSize = kOtherSize;
                std::memset(group.bytes, 0, kOtherSize);
                load(OtherTag(group.first->codes[0], group.first->codes[1]), &otherKey, group.bytes, &otherSize,
                     kOtherVersion);
                for (const PrefsFieldRow* row : group.rows) FieldFromRecord(*row, group.bytes, prefs);
            }
        }
        *size = needed;
        return 1;
    }
    const int number = key->words[0];
    if (lastAllowed_ != 0 && (number < firstAllowed_ || number > lastAllowed_)) return 0;
    if (data) {
        if (*size < needed) return 0;
        const uint16_t firstInci = uint16_t(inciFromNumber_ ? number - 1 : 0);
        uint8_t* slots = static_cast<uint8_t*>(data);
        for (int r = 0; r < records_; ++r) {
            FXKey otherKey = {{kDocumentItem, uint16_t(firstInci + r), 0, 0}};
            uint32_t otherSize = kOtherSize;
            load(otherTag_, &otherKey, slots + r * kOtherSize, &otherSize, kOtherVersion);
        }
    }
    *size = needed;
    return 1;
}

int16_t PrefsTranslation::Save(FX_LoadEData_fn load, FX_SaveEData_fn save, const FXKey* key, const void* data,
                               uint32_t size) const {
    if (!key || !data) return 0;
    const uint32_t needed = StructureSize();
    if (size < needed) return 0;
    if (rows_) {
        const uint8_t* prefs = static_cast<const uint8_t*>(data);
        int16_t ok = 1;
        for (RecordGroup& group : GroupRows(rows_, rowCount_)) {
            const uint32_t tag = OtherTag(group.first->codes[0], group.first->codes[1]);
            FXKey otherKey = OtherKey(*group.first);
            uint32_t otherSize = kOtherSize;
            std::memset(group.bytes, 0, kOtherSize);
            load(tag, &otherKey, group.bytes, &otherSize, kOtherVersion);
            uint8_t changed[kOtherSize];
            std::memcpy(changed, group.bytes, kOtherSize);
            for (const PrefsFieldRow* row : group.rows) FieldToRecord(*row, prefs, changed);
            if (std::memcmp(changed, group.bytes, kOtherSize) != 0 &&
                !save(tag, &otherKey, changed, kOtherSize, kOtherVersion))
                ok = 0;
        }
        return ok;
    }
    const int number = key->words[0];
    if (lastAllowed_ != 0 && (number < firstAllowed_ || number > lastAllowed_)) return 0;
    const uint16_t firstInci = uint16_t(inciFromNumber_ ? number - 1 : 0);
    const uint8_t* slots = static_cast<const uint8_t*>(data);
    int16_t ok = 1;
    for (int r = 0; r < records_; ++r) {
        FXKey otherKey = {{kDocumentItem, uint16_t(firstInci + r), 0, 0}};
        if (!save(otherTag_, &otherKey, slots + r * kOtherSize, kOtherSize, kOtherVersion)) ok = 0;
    }
    return ok;
}

const PrefsTranslation* FindPrefsTranslation(uint32_t tag, uint16_t prefsNumber) {
    for (const PrefsTranslation& t : AllTables().translations)
        if (t.Tag() == tag && t.Serves(prefsNumber)) return &t;
    return nullptr;
}

}  // namespace hostapi
