// The entries of a composite time signature, flattened from its element records in incidence
// order, and their grouping: group g runs from its group-start entry up to the next group start.
// Shared by the composite collections and by the stand-in host, which reads the same records.
#pragma once

#include <vector>

class CompositeEntries {
public:
    void Clear() { entries_.clear(); }
    // A top element: an unused first entry makes the whole element unused.
    void AppendTopElement(const void* record);
    // A bottom element: the entries after an unused one are ignored.
    void AppendBottomElement(const void* record);

    int GetEntryCount() const { return int(entries_.size()); }
    int GetGroupCount() const;
    // 0 for a group that does not exist.
    int GetGroupElementCount(int group) const;
    // Word 0 of the i-th entry of the group (beats for a top, EDUs for a bottom); 0 when none.
    int GetGroupElementValue(int group, int index) const;

private:
    struct Entry {
        int value;
        bool startsGroup;
    };
    // Index of the group's start entry, or -1.
    int GroupStart(int group) const;

    std::vector<Entry> entries_;
};
