// The option panels of the Sequences tasks on the simulated desktop, with the category and
// profile popups that follow the window's categories and number profiles; the profile editor
// button; the category check before numbering beats.
#include "tests/tasks/PanelTest.h"

#include "framework/core/FCString.h"

#include <climits>

using namespace taskwindow;
using tasktest::Placed;

namespace {

class SequencesPanel : public tasktest::PanelTest {
protected:
    // The window's categories: these names, with item numbers from 1 and the alignments given.
    void SetCategories(const std::vector<std::string>& names, const std::vector<int>& alignments = {}) {
        window->categories.ClearAll();
        for (size_t i = 0; i < names.size(); ++i) {
            FCCategoryDef* category = new FCCategoryDef;
            FCString name;
            name.SetUTF8(names[i].c_str());
            category->SetName(&name);
            if (i < alignments.size()) category->SetHorizontalAlignment(alignments[i]);
            window->categories.Add(category);
        }
    }
    // The same categories saved in the document under numbers 1, 2, ... and loaded into the window.
    void SaveCategories(const std::vector<std::string>& names, const std::vector<int>& alignments) {
        SetCategories(names, alignments);
        for (int i = 0; i < window->categories.GetCount(); ++i)
            ASSERT_TRUE(window->categories.GetItemAt(i)->SaveAs(uint16_t(i + 1)));
        ASSERT_EQ(int(names.size()), window->categories.LoadAll());
    }
    void SetProfiles(const std::vector<std::string>& names) {
        window->profiles.ClearAll();
        for (const std::string& text : names) {
            FCNumberSettingsProfile* profile = new FCNumberSettingsProfile;
            FCString name(text.c_str());
            profile->SetName(&name);
            window->profiles.Add(profile);
        }
    }
};

const std::vector<std::string> kCategoryNames = {"Dynamics", "Tempo Marks", "Expressive Text", "Technique Text"};
const std::vector<std::string> kProfileNames = {"Default Profile", "Roman", "Bracketed"};

}  // namespace

TEST_F(SequencesPanel, PanelsShowTheirControlsWhereTheLayoutPutsThem) {
    Open();
    SetCategories(kCategoryNames);
    SetProfiles(kProfileNames);
    const char* categories = "Dynamics|Tempo Marks|Expressive Text|Technique Text";
    const char* profiles = "Default Profile|Roman|Bracketed";
    ExpectPanel(
        1402,
        {{kStatic1, 210, 29, 180, "Note counts in groups:"},
         {kEdit1, 210, 43, 180},
         {kStatic2, 405, 29, 105, "Sequence type:"},
         {kPopup1, 405, 43, 105, "", "ABBBBBB|AAAAAAB|ABBBBBA"},
         {kStatic3, 210, 82, 180, "Groups:"},
         {kPopup2, 210, 96, 180, "", "Beam to Time Signature|Beam to Sequence Groups|Rebar to Sequence Groups"},
         {kStatic4, 210, 134, 180, "Rests:"},
         {kPopup3, 210, 148, 180, "", "Don't Affect Rest Durations|Group to Time Signature|Group to Sequence Groups"}});
    ExpectPanel(1403, {{kStatic1, 210, 16, 210, "Category:"},
                       {kPopup1, 210, 30, 210, "", categories},
                       {kStatic2, 210, 68, 210, "Profile:"},
                       {kPopup2, 210, 82, 210, "", profiles},
                       {kTaskButton, 435, 81, 75, "Profiles..."},
                       {kCheck1, 210, 121, 240, "Replace Existing Numbers"}});
    ExpectPanel(1404, {{kStatic1, 210, 16, 150, "Step Method:"},
                       {kPopup1, 210, 30, 150, "",
                        "Beat in measure|After Double Barlines|After Final Barlines|Measures in Groups of:"},
                       {kEdit1, 375, 30, 45, "", "", false},
                       {kStatic2, 210, 68, 210, "Category:"},
                       {kPopup2, 210, 82, 210, "", categories},
                       {kStatic3, 210, 121, 210, "Profile:"},
                       {kPopup3, 210, 135, 210, "", profiles},
                       {kTaskButton, 435, 134, 75, "Profiles..."},
                       {kCheck1, 210, 174, 240, "Replace Existing Numbers"}});
    ExpectPanel(1405, {});
}

