// The common base of the framework's streams; it adds nothing to the root object.
#pragma once

#include "framework/core/__FCBase.h"

class __FCBaseStream : public __FCBase {
public:
    FC_CLASS_INFO(__FCBaseStream)
};
