// Orders in which the tasks that spread a chord's pitches over several entries (Reorder Notes,
// Break) take them, where the two share an order.
#pragma once

namespace pitchorders {

// "Staircase - Ascending": the index, among n pitches sorted lowest first, of the one at place i:
// every other pitch upwards from the lowest, then the ones skipped.
inline int StaircaseIndex(int i, int n) {
    const int c = (n + 1) / 2;
    return i < c ? 2 * i : 2 * (i - c) + 1;
}

}  // namespace pitchorders
