#include "framework/entries/FCTuplet.h"

#include "framework/entries/FCNoteEntry.h"

#include <cstring>

namespace {

bool IsFlagWord(int option) { return option == FCTuplet::kDisplayFlags || option == FCTuplet::kDisplayFlags2; }

int OptionOffset(int option) { return (FCTuplet::kRatioWords + option) * 2; }

}  // namespace

FCTuplet::FCTuplet() { UseClearedData(data_, kDataSize); }

bool FCTuplet::Reload() {
    std::memset(data_, 0, sizeof data_);
    return __FCEntryDetail::Reload();
}

void FCTuplet::SetEntryFlag(FCNoteEntry* entry, bool state) {
    if (entry) entry->SetTupletStart(state);
}

int FCTuplet::GetOption(Option option) const {
    if (option < 0 || option >= kOptionCount) return 0;
    return IsFlagWord(option) ? Word(OptionOffset(option)) : fcdata::Read<int16_t>(data_, OptionOffset(option));
}

void FCTuplet::SetOption(Option option, int value) {
    if (option >= 0 && option < kOptionCount) SetWord(OptionOffset(option), value);
}
