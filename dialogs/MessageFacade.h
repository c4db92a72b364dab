// Message-box style entry points: the rest of the program asks and tells through these.
#pragma once
#include "runtime/Format.h"
#include "runtime/Types.h"
#include <cstdint>
#include <string>

namespace qb {

enum class TTaskDialogIcon : uint8_t; // defined with the dialog model

// True only when the verification text is not empty and the user left the box checked.
bool TaskMessageDlg(const std::string& title, const std::string& instruction,
                    const std::string& content, const std::string& verification,
                    TTaskDialogIcon icon);
bool ShowMessage(const std::string& text);
bool ShowMessageFmt(const std::string& templ, std::initializer_list<TFormatArg> args);
// MessageBox flag word in, MessageBox result code out (0 when nothing matches).
int TaskMessageBox(THandle owner, const std::string& text, const std::string& caption,
                   uint32_t flags);

} // namespace qb
