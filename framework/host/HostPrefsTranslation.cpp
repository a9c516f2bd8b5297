#include "framework/host/HostPrefsTranslation.h"

#include <cstring>
#include <vector>

namespace hostapi {
namespace {

constexpr uint16_t kDocumentItem = 0xFFFE;
constexpr uint32_t kOtherSize = PrefsFieldTable::kOtherSize;
// Field tables apply to every host; the translation happens below the framework's version rules.
constexpr uint32_t kAllVersions = 0xFFFFFFFFu;

// This binding's layout of the field-table tags: fields lie one after another in the preference
// structure, six 16-bit fields to each incidence of the other record named after the tag.
std::vector<PrefsFieldRow> SequentialRows(char a, char b, int count) {
    std::vector<PrefsFieldRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(
            PrefsFieldRow{{a, b}, kDocumentItem, uint16_t(i / 6), uint16_t(2 * i), uint16_t(i % 6), 2, 0, 0});
    return rows;
}

// pfPL mixes the conversions: two 32-bit values (high word first, then second), an inverted
// boolean, a low byte and three plain words.
const PrefsFieldRow kPlaybackRows[] = {
    {{'P', 'L'}, kDocumentItem, 0, 0, 0, 4, 1, 0},  {{'P', 'L'}, kDocumentItem, 0, 4, 2, 4, 2, 0},
    {{'P', 'L'}, kDocumentItem, 0, 8, 4, 2, 3, 0},  {{'P', 'L'}, kDocumentItem, 0, 10, 5, 2, 4, 0},
    {{'P', 'L'}, kDocumentItem, 1, 12, 0, 2, 0, 0}, {{'P', 'L'}, kDocumentItem, 1, 14, 1, 2, 0, 0},
    {{'P', 'L'}, kDocumentItem, 1, 16, 2, 2, 0, 0},
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
            translations.emplace_back(FXTag('p', 'f', t.a, t.b), PrefsFieldTable(storage.back().data(), t.rows),
                                      t.onlyNumber);
        }
        translations.emplace_back(FXTag('p', 'f', 'P', 'L'),
                                  PrefsFieldTable(kPlaybackRows, int(sizeof(kPlaybackRows) / sizeof(kPlaybackRows[0]))),
                                  -1);

        struct Mapped {
            char tag[2];
            char codes[2];
            int records;
            int first, last;
            bool inciFromNumber;
        };
        const Mapped mapped[] = {
            {{'G', 'D'}, {'9', '7'}, 1, 0, 0, false},  {{'G', 'G'}, {'8', '8'}, 11, 0, 0, false},
            {{'G', 'b'}, {'8', '9'}, 1, 1, 4, true},   {{'G', 'd'}, {'0', '8'}, 1, 0, 0, false},
            {{'G', 's'}, {'1', '9'}, 1, 1, 1, false},  {{'M', 'M'}, {'5', '2'}, 2, 0, 0, false},
            {{'N', 'D'}, {'4', '0'}, 1, 0, 0, false},  {{'N', 'd'}, {'6', '6'}, 1, 0, 0, false},
            {{'P', 'F'}, {'7', '7'}, 4, 1, 1, false},  {{'S', 'C'}, {'2', '5'}, 2, 0, 0, false},
            {{'S', 'N'}, {'0', '4'}, 1, 1, 128, true}, {{'S', 'P'}, {'4', '9'}, 3, 0, 0, false},
            {{'S', 'l'}, {'6', '2'}, 1, 1, 15, true},  {{'T', 'C'}, {'6', '8'}, 5, 0, 0, false},
            {{'T', 'I'}, {'4', '8'}, 4, 0, 0, false},  {{'T', 'X'}, {'8', '7'}, 8, 0, 0, false},
            {{'T', 'p'}, {'5', '8'}, 4, 0, 0, false},  {{'T', 's'}, {'0', '9'}, 1, 1, 9, true},
        };
        for (const Mapped& m : mapped)
            translations.emplace_back(FXTag('p', 'f', m.tag[0], m.tag[1]), m.codes[0], m.codes[1], m.records, m.first,
                                      m.last, m.inciFromNumber);
    }
};

