// The stand-in host's layout update (FX_UpdateLayout): it has no pages or widths, so it lays out
// systems by a fixed rule from what the document states. The systems the part in view already
// has are kept exactly; the measures after the last of them, up to the document's last measure,
// are laid out in new systems of kMeasuresPerSystem measures each (the last one may be shorter),
// each holding the part's staff list top to bottom at 100 percent. A part without staves gets no
// systems. Running it again changes nothing.
#pragma once

#include "simhost/RecordView.h"

namespace simhost {

constexpr int kMeasuresPerSystem = 4;

// Lays out the systems of the view's part; false when a record could not be written.
bool UpdateLayout(RecordView& view);

}  // namespace simhost
