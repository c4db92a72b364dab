// Finding the Program Files and desktop folders, the installed target program and DOSBox.
#pragma once
#include "runtime/Types.h"
#include <array>
#include <string>
#include <vector>

namespace qb {

// The three target DOS programs, one array per column, indexed by the same row.
struct TTargetProgramTable {
    std::array<const char*, 3> Executable;
    std::array<const char*, 3> Title;
    std::array<const char*, 3> IconFile;
};
inline constexpr int TargetProgramCount = 3;
extern const TTargetProgramTable TargetPrograms;

// Module state of the setup run, read by discovery and the configuration builder.
extern std::string ProgramFilesDir; // one trailing backslash, lower-cased
extern char InstallDrive;           // first character of ProgramFilesDir
extern std::string TargetDir;       // InstallDrive + ":\zorn\"
extern int TargetIndex;             // row found, TargetProgramCount after a failed probe
// Back to the state before any run, so that one process can run several passes.
void ResetSetupState();

// The folder's path as the system gives it, without a trailing backslash; empty on failure.
std::string GetSpecialFolderPath(int csidl);
// The same path lower-cased, with one trailing backslash; empty on failure.
std::string SpecialFolderDir(int csidl);
std::string PathFromItemIdList(THandle itemList);
void TrimAtNul(std::string& text);

// True when a row's executable exists in TargetDir (first row in table order wins); sets
// TargetDir and TargetIndex. path is that executable's full path, lower-cased.
bool FindTargetProgram(std::string& path);
// The entries of a folder (lower-cased, with one trailing backslash) whose names contain
// "dosbox", lower-cased with one trailing backslash, in listing order; hidden and system
// entries are left out.
std::vector<std::string> DosboxFolders(const std::string& folder);
// True when an entry under ProgramFilesDir whose name contains "dosbox" holds dosbox.exe (the
// first such entry in listing order that does); path is its full path, lower-cased. On failure
// path is the first place tried, or empty when no entry matched.
bool FindDosboxExe(std::string& path);

} // namespace qb
