#include "framework/core/FCNumberCollection.h"

FCNumber* FCNumberCollection::AddNumber(double value) {
    FCNumber* number = new FCNumber(value);
    Add(number);
    return number;
}

FCNumber* FCNumberCollection::AddStep(int value, bool startsRun) {
    FCNumber* step = new FCNumber(value);
    step->SetUserData(startsRun ? 1 : 0);
    Add(step);
    return step;
}

bool FCNumberCollection::StartsRun(int i) const {
    const FCNumber* step = GetItemAt(i);
    return step && step->GetUserData() == 1;
}

int FCNumberCollection::GetRunEnd(int first) const {
    if (first < 0 || first >= GetCount()) return -1;
    for (int i = first + 1; i < GetCount(); ++i)
        if (StartsRun(i)) return i - 1;
    return GetCount() - 1;
}
