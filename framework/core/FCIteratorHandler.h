// The callback object of the visitors and the sort of collections and record browsers: its
// virtual operations are called back for each element (visit, match, compare).
#pragma once

#include "framework/core/__FCBase.h"

class FCIteratorHandler : public __FCBase {
public:
    FC_CLASS_INFO(FCIteratorHandler)

    // slot 6: called by ForEach; false stops the visit.
    virtual bool Iterate(__FCBase* /*element*/) { return true; }
    // slot 7: a second per-element callback; nothing in the system calls it.
    virtual bool IterateSecond(__FCBase* /*element*/) { return false; }
    // slot 8: called by ForEachIndex.
    virtual bool IterateIndex(__FCBase* /*element*/, int /*index*/) { return true; }
    // slot 9: called by FindFirst.
    virtual bool IsMatch(__FCBase* /*element*/) { return false; }
    // slot 10: called by Sort; positive when a must come after b.
    virtual int Compare(__FCBase* /*a*/, __FCBase* /*b*/) { return 0; }
    // slots 11-14: record browsers before loading, after the first record, at the end, and
    // after a loop that ran.
    virtual bool PreCheck() { return true; }
    virtual bool PreLoop() { return true; }
    virtual void PostLoop() {}
    virtual void PostLoopSuccess() {}
};
