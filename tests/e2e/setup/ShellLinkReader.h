// A reader of the published shell-link (.lnk) binary format, written for the tests so that the
// shortcuts the program saves are checked byte by byte, never through the API that wrote them.
#pragma once
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qb::e2e {

// Raised for a file that is not a shell link or that ends inside a structure.
class TShellLinkError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace LinkFlag {
inline constexpr uint32_t HasLinkTargetIdList = 1u << 0;
inline constexpr uint32_t HasLinkInfo = 1u << 1;
inline constexpr uint32_t HasName = 1u << 2;
inline constexpr uint32_t HasRelativePath = 1u << 3;
inline constexpr uint32_t HasWorkingDir = 1u << 4;
inline constexpr uint32_t HasArguments = 1u << 5;
inline constexpr uint32_t HasIconLocation = 1u << 6;
inline constexpr uint32_t IsUnicode = 1u << 7;
} // namespace LinkFlag

struct TShellLink {
    uint32_t HeaderSize = 0;
    bool ClsidIsShellLink = false;
    uint32_t LinkFlags = 0;
    uint32_t FileAttributes = 0;
    uint64_t CreationTime = 0;
    uint64_t AccessTime = 0;
    uint64_t WriteTime = 0;
    uint32_t FileSize = 0;
    int32_t IconIndex = 0;
    uint32_t ShowCommand = 0;
    uint16_t HotKey = 0;

    // Item list: its size, and the path its items spell when they are the usual
    // computer / drive / folder-or-file items (empty otherwise).
    std::optional<uint16_t> IdListSize;
    std::string IdListPath;

    // LinkInfo: local base path joined with the common path suffix.
    std::optional<std::string> LocalBasePath;
    std::string CommonPathSuffix;

    // Counted strings, UTF-8 here; nullopt when the flag says the field is absent.
    std::optional<std::string> Name;
    std::optional<std::string> RelativePath;
    std::optional<std::string> WorkingDir;
    std::optional<std::string> Arguments;
    std::optional<std::string> IconLocation;
    // A string's count included a terminating NUL (the text is cut there).
    bool CountedNul = false;

    // Signatures of the extra data blocks, in file order.
    std::vector<uint32_t> ExtraBlocks;

    std::string Target() const { return LocalBasePath ? *LocalBasePath + CommonPathSuffix : ""; }
};

TShellLink ParseShellLink(const std::vector<uint8_t>& bytes);

// key=value lines, one per field, for the shell tests to compare.
std::string DescribeShellLink(const TShellLink& link);

} // namespace qb::e2e
