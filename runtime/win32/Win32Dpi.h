// Resolutions: the system's, a window's, and the calls that take one where the system has them
// (looked up at run time, so that older systems still run the program).
#pragma once
#include "runtime/win32/WindowsApi.h"

namespace qb {

// The resolution the program was started at (the primary monitor's at sign-in).
int SystemDpi();
// The resolution of the monitor a window is on, for a per-monitor aware program; the system's
// where the call is missing.
int WindowDpi(HWND window);
// AdjustWindowRectEx with the frame metrics of that resolution.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);
// SPI_GETNONCLIENTMETRICS as at that resolution (SystemParametersInfoForDpi); false where the
// call is missing or fails.
bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi);
// A system icon at exactly that size, owned by the caller (DestroyIcon); null when missing.
HICON LoadIconAtSize(int id, int size);

} // namespace qb
