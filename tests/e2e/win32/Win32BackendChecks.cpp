// Checks of the Win32 backend against the real system calls, run under wine64 by
// run_backend_checks.sh. Without arguments it runs every check and exits 0 when all pass.
// "--data FILE" names the file the RS_TESSERACONF resource was compiled from.
// "--dialog" shows one task dialog for a person or xdotool to answer and exits with the button.
#include "runtime/win32/WindowsApi.h"

#include "resources/ResourceIds.h"
#include "runtime/Exception.h"
#include "runtime/win32/Win32Platform.h"
#include "tests/e2e/common/E2eCheck.h"
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using namespace qb;

e2e::TChecks Check;

// UTF-16 texts are shown by their units.
std::string Printable(const std::u16string& text) {
    std::string out;
    for (const char16_t unit : text) {
        out += unit < 0x80 ? std::string(1, static_cast<char>(unit))
                           : "\\u" + std::to_string(static_cast<unsigned>(unit));
    }
    return out;
}
template <class T> const T& Printable(const T& value) {
    return value;
}

// Each side is evaluated once: the checked calls have effects.
template <class A, class B>
void CheckEqual(const A& actual, const B& expected, const char* what, int line) {
    std::ostringstream text;
    text << what << " (actual " << Printable(actual) << ", expected " << Printable(expected) << ")";
    if constexpr (std::is_integral_v<A> && std::is_integral_v<B> && !std::is_same_v<A, bool>) {
        Check(std::cmp_equal(actual, expected), text.str(), line); // Windows error macros are long
    } else {
        Check(actual == expected, text.str(), line);
    }
}

