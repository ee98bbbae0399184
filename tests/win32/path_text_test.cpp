#include <string>

#include <gtest/gtest.h>

#include "platform/win32/system/path_text.h"

namespace tallowick::win32 {
namespace {

TEST(PathText, CarriesEveryUtf16NameThereAndBackUnchanged)
{
    const std::wstring names[] = {
        L"a[1].txt",
        L"\x043F\x0435\x0447\x0435\x043D\x044C\x0435.txt", // Cyrillic
        L"\xD83C\xDF6A.txt",                               // a pair: one code point beyond 16 bits
        L"lone\xD800lead.txt",                             // unpaired surrogates, which NTFS allows
        L"lone\xDC00trail.txt",
        L"\xDC00\xD800.txt", // a trail before a lead is no pair
        L"ends\xD800",
    };
    for (const std::wstring& name : names) {
        const std::string text = PathTextFromWide(name);
        EXPECT_EQ(WideFromPathText(text), name) << text;
    }
}

TEST(PathText, WritesUtf8AndALoneSurrogateInItsOwnThreeBytes)
{
    EXPECT_EQ(PathTextFromWide(L"caf\x00E9"), "caf\xC3\xA9");
    EXPECT_EQ(PathTextFromWide(L"\xD83C\xDF6A"), "\xF0\x9F\x8D\xAA");
    EXPECT_EQ(PathTextFromWide(L"a\xD800"), "a\xED\xA0\x80");
}

TEST(PathText, RefusesTextThatIsNoPath)
{
    EXPECT_FALSE(WideFromPathText(std::string("a\0b.txt", 7)));         // would end the path early
    EXPECT_FALSE(WideFromPathText("caf\xE9.txt"));                       // a Latin-1 byte, not UTF-8
    EXPECT_FALSE(WideFromPathText("\xC0\xAF"));                          // an overlong "/"
    EXPECT_FALSE(WideFromPathText("\xF4\x90\x80\x80"));                  // beyond U+10FFFF
    EXPECT_FALSE(WideFromPathText("\xE3\x82"));                          // cut short
    EXPECT_EQ(WideFromPathText(""), std::wstring());
}

TEST(PathText, GoesThroughTheAnsiCodePageOnlyWhenExact)
{
    EXPECT_EQ(AnsiFromPathText("c:\\windows\\cookies\\a[1].txt"), "c:\\windows\\cookies\\a[1].txt");
    EXPECT_EQ(PathTextFromAnsi("c:\\windows\\cookies\\a[1].txt"), "c:\\windows\\cookies\\a[1].txt");
    // No ANSI code page holds both Cyrillic and Japanese.
    EXPECT_FALSE(AnsiFromPathText("\xD0\xBF\xE3\x82\xAF.txt"));
    EXPECT_FALSE(AnsiFromPathText("\xF0\x9F\x8D\xAA.txt"));
    EXPECT_FALSE(AnsiFromPathText(std::string("a\0b", 3)));
    // Whatever the code page makes of a name, it makes it back.
    const std::optional<std::string> ansi = AnsiFromPathText("caf\xC3\xA9.txt");
    if (ansi) {
        EXPECT_EQ(PathTextFromAnsi(*ansi), "caf\xC3\xA9.txt");
    }
}

} // namespace
} // namespace tallowick::win32
