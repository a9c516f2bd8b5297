// Delete Numbers: removes the number expressions this plug-in wrote in the selected measures,
// known only by their definition's description. Whole measures count; the definitions stay for
// later numbers to reuse.
#include "framework/markings/FCExpression.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "framework/score/FCMusicRegion.h"
#include "tasks/sequences/FCNumberCreator.h"
#include "tasks/sequences/FCSequencesBlockHandler.h"

#include <map>
#include <memory>

bool FCSequencesBlockHandler::DeleteNumbers(const FCMusicRegion* region) {
    if (!region || region->IsEmpty()) return false;
    // Whether each definition number is one of the plug-in's numbers, read once.
    std::map<int, bool> numberDefinitions;
    bool deleted = false;
    for (int measure = region->GetStartMeasure(); measure <= region->GetEndMeasure(); ++measure) {
        if (measure < 1 || measure >= 0xFFFF) continue;
        FCExpressions expressions;
        expressions.LoadAllForItem(uint16_t(measure));
        // From the last: deleting an incidence moves the later ones down.
        for (int i = expressions.GetCount() - 1; i >= 0; --i) {
            FCExpression* expression = expressions.GetItemAt(i);
            if (expression->IsShape() || !region->IsStaffIncluded(expression->GetStaff())) continue;
            auto known = numberDefinitions.find(expression->GetDefinitionNumber());
            if (known == numberDefinitions.end()) {
                std::unique_ptr<FCTextExpressionDef> definition(expression->CreateTextExpressionDef());
                bool isNumber = false;
                if (definition) {
                    FCString description;
                    definition->GetDescription(&description);
                    isNumber = FCNumberCreator::IsNumberDescription(&description);
                }
                known = numberDefinitions.emplace(expression->GetDefinitionNumber(), isNumber).first;
            }
            if (known->second && expression->DeleteData()) deleted = true;
        }
    }
    return deleted;
}

bool FCSequencesBlockHandler::ExecuteDeleteNumbers() {
    FCMusicRegion region;
    if (!region.SetCurrentSelection() || region.IsEmpty()) return false;
    return DeleteNumbers(&region);
}
