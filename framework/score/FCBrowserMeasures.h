// Visits every measure of the document in order through one scratch FCMeasure, without keeping
// them. The measure handed to the handler belongs to the browser (FindFirst hands its match over).
#pragma once

#include "framework/host/__FCBrowserBase.h"
#include "framework/score/FCMeasure.h"

class FCBrowserMeasures : public __FCBrowserNoInciOther {
public:
    FC_CLASS_INFO(FCBrowserMeasures)
    __FCBaseData* CreateElement() override { return new FCMeasure; }
};
