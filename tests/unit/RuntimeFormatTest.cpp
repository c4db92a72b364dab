#include "runtime/Exception.h"
#include "runtime/Format.h"
#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(RuntimeFormatTest, DirectivesWidthsAndLiteralPercent) {
    using S = std::string;
    EXPECT_EQ(Format("%s is in %s", {S("kestro.exe"), S("c:\\zorn\\")}),
              "kestro.exe is in c:\\zorn\\");
    EXPECT_EQ(Format("[%5d][%-5d][%d]", {int64_t{42}, int64_t{-7}, int64_t{-9000000000}}),
              "[   42][-7   ][-9000000000]");
    EXPECT_EQ(Format("[%-4s][%3s]", {S("ab"), S("long")}), "[ab  ][long]");
    EXPECT_EQ(Format("%x %X %u", {int64_t{255}, int64_t{0xBEEF}, int64_t{7}}), "ff BEEF 7");
    // Negative numbers shown unsigned keep the 32 bits of the program's integers.
    EXPECT_EQ(Format("%u %x", {int64_t{-1}, int64_t{-2}}), "4294967295 fffffffe");
    EXPECT_EQ(Format("100%% %s", {S("done")}), "100% done");
    EXPECT_EQ(Format("no directives", {}), "no directives");
    EXPECT_EQ(Format("%s", {S("used"), S("extra arguments are ignored")}), "used");
}

TEST(RuntimeFormatTest, DigitsInEitherBaseWithZeroPadding) {
    EXPECT_EQ(Digits(0), "0");
    EXPECT_EQ(Digits(UINT64_MAX), "18446744073709551615");
    EXPECT_EQ(Digits(0x80070005u, 16, true, 8), "80070005");
    EXPECT_EQ(Digits(0x409, 16, false, 4) + Digits(1200, 16, false, 4), "040904b0");
    EXPECT_EQ(Digits(0xABCDEF, 16, false, 2), "abcdef");
}

TEST(RuntimeFormatTest, BadTemplatesRaiseAClearError) {
    using S = std::string;
    auto expectError = [](const char* templ, const char* says, auto format) {
        try {
            format();
            ADD_FAILURE() << templ << " should raise";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find(says), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find(templ), std::string::npos) << e.Message();
        }
    };
#define EXPECT_FORMAT_ERROR(templ, says, ...)                                                      \
    expectError(templ, says, [] { Format(templ, {__VA_ARGS__}); })
    EXPECT_FORMAT_ERROR("%s and %s", "no argument for directive \"%s\" (argument 2 of 1)",
                        S("one"));
    EXPECT_FORMAT_ERROR("%d", "no argument");
    EXPECT_FORMAT_ERROR("%q", "unknown directive \"%q\"", S("x"));
    EXPECT_FORMAT_ERROR("%5.2f", "unknown directive \"%5.\"", int64_t{1});
    EXPECT_FORMAT_ERROR("50%", "incomplete directive");
    EXPECT_FORMAT_ERROR("%-12", "incomplete directive", S("x"));
    EXPECT_FORMAT_ERROR("%d", "needs a number", S("text"));
    EXPECT_FORMAT_ERROR("%s", "needs a string", int64_t{3});
    EXPECT_FORMAT_ERROR("%99999999999999999999d", "field width", int64_t{1});
#undef EXPECT_FORMAT_ERROR
}

} // namespace
} // namespace qb
