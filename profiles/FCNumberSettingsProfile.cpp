#include "profiles/FCNumberSettingsProfile.h"

#include <tinyxml2.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

const ProfileOption kOptions[FCNumberSettingsProfile::kOptionCount] = {
    {FCNumberSettingsProfile::kAlwaysEndOfRegion, "Always at end of region", "AlwaysEndOfRegion", true},
    {FCNumberSettingsProfile::kAlwaysStartOfSystem, "Always at start of system", "AlwaysStartOfSystem", false},
    {FCNumberSettingsProfile::kAlwaysEndOfSystem, "Always at end of system", "AlwaysEndOfSystem", false},
    {FCNumberSettingsProfile::kRestartDoubleBarline, "Restart sequence after double barline", "RestartDoubleBarline",
     false},
    {FCNumberSettingsProfile::kRestartFinalBarline, "Restart sequence after final barline", "RestartFinalBarline",
     true},
    {FCNumberSettingsProfile::kRestartSolidBarline, "Restart sequence after solid barline", "RestartSolidBarline",
     false},
    {FCNumberSettingsProfile::kRestartRehearsalMark, "Restart sequence after rehearsal mark", "RestartRehearsalMark",
     false},
    {FCNumberSettingsProfile::kMaxItalics, "Max value as Italics", "MaxItalics", true},
    {FCNumberSettingsProfile::kMaxOnFirst, "Only Max value on First", "MaxOnFirst", false},
};

const char* const kNumberStyleTexts[FCNumberSettingsProfile::kNumberStyleCount] = {
    "1, 2, 3, 4, ...", "I, II, III, IV, ...", "A, B, C, D, ...", "a, b, c, d, ..."};

const char* const kFormattingTexts[FCNumberSettingsProfile::kFormattingCount] = {
    "None",  "( )",   "[ ]",     "{ }",     "x (Max)",  "x [Max]",  "x {Max}",
    "x-Max", "x/Max", "x - Max", "x / Max", "x (-Max)", "x [-Max]", "x {-Max}"};

const char* const kMaxValuePtDiffTexts[FCNumberSettingsProfile::kMaxValuePtDiffCount] = {
    "Same font size", "2 points smaller", "4 points smaller", "6 points smaller"};

const char* const kScorePartAssignmentTexts[FCNumberSettingsProfile::kScorePartAssignmentCount] = {
    "Score and Parts", "Score only", "Parts only", "Based on current Score/Part view"};

// How a formatting pattern wraps the number (codes 1-3) or adds the maximum (codes 4-13): the
// number is followed by the separator, the maximum's markup, the opening text, the maximum and
// the closing text.
struct Pattern {
    const char* open;
    const char* close;
    const char* separator;
    const char* maxOpen;
    const char* maxClose;
};
const Pattern kPatterns[FCNumberSettingsProfile::kFormattingCount] = {
    {"", "", "", "", ""},     {"(", ")", "", "", ""},   {"[", "]", "", "", ""},  {"{", "}", "", "", ""},
    {"", "", " ", "(", ")"},  {"", "", " ", "[", "]"},  {"", "", " ", "{", "}"}, {"", "", "-", "", ""},
    {"", "", "/", "", ""},    {"", "", " - ", "", ""},  {"", "", " / ", "", ""}, {"", "", " ", "(-", ")"},
    {"", "", " ", "[-", "]"}, {"", "", " ", "{-", "}"},
};

const char* TextAt(const char* const* texts, int count, int index) {
    return index >= 0 && index < count ? texts[index] : nullptr;
}

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// C's decimal conversion: leading blanks, a sign, the digits up to the first other character;
// no digits read as 0 and values beyond the int range as its nearest end.
int ReadDecimal(const char* text) {
    if (!text) return 0;
    while (IsCSpace(*text)) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        if (value <= INT_MAX) value = value * 10 + (*text - '0');
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int(value);
}

