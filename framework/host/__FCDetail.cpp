#include "framework/host/__FCDetail.h"

bool __FCDetail::Load(uint16_t cmper1, uint16_t cmper2, uint16_t inci) {
    SetKeyWord(0, cmper1);
    SetKeyWord(1, cmper2);
    SetKeyWord(2, inci);
    SetKeyWord(3, 0);
    return Reload();
}

bool __FCDetail::LoadFirst() { return Load(GetKeyWord(0), GetKeyWord(1), 0); }

bool __FCDetail::LoadNext() { return StepKeyWordAndReload(2, 1); }

bool __FCNoInciDetail::Load(uint16_t cmper1, uint16_t cmper2) {
    SetKeyWord(0, cmper1);
    SetKeyWord(1, cmper2);
    SetKeyWord(2, 0);
    SetKeyWord(3, 0);
    return Reload();
}
