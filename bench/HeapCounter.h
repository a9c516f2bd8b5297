// Counts what the benchmark program holds through operator new (the framework's objects, the
// stand-in host's documents and frames), so each measured phase can report its peak.
#pragma once

#include <cstddef>

namespace bench {

// Bytes allocated through operator new and not yet deleted.
size_t HeapInUse();
// The most HeapInUse was since the start or the last reset.
size_t HeapPeak();
// Starts the peak afresh from what is in use now.
void ResetHeapPeak();

}  // namespace bench
