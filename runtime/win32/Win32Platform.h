// The real Windows platform: owns the backend's services and hands them out as a TPlatform.
#pragma once
#include "runtime/Platform.h"
#include "runtime/win32/Win32FileSystem.h"
#include "runtime/win32/Win32Pictures.h"
#include "runtime/win32/Win32Registry.h"
#include "runtime/win32/Win32Shell.h"
#include "runtime/win32/Win32SystemInfo.h"
#include "runtime/win32/Win32TaskDialogHost.h"
#include "runtime/win32/Win32Windowing.h"

namespace qb {

class Win32Platform {
public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    // Valid while this object lives.
    TPlatform AsPlatform();

    Win32FileSystem Files;
    Win32Shell Shell;
    Win32SystemInfo System;
    Win32TaskDialogHost TaskDialogs;
    Win32Windowing Windowing;
    Win32PictureDecoder Pictures;
    Win32ShellIcons ShellIcons;
    Win32Registry Registry;
};

} // namespace qb
