#include "runtime/Exception.h"
#include "runtime/WinConst.h"
#include "setup/Discovery.h"
#include "setup/DosboxConf.h"
#include "setup/Shortcut.h"
#include "SetupTestSupport.h"
#include <regex>
#include <sstream>

namespace qb {
namespace {

struct TSection {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Keys;
};

// Section and key lines the embedded configuration must carry, in file order.
const std::vector<TSection> ExpectedSections = {
    {"sdl",
     {{"fullscreen", "false"},
      {"fulldouble", "false"},
      {"fullresolution", "original"},
      {"windowresolution", "800x600"},
      {"output", "opengl"},
      {"autolock", "true"},
      {"sensitivity", "100"},
      {"waitonerror", "true"},
      {"priority", "higher,normal"},
      {"mapperfile", "mapper-0.74.map"},
      {"usescancodes", "true"}}},
    {"dosbox",
     {{"language", ""}, {"machine", "svga_s3"}, {"captures", "capture"}, {"memsize", "16"}}},
    {"render", {{"frameskip", "0"}, {"aspect", "false"}, {"scaler", "normal2x"}}},
    {"cpu",
     {{"core", "auto"},
      {"cputype", "auto"},
      {"cycles", "max"},
      {"cycleup", "10"},
      {"cycledown", "20"}}},
    {"mixer",
     {{"nosound", "false"}, {"rate", "44100"}, {"blocksize", "1024"}, {"prebuffer", "20"}}},
    {"midi", {{"mpu401", "intelligent"}, {"mididevice", "default"}, {"midiconfig", ""}}},
    {"sblaster",
     {{"sbtype", "sb16"},
      {"sbbase", "220"},
      {"irq", "7"},
      {"dma", "1"},
      {"hdma", "5"},
      {"sbmixer", "true"},
      {"oplmode", "auto"},
      {"oplemu", "default"},
      {"oplrate", "44100"}}},
    {"gus",
     {{"gus", "false"},
      {"gusrate", "44100"},
      {"gusbase", "240"},
      {"gusirq", "5"},
      {"gusdma", "3"},
      {"ultradir", "C:\\ULTRASND"}}},
    {"speaker",
     {{"pcspeaker", "true"},
      {"pcrate", "44100"},
      {"tandy", "auto"},
      {"tandyrate", "44100"},
      {"disney", "true"}}},
    {"joystick",
     {{"joysticktype", "auto"},
      {"timed", "true"},
      {"autofire", "false"},
      {"swap34", "false"},
      {"buttonwrap", "false"}}},
    {"serial",
     {{"serial1", "dummy"},
      {"serial2", "dummy"},
      {"serial3", "disabled"},
      {"serial4", "disabled"}}},
    {"dos", {{"xms", "true"}, {"ems", "true"}, {"umb", "true"}, {"keyboardlayout", "auto"}}},
    {"ipx", {{"ipx", "false"}}},
};

const char* const StartupLines = "mount c c:\\zorn\\\r\nc:\r\ndel f\r\nkestro.exe /ns\r\nexit\r\n";

class SetupDosboxConfTest : public SetupTest {
protected:
    std::string Embedded() {
        auto text = Machine.LoadRcData("RS_TESSERACONF");
        EXPECT_TRUE(text.has_value());
        return text.value_or("");
    }
    // Lines split at CR LF; the text must end with one.
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        EXPECT_EQ(start, text.size()) << "text after the last CR LF";
        return lines;
    }
};

TEST_F(SetupDosboxConfTest, EmbeddedConfigurationIsPlainAsciiWithCrLfOnly) {
    const std::string text = Embedded();
    ASSERT_FALSE(text.empty());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        ASSERT_TRUE((c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n') << "byte " << i;
        if (c == '\r') {
            ASSERT_EQ(text[i + 1], '\n') << "lone CR at " << i;
        }
        if (c == '\n') {
            ASSERT_EQ(text[i - 1], '\r') << "lone LF at " << i;
        }
    }
    EXPECT_EQ(text.find("mount c "), std::string::npos);
    EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");
}

TEST_F(SetupDosboxConfTest, EmbeddedConfigurationHasTheDosboxLayout) {
    const std::vector<std::string> lines = Lines(Embedded());
    ASSERT_GT(lines.size(), 4u);
    EXPECT_EQ(lines[0], "# This is the configurationfile for DOSBox 0.74. (Please use the latest "
                        "version of DOSBox)");
    EXPECT_EQ(lines[1], "# Lines starting with a # are commentlines and are ignored by DOSBox.");
    EXPECT_EQ(lines[2], "# They are used to (briefly) document the effect of each option.");
    EXPECT_EQ(lines[3], "");

    size_t at = 4;
    for (const TSection& section : ExpectedSections) {
        SCOPED_TRACE(section.Name);
        ASSERT_LT(at, lines.size());
        ASSERT_EQ(lines[at++], "[" + section.Name + "]");
        // The comment block documents each key, its name right-aligned before a colon.
        std::string block;
        size_t blockLines = 0;
        for (; at < lines.size() && !lines[at].empty(); ++at, ++blockLines) {
            ASSERT_EQ(lines[at][0], '#') << lines[at];
            block += lines[at] + "\n";
        }
        EXPECT_GT(blockLines, 0u);
        for (const auto& [key, value] : section.Keys)
            EXPECT_TRUE(std::regex_search(block, std::regex("(^|\n)# +" + key + ": \\S")))
                << key << " is not documented";
        ASSERT_LT(at, lines.size());
        EXPECT_EQ(lines[at++], "");
        for (const auto& [key, value] : section.Keys)
            EXPECT_EQ(lines[at++], key + "=" + value);
        EXPECT_EQ(lines[at++], "");
    }
    const std::vector<std::string> autoexec(lines.begin() + static_cast<long>(at), lines.end());
    EXPECT_EQ(autoexec, (std::vector<std::string>{"[autoexec]",
                                                  "# Lines in this section will be run at startup.",
                                                  "# You can put your MOUNT lines here.", ""}));
}

TEST_F(SetupDosboxConfTest, BuiltTextIsTheEmbeddedTextFollowedByTheStartupLines) {
    TargetDir = "c:\\zorn\\";
    EXPECT_EQ(BuildDosboxConf("c:\\zorn\\kestro.exe"), Embedded() + StartupLines);

    TargetDir = "d:\\zorn\\";
    const std::string tail = "[autoexec]\r\n# Lines in this section will be run at startup.\r\n"
                             "# You can put your MOUNT lines here.\r\n\r\n"
                             "mount c d:\\zorn\\\r\nc:\r\ndel f\r\nkestrokw.exe /ns\r\nexit\r\n";
    const std::string built = BuildDosboxConf("d:kestrokw.exe");
    ASSERT_GT(built.size(), tail.size());
    EXPECT_EQ(built.substr(built.size() - tail.size()), tail);
}

TEST_F(SetupDosboxConfTest, SourceLosesEverythingFromItsFirstLowerCaseMountLine) {
    const std::string source = "[autoexec]\r\nMOUNT C x\r\nmount c e:\\old\r\nold.exe\r\n";
    EXPECT_EQ(BuildDosboxConfFrom(source, "c:\\zorn\\", "c:\\zorn\\kestro.exe"),
              std::string("[autoexec]\r\nMOUNT C x\r\n") + StartupLines);
    EXPECT_EQ(BuildDosboxConfFrom("", "c:\\zorn\\", "kestro.exe"), StartupLines);
}

class TMachineWithoutResources : public TSimulatedMachine {
public:
    std::optional<std::string> LoadRcData(const std::string&) override { return std::nullopt; }
};

TEST_F(SetupDosboxConfTest, MissingResourceIsAnError) {
    TMachineWithoutResources bare;
    TPlatform platform = Platform();
    platform.System = &bare;
    SetPlatform(platform);
    EXPECT_THROW(BuildDosboxConf("c:\\zorn\\kestro.exe"), Exception);
}

TEST_F(SetupDosboxConfTest, WriteReplacesTheWholeFileAndLeavesNoTemporary) {
    Machine.AddFile("c:\\zorn\\dosbox.conf", std::string(5000, 'x'));
    const std::vector<std::string> before = Machine.ListPaths();
    EXPECT_EQ(WriteTextFile("c:\\zorn\\dosbox.conf", "short\r\n"), 0u);
    EXPECT_EQ(Machine.ReadFile("c:\\zorn\\dosbox.conf"), "short\r\n");
    EXPECT_EQ(Machine.ListPaths(), before);
    EXPECT_EQ(Machine.OpenFileHandles(), 0);
}

TEST_F(SetupDosboxConfTest, WriteOfAnEmptyTextDeletesTheFile) {
    Machine.AddFile("c:\\zorn\\dosbox.conf", "old");
    EXPECT_EQ(WriteTextFile("c:\\zorn\\dosbox.conf", ""), 0u);
    EXPECT_FALSE(Machine.Exists("c:\\zorn\\dosbox.conf"));
    EXPECT_EQ(WriteTextFile("c:\\zorn\\dosbox.conf", ""), 0u) << "nothing to delete is fine";
}

TEST_F(SetupDosboxConfTest, FailedWriteKeepsTheOldFileAndRemovesTheTemporary) {
    struct TRow {
        const char* Name;
        void (*Prepare)(TSimulatedMachine&);
        uint32_t Error;
    };
    const TRow rows[] = {
        {"read-only folder",
         [](TSimulatedMachine& m) { m.AddFolder("c:\\zorn", win::FILE_ATTRIBUTE_READONLY); },
         win::ERROR_ACCESS_DENIED},
        {"file open elsewhere", [](TSimulatedMachine& m) { m.LockFile("c:\\zorn\\dosbox.conf"); },
         win::ERROR_SHARING_VIOLATION},
        {"read-only file",
         [](TSimulatedMachine& m) {
             m.AddFile("c:\\zorn\\dosbox.conf", "old", win::FILE_ATTRIBUTE_READONLY);
         },
         win::ERROR_ACCESS_DENIED},
        {"disk full", [](TSimulatedMachine& m) { m.SetDiskSpace(10); }, win::ERROR_DISK_FULL},
        {"temporary in use",
         [](TSimulatedMachine& m) {
             m.AddFile("c:\\zorn\\dosbox.conf.tmp", "other");
             m.LockFile("c:\\zorn\\dosbox.conf.tmp");
         },
         win::ERROR_SHARING_VIOLATION},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TSimulatedMachine machine;
        SetPlatform(machine.AsPlatform(&Native));
        machine.AddFile("c:\\zorn\\dosbox.conf", "old");
        row.Prepare(machine);
        EXPECT_EQ(WriteTextFile("c:\\zorn\\dosbox.conf", std::string(100, 'n')), row.Error);
        EXPECT_EQ(machine.ReadFile("c:\\zorn\\dosbox.conf"), "old");
        if (std::string(row.Name) != "temporary in use") {
            EXPECT_FALSE(machine.Exists("c:\\zorn\\dosbox.conf.tmp"));
        }
        EXPECT_EQ(machine.OpenFileHandles(), 0);
    }
    SetPlatform(Machine.AsPlatform(&Native));
    EXPECT_EQ(WriteTextFile("c:\\nowhere\\dosbox.conf", "x"), win::ERROR_PATH_NOT_FOUND);
}

TEST_F(SetupDosboxConfTest, ShortcutPropertiesAreSetInOrderAndSaved) {
    ASSERT_EQ(CreateShortcut("c:\\users\\user\\desktop\\Print-F.lnk", "c:\\zorn\\spoolix.exe", "f",
                             "Print File f (CTRL+ALT+P)", "c:\\zorn\\tessera.ico", 0, 0x0650),
              0);
    ASSERT_EQ(CreateShortcut("c:\\users\\user\\desktop\\Caf\xE9 DOSbox.lnk",
                             "c:\\program files (x86)\\dosbox-0.74\\dosbox.exe",
                             "-noconsole -conf c:\\zorn\\dosbox.conf", "Tessera",
                             "c:\\zorn\\tessera.ico", 3, 0),
              0);
    ASSERT_EQ(Machine.ShellLinks.size(), 2u);
    const std::vector<std::pair<std::string, std::string>> print = {
        {"SetPath", "c:\\zorn\\spoolix.exe"},
        {"SetWorkingDirectory", "c:\\zorn\\"},
        {"SetArguments", "f"},
        {"SetIconLocation", "c:\\zorn\\tessera.ico,0"},
        {"SetDescription", "Print File f (CTRL+ALT+P)"},
        {"SetShowCmd", "1"},
        {"SetHotkey", "1616"},
        {"Save", "c:\\users\\user\\desktop\\Print-F.lnk"}};
    const std::vector<std::pair<std::string, std::string>> run = {
        {"SetPath", "c:\\program files (x86)\\dosbox-0.74\\dosbox.exe"},
        {"SetWorkingDirectory", "c:\\program files (x86)\\dosbox-0.74\\"},
        {"SetArguments", "-noconsole -conf c:\\zorn\\dosbox.conf"},
        {"SetIconLocation", "c:\\zorn\\tessera.ico,3"},
        {"SetDescription", "Tessera"},
        {"SetShowCmd", "1"},
        {"Save", "c:\\users\\user\\desktop\\Caf\xE9 DOSbox.lnk"}};
    for (size_t i = 0; i < 2; ++i) {
        std::vector<std::pair<std::string, std::string>> calls;
        for (const TShellLinkCall& call : Machine.ShellLinks[i].Calls)
            calls.emplace_back(call.Name, call.Value);
        EXPECT_EQ(calls, i == 0 ? print : run);
    }
    EXPECT_TRUE(Machine.FileExists("c:\\users\\user\\desktop\\caf\xE9 dosbox.lnk"));
}

TEST_F(SetupDosboxConfTest, ShortcutWithoutFolderInTheTargetHasNoWorkingDirectory) {
    ASSERT_EQ(CreateShortcut("c:\\l.lnk", "tool.exe", "", "", "", 0, 0), 0);
    EXPECT_EQ(Machine.ShellLinks[0].Calls[1].Name, "SetWorkingDirectory");
    EXPECT_EQ(Machine.ShellLinks[0].Calls[1].Value, "");
}

TEST_F(SetupDosboxConfTest, ShortcutSaveFailureIsReturnedAndCreationFailureRaised) {
    Machine.AddFolder("c:\\users\\user\\desktop", win::FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(static_cast<uint32_t>(
                  CreateShortcut("c:\\users\\user\\desktop\\x.lnk", "c:\\x.exe", "", "", "", 0, 0)),
              0x80070005u);
    EXPECT_EQ(
        static_cast<uint32_t>(CreateShortcut("c:\\missing\\x.lnk", "c:\\x.exe", "", "", "", 0, 0)),
        0x80070003u);
    Machine.ShellLinkAvailable = false;
    EXPECT_THROW((void)CreateShortcut("c:\\x.lnk", "c:\\x.exe", "", "", "", 0, 0), Exception);
}

} // namespace
} // namespace qb
