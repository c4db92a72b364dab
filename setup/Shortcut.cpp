#include "setup/Shortcut.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include "setup/TextRoutines.h"

namespace qb {

int32_t CreateShortcut(const std::string& linkFile, const std::string& target,
                       const std::string& arguments, const std::string& description,
                       const std::string& iconFile, int iconIndex, uint16_t hotKey) {
    const std::u16string widePath = Platform().System->ToUtf16(linkFile);
    const std::string workingDirectory = ExtractFilePath(target);
    // The object and its interfaces are released when this goes out of scope, on every path.
    const std::unique_ptr<IShellLink> link = Platform().Shell->CreateShellLink();
    link->SetPath(target);
    link->SetWorkingDirectory(workingDirectory);
    link->SetArguments(arguments);
    link->SetIconLocation(iconFile, iconIndex);
    link->SetDescription(description);
    link->SetShowCmd(win::SW_SHOWNORMAL);
    if (hotKey != 0)
        link->SetHotkey(hotKey);
    return link->Save(widePath, false);
}

} // namespace qb
