#include "framework/markings/FCTextBlock.h"

#include <cstring>

namespace {

constexpr int kRawTextOffset = 0;
constexpr int kKindOffset = 24;
static_assert(kKindOffset + 2 == int(FCTextBlock::kDataSize), "text block record is 26 bytes");

}  // namespace

FCTextBlock::FCTextBlock() { UseClearedData(data_, kDataSize); }

bool FCTextBlock::Reload() {
    std::memset(data_, 0, sizeof data_);
    return __FCNoInciOther::Reload();
}

int FCTextBlock::GetRawTextNumber() const { return fcdata::Read<uint16_t>(data_, kRawTextOffset); }
void FCTextBlock::SetRawTextNumber(int number) { fcdata::Write<uint16_t>(data_, kRawTextOffset, uint16_t(number)); }
int FCTextBlock::GetTextKind() const { return fcdata::Read<uint16_t>(data_, kKindOffset); }
void FCTextBlock::SetTextKind(int kind) { fcdata::Write<uint16_t>(data_, kKindOffset, uint16_t(kind)); }
