#include "tasks/sequences/FCNumberCreator.h"

#include "framework/markings/FCCategoryDef.h"
#include "framework/markings/FCExpression.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCPart.h"
#include "profiles/FCNumberSettingsProfile.h"

#include <memory>

namespace {

// Score/part assignments of a profile.
enum { kScoreAndParts = 0, kScoreOnly = 1, kPartsOnly = 2, kByCurrentView = 3 };

}  // namespace

const char* const FCNumberCreator::kNumberDescription = "QZ Pattern: Number";

FCNumberCreator::FCNumberCreator(int maxNumber, FCCategoryDef* category, FCTextExpressionDefs* definitions,
                                 FCNumberSettingsProfile* profile)
    : maxNumber_(maxNumber),
      category_(category),
      definitions_(definitions),
      profile_(profile),
      fontRead_(false),
      indexed_(false) {}

bool FCNumberCreator::IsNumberedStep(const FCNumberSettingsProfile* profile, int k, int n) {
    if (!profile) return false;
    if (profile->GetAlwaysEndOfRegion() && k == n - 1) return true;
    const int steps = profile->GetSteps();
    if (steps < 1) return false;
    const int fromStart = k - (profile->GetStartAt() - 1);
    return fromStart >= 0 && fromStart % steps == 0;
}

bool FCNumberCreator::IsNumberDescription(const FCString* description) {
    if (!description) return false;
    const FCString number(kNumberDescription);
    return description->IsEqual(&number);
}

std::u16string FCNumberCreator::WithoutFirstFontCommand(const FCString* text) {
    std::u16string units(text->GetUnits(), size_t(text->GetLength()));
    const size_t start = units.find(u"^font");
    if (start == std::u16string::npos) return units;
    const size_t end = units.find(u')', start);
    units.erase(start, end == std::u16string::npos ? std::u16string::npos : end - start + 1);
    return units;
}

void FCNumberCreator::IndexDefinition(FCTextExpressionDef* definition) {
    if (!definition || !definition->GetUseCategoryPlacement()) return;
    FCString text;
    definition->GetDescription(&text);
    if (!IsNumberDescription(&text)) return;
    definition->GetText(&text);
    // emplace keeps the earlier definition of an equal key: the list's first one is found.
    index_.emplace(DefinitionKey(definition->GetCategoryNumber(), definition->GetUseCategoryFont(),
                                 WithoutFirstFontCommand(&text)),
                   definition);
}

void FCNumberCreator::IndexDefinitions() {
    if (indexed_) return;
    indexed_ = true;
    for (int i = 0; i < definitions_->GetCount(); ++i) IndexDefinition(definitions_->GetItemAt(i));
}

FCTextExpressionDef* FCNumberCreator::FindOrSaveDefinition(const FCString* text, bool useCategoryFont) {
    if (!category_ || category_->GetItemNo() < 1 || !definitions_) return nullptr;
    IndexDefinitions();
    // Only a definition assigned to the category (which sets its use of the category's
    // placement) can be an equal one, so the search needs no new definition yet.
    auto found = index_.find(DefinitionKey(category_->GetItemNo(), useCategoryFont, WithoutFirstFontCommand(text)));
    if (found != index_.end()) return found->second;

    std::unique_ptr<FCTextExpressionDef> definition(new FCTextExpressionDef);
    const FCString description(kNumberDescription);
    definition->SetDescription(&description);
    if (!definition->AssignToCategory(category_)) return nullptr;
    if (!useCategoryFont) definition->SetUseCategoryFont(false);
    if (!definition->SetText(text)) return nullptr;
    if (!definition->SaveNew()) {
        definition->DeleteText();
        return nullptr;
    }
    FCTextExpressionDef* saved = definition.release();
    definitions_->Add(saved);
    IndexDefinition(saved);
    return saved;
}

FCExpression* FCNumberCreator::CreateNumber(int measure, int staff, int number) {
    if (!category_ || !profile_) return nullptr;
    const std::pair<int, int> key(number, maxNumber_);
    auto known = numbers_.find(key);
    FCTextExpressionDef* definition = known != numbers_.end() ? known->second : nullptr;
    if (!definition) {
        if (!fontRead_) {
            fontRead_ = true;
            category_->GetTextFontInfo(&font_);
            font_.GetFontCommand(&fontPrefix_, "^fontTxt");
        }
        profile_->SetFontSize(int(font_.GetSize()));

        FCString text;
        text.SetString(&fontPrefix_);
        FCString formatted;
        profile_->FormatNumber(number, maxNumber_, &formatted);
        text.AppendString(&formatted);

        // A maximum in italics or in a smaller size carries its own font commands: the category's
        // font would override them.
        const bool useCategoryFont =
            !(profile_->ShowsMaxValue(number) && (profile_->GetMaxItalics() || profile_->GetMaxValuePtDiff() != 0));
        definition = FindOrSaveDefinition(&text, useCategoryFont);
        if (!definition) return nullptr;
        // Kept only when the search would find it again (hosts before 0x11000000 keep no
        // placement bit, so their numbers never share a definition).
        if (definition->GetUseCategoryPlacement()) numbers_[key] = definition;
    }

    std::unique_ptr<FCExpression> expression(new FCExpression);
    if (!expression->SetTextDefinition(definition)) return nullptr;
    int assignment = profile_->GetScorePartAssignment();
    if (assignment == kByCurrentView) {
        const FCPart current(FCPart::kCurrentPart);
        assignment = current.IsScore() ? kScoreOnly : kPartsOnly;
    }
    if (assignment == kScoreOnly) expression->SetShownInParts(false);
    if (assignment == kPartsOnly) expression->SetShownInScore(false);
    const FCCell cell(measure, staff);
    if (!expression->SaveNewIntoCell(&cell)) return nullptr;
    return expression.release();
}
