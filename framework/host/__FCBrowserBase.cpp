#include "framework/host/__FCBrowserBase.h"

#include "framework/core/FCIteratorHandler.h"

#include <memory>

int __FCBrowserBaseData::ForEach(FCIteratorHandler* handler) {
    if (!handler || !handler->PreCheck()) return 0;
    std::unique_ptr<__FCBaseData> element(CreateElement());
    int visited = 0;
    if (element && element->LoadFirst() && handler->PreLoop()) {
        for (;;) {
            if (!handler->Iterate(element.get())) break;
            ++visited;
            if (!element->LoadNext()) break;
        }
        handler->PostLoopSuccess();
    }
    handler->PostLoop();
    return visited;
}

__FCBase* __FCBrowserBaseData::FindFirst(FCIteratorHandler* handler) {
    if (!handler || !handler->PreCheck()) return nullptr;
    std::unique_ptr<__FCBaseData> element(CreateElement());
    if (element && element->LoadFirst() && handler->PreLoop()) {
        do {
            if (handler->IsMatch(element.get())) {
                handler->PostLoopSuccess();
                return element.release();
            }
        } while (element->LoadNext());
    }
    handler->PostLoop();
    return nullptr;
}
