// The DOSBox configuration file written into the target folder.
#pragma once
#include <cstdint>
#include <string>

namespace qb {

// The embedded configuration cut before its first "mount c ", followed by the start-up lines
// that mount TargetDir as C:, delete the old print file, start the program with /ns and exit.
// Raises qb::Exception when the program's configuration resource is missing.
std::string BuildDosboxConf(const std::string& targetProgramPath);
// The same from a given source text and target folder (no module state, no resources).
std::string BuildDosboxConfFrom(const std::string& source, const std::string& targetDir,
                                const std::string& targetProgramPath);

// Replaces the file's whole content with text, atomically: a temporary file beside it is
// written completely and then moved over the file, so a failure leaves the old file intact and
// no temporary behind. An empty text deletes the file instead. Returns 0 or the system error
// code of the step that failed.
[[nodiscard]] uint32_t WriteTextFile(const std::string& path, const std::string& text);

} // namespace qb
