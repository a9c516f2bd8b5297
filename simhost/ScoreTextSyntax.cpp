#include "simhost/ScoreTextSyntax.h"
#include "simhost/ScoreTextShapes.h"

#include "simhost/ScoreTextChords.h"

#include "simhost/layouts/MarkingLayouts.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <set>

namespace simhost {
namespace scoretext {

namespace {

// The plain note values, longest first.
const int32_t kWhole = 4096;
const int kValues[] = {1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a decimal integer (optionally negative) that must lie in [low, high].
bool ToInt(const std::string& text, int64_t low, int64_t high, int64_t* value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    if (i == text.size() || text.size() - i > 11) return false;
    int64_t result = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) return false;
        result = result * 10 + (text[i] - '0');
    }
    if (negative) result = -result;
    if (result < low || result > high) return false;
    *value = result;
    return true;
}

// "2,4": layers (1-4) as bits of their indices; each at most once.
bool HiddenLayers(const std::string& text, uint32_t* bits) {
    uint32_t result = 0;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        int64_t layer;
        if (!ToInt(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), 1, 4, &layer))
            return false;
        const uint32_t bit = 1u << (layer - 1);
        if (result & bit) return false;
        result |= bit;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    *bits = result;
    return true;
}

bool ToHex(const std::string& text, uint64_t high, uint64_t* value) {
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits = digits.substr(2);
    if (digits.empty() || digits.size() > 16) return false;
    uint64_t result = 0;
    for (char c : digits) {
        int v;
        if (IsDigit(c))
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else
            return false;
        result = result * 16 + uint64_t(v);
        if (result > high) return false;
    }
    *value = result;
    return true;
}

// A duration token's value; false when it is not one.
bool ParseDuration(const std::string& text, int32_t* duration) {
    if (text.size() > 1 && text[0] == 'e') {
        int64_t value;
        if (!ToInt(text.substr(1), 1, EntryStore::kMaxDuration, &value)) return false;
        *duration = int32_t(value);
        return true;
    }
    size_t dots = 0;
    while (dots < text.size() && text[text.size() - 1 - dots] == '.') ++dots;
    int64_t value;
    if (!ToInt(text.substr(0, text.size() - dots), 1, 1024, &value)) return false;
    for (int v : kValues)
        if (v == value) {
            const int32_t base = kWhole / v;
            int32_t total = base, add = base;
            for (size_t d = 0; d < dots; ++d) {
                add /= 2;
                if (add == 0) return false;
                total += add;
            }
            *duration = total;
            return true;
        }
    return false;
}

std::string Hex(uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

struct Token {
    std::string text;
    int column = 0;
};

std::vector<Token> Split(const std::string& line, size_t from = 0, size_t to = std::string::npos) {
    std::vector<Token> tokens;
    if (to > line.size()) to = line.size();
    size_t i = from;
    while (i < to) {
        while (i < to && IsSpace(line[i])) ++i;
        if (i >= to) break;
        const size_t start = i;
        while (i < to && !IsSpace(line[i])) ++i;
        tokens.push_back(Token{line.substr(start, i - start), int(start) + 1});
    }
    return tokens;
}

// name=value tokens.
bool SplitOption(const std::string& token, std::string* name, std::string* value) {
    const size_t eq = token.find('=');
    if (eq == std::string::npos) return false;
    *name = token.substr(0, eq);
    *value = token.substr(eq + 1);
    return true;
}

// UTF-16 units as UTF-8 (unpaired surrogates as their own three bytes; callers that must keep
// them escape them first).
std::string Utf8(const std::u16string& units) {
    std::string text;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t code = units[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        if (code < 0x80) {
            text += char(code);
        } else if (code < 0x800) {
            text += char(0xC0 | (code >> 6));
            text += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            text += char(0xE0 | (code >> 12));
            text += char(0x80 | ((code >> 6) & 0x3F));
            text += char(0x80 | (code & 0x3F));
        } else {
            text += char(0xF0 | (code >> 18));
            text += char(0x80 | ((code >> 12) & 0x3F));
            text += char(0x80 | ((code >> 6) & 0x3F));
            text += char(0x80 | (code & 0x3F));
        }
    }
    return text;
}

class Parser {
public:
    Parser(const std::string& source, ScoreSyntax* syntax, ScoreTextError* error)
        : source_(source), syntax_(syntax), error_(error) {}

    bool Run(const std::string& text);

private:
    bool Fail(int column, const std::string& message) {
        if (error_) {
            error_->source = source_;
            error_->line = line_;
            error_->column = column;
            // A message may quote the text it refuses; what it quotes must be printable.
            error_->message = QuoteForMessage(message, 0);
        }
        return false;
    }
    bool FailAt(const Place& at, const std::string& message) {
        line_ = at.line;
        return Fail(at.column, message);
    }
    Place At(int column) const { return Place{line_, column}; }

    bool Statement(const std::string& line);
    bool Header(const std::vector<Token>& tokens);
    bool Prefs(const std::vector<Token>& tokens);
    bool Staff(const std::vector<Token>& tokens);
    bool Part(const std::vector<Token>& tokens);
    bool System(const std::vector<Token>& tokens);
    bool Measure(const std::vector<Token>& tokens);
    bool NextEntry(const std::vector<Token>& tokens);
    bool Raw(const std::vector<Token>& tokens);
    bool StaffLine(const std::string& line, const std::vector<Token>& tokens);
    bool Cell(int staff, const std::vector<Token>& tokens, size_t from);
    bool Music(const std::string& line, size_t from, LayerStatement* layer);
    bool Entry(const std::string& line, size_t& i, int32_t duration, EntryItem* entry);
    bool Pitch(const std::string& line, size_t& i, SpelledPitch* pitch);
    bool NoteSuffix(const std::string& line, size_t& i, NoteItem* note, bool* taken);
    bool Mark(const std::string& line, size_t& i, EntryItem* entry, NoteItem* note);
    bool Time(const Token& token, Meter* meter);
    bool Key(const Token& token, const std::string& value, uint16_t* key);
    bool StaffList(const Token& token, const std::string& value, std::vector<int>* staves, bool declared);
    bool CheckLayerTies();

    // Texts in double quotes, and lines that may hold them.
    bool Quoted(const std::string& line, size_t& i, std::u16string* text);
    bool Words(const std::string& line, std::vector<Token>* tokens);
    // The number after a definition's keyword (1-65534), not declared before in the file.
    bool DefinitionNumber(const std::vector<Token>& tokens, std::set<int>* declared, const std::string& what,
                          const char* expected, int* number);
    // The value of a name=value token (or the whole token at offset 0) as a quoted text.
    bool TextValue(const std::string& line, const Token& token, size_t offset, std::u16string* text);
    bool IntValue(const Token& token, const std::string& value, int64_t low, int64_t high, int64_t* number,
                  const std::string& expected);
    bool HexValue(const Token& token, const std::string& value, uint64_t* number, const std::string& expected);
    bool FontValue(const std::string& line, const Token& token, const std::string& value, FontItem* font);
    bool PlaceValue(const Token& token, const std::string& value, int* placement);
    bool Category(const std::string& line);
    bool TextExpression(const std::string& line);
    bool ShapeExpression(const std::vector<Token>& tokens);
    bool ArticulationDef(const std::string& line);
    bool Expression(int staff, const std::vector<Token>& tokens, size_t from);
    bool Chord(int staff, const std::vector<Token>& tokens, size_t from);
    bool ShapeLine(int staff, const std::vector<Token>& tokens);
    bool TupletOptions(const std::string& line, size_t& i, TupletItem* tuplet);
    bool ArticulationMark(const std::string& line, size_t& i, const std::string& digits, EntryItem* entry);
    bool StaffStyle(const std::vector<Token>& tokens);
    bool StaffStyleSpan(const std::vector<Token>& tokens);
    bool CurrentPart(const std::vector<Token>& tokens);

    const std::string& source_;
    ScoreSyntax* syntax_;
    ScoreTextError* error_;
    int line_ = 0;
    bool headerSeen_ = false;
    std::set<int> staves_;
    std::map<int, int> systemsPerPart_;
    std::set<int> categories_;
    std::set<int> textExpressions_;
    std::set<int> shapeExpressions_;
    std::set<int> articulationDefs_;
    std::set<int> staffStyles_;
};

bool Parser::Run(const std::string& text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++line_;
        std::string line = text.substr(start, end - start);
        // A comment starts at '#' at the start of the line or after a space (a sharp always
        // follows a letter), outside texts in quotes.
        bool quoted = false;
        for (size_t i = 0; i < line.size(); ++i) {
            if (quoted) {
                if (line[i] == '\\')
                    ++i;
                else if (line[i] == '"')
                    quoted = false;
            } else if (line[i] == '"') {
                quoted = true;
            } else if (line[i] == '#' && (i == 0 || IsSpace(line[i - 1]))) {
                line.erase(i);
                break;
            }
        }
        for (size_t i = 0; i < line.size(); ++i)
            if (static_cast<unsigned char>(line[i]) < 0x20 && line[i] != '\t' && line[i] != '\r')
                return Fail(int(i) + 1, "unexpected control character");
        if (!Statement(line)) return false;
        start = end + 1;
    }
    if (!headerSeen_) return Fail(1, "expected the header 'qzs 1'");
    return CheckLayerTies();
}

bool Parser::Statement(const std::string& line) {
    const std::vector<Token> tokens = Split(line);
    if (tokens.empty()) return true;
    const std::string& word = tokens[0].text;
    if (!headerSeen_) return Header(tokens);
    const bool beforeMusic = syntax_->measures.empty();
    if (word == "qzs") return Fail(tokens[0].column, "the header 'qzs 1' comes only once, first");
    if (word == "prefs" || word == "staff" || word == "part" || word == "system" || word == "category" ||
        word == "text-expression" || word == "shape-expression" || word == "articulation") {
        if (!beforeMusic) return Fail(tokens[0].column, "expected '" + word + "' before the first measure");
        if (word == "prefs") return Prefs(tokens);
        if (word == "staff") return Staff(tokens);
        if (word == "part") return Part(tokens);
        if (word == "category") return Category(line);
        if (word == "text-expression") return TextExpression(line);
        if (word == "shape-expression") return ShapeExpression(tokens);
        if (word == "articulation") return ArticulationDef(line);
        return System(tokens);
    }
    if (word == "staff-style" || word == "staff-style-span" || word == "current-part") {
        if (!beforeMusic) return Fail(tokens[0].column, "expected '" + word + "' before the first measure");
        if (word == "current-part") return CurrentPart(tokens);
        return word == "staff-style" ? StaffStyle(tokens) : StaffStyleSpan(tokens);
    }
    if (word == "measure") return Measure(tokens);
    if (word == "next-entry") return NextEntry(tokens);
    if (word == "raw") return Raw(tokens);
    if (word.size() > 1 && word[0] == 's' && IsDigit(word[1])) return StaffLine(line, tokens);
    return Fail(tokens[0].column,
                "expected a statement (prefs, staff, part, system, category, text-expression, shape-expression, "
                "articulation, staff-style, staff-style-span, current-part, measure, s<staff>, next-entry or raw), "
                "found '" +
                    QuoteForMessage(word) + "'");
}

bool Parser::Header(const std::vector<Token>& tokens) {
    if (tokens[0].text != "qzs") return Fail(tokens[0].column, "expected the header 'qzs 1'");
    if (tokens.size() < 2 || tokens[1].text != "1")
        return Fail(tokens.size() < 2 ? int(tokens[0].column + 3) : tokens[1].column, "expected format version 1");
    if (tokens.size() > 2) return Fail(tokens[2].column, "expected the end of the line");
    headerSeen_ = true;
    return true;
}

bool Parser::Prefs(const std::vector<Token>& tokens) {
    for (size_t i = 1; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        std::string name, value;
        if (token.text == "beams-over-rests") {
            syntax_->beamFlags |= 0x0001;
        } else if (token.text == "four-eighths") {
            syntax_->beamFlags |= 0x0008;
        } else if (SplitOption(token.text, &name, &value) && name == "unit") {
            static const char* kUnits[] = {"evpu", "inches", "cm", "points", "picas", "spaces"};
            int64_t number = 0;
            bool found = false;
            for (int u = 0; u < 6; ++u)
                if (value == kUnits[u]) {
                    number = u + 1;
                    found = true;
                }
            if (!found && !ToInt(value, 0, 32767, &number))
                return Fail(token.column + 5,
                            "expected a unit (evpu, inches, cm, points, picas, spaces or a number from 0)");
            syntax_->unit = int(number);
        } else if (SplitOption(token.text, &name, &value) && name == "beamflags") {
            uint64_t flags;
            if (!ToHex(value, 0xFFFF, &flags)) return Fail(token.column + 10, "expected beam flags in hex (0x0000)");
            syntax_->beamFlags |= uint16_t(flags);
        } else if (SplitOption(token.text, &name, &value) && name == "hidden-layers") {
            if (!HiddenLayers(value, &syntax_->hiddenLayers))
                return Fail(token.column + 14, "expected layers 1-4 separated by commas (hidden-layers=2,4)");
        } else {
            return Fail(token.column, "expected unit=, beams-over-rests, four-eighths, beamflags= or hidden-layers=");
        }
    }
    return true;
}

bool Parser::Staff(const std::vector<Token>& tokens) {
    StaffStatement staff;
    staff.at = At(tokens[0].column);
    int64_t number;
    if (tokens.size() < 2 || !ToInt(tokens[1].text, 1, 0x7FFF, &number))
        return Fail(tokens.size() < 2 ? tokens[0].column + 6 : tokens[1].column, "expected a staff number (1-32767)");
    if (staves_.count(int(number))) return Fail(tokens[1].column, "staff " + tokens[1].text + " is declared twice");
    staff.number = int(number);
    for (size_t i = 2; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.text == "ownkey")
            staff.ownKey = true;
        else if (token.text == "owntime")
            staff.ownTime = true;
        else if (token.text == "keyless")
            staff.keyless = true;
        else if (token.text == "style=1" || token.text == "style=2")
            staff.style = token.text[6] - '0';
        else
            return Fail(token.column, "expected style=1, style=2, ownkey, owntime or keyless");
    }
    staves_.insert(staff.number);
    syntax_->staves.push_back(staff);
    return true;
}

