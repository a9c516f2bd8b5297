#include "simhost/SystemLayout.h"

#include "simhost/ScoreQueries.h"
#include "simhost/layouts/ScoreLayouts.h"

#include <algorithm>

namespace simhost {

bool UpdateLayout(RecordView& view) {
    const std::vector<int> staves = StaffList(view, 0);
    if (staves.empty()) return true;
    // The measure after the stated layout, and the next free system number.
    int next = 1;
    int number = 1;
    for (const auto& record : view.StoreFor(layout::staffsystem::kTag).Records(layout::staffsystem::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (key.words[1] || key.words[2] || key.words[3]) continue;
        number = std::max(number, int(key.words[0]) + 1);
        if (record.second.size() < layout::staffsystem::kSize) continue;
        next =
            std::max(next, int(layout::Read<int16_t>(record.second.data(), layout::staffsystem::kNextSystemMeasure)));
    }
    const int last = LastMeasure(view);
    for (int first = next; first <= last && number < 0xFFFF; first += kMeasuresPerSystem, ++number) {
        uint8_t system[layout::staffsystem::kSize] = {0};
        layout::Write<int16_t>(system, layout::staffsystem::kFirstMeasure, int16_t(first));
        layout::Write<int16_t>(system, layout::staffsystem::kNextSystemMeasure,
                               int16_t(std::min(first + kMeasuresPerSystem, last + 1)));
        const FXKey key = {{uint16_t(number), 0, 0, 0}};
        if (!view.Write(layout::staffsystem::kTag, key, system, sizeof system)) return false;
        for (size_t i = 0; i < staves.size(); ++i) {
            uint8_t staff[layout::systemstaff::kSize] = {0};
            layout::Write<int16_t>(staff, layout::systemstaff::kStaff, int16_t(staves[i]));
            const FXKey staffKey = {{uint16_t(number), uint16_t(i), 0, 0}};
            if (!view.Write(layout::systemstaff::kTag, staffKey, staff, sizeof staff)) return false;
        }
    }
    return true;
}

}  // namespace simhost