// The attribute's value when the element has it, else the default; a value outside
// [lowest, highest] reads as the default.
int ReadChoice(const tinyxml2::XMLElement* element, const char* name, int lowest, int highest, int fallback) {
    const char* text = element->Attribute(name);
    if (!text) return fallback;
    const int value = ReadDecimal(text);
    return value < lowest || value > highest ? fallback : value;
}

int ReadCount(const tinyxml2::XMLElement* element, const char* name) {
    const char* text = element->Attribute(name);
    if (!text) return FCNumberSettingsProfile::kMinCount;
    const int value = ReadDecimal(text);
    if (value < FCNumberSettingsProfile::kMinCount) return FCNumberSettingsProfile::kMinCount;
    return value > FCNumberSettingsProfile::kMaxCount ? FCNumberSettingsProfile::kMaxCount : value;
}

void AppendUTF8(uint32_t code, std::string* out) {
    if (code < 0x80) {
        *out += char(code);
    } else if (code < 0x800) {
        *out += char(0xC0 | (code >> 6));
        *out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out += char(0xE0 | (code >> 12));
        *out += char(0x80 | ((code >> 6) & 0x3F));
        *out += char(0x80 | (code & 0x3F));
    } else {
        *out += char(0xF0 | (code >> 18));
        *out += char(0x80 | ((code >> 12) & 0x3F));
        *out += char(0x80 | ((code >> 6) & 0x3F));
        *out += char(0x80 | (code & 0x3F));
    }
}

bool IsXMLChar(uint32_t code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// The reference starting at text (just after "&"): its length up to and including ";" and the
// character it stands for; 0 when it is none of XML's references.
size_t ReadReference(const char* text, uint32_t* code) {
    static const struct {
        const char* name;
        char character;
    } kNamed[] = {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};
    for (const auto& named : kNamed) {
        const size_t length = std::strlen(named.name);
        if (std::strncmp(text, named.name, length) == 0) {
            *code = uint32_t(named.character);
            return length;
        }
    }
    if (text[0] != '#') return 0;
    const bool hex = text[1] == 'x';
    size_t i = hex ? 2 : 1;
    uint32_t value = 0;
    const size_t first = i;
    for (;; ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) break;
        value = value * (hex ? 16 : 10) + uint32_t(digit);
        if (value > 0x10FFFF) return 0;
    }
    if (i == first || text[i] != ';' || !IsXMLChar(value)) return 0;
    *code = value;
    return i + 1;
}

// An attribute value as the file has it, with its references replaced by their characters; an
// "&" that starts no reference stays as it is.
std::string DecodeReferences(const char* raw) {
    std::string out;
    while (*raw) {
        uint32_t code = 0;
        const size_t length = *raw == '&' ? ReadReference(raw + 1, &code) : 0;
        if (length) {
            AppendUTF8(code, &out);
            raw += length + 1;
        } else {
            out += *raw++;
        }
    }
    return out;
}

// A text as an attribute value: XML's special characters, tabs and line ends as references, so
// that any XML reader gets the text back; control characters XML cannot hold are left out.
std::string EncodeReferences(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\t':
                out += "&#9;";
                break;
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20) out += c;
                break;
        }
    }
    return out;
}

void AppendRoman(int value, FCString* output) {
    struct Step {
        int value;
        const char* text;
    };
    while (value >= 1000) {
        output->AppendCString("M");
        value -= 1000;
    }
    // Hundreds, tens and units the same way: 9, 5, 4 and the ones.
    const struct {
        Step nine, five, four, one;
    } kDigits[] = {{{900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}},
                   {{90, "XC"}, {50, "L"}, {40, "XL"}, {10, "X"}},
                   {{9, "IX"}, {5, "V"}, {4, "IV"}, {1, "I"}}};
    for (const auto& digit : kDigits) {
        if (value >= digit.nine.value) {
            output->AppendCString(digit.nine.text);
            value -= digit.nine.value;
        }
        if (value >= digit.five.value) {
            output->AppendCString(digit.five.text);
            value -= digit.five.value;
        }
        if (value >= digit.four.value) {
            output->AppendCString(digit.four.text);
            value -= digit.four.value;
        }
        while (value >= digit.one.value) {
            output->AppendCString(digit.one.text);
            value -= digit.one.value;
        }
    }
}

