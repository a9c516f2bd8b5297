// Makes the number expressions of a numbering run: the number's text in the category's font,
// formatted by the profile with the run's maximum, on a text expression definition described as
// this plug-in's number (an equal definition already in the document is used again), placed
// into a cell and shown in the score or the parts as the profile says. Owns none of what it is
// given; the definitions it saves are appended to the given list, which owns them.
#pragma once

#include "framework/core/FCFontInfo.h"
#include "framework/core/FCString.h"
#include "framework/core/__FCBase.h"

#include <map>
#include <string>
#include <tuple>
#include <utility>

class FCCategoryDef;
class FCExpression;
class FCNumberSettingsProfile;
class FCTextExpressionDef;
class FCTextExpressionDefs;

class FCNumberCreator : public __FCBase {
public:
    // The description by which the plug-in knows its own numbers.
    static const char* const kNumberDescription;

    FCNumberCreator(int maxNumber, FCCategoryDef* category, FCTextExpressionDefs* definitions,
                    FCNumberSettingsProfile* profile);
    FCNumberCreator(const FCNumberCreator&) = delete;
    FCNumberCreator& operator=(const FCNumberCreator&) = delete;
    FC_CLASS_INFO(FCNumberCreator)

    int GetMaxNumber() const { return maxNumber_; }
    // A new run reuses the creator with its own maximum.
    void SetMaxNumber(int maxNumber) { maxNumber_ = maxNumber; }

    // Whether the k-th step (from 0) of a run of n steps carries a number: the last one when the
    // profile always numbers the end of the region, else every Steps-th from StartAt on.
    // Steps below 1 are refused before a run starts; here they number nothing.
    static bool IsNumberedStep(const FCNumberSettingsProfile* profile, int k, int n);

    // Creates the expression of number c in cell (measure, staff) at position 0. The caller owns
    // the result; null when a record could not be made.
    FCExpression* CreateNumber(int measure, int staff, int number);

    // Whether the description is the plug-in's number description, unit for unit.
    static bool IsNumberDescription(const FCString* description);

private:
    // (category number, use-category-font, text without its first font command)
    typedef std::tuple<int, bool, std::u16string> DefinitionKey;

    // The text without its first font command ("^font" up to the first ")" after it).
    static std::u16string WithoutFirstFontCommand(const FCString* text);
    // The list's definitions that later numbers may reuse, indexed once.
    void IndexDefinitions();
    void IndexDefinition(FCTextExpressionDef* definition);
    FCTextExpressionDef* FindOrSaveDefinition(const FCString* text, bool useCategoryFont);

    int maxNumber_;
    FCCategoryDef* category_;
    FCTextExpressionDefs* definitions_;
    FCNumberSettingsProfile* profile_;

    // The category's font, read on first use (the category does not change during a run).
    bool fontRead_;
    FCFontInfo font_;
    FCString fontPrefix_;
    // The first reusable definition of each key, in list order.
    bool indexed_;
    std::map<DefinitionKey, FCTextExpressionDef*> index_;
    // The definition found or saved for each (number, maximum), when the search would find it
    // again: the text depends on nothing else while the creator lives, so the other staves of a
    // run take it from here.
    std::map<std::pair<int, int>, FCTextExpressionDef*> numbers_;
};
