// The emulation tables of the preference tags whose values the host keeps in other records.
// Except for the beams-over-rests flags of pfMI (offset 18, word 1 of ot41 at the document-wide
// item, incidence 0) the rows are this framework's own layout: the fields lie one after another
// in the structure and are served by consecutive words of consecutive incidences of one other
// record per table, 32-bit fields taking two words (low word first).
#include "framework/host/__FCPrefsBase.h"
#include "framework/host/PrefsFieldTable.h"

#include <vector>

namespace {

constexpr uint16_t kDocumentItem = 0xFFFE;

enum NumberRule { kAnyNumber, kOnlyZero, kNotZero };

struct Emulation {
    uint32_t tag;
    NumberRule rule;
    std::vector<PrefsFieldRow> rows;
    PrefsFieldTable Table() const { return PrefsFieldTable(rows.data(), int(rows.size())); }
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Lays out fields of the given sizes from consecutive words of the other record "ot" + code.
std::vector<PrefsFieldRow> Layout(const char code[2], const std::vector<uint16_t>& sizes, uint32_t minVersionOf4Byte) {
    std::vector<PrefsFieldRow> rows;
    // Item 0 stands for the document-wide item when both codes are digits.
    const uint16_t item = IsDigit(code[0]) && IsDigit(code[1]) ? kDocumentItem : 0;
    uint16_t inci = 0, word = 0, offset = 0;
    for (uint16_t size : sizes) {
        const uint16_t words = size == 4 ? 2 : 1;
        if (word + words > 6) {
            ++inci;
            word = 0;
        }
        rows.push_back(PrefsFieldRow{{code[0], code[1]},
                                     item,
                                     inci,
                                     offset,
                                     word,
                                     size,
                                     uint16_t(size == 4 ? 2 : 0),
                                     size == 4 ? minVersionOf4Byte : 0});
        word = uint16_t(word + words);
        offset = uint16_t(offset + size);
    }
    return rows;
}

std::vector<uint16_t> Words(int count) { return std::vector<uint16_t>(size_t(count), 2); }

std::vector<Emulation> BuildTables() {
    std::vector<Emulation> tables;
    struct Plain {
        char tag[2];
        char code[2];
        int rows;
        NumberRule rule;
    };
    const Plain plain[] = {
        {{'D', 'P'}, {'1', '0'}, 41, kAnyNumber}, {{'E', 'X'}, {'1', '5'}, 25, kAnyNumber},
        {{'G', 'p'}, {'2', '0'}, 3, kOnlyZero},   {{'G', 'p'}, {'2', '1'}, 3, kNotZero},
        {{'M', 'S'}, {'2', '2'}, 17, kAnyNumber}, {{'P', 'B'}, {'2', '6'}, 11, kAnyNumber},
        {{'P', 'F'}, {'2', '8'}, 22, kOnlyZero},  {{'P', 'L'}, {'3', '2'}, 8, kAnyNumber},
        {{'R', 'P'}, {'3', '4'}, 23, kAnyNumber}, {{'S', 'I'}, {'5', '0'}, 21, kAnyNumber},
        {{'S', 'S'}, {'5', '4'}, 39, kAnyNumber}, {{'S', 'p'}, {'6', '1'}, 3, kOnlyZero},
        {{'S', 'p'}, {'6', '3'}, 3, kNotZero},    {{'T', 'I'}, {'6', '5'}, 26, kAnyNumber},
        {{'l', 'y'}, {'7', '0'}, 16, kAnyNumber}, {{'m', 'm'}, {'7', '3'}, 13, kAnyNumber},
        {{'p', 'S'}, {'7', '6'}, 1, kAnyNumber},
    };
    for (const Plain& p : plain)
        tables.push_back(Emulation{FXTag('p', 'f', p.tag[0], p.tag[1]), p.rule, Layout(p.code, Words(p.rows), 0)});

    // pfMI: 48 fields in 102 bytes (45 words and three 32-bit values that newer hosts have).
    std::vector<uint16_t> sizes = Words(45);
    sizes.insert(sizes.end(), {4, 4, 4});
    const char miCode[2] = {'4', '0'};
    Emulation misc{FXTag('p', 'f', 'M', 'I'), kAnyNumber, Layout(miCode, sizes, hostapi::kCurrentLayoutHostVersion)};
    for (PrefsFieldRow& row : misc.rows) {
        if (row.offset == 18) {
            row.codes[0] = '4';
            row.codes[1] = '1';
            row.item = kDocumentItem;
            row.inci = 0;
            row.word = 1;
        }
    }
    tables.push_back(misc);
    return tables;
}

const std::vector<Emulation>& Tables() {
    static const std::vector<Emulation> tables = BuildTables();
    return tables;
}

}  // namespace

const PrefsFieldTable* FindPrefsEmulation(uint32_t tag, uint16_t prefsNumber) {
    static std::vector<PrefsFieldTable> views;
    if (views.empty())
        for (const Emulation& e : Tables()) views.push_back(e.Table());
    const std::vector<Emulation>& tables = Tables();
    for (size_t i = 0; i < tables.size(); ++i) {
        const Emulation& e = tables[i];
        if (e.tag != tag) continue;
        if (e.rule == kOnlyZero && prefsNumber != 0) continue;
        if (e.rule == kNotZero && prefsNumber == 0) continue;
        return &views[i];
    }
    return nullptr;
}
