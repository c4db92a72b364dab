// The whole program: one setup pass that links the installed DOS program to DOSBox.
#pragma once
#include <string>

namespace qb {

// The address opened when the user wants to install DOSBox.
inline constexpr const char* DosboxDownloadPage = "https://www.dosbox.com/download.php?main=1";
inline constexpr const char* SetupCaption = "Quillbridge";

// Finds the target program and DOSBox, writes dosbox.conf, makes the two desktop shortcuts after
// the user confirms and tells how to start and print. Errors that end the program (the system
// cannot say whether it is 64-bit, no shell-link object) escape as qb::Exception.
void RunSetup();

// The text shown after the shortcuts exist, for the found row's shortcut title and title.
std::string InstructionText(const std::string& shortcutTitle, const std::string& title);

} // namespace qb
