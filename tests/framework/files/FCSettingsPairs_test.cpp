#include "framework/files/FCSettingsPairs.h"

#include <gtest/gtest.h>

// A text from UTF-8, built in place (FCString cannot be copied).
#define UTF8(name, text) \
    FCString name;       \
    name.SetUTF8(text)

TEST(FCSettingsPairs, FindKeyIgnoresCaseAndFindsTheFirstOfDuplicates) {
    FCSettingsPairs pairs;
    const char* const lines[][2] = {{" qzpt_task\t", " 1 "}, {"QZPT_TASK", "2"}, {"\xC5\xB1zpt_other", "3"}};
    for (const auto& line : lines) {
        UTF8(key, line[0]);
        UTF8(value, line[1]);
        pairs.Add(new FCSettingsPair(&key, &value));
    }
    struct Case {
        const char* key;
        const char* value;  // null: not found
    };
    const Case cases[] = {
        {"QZPT_TASK", "1"},  // pairs are trimmed
        {"Qzpt_Task", "1"},
        // U+0171 has the low byte of "q": a different key all the same.
        {"QZPT_OTHER", nullptr},
        {"\xC5\xB1ZPT_OTHER", "3"},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        UTF8(key, c.key);
        const FCSettingsPair* found = pairs.FindKey(&key);
        ASSERT_EQ(found != nullptr, c.value != nullptr) << c.key;
        if (found) {
            EXPECT_EQ(found->GetValue()->GetUTF8(), c.value) << c.key;
        }
    }
}

TEST(FCSettingsPairs, SetValueReplacesTheFirstMatchOrAppends) {
    FCSettingsPairs pairs;
    UTF8(a, "A");
    UTF8(lowerA, "a");
    UTF8(b, "B");
    UTF8(one, "1");
    UTF8(two, "2");
    UTF8(three, " 3 ");
    pairs.SetValue(&a, &one);
    pairs.SetValue(&b, &two);
    pairs.SetValue(&lowerA, &three);
    ASSERT_EQ(pairs.GetCount(), 2);
    EXPECT_EQ(pairs.GetItemAt(0)->GetKey()->GetUTF8(), "A");  // the key keeps its spelling
    EXPECT_EQ(pairs.GetItemAt(0)->GetValue()->GetUTF8(), "3");
    EXPECT_EQ(pairs.GetItemAt(1)->GetValue()->GetUTF8(), "2");
}