bool Parser::StaffList(const Token& token, const std::string& value, std::vector<int>* staves, bool declared) {
    staves->clear();
    size_t start = 0;
    while (start < value.size()) {
        size_t comma = value.find(',', start);
        if (comma == std::string::npos) comma = value.size();
        int64_t number;
        const int column = token.column + int(token.text.size() - value.size() + start);
        if (!ToInt(value.substr(start, comma - start), -32768, 32767, &number))
            return Fail(column, "expected a list of numbers separated by commas");
        if (declared && !staves_.count(int(number)))
            return Fail(column, "staff " + std::to_string(number) + " is not declared");
        staves->push_back(int(number));
        start = comma + 1;
        if (comma + 1 == value.size()) return Fail(column, "expected a number after the comma");
    }
    return true;
}

bool Parser::Part(const std::vector<Token>& tokens) {
    PartStatement part;
    part.at = At(tokens[0].column);
    const int expected = int(syntax_->parts.size()) + 1;
    int64_t id;
    if (tokens.size() < 2 || !ToInt(tokens[1].text, 1, 0x7FFF, &id) || id != expected)
        return Fail(tokens.size() < 2 ? tokens[0].column + 5 : tokens[1].column,
                    "expected part " + std::to_string(expected) + " (parts are numbered 1, 2, ... in order)");
    part.id = int(id);
    for (size_t i = 2; i < tokens.size(); ++i) {
        std::string name, value;
        if (!SplitOption(tokens[i].text, &name, &value) || name != "staves")
            return Fail(tokens[i].column, "expected staves=<list>");
        if (!StaffList(tokens[i], value, &part.staves, true)) return false;
    }
    syntax_->parts.push_back(part);
    return true;
}

bool Parser::System(const std::vector<Token>& tokens) {
    SystemStatement system;
    system.at = At(tokens[0].column);
    int64_t number;
    if (tokens.size() < 2 || !ToInt(tokens[1].text, 1, 0x7FFF, &number))
        return Fail(tokens.size() < 2 ? tokens[0].column + 7 : tokens[1].column, "expected a system number");
    bool hasMeasures = false, hasStaves = false, hasSizes = false;
    const Token* sizesToken = nullptr;
    for (size_t i = 2; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        std::string name, value;
        if (!SplitOption(token.text, &name, &value))
            return Fail(token.column, "expected part=, measures=, staves= or sizes=");
        const int valueColumn = token.column + int(name.size()) + 1;
        if (name == "part") {
            int64_t part;
            if (!ToInt(value, 1, int64_t(syntax_->parts.size()), &part))
                return Fail(valueColumn, "expected a declared part");
            system.part = int(part);
        } else if (name == "measures") {
            const size_t dash = value.find('-', 1);
            int64_t first, last;
            if (dash == std::string::npos || !ToInt(value.substr(0, dash), 1, 32767, &first) ||
                !ToInt(value.substr(dash + 1), 1, 32766, &last))
                return Fail(valueColumn, "expected the system's measures as <first>-<last>");
            if (last < first) return Fail(valueColumn, "the system's measures run backwards");
            system.first = int(first);
            system.next = int(last + 1);
            hasMeasures = true;
        } else if (name == "staves") {
            if (!StaffList(token, value, &system.staves, true)) return false;
            hasStaves = true;
        } else if (name == "sizes") {
            if (!StaffList(token, value, &system.sizes, false)) return false;
            for (int size : system.sizes)
                if (size < 1) return Fail(valueColumn, "expected staff sizes of 1 percent or more");
            hasSizes = true;
            sizesToken = &token;
        } else {
            return Fail(token.column, "expected part=, measures=, staves= or sizes=");
        }
    }
    if (!hasMeasures || !hasStaves) return Fail(tokens[0].column, "expected measures= and staves= in the system");
    if (hasSizes && system.sizes.size() != system.staves.size())
        return Fail(sizesToken->column, "expected one size per staff");
    const int expected = systemsPerPart_[system.part] + 1;
    if (number != expected)
        return Fail(tokens[1].column, "expected system " + std::to_string(expected) +
                                          " (systems are numbered 1, 2, ... in order in each part)");
    systemsPerPart_[system.part] = expected;
    system.number = int(number);
    syntax_->systems.push_back(system);
    return true;
}

