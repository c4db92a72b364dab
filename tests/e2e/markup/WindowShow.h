// Shows one markup text in a real window, drawn by the GDI canvas on the window's device
// context, so that the screen can be photographed and compared with the off-screen drawing.
#pragma once
#include <string>

namespace qb::e2e {

// The window is titled "Quillbridge markup", borderless at the screen's top left corner, and
// closes on any key, a click or after timeoutSeconds. Also saves the same text drawn off-screen
// as referenceBmp. Returns the process exit code.
int ShowInWindow(const std::string& markup, const std::string& referenceBmp, int timeoutSeconds);

} // namespace qb::e2e
