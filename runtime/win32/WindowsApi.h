// The Windows headers as the backend uses them. Include this instead of <windows.h>: it removes
// the A/W name macros that would otherwise rename our own methods (CreateFile, MessageBox,
// IShellLink...) in this translation unit only, so every file sees the same class layouts.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#undef CreateFile
#undef DeleteFile
#undef GetFileAttributes
#undef ReplaceFile
#undef MessageBox
#undef LoadString
#undef SendMessage
#undef ShellExecute
#undef ShellExecuteEx
#undef IShellLink
#undef DrawText
