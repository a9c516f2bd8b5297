#include "simhost/Unicode.h"

#include <gtest/gtest.h>

TEST(Unicode, UTF8BecomesUTF16WithOneReplacementPerBadSequence) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"", u""},
        {"Tr\xC3\xA8s", u"Tr\u00E8s"},
        {"\xE2\x99\xAF", u"\u266F"},                                  // three bytes
        {"\xF0\x9D\x84\x9E", u"\U0001D11E"},                          // four bytes: a surrogate pair
        {"a\x80z", u"a\uFFFDz"},                                      // a continuation byte alone
        {"\xC3", u"\uFFFD"},                                          // cut short at the end
        {"\xE2\x99z", u"\uFFFDz"},                                    // cut short before a plain byte
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                                // C0 never leads
        {"\xE0\x80\xAF", u"\uFFFD"},                                  // overlong, taken whole
        {"\xED\xA0\x80", u"\uFFFD"},                                  // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"},                              // beyond U+10FFFF
        {"\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // F8 never leads
    };
    for (const auto& c : cases) EXPECT_EQ(simhost::ToUTF16(c.utf8), c.utf16) << c.utf8;
}

TEST(Unicode, UTF16BecomesUTF8AndUnpairedSurrogatesAreReplaced) {
    const struct {
        std::u16string utf16;
        std::string utf8;
    } cases[] = {
        {u"", ""},
        {u"A\u00E8\u266F", "A\xC3\xA8\xE2\x99\xAF"},
        {u"\U0001D11E", "\xF0\x9D\x84\x9E"},
        {std::u16string(1, char16_t(0xD834)) + u"x", "\xEF\xBF\xBDx"},  // high surrogate alone
        {std::u16string(1, char16_t(0xDD1E)), "\xEF\xBF\xBD"},          // low surrogate alone
        {u"\u07FF\u0800\uFFFF", "\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},    // the edges of each length
    };
    for (const auto& c : cases) EXPECT_EQ(simhost::ToUTF8(c.utf16), c.utf8);
}