TEST_F(SequencesPanel, PanelsShowTheSettingsAndStoreTheUsersChanges) {
    Open();
    SetCategories(kCategoryNames);
    SetProfiles(kProfileNames);
    PatternSettings& settings = ThePatternSettings();
    settings.QZPT_SEQUENCES_TWOSTATES_NUMBERSTRING.SetCString("4 4 3");
    settings.QZPT_SEQUENCES_TWOSTATES_TYPE = 2;
    settings.QZPT_SEQUENCES_TWOSTATES_GROUPING = 0;
    settings.QZPT_SEQUENCES_TWOSTATES_REST = 2;
    settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYIDX = 2;
    settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYNAME.SetCString("Expressive Text");
    settings.QZPT_SEQUENCES_NUMMEASURES_PROFILE = 1;
    settings.QZPT_SEQUENCES_NUMMEASURES_REPLACE = false;
    settings.QZPT_SEQUENCES_NUMSTEPS_METHOD = 3;
    settings.QZPT_SEQUENCES_NUMSTEPS_METHODNUMBER = 4;
    settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYIDX = 1;
    settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME.SetCString("Tempo Marks");
    settings.QZPT_SEQUENCES_NUMSTEPS_PROFILE = 2;
    settings.QZPT_SEQUENCES_NUMSTEPS_REPLACE = false;

    Show(1402);
    ExpectValues({{kEdit1, "4 4 3"},
                  {kPopup1, "ABBBBBA"},
                  {kPopup2, "Beam to Time Signature"},
                  {kPopup3, "Group to Sequence Groups"}});
    ASSERT_TRUE(Type(kEdit1, " 3-x+2 "));
    ASSERT_TRUE(Choose(kPopup1, 1));
    ASSERT_TRUE(Choose(kPopup2, 2));
    ASSERT_TRUE(Choose(kPopup3, 0));
    StoreBySelectingAnotherTask();
    EXPECT_EQ(" 3-x+2 ", settings.QZPT_SEQUENCES_TWOSTATES_NUMBERSTRING.GetUTF8()) << "kept as typed";
    EXPECT_EQ(1, settings.QZPT_SEQUENCES_TWOSTATES_TYPE);
    EXPECT_EQ(2, settings.QZPT_SEQUENCES_TWOSTATES_GROUPING);
    EXPECT_EQ(0, settings.QZPT_SEQUENCES_TWOSTATES_REST);

    Show(1403);
    ExpectValues({{kPopup1, "Expressive Text"}, {kPopup2, "Roman"}, {kCheck1, "off"}});
    ASSERT_TRUE(Choose(kPopup1, 3));
    ASSERT_TRUE(Choose(kPopup2, 2));
    ASSERT_TRUE(Toggle(kCheck1));
    StoreBySelectingAnotherTask();
    EXPECT_EQ(3, settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYIDX);
    EXPECT_EQ("Technique Text", settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYNAME.GetUTF8());
    EXPECT_EQ(2, settings.QZPT_SEQUENCES_NUMMEASURES_PROFILE) << "the third profile";
    EXPECT_TRUE(settings.QZPT_SEQUENCES_NUMMEASURES_REPLACE);

    Show(1404);
    ExpectValues({{kPopup1, "Measures in Groups of:"},
                  {kEdit1, "4"},
                  {kPopup2, "Tempo Marks"},
                  {kPopup3, "Bracketed"},
                  {kCheck1, "off"}});
    ASSERT_TRUE(Type(kEdit1, "500"));
    ASSERT_TRUE(Choose(kPopup1, 2));
    ASSERT_TRUE(Choose(kPopup2, 0));
    ASSERT_TRUE(Choose(kPopup3, 0));
    ASSERT_TRUE(Toggle(kCheck1));
    StoreBySelectingAnotherTask();
    EXPECT_EQ(2, settings.QZPT_SEQUENCES_NUMSTEPS_METHOD);
    EXPECT_EQ(500, settings.QZPT_SEQUENCES_NUMSTEPS_METHODNUMBER) << "not clamped";
    EXPECT_EQ(0, settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYIDX);
    EXPECT_EQ("Dynamics", settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME.GetUTF8());
    EXPECT_EQ(0, settings.QZPT_SEQUENCES_NUMSTEPS_PROFILE);
    EXPECT_TRUE(settings.QZPT_SEQUENCES_NUMSTEPS_REPLACE);

    // Group sizes are stored as typed, whatever they are.
    for (const char* typed : {"-7", "0", "abc"}) {
        Show(1404);
        ASSERT_TRUE(Choose(kPopup1, 3));
        ASSERT_TRUE(Type(kEdit1, typed));
        StoreBySelectingAnotherTask();
        EXPECT_EQ(FCString(typed).GetInteger(), settings.QZPT_SEQUENCES_NUMSTEPS_METHODNUMBER) << typed;
    }
}

