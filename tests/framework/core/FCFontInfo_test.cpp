#include "framework/core/FCFontInfo.h"

#include "framework/core/FCString.h"

#include <gtest/gtest.h>

#include <string>

TEST(FCFontInfo, StartsAsTwelvePointTimesNewRomanWithoutEffects) {
    FCFontInfo font;
    EXPECT_STREQ(font.GetName(), "Times New Roman");
    EXPECT_FLOAT_EQ(font.GetSize(), 12.0f);
    EXPECT_EQ(font.GetEffects(), 0);
}

TEST(FCFontInfo, WritesTheCaretCommandThatSelectsIt) {
    const struct {
        const char* name;
        float size;
        uint16_t effects;
        const char* command;
        const char* expected;
    } cases[] = {
        {"Times New Roman", 12, 0, "^fontTxt", "^fontTxt(Times New Roman)^size(12)^nfx(0)"},
        {"Arial", 10.9f, 3, nullptr, "^font(Arial)^size(10)^nfx(3)"},
        {"Arial", -3.5f, 65535, "", "^font(Arial)^size(-3)^nfx(65535)"},
        {"Maestro", 1e9f, 0, "^fontMus", "^fontMus(Maestro)^size(32767)^nfx(0)"},
        {nullptr, 12, 0, "^fontNum", "^fontNum()^size(12)^nfx(0)"},
    };
    for (const auto& c : cases) {
        FCFontInfo font;
        font.SetName(c.name);
        font.SetSize(c.size);
        font.SetEffects(c.effects);
        FCString destination("old");
        font.GetFontCommand(&destination, c.command);
        EXPECT_STREQ(destination.GetCString(), c.expected);
    }
    FCFontInfo font;
    font.GetFontCommand(nullptr, "^font");  // nowhere to write: nothing happens
}

TEST(FCFontInfo, KeepsAtMost255CharactersOfAName) {
    FCFontInfo font;
    const std::string longName(300, 'x');
    font.SetName(longName.c_str());
    EXPECT_EQ(std::string(font.GetName()), longName.substr(0, 255));
}
