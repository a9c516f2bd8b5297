// Staff styles in score text: the definitions (their alternate notation and which expressions
// they keep visible) and their spans on staves, read into and written from the records the host
// keeps (tags SOSY and O\x02Sy), at the fields' offsets.
#include "simhost/RecordView.h"
#include "simhost/ScoreTextSyntax.h"
#include "simhost/SimHost.h"
#include "simhost/layouts/MarkingLayouts.h"

#include <set>

namespace simhost {
namespace scoretext {

namespace {

using namespace layout;
using namespace layout::staffstyle;

constexpr int32_t kToEnd = 0x7FFFFFFF;

}  // namespace

bool BuildStaffStyles(const ScoreSyntax& syntax, Place* failed) {
    RecordView view(CurrentDocument(), 0);
    for (const StaffStyleStatement& style : syntax.staffStyles) {
        RecordStore::Bytes bytes(SizeForHost(LayoutVersion()), 0);
        const uint16_t notation =
            uint16_t(style.kind | ((style.layer - 1) << 4) | (style.expressionsLayer1 ? kVisibleInLayer1 : 0));
        Write<uint16_t>(bytes.data(), kNotation, notation);
        Write<uint16_t>(bytes.data(), kOptions, style.expressionsOther ? kVisibleInOtherLayers : 0);
        const FXKey key = {{uint16_t(style.number), 0, 0, 0}};
        if (!view.Write(kTag, key, bytes.data(), uint32_t(bytes.size()))) {
            *failed = style.at;
            return false;
        }
    }
    for (const StaffStyleSpanStatement& span : syntax.staffStyleSpans) {
        uint8_t bytes[kAssignSize] = {0};
        Write<uint16_t>(bytes, kAssignStyle, uint16_t(span.style));
        Write<uint16_t>(bytes, kAssignEndMeasure, uint16_t(span.endMeasure));
        Write<int32_t>(bytes, kAssignEndPos, span.endPos);
        Write<uint16_t>(bytes, kAssignStartMeasure, uint16_t(span.startMeasure));
        Write<int32_t>(bytes, kAssignStartPos, span.startPos);
        FXKey key = {{uint16_t(span.staff), 0xFFFF, 0, 0}};
        if (!view.Create(kAssignTag, key, bytes, sizeof bytes)) {
            *failed = span.at;
            return false;
        }
    }
    return true;
}

std::string StaffStyleLines(const std::vector<int>& declaredStaves) {
    const RecordStore& records = CurrentDocument().Records();
    std::string text;
    for (const auto& record : records.Records(kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (key.words[0] < 1 || key.words[0] == 0xFFFF || key.words[1] || key.words[2] || key.words[3]) continue;
        const RecordStore::Bytes& bytes = record.second;
        if (bytes.size() < kOptions + 2) continue;
        const uint16_t notation = Read<uint16_t>(bytes.data(), kNotation);
        const uint16_t options = Read<uint16_t>(bytes.data(), kOptions);
        text += "staff-style " + std::to_string(key.words[0]);
        if (notation & kKindMask) text += " kind=" + std::to_string(notation & kKindMask);
        if (notation & kLayerMask) text += " layer=" + std::to_string(((notation & kLayerMask) >> 4) + 1);
        if (notation & kVisibleInLayer1) text += " expressions-layer1";
        if (options & kVisibleInOtherLayers) text += " expressions-other";
        text += "\n";
    }
    const std::set<int> declared(declaredStaves.begin(), declaredStaves.end());
    for (const auto& record : records.Records(kAssignTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (!declared.count(key.words[0]) || key.words[2] || key.words[3]) continue;
        const RecordStore::Bytes& bytes = record.second;
        if (bytes.size() != kAssignSize) continue;
        const uint8_t* data = bytes.data();
        text += "staff-style-span " + std::to_string(key.words[0]) +
                " style=" + std::to_string(Read<uint16_t>(data, kAssignStyle)) +
                " measures=" + std::to_string(Read<uint16_t>(data, kAssignStartMeasure)) + "-" +
                std::to_string(Read<uint16_t>(data, kAssignEndMeasure));
        const int32_t start = Read<int32_t>(data, kAssignStartPos);
        const int32_t end = Read<int32_t>(data, kAssignEndPos);
        if (start) text += " start=" + std::to_string(start);
        if (end != kToEnd) text += " end=" + std::to_string(end);
        text += "\n";
    }
    return text;
}

}  // namespace scoretext
}  // namespace simhost