bool Parser::Time(const Token& token, Meter* meter) {
    // chunk ('+' chunk)*; chunk: groups '/' duration; groups: beats ('+' beats)* (',' ...)*
    const std::string& text = token.text;
    struct Chunk {
        std::vector<std::vector<int>> groups;
        int duration;
    };
    std::vector<Chunk> chunks;
    size_t i = 0;
    auto fail = [&](const std::string& message) { return Fail(token.column + int(i), message); };
    while (true) {
        Chunk chunk;
        chunk.groups.emplace_back();
        while (true) {
            const size_t start = i;
            while (i < text.size() && IsDigit(text[i])) ++i;
            int64_t beats;
            if (!ToInt(text.substr(start, i - start), 1, 0x7FFF, &beats)) {
                i = start;
                return fail("expected a number of beats");
            }
            chunk.groups.back().push_back(int(beats));
            if (i < text.size() && text[i] == '+') {
                ++i;
                continue;
            }
            if (i < text.size() && text[i] == ',') {
                ++i;
                chunk.groups.emplace_back();
                continue;
            }
            break;
        }
        if (i >= text.size() || text[i] != '/') return fail("expected '/' and the beat duration");
        ++i;
        const size_t start = i;
        while (i < text.size() && text[i] != '+') ++i;
        int32_t duration;
        if (!ParseDuration(text.substr(start, i - start), &duration) || !IsTextBeatDuration(duration)) {
            i = start;
            return fail("expected a beat duration (for example 4, 8, 4. or e1536)");
        }
        chunk.duration = duration;
        chunks.push_back(chunk);
        if (i >= text.size()) break;
        ++i;  // '+': another group with its own beat duration
    }
    *meter = Meter();
    if (chunks.size() == 1 && chunks[0].groups.size() == 1 && chunks[0].groups[0].size() == 1)
        *meter = Meter::Simple(chunks[0].groups[0][0], chunks[0].duration);
    else if (chunks.size() == 1)
        *meter = Meter::Composite(chunks[0].groups, chunks[0].duration);
    else {
        std::vector<std::vector<int>> groups;
        std::vector<int> durations;
        for (const Chunk& chunk : chunks) {
            if (chunk.groups.size() != 1) {
                i = 0;
                return fail("a time signature with a beat duration per group has one group per duration");
            }
            groups.push_back(chunk.groups[0]);
            durations.push_back(chunk.duration);
        }
        *meter = Meter::CompositePerGroup(groups, durations);
    }
    return true;
}

bool Parser::Key(const Token& token, const std::string& value, uint16_t* key) {
    if (ParseKeyName(value, key)) return true;
    uint64_t number;
    if (value.size() > 2 && value[0] == '0' && value[1] == 'x' && ToHex(value, 0xFFFF, &number)) {
        *key = uint16_t(number);
        return true;
    }
    return Fail(token.column + int(token.text.size() - value.size()),
                "expected a key (C, G, F, Bb, F#, Am, ... or a key value such as 0x0101)");
}

bool Parser::Measure(const std::vector<Token>& tokens) {
    MeasureStatement measure;
    measure.at = At(tokens[0].column);
    const int expected = syntax_->measures.empty() ? 1 : syntax_->measures.back().last + 1;
    if (tokens.size() < 2) return Fail(tokens[0].column + 8, "expected measure " + std::to_string(expected));
    const std::string& range = tokens[1].text;
    const size_t dash = range.find('-');
    int64_t first, last;
    if (!ToInt(range.substr(0, dash), 1, 0x7FFF, &first) || first != expected)
        return Fail(tokens[1].column,
                    "expected measure " + std::to_string(expected) + " (measures are numbered in order)");
    last = first;
    if (dash != std::string::npos && (!ToInt(range.substr(dash + 1), first, 0x7FFF, &last)))
        return Fail(tokens[1].column + int(dash) + 1, "expected the last measure of the range");
    measure.first = int(first);
    measure.last = int(last);
    if (syntax_->measures.empty()) {
        measure.meter = Meter::Simple(4, 1024);
        measure.key = 0;
    } else {
        measure.meter = syntax_->measures.back().meter;
        measure.key = syntax_->measures.back().key;
    }
    bool timeSeen = false;
    for (size_t i = 2; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        std::string name, value;
        if (SplitOption(token.text, &name, &value) && name == "key") {
            if (!Key(token, value, &measure.key)) return false;
        } else if (SplitOption(token.text, &name, &value) && name == "bar") {
            static const char* kNames[] = {"", "", "double", "", "thick", "final"};
            int64_t style = -1;
            for (int s = 0; s < 6; ++s)
                if (*kNames[s] && value == kNames[s]) style = s;
            if (style < 0 && !ToInt(value, 0, 7, &style))
                return Fail(token.column + 4, "expected a barline (double, thick, final or 0-7)");
            measure.barline = int(style);
        } else if (!timeSeen && !token.text.empty() && IsDigit(token.text[0])) {
            if (!Time(token, &measure.meter)) return false;
            timeSeen = true;
        } else {
            return Fail(token.column, "expected a time signature (4/4), key= or bar=");
        }
    }
    syntax_->measures.push_back(measure);
    return true;
}

bool Parser::NextEntry(const std::vector<Token>& tokens) {
    int64_t number;
    if (tokens.size() != 2 || !ToInt(tokens[1].text, 1, 0x7FFFFFFE, &number))
        return Fail(tokens.size() < 2 ? tokens[0].column + 11 : tokens[1].column, "expected the next entry number");
    syntax_->hasNextEntry = true;
    syntax_->nextEntry = int32_t(number);
    syntax_->nextEntryAt = At(tokens[1].column);
    return true;
}

bool Parser::Raw(const std::vector<Token>& tokens) {
    RawStatement raw;
    raw.at = At(tokens[0].column);
    size_t i = 1;
    std::string name, value;
    if (i < tokens.size() && SplitOption(tokens[i].text, &name, &value) && (name == "part" || name == "field")) {
        int64_t part;
        if (!ToInt(value, 1, 0x7FFFFFFF, &part))
            return Fail(tokens[i].column + int(name.size()) + 1, "expected a part");
        raw.store = name == "part" ? RawStatement::kPartLayout : RawStatement::kPartField;
        raw.part = int(part);
        ++i;
    }
    if (i >= tokens.size()) return Fail(tokens.back().column + int(tokens.back().text.size()), "expected a record tag");
    // The tag: four codes, each a character or \xHH.
    const Token& tagToken = tokens[i++];
    const std::string& tag = tagToken.text;
    size_t c = 0;
    for (int code = 0; code < 4; ++code) {
        uint32_t value8 = 0;
        uint64_t hex;
        if (c + 3 < tag.size() && tag[c] == '\\' && tag[c + 1] == 'x' && ToHex(tag.substr(c + 2, 2), 0xFF, &hex)) {
            value8 = uint32_t(hex);
            c += 4;
        } else if (c < tag.size() && tag[c] != '\\') {
            value8 = static_cast<unsigned char>(tag[c]);
            ++c;
        } else {
            return Fail(tagToken.column + int(c), "expected a record tag of four codes (for example SOMS or E\\x03TP)");
        }
        raw.tag = (raw.tag << 8) | value8;
    }
    if (c != tag.size()) return Fail(tagToken.column + int(c), "expected a record tag of four codes");
    const int endColumn = tokens.back().column + int(tokens.back().text.size());
    for (int w = 0; w < 4; ++w) {
        int64_t word;
        if (i >= tokens.size() || !ToInt(tokens[i].text, 0, 0xFFFF, &word))
            return Fail(i < tokens.size() ? tokens[i].column : endColumn, "expected four key words (0-65535)");
        raw.key.words[w] = uint16_t(word);
        ++i;
    }
    if (i < tokens.size() && tokens[i].text == "delete" && i + 1 == tokens.size()) {
        raw.erase = true;
    } else if (i < tokens.size() && tokens[i].text[0] == '=') {
        std::string hex = tokens[i].text.substr(1);
        int column = tokens[i].column + 1;
        if (hex.empty() && i + 1 < tokens.size()) {
            hex = tokens[i + 1].text;
            column = tokens[i + 1].column;
            ++i;
        }
        if (i + 1 != tokens.size()) return Fail(tokens[i + 1].column, "expected the end of the line");
        if (hex.size() % 2 != 0) return Fail(column, "expected the record's bytes as pairs of hex digits");
        for (size_t b = 0; b < hex.size(); b += 2) {
            uint64_t byte;
            if (!ToHex(hex.substr(b, 2), 0xFF, &byte))
                return Fail(column + int(b), "expected the record's bytes as pairs of hex digits");
            raw.bytes.push_back(uint8_t(byte));
        }
    } else {
        return Fail(i < tokens.size() ? tokens[i].column : endColumn, "expected '= <bytes>' or 'delete'");
    }
    syntax_->raws.push_back(raw);
    return true;
}