TEST_F(SequencesPanel, CategoryPopupSelectsTheStoredIndexUnlessTheStoredNameIsElsewhere) {
    struct Row {
        const char* what;
        std::vector<std::string> categories;
        int storedIndex;
        const char* storedName;
        std::string shown;      // selected row ("(none)" for an empty popup)
        std::string nameAfter;  // the stored name afterwards
    };
    const Row rows[] = {
        {"index and name agree", kCategoryNames, 1, "Tempo Marks", "Tempo Marks", "Tempo Marks"},
        {"index past the end", kCategoryNames, 9, "", "Technique Text", "Technique Text"},
        {"huge index", kCategoryNames, INT_MAX, "", "Technique Text", "Technique Text"},
        {"negative index", kCategoryNames, -4, "", "Dynamics", "Dynamics"},
        {"name elsewhere wins", kCategoryNames, 0, "Expressive Text", "Expressive Text", "Expressive Text"},
        {"name past the end elsewhere", kCategoryNames, 12, "Tempo Marks", "Tempo Marks", "Tempo Marks"},
        {"name nowhere", kCategoryNames, 2, "Rehearsal Marks", "Expressive Text", "Expressive Text"},
        {"names compare exactly", kCategoryNames, 0, "tempo marks", "Dynamics", "Dynamics"},
        {"first of equal names", {"Misc", "Text", "Misc"}, 1, "Misc", "Misc", "Misc"},
        {"no categories", {}, 1, "Tempo Marks", "(none)", "Tempo Marks"},
    };
    Open();
    SetProfiles(kProfileNames);
    PatternSettings& settings = ThePatternSettings();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetCategories(row.categories);
        window->SelectTask(1405);
        settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYIDX = row.storedIndex;
        settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYNAME.SetCString(row.storedName);
        settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYIDX = row.storedIndex;
        settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME.SetCString(row.storedName);
        Show(1403);
        EXPECT_EQ(row.categories, driver.Rows(Item(kPopup1)));
        EXPECT_EQ(row.shown, Shown(kPopup1));
        EXPECT_EQ(row.nameAfter, settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYNAME.GetUTF8());
        Show(1404);
        EXPECT_EQ(row.shown, Shown(kPopup2));
        EXPECT_EQ(row.nameAfter, settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME.GetUTF8());
    }
    // With no category the stored index is the popup's (none) and the name is empty.
    Show(1405);
    EXPECT_EQ(-1, settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYIDX);
    EXPECT_EQ("", settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME.GetUTF8());
}

