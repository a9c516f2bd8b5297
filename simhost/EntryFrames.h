// The entry frames the stand-in host hands out: packed copies of one layer of one staff in one
// measure (header, entry records, tuplet spans in the layouts of simhost/layouts/ScoreLayouts.h),
// owned by the caller until it frees them. The host remembers every frame it handed out with the
// arrays it allocated, so a frame that is unknown, already freed or whose header was tampered
// with is refused, and no call ever writes past what the host allocated. Saving stores the frame
// back into the document it came from.
#pragma once

#include <cstdint>

namespace simhost {

// A new frame of the current document, or null when the staff list, slot, measure or layer does
// not exist.
void* LoadFrame(int staffList, int slot, int measure, int layer);
// Stores the frame's entries as the layer's entries: records of duration 0 are deleted (with
// the details of their entries), records without an entry number get new numbers, entries the
// frame no longer holds are deleted with their details. Refuses (false, nothing stored) a locked
// frame, a note count outside 0-12, a negative or oversized duration, an entry number the host
// never issued, one that appears twice or lives in another frame.
bool SaveFrame(void* frame);
bool FreeFrame(void* frame);
// Frees every frame handed out: a plug-in that never gave its frames back leaves nothing behind
// when the session ends.
void FreeAllFrames();
// Inserts count blank records before index (0 to the entry count); refused in a locked frame.
bool InsertFrameEntries(void* frame, int index, int count);
// Removes count records from index on; refused in a locked frame.
bool DeleteFrameEntries(void* frame, int index, int count);
// The number of frames handed out and not yet freed.
int LiveFrameCount();

// Fills the caller's metrics block (layout::frame::kMetricsSize bytes) for an entry of the
// current document placed in that staff and measure; false when there is no such entry.
bool FillEntryMetrics(int staff, int measure, int32_t entryNumber, void* block);

}  // namespace simhost
