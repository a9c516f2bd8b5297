// What the operating system says about the benchmark process's memory: the peak resident size,
// which a platform can start afresh before each measured phase.
#pragma once

#include <cstddef>

namespace bench {

// Starts the peak resident size afresh from the current size; false when the platform cannot.
bool ResetPeakResident();
// The process's peak resident size in bytes since the start or the last reset; 0 when unknown.
size_t PeakResident();

}  // namespace bench
