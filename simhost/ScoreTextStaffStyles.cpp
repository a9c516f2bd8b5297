// Staff styles in score text: the definitions (their alternate notation and which expressions
// they keep visible) and their spans on staves, read into and written from the records the host
// keeps (tags SOSY and O\x02Sy), at the fields' offsets.
#include "framework/score/FCStaffStyleAssign.h"
#include "framework/score/FCStaffStyleDef.h"
#include "simhost/RecordView.h"
#include "simhost/ScoreTextSyntax.h"
#include "simhost/SimHost.h"

#include <set>

namespace simhost {
namespace scoretext {

namespace {

// The staff style record: the notation word (kind in bits 0-3, the affected layer - 1 in bits
// 4-7, 0x8000 expressions visible in layer 1) and the option word (0x0004 expressions visible in
// the other layers).
constexpr int kNotationWord = 4;
constexpr int kOptionWord = 72;
constexpr uint16_t kVisibleInLayer1 = 0x8000;
constexpr uint16_t kVisibleInOtherLayers = 0x0004;
// The span record.
constexpr int kSpanStyle = 0;
constexpr int kSpanEndMeasure = 12;
constexpr int kSpanEndPos = 14;
constexpr int kSpanStartMeasure = 18;
constexpr int kSpanStartPos = 20;
static_assert(kSpanStartPos + 4 == int(FCStaffStyleAssign::kDataSize), "a staff style span is 24 bytes");
static_assert(kOptionWord + 2 <= int(FCStaffStyleDef::kStyleSizeOld), "every layout holds the option word");

constexpr int32_t kToEnd = 0x7FFFFFFF;

}  // namespace

bool BuildStaffStyles(const ScoreSyntax& syntax, Place* failed) {
    RecordView view(CurrentDocument(), 0);
    for (const StaffStyleStatement& style : syntax.staffStyles) {
        RecordStore::Bytes bytes(FCStaffStyleDef::StyleDataSize(hostapi::GetHostVersion()), 0);
        const uint16_t notation = uint16_t(style.kind | ((style.layer - 1) << 4) |
                                           (style.expressionsLayer1 ? kVisibleInLayer1 : 0));
        fcdata::Write<uint16_t>(bytes.data(), kNotationWord, notation);
        fcdata::Write<uint16_t>(bytes.data(), kOptionWord, style.expressionsOther ? kVisibleInOtherLayers : 0);
        const FXKey key = {{uint16_t(style.number), 0, 0, 0}};
        if (!view.Write(FCStaffStyleDef::kTag, key, bytes.data(), uint32_t(bytes.size()))) {
            *failed = style.at;
            return false;
        }
    }
    for (const StaffStyleSpanStatement& span : syntax.staffStyleSpans) {
        uint8_t bytes[FCStaffStyleAssign::kDataSize] = {0};
        fcdata::Write<uint16_t>(bytes, kSpanStyle, uint16_t(span.style));
        fcdata::Write<uint16_t>(bytes, kSpanEndMeasure, uint16_t(span.endMeasure));
        fcdata::Write<int32_t>(bytes, kSpanEndPos, span.endPos);
        fcdata::Write<uint16_t>(bytes, kSpanStartMeasure, uint16_t(span.startMeasure));
        fcdata::Write<int32_t>(bytes, kSpanStartPos, span.startPos);
        FXKey key = {{uint16_t(span.staff), 0xFFFF, 0, 0}};
        if (!view.Create(FCStaffStyleAssign::kTag, key, bytes, sizeof bytes)) {
            *failed = span.at;
            return false;
        }
    }
    return true;
}

std::string StaffStyleLines(const std::vector<int>& declaredStaves) {
    const RecordStore& records = CurrentDocument().Records();
    std::string text;
    for (const auto& record : records.Records(FCStaffStyleDef::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (key.words[0] < 1 || key.words[0] == 0xFFFF || key.words[1] || key.words[2] || key.words[3]) continue;
        const RecordStore::Bytes& bytes = record.second;
        if (bytes.size() < kOptionWord + 2) continue;
        const uint16_t notation = fcdata::Read<uint16_t>(bytes.data(), kNotationWord);
        const uint16_t options = fcdata::Read<uint16_t>(bytes.data(), kOptionWord);
        text += "staff-style " + std::to_string(key.words[0]);
        if (notation & 0x000F) text += " kind=" + std::to_string(notation & 0x000F);
        if (notation & 0x00F0) text += " layer=" + std::to_string(((notation >> 4) & 0x000F) + 1);
        if (notation & kVisibleInLayer1) text += " expressions-layer1";
        if (options & kVisibleInOtherLayers) text += " expressions-other";
        text += "\n";
    }
    const std::set<int> declared(declaredStaves.begin(), declaredStaves.end());
    for (const auto& record : records.Records(FCStaffStyleAssign::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (!declared.count(key.words[0]) || key.words[2] || key.words[3]) continue;
        const RecordStore::Bytes& bytes = record.second;
        if (bytes.size() != FCStaffStyleAssign::kDataSize) continue;
        const uint8_t* data = bytes.data();
        text += "staff-style-span " + std::to_string(key.words[0]) +
                " style=" + std::to_string(fcdata::Read<uint16_t>(data, kSpanStyle)) +
                " measures=" + std::to_string(fcdata::Read<uint16_t>(data, kSpanStartMeasure)) + "-" +
                std::to_string(fcdata::Read<uint16_t>(data, kSpanEndMeasure));
        const int32_t start = fcdata::Read<int32_t>(data, kSpanStartPos);
        const int32_t end = fcdata::Read<int32_t>(data, kSpanEndPos);
        if (start) text += " start=" + std::to_string(start);
        if (end != kToEnd) text += " end=" + std::to_string(end);
        text += "\n";
    }
    return text;
}

}  // namespace scoretext
}  // namespace simhost