bool Parser::StaffLine(const std::string& line, const std::vector<Token>& tokens) {
    if (syntax_->measures.empty() || syntax_->measures.back().first != syntax_->measures.back().last)
        return Fail(tokens[0].column, "expected a single 'measure' line before the staff's line");
    MeasureStatement& measure = syntax_->measures.back();
    const size_t colon = line.find(':');
    // The head: s<staff>, then L<layer> and options, up to the colon.
    const std::vector<Token> head = Split(line, 0, colon);
    int64_t staff;
    if (!ToInt(head[0].text.substr(1), 1, 0x7FFF, &staff)) return Fail(head[0].column + 1, "expected a staff number");
    if (!staves_.count(int(staff)))
        return Fail(head[0].column + 1, "staff " + std::to_string(staff) + " is not declared");
    // Shape ends may hold colons ("5-2:1"): the whole line is the statement.
    if (tokens.size() >= 2 && IsShapeKeyword(tokens[1].text)) return ShapeLine(int(staff), tokens);
    if (colon == std::string::npos) {
        if (head.size() >= 2 && head[1].text == "expression") return Expression(int(staff), head, 2);
        if (head.size() >= 2 && head[1].text == "chord") return Chord(int(staff), head, 2);
        if (head.size() < 2 || head[1].text != "cell")
            return Fail(head.size() < 2 ? int(line.size()) + 1 : head[1].column,
                        "expected ':' and the staff's music, 'cell', 'expression', 'chord' or a shape (slur, "
                        "cresc, dim, shape)");
        return Cell(int(staff), head, 2);
    }
    LayerStatement layer;
    layer.at = At(head[0].column);
    layer.staff = int(staff);
    for (size_t i = 1; i < head.size(); ++i) {
        const Token& token = head[i];
        int64_t number;
        if (i == 1 && token.text.size() > 1 && token.text[0] == 'L') {
            if (!ToInt(token.text.substr(1), 1, EntryStore::kLayerCount, &number))
                return Fail(token.column + 1, "expected a layer 1-4");
            layer.layer = int(number) - 1;
        } else if (token.text == "locked") {
            layer.locked = true;
        } else if (token.text == "overfull") {
            layer.overfull = true;
        } else {
            return Fail(token.column, "expected L<layer>, locked, overfull or ':'");
        }
    }
    for (const LayerStatement& other : measure.layers)
        if (other.staff == layer.staff && other.layer == layer.layer)
            return Fail(head[0].column, "layer " + std::to_string(layer.layer + 1) + " of staff " +
                                            std::to_string(staff) + " is already given in this measure");
    if (!Music(line, colon + 1, &layer)) return false;
    measure.layers.push_back(layer);
    return true;
}

bool Parser::Cell(int staff, const std::vector<Token>& tokens, size_t from) {
    MeasureStatement& measure = syntax_->measures.back();
    CellStatement cell;
    cell.staff = staff;
    cell.at = At(tokens[0].column);
    for (const CellStatement& other : measure.cells)
        if (other.staff == staff)
            return Fail(tokens[0].column, "the cell of staff " + std::to_string(staff) + " is already given");
    for (size_t i = from; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        std::string name, value;
        if (SplitOption(token.text, &name, &value) && name == "key") {
            if (!Key(token, value, &cell.key)) return false;
            cell.hasKey = true;
        } else if (!cell.hasMeter && IsDigit(token.text[0])) {
            if (!Time(token, &cell.meter)) return false;
            cell.hasMeter = true;
        } else {
            return Fail(token.column, "expected a time signature or key=");
        }
    }
    if (!cell.hasKey && !cell.hasMeter)
        return Fail(tokens.back().column + int(tokens.back().text.size()), "expected a time signature or key=");
    measure.cells.push_back(cell);
    return true;
}

bool Parser::Music(const std::string& line, size_t i, LayerStatement* layer) {
    int32_t duration = 0;
    bool inTuplet = false;
    TupletItem tuplet;
    bool shortRatio = false;
    while (true) {
        while (i < line.size() && IsSpace(line[i])) ++i;
        if (i >= line.size()) break;
        const int column = int(i) + 1;
        const char c = line[i];
        if (IsDigit(c) || (c == 'e' && i + 1 < line.size() && IsDigit(line[i + 1]))) {
            size_t end = i;
            while (end < line.size() && !IsSpace(line[end]) && line[end] != '}') ++end;
            if (!ParseDuration(line.substr(i, end - i), &duration))
                return Fail(column, "expected a duration (1, 2, 4, 8, 16, 32, 64, 128 with dots, or e<EDUs>)");
            i = end;
            continue;
        }
        if (c == '{') {
            if (inTuplet) return Fail(column, "tuplets cannot be nested (expected '}' first)");
            inTuplet = true;
            tuplet = TupletItem();
            tuplet.at = At(column);
            tuplet.first = int(layer->entries.size());
            ++i;
            // n:m, or n x duration : m x duration
            auto number = [&](int64_t* value) {
                const size_t start = i;
                while (i < line.size() && IsDigit(line[i])) ++i;
                return ToInt(line.substr(start, i - start), 1, 0xFFFF, value);
            };
            auto durationPart = [&](int* value) {
                const size_t start = i;
                while (i < line.size() && !IsSpace(line[i]) && line[i] != ':') ++i;
                int32_t d;
                if (!ParseDuration(line.substr(start, i - start), &d) || d > 0xFFFF) return false;
                *value = d;
                return true;
            };
            int64_t notes, reference;
            if (!number(&notes)) return Fail(int(i) + 1, "expected the tuplet's ratio (3:2, or 3x8:1x4)");
            shortRatio = !(i < line.size() && line[i] == 'x');
            if (!shortRatio) {
                ++i;
                if (!durationPart(&tuplet.ratio.symbolic)) return Fail(int(i) + 1, "expected the tuplet's note value");
            }
            if (i >= line.size() || line[i] != ':') return Fail(int(i) + 1, "expected ':' in the tuplet's ratio");
            ++i;
            if (!number(&reference)) return Fail(int(i) + 1, "expected the tuplet's reference number");
            if (!shortRatio) {
                if (i >= line.size() || line[i] != 'x') return Fail(int(i) + 1, "expected 'x' and the reference value");
                ++i;
                if (!durationPart(&tuplet.ratio.referenceDuration))
                    return Fail(int(i) + 1, "expected the tuplet's reference value");
            }
            if (i < line.size() && !IsSpace(line[i]))
                return Fail(int(i) + 1, "expected a space after the tuplet's ratio");
            tuplet.ratio.notes = int(notes);
            tuplet.ratio.referenceNumber = int(reference);
            if (!TupletOptions(line, i, &tuplet)) return false;
            continue;
        }
        if (c == '}') {
            if (!inTuplet) return Fail(column, "'}' closes no tuplet");
            const int count = int(layer->entries.size()) - tuplet.first;
            if (count == 0) return Fail(column, "expected the tuplet's notes before '}'");
            EntryItem& first = layer->entries[size_t(tuplet.first)];
            if (shortRatio) {
                if (first.duration > 0xFFFF) return Fail(tuplet.at.column, "the tuplet's note value is too long");
                tuplet.ratio.symbolic = first.duration;
                tuplet.ratio.referenceDuration = first.duration;
            }
            if (layer->entries.back().grace) return Fail(column, "a tuplet cannot end on a grace note");
            int64_t sum = 0;
            for (int k = tuplet.first; k < int(layer->entries.size()); ++k)
                if (!layer->entries[size_t(k)].grace) sum += layer->entries[size_t(k)].duration;
            if (sum != tuplet.ratio.NotatedTotal())
                return Fail(column, "expected the tuplet's notes to last " +
                                        std::to_string(tuplet.ratio.NotatedTotal()) + " EDUs, they last " +
                                        std::to_string(sum));
            tuplet.last = int(layer->entries.size()) - 1;
            layer->tuplets.push_back(tuplet);
            inTuplet = false;
            ++i;
            continue;
        }
        if (duration == 0) return Fail(column, "expected a duration (for example 4 or 8.) before the first note");
        EntryItem entry;
        if (!Entry(line, i, duration, &entry)) return false;
        if (layer->entries.size() >= size_t(EntryStore::kMaxEntries))
            return Fail(column, "too many entries in one layer");
        layer->entries.push_back(entry);
    }
    if (inTuplet) return FailAt(tuplet.at, "the tuplet is not closed (expected '}')");
    return true;
}

bool Parser::Pitch(const std::string& line, size_t& i, SpelledPitch* pitch) {
    static const char kLetters[] = "CDEFGAB";
    const char letter = i < line.size() ? line[i] : '\0';
    const char* found = letter ? std::char_traits<char>::find(kLetters, 7, letter) : nullptr;
    if (!found) return Fail(int(i) + 1, "expected a pitch (A-G)");
    pitch->letter = int(found - kLetters);
    pitch->accidental = 0;
    ++i;
    if (i < line.size() && line[i] == '#') {
        while (i < line.size() && line[i] == '#') ++pitch->accidental, ++i;
    } else if (i < line.size() && line[i] == 'b') {
        while (i < line.size() && line[i] == 'b') --pitch->accidental, ++i;
    } else if (i < line.size() && line[i] == 'n') {
        ++i;
    } else if (i < line.size() && line[i] == '(') {
        const size_t close = line.find(')', i);
        int64_t value;
        if (close == std::string::npos || close == i + 1 || (line[i + 1] != '+' && line[i + 1] != '-') ||
            !ToInt(line.substr(line[i + 1] == '+' ? i + 2 : i + 1, close - i - (line[i + 1] == '+' ? 2 : 1)), -32768,
                   32767, &value))
            return Fail(int(i) + 1, "expected an alteration such as (+4) or (-4)");
        pitch->accidental = int(value);
        i = close + 1;
    }
    const size_t start = i;
    if (i < line.size() && line[i] == '-') ++i;
    while (i < line.size() && IsDigit(line[i])) ++i;
    int64_t octave;
    if (!ToInt(line.substr(start, i - start), -9999, 9999, &octave))
        return Fail(int(start) + 1, "expected an octave number (4 holds middle C)");
    // The host's notes lie between C-1 and B9 (MIDI keys 0-127 and their spellings).
    if (octave < -1 || octave > 9) return Fail(int(start) + 1, "the pitch lies out of range (octaves -1 to 9)");
    pitch->octave = int(octave);
    int16_t displacement, raise;
    if (!Unspell(*pitch, 0, &displacement, &raise)) return Fail(int(start) + 1, "the pitch lies out of range");
    return true;
}

