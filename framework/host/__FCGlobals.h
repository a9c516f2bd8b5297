// Numbered global definitions: LoadFirst loads number 0, LoadNext the next number.
#pragma once

#include "framework/host/__FCBaseData.h"

class __FCGlobals : public __FCBaseData {
public:
    const char* ClassName() const override { return "__FCGlobals"; }
    bool Load(uint16_t number) {
        SetKeyWord(0, number);
        SetKeyWord(1, 0);
        SetKeyWord(2, 0);
        SetKeyWord(3, 0);
        return Reload();
    }
    bool LoadFirst() override { return Load(0); }
    bool LoadNext() override { return GetKeyWord(0) < 0xFFFF && Load(uint16_t(GetKeyWord(0) + 1)); }
};
