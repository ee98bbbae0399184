// The UTF-8 the core speaks, turned into what the window functions take.

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/system/path_text.h"

using tallowick::win32::AnsiFromDisplayText;
using tallowick::win32::DisplayTextFromAnsi;
using tallowick::win32::WideFromDisplayText;

TEST(DisplayText, Utf8DecodesEveryLengthAndReplacesMalformedBytes)
{
    EXPECT_TRUE(WideFromDisplayText("a\xc3\xa9\xe2\x82\xac") == std::wstring(L"a\u00e9\u20ac"));
    // Outside the BMP: a surrogate pair.
    EXPECT_TRUE(WideFromDisplayText("\xf0\x9f\x8d\xaa") == std::wstring(L"\xd83c\xdf6a"));
    // A stray continuation byte, a cut sequence, an overlong form.
    EXPECT_TRUE(WideFromDisplayText("x\x80y") == std::wstring(L"x\xfffdy"));
    EXPECT_TRUE(WideFromDisplayText("z\xc3") == std::wstring(L"z\xfffd"));
    EXPECT_TRUE(WideFromDisplayText("\xc0\xaf") == std::wstring(L"\xfffd"));
    // A lead byte followed by ASCII keeps the ASCII character.
    EXPECT_TRUE(WideFromDisplayText("\xe2q") == std::wstring(L"\xfffdq"));
    // Beyond U+10FFFF.
    EXPECT_TRUE(WideFromDisplayText("\xf4\x90\x80\x80!") == std::wstring(L"\xfffd!"));
}

TEST(DisplayText, ShowsALoneSurrogateOfAFileNameAsItIs)
{
    EXPECT_TRUE(WideFromDisplayText("a\xed\xa0\x80.txt") == std::wstring(L"a\xd800.txt"));
}

TEST(DisplayText, AnsiTextRoundTripsThroughTheCodePage)
{
    EXPECT_EQ(AnsiFromDisplayText("c:\\windows\\cookies\\a[1].txt"), std::string("c:\\windows\\cookies\\a[1].txt"));
    if (GetACP() == 1252) {
        EXPECT_EQ(AnsiFromDisplayText("caf\xc3\xa9"), std::string("caf\xe9"));
        EXPECT_EQ(DisplayTextFromAnsi("caf\xe9"), std::string("caf\xc3\xa9"));
        // Not in the page: the default character, never a dropped one.
        EXPECT_EQ(AnsiFromDisplayText("a\xe4\xb8\xad" "b"), std::string("a?b"));
    }
}