// Note suffixes: ~ (tie), :id, !new, !n=HEX. taken is false when the next suffix is not one.
bool Parser::NoteSuffix(const std::string& line, size_t& i, NoteItem* note, bool* taken) {
    *taken = true;
    if (i >= line.size()) {
        *taken = false;
        return true;
    }
    if (line[i] == '~') {
        note->tie = true;
        ++i;
        return true;
    }
    if (line[i] == ':') {
        const size_t start = ++i;
        if (i < line.size() && line[i] == '-') ++i;
        while (i < line.size() && IsDigit(line[i])) ++i;
        int64_t id;
        if (!ToInt(line.substr(start, i - start), -32768, 32767, &id))
            return Fail(int(start) + 1, "expected a note ID");
        note->hasID = true;
        note->id = int(id);
        return true;
    }
    if (line.compare(i, 4, "!new") == 0 &&
        (i + 4 >= line.size() || !std::isalnum(static_cast<unsigned char>(line[i + 4])))) {
        note->flags |= 0x80000000u;
        i += 4;
        return true;
    }
    if (line.compare(i, 3, "!n=") == 0) {
        const size_t start = i + 3;
        size_t end = start;
        while (end < line.size() && std::isxdigit(static_cast<unsigned char>(line[end]))) ++end;
        uint64_t flags;
        if (!ToHex(line.substr(start, end - start), 0xFFFFFFFF, &flags))
            return Fail(int(start) + 1, "expected note flags in hex");
        note->flags |= uint32_t(flags);
        i = end;
        return true;
    }
    *taken = false;
    return true;
}

// Entry marks: _ (stem down), @number, and the named flags. A mark that belongs to a note goes to
// note when there is one.
bool Parser::Mark(const std::string& line, size_t& i, EntryItem* entry, NoteItem* note) {
    const int column = int(i) + 1;
    if (line[i] == '_') {
        entry->stemDown = true;
        ++i;
        return true;
    }
    if (line[i] == '@') {
        const size_t start = ++i;
        while (i < line.size() && IsDigit(line[i])) ++i;
        int64_t number;
        if (!ToInt(line.substr(start, i - start), 1, 0x7FFFFFFE, &number))
            return Fail(int(start) + 1, "expected an entry number");
        entry->number = int32_t(number);
        return true;
    }
    // '!'
    size_t end = i + 1;
    while (end < line.size() && (std::isalnum(static_cast<unsigned char>(line[end])))) ++end;
    const std::string name = line.substr(i + 1, end - i - 1);
    if (name.size() > 3 && name.compare(0, 3, "art") == 0 && IsDigit(name[3])) {
        i += 4;
        return ArticulationMark(line, i, name.substr(3), entry);
    }
    struct Named {
        const char* name;
        uint32_t flags;
        uint16_t flags2;
    };
    static const Named kNamed[] = {{"mark", 0x80000000u, 0},  {"mute", 0x00008000u, 0},   {"alter", 0x00400000u, 0},
                                   {"artic", 0x00200000u, 0}, {"tuplet", 0x00080000u, 0}, {"changed", 0, 0x0004},
                                   {"shape", 0, 0x0020}};
    for (const Named& named : kNamed)
        if (name == named.name) {
            entry->flags |= named.flags;
            entry->flags2 |= named.flags2;
            i = end;
            return true;
        }
    if ((name == "f" || name == "f2") && end < line.size() && line[end] == '=') {
        const size_t start = end + 1;
        size_t stop = start;
        while (stop < line.size() && std::isxdigit(static_cast<unsigned char>(line[stop]))) ++stop;
        uint64_t flags;
        if (!ToHex(line.substr(start, stop - start), name == "f" ? 0xFFFFFFFF : 0xFFFF, &flags))
            return Fail(int(start) + 1, "expected flags in hex");
        if (name == "f")
            entry->flags |= uint32_t(flags);
        else
            entry->flags2 |= uint16_t(flags);
        i = stop;
        return true;
    }
    if ((name == "new" || name == "n") && !note) return Fail(column, "note marks go on the notes inside the chord");
    return Fail(column,
                "expected a mark (!art<N>, !mark, !changed, !shape, !mute, !alter, !artic, !tuplet, !f=, !f2=, !new, "
                "!n=)");
}

bool Parser::Entry(const std::string& line, size_t& i, int32_t duration, EntryItem* entry) {
    entry->duration = duration;
    entry->at = At(int(i) + 1);
    if (line[i] == '[') {
        entry->beamStart = true;
        ++i;
    }
    if (i < line.size() && line[i] == 'g') {
        entry->grace = true;
        ++i;
    }
    const int bodyColumn = int(i) + 1;
    bool single = false;
    if (i < line.size() && line[i] == 'r') {
        entry->rest = true;
        ++i;
        if (i < line.size() && line[i] == '~') return Fail(int(i) + 1, "a rest cannot be tied");
    } else if (i < line.size() && line[i] != '<') {
        NoteItem note;
        note.at = At(int(i) + 1);
        if (!Pitch(line, i, &note.pitch)) return false;
        entry->notes.push_back(note);
        single = true;
    }
    if (!single && i < line.size() && line[i] == '<') {
        ++i;
        while (true) {
            while (i < line.size() && IsSpace(line[i])) ++i;
            if (i >= line.size()) return Fail(int(i) + 1, "expected '>' to close the chord");
            if (line[i] == '>') {
                ++i;
                break;
            }
            if (entry->notes.size() >= size_t(EntryStore::kMaxNotes))
                return Fail(int(i) + 1, "a chord holds at most 12 notes");
            NoteItem note;
            note.at = At(int(i) + 1);
            if (!Pitch(line, i, &note.pitch)) return false;
            bool taken = true;
            while (taken)
                if (!NoteSuffix(line, i, &note, &taken)) return false;
            if (i < line.size() && !IsSpace(line[i]) && line[i] != '>') {
                if (line[i] == '_' || line[i] == '@' || line[i] == '!')
                    return Fail(int(i) + 1, "entry marks go after the chord's '>'");
                return Fail(int(i) + 1, "expected a space, another note or '>'");
            }
            entry->notes.push_back(note);
        }
    } else if (!single && !entry->rest) {
        return Fail(bodyColumn, "expected a note (A-G), a rest (r) or a chord (<...>)");
    }
    while (i < line.size() && !IsSpace(line[i]) && line[i] != '}') {
        if (single) {
            bool taken = false;
            if (!NoteSuffix(line, i, &entry->notes[0], &taken)) return false;
            if (taken) continue;
        } else if (line[i] == '~') {
            return Fail(int(i) + 1, entry->rest ? "a rest cannot be tied" : "tie the notes inside the chord: <C4~ E4>");
        } else if (line[i] == ':') {
            return Fail(int(i) + 1,
                        entry->rest ? "a rest has no note ID" : "note IDs go on the notes inside the chord");
        }
        if (line[i] == '_' || line[i] == '@' || line[i] == '!') {
            if (!Mark(line, i, entry, single ? &entry->notes[0] : nullptr)) return false;
            continue;
        }
        return Fail(int(i) + 1, "expected a space after the note");
    }
    return true;
}

// --- texts in quotes ---

