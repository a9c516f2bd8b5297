#include "bench/PeakMemory.h"

#include <windows.h>
#include <psapi.h>

namespace bench {

// Windows keeps the peak working set for the whole life of the process.
bool ResetPeakResident() { return false; }

size_t PeakResident() {
    PROCESS_MEMORY_COUNTERS counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.PeakWorkingSetSize;
}

}  // namespace bench
