// Linux: the dialog service's reset empties the simulated desktop too.
#include "simhost/desktop/Desktop.h"

namespace simhost {

void ResetNativeDesktop() { desktop::Reset(); }

}  // namespace simhost
