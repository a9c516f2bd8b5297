// What Numbered Measures and Numbered Steps share in one Apply: the selected region, the check of
// staff styles that would hide the numbers, the profile and category the run uses (with the
// document's text expression definitions and the number creator), where runs of measures end by
// barline and rehearsal mark, and which measures start or end a system in some part. Lives for
// one Execute; owns the definitions, the creator and the systems it kept, not the profile.
#pragma once

#include "framework/core/__FCCollection.h"
#include "framework/markings/FCCategoryDef.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCPart.h"

#include <memory>

class FCExpression;
class FCNumberCreator;
class FCNumberSettingsProfile;
class FCNumberSettingsProfiles;
class FCUI;

class NumberingRun {
public:
    NumberingRun();
    ~NumberingRun();
    NumberingRun(const NumberingRun&) = delete;
    NumberingRun& operator=(const NumberingRun&) = delete;

    // The user's selection; false when there is none or it is empty.
    bool LoadRegion();
    const FCMusicRegion* GetRegion() const { return &region_; }

    // Looks for a staff style lying wholly in the region that hides expressions, and asks the
    // user at the first one. False when the user does not want to go on.
    bool CheckStaffStyles(FCUI* ui);

    // The profile and category the run uses (entries of the window's lists), the category as the
    // document holds it and all text expression definitions. False when any is missing.
    bool Prepare(FCNumberSettingsProfiles* profiles, int profileIndex, FCCategoryDefs* categories, int categoryIndex);
    FCNumberSettingsProfile* GetProfile() const { return profile_; }
    // Made by Prepare; null before.
    FCNumberCreator* GetCreator() const { return creator_.get(); }

    // Whether the measure ends a run by its barline style (double, final or solid, as the
    // profile restarts after them).
    bool EndsRunByBarline(int measure) const;
    // The last measure of the run of measures that starts at first.
    int CalcRunEnd(int first) const;
    // Whether a text expression of the measure (any staff) is a rehearsal mark.
    static bool HasRehearsalMark(int measure);

    // Whether the profile wants numbers at system starts or ends.
    bool NumbersSystems() const;
    // Lays out and keeps the systems of every part that holds a staff of the region.
    void LoadSystems();
    bool StartsSystem(int measure) const;
    bool EndsSystem(int measure) const;
    // For a number placed only for a system start or end: in each part, it is shown exactly when
    // the measure starts (or ends) one of that part's systems.
    void ShowSystemNumberInParts(FCExpression* expression, int measure);

private:
    bool StartsSystemOfPart(int partIndex, int measure) const;
    bool EndsSystemOfPart(int partIndex, int measure) const;

    FCMusicRegion region_;
    FCNumberSettingsProfile* profile_;
    FCCategoryDef category_;
    FCTextExpressionDefs definitions_;
    std::unique_ptr<FCNumberCreator> creator_;
    // Every part, and for each the FCStaffSystems kept for it (its user data is the index + 1
    // into systems_; 0 when its systems were not needed).
    FCParts parts_;
    __FCCollection systems_;
};
