#include "setup/DosboxConf.h"
#include "runtime/Exception.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include "setup/Discovery.h"
#include "setup/TextRoutines.h"
#include <algorithm>
#include <limits>

namespace qb {

namespace {
const char* const ConfResourceName = "rs_TesseraConf";
} // namespace

std::string BuildDosboxConfFrom(const std::string& source, const std::string& targetDir,
                                const std::string& targetProgramPath) {
    std::string result = source;
    // A source with its own mount line loses it and everything after: ours take their place.
    const size_t mount = result.find("mount c ");
    if (mount != std::string::npos)
        result.resize(mount);
    const std::string name = ExtractFileName(targetProgramPath);
    result += "mount c " + targetDir + "\r\n";
    result += "c:\r\n";
    result += "del f\r\n";
    result += name + " /ns\r\n";
    result += "exit\r\n";
    return result;
}

std::string BuildDosboxConf(const std::string& targetProgramPath) {
    const std::optional<std::string> source = Platform().System->LoadRcData(ConfResourceName);
    if (!source)
        throw Exception(std::string("Resource ") + ConfResourceName + " not found");
    return BuildDosboxConfFrom(*source, TargetDir, targetProgramPath);
}

namespace {

// Writes every byte; a write that makes no progress counts as a full disk.
uint32_t WriteAll(IFileSystem& files, THandle file, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const uint32_t chunk = static_cast<uint32_t>(
            std::min<size_t>(text.size() - done, std::numeric_limits<uint32_t>::max()));
        uint32_t written = 0;
        if (const uint32_t error = files.WriteFile(file, text.data() + done, chunk, written))
            return error;
        if (written == 0)
            return win::ERROR_DISK_FULL;
        done += written;
    }
    return 0;
}

} // namespace

uint32_t WriteTextFile(const std::string& path, const std::string& text) {
    IFileSystem& files = *Platform().Files;
    if (text.empty()) {
        const uint32_t error = files.DeleteFile(path);
        return error == win::ERROR_FILE_NOT_FOUND ? 0 : error;
    }
    const std::string temp = path + ".tmp";
    THandle file = 0;
    if (const uint32_t error = files.CreateFile(temp, file))
        return error;
    uint32_t error = WriteAll(files, file, text);
    const uint32_t closeError = files.CloseFile(file);
    if (error == 0)
        error = closeError;
    if (error == 0)
        error = files.ReplaceFile(temp, path);
    if (error != 0)
        files.DeleteFile(temp);
    return error;
}

} // namespace qb
