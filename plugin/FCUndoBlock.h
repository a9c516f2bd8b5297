// Runs an __FCUndoBlockHandler inside one named host edit, so that everything the handler changes
// becomes one entry of the host's undo list, or nothing at all when it changed nothing. Owns
// neither the handler nor the name.
#pragma once

#include "framework/core/__FCBase.h"

class FCString;
class __FCUndoBlockHandler;

class FCUndoBlock : public __FCBase {
public:
    // The longest edit name handed to the host, in characters.
    static constexpr int kMaxEditNameLength = 63;

    FCUndoBlock() : running_(false) {}
    FC_CLASS_INFO(FCUndoBlock)

    // Opens a host edit with the name (cut to kMaxEditNameLength characters), calls the
    // handler's Execute and ends the edit when Execute returned true, cancels it otherwise.
    // Execute's result; false without calling it when either argument is null or the host did
    // not open the edit.
    bool Run(__FCUndoBlockHandler* handler, const FCString* name);
    // True only while the handler's Execute is being called.
    bool IsRunning() const { return running_; }

private:
    bool OpenEdit(const FCString* name);

    bool running_;
};