bool Parser::Quoted(const std::string& line, size_t& i, std::u16string* text) {
    const size_t open = i;
    if (i >= line.size() || line[i] != '"') return Fail(int(i) + 1, "expected a text in double quotes");
    ++i;
    text->clear();
    while (true) {
        if (i >= line.size()) return Fail(int(open) + 1, "the text is not closed (expected '\"')");
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == '"') {
            ++i;
            return true;
        }
        if (c == '\\') {
            const int column = int(i) + 1;
            const char escape = i + 1 < line.size() ? line[i + 1] : '\0';
            i += 2;
            if (escape == '"' || escape == '\\')
                text->push_back(char16_t(escape));
            else if (escape == 'n')
                text->push_back(u'\n');
            else if (escape == 'r')
                text->push_back(u'\r');
            else if (escape == 't')
                text->push_back(u'\t');
            else if (escape == 'u' && i < line.size() && line[i] == '{') {
                const size_t close = line.find('}', i);
                uint64_t code;
                if (close == std::string::npos || close - i - 1 > 6 ||
                    !ToHex(line.substr(i + 1, close - i - 1), 0x10FFFF, &code) || line.compare(i + 1, 2, "0x") == 0 ||
                    line.compare(i + 1, 2, "0X") == 0)
                    return Fail(column, "expected a character number in hex, such as \\u{E9}");
                if (code == 0) return Fail(column, "a text cannot hold the character 0");
                if (code > 0xFFFF) {
                    code -= 0x10000;
                    text->push_back(char16_t(0xD800 + (code >> 10)));
                    text->push_back(char16_t(0xDC00 + (code & 0x3FF)));
                } else {
                    text->push_back(char16_t(code));
                }
                i = close + 1;
            } else {
                return Fail(column, "expected an escape (\\\" \\\\ \\n \\r \\t or \\u{...})");
            }
            continue;
        }
        if (c < 0x20 && c != '\t') return Fail(int(i) + 1, "write control characters in a text as escapes");
        // UTF-8: the length from the lead byte, then continuation bytes; no overlong forms, no
        // surrogates, nothing past U+10FFFF.
        uint32_t code = c;
        int more = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            code = c & 0x1F;
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            code = c & 0x0F;
            more = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            code = c & 0x07;
            more = 3;
        } else if (c >= 0x80) {
            return Fail(int(i) + 1, "expected UTF-8 text");
        }
        if (i + size_t(more) >= line.size()) return Fail(int(i) + 1, "expected UTF-8 text");
        for (int k = 1; k <= more; ++k) {
            const unsigned char next = static_cast<unsigned char>(line[i + size_t(k)]);
            if ((next & 0xC0) != 0x80) return Fail(int(i) + 1, "expected UTF-8 text");
            code = (code << 6) | (next & 0x3F);
        }
        if ((more == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (more == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return Fail(int(i) + 1, "expected UTF-8 text");
        if (code > 0xFFFF) {
            code -= 0x10000;
            text->push_back(char16_t(0xD800 + (code >> 10)));
            text->push_back(char16_t(0xDC00 + (code & 0x3FF)));
        } else {
            text->push_back(char16_t(code));
        }
        i += size_t(more) + 1;
    }
}

bool Parser::Words(const std::string& line, std::vector<Token>* tokens) {
    tokens->clear();
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSpace(line[i])) ++i;
        if (i >= line.size()) break;
        const size_t start = i;
        while (i < line.size() && !IsSpace(line[i])) {
            if (line[i] == '"') {
                std::u16string ignored;
                if (!Quoted(line, i, &ignored)) return false;
            } else {
                ++i;
            }
        }
        tokens->push_back(Token{line.substr(start, i - start), int(start) + 1});
    }
    return true;
}

bool Parser::DefinitionNumber(const std::vector<Token>& tokens, std::set<int>* declared, const std::string& what,
                              const char* expected, int* number) {
    int64_t n;
    if (tokens.size() < 2 || !ToInt(tokens[1].text, 1, 0xFFFE, &n))
        return Fail(tokens.size() < 2 ? tokens[0].column + int(tokens[0].text.size()) + 1 : tokens[1].column, expected);
    if (!declared->insert(int(n)).second)
        return Fail(tokens[1].column, what + " " + tokens[1].text + " is declared twice");
    *number = int(n);
    return true;
}

bool Parser::TextValue(const std::string& line, const Token& token, size_t offset, std::u16string* text) {
    size_t i = size_t(token.column - 1) + offset;
    if (!Quoted(line, i, text)) return false;
    const size_t end = size_t(token.column - 1) + token.text.size();
    if (i != end) return Fail(int(i) + 1, "expected a space after the text");
    return true;
}

bool Parser::IntValue(const Token& token, const std::string& value, int64_t low, int64_t high, int64_t* number,
                      const std::string& expected) {
    if (ToInt(value, low, high, number)) return true;
    return Fail(token.column + int(token.text.size() - value.size()), "expected " + expected);
}

bool Parser::HexValue(const Token& token, const std::string& value, uint64_t* number, const std::string& expected) {
    if (value.size() > 2 && value[0] == '0' && value[1] == 'x' && ToHex(value, 0xFFFF, number)) return true;
    return Fail(token.column + int(token.text.size() - value.size()), "expected " + expected + " in hex (0x0000)");
}

bool Parser::FontValue(const std::string& line, const Token& token, const std::string& value, FontItem* font) {
    *font = FontItem();
    if (!value.empty() && value[0] == '"') {
        std::u16string name;
        if (!TextValue(line, token, token.text.size() - value.size(), &name)) return false;
        font->named = true;
        font->name = Utf8(name);
        return true;
    }
    int64_t number;
    if (!IntValue(token, value, 0, 0xFFFF, &number, "a font: its name in quotes or its number")) return false;
    font->number = int(number);
    return true;
}

bool Parser::PlaceValue(const Token& token, const std::string& value, int* placement) {
    const int column = token.column + int(token.text.size() - value.size());
    size_t start = 0;
    for (int k = 0; k < 5; ++k) {
        size_t comma = value.find(',', start);
        if (comma == std::string::npos) comma = value.size();
        int64_t number;
        if ((comma == value.size()) != (k == 4) || !ToInt(value.substr(start, comma - start), -32768, 65535, &number))
            return Fail(column + int(start), "expected five placement values (16 bits) separated by commas");
        placement[k] = int(number);
        start = comma + 1;
    }
    return true;
}

bool Parser::Category(const std::string& line) {
    std::vector<Token> tokens;
    if (!Words(line, &tokens)) return false;
    CategoryStatement category;
    category.at = At(tokens[0].column);
    if (!DefinitionNumber(tokens, &categories_, "category", "expected a category number (1-65534)", &category.number))
        return false;
    size_t i = 2;
    if (i < tokens.size() && tokens[i].text[0] == '"') {
        if (!TextValue(line, tokens[i], 0, &category.name)) return false;
        ++i;
    }
    for (; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        std::string name, value;
        int64_t n;
        uint64_t hex;
        SplitOption(token.text, &name, &value);
        if (name == "type") {
            if (!IntValue(token, value, -32768, 32767, &n, "a category type")) return false;
            category.hasType = true;
            category.type = int(n);
        } else if (name == "font") {
            if (!FontValue(line, token, value, &category.font)) return false;
        } else if (name == "size") {
            if (!IntValue(token, value, -32768, 32767, &n, "a font size")) return false;
            category.size = int(n);
        } else if (name == "effects") {
            if (!IntValue(token, value, 0, 0xFFFF, &n, "font effects (0-65535)")) return false;
            category.effects = int(n);
        } else if (name == "align") {
            if (!IntValue(token, value, -32768, 32767, &n, "an alignment")) return false;
            category.alignment = int(n);
        } else if (name == "place") {
            if (!PlaceValue(token, value, category.placement)) return false;
        } else if (name == "flags") {
            if (!HexValue(token, value, &hex, "the category's flags")) return false;
            category.flags = uint16_t(hex);
        } else {
            return Fail(token.column,
                        "expected the name in quotes, type=, font=, size=, effects=, align=, place= or flags=");
        }
    }
    syntax_->categories.push_back(category);
    return true;
}

bool Parser::TextExpression(const std::string& line) {
    std::vector<Token> tokens;
    if (!Words(line, &tokens)) return false;
    TextExpressionStatement definition;
    definition.at = At(tokens[0].column);
    if (!DefinitionNumber(tokens, &textExpressions_, "text expression", "expected a definition number (1-65534)",
                          &definition.number))
        return false;
    size_t i = 2;
    if (i < tokens.size() && tokens[i].text[0] == '"') {
        if (!TextValue(line, tokens[i], 0, &definition.text)) return false;
        definition.hasText = true;
        ++i;
    }
    for (; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        std::string name, value;
        int64_t n;
        const bool option = SplitOption(token.text, &name, &value);
        if (option && name == "desc") {
            if (!TextValue(line, token, name.size() + 1, &definition.description)) return false;
        } else if (option && name == "category") {
            if (!IntValue(token, value, 0, 0x3FFF, &n, "a category number (0-16383)")) return false;
            definition.category = int(n);
        } else if (option && name == "align") {
            if (!IntValue(token, value, -32768, 32767, &n, "an alignment")) return false;
            definition.alignment = int(n);
        } else if (option && name == "place") {
            if (!PlaceValue(token, value, definition.placement)) return false;
        } else if (token.text == "category-font") {
            definition.categoryFont = true;
        } else if (token.text == "category-place") {
            definition.categoryPlacement = true;
        } else if (token.text == "rehearsal") {
            definition.rehearsal = true;
        } else {
            return Fail(token.column,
                        "expected the text in quotes, desc=, category=, category-font, category-place, align=, "
                        "place= or rehearsal");
        }
    }
    syntax_->textExpressions.push_back(definition);
    return true;
}

bool Parser::ShapeExpression(const std::vector<Token>& tokens) {
    ShapeExpressionStatement definition;
    definition.at = At(tokens[0].column);
    if (!DefinitionNumber(tokens, &shapeExpressions_, "shape expression", "expected a definition number (1-65534)",
                          &definition.number))
        return false;
    for (size_t i = 2; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        std::string name, value;
        int64_t n;
        if (!SplitOption(token.text, &name, &value) || name != "category")
            return Fail(token.column, "expected category=");
        if (!IntValue(token, value, 0, 0x3FFF, &n, "a category number (0-16383)")) return false;
        definition.category = int(n);
    }
    syntax_->shapeExpressions.push_back(definition);
    return true;
}

