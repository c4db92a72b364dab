#include "ShellLinkReader.h"
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <sstream>

namespace qb::e2e {
namespace {

// CLSID 00021401-0000-0000-C000-000000000046 as stored (first three groups little-endian).
constexpr uint8_t ShellLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                        0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// Bounds-checked little-endian reads; every structure size comes from the file itself.
class TReader {
public:
    explicit TReader(const std::vector<uint8_t>& bytes) : Bytes(bytes) {}

    size_t Pos = 0;

    void Need(size_t count, const char* what) const {
        if (count > Bytes.size() || Pos > Bytes.size() - count)
            throw TShellLinkError(std::string("file ends inside ") + what);
    }
    uint8_t U8(const char* what) {
        Need(1, what);
        return Bytes[Pos++];
    }
    uint16_t U16(const char* what) {
        Need(2, what);
        uint16_t v = static_cast<uint16_t>(Bytes[Pos] | (Bytes[Pos + 1] << 8));
        Pos += 2;
        return v;
    }
    uint32_t U32(const char* what) {
        uint32_t lo = U16(what);
        return lo | (static_cast<uint32_t>(U16(what)) << 16);
    }
    uint64_t U64(const char* what) {
        uint64_t lo = U32(what);
        return lo | (static_cast<uint64_t>(U32(what)) << 32);
    }
    void Skip(size_t count, const char* what) {
        Need(count, what);
        Pos += count;
    }
    size_t Remaining() const { return Bytes.size() - Pos; }

