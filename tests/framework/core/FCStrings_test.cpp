#include "framework/core/FCStrings.h"

#include "framework/core/FCNumber.h"
#include "framework/core/__FCAlphaSorter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Texts(FCStrings& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetCount(); ++i) {
        FCString* s = list.GetItemAt(i);
        texts.push_back(s ? s->GetCString() : "<none>");
    }
    return texts;
}

}  // namespace

TEST(FCStrings, HoldsOwnedCopiesAndFindsByContent) {
    FCStrings list;
    FCString original("first");
    FCString* copy = list.AddCopy(&original);
    EXPECT_NE(copy, &original);
    original.SetCString("changed");
    list.AddCString("second");
    list.AddCopy(nullptr);  // an empty string
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"first", "second", ""}));
    EXPECT_EQ(list.GetLastItem(), list.GetItemAt(2));
    EXPECT_EQ(list.GetItemAt(3), nullptr);

    FCString second("second");
    EXPECT_EQ(list.FindString(&second), 1);
    EXPECT_EQ(list.FindString(&original), -1);
    EXPECT_EQ(list.FindString(nullptr), -1);
}

TEST(FCStrings, AlphabeticalSortUsesTheByteOrderOfTheEightBitText) {
    FCStrings list;
    for (const char* text : {"b", "a", "C", "ab", "", "\xE9"}) list.AddCString(text);
    EXPECT_TRUE(list.SortAlphabetically());
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"", "C", "a", "ab", "b", "\xE9"}));
    EXPECT_FALSE(list.SortAlphabetically());
}

TEST(FCStrings, TheAlphaSorterPutsMissingElementsFirst) {
    __FCAlphaSorter sorter;
    FCString a("a"), b("b");
    FCNumber notAString(1);
    EXPECT_LT(sorter.Compare(&a, &b), 0);
    EXPECT_GT(sorter.Compare(&b, &a), 0);
    EXPECT_EQ(sorter.Compare(&a, &a), 0);
    EXPECT_LT(sorter.Compare(nullptr, &a), 0);
    EXPECT_GT(sorter.Compare(&a, nullptr), 0);
    EXPECT_EQ(sorter.Compare(nullptr, nullptr), 0);
    EXPECT_LT(sorter.Compare(&notAString, &a), 0);
}

TEST(FCNumber, KeepsTheValueAndItsTruncationTowardZero) {
    const struct {
        double value;
        int integer;
    } cases[] = {
        {2.9, 2}, {-2.9, -2}, {0, 0}, {7, 7}, {16777217, 16777217}, {1e12, 2147483647}, {-1e12, -2147483647 - 1}};
    for (const auto& c : cases) {
        FCNumber n(c.value);
        EXPECT_EQ(n.GetInt(), c.integer) << c.value;
        EXPECT_FLOAT_EQ(n.GetFloat(), float(c.value)) << c.value;
    }
    FCNumber n;
    n.SetFloat(-0.5);
    EXPECT_EQ(n.GetInt(), 0);
    EXPECT_FLOAT_EQ(n.GetFloat(), -0.5f);
}

TEST(FCNumber, NumbersAreATypedOwningCollection) {
    FCNumbers numbers;
    numbers.AddNumber(3.5);
    numbers.AddNumber(-1);
    ASSERT_EQ(numbers.GetCount(), 2);
    EXPECT_EQ(numbers.GetItemAt(0)->GetInt(), 3);
    EXPECT_EQ(numbers.GetLastItem()->GetInt(), -1);
    EXPECT_EQ(numbers.GetItemAt(2), nullptr);
}
