// A number held both as the value it was made from (32-bit float) and as that value truncated
// toward zero (32-bit integer); FCNumbers is an owning collection of them.
#pragma once

#include "framework/core/__FCBase.h"
#include "framework/core/__FCCollection.h"

class FCNumber : public __FCBase {
public:
    explicit FCNumber(double value = 0) { SetFloat(value); }
    FC_CLASS_INFO(FCNumber)

    // Sets both values; the integer is the value truncated toward zero (clamped to the int range).
    void SetFloat(double value);
    float GetFloat() const { return float_; }
    int GetInt() const { return int_; }

private:
    int int_;
    float float_;
};

class FCNumbers : public __FCCollection {
public:
    FC_CLASS_INFO(FCNumbers)

    FCNumber* GetItemAt(int i) const { return ItemAs<FCNumber>(i); }
    FCNumber* GetLastItem() const { return ItemAs<FCNumber>(GetCount() - 1); }
    // Appends a new number and returns it (owned by the collection).
    FCNumber* AddNumber(double value);
};