TEST_F(SequencesPanel, CategoryListChangesRefillTheCategoryPopupOfTheNumberingTasksOnly) {
    Open();
    SetCategories(kCategoryNames);
    SetProfiles(kProfileNames);
    ThePatternSettings().QZPT_SEQUENCES_NUMMEASURES_CATEGORYIDX = 3;
    ThePatternSettings().QZPT_SEQUENCES_NUMMEASURES_CATEGORYNAME.SetCString("Technique Text");
    Show(1403);
    // A category was inserted in front: the stored name finds its row again.
    SetCategories({"Dynamics", "Chords", "Tempo Marks", "Expressive Text", "Technique Text"});
    window->Call(1403, [this](FCPatternTaskBlockHandler* h) { h->FillCategoryList(&window->categories); });
    EXPECT_EQ(5u, driver.Rows(Item(kPopup1)).size());
    EXPECT_EQ("Technique Text", Shown(kPopup1));
    EXPECT_EQ(kProfileNames, driver.Rows(Item(kPopup2))) << "the profile popup is left alone";

    // Other tasks ignore it.
    Show(1402);
    const std::vector<std::string> before = driver.Rows(Item(kPopup1));
    for (int task : {1402, 1405, 1001, 1202})
        window->Call(task, [this](FCPatternTaskBlockHandler* h) { h->FillCategoryList(&window->categories); });
    EXPECT_EQ(before, driver.Rows(Item(kPopup1)));
}

TEST_F(SequencesPanel, ProfilePopupsClampTheIndexAndWriteItBack) {
    Open();
    SetCategories(kCategoryNames);
    SetProfiles(kProfileNames);
    struct Row {
        int index;
        int expected;
    };
    const Row rows[] = {{0, 0}, {2, 2}, {3, 2}, {INT_MAX, 2}, {-1, 0}, {INT_MIN, 0}};
    for (int task : {1403, 1404}) {
        const int popup = task == 1403 ? kPopup2 : kPopup3;
        for (const Row& row : rows) {
            SCOPED_TRACE(std::to_string(task) + " index " + std::to_string(row.index));
            // Stored index.
            window->SelectTask(1405);
            ThePatternSettings().QZPT_SEQUENCES_NUMMEASURES_PROFILE = row.index;
            ThePatternSettings().QZPT_SEQUENCES_NUMSTEPS_PROFILE = row.index;
            Show(task);
            EXPECT_EQ(kProfileNames[size_t(row.expected)], Shown(popup));
            // FillProfileList and SelectProfile after the profile editor closed.
            int index = row.index;
            window->Call(task, [&](FCPatternTaskBlockHandler* h) { h->FillProfileList(&window->profiles, &index); });
            EXPECT_EQ(row.expected, index);
            EXPECT_EQ(kProfileNames[size_t(row.expected)], Shown(popup));
            ASSERT_TRUE(Choose(popup, 1));
            index = row.index;
            window->Call(task, [&](FCPatternTaskBlockHandler* h) { h->SelectProfile(&index); });
            EXPECT_EQ(row.expected, index);
            int selected = -2;
            window->Call(task, [&](FCPatternTaskBlockHandler* h) { selected = h->GetProfileIndex(); });
            EXPECT_EQ(row.expected, selected);
        }
    }
    // A profile added in the editor shows after the refill.
    SetProfiles({"Default Profile", "Roman", "Bracketed", "New"});
    int index = 3;
    window->Call(1404, [&](FCPatternTaskBlockHandler* h) { h->FillProfileList(&window->profiles, &index); });
    EXPECT_EQ(4u, driver.Rows(Item(kPopup3)).size());
    EXPECT_EQ("New", Shown(kPopup3));

    // Tasks without a profile popup leave everything alone.
    for (int task : {1402, 1405, 1001, 1301}) {
        index = 7;
        int got = 0;
        window->Call(task, [&](FCPatternTaskBlockHandler* h) {
            h->FillProfileList(&window->profiles, &index);
            h->SelectProfile(&index);
            got = h->GetProfileIndex();
        });
        EXPECT_EQ(7, index);
        EXPECT_EQ(-1, got);
    }
    EXPECT_EQ("New", Shown(kPopup3));
}