    const std::vector<uint8_t>& Bytes;
};

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// A NUL-terminated 8-bit string that must end inside [start, limit).
std::string CString(const std::vector<uint8_t>& bytes, size_t start, size_t limit,
                    const char* what) {
    if (limit > bytes.size())
        limit = bytes.size();
    std::string s;
    for (size_t i = start; i < limit; ++i) {
        if (bytes[i] == 0)
            return s;
        s += static_cast<char>(bytes[i]);
    }
    throw TShellLinkError(std::string("unterminated ") + what);
}

// StringData entry: a character count, then that many UTF-16 units or bytes. The format has no
// terminator there, but some writers count one in; the text ends at it either way.
std::string CountedString(TReader& r, bool unicode, const char* what, bool& counted_nul) {
    uint16_t count = r.U16(what);
    std::string s;
    if (!unicode) {
        r.Need(count, what);
        s.assign(r.Bytes.begin() + static_cast<long>(r.Pos),
                 r.Bytes.begin() + static_cast<long>(r.Pos + count));
        r.Pos += count;
    } else {
        for (uint16_t i = 0; i < count; ++i) {
            uint32_t u = r.U16(what);
            if (u >= 0xD800 && u < 0xDC00 && i + 1 < count) {
                uint32_t low = r.U16(what);
                ++i;
                if (low >= 0xDC00 && low < 0xE000)
                    u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                else
                    u = 0xFFFD;
            }
            AppendUtf8(s, u);
        }
    }
    if (size_t nul = s.find('\0'); nul != std::string::npos) {
        counted_nul = true;
        s.resize(nul);
    }
    return s;
}
// The usual item list of a file: the computer item, a drive item ("C:\"), then one item per
// folder and the file, each with its name after a fixed 14-byte head. Anything else gives "".
std::string IdListPath(const std::vector<uint8_t>& bytes, size_t start, size_t end) {
    std::string path;
    size_t pos = start;
    while (pos + 2 <= end) {
        size_t size = bytes[pos] | (bytes[pos + 1] << 8);
        if (size == 0)
            return path;
        if (size < 3 || pos + size > end)
            throw TShellLinkError("item list entry overruns the list");
        uint8_t type = bytes[pos + 2];
        if (type == 0x1F) {
            // Root folder item (the computer): carries a class id, no name.
        } else if ((type & 0x70) == 0x20) {
            path = CString(bytes, pos + 3, pos + size, "drive item");
        } else if ((type & 0x70) == 0x30 && size > 14) {
            if (!path.empty() && path.back() != '\\')
                path += '\\';
            path += CString(bytes, pos + 14, pos + size, "file item");
        } else {
            return "";
        }
        pos += size;
    }
    throw TShellLinkError("item list lacks its terminator");
}

void ParseLinkInfo(TReader& r, TShellLink& link) {
    size_t start = r.Pos;
    uint32_t size = r.U32("LinkInfo");
    if (size < 0x1C)
        throw TShellLinkError("LinkInfo is too small");
    r.Need(size - 4, "LinkInfo");
    uint32_t headerSize = r.U32("LinkInfo");
    uint32_t flags = r.U32("LinkInfo");
    r.U32("LinkInfo"); // volume id offset
    uint32_t localBaseOffset = r.U32("LinkInfo");
    r.U32("LinkInfo"); // network link offset
    uint32_t suffixOffset = r.U32("LinkInfo");
    (void)headerSize;
    size_t end = start + size;
    if (flags & 1) {
        if (localBaseOffset >= size)
            throw TShellLinkError("LinkInfo local base path is outside it");
        link.LocalBasePath =
            CString(r.Bytes, start + localBaseOffset, end, "LinkInfo local base path");
    }
    if (suffixOffset != 0 && suffixOffset < size)
        link.CommonPathSuffix =
            CString(r.Bytes, start + suffixOffset, end, "LinkInfo common path suffix");
    r.Pos = end;
}

std::string Hex(uint64_t v, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%0*llX", digits, static_cast<unsigned long long>(v));
    return buf;
}

} // namespace

TShellLink ParseShellLink(const std::vector<uint8_t>& bytes) {
    TReader r(bytes);
    TShellLink link;
    link.HeaderSize = r.U32("header");
    if (link.HeaderSize != 0x4C)
        throw TShellLinkError("header size is not 0x4C");
    r.Need(16, "header");
    link.ClsidIsShellLink = std::equal(std::begin(ShellLinkClsid), std::end(ShellLinkClsid),
                                       bytes.begin() + static_cast<long>(r.Pos));
    r.Pos += 16;
    link.LinkFlags = r.U32("header");
    link.FileAttributes = r.U32("header");
    link.CreationTime = r.U64("header");
    link.AccessTime = r.U64("header");
    link.WriteTime = r.U64("header");
    link.FileSize = r.U32("header");
    link.IconIndex = static_cast<int32_t>(r.U32("header"));
    link.ShowCommand = r.U32("header");
    link.HotKey = r.U16("header");
    r.Skip(10, "header"); // three reserved fields

    if (link.LinkFlags & LinkFlag::HasLinkTargetIdList) {
        uint16_t size = r.U16("item list");
        r.Need(size, "item list");
        link.IdListSize = size;
        link.IdListPath = IdListPath(bytes, r.Pos, r.Pos + size);
        r.Pos += size;
    }
    if (link.LinkFlags & LinkFlag::HasLinkInfo)
        ParseLinkInfo(r, link);

    bool unicode = (link.LinkFlags & LinkFlag::IsUnicode) != 0;
    if (link.LinkFlags & LinkFlag::HasName)
        link.Name = CountedString(r, unicode, "description", link.CountedNul);
    if (link.LinkFlags & LinkFlag::HasRelativePath)
        link.RelativePath = CountedString(r, unicode, "relative path", link.CountedNul);
    if (link.LinkFlags & LinkFlag::HasWorkingDir)
        link.WorkingDir = CountedString(r, unicode, "working folder", link.CountedNul);
    if (link.LinkFlags & LinkFlag::HasArguments)
        link.Arguments = CountedString(r, unicode, "arguments", link.CountedNul);
    if (link.LinkFlags & LinkFlag::HasIconLocation)
        link.IconLocation = CountedString(r, unicode, "icon location", link.CountedNul);

    // Extra data: sized blocks until one smaller than 4 bytes (normally a zero terminal block).
    while (r.Remaining() >= 4) {
        uint32_t size = r.U32("extra data");
        if (size < 4)
            break;
        if (size < 8)
            throw TShellLinkError("extra data block is too small");
        uint32_t signature = r.U32("extra data");
        r.Skip(size - 8, "extra data block");
        link.ExtraBlocks.push_back(signature);
    }
    return link;
}

std::string DescribeShellLink(const TShellLink& link) {
    std::ostringstream out;
    // Absent strings get no line of their own; "absent=" lists them, so "" and absent differ.
    std::string absent;
    auto opt = [&](const char* key, const std::optional<std::string>& v) {
        if (v)
            out << key << '=' << *v << '\n';
        else
            absent += (absent.empty() ? "" : ",") + std::string(key);
    };
    out << "header_size=" << Hex(link.HeaderSize, 2) << '\n';
    out << "clsid_ok=" << (link.ClsidIsShellLink ? 1 : 0) << '\n';
    out << "link_flags=" << Hex(link.LinkFlags, 8) << '\n';
    out << "unicode=" << ((link.LinkFlags & LinkFlag::IsUnicode) ? 1 : 0) << '\n';
    out << "file_attributes=" << Hex(link.FileAttributes, 8) << '\n';
    out << "file_size=" << link.FileSize << '\n';
    out << "icon_index=" << link.IconIndex << '\n';
    out << "show_command=" << link.ShowCommand << '\n';
    out << "hot_key=" << Hex(link.HotKey, 4) << '\n';
    out << "idlist_size=" << (link.IdListSize ? std::to_string(*link.IdListSize) : "(absent)")
        << '\n';
    out << "idlist_path=" << link.IdListPath << '\n';
    out << "target=" << link.Target() << '\n';
    opt("description", link.Name);
    opt("relative_path", link.RelativePath);
    opt("working_dir", link.WorkingDir);
    opt("arguments", link.Arguments);
    opt("icon_location", link.IconLocation);
    out << "absent=" << absent << '\n';
    out << "counted_nul=" << (link.CountedNul ? 1 : 0) << '\n';
    out << "extra_blocks=";
    for (size_t i = 0; i < link.ExtraBlocks.size(); ++i)
        out << (i ? "," : "") << Hex(link.ExtraBlocks[i], 8);
    out << '\n';
    return out.str();
}

} // namespace qb::e2e
