#include "framework/files/FCSettingsPairs.h"

FCSettingsPair::FCSettingsPair(const FCString* key, const FCString* value) {
    key_.SetString(key);
    key_.TrimWhitespace();
    foldedKey_.SetString(&key_);
    foldedKey_.ToLowerCase();
    SetValue(value);
}

void FCSettingsPair::SetValue(const FCString* value) {
    value_.SetString(value);
    value_.TrimWhitespace();
}

FCSettingsPair* FCSettingsPair::Clone() const { return new FCSettingsPair(&key_, &value_); }

FCSettingsPair* FCSettingsPairs::FindKey(const FCString* key) const {
    if (!key) return nullptr;
    FCString wanted;
    wanted.SetString(key);
    wanted.ToLowerCase();
    for (int i = 0; i < GetCount(); ++i) {
        FCSettingsPair* pair = GetItemAt(i);
        // Whole code units: comparing only the low bytes would let a foreign key pass for one of ours.
        if (pair && pair->GetFoldedKey()->IsEqual(&wanted)) return pair;
    }
    return nullptr;
}

void FCSettingsPairs::SetValue(const FCString* key, const FCString* value) {
    if (FCSettingsPair* pair = FindKey(key)) {
        pair->SetValue(value);
        return;
    }
    Add(new FCSettingsPair(key, value));
}
