// Anything that can be visited element by element: collections and record browsers.
#pragma once

#include "framework/core/__FCBase.h"

class FCIteratorHandler;

class __FCIteratorBase : public __FCBase {
public:
    const char* ClassName() const override { return "__FCIteratorBase"; }
    // slot 6: visit every element; the number of visits that returned true.
    virtual int ForEach(FCIteratorHandler* handler) = 0;
    // slot 7: the first element the handler matches, or null.
    virtual __FCBase* FindFirst(FCIteratorHandler* handler) = 0;
};