void AppendLetters(int value, char first, FCString* output) {
    // After the last letter the letter repeats: 27 is AA, 53 AAA.
    for (int k = value - 1; k >= 0; k -= 26) output->AppendCharacter(char16_t(first + k % 26));
}

}  // namespace

FCNumberSettingsProfile::FCNumberSettingsProfile()
    : name_("Profile Name"),
      numberStyle_(kStyleDecimal),
      formatting_(0),
      options_(GetDefaultOptions()),
      steps_(1),
      startAt_(1),
      maxValuePtDiff_(0),
      scorePartAssignment_(0),
      fontSize_(0) {}

const ProfileOption& FCNumberSettingsProfile::GetProfileOption(int index) {
    return kOptions[index >= 0 && index < kOptionCount ? index : 0];
}

int FCNumberSettingsProfile::GetDefaultOptions() {
    int bits = 0;
    for (const ProfileOption& option : kOptions)
        if (option.defaultOn) bits |= option.bit;
    return bits;
}

const char* FCNumberSettingsProfile::GetNumberStyleText(int style) {
    return TextAt(kNumberStyleTexts, kNumberStyleCount, style);
}
const char* FCNumberSettingsProfile::GetFormattingText(int formatting) {
    return TextAt(kFormattingTexts, kFormattingCount, formatting);
}
const char* FCNumberSettingsProfile::GetMaxValuePtDiffText(int difference) {
    return TextAt(kMaxValuePtDiffTexts, kMaxValuePtDiffCount, difference);
}
const char* FCNumberSettingsProfile::GetScorePartAssignmentText(int assignment) {
    return TextAt(kScorePartAssignmentTexts, kScorePartAssignmentCount, assignment);
}

void FCNumberSettingsProfile::CopyFrom(const FCNumberSettingsProfile* other) {
    if (!other || other == this) return;
    name_.SetString(&other->name_);
    numberStyle_ = other->numberStyle_;
    formatting_ = other->formatting_;
    options_ = other->options_;
    steps_ = other->steps_;
    startAt_ = other->startAt_;
    maxValuePtDiff_ = other->maxValuePtDiff_;
    scorePartAssignment_ = other->scorePartAssignment_;
    fontSize_ = other->fontSize_;
}

bool FCNumberSettingsProfile::ShowsMaxValue(int value) const {
    if (GetMaxOnFirst() && value > 1) return false;
    return formatting_ >= kFirstMaxFormatting && formatting_ < kFormattingCount;
}

void FCNumberSettingsProfile::AppendStyledNumber(int value, FCString* output) const {
    if (!output) return;
    const bool styled =
        numberStyle_ == kStyleRoman || numberStyle_ == kStyleUpperLetters || numberStyle_ == kStyleLowerLetters;
    if (!styled || value > kMaxStyledValue) {
        output->AppendInteger(value);
        return;
    }
    // Neither form has a way to write 0 or a negative value.
    if (value < 1) return;
    if (numberStyle_ == kStyleRoman)
        AppendRoman(value, output);
    else
        AppendLetters(value, numberStyle_ == kStyleUpperLetters ? 'A' : 'a', output);
}

void FCNumberSettingsProfile::AppendMaxValueMarkup(FCString* output) const {
    if (GetMaxItalics()) output->AppendCString("^nfx(2)");
    if (fontSize_ <= 0 || maxValuePtDiff_ == 0) return;
    int size = fontSize_;
    if (maxValuePtDiff_ >= 1 && maxValuePtDiff_ <= 3) size -= 2 * maxValuePtDiff_;
    // Never below the smallest size, and never larger than the text itself.
    const int floor = fontSize_ < kMinMaxValueFontSize ? fontSize_ : kMinMaxValueFontSize;
    if (size < floor) size = floor;
    if (size == fontSize_) return;
    output->AppendCString("^size(");
    output->AppendInteger(size);
    output->AppendCString(")");
}

