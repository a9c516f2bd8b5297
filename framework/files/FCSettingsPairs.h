// Key/value pairs as they appear in the lines of a settings file: FCSettingsPair is one line's
// key and value, FCSettingsPairs the lines of one file in file order, owning its pairs.
#pragma once

#include "framework/core/FCString.h"
#include "framework/core/__FCCollection.h"

class FCSettingsPair : public __FCBase {
public:
    // Copies both texts, without blanks, tabs and line ends at either end.
    FCSettingsPair(const FCString* key, const FCString* value);
    FCSettingsPair(const FCSettingsPair&) = delete;
    FCSettingsPair& operator=(const FCSettingsPair&) = delete;

    FC_CLASS_INFO(FCSettingsPair)

    const FCString* GetKey() const { return &key_; }
    const FCString* GetValue() const { return &value_; }
    // The key in the form keys are compared in (lower case), kept so that a lookup in a file of
    // many lines need not fold every key again.
    const FCString* GetFoldedKey() const { return &foldedKey_; }
    // Copies the value, trimmed like the constructor's.
    void SetValue(const FCString* value);
    // A new pair with the same key and value; the caller owns it.
    FCSettingsPair* Clone() const;

private:
    FCString key_;
    FCString foldedKey_;
    FCString value_;
};

class FCSettingsPairs : public __FCCollection {
public:
    FC_CLASS_INFO(FCSettingsPairs)

    FCSettingsPair* GetItemAt(int i) const { return ItemAs<FCSettingsPair>(i); }

    // The first pair whose key equals key regardless of case, or null. Owned by the collection.
    FCSettingsPair* FindKey(const FCString* key) const;
    // Replaces the value of the first pair with the key, or appends a new pair when none has it.
    void SetValue(const FCString* key, const FCString* value);
};
