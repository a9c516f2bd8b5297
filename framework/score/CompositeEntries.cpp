#include "framework/score/CompositeEntries.h"

#include "framework/score/FCCompositeTimeSigBottom.h"
#include "framework/score/FCCompositeTimeSigTop.h"

void CompositeEntries::AppendTopElement(const void* record) {
    typedef __FCCompositeTimeSigTopElement Top;
    if (!record || !Top::IsEntryUsed(record, 0)) return;
    for (int i = 0; i < Top::kEntryCount; ++i) {
        if (!Top::IsEntryUsed(record, i)) continue;
        entries_.push_back(Entry{Top::EntryBeats(record, i), Top::EntryStartsGroup(record, i)});
    }
}

void CompositeEntries::AppendBottomElement(const void* record) {
    typedef __FCCompositeTimeSigBottomElement Bottom;
    if (!record) return;
    for (int i = 0; i < Bottom::kEntryCount; ++i) {
        if (!Bottom::IsEntryUsed(record, i)) break;
        entries_.push_back(Entry{Bottom::EntryDuration(record, i), Bottom::EntryStartsGroup(record, i)});
    }
}

int CompositeEntries::GetGroupCount() const {
    int count = 0;
    for (const Entry& e : entries_)
        if (e.startsGroup) ++count;
    return count;
}

int CompositeEntries::GroupStart(int group) const {
    if (group < 0) return -1;
    int seen = -1;
    for (int i = 0; i < int(entries_.size()); ++i) {
        if (entries_[size_t(i)].startsGroup && ++seen == group) return i;
    }
    return -1;
}

int CompositeEntries::GetGroupElementCount(int group) const {
    const int start = GroupStart(group);
    if (start < 0) return 0;
    int count = 1;
    for (size_t i = size_t(start) + 1; i < entries_.size() && !entries_[i].startsGroup; ++i) ++count;
    return count;
}

int CompositeEntries::GetGroupElementValue(int group, int index) const {
    if (index < 0 || index >= GetGroupElementCount(group)) return 0;
    return entries_[size_t(GroupStart(group) + index)].value;
}