void FCNumberSettingsProfile::FormatNumber(int value, int maxValue, FCString* output) const {
    if (!output) return;
    output->Clear();
    const bool known = formatting_ >= 0 && formatting_ < kFormattingCount;
    const Pattern& pattern = kPatterns[known ? formatting_ : 0];
    output->AppendCString(pattern.open);
    AppendStyledNumber(value, output);
    output->AppendCString(pattern.close);
    if (!ShowsMaxValue(value)) return;
    output->AppendCString(pattern.separator);
    AppendMaxValueMarkup(output);
    output->AppendCString(pattern.maxOpen);
    AppendStyledNumber(maxValue, output);
    output->AppendCString(pattern.maxClose);
}

void FCNumberSettingsProfile::GetExampleLine(FCString* output) const {
    if (!output) return;
    FCNumberSettingsProfile example;
    example.CopyFrom(this);
    example.SetOption(kMaxItalics, false);
    example.SetMaxValuePtDiff(0);
    int numbers[5];
    for (int i = 0; i < 5; ++i) {
        const long long number = (long long)startAt_ + (long long)i * steps_;
        numbers[i] = number > INT_MAX ? INT_MAX : number < INT_MIN ? INT_MIN : int(number);
    }
    output->Clear();
    FCString text;
    for (int i = 0; i < 5; ++i) {
        example.FormatNumber(numbers[i], numbers[4], &text);
        if (i > 0) output->AppendCString(",     ");
        output->AppendString(&text);
    }
}

void FCNumberSettingsProfile::WriteToXML(tinyxml2::XMLElement* element) {
    if (!element) return;
    // A document that keeps references as written leaves the escaping to its writers.
    const bool raw = !element->GetDocument()->ProcessEntities();
    const std::string name = name_.GetUTF8();
    element->SetAttribute("Name", raw ? EncodeReferences(name).c_str() : name.c_str());
    element->SetAttribute("NumberStyle", numberStyle_);
    element->SetAttribute("Formatting", formatting_);
    element->SetAttribute("Steps", steps_);
    element->SetAttribute("StartAt", startAt_);
    element->SetAttribute("MaxValuePtDiff", maxValuePtDiff_);
    element->SetAttribute("ScorePartAssignment", scorePartAssignment_);
    for (const ProfileOption& option : kOptions)
        element->SetAttribute(option.storageAttribute, HasOption(option.bit) ? 1 : 0);
}

bool FCNumberSettingsProfile::ReadFromXML(tinyxml2::XMLElement* element) {
    if (!element) return false;
    const char* name = element->Attribute("Name");
    if (!name) return false;
    name_.SetUTF8(element->GetDocument()->ProcessEntities() ? name : DecodeReferences(name).c_str());
    numberStyle_ = ReadChoice(element, "NumberStyle", 0, kNumberStyleCount - 1, kStyleDecimal);
    formatting_ = ReadChoice(element, "Formatting", 0, kFormattingCount - 1, 0);
    steps_ = ReadCount(element, "Steps");
    startAt_ = ReadCount(element, "StartAt");
    maxValuePtDiff_ = ReadChoice(element, "MaxValuePtDiff", 0, kMaxValuePtDiffCount - 1, 0);
    scorePartAssignment_ = ReadChoice(element, "ScorePartAssignment", 0, kScorePartAssignmentCount - 1, 0);
    options_ = 0;
    for (const ProfileOption& option : kOptions) {
        const char* flag = element->Attribute(option.storageAttribute);
        // A flag is on exactly when it reads as the number 1 ("true" is off).
        if (flag ? ReadDecimal(flag) == 1 : option.defaultOn) options_ |= option.bit;
    }
    return true;
}