#define CHECK_EQ(actual, expected)                                                                 \
    CheckEqual((actual), (expected), #actual " == " #expected, __LINE__)

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

bool Listed(const std::vector<TDirEntry>& entries, const std::string& name) {
    return std::any_of(entries.begin(), entries.end(),
                       [&](const TDirEntry& entry) { return entry.Name == name; });
}

// A fresh folder under the user's temporary folder, with a trailing backslash.
std::string MakeScratchFolder() {
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder =
        std::string(temp) + "qb-backend-" + std::to_string(::GetCurrentProcessId()) + "\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void CheckFileSystem(IFileSystem& files, const std::string& scratch) {
    const std::string file = scratch + "plain.txt";
    const std::string sub = scratch + "kestro.exe"; // a folder with a program's name
    WriteAll(file, "x");
    ::CreateDirectoryA(sub.c_str(), nullptr);
    WriteAll(scratch + "hidden.txt", "h");
    ::SetFileAttributesA((scratch + "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteAll(scratch + "system.txt", "s");
    ::SetFileAttributesA((scratch + "system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    ::CreateDirectoryA((scratch + "hiddendir").c_str(), nullptr);
    ::SetFileAttributesA((scratch + "hiddendir").c_str(), FILE_ATTRIBUTE_HIDDEN);

    // Existence: files only, never folders.
    CHECK(files.FileExists(file));
    CHECK(!files.FileExists(sub));
    CHECK(!files.FileExists(scratch + "missing.txt"));
    CHECK_EQ(files.GetFileAttributes(scratch + "missing.txt"), INVALID_FILE_ATTRIBUTES);
    CHECK((files.GetFileAttributes(sub) & FILE_ATTRIBUTE_DIRECTORY) != 0);

    // Listing: files and folders, without hidden or system entries.
    const std::vector<TDirEntry> entries = files.FindFiles(scratch + "*.*");
    CHECK(Listed(entries, "plain.txt"));
    CHECK(Listed(entries, "kestro.exe"));
    CHECK(!Listed(entries, "hidden.txt"));
    CHECK(!Listed(entries, "system.txt"));
    CHECK(!Listed(entries, "hiddendir"));
    CHECK(files.FindFiles(scratch + "nothing*.zzz").empty());
    CHECK(files.FindFiles(scratch + "no such folder\\*.*").empty());

    // CREATE_ALWAYS replaces a longer file completely.
    const std::string target = scratch + "dosbox.conf";
    WriteAll(target, std::string(5000, 'o'));
    THandle handle = 0;
    CHECK_EQ(files.CreateFile(target, handle), 0u);
    uint32_t written = 0;
    CHECK_EQ(files.WriteFile(handle, "new text", 8, written), 0u);
    CHECK_EQ(written, 8u);
    // No sharing: a second open of the same file fails while the first is open.
    THandle second = 0;
    CHECK_EQ(files.CreateFile(target, second), ERROR_SHARING_VIOLATION);
    CHECK_EQ(second, reinterpret_cast<THandle>(INVALID_HANDLE_VALUE));
    CHECK_EQ(files.CloseFile(handle), 0u);
    CHECK_EQ(ReadAll(target), std::string("new text"));

    // Failures carry the system's error code.
    THandle nowhere = 0;
    CHECK_EQ(files.CreateFile(scratch + "no such folder\\x.conf", nowhere), ERROR_PATH_NOT_FOUND);
    uint32_t none = 77;
    CHECK(files.WriteFile(reinterpret_cast<THandle>(INVALID_HANDLE_VALUE), "x", 1, none) != 0);
    CHECK_EQ(none, 0u);
    CHECK_EQ(files.CloseFile(0), ERROR_INVALID_HANDLE);

    // Replacing moves the new file over the old one.
    const std::string temporary = scratch + "dosbox.conf.tmp";
    WriteAll(temporary, "replacement");
    CHECK_EQ(files.ReplaceFile(temporary, target), 0u);
    CHECK_EQ(ReadAll(target), std::string("replacement"));
    CHECK(!files.FileExists(temporary));
    CHECK_EQ(files.ReplaceFile(temporary, target), ERROR_FILE_NOT_FOUND);

    CHECK_EQ(files.DeleteFile(target), 0u);
    CHECK(!files.FileExists(target));
    CHECK_EQ(files.DeleteFile(target), ERROR_FILE_NOT_FOUND);
}

uint32_t ReadU32(const std::string& data, size_t at) {
    uint32_t value = 0;
    std::memcpy(&value, data.data() + at, sizeof value);
    return value;
}

void CheckShell(IShell& shell, ISystemInfo& system, const std::string& scratch) {
    // Special folders: a path that fits the 260-character buffer, NUL inside it.
    THandle list = 0;
    CHECK(shell.GetSpecialFolderLocation(CSIDL_PROGRAM_FILESX86, list) >= 0);
    std::string buffer;
    CHECK(shell.GetPathFromIDList(list, buffer));
    CHECK_EQ(buffer.size(), 260u);
    const std::string programFiles = buffer.substr(0, buffer.find('\0'));
    CHECK_EQ(programFiles, std::string("C:\\Program Files (x86)"));
    shell.FreeItemList(list);
    CHECK(shell.GetSpecialFolderLocation(CSIDL_DESKTOP, list) >= 0);
    CHECK(shell.GetPathFromIDList(list, buffer));
    CHECK(buffer[0] != '\0');
    shell.FreeItemList(list);
    CHECK(shell.GetSpecialFolderLocation(0x7E, list) < 0); // no such folder
    CHECK(!shell.GetPathFromIDList(0, buffer));

    // Without COM the shell-link object cannot exist: a clear error, not a crash.
    std::string error;
    try {
        shell.CreateShellLink();
    } catch (const Exception& e) {
        error = e.Message();
    }
    CHECK(error.rfind("The shell link object cannot be created: ", 0) == 0);
    CHECK(error.find('\n') == std::string::npos);

    // The properties reach the saved file.
    CHECK(shell.CoInitialize() >= 0);
    {
        const std::unique_ptr<IShellLink> link = shell.CreateShellLink();
        CHECK(link != nullptr);
        CHECK(link->SetPath("C:\\zorn\\spoolix.exe") >= 0);
        CHECK(link->SetWorkingDirectory("C:\\zorn\\") >= 0);
        CHECK(link->SetArguments("f") >= 0);
        CHECK(link->SetIconLocation("C:\\zorn\\tessera.ico", 0) >= 0);
        CHECK(link->SetDescription("Print File f (CTRL+ALT+P)") >= 0);
        CHECK(link->SetShowCmd(SW_SHOWNORMAL) >= 0);
        CHECK(link->SetHotkey(0x0650) >= 0);
        CHECK(link->Save(system.ToUtf16(scratch + "Print-F.lnk"), false) >= 0);
    }
    shell.CoUninitialize();
    const std::string lnk = ReadAll(scratch + "Print-F.lnk");
    CHECK(lnk.size() > 0x4C);
    if (lnk.size() > 0x4C) {
        CHECK_EQ(ReadU32(lnk, 0), 0x4Cu);
        const uint32_t flags = ReadU32(lnk, 0x14);
        CHECK((flags & 0x04) != 0); // description
        CHECK((flags & 0x10) != 0); // working folder
        CHECK((flags & 0x20) != 0); // arguments
        CHECK((flags & 0x40) != 0); // icon location
        CHECK_EQ(ReadU32(lnk, 0x3C), 1u);
        CHECK_EQ(ReadU32(lnk, 0x40) & 0xFFFF, 0x0650u);
    }
}

void CheckSystemInfo(ISystemInfo& system, const std::string& dataFile) {
    const TOsVersion version = system.GetVersion();
    std::printf("system %u.%u.%u\n", static_cast<unsigned>(version.Major),
                static_cast<unsigned>(version.Minor), static_cast<unsigned>(version.Build));
    CHECK(version.Major >= 6);

    const int32_t comctl = system.ComCtlVersion("COMCTL32.DLL");
    char loaded[MAX_PATH] = {};
    ::GetModuleFileNameA(::LoadLibraryA("comctl32.dll"), loaded, MAX_PATH);
    std::printf("comctl32 in use %d.%d (%s)\n", comctl >> 16, comctl & 0xFFFF, loaded);
    // The manifest's dependency is honoured: the side-by-side library, not the system folder's.
    std::string lower = loaded;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    CHECK(lower.find("microsoft.windows.common-controls_6595b64144ccf1df_6.") != std::string::npos);
    CHECK(comctl > 0);
    CHECK((comctl >> 16) >= 5);
    CHECK_EQ(system.ComCtlVersion("no-such-library.dll"), -1);

    // A 64-bit process is not under WOW64; a 32-bit one only on a 64-bit system.
    CHECK_EQ(system.ProcessIs64Bit(), sizeof(void*) == 8);
    if (sizeof(void*) == 8) {
        CHECK(system.IsWow64Process() == TWow64Answer::No);
    } else {
        CHECK(system.IsWow64Process() != TWow64Answer::Failed);
    }
    CHECK(system.HasGetLocaleInfoEx());

    // The string table and the raw data of our own module.
    CHECK_EQ(system.LoadString(IDS_MSGDLG_YES), std::string("&Yes"));
    CHECK_EQ(system.LoadString(IDS_MSGDLG_CONTINUE), std::string("continue"));
    CHECK_EQ(system.LoadString(4242), std::string());
    const std::optional<std::string> conf = system.LoadRcData("rs_TesseraConf");
    CHECK(conf.has_value());
    if (conf && !dataFile.empty()) {
        const std::string expected = ReadAll(dataFile);
        CHECK(!expected.empty());
        CHECK(*conf == expected);
    }
    CHECK(system.LoadRcData("RS_TESSERACONF").has_value());
    CHECK(!system.LoadRcData("RS_NO_SUCH_DATA").has_value());
    // The configuration is the same text in every language: it is compiled language-neutral.
    CHECK(::FindResourceExA(::GetModuleHandleA(nullptr), RT_RCDATA, "RS_TESSERACONF",
                            MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)) != nullptr);

    // Code page conversion, both ways.
    CHECK_EQ(system.ToUtf16("C:\\zorn\\x.lnk"), std::u16string(u"C:\\zorn\\x.lnk"));
    CHECK(system.ToUtf16("").empty());
    CHECK_EQ(system.FromUtf16(u"Tessera DOSbox"), std::string("Tessera DOSbox"));
    // The manifest makes UTF-8 the process code page where the system honours it (Windows 10
    // 1903 and later, Wine); the conversions and the double-byte rules follow it.
    const UINT codePage = ::GetACP();
    CHECK_EQ(system.AnsiCodePage(), static_cast<uint32_t>(codePage));
    CHECK(!system.IsDbcsLeadByte('\\'));
    int leads = 0;
    for (int byte = 0; byte < 256; ++byte) {
        leads += system.IsDbcsLeadByte(static_cast<uint8_t>(byte)) ? 1 : 0;
    }
    if (codePage == CP_UTF8) {
        CHECK_EQ(leads, 0);
        CHECK(system.ToUtf16("\xC5\x81ukasz") == std::u16string(u"\u0141ukasz"));
        CHECK_EQ(system.FromUtf16(u"\u039D\u03AF\u03BA\u03BF\u03C2"),
                 std::string("\xCE\x9D\xCE\xAF\xCE\xBA\xCE\xBF\xCF\x82"));
        CHECK_EQ(system.FromUtf16(u"\u20AC\u00A9"), std::string("\xE2\x82\xAC\xC2\xA9"));
    } else if (codePage == 1252) {
        CHECK_EQ(leads, 0);
        CHECK(system.ToUtf16("caf\xE9") == std::u16string(u"caf\u00E9"));
        CHECK_EQ(system.FromUtf16(u"\u00E9t\u00E9"), std::string("\xE9t\xE9"));
        const std::string bytes = "Print \x80 \xFC";
        CHECK_EQ(system.FromUtf16(system.ToUtf16(bytes)), bytes);
    }

    // The system's words, without line breaks.
    const std::string notFound = system.ErrorMessage(ERROR_FILE_NOT_FOUND);
    CHECK_EQ(notFound, std::string("File not found."));
    const std::string unknown = system.ErrorMessage(0x2FFFFFFF);
    CHECK(!unknown.empty());
    CHECK(unknown.find_first_of("\r\n") == std::string::npos);
}

// A callback scripted by a test: what it saw and what it does at each notification.
struct TCallbackScript {
    INativeTaskDialogHost* Host = nullptr;
    std::vector<unsigned> Seen;
    THandle Window = 0;
    int ClickedId = 0;
    int ClickOnCreated = 0; // button to press when the dialog exists, 0: none
    int ClickOnTimer = 0;   // button to press at the next timer tick, 0: none
    int Vetoes = 0;         // button clicks to refuse before one is allowed
    bool ThrowOnCreated = false;
    int MeasureButton = 0; // button whose caption length to read when the dialog exists
    int CaptionLength = -1;
};

int32_t ScriptedCallback(THandle window, unsigned notification, TWParam wParam, TLParam /*lParam*/,
                         intptr_t data) {
    auto& script = *reinterpret_cast<TCallbackScript*>(data);
    script.Seen.push_back(notification);
    script.Window = window;
    if (notification == TDN_CREATED) {
        if (script.MeasureButton != 0) {
            HWND button = ::GetDlgItem(reinterpret_cast<HWND>(window), script.MeasureButton);
            script.CaptionLength = button != nullptr ? ::GetWindowTextLengthW(button) : -1;
        }
        if (script.ThrowOnCreated) {
            throw Exception("Raised inside the dialog callback");
        }
        if (script.ClickOnCreated != 0) {
            script.Host->SendMessage(window, TDM_CLICK_BUTTON,
                                     static_cast<TWParam>(script.ClickOnCreated), 0);
        }
    } else if (notification == TDN_TIMER && script.ClickOnTimer != 0) {
        const int id = std::exchange(script.ClickOnTimer, 0);
        script.Host->SendMessage(window, TDM_CLICK_BUTTON, static_cast<TWParam>(id), 0);
    } else if (notification == TDN_BUTTON_CLICKED) {
        script.ClickedId = static_cast<int>(wParam);
        if (script.Vetoes > 0) {
            --script.Vetoes;
            script.ClickOnTimer = script.ClickedId;
            return 1; // keep the dialog open
        }
    }
    return 0;
}

TNativeTaskDialogConfig SampleConfig(TCallbackScript& script) {
    TNativeTaskDialogConfig config;
    config.Flags = TDF_ALLOW_DIALOG_CANCELLATION;
    config.CommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
    config.WindowTitle = u"Backend check";
    config.MainInstruction = u"Which way?";
    config.Content = u"Checked by the Win32 backend checks.";
    config.MainIcon = reinterpret_cast<uintptr_t>(TD_INFORMATION_ICON);
    config.Buttons = {{100, u"First way"}, {101, u"Second way"}};
    config.RadioButtons = {{200, u"Left"}, {201, u"Right"}};
    config.DefaultRadioButton = 201;
    config.VerificationText = u"Remember";
    config.Callback = ScriptedCallback;
    config.CallbackData = reinterpret_cast<intptr_t>(&script);
    return config;
}

// Closes the error box that a throwing callback raises, keeps its text, then closes the dialog.
struct TErrorBoxWatcher {
    std::string Text;
    static HWND WaitForWindow(const char* className, const char* title) {
        for (int i = 0; i < 300; ++i) {
            if (HWND window = ::FindWindowA(className, title)) {
                return window;
            }
            ::Sleep(50);
        }
        return nullptr;
    }
    static DWORD WINAPI Run(void* self) {
        auto& watcher = *static_cast<TErrorBoxWatcher*>(self);
        HWND box = WaitForWindow("#32770", "Quillbridge");
        if (box == nullptr) {
            return 1;
        }
        char text[512] = {};
        ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        watcher.Text = text;
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 300 && ::IsWindow(box); ++i) {
            ::Sleep(50);
        }
        if (HWND dialog = WaitForWindow(nullptr, "Backend check")) {
            ::PostMessageA(dialog, TDM_CLICK_BUTTON, IDOK, 0);
        }
        return 0;
    }
};

void CheckTaskDialogHost(INativeTaskDialogHost& host) {
    CHECK(host.LoadComctl32());
    CHECK(host.HasTaskDialogIndirect());

    // System icons for the USE_HICON flags come at the big and the small icon size.
    for (const bool small : {false, true}) {
        const THandle icon = host.LoadSystemIcon(32514 /* IDI_QUESTION */, small);
        ICONINFO info{};
        BITMAP bitmap{};
        CHECK(icon != 0 && ::GetIconInfo(reinterpret_cast<HICON>(icon), &info));
        ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        CHECK_EQ(bitmap.bmWidth, ::GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON));
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
    CHECK_EQ(host.LoadSystemIcon(1, false), 0u);

    // Texts, buttons and radio buttons reach the dialog; the callback gets its window and data,
    // and messages sent through the host act on the dialog.
    {
        TCallbackScript script;
        script.Host = &host;
        script.ClickOnCreated = 101;
        TNativeTaskDialogConfig config = SampleConfig(script);
        config.Flags |= TDF_VERIFICATION_FLAG_CHECKED;
        int button = -5;
        int radio = -5;
        bool checked = false;
        const int32_t result = host.TaskDialogIndirect(config, &button, &radio, &checked);
        CHECK_EQ(result, 0);
        CHECK_EQ(button, 101);
        CHECK_EQ(radio, 201);
        CHECK(checked);
        CHECK(script.Window != 0);
        CHECK(std::find(script.Seen.begin(), script.Seen.end(), TDN_CREATED) != script.Seen.end());
        CHECK(std::find(script.Seen.begin(), script.Seen.end(), TDN_BUTTON_CLICKED) !=
              script.Seen.end());
        CHECK_EQ(script.ClickedId, 101);
    }

    // The callback's answer goes back to the dialog: 1 keeps it open after a click.
    {
        TCallbackScript script;
        script.Host = &host;
        script.ClickOnCreated = IDCANCEL;
        script.Vetoes = 1;
        TNativeTaskDialogConfig config = SampleConfig(script);
        config.Flags |= TDF_CALLBACK_TIMER;
        int button = 0;
        CHECK_EQ(host.TaskDialogIndirect(config, &button, nullptr, nullptr), 0);
        CHECK_EQ(button, IDCANCEL);
        CHECK_EQ(script.Vetoes, 0);
        CHECK_EQ(std::count(script.Seen.begin(), script.Seen.end(), TDN_BUTTON_CLICKED), 2);
    }

    // An exception in the callback is shown in an error box and stops at the callback.
    {
        TCallbackScript script;
        script.Host = &host;
        script.ThrowOnCreated = true;
        TNativeTaskDialogConfig config = SampleConfig(script);
        TErrorBoxWatcher watcher;
        HANDLE thread = ::CreateThread(nullptr, 0, TErrorBoxWatcher::Run, &watcher, 0, nullptr);
        int button = 0;
        CHECK_EQ(host.TaskDialogIndirect(config, &button, nullptr, nullptr), 0);
        ::WaitForSingleObject(thread, 15000);
        ::CloseHandle(thread);
        CHECK_EQ(button, IDOK);
        CHECK_EQ(watcher.Text, std::string("Raised inside the dialog callback"));
    }

    // A caption longer than a button's buffer is cut to 1023 units, not passed on whole.
    {
        TCallbackScript script;
        script.Host = &host;
        script.ClickOnCreated = 100;
        script.MeasureButton = 100;
        TNativeTaskDialogConfig config = SampleConfig(script);
        config.Buttons = {{100, std::u16string(5000, u'w')}};
        int button = 0;
        CHECK_EQ(host.TaskDialogIndirect(config, &button, nullptr, nullptr), 0);
        CHECK_EQ(button, 100);
        CHECK_EQ(script.CaptionLength, 1023);
    }
}

// One dialog for a person or a test script: exits with the button, plus 50 when "Remember" was
// ticked (exit codes above 255 do not survive the trip back to Linux).
int ShowOneDialog(INativeTaskDialogHost& host) {
    TCallbackScript script;
    script.Host = &host;
    TNativeTaskDialogConfig config = SampleConfig(script);
    config.Callback = nullptr;
    config.DefaultButton = 101;
    config.Footer = u"Footer text of the backend check";
    config.FooterIcon = reinterpret_cast<uintptr_t>(TD_WARNING_ICON);
    if (!host.HasTaskDialogIndirect()) {
        return 2;
    }
    int button = 0;
    int radio = 0;
    bool checked = false;
    host.TaskDialogIndirect(config, &button, &radio, &checked);
    std::printf("button %d, radio %d, verification %s\n", button, radio, checked ? "on" : "off");
    return button + (checked ? 50 : 0);
}

DWORD WINAPI Watchdog(void*) {
    ::Sleep(90000);
    std::printf("FAILED: still running after 90 s\n");
    std::fflush(stdout);
    ::ExitProcess(99);
}

void WriteValue(HKEY root, const std::string& key, const char* name, DWORD type,
                const std::string& data) {
    HKEY written = nullptr;
    if (::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &written,
                          nullptr) != ERROR_SUCCESS) {
        return;
    }
    if (name != nullptr) {
        ::RegSetValueExA(written, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                         static_cast<DWORD>(data.size()));
    }
    ::RegCloseKey(written);
}

// What the emulator search reads of other programs, at the edges the end-to-end runs do not
// reach: long texts, expanded variables, values that are no text, keys that are missing. (The
// registry's views, uninstall entries and product names are proven by those runs.)
void CheckInstallRecords(ISystemInfo& system, IRegistry& registry) {
    const std::string longText(1000, 'v');
    ::SetEnvironmentVariableA("QB_BACKEND_CHECK", longText.c_str());
    CHECK(system.EnvironmentVariable("qb_backend_check") == longText);
    CHECK(!system.EnvironmentVariable("QB_NO_SUCH_VARIABLE"));
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    CHECK(system.FileVersionString(self, "ProductName") == "Quillbridge");
    CHECK(!system.FileVersionString("c:\\no\\such.exe", "ProductName"));

    const uint32_t hkcu = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(HKEY_CURRENT_USER));
    const std::string key = "Software\\QuillbridgeBackendCheck";
    WriteValue(HKEY_CURRENT_USER, key, "Plain", REG_SZ, "c:\\emu"); // stored without its NUL
    WriteValue(HKEY_CURRENT_USER, key, "Long", REG_SZ, std::string(3000, 'p') + '\0');
    WriteValue(HKEY_CURRENT_USER, key, "Expand", REG_EXPAND_SZ,
               std::string("%QB_BACKEND_CHECK%\\x") + '\0');
    WriteValue(HKEY_CURRENT_USER, key, "Number", REG_DWORD, std::string(4, '\1'));
    WriteValue(HKEY_CURRENT_USER, key + "\\Beta", nullptr, 0, {});
    WriteValue(HKEY_CURRENT_USER, key + "\\alpha", nullptr, 0, {});
    CHECK(registry.ReadString(hkcu, key, "plain", 0) == "c:\\emu");
    CHECK(registry.ReadString(hkcu, key, "Long", 0) == std::string(3000, 'p'));
    CHECK(registry.ReadString(hkcu, key, "Expand", 0) == longText + "\\x");
    CHECK(!registry.ReadString(hkcu, key, "Number", 0));
    CHECK(!registry.ReadString(hkcu, key + "\\Missing", "Plain", 0));
    std::vector<std::string> subKeys = registry.SubKeys(hkcu, key, 0);
    std::sort(subKeys.begin(), subKeys.end());
    CHECK(subKeys == (std::vector<std::string>{"Beta", "alpha"}));
    ::RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
}

} // namespace

int main(int argc, char** argv) {
    std::string dataFile;
    bool dialog = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            dataFile = argv[++i];
        } else if (arg == "--dialog") {
            dialog = true;
        }
    }
    Win32Platform platform;
    if (dialog) {
        return ShowOneDialog(platform.TaskDialogs);
    }
    ::CloseHandle(::CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));

    const std::string scratch = MakeScratchFolder();
    CheckFileSystem(platform.Files, scratch);
    CheckShell(platform.Shell, platform.System, scratch);
    CheckSystemInfo(platform.System, dataFile);
    CheckInstallRecords(platform.System, platform.Registry);
    CheckTaskDialogHost(platform.TaskDialogs);

    std::printf("%d of %d checks passed\n", Check.Count - Check.Failures, Check.Count);
    std::fflush(stdout);
    return Check.Failures == 0 ? 0 : 1;
}
