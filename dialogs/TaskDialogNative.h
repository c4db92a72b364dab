// The native path of Execute and the small platform helpers both paths share.
#pragma once
#include "runtime/Exception.h"
#include "runtime/Types.h"
#include <cstdint>
#include <string>

namespace qb {

class TCustomTaskDialog;

// The native dialog's notification callback; the reference data is the TCustomTaskDialog.
// Returns 1 only to keep the dialog open after a button click; never lets an exception out.
int32_t NativeDialogCallback(THandle window, unsigned notification, TWParam wParam, TLParam lParam,
                             intptr_t referenceData);

// The button that closes the native dialog as its default: DefaultButton when the dialog has
// it, else the one the system makes the default (its first button).
int NativeDefaultButton(const TCustomTaskDialog& dialog);

// True when kernel32 exports GetLocaleInfoEx.
bool HasLocaleInfoEx();
// dwFileVersionMS of that comctl32 (major in the high word), or -1.
int32_t ComCtlVersion(const std::string& fileName);
// Opens a link with the user's default handler: never elevated, never a named program.
void OpenLink(THandle owner, const std::string& link);
// Backslash-n becomes a line feed; a text with backslash-backslash-n instead keeps backslash-n.
std::string UnescapeNewlines(const std::string& text);
// Error box with the application title, the message ending in a full stop, owned by owner
// (0: the open emulated dialog's window, when there is one).
void ShowExceptionMessage(const Exception& error, THandle owner = 0);

} // namespace qb
