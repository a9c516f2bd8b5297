#include "simhost/ScoreTextChords.h"

#include "simhost/ChordAnalysis.h"
#include "simhost/RecordView.h"
#include "simhost/layouts/MarkingLayouts.h"

#include <cstdlib>
#include <cstring>

namespace simhost {
namespace scoretext {

namespace {

using layout::Read;
using layout::Write;

bool ToNumber(const std::string& text, int64_t low, int64_t high, int64_t* value) {
    if (text.empty() || text.size() > 12) return false;
    size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) return false;
    for (size_t k = i; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9') return false;
    const int64_t n = std::strtoll(text.c_str(), nullptr, 10);
    if (n < low || n > high) return false;
    *value = n;
    return true;
}

bool ToHexWord(const std::string& text, uint16_t* value) {
    if (text.size() < 3 || text.size() > 6 || text[0] != '0' || text[1] != 'x') return false;
    for (size_t k = 2; k < text.size(); ++k)
        if (!std::strchr("0123456789abcdefABCDEF", text[k])) return false;
    *value = uint16_t(std::strtoul(text.c_str() + 2, nullptr, 16));
    return true;
}

// The record a statement stands for.
std::vector<uint8_t> Record(const ChordStatement& chord) {
    std::vector<uint8_t> bytes(chords::kDataSize, 0);
    uint8_t* data = bytes.data();
    Write<int16_t>(data, chords::kRootLetter, int16_t(chord.rootLetter));
    Write<uint16_t>(data, chords::kFlags, chord.flags);
    Write<int16_t>(data, chords::kRootAlteration, int16_t(chord.rootAlteration));
    Write<int16_t>(data, chords::kKind, int16_t(chord.kind));
    Write<int16_t>(data, chords::kAnalysisWord, int16_t(chord.analysisWord));
    Write<int16_t>(data, chords::kBassLetter, int16_t(chord.bassLetter));
    Write<int16_t>(data, chords::kBassAlteration, int16_t(chord.bassAlteration));
    Write<int32_t>(data, chords::kPosition, chord.position);
    return bytes;
}

chords::ChordName NameOf(const ChordStatement& chord) {
    chords::ChordName name;
    name.rootLetter = chord.rootLetter;
    name.rootAlteration = chord.rootAlteration;
    name.kind = chord.kind;
    name.bassLetter = chord.bassLetter;
    name.bassAlteration = chord.bassAlteration;
    return name;
}

// The line of a record, or empty when the notation cannot give it exactly.
std::string Line(int staff, const RecordStore::Bytes& bytes, bool bookkeeping) {
    if (bytes.size() != chords::kDataSize) return std::string();
    const uint8_t* data = bytes.data();
    ChordStatement chord;
    chord.staff = staff;
    chord.rootLetter = Read<int16_t>(data, chords::kRootLetter);
    chord.flags = Read<uint16_t>(data, chords::kFlags);
    chord.rootAlteration = Read<int16_t>(data, chords::kRootAlteration);
    chord.kind = Read<int16_t>(data, chords::kKind);
    chord.analysisWord = Read<int16_t>(data, chords::kAnalysisWord);
    chord.bassLetter = Read<int16_t>(data, chords::kBassLetter);
    chord.bassAlteration = Read<int16_t>(data, chords::kBassAlteration);
    chord.position = Read<int32_t>(data, chords::kPosition);
    const chords::ChordName name = NameOf(chord);
    const bool shown = (chord.flags & chords::kShowAltBass) != 0;
    auto writable = [](int letter, int alteration) {
        return letter >= 0 && letter <= 6 && alteration >= -9 && alteration <= 9;
    };
    if (!writable(name.rootLetter, name.rootAlteration) || !writable(name.bassLetter, name.bassAlteration))
        return std::string();
    const std::string symbol = chords::SymbolText(name, shown);
    if (symbol.empty()) return std::string();
    if (Record(chord) != bytes) return std::string();

    std::string line = "s" + std::to_string(staff) + " chord " + std::to_string(chord.position) + " " + symbol;
    if (name.HasOwnBass() && !shown) line += " bass=" + chords::NoteName(name.bassLetter, name.bassAlteration);
    if (!name.HasOwnBass() && shown && bookkeeping) line += " show-bass";
    const uint16_t others = uint16_t(chord.flags & ~chords::kShowAltBass);
    if (others) {
        static const char kHex[] = "0123456789ABCDEF";
        std::string hex = "0x";
        for (int shift = 12; shift >= 0; shift -= 4) hex += kHex[(others >> shift) & 0xF];
        line += " flags=" + hex;
    }
    if (chord.analysisWord && bookkeeping) line += " analysis=" + std::to_string(chord.analysisWord);
    return line + "\n";
}

}  // namespace

bool ParseChordWords(const std::vector<std::string>& words, ChordStatement* statement, size_t* bad,
                     std::string* expected) {
    auto fail = [&](size_t index, const std::string& what) {
        *bad = index;
        *expected = what;
        return false;
    };
    int64_t n;
    if (words.empty() || !ToNumber(words[0], -2147483648LL, 2147483647LL, &n))
        return fail(0, "expected the chord symbol's position in the measure (EDUs)");
    statement->position = int32_t(n);
    chords::ChordName name;
    bool bassWritten = false;
    if (words.size() < 2 || !chords::ParseSymbol(words[1], &name, &bassWritten))
        return fail(1, "expected a chord symbol: a root, a suffix and perhaps /bass (Cmaj7/E)");
    statement->rootLetter = name.rootLetter;
    statement->rootAlteration = name.rootAlteration;
    statement->kind = name.kind;
    statement->bassLetter = name.bassLetter;
    statement->bassAlteration = name.bassAlteration;
    statement->flags = bassWritten ? chords::kShowAltBass : 0;
    for (size_t i = 2; i < words.size(); ++i) {
        const std::string& word = words[i];
        uint16_t hex;
        if (word.compare(0, 5, "bass=") == 0 && !bassWritten &&
            chords::ParseNoteName(word.substr(5), &statement->bassLetter, &statement->bassAlteration) &&
            (statement->bassLetter != name.rootLetter || statement->bassAlteration != name.rootAlteration)) {
            bassWritten = true;
        } else if (word == "show-bass" && !bassWritten) {
            statement->flags |= chords::kShowAltBass;
        } else if (word.compare(0, 6, "flags=") == 0 && ToHexWord(word.substr(6), &hex) &&
                   !(hex & chords::kShowAltBass)) {
            statement->flags |= hex;
        } else if (word.compare(0, 9, "analysis=") == 0 && ToNumber(word.substr(9), -32768, 32767, &n) && n != 0) {
            statement->analysisWord = int(n);
        } else {
            return fail(i,
                        "expected bass=NOTE (another note than the root), show-bass, flags=0xHHHH "
                        "(without 0x0040) or analysis=N");
        }
    }
    return true;
}

bool BuildChordStatements(Document& document, int measure, const std::vector<ChordStatement>& chords,
                          const ChordStatement** failed) {
    if (chords.empty()) return true;
    RecordView view(document, 0);
    for (const ChordStatement& chord : chords) {
        FXKey key = {{uint16_t(chord.staff), uint16_t(measure), 0xFFFF, 0}};
        const std::vector<uint8_t> bytes = Record(chord);
        if (!view.Create(chords::kTag, key, bytes.data(), uint32_t(bytes.size()))) {
            *failed = &chord;
            return false;
        }
    }
    // The measure knows it has chord symbols, as it does when the host creates them.
    RecordStore::Bytes record;
    const FXKey measureKey = {{uint16_t(measure), 0, 0, 0}};
    const layout::measure::Fields* fields =
        view.Read(layout::measure::kTag, measureKey, record) ? layout::measure::ForSize(record.size()) : nullptr;
    if (!fields) {
        *failed = &chords.front();
        return false;
    }
    layout::SetWordBits(record, fields->flags, layout::measure::kHasChords, true);
    if (!view.Write(layout::measure::kTag, measureKey, record.data(), uint32_t(record.size()))) {
        *failed = &chords.front();
        return false;
    }
    return true;
}

std::string ChordLines(const Document& document, int measure, const std::vector<int>& staves, bool bookkeeping) {
    std::string text;
    const RecordStore& records = document.Records();
    if (!records.Count(chords::kTag)) return text;
    for (int staff : staves)
        for (int inci = 0; inci < 0xFFFF; ++inci) {
            const FXKey key = {{uint16_t(staff), uint16_t(measure), uint16_t(inci), 0}};
            const RecordStore::Bytes* bytes = records.Find(chords::kTag, key);
            if (!bytes) break;
            const std::string line = Line(staff, *bytes, bookkeeping);
            if (line.empty()) break;
            text += line;
        }
    return text;
}

}  // namespace scoretext
}  // namespace simhost
