// One number profile: how the numbers of a numbering task look (number style, brackets, the
// maximum value and its markup) and which elements of a sequence carry one (start, steps and
// the placement options). FormatNumber turns one value into its text. Profiles are kept in the
// storage file by FCNumberSettingsProfiles and edited by the profile editor.
#pragma once

#include "framework/core/FCString.h"
#include "framework/core/__FCBase.h"

// One option bit of a profile, with the texts the editor and the storage file use for it.
struct ProfileOption {
    int bit;
    const char* displayText;
    const char* storageAttribute;
    bool defaultOn;
};

class FCNumberSettingsProfile : public __FCBase {
public:
    // Number styles.
    enum { kStyleDecimal = 0, kStyleRoman = 1, kStyleUpperLetters = 2, kStyleLowerLetters = 3 };
    static constexpr int kNumberStyleCount = 4;
    // Formatting patterns: 0 none, 1-3 brackets around the number, 4-13 the number and the maximum.
    static constexpr int kFormattingCount = 14;
    static constexpr int kFirstMaxFormatting = 4;
    static constexpr int kMaxValuePtDiffCount = 4;
    static constexpr int kScorePartAssignmentCount = 4;
    // The option bits, in the order of the option table.
    enum {
        kAlwaysEndOfRegion = 0x001,
        kAlwaysStartOfSystem = 0x002,
        kAlwaysEndOfSystem = 0x004,
        kRestartDoubleBarline = 0x008,
        kRestartFinalBarline = 0x010,
        kRestartSolidBarline = 0x020,
        kRestartRehearsalMark = 0x040,
        kMaxItalics = 0x080,
        kMaxOnFirst = 0x100
    };
    static constexpr int kOptionCount = 9;
    // The range the editor keeps steps and start at in.
    static constexpr int kMinCount = 1;
    static constexpr int kMaxCount = 1000;
    // Values from 1 up to this one take the Roman and letter forms; larger ones are written in
    // decimal, so that no number text grows without bound (letters repeat: 27 is AA, 53 AAA).
    static constexpr int kMaxStyledValue = 32767;
    // The smallest size the maximum's markup makes a text.
    static constexpr int kMinMaxValueFontSize = 6;

    // The defaults: "Profile Name", decimal, no formatting, the default options, steps 1, start 1.
    FCNumberSettingsProfile();
    FCNumberSettingsProfile(const FCNumberSettingsProfile&) = delete;
    FCNumberSettingsProfile& operator=(const FCNumberSettingsProfile&) = delete;
    FC_CLASS_INFO(FCNumberSettingsProfile)

    // Writes the profile's attributes into the element, in the storage file's order. In a
    // document that keeps references as written, the name is escaped here.
    void WriteToXML(tinyxml2::XMLElement* element) override;
    // Reads the attributes of the element (resolving the name's references in a document that
    // keeps them as written). False, with nothing read, when it has no "Name";
    // missing values take the defaults, values out of range the default (steps and start at are
    // kept within the editor's range).
    bool ReadFromXML(tinyxml2::XMLElement* element) override;

    // The option table, in its order (also the editor's and the storage file's order); index
    // 0 to kOptionCount - 1 (others give the first row).
    static const ProfileOption& GetProfileOption(int index);
    // The bits whose option is on by default.
    static int GetDefaultOptions();
    // The editor's popup texts; null for a value out of range.
    static const char* GetNumberStyleText(int style);
    static const char* GetFormattingText(int formatting);
    static const char* GetMaxValuePtDiffText(int difference);
    static const char* GetScorePartAssignmentText(int assignment);

    const FCString* GetName() const { return &name_; }
    void SetName(const FCString* name) { name_.SetString(name); }
    int GetNumberStyle() const { return numberStyle_; }
    void SetNumberStyle(int style) { numberStyle_ = style; }
    int GetFormatting() const { return formatting_; }
    void SetFormatting(int formatting) { formatting_ = formatting; }
    int GetOptions() const { return options_; }
    void SetOptions(int options) { options_ = options; }
    bool HasOption(int bit) const { return (options_ & bit) != 0; }
    void SetOption(int bit, bool state) { options_ = state ? (options_ | bit) : (options_ & ~bit); }
    int GetSteps() const { return steps_; }
    void SetSteps(int steps) { steps_ = steps; }
    int GetStartAt() const { return startAt_; }
    void SetStartAt(int startAt) { startAt_ = startAt; }
    int GetMaxValuePtDiff() const { return maxValuePtDiff_; }
    void SetMaxValuePtDiff(int difference) { maxValuePtDiff_ = difference; }
    int GetScorePartAssignment() const { return scorePartAssignment_; }
    void SetScorePartAssignment(int assignment) { scorePartAssignment_ = assignment; }
    // The point size of the text the numbers are drawn in (0: not known); not stored.
    int GetFontSize() const { return fontSize_; }
    void SetFontSize(int size) { fontSize_ = size; }

    // The option tests.
    bool GetAlwaysEndOfRegion() const { return HasOption(kAlwaysEndOfRegion); }
    bool GetAlwaysStartOfSystem() const { return HasOption(kAlwaysStartOfSystem); }
    bool GetAlwaysEndOfSystem() const { return HasOption(kAlwaysEndOfSystem); }
    bool GetRestartDoubleBarline() const { return HasOption(kRestartDoubleBarline); }
    bool GetRestartFinalBarline() const { return HasOption(kRestartFinalBarline); }
    bool GetRestartSolidBarline() const { return HasOption(kRestartSolidBarline); }
    bool GetRestartRehearsalMark() const { return HasOption(kRestartRehearsalMark); }
    bool GetMaxItalics() const { return HasOption(kMaxItalics); }
    bool GetMaxOnFirst() const { return HasOption(kMaxOnFirst); }

    // Copies every field, the font size included.
    void CopyFrom(const FCNumberSettingsProfile* other);

    // Whether the formatting appends the maximum to this value.
    bool ShowsMaxValue(int value) const;
    // Replaces the output's text with the value formatted by this profile, with the maximum where
    // the formatting shows it.
    void FormatNumber(int value, int maxValue, FCString* output) const;
    // The value alone in the number style (no brackets, no maximum).
    void AppendStyledNumber(int value, FCString* output) const;
    // The editor's example: the five numbers start, start + steps, ... formatted with the last of
    // them as the maximum, without italics or a smaller size, joined by a comma and five blanks.
    void GetExampleLine(FCString* output) const;

private:
    void AppendMaxValueMarkup(FCString* output) const;

    FCString name_;
    int numberStyle_;
    int formatting_;
    int options_;
    int steps_;
    int startAt_;
    int maxValuePtDiff_;
    int scorePartAssignment_;
    int fontSize_;
};
