#include "framework/score/FCKeySignature.h"

FCKeySignature::FCKeySignature(uint16_t keyValue) : data_{0, 0} {
    SetFixedData(data_, kDataSize);
    SetKeyValue(keyValue);
}
