// The base of an operation that runs inside one undoable host edit: FCUndoBlock::Run opens the
// edit, calls Execute and closes it. The handler knows the block that runs it only while Run
// lasts; it does not own the block.
#pragma once

#include "framework/core/__FCBase.h"

class FCUndoBlock;

class __FCUndoBlockHandler : public __FCBase {
public:
    __FCUndoBlockHandler() : undoBlock_(nullptr) {}

    int GetClassID() const override { return kClassID___FCUndoBlockHandler; }
    const char* ClassName() const override { return "__FCUndoBlockHandler"; }

    // slot 6: the work; true when the document was changed (the edit is then kept).
    virtual bool Execute() = 0;

    // The block running this handler, null while the handler is idle.
    FCUndoBlock* GetUndoBlock() const { return undoBlock_; }

private:
    friend class FCUndoBlock;
    FCUndoBlock* undoBlock_;
};
