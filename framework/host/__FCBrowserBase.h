// Record browsers: visit the records of one kind one at a time without keeping them.
#pragma once

#include "framework/core/__FCIteratorBase.h"
#include "framework/host/__FCBaseData.h"

class __FCBrowserBase : public __FCIteratorBase {
public:
    const char* ClassName() const override { return "__FCBrowserBase"; }
};

class __FCBrowserBaseData : public __FCBrowserBase {
public:
    const char* ClassName() const override { return "__FCBrowserBaseData"; }
    // slot 6: visits every record through one scratch element; the number of visits.
    int ForEach(FCIteratorHandler* handler) override;
    // slot 7: the first matching record as a new object the caller owns, or null.
    __FCBase* FindFirst(FCIteratorHandler* handler) override;
    // slot 8: the scratch element (the browser owns it while browsing).
    virtual __FCBaseData* CreateElement() = 0;
};

// Browses records without incidence; the element class comes from the concrete browser.
class __FCBrowserNoInciOther : public __FCBrowserBaseData {
public:
    const char* ClassName() const override { return "__FCBrowserNoInciOther"; }
};
