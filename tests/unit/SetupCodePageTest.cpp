// The link setup's text and path routines, and whole setup passes, in the code pages users
// have: a Western 1252, Japanese 932, Chinese 950 and the UTF-8 process code page 65001.
#include "runtime/CodePage.h"
#include "runtime/WinConst.h"
#include "setup/Discovery.h"
#include "setup/SetupRun.h"
#include "setup/TextRoutines.h"
#include "SetupTestSupport.h"
#include <functional>

namespace qb {
namespace {

// Katakana A, KI and RA in code page 932: their second bytes are 'A', 'L' and 0x89.
const std::string Akira932 = "\x83\x41\x83\x4C\x83\x89";
// The Big5 character for forest: its second byte is 'L'.
const std::string Lin950 = "\xAA\x4C";
// Lukasz with a stroked L, and Nikos in Greek, in UTF-8.
const std::string Lukasz8 = "\xC5\x81ukasz";
const std::string Nikos8 = "\xCE\x9D\xCE\xAF\xCE\xBA\xCE\xBF\xCF\x82";

class SetupCodePageTest : public SetupTest {};

struct TRoutineCase {
    uint32_t CodePage;
    const char* Routine;
    std::string Input;
    std::string Expected;
};

TEST_F(SetupCodePageTest, RoutinesNeverChangeOrSplitTheSecondByteOfACharacter) {
    const std::map<std::string, std::function<std::string(const std::string&)>> routines = {
        {"LowerAscii", [](const std::string& s) { return LowerAscii(s); }},
        {"UpperAscii", [](const std::string& s) { return UpperAscii(s); }},
        {"ProperCase", ProperCase},
        {"ExtractFileName", ExtractFileName},
        {"ExtractFilePath", ExtractFilePath},
        {"FileBaseName", FileBaseName},
        {"WithTrailingBackslash", WithTrailingBackslash},
    };
    const TRoutineCase cases[] = {
        {932, "LowerAscii", "C:\\USERS\\" + Akira932 + "\\Desktop",
         "c:\\users\\" + Akira932 + "\\desktop"},
        {1252, "LowerAscii", "C:\\" + Akira932, "c:\\\x83\x61\x83\x6C\x83\x89"},
        {950, "LowerAscii", "C:\\USERS\\" + Lin950, "c:\\users\\" + Lin950},
        {65001, "LowerAscii", "C:\\USERS\\" + Lukasz8, "c:\\users\\\xC5\x81ukasz"},
        {65001, "UpperAscii", Nikos8 + "-x", Nikos8 + "-X"},
        {932, "UpperAscii", "\x83\x61x", "\x83\x61X"},
        {932, "LowerAscii", "\x83", "\x83"},
        {932, "ProperCase", Akira932 + "xy", Akira932 + "Xy"},
        {932, "ProperCase",
         "\x83\x61"
         "b",
         "\x83\x61"
         "B"},
        {1252, "ProperCase",
         "\x83\x61"
         "b",
         "\x83\x41"
         "b"},
        {65001, "ProperCase", "\xC5\x81UKASZ", "\xC5\x81Ukasz"},
        {932, "ExtractFileName", "c:\\zorn\\\x95\x5C.ico", "\x95\x5C.ico"},
        {1252, "ExtractFileName", "c:\\zorn\\\x95\x5C.ico", ".ico"},
        {932, "ExtractFilePath", "c:\\\x95\x5Cx", "c:\\"},
        {932, "FileBaseName", "c:\\zorn\\\x95\x5C.ICO", "\x95\x5C"},
        {950, "FileBaseName", "\xB3\x5C.ico", "\xB3\x5C"},
        {932, "WithTrailingBackslash", "c:\\users\\\x83\x5C", "c:\\users\\\x83\x5C\\"},
        {950, "WithTrailingBackslash", "c:\\\xB3\x5C\\\\", "c:\\\xB3\x5C\\"},
        {65001, "WithTrailingBackslash", "c:\\" + Nikos8, "c:\\" + Nikos8 + "\\"},
    };
    for (const TRoutineCase& c : cases) {
        Machine.CodePage = c.CodePage;
        EXPECT_EQ(routines.at(c.Routine)(c.Input), c.Expected)
            << c.Routine << " in code page " << c.CodePage << " of " << c.Input;
    }
}

TEST_F(SetupCodePageTest, UnderUtf8NoByteIsALeadByte) {
    Machine.CodePage = CpUtf8;
    for (int b = 0; b < 256; ++b)
        EXPECT_FALSE(Machine.IsDbcsLeadByte(static_cast<uint8_t>(b))) << b;
    Machine.CodePage = 932;
    EXPECT_TRUE(Machine.IsDbcsLeadByte(0x83));
    EXPECT_FALSE(Machine.IsDbcsLeadByte(0xA1)) << "half-width katakana stand alone";
}

struct TUserCase {
    uint32_t CodePage;
    std::string UserFolder;  // as the system spells it
    std::string WrongFolder; // where byte-by-byte lower-casing would have gone
};

// A user whose name is outside ASCII: both shortcuts land on the desktop the system named.
TEST_F(SetupCodePageTest, BothShortcutsLandOnTheDesktopOfAUserWithANonAsciiName) {
    const TUserCase cases[] = {
        {932, Akira932, "\x83\x61\x83\x6C\x83\x89"},
        {950, Lin950, "\xAA\x6C"},
        {CpUtf8, "\xC5\x81UKASZ", ""},
        {CpUtf8, Nikos8, ""},
    };
    for (const TUserCase& c : cases) {
        SCOPED_TRACE(c.CodePage);
        TSimulatedMachine machine;
        TScriptedTaskDialog native;
        SetPlatform(machine.AsPlatform(&native));
        machine.CodePage = c.CodePage;
        const std::string desktop = "C:\\users\\" + c.UserFolder + "\\Desktop";
        machine.AddFolder(desktop);
        machine.SetSpecialFolder(win::CSIDL_DESKTOP, desktop);
        machine.AddFile("c:\\zorn\\kestro.exe", "MZ");
        machine.AddFile("c:\\zorn\\tessera.ico", "icon");
        machine.AddFile(std::string(ProgramFiles) + "DOSBox-0.74\\DOSBox.exe", "MZ");

        RunSetup();

        const std::string expected = "c:\\users\\" + LowerAscii(c.UserFolder) + "\\desktop\\";
        ASSERT_EQ(machine.ShellLinks.size(), 2u);
        EXPECT_EQ(machine.ShellLinks[0].LinkFile, expected + "Tessera DOSbox.lnk");
        EXPECT_EQ(machine.ShellLinks[1].LinkFile, expected + "Print-F.lnk");
        EXPECT_TRUE(machine.FileExists(desktop + "\\Tessera DOSbox.lnk"));
        EXPECT_TRUE(machine.FileExists(desktop + "\\Print-F.lnk"));
        ASSERT_EQ(native.Shown.size(), 2u) << "ready to install, then the instructions";
        EXPECT_EQ(machine.FromUtf16(native.Shown[1].MainInstruction.value_or(u""))
                      .rfind("Click the Tessera", 0),
                  0u);
        if (!c.WrongFolder.empty()) {
            EXPECT_FALSE(machine.Exists("c:\\users\\" + c.WrongFolder + "\\desktop"))
                << "the folder a byte-by-byte case change names is another one";
        }
        SetPlatform(Machine.AsPlatform(&Native));
    }
}

TEST_F(SetupCodePageTest, TheSimulatedFileSystemFoldsCaseAsTheCodePageReadsIt) {
    Machine.CodePage = 932;
    Machine.AddFolder("C:\\Users\\" + Akira932);
    EXPECT_TRUE(Machine.Exists("c:\\USERS\\" + Akira932)) << "ASCII letters still fold";
    EXPECT_FALSE(Machine.Exists("c:\\users\\\x83\x61\x83\x6C\x83\x89"))
        << "another character is another folder";
    Machine.AddFolder("c:\\\x83\x5C\\x");
    EXPECT_TRUE(Machine.Exists("C:\\\x83\x5C\\X"));
    EXPECT_FALSE(Machine.Exists("c:\\\x83")) << "a second byte 0x5C is no separator";
    auto names = [&](const std::string& folder) {
        std::vector<std::string> found;
        for (const TDirEntry& e : Machine.FindFiles(folder + "\\*.*"))
            found.push_back(e.Name);
        return found;
    };
    EXPECT_EQ(names("c:\\\x83\x5C"), (std::vector<std::string>{".", "..", "x"}));

    Machine.CodePage = 1252;
    Machine.AddFolder("C:\\Other\\" + Akira932);
    EXPECT_TRUE(Machine.Exists("c:\\other\\\x83\x61\x83\x6C\x83\x89"))
        << "in 1252 the same bytes are letters that fold";
}

struct TConversionCase {
    uint32_t CodePage;
    std::string Bytes;
    std::u16string Wide;
};

TEST_F(SetupCodePageTest, ConversionsToAndFromUtf16FollowTheCodePage) {
    const TConversionCase cases[] = {
        {1252, "\x80\xA9\xB7", u"\u20AC\u00A9\u00B7"},
        {CpUtf8, Lukasz8, u"\u0141ukasz"},
        {CpUtf8, Nikos8, u"\u039D\u03AF\u03BA\u03BF\u03C2"},
        {CpUtf8, "\xF0\x9F\x98\x80", u"\U0001F600"},
        {932, "c:\\" + Akira932, u"c:\\\u30A2\u30AD\u30E9"},
        {932, "\x82\xA0\xB1", u"\u3042\uFF71"},
    };
    for (const TConversionCase& c : cases) {
        Machine.CodePage = c.CodePage;
        EXPECT_EQ(Machine.ToUtf16(c.Bytes), c.Wide) << c.CodePage << " " << c.Bytes;
        EXPECT_EQ(Machine.FromUtf16(c.Wide), c.Bytes) << c.CodePage << " " << c.Bytes;
    }
    // Characters a code page lacks, and bytes that are no character.
    Machine.CodePage = 1252;
    EXPECT_EQ(Machine.FromUtf16(u"\u0141\U0001F600x"), "??x");
    Machine.CodePage = CpUtf8;
    EXPECT_EQ(Machine.ToUtf16("a\xC5"), u"a\uFFFD");
    EXPECT_EQ(Machine.ToUtf16("\xC0\xAF"
                              "b"),
              u"\uFFFD\uFFFDb")
        << "overlong slash";
    EXPECT_EQ(Machine.ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD") << "encoded surrogate";
    EXPECT_EQ(Machine.FromUtf16(u"\xD800x"), "\xEF\xBF\xBDx");
    // Any double-byte pair goes there and back, known to the table or not.
    for (const uint32_t page : {932u, 950u}) {
        Machine.CodePage = page;
        for (int lead = 0x81; lead <= 0xFC; lead += 7)
            for (int trail = 0x40; trail <= 0xFC; trail += 5) {
                const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
                EXPECT_EQ(Machine.FromUtf16(Machine.ToUtf16(pair)), pair) << page << " " << lead;
            }
    }
}

} // namespace
} // namespace qb
