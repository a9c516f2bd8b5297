#include "simhost/SystemLayout.h"

#include "framework/score/FCStaffSystem.h"
#include "framework/score/FCSystemStaff.h"
#include "simhost/ScoreQueries.h"

#include <algorithm>

namespace simhost {

bool UpdateLayout(RecordView& view) {
    const std::vector<int> staves = StaffList(view, 0);
    if (staves.empty()) return true;
    // The measure after the stated layout, and the next free system number.
    int next = 1;
    int number = 1;
    for (const auto& record : view.StoreFor(FCStaffSystem::kTag).Records(FCStaffSystem::kTag)) {
        const FXKey key = RecordStore::KeyFromOrder(record.first);
        if (key.words[1] || key.words[2] || key.words[3]) continue;
        number = std::max(number, int(key.words[0]) + 1);
        if (record.second.size() < FCStaffSystem::kDataSize) continue;
        next = std::max(next, int(fcdata::Read<int16_t>(record.second.data(), FCStaffSystem::kNextSystemMeasureOffset)));
    }
    const int last = LastMeasure(view);
    for (int first = next; first <= last && number < 0xFFFF; first += kMeasuresPerSystem, ++number) {
        uint8_t system[FCStaffSystem::kDataSize] = {0};
        fcdata::Write<int16_t>(system, FCStaffSystem::kFirstMeasureOffset, int16_t(first));
        fcdata::Write<int16_t>(system, FCStaffSystem::kNextSystemMeasureOffset,
                               int16_t(std::min(first + kMeasuresPerSystem, last + 1)));
        const FXKey key = {{uint16_t(number), 0, 0, 0}};
        if (!view.Write(FCStaffSystem::kTag, key, system, sizeof system)) return false;
        for (size_t i = 0; i < staves.size(); ++i) {
            uint8_t staff[FCSystemStaff::kDataSize] = {0};
            fcdata::Write<int16_t>(staff, FCSystemStaff::kStaffOffset, int16_t(staves[i]));
            const FXKey staffKey = {{uint16_t(number), uint16_t(i), 0, 0}};
            if (!view.Write(FCSystemStaff::kTag, staffKey, staff, sizeof staff)) return false;
        }
    }
    return true;
}

}  // namespace simhost
