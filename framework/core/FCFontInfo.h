// A font: name (8-bit, up to 255 characters), host font number, size and effects; writes the
// caret font command that selects it in an expression text.
#pragma once

#include "framework/core/__FCBase.h"

#include <cstdint>

class FCString;

class FCFontInfo : public __FCBase {
public:
    FCFontInfo();
    FC_CLASS_INFO(FCFontInfo)

    const char* GetName() const { return name_; }
    void SetName(const char* name);
    int16_t GetNameNumber() const { return number_; }
    void SetNameNumber(int16_t number) { number_ = number; }
    float GetSize() const { return size_; }
    void SetSize(float size) { size_ = size; }
    uint16_t GetEffects() const { return effects_; }
    void SetEffects(uint16_t effects) { effects_ = effects; }

    // destination := command (or "^font") "(" name ")^size(" size ")^nfx(" effects ")".
    void GetFontCommand(FCString* destination, const char* command) const;

private:
    char name_[256];
    int16_t number_;
    float size_;
    uint16_t effects_;
};