const Tables& AllTables() {
    static const Tables tables;
    return tables;
}

}  // namespace

PrefsTranslation::PrefsTranslation(uint32_t tag, const PrefsFieldTable& table, int onlyPrefsNumber)
    : tag_(tag),
      table_(table),
      onlyPrefsNumber_(onlyPrefsNumber),
      otherTag_(0),
      records_(0),
      firstAllowed_(0),
      lastAllowed_(0),
      inciFromNumber_(false) {}

PrefsTranslation::PrefsTranslation(uint32_t tag, char codeA, char codeB, int records, int firstAllowed, int lastAllowed,
                                   bool inciFromNumber)
    : tag_(tag),
      table_(nullptr, 0),
      onlyPrefsNumber_(-1),
      otherTag_(FXTag('o', 't', codeA, codeB)),
      records_(records),
      firstAllowed_(firstAllowed),
      lastAllowed_(lastAllowed),
      inciFromNumber_(inciFromNumber) {}

bool PrefsTranslation::Serves(uint16_t prefsNumber) const {
    if (table_.Rows()) return onlyPrefsNumber_ < 0 || prefsNumber == onlyPrefsNumber_;
    return true;  // a mapped tag refuses numbers out of its range when called
}

bool PrefsTranslation::NumberAllowed(int number) const {
    return lastAllowed_ == 0 || (number >= firstAllowed_ && number <= lastAllowed_);
}

uint32_t PrefsTranslation::StructureSize() const {
    return table_.Rows() ? table_.SumOfSizes() : uint32_t(records_) * kOtherSize;
}

int16_t PrefsTranslation::Load(FX_LoadEData_fn load, FXKey* key, void* data, uint32_t* size) const {
    if (!key || !size) return 0;
    const uint32_t needed = StructureSize();
    if (table_.Rows()) {
        if (data) {
            if (*size < table_.StructureSize()) return 0;
            table_.Load(load, static_cast<uint8_t*>(data), kAllVersions);
        }
        *size = needed;
        return 1;
    }
    const int number = key->words[0];
    if (!NumberAllowed(number)) return 0;
    if (data) {
        if (*size < needed) return 0;
        const uint16_t firstInci = uint16_t(inciFromNumber_ ? number - 1 : 0);
        uint8_t* slots = static_cast<uint8_t*>(data);
        for (int r = 0; r < records_; ++r) {
            FXKey otherKey = {{kDocumentItem, uint16_t(firstInci + r), 0, 0}};
            uint32_t otherSize = kOtherSize;
            load(otherTag_, &otherKey, slots + r * kOtherSize, &otherSize, PrefsFieldTable::kOtherVersion);
        }
    }
    *size = needed;
    return 1;
}

int16_t PrefsTranslation::Save(FX_LoadEData_fn load, FX_SaveEData_fn save, const FXKey* key, const void* data,
                               uint32_t size) const {
    if (!key || !data) return 0;
    if (table_.Rows()) {
        if (size < table_.StructureSize()) return 0;
        return table_.Save(load, save, static_cast<const uint8_t*>(data), kAllVersions) ? 1 : 0;
    }
    const int number = key->words[0];
    if (!NumberAllowed(number) || size < StructureSize()) return 0;
    const uint16_t firstInci = uint16_t(inciFromNumber_ ? number - 1 : 0);
    const uint8_t* slots = static_cast<const uint8_t*>(data);
    int16_t ok = 1;
    for (int r = 0; r < records_; ++r) {
        FXKey otherKey = {{kDocumentItem, uint16_t(firstInci + r), 0, 0}};
        if (!save(otherTag_, &otherKey, slots + r * kOtherSize, kOtherSize, PrefsFieldTable::kOtherVersion)) ok = 0;
    }
    return ok;
}

const PrefsTranslation* FindPrefsTranslation(uint32_t tag, uint16_t prefsNumber) {
    for (const PrefsTranslation& t : AllTables().translations)
        if (t.Tag() == tag && t.Serves(prefsNumber)) return &t;
    return nullptr;
}

}  // namespace hostapi
