// qbprobe.exe: looks at another program's windows and at the clipboard from inside the same Wine
// prefix, for the end-to-end scripts.
//
//   qbprobe windows                 every visible top-level window, one line each
//   qbprobe window (--xid N | --title T)
//                                   that window and each child window: class, text, id, screen
//                                   rectangle, visible/enabled, which one has the focus
//   qbprobe clipboard               the clipboard's text (CF_TEXT), CR, LF, tab and \ escaped
//   qbprobe hold-clipboard SECONDS  keeps the clipboard open, as a busy program would
//   qbprobe close --xid N           the close requests of the taskbar and of Task Manager
//                                   (WM_SYSCOMMAND SC_CLOSE, then WM_CLOSE)
//   qbprobe dpichange --xid N DPI   tells the window it is now on a monitor of DPI
//                                   (WM_DPICHANGED, without a suggested place)
//
// The scripts find windows by their X window id (xdotool); Wine keeps it in a window property.
// Exit code 0 on success, 1 when the window or the clipboard text is missing, 2 on bad use.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const WineXWindowProperty = "__wine_x11_whole_window";

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Read through WM_GETTEXT, as a screen reader does; the window's own thread answers.
std::string TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return "(no answer)";
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
}

void PrintWindow(const char* kind, HWND window, HWND focus) {
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("%s hwnd=%p class=%s id=%ld x=%ld y=%ld w=%ld h=%ld visible=%d enabled=%d "
                "focus=%d style=0x%08lX text=%s\n",
                kind, static_cast<void*>(window), ClassOf(window).c_str(),
                static_cast<long>(GetDlgCtrlID(window)), r.left, r.top, r.right - r.left,
                r.bottom - r.top, IsWindowVisible(window) ? 1 : 0, IsWindowEnabled(window) ? 1 : 0,
                window == focus ? 1 : 0,
                static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
                Escaped(TextOf(window)).c_str());
}

struct TFind {
    unsigned long XWindow = 0;
    std::string Title;
    bool All = false;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    auto* find = reinterpret_cast<TFind*>(param);
    if (!IsWindowVisible(window))
        return TRUE;
    bool match = find->All;
    if (find->XWindow != 0)
        match = reinterpret_cast<uintptr_t>(GetPropA(window, WineXWindowProperty)) == find->XWindow;
    else if (!find->Title.empty())
        match = TextOf(window) == find->Title;
    if (match)
        find->Found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

int ListWindows() {
    TFind find;
    find.All = true;
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&find));
    for (HWND window : find.Found) {
        std::printf("xid=%lu ", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(
                                    GetPropA(window, WineXWindowProperty))));
        PrintWindow("window", window, nullptr);
    }
    return 0;
}

int DescribeWindow(TFind find) {
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&find));
    if (find.Found.empty()) {
        std::printf("no such window\n");
        return 1;
    }
    HWND window = find.Found.front();
    HWND focus = FocusOf(window);
    PrintWindow("window", window, focus);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT client{};
    GetClientRect(window, &client);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    std::printf("client x=%ld y=%ld w=%ld h=%ld dpi=%d\n", origin.x, origin.y, client.right,
                client.bottom, dpi);
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children)
        PrintWindow("child", child, focus);
    return 0;
}

int PrintClipboard() {
    // Another program may hold it for a moment: try for a second.
    bool open = false;
    for (int i = 0; i < 20 && !(open = OpenClipboard(nullptr)); ++i)
        Sleep(50);
    if (!open) {
        std::printf("clipboard=(cannot open)\n");
        return 1;
    }
    int code = 1;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* text = static_cast<const char*>(GlobalLock(data))) {
            std::printf("clipboard=%s\n", Escaped(text).c_str());
            GlobalUnlock(data);
            code = 0;
        }
    }
    if (code != 0)
        std::printf("clipboard=(no text)\n");
    CloseClipboard();
    return code;
}

int HoldClipboard(int seconds) {
    if (!OpenClipboard(nullptr)) {
        std::printf("hold=failed\n");
        return 1;
    }
    std::printf("hold=open\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    CloseClipboard();
    std::printf("hold=released\n");
    return 0;
}

HWND WindowByXid(const std::string& xid) {
    TFind find;
    find.XWindow = std::strtoul(xid.c_str(), nullptr, 0);
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&find));
    return find.Found.empty() ? nullptr : find.Found.front();
}

int CloseRequests(HWND window) {
    if (!window)
        return 1;
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    std::printf("close requests posted\n");
    return 0;
}

int DpiChange(HWND window, int dpi) {
    if (!window || dpi <= 0)
        return 1;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), 0,
                        SMTO_ABORTIFHUNG, 5000, &result);
    std::printf("dpi changed to %d\n", dpi);
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: qbprobe windows | window (--xid N | --title T) | clipboard | "
                         "hold-clipboard SECONDS | close --xid N | dpichange --xid N DPI\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Rectangles in real pixels, also when the prefix runs above 96 DPI.
    SetProcessDPIAware();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "windows")
        return ListWindows();
    if (args.size() == 1 && args[0] == "clipboard")
        return PrintClipboard();
    if (args.size() == 2 && args[0] == "hold-clipboard")
        return HoldClipboard(std::atoi(args[1].c_str()));
    if (args.size() == 3 && args[0] == "close" && args[1] == "--xid")
        return CloseRequests(WindowByXid(args[2]));
    if (args.size() == 4 && args[0] == "dpichange" && args[1] == "--xid")
        return DpiChange(WindowByXid(args[2]), std::atoi(args[3].c_str()));
    if (args.size() == 3 && args[0] == "window") {
        TFind find;
        if (args[1] == "--xid")
            find.XWindow = std::strtoul(args[2].c_str(), nullptr, 0);
        else if (args[1] == "--title")
            find.Title = args[2];
        else
            return Usage();
        return DescribeWindow(find);
    }
    return Usage();
}