bool Parser::ArticulationDef(const std::string& line) {
    std::vector<Token> tokens;
    if (!Words(line, &tokens)) return false;
    ArticulationDefStatement definition;
    definition.at = At(tokens[0].column);
    if (!DefinitionNumber(tokens, &articulationDefs_, "articulation", "expected a definition number (1-65534)",
                          &definition.number))
        return false;
    for (size_t i = 2; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        std::string name, value;
        int64_t n;
        uint64_t hex;
        SplitOption(token.text, &name, &value);
        if (name == "char" || name == "shape" || name == "alt" || name == "alt-shape") {
            if (!IntValue(token, value, 0, 0xFFFF, &n, "a character or shape number (0-65535)")) return false;
            if (name == "char" || name == "shape") {
                definition.mainSlot = int(n);
                definition.mainShape = name == "shape";
            } else {
                definition.alternateSlot = int(n);
                definition.alternateShape = name == "alt-shape";
            }
        } else if ((name == "main" || name == "flipped") && value == "alt") {
            (name == "main" ? definition.mainUsesAlternate : definition.flippedUsesAlternate) = true;
        } else if (name == "mode") {
            if (!IntValue(token, value, 0, 5, &n, "a position mode (0-5)")) return false;
            definition.mode = int(n);
        } else if (name == "font" || name == "alt-font") {
            if (!FontValue(line, token, value, name == "font" ? &definition.mainFont : &definition.alternateFont))
                return false;
        } else if (name == "size" || name == "alt-size" || name == "effects" || name == "alt-effects") {
            if (!IntValue(token, value, 0, 255, &n, "a number 0-255")) return false;
            (name == "size"       ? definition.mainSize
             : name == "alt-size" ? definition.alternateSize
             : name == "effects"  ? definition.mainEffects
                                  : definition.alternateEffects) = int(n);
        } else if (name == "flags" || name == "flags2") {
            if (!HexValue(token, value, &hex, "flags")) return false;
            (name == "flags" ? definition.flags1 : definition.flags2) = uint16_t(hex);
        } else if (name.size() == 1 && name[0] >= 'A' && name[0] < 'A' + kArticulationValueCount) {
            if (!IntValue(token, value, -32768, 32767, &n, "a value (-32768-32767)")) return false;
            definition.values[name[0] - 'A'] = int(n);
        } else {
            return Fail(token.column,
                        "expected char=, shape=, alt=, alt-shape=, main=alt, flipped=alt, mode=, font=, size=, "
                        "effects=, alt-font=, alt-size=, alt-effects=, A= ... M=, flags= or flags2=");
        }
    }
    syntax_->articulationDefs.push_back(definition);
    return true;
}

bool Parser::Expression(int staff, const std::vector<Token>& tokens, size_t from) {
    MeasureStatement& measure = syntax_->measures.back();
    ExpressionStatement expression;
    expression.staff = staff;
    expression.at = At(tokens[0].column);
    int64_t n;
    if (from >= tokens.size() || !ToInt(tokens[from].text, 0, 0xFFFF, &n))
        return Fail(
            from < tokens.size() ? tokens[from].column : tokens.back().column + int(tokens.back().text.size()) + 1,
            "expected the number of the expression's definition");
    expression.definition = int(n);
    for (size_t i = from + 1; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        std::string name, value;
        const bool option = SplitOption(token.text, &name, &value);
        if (option && name == "at") {
            if (!IntValue(token, value, -2147483648LL, 2147483647LL, &n, "a position in the measure (EDUs)"))
                return false;
            expression.position = int32_t(n);
        } else if (option && name == "layer") {
            if (!IntValue(token, value, 0, 7, &n, "a layer (1-4, or 0 for none)")) return false;
            expression.layer = int(n);
        } else if (token.text == "shape") {
            expression.shape = true;
        } else if (token.text == "hide-score") {
            expression.hideScore = true;
        } else if (token.text == "hide-parts") {
            expression.hideParts = true;
        } else if (token.text == "hide-part") {
            expression.hidePart = true;
        } else {
            return Fail(token.column, "expected shape, at=, layer=, hide-score, hide-parts or hide-part");
        }
    }
    measure.expressions.push_back(expression);
    return true;
}

bool Parser::Chord(int staff, const std::vector<Token>& tokens, size_t from) {
    ChordStatement chord;
    chord.staff = staff;
    chord.at = At(tokens[0].column);
    std::vector<std::string> words;
    for (size_t i = from; i < tokens.size(); ++i) words.push_back(tokens[i].text);
    size_t bad = 0;
    std::string expected;
    if (!ParseChordWords(words, &chord, &bad, &expected))
        return Fail(from + bad < tokens.size() ? tokens[from + bad].column
                                               : tokens.back().column + int(tokens.back().text.size()) + 1,
                    expected);
    syntax_->measures.back().chords.push_back(chord);
    return true;
}

bool Parser::ShapeLine(int staff, const std::vector<Token>& tokens) {
    std::vector<ShapeWord> words;
    for (const Token& token : tokens) words.push_back(ShapeWord{token.text, token.column});
    ShapeStatement shape;
    int column = 0;
    std::string message;
    if (!ParseShapeStatement(words, staff, syntax_->measures.back().first, line_, &shape, &column, &message))
        return Fail(column, message);
    syntax_->shapes.push_back(shape);
    return true;
}

bool Parser::TupletOptions(const std::string& line, size_t& i, TupletItem* tuplet) {
    while (true) {
        size_t start = i;
        while (start < line.size() && IsSpace(line[start])) ++start;
        size_t end = start;
        while (end < line.size() && !IsSpace(line[end]) && line[end] != '}') ++end;
        const std::string word = line.substr(start, end - start);
        std::string name, value;
        // Options are lower-case names with '='; entries never start so.
        if (!SplitOption(word, &name, &value) || name.empty() || name[0] < 'a' || name[0] > 'z') return true;
        for (char c : name)
            if (!((c >= 'a' && c <= 'z') || IsDigit(c) || c == '-')) return true;
        const TupletOptionName* option = nullptr;
        for (const TupletOptionName& known : kTupletOptionNames)
            if (name == known.name) option = &known;
        if (!option)
            return Fail(int(start) + 1,
                        "expected a tuplet option (x=, y=, number-x=, number-y=, hook-left=, hook-right=, "
                        "bracket-start=, bracket-end=, slope=, flags=, flags2=)");
        const Token token{word, int(start) + 1};
        if (option->hex) {
            uint64_t hex;
            if (!HexValue(token, value, &hex, "the tuplet's flags")) return false;
            tuplet->options[option->option] = int(hex);
        } else {
            int64_t n;
            if (!IntValue(token, value, -32768, 32767, &n, "a value (-32768-32767)")) return false;
            tuplet->options[option->option] = int(n);
        }
        i = end;
    }
}

bool Parser::ArticulationMark(const std::string& line, size_t& i, const std::string& digits, EntryItem* entry) {
    ArticulationItem articulation;
    articulation.at = At(int(i) - 3);
    int64_t n;
    if (!ToInt(digits, 0, 0xFFFF, &n)) return Fail(int(i) + 1, "expected an articulation definition number (0-65535)");
    articulation.definition = int(n);
    i += digits.size();
    if (i < line.size() && line[i] == '(') {
        // (first,second): the two positions.
        const size_t close = line.find(')', i);
        const size_t comma = line.find(',', i);
        int64_t first, second;
        if (close == std::string::npos || comma == std::string::npos || comma > close ||
            !ToInt(line.substr(i + 1, comma - i - 1), -32768, 32767, &first) ||
            !ToInt(line.substr(comma + 1, close - comma - 1), -32768, 32767, &second))
            return Fail(int(i) + 1, "expected the articulation's two positions, such as (7,-4)");
        articulation.position1 = int(first);
        articulation.position2 = int(second);
        i = close + 1;
    }
    entry->articulations.push_back(articulation);
    return true;
}

// A tie needs an entry to end on: a later entry of the same staff and layer.
bool Parser::CheckLayerTies() {
    std::map<std::pair<int, int>, const NoteItem*> open;
    for (const MeasureStatement& measure : syntax_->measures)
        for (const LayerStatement& layer : measure.layers) {
            if (layer.entries.empty()) continue;
            const std::pair<int, int> key(layer.staff, layer.layer);
            open.erase(key);
            const EntryItem& last = layer.entries.back();
            for (const NoteItem& note : last.notes)
                if (note.tie) {
                    open[key] = &note;
                    break;
                }
        }
    if (open.empty()) return true;
    const NoteItem* note = open.begin()->second;
    return FailAt(note->at, "the tie has no note to end on (no later entry in this staff and layer)");
}

bool Parser::StaffStyle(const std::vector<Token>& tokens) {
    StaffStyleStatement style;
    style.at = At(tokens[0].column);
    int64_t number;
    if (tokens.size() < 2 || !ToInt(tokens[1].text, 1, 0xFFFE, &number) || staffStyles_.count(int(number)))
        return Fail(tokens.size() < 2 ? tokens[0].column + 12 : tokens[1].column,
                    "expected a staff style number (1-65534) not given before");
    style.number = int(number);
    for (size_t i = 2; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        std::string name, value;
        int64_t field;
        if (token.text == "expressions-layer1") {
            style.expressionsLayer1 = true;
        } else if (token.text == "expressions-other") {
            style.expressionsOther = true;
        } else if (SplitOption(token.text, &name, &value) && name == "kind") {
            if (!ToInt(value, 0, 15, &field)) return Fail(token.column + 5, "expected a notation kind 0-15");
            style.kind = int(field);
        } else if (SplitOption(token.text, &name, &value) && name == "layer") {
            if (!ToInt(value, 1, 16, &field)) return Fail(token.column + 6, "expected a layer 1-16");
            style.layer = int(field);
        } else {
            return Fail(token.column, "expected kind=, layer=, expressions-layer1 or expressions-other");
        }
    }
    staffStyles_.insert(style.number);
    syntax_->staffStyles.push_back(style);
    return true;
}

