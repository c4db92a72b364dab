// Desktop shortcut files, written through the system's shell-link object.
#pragma once
#include <cstdint>
#include <string>

namespace qb {

// Writes the .lnk file: working directory is the target's folder, show command normal, hot key
// only when not 0. Needs COM initialised. Returns the HRESULT of saving the file (negative when
// it could not be saved); raises qb::Exception when the shell-link object cannot be created.
[[nodiscard]] int32_t CreateShortcut(const std::string& linkFile, const std::string& target,
                                     const std::string& arguments, const std::string& description,
                                     const std::string& iconFile, int iconIndex, uint16_t hotKey);

} // namespace qb
