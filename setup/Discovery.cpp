#include "setup/Discovery.h"
#include "runtime/CodePage.h"
#include "runtime/Platform.h"
#include "setup/TextRoutines.h"

namespace qb {

const TTargetProgramTable TargetPrograms = {
    {"kestro.exe", "kestrow.exe", "kestrokw.exe"},
    {"Tessera", "Varnette", "Morvel"},
    {"tessera.ico", "varnette.ico", "morvel.ico"},
};

std::string ProgramFilesDir;
char InstallDrive = '\0';
std::string TargetDir;
int TargetIndex = 0;

void ResetSetupState() {
    ProgramFilesDir.clear();
    InstallDrive = '\0';
    TargetDir.clear();
    TargetIndex = 0;
}

void TrimAtNul(std::string& text) {
    const size_t nul = text.find('\0');
    if (nul != std::string::npos)
        text.resize(nul);
}

std::string PathFromItemIdList(THandle itemList) {
    std::string buffer(260, '\0');
    if (!Platform().Shell->GetPathFromIDList(itemList, buffer))
        return {};
    TrimAtNul(buffer);
    return buffer;
}

std::string GetSpecialFolderPath(int csidl) {
    IShell& shell = *Platform().Shell;
    THandle itemList = 0;
    if (shell.GetSpecialFolderLocation(csidl, itemList) < 0)
        return {};
    std::string path = PathFromItemIdList(itemList);
    shell.FreeItemList(itemList);
    return path;
}

std::string SpecialFolderDir(int csidl) {
    return LowerAscii(WithTrailingBackslash(GetSpecialFolderPath(csidl)));
}

bool FindTargetProgram(std::string& path) {
    IFileSystem& files = *Platform().Files;
    path.clear();
    TargetDir = std::string(1, InstallDrive) + ":\\zorn\\";
    bool found = false;
    for (TargetIndex = 0; TargetIndex < TargetProgramCount && !found; ++TargetIndex) {
        path = LowerAscii(TargetDir + TargetPrograms.Executable[TargetIndex]);
        found = files.FileExists(path);
    }
    if (found)
        --TargetIndex;
    return found;
}

std::vector<std::string> DosboxFolders(const std::string& folder) {
    std::vector<std::string> folders;
    for (const TDirEntry& entry : Platform().Files->FindFiles(folder + "*.*")) {
        const std::string name = LowerAscii(entry.Name);
        if (FindCharText(name, "dosbox") != std::string::npos)
            folders.push_back(WithTrailingBackslash(folder + name));
    }
    return folders;
}

bool FindDosboxExe(std::string& path) {
    path.clear();
    // A folder left behind by an older version can come first, so each match is tried until
    // one holds the emulator.
    std::string firstTried;
    for (const std::string& folder : DosboxFolders(ProgramFilesDir)) {
        const std::string candidate = folder + "dosbox.exe";
        if (Platform().Files->FileExists(candidate)) {
            path = candidate;
            return true;
        }
        if (firstTried.empty())
            firstTried = candidate;
    }
    path = firstTried;
    return false;
}

} // namespace qb
