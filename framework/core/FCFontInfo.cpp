#include "framework/core/FCFontInfo.h"

#include "framework/core/FCString.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

FCFontInfo::FCFontInfo() : number_(0), size_(12.0f), effects_(0) { SetName("Times New Roman"); }

void FCFontInfo::SetName(const char* name) {
    if (!name) name = "";
    std::strncpy(name_, name, sizeof name_ - 1);
    name_[sizeof name_ - 1] = 0;
}

void FCFontInfo::GetFontCommand(FCString* destination, const char* command) const {
    if (!destination) return;
    destination->SetCString(command && *command ? command : "^font");
    destination->AppendCString("(");
    destination->AppendCString(name_);
    destination->AppendCString(")^size(");
    // The size is written as a 16-bit integer; sizes outside that range are clamped.
    const float whole = std::trunc(size_);
    int16_t size = 0;
    if (whole >= 32767.0f)
        size = 32767;
    else if (whole <= -32768.0f)
        size = -32768;
    else if (!std::isnan(whole))
        size = int16_t(whole);
    destination->AppendInteger(size);
    destination->AppendCString(")^nfx(");
    char effects[16];
    std::snprintf(effects, sizeof effects, "%u", unsigned(effects_));
    destination->AppendCString(effects);
    destination->AppendCString(")");
}