TEST_F(SequencesPanel, ProfilesButtonAsksTheWindowForTheEditorOnTheSelectedProfile) {
    Open();
    SetCategories(kCategoryNames);
    SetProfiles(kProfileNames);
    Show(1403);
    ASSERT_TRUE(Choose(kPopup2, 1));
    ASSERT_TRUE(driver.Click(Item(kTaskButton)));
    Show(1404);
    ASSERT_TRUE(Choose(kPopup3, 2));
    ASSERT_TRUE(driver.Click(Item(kTaskButton)));
    EXPECT_EQ((std::vector<int>{1, 2}), window->profileEditorRequests);
    // Another control, or another task, is no reason to open it.
    window->Call(1404, [this](FCPatternTaskBlockHandler* h) { h->HandleTaskButton(window->GetControl(kCheck1)); });
    window->Call(1402, [this](FCPatternTaskBlockHandler* h) { h->HandleTaskButton(window->GetControl(kTaskButton)); });
    EXPECT_EQ(2u, window->profileEditorRequests.size());
}

TEST_F(SequencesPanel, GroupSizeFieldShowsOnlyForMeasureGroups) {
    Open();
    Show(1404);
    for (int method : {0, 1, 2, 3, 1}) {
        ASSERT_TRUE(Choose(kPopup1, method));
        EXPECT_EQ(method == 3, Visible(kEdit1)) << "method " << method;
    }
}

TEST_F(SequencesPanel, NumberingBeatsAsksForACategoryThatPlacesExpressionsFreely) {
    Open();
    SaveCategories({"Left", "Manual", "Odd"}, {1, 3, 9});
    SetProfiles(kProfileNames);
    struct Row {
        const char* what;
        int method;
        int category;  // row of the category popup
        bool expected;
        bool message;
    };
    const Row rows[] = {
        {"beats, fixed alignment", 0, 0, false, true},        {"beats, alignment 3", 0, 1, true, false},
        {"beats, alignment outside 0..6", 0, 2, true, false}, {"double barlines, fixed alignment", 1, 0, true, false},
        {"groups, fixed alignment", 3, 0, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Show(1404);
        ASSERT_TRUE(Choose(kPopup1, row.method));
        ASSERT_TRUE(Choose(kPopup2, row.category));
        const size_t boxes = driver.MessageBoxes().size();
        if (row.message) driver.AnswerNextMessageBox(IDOK);
        bool result = !row.expected;
        window->Call(1404, [&result](FCPatternTaskBlockHandler* h) { result = h->CanExecute(); });
        EXPECT_EQ(row.expected, result);
        EXPECT_EQ(boxes + (row.message ? 1 : 0), driver.MessageBoxes().size());
    }
    const auto box = driver.MessageBoxes().at(0);
    EXPECT_EQ("Incompatible Category Setting", box.caption);
    EXPECT_EQ(
        "The Horizontal Alignment setting for the chosen category can't be used to placed expression on different "
        "positions in a measure.\nPlease select another category.",
        box.text);

    // The document's record decides; a category the document no longer has is refused silently.
    ASSERT_TRUE(window->categories.GetItemAt(0)->DeleteData());
    Show(1404);
    ASSERT_TRUE(Choose(kPopup1, 0));
    ASSERT_TRUE(Choose(kPopup2, 0));
    bool result = true;
    window->Call(1404, [&result](FCPatternTaskBlockHandler* h) { result = h->CanExecute(); });
    EXPECT_FALSE(result);
    SetCategories({});
    Show(1404);
    window->Call(1404, [&result](FCPatternTaskBlockHandler* h) { result = h->CanExecute(); });
    EXPECT_FALSE(result);
    EXPECT_EQ(1u, driver.MessageBoxes().size());
    // The other Sequences tasks need nothing from the user yet.
    for (int task : {1402, 1403, 1405}) {
        window->Call(task, [&result](FCPatternTaskBlockHandler* h) { result = h->CanExecute(); });
        EXPECT_TRUE(result) << task;
    }
}
