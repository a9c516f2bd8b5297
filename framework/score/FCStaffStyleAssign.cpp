#include "framework/score/FCStaffStyleAssign.h"

#include <cstring>

namespace {

constexpr int kStyle = 0;
constexpr int kEndMeasure = 12;
constexpr int kEndPos = 14;
constexpr int kStartMeasure = 18;
constexpr int kStartPos = 20;
static_assert(kStartPos + 4 == int(FCStaffStyleAssign::kDataSize), "staff style assignment is 24 bytes");

}  // namespace

FCStaffStyleAssign::FCStaffStyleAssign() { UseClearedData(data_, kDataSize); }

int FCStaffStyleAssign::GetStyleNumber() const { return fcdata::Read<int16_t>(data_, kStyle); }
void FCStaffStyleAssign::SetStyleNumber(int style) { fcdata::Write<int16_t>(data_, kStyle, int16_t(style)); }
int FCStaffStyleAssign::GetStartMeasure() const { return fcdata::Read<int16_t>(data_, kStartMeasure); }
void FCStaffStyleAssign::SetStartMeasure(int measure) {
    fcdata::Write<int16_t>(data_, kStartMeasure, int16_t(measure));
}
int32_t FCStaffStyleAssign::GetStartMeasurePos() const { return fcdata::Read<int32_t>(data_, kStartPos); }
void FCStaffStyleAssign::SetStartMeasurePos(int32_t position) { fcdata::Write<int32_t>(data_, kStartPos, position); }
int FCStaffStyleAssign::GetEndMeasure() const { return fcdata::Read<int16_t>(data_, kEndMeasure); }
void FCStaffStyleAssign::SetEndMeasure(int measure) { fcdata::Write<int16_t>(data_, kEndMeasure, int16_t(measure)); }
int32_t FCStaffStyleAssign::GetEndMeasurePos() const { return fcdata::Read<int32_t>(data_, kEndPos); }
void FCStaffStyleAssign::SetEndMeasurePos(int32_t position) { fcdata::Write<int32_t>(data_, kEndPos, position); }
