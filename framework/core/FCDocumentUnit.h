// The measurement unit of the open document (1 EVPUs, 2 inches, 3 centimeters, 4 points,
// 5 picas, 6 spaces), for texts that show measurements in "the document's unit". Defined by the
// score layer, which owns the document preferences.
#pragma once

int FCDocumentMeasurementUnit();
