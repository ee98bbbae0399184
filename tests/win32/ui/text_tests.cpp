// The UTF-8 the core speaks, turned into what the A functions take.

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/ansi_text.h"

using tallowick::win32::AnsiToUtf8;
using tallowick::win32::Utf8ToAnsi;
using tallowick::win32::Utf8ToUtf16;

TEST(AnsiText, Utf8DecodesEveryLengthAndReplacesMalformedBytes)
{
    EXPECT_TRUE(Utf8ToUtf16("a\xc3\xa9\xe2\x82\xac") == std::wstring(L"a\u00e9\u20ac"));
    // Outside the BMP: a surrogate pair.
    EXPECT_TRUE(Utf8ToUtf16("\xf0\x9f\x8d\xaa") == std::wstring(L"\xd83c\xdf6a"));
    // A stray continuation byte, a cut sequence, an overlong form.
    EXPECT_TRUE(Utf8ToUtf16("x\x80y") == std::wstring(L"x\xfffdy"));
    EXPECT_TRUE(Utf8ToUtf16("z\xc3") == std::wstring(L"z\xfffd"));
    EXPECT_TRUE(Utf8ToUtf16("\xc0\xaf") == std::wstring(L"\xfffd"));
    // A lead byte followed by ASCII keeps the ASCII character.
    EXPECT_TRUE(Utf8ToUtf16("\xe2q") == std::wstring(L"\xfffdq"));
}

TEST(AnsiText, AnsiTextRoundTripsThroughTheCodePage)
{
    EXPECT_EQ(Utf8ToAnsi("c:\\windows\\cookies\\a[1].txt"), std::string("c:\\windows\\cookies\\a[1].txt"));
    if (GetACP() == 1252) {
        EXPECT_EQ(Utf8ToAnsi("caf\xc3\xa9"), std::string("caf\xe9"));
        EXPECT_EQ(AnsiToUtf8("caf\xe9"), std::string("caf\xc3\xa9"));
        // Not in the page: the default character, never a dropped one.
        EXPECT_EQ(Utf8ToAnsi("a\xe4\xb8\xad" "b"), std::string("a?b"));
    }
}
