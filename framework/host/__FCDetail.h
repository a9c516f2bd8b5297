// Details keyed by item numbers of their own (the centre parts of smart shapes): words 0 and 1
// are the two item numbers, word 2 the incidence where the detail has one.
#pragma once

#include "framework/host/__FCBaseData.h"

class __FCDetail : public __FCBaseData {
public:
    const char* ClassName() const override { return "__FCDetail"; }
    // Incidence 0 of the current items.
    bool LoadFirst() override;
    // The next incidence of the current items; on failure it is put back.
    bool LoadNext() override;
    bool Load(uint16_t cmper1, uint16_t cmper2, uint16_t inci);
};

class __FCNoInciDetail : public __FCBaseData {
public:
    const char* ClassName() const override { return "__FCNoInciDetail"; }
    bool LoadFirst() override { return false; }
    bool Load(uint16_t cmper1, uint16_t cmper2);
};
