#include "runtime/Exception.h"
#include "setup/TextRoutines.h"
#include "SetupTestSupport.h"

namespace qb {
namespace {

struct TCase {
    const char* Input;
    const char* Expected;
};

TEST(SetupTextRoutinesTest, FileBaseNameCutsFolderAndEverythingFromTheFirstDot) {
    for (const TCase& c : {TCase{"c:\\zorn\\morvel.ico", "morvel"},
                           {"Archive.Tar.GZ", "archive"},
                           {"readme", "readme"},
                           {".profile", ""},
                           {"d:name.txt", "name"},
                           {"C:\\ZORN\\TESSERA.ICO", "tessera"},
                           {"", ""},
                           {"c:\\dir.d\\", ""}})
        EXPECT_EQ(FileBaseName(c.Input), c.Expected) << c.Input;
}

TEST(SetupTextRoutinesTest, ProperCaseStartsWordsAfterAnythingButLettersHyphensAndDigits1To9) {
    for (const TCase& c : {TCase{"tessera", "Tessera"},
                           {"hello world", "Hello World"},
                           {"o'neil", "O'Neil"},
                           {"jean-luc", "Jean-luc"},
                           {"x0y", "X0Y"},
                           {"x1y", "X1y"},
                           {"MIXED case", "Mixed Case"},
                           {"", ""},
                           {"a\tb", "A\tB"},
                           {"9lives", "9lives"},
                           {"caf\xE9s", "Caf\xE9S"}})
        EXPECT_EQ(ProperCase(c.Input), c.Expected) << c.Input;
}

TEST(SetupTextRoutinesTest, CaseMappingLeavesBytesAbove127Alone) {
    EXPECT_EQ(LowerAscii("ABC\xC9Z@["), "abc\xC9z@[");
    EXPECT_EQ(UpperAscii("abc\xE9z`{"), "ABC\xE9Z`{");
}

TEST(SetupTextRoutinesTest, LastPosFindsTheLastOccurrenceOneBased) {
    EXPECT_EQ(LastPos("\\", "a\\b\\c"), 4);
    EXPECT_EQ(LastPos("abc", "ab"), 0);
    EXPECT_EQ(LastPos("", "anything"), 0);
    EXPECT_EQ(LastPos("x", ""), 0);
    EXPECT_EQ(LastPos("ab", "abxab"), 4);
    EXPECT_EQ(LastPos("a", "abc"), 1);
    EXPECT_EQ(LastPos("abc", "abc"), 1);
    EXPECT_EQ(LastPos("B", "abc"), 0) << "case-sensitive";
    EXPECT_EQ(LastPos(std::string("\0", 1), std::string("a\0b", 3)), 2) << "byte for byte";
}

TEST(SetupTextRoutinesTest, FilePartsSplitAtTheLastBackslashOrColon) {
    EXPECT_EQ(ExtractFileName("c:\\zorn\\kestro.exe"), "kestro.exe");
    EXPECT_EQ(ExtractFileName("d:kestro.exe"), "kestro.exe");
    EXPECT_EQ(ExtractFileName("kestro.exe"), "kestro.exe");
    EXPECT_EQ(ExtractFilePath("c:\\program files\\dosbox\\dosbox.exe"),
              "c:\\program files\\dosbox\\");
    EXPECT_EQ(ExtractFilePath("d:spoolix.exe"), "d:");
    EXPECT_EQ(ExtractFilePath("spoolix.exe"), "");
}

class SetupPathTest : public SetupTest {};

TEST_F(SetupPathTest, WithTrailingBackslashLeavesExactlyOne) {
    for (const TCase& c : {TCase{"c:\\program files", "c:\\program files\\"},
                           {"c:\\x\\\\\\", "c:\\x\\"},
                           {"c:\\", "c:\\"},
                           {"\\", "\\"},
                           {"\\\\", "\\"},
                           {"", ""},
                           {"x", "x\\"}})
        EXPECT_EQ(WithTrailingBackslash(c.Input), c.Expected) << c.Input;
}

TEST_F(SetupPathTest, WithTrailingBackslashSeesThroughDoubleByteCharacters) {
    Machine.CodePage = 932;
    // 0x95 0x5C is one character whose second byte looks like a backslash.
    EXPECT_EQ(WithTrailingBackslash("c:\\\x95\x5C"), "c:\\\x95\x5C\\");
    EXPECT_EQ(WithTrailingBackslash("c:\\\x95\x5C\\\\"), "c:\\\x95\x5C\\");
    EXPECT_EQ(WithTrailingBackslash("c:\\\x95\x41\\"), "c:\\\x95\x41\\");
    Machine.CodePage = 1252;
    EXPECT_EQ(WithTrailingBackslash("c:\\\x95\x5C"), "c:\\\x95\\") << "single-byte code page";
}

TEST_F(SetupPathTest, IsWow64CountsA64BitProcessAsA64BitSystem) {
    struct TRow {
        bool Process64;
        TWow64Answer Answer;
        bool Expected;
    };
    for (const TRow& row : {TRow{true, TWow64Answer::No, true},
                            {true, TWow64Answer::Failed, true},
                            {false, TWow64Answer::Yes, true},
                            {false, TWow64Answer::No, false},
                            {false, TWow64Answer::NoFunction, false}}) {
        Machine.Is64BitProcess = row.Process64;
        Machine.Wow64 = row.Answer;
        EXPECT_EQ(IsWow64(), row.Expected) << row.Process64 << " " << static_cast<int>(row.Answer);
    }
}

TEST_F(SetupPathTest, IsWow64RaisesBadProcessHandleWhenTheCallFails) {
    Machine.Is64BitProcess = false;
    Machine.Wow64 = TWow64Answer::Failed;
    try {
        IsWow64();
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Bad process handle");
    }
}

} // namespace
} // namespace qb
