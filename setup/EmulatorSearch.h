// Finding the DOS emulator: today's place first, then where the emulators people install
// today put themselves; and how the run shortcut starts the one found.
#pragma once
#include <string>

namespace qb {

struct TEmulator {
    std::string Path; // full path, lower-cased
    // DOSBox Staging runs the user's own start-up lines before ours unless told not to.
    bool Staging = false;
};

// FindDosboxExe first, as it is. Only when it finds nothing: the 64-bit Program Files folder on
// a 64-bit system and the user's own programs folder, each by the same folder rule; the folders
// the emulators' installers record (their Path values, then uninstall entries named DOSBox);
// and DOSBox-X's default folder on the system drive. The first of these places that holds
// dosbox.exe or dosbox-x.exe wins.
bool FindEmulator(bool system64, TEmulator& emulator);

// "-noconsole -conf <configuration>", and for DOSBox Staging also --noprimaryconf.
std::string EmulatorArguments(const TEmulator& emulator, const std::string& confPath);

} // namespace qb