bool Parser::StaffStyleSpan(const std::vector<Token>& tokens) {
    StaffStyleSpanStatement span;
    span.at = At(tokens[0].column);
    int64_t number;
    if (tokens.size() < 2 || !ToInt(tokens[1].text, 1, 0x7FFF, &number) || !staves_.count(int(number)))
        return Fail(tokens.size() < 2 ? tokens[0].column + 17 : tokens[1].column, "expected a declared staff");
    span.staff = int(number);
    bool hasStyle = false, hasMeasures = false;
    for (size_t i = 2; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        std::string name, value;
        if (!SplitOption(token.text, &name, &value))
            return Fail(token.column, "expected style=, measures=, start= or end=");
        const int valueColumn = token.column + int(name.size()) + 1;
        if (name == "style") {
            if (!ToInt(value, 0, 0xFFFF, &number)) return Fail(valueColumn, "expected a staff style number");
            span.style = int(number);
            hasStyle = true;
        } else if (name == "measures") {
            const size_t dash = value.find('-', 1);
            int64_t first, last;
            if (dash == std::string::npos || !ToInt(value.substr(0, dash), 0, 0xFFFF, &first) ||
                !ToInt(value.substr(dash + 1), 0, 0xFFFF, &last))
                return Fail(valueColumn, "expected the span's measures as <first>-<last>");
            span.startMeasure = int(first);
            span.endMeasure = int(last);
            hasMeasures = true;
        } else if (name == "start" || name == "end") {
            if (!ToInt(value, INT32_MIN, INT32_MAX, &number)) return Fail(valueColumn, "expected a position in EDUs");
            (name == "start" ? span.startPos : span.endPos) = int32_t(number);
        } else {
            return Fail(token.column, "expected style=, measures=, start= or end=");
        }
    }
    if (!hasStyle || !hasMeasures) return Fail(tokens[0].column, "expected style= and measures= in the span");
    syntax_->staffStyleSpans.push_back(span);
    return true;
}

bool Parser::CurrentPart(const std::vector<Token>& tokens) {
    int64_t part;
    if (tokens.size() != 2 || !ToInt(tokens[1].text, 1, int64_t(syntax_->parts.size()), &part))
        return Fail(tokens.size() < 2 ? tokens[0].column + 13 : tokens[1].column, "expected a declared part");
    syntax_->currentPart = int(part);
    return true;
}

}  // namespace

// Text of the input for an error message: bytes that are not UTF-8 and control characters as
// \xNN, cut after limit characters (0: no cut) with "..." after it.
std::string QuoteForMessage(const std::string& text, size_t limit) {
    std::string out;
    size_t characters = 0;
    for (size_t i = 0; i < text.size();) {
        if (limit && characters == limit) return out + "...";
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80                    ? 1
                        : lead >= 0xC2 && lead <= 0xDF ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
        for (size_t k = 1; k < length; ++k)
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) length = 0;
        if (length == 0 || (length == 1 && lead < 0x20)) {
            out += "\\x" + Hex(lead, 2);
            ++i;
        } else {
            out.append(text, i, length);
            i += length;
        }
        ++characters;
    }
    return out;
}

bool Parse(const std::string& text, const std::string& source, ScoreSyntax* syntax, ScoreTextError* error) {
    *syntax = ScoreSyntax();
    Parser parser(source, syntax, error);
    return parser.Run(text);
}

bool IsTextDuration(int64_t duration) { return duration >= 1 && duration <= EntryStore::kMaxDuration; }
bool IsTextBeatCount(int64_t beats) { return beats >= 1 && beats <= 0x7FFF; }
bool IsTextBeatDuration(int64_t duration) { return duration >= 1 && duration <= 0x7FFF; }

std::string DurationToken(int32_t duration) {
    for (int v : kValues) {
        const int32_t base = kWhole / v;
        int32_t total = base, add = base;
        for (int dots = 0; dots <= 4; ++dots) {
            if (total == duration) return std::to_string(v) + std::string(size_t(dots), '.');
            add /= 2;
            if (add == 0) break;
            total += add;
        }
    }
    return "e" + std::to_string(duration);
}

std::string TimeToken(const Meter& meter) {
    auto beats = [](const std::vector<int>& elements) {
        std::string text;
        for (size_t i = 0; i < elements.size(); ++i) {
            if (!IsTextBeatCount(elements[i])) return std::string();
            text += (i ? "+" : "") + std::to_string(elements[i]);
        }
        return text;
    };
    if (!meter.IsComposite()) {
        if (!IsTextBeatCount(meter.beats) || !IsTextBeatDuration(meter.beatDuration)) return std::string();
        return std::to_string(meter.beats) + "/" + DurationToken(meter.beatDuration);
    }
    std::string text;
    if (meter.groupDurations.empty()) {
        if (!IsTextBeatDuration(meter.beatDuration)) return std::string();
        for (size_t g = 0; g < meter.groups.size(); ++g) {
            const std::string group = beats(meter.groups[g]);
            if (group.empty()) return std::string();
            text += (g ? "," : "") + group;
        }
        // One group of one element reads as a simple meter.
        if (meter.groups.size() == 1 && meter.groups[0].size() == 1) return std::string();
        return text + "/" + DurationToken(meter.beatDuration);
    }
    if (meter.groupDurations.size() != meter.groups.size() || meter.groups.size() < 2) return std::string();
    for (size_t g = 0; g < meter.groups.size(); ++g) {
        const std::string group = beats(meter.groups[g]);
        if (group.empty() || !IsTextBeatDuration(meter.groupDurations[g])) return std::string();
        text += (g ? "+" : "") + group + "/" + DurationToken(meter.groupDurations[g]);
    }
    return text;
}

std::string KeyToken(uint16_t key) {
    const std::string name = KeyName(key);
    return name.empty() ? "0x" + Hex(key, 4) : name;
}

std::string BarlineToken(int style) {
    switch (style) {
        case 2:
            return "double";
        case 4:
            return "thick";
        case 5:
            return "final";
        default:
            return std::to_string(style);
    }
}

std::string UnitToken(int unit) {
    static const char* kUnits[] = {"evpu", "inches", "cm", "points", "picas", "spaces"};
    return unit >= 1 && unit <= 6 ? kUnits[unit - 1] : std::to_string(unit);
}

std::string PitchToken(const SpelledPitch& pitch) {
    std::string text(1, "CDEFGAB"[pitch.letter]);
    if (pitch.accidental > 0 && pitch.accidental <= 3)
        text += std::string(size_t(pitch.accidental), '#');
    else if (pitch.accidental < 0 && pitch.accidental >= -3)
        text += std::string(size_t(-pitch.accidental), 'b');
    else if (pitch.accidental != 0)
        text += (pitch.accidental > 0 ? "(+" : "(") + std::to_string(pitch.accidental) + ")";
    return text + std::to_string(pitch.octave);
}

std::string TagToken(uint32_t tag) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const unsigned code = (tag >> shift) & 0xFF;
        if (std::isalnum(int(code)))
            text += char(code);
        else
            text += "\\x" + Hex(code, 2);
    }
    return text;
}

const TupletOptionName kTupletOptionNames[kTupletOptionCount] = {
    {"x", layout::tuplet::kHorizontalOffset, false},
    {"y", layout::tuplet::kVerticalOffset, false},
    {"number-x", layout::tuplet::kNumberOffsetX, false},
    {"number-y", layout::tuplet::kNumberOffsetY, false},
    {"hook-left", layout::tuplet::kLeftHookLength, false},
    {"hook-right", layout::tuplet::kRightHookLength, false},
    {"bracket-start", layout::tuplet::kBracketStartOffset, false},
    {"bracket-end", layout::tuplet::kBracketEndOffset, false},
    {"slope", layout::tuplet::kManualSlope, false},
    {"flags", layout::tuplet::kDisplayFlags, true},
    {"flags2", layout::tuplet::kDisplayFlags2, true}};
static_assert(kTupletOptionCount == layout::tuplet::kOptionCount, "one name per option word of a tuplet");

std::string QuotedToken(const std::u16string& text) {
    std::u16string plain;
    std::string out = "\"";
    auto flush = [&]() {
        out += Utf8(plain);
        plain.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool high = unit >= 0xD800 && unit < 0xDC00, low = unit >= 0xDC00 && unit < 0xE000;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            plain += unit;
            plain += text[++i];
            continue;
        }
        const char* escape = unit == u'"'    ? "\\\""
                             : unit == u'\\' ? "\\\\"
                             : unit == u'\n' ? "\\n"
                             : unit == u'\r' ? "\\r"
                             : unit == u'\t' ? "\\t"
                                             : nullptr;
        if (escape) {
            flush();
            out += escape;
        } else if (unit < 0x20 || unit == 0x7F || high || low) {
            flush();
            out += "\\u{" + Hex(unit, 1) + "}";
        } else {
            plain += unit;
        }
    }
    flush();
    return out + "\"";
}

}  // namespace scoretext
}  // namespace simhost
