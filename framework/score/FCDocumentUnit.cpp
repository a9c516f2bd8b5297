#include "framework/core/FCDocumentUnit.h"

#include "framework/score/FCGeneralPrefs.h"

int FCDocumentMeasurementUnit() {
    FCGeneralPrefs prefs;
    if (!prefs.Load(1)) return 1;
    const int unit = prefs.GetMeasurementUnit();
    return unit >= 1 && unit <= 6 ? unit : 1;
}
