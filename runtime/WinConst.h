// Windows constants that the portable code names, with their Windows values.
// Only runtime/win32 includes <windows.h>; everything else uses these.
#pragma once
#include <cstdint>

namespace qb::win {

// Dialog result ids.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDCLOSE = 8;
inline constexpr int IDHELP = 9;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;

// MessageBox flag word.
inline constexpr uint32_t MB_OK = 0x0000;
inline constexpr uint32_t MB_OKCANCEL = 0x0001;
inline constexpr uint32_t MB_ABORTRETRYIGNORE = 0x0002;
inline constexpr uint32_t MB_YESNOCANCEL = 0x0003;
inline constexpr uint32_t MB_YESNO = 0x0004;
inline constexpr uint32_t MB_RETRYCANCEL = 0x0005;
inline constexpr uint32_t MB_CANCELTRYCONTINUE = 0x0006;
inline constexpr uint32_t MB_ICONHAND = 0x0010;
inline constexpr uint32_t MB_ICONERROR = 0x0010;
inline constexpr uint32_t MB_ICONQUESTION = 0x0020;
inline constexpr uint32_t MB_ICONEXCLAMATION = 0x0030;
inline constexpr uint32_t MB_ICONASTERISK = 0x0040;
inline constexpr uint32_t MB_ICONINFORMATION = 0x0040;
inline constexpr uint32_t MB_DEFBUTTON1 = 0x0000;
inline constexpr uint32_t MB_DEFBUTTON2 = 0x0100;
inline constexpr uint32_t MB_DEFBUTTON3 = 0x0200;
inline constexpr uint32_t MB_DEFBUTTON4 = 0x0300;
inline constexpr uint32_t MB_HELP = 0x4000;
inline constexpr uint32_t MB_RTLREADING = 0x100000;

// Show commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;

// Special folders (CSIDL).
inline constexpr int CSIDL_DESKTOP = 0x0000;
inline constexpr int CSIDL_LOCAL_APPDATA = 0x001c;
inline constexpr int CSIDL_WINDOWS = 0x0024;
inline constexpr int CSIDL_PROGRAM_FILES = 0x0026;    // 38
inline constexpr int CSIDL_PROGRAM_FILESX86 = 0x002a; // 42

// Registry roots (the HKEY values, cut to 32 bits) and the views of a 64-bit system.
inline constexpr uint32_t HKEY_CURRENT_USER = 0x80000001;
inline constexpr uint32_t HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr uint32_t KEY_WOW64_64KEY = 0x0100;
inline constexpr uint32_t KEY_WOW64_32KEY = 0x0200;

// File attributes.
inline constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr uint32_t FILE_ATTRIBUTE_SYSTEM = 0x04;
inline constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// System error codes the portable code reasons about.
inline constexpr uint32_t ERROR_SUCCESS = 0;
inline constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;
inline constexpr uint32_t ERROR_ACCESS_DENIED = 5;
inline constexpr uint32_t ERROR_SHARING_VIOLATION = 32;
inline constexpr uint32_t ERROR_DISK_FULL = 112;
inline constexpr uint32_t ERROR_WRITE_PROTECT = 19;

// Hot key modifiers.
inline constexpr uint16_t HOTKEYF_SHIFT = 0x01;
inline constexpr uint16_t HOTKEYF_CONTROL = 0x02;
inline constexpr uint16_t HOTKEYF_ALT = 0x04;

// Virtual keys.
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F4 = 0x73;

// Task dialog: common button flags.
inline constexpr uint32_t TDCBF_OK_BUTTON = 0x01;
inline constexpr uint32_t TDCBF_YES_BUTTON = 0x02;
inline constexpr uint32_t TDCBF_NO_BUTTON = 0x04;
inline constexpr uint32_t TDCBF_CANCEL_BUTTON = 0x08;
inline constexpr uint32_t TDCBF_RETRY_BUTTON = 0x10;
inline constexpr uint32_t TDCBF_CLOSE_BUTTON = 0x20;

// Task dialog flags.
inline constexpr uint32_t TDF_ENABLE_HYPERLINKS = 0x0001;
inline constexpr uint32_t TDF_USE_HICON_MAIN = 0x0002;
inline constexpr uint32_t TDF_USE_HICON_FOOTER = 0x0004;
inline constexpr uint32_t TDF_ALLOW_DIALOG_CANCELLATION = 0x0008;
inline constexpr uint32_t TDF_USE_COMMAND_LINKS = 0x0010;
inline constexpr uint32_t TDF_USE_COMMAND_LINKS_NO_ICON = 0x0020;
inline constexpr uint32_t TDF_EXPAND_FOOTER_AREA = 0x0040;
inline constexpr uint32_t TDF_EXPANDED_BY_DEFAULT = 0x0080;
inline constexpr uint32_t TDF_VERIFICATION_FLAG_CHECKED = 0x0100;
inline constexpr uint32_t TDF_SHOW_PROGRESS_BAR = 0x0200;
inline constexpr uint32_t TDF_SHOW_MARQUEE_PROGRESS_BAR = 0x0400;
inline constexpr uint32_t TDF_CALLBACK_TIMER = 0x0800;
inline constexpr uint32_t TDF_POSITION_RELATIVE_TO_WINDOW = 0x1000;
inline constexpr uint32_t TDF_RTL_LAYOUT = 0x2000;
inline constexpr uint32_t TDF_NO_DEFAULT_RADIO_BUTTON = 0x4000;
inline constexpr uint32_t TDF_CAN_BE_MINIMIZED = 0x8000;

// Task dialog notifications.
inline constexpr unsigned TDN_CREATED = 0;
inline constexpr unsigned TDN_NAVIGATED = 1;
inline constexpr unsigned TDN_BUTTON_CLICKED = 2;
inline constexpr unsigned TDN_HYPERLINK_CLICKED = 3;
inline constexpr unsigned TDN_TIMER = 4;
inline constexpr unsigned TDN_DESTROYED = 5;
inline constexpr unsigned TDN_RADIO_BUTTON_CLICKED = 6;
inline constexpr unsigned TDN_DIALOG_CONSTRUCTED = 7;
inline constexpr unsigned TDN_VERIFICATION_CLICKED = 8;
inline constexpr unsigned TDN_HELP = 9;
inline constexpr unsigned TDN_EXPANDO_BUTTON_CLICKED = 10;

// Task dialog messages (WM_USER based).
inline constexpr unsigned WM_USER = 0x0400;
inline constexpr unsigned TDM_NAVIGATE_PAGE = WM_USER + 101;
inline constexpr unsigned TDM_CLICK_BUTTON = WM_USER + 102;
inline constexpr unsigned TDM_SET_MARQUEE_PROGRESS_BAR = WM_USER + 103;
inline constexpr unsigned TDM_SET_PROGRESS_BAR_STATE = WM_USER + 104;
inline constexpr unsigned TDM_SET_PROGRESS_BAR_RANGE = WM_USER + 105;
inline constexpr unsigned TDM_SET_PROGRESS_BAR_POS = WM_USER + 106;
inline constexpr unsigned TDM_SET_PROGRESS_BAR_MARQUEE = WM_USER + 107;
inline constexpr unsigned TDM_SET_ELEMENT_TEXT = WM_USER + 108;
inline constexpr unsigned TDM_CLICK_RADIO_BUTTON = WM_USER + 110;
inline constexpr unsigned TDM_ENABLE_BUTTON = WM_USER + 111;
inline constexpr unsigned TDM_ENABLE_RADIO_BUTTON = WM_USER + 112;
inline constexpr unsigned TDM_CLICK_VERIFICATION = WM_USER + 113;
inline constexpr unsigned TDM_UPDATE_ELEMENT_TEXT = WM_USER + 114;
inline constexpr unsigned TDM_SET_BUTTON_ELEVATION_REQUIRED_STATE = WM_USER + 115;
inline constexpr unsigned TDM_UPDATE_ICON = WM_USER + 116;

inline constexpr unsigned TDE_CONTENT = 0;
inline constexpr unsigned TDE_EXPANDED_INFORMATION = 1;
inline constexpr unsigned TDE_FOOTER = 2;
inline constexpr unsigned TDE_MAIN_INSTRUCTION = 3;

inline constexpr unsigned PBST_NORMAL = 1;
inline constexpr unsigned PBST_ERROR = 2;
inline constexpr unsigned PBST_PAUSED = 3;

// Native task dialog icon resource ids (MAKEINTRESOURCE values).
inline constexpr uint16_t TD_WARNING_ICON = 0xFFFF;
inline constexpr uint16_t TD_ERROR_ICON = 0xFFFE;
inline constexpr uint16_t TD_INFORMATION_ICON = 0xFFFD;
inline constexpr uint16_t TD_SHIELD_ICON = 0xFFFC;

// Standard system icons.
inline constexpr int IDI_HAND = 32513;
inline constexpr int IDI_QUESTION = 32514;
inline constexpr int IDI_EXCLAMATION = 32515;
inline constexpr int IDI_ASTERISK = 32516;
inline constexpr int IDI_WINLOGO = 32517;

// GetSystemMetrics indexes.
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;

// DrawText format flags.
inline constexpr uint32_t DT_TOP = 0x00000000;
inline constexpr uint32_t DT_LEFT = 0x00000000;
inline constexpr uint32_t DT_CENTER = 0x00000001;
inline constexpr uint32_t DT_RIGHT = 0x00000002;
inline constexpr uint32_t DT_VCENTER = 0x00000004;
inline constexpr uint32_t DT_BOTTOM = 0x00000008;
inline constexpr uint32_t DT_WORDBREAK = 0x00000010;
inline constexpr uint32_t DT_SINGLELINE = 0x00000020;
inline constexpr uint32_t DT_EXPANDTABS = 0x00000040;
inline constexpr uint32_t DT_TABSTOP = 0x00000080;
inline constexpr uint32_t DT_NOCLIP = 0x00000100;
inline constexpr uint32_t DT_EXTERNALLEADING = 0x00000200;
inline constexpr uint32_t DT_CALCRECT = 0x00000400;
inline constexpr uint32_t DT_NOPREFIX = 0x00000800;
inline constexpr uint32_t DT_END_ELLIPSIS = 0x00008000;
inline constexpr uint32_t DT_RTLREADING = 0x00020000;
inline constexpr uint32_t DT_HIDEPREFIX = 0x00100000;

// Device caps.
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

// Code pages.
inline constexpr unsigned CP_ACP = 0;

} // namespace qb::win
