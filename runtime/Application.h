// The application object: owns the program's top-level components and answers what dialogs ask
// of the program (its window, title, reading order, help).
#pragma once
#include "runtime/Component.h"
#include "runtime/Types.h"
#include <exception>
#include <string>

namespace qb {

class TApplication : public TComponent {
public:
    TApplication() : TComponent(nullptr) {}

    // This program has no window of its own: dialogs are top-level windows.
    THandle Handle() const { return 0; }
    // The window an error box belongs to: the open dialog's, so that the dialog waits, disabled,
    // while the box shows and comes back after it; without one, the application's.
    THandle DialogOwner() const;
    std::string Title() const { return "Quillbridge"; }
    bool IsRightToLeft() const { return false; }
    // No help system is installed: raises qb::Exception saying so.
    [[noreturn]] void HelpContext(int context);
    // An exception stopped at the message dispatch: shown in an error box, the program goes on.
    void HandleException(const std::exception& error);
};

extern TApplication Application;

} // namespace qb
