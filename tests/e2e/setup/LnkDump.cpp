// lnkdump FILE.lnk         prints the link's fields as key=value lines
// lnkdump --robust FILE    also parses every truncated copy of FILE: each must either be
//                          refused with an error or give the same fields (never a crash)
#include <windows.h>

#include "ShellLinkReader.h"
#include <shellapi.h>
#include <cstdio>
#include <string>

namespace {

// The path comes as UTF-16: a user's desktop may hold letters this process's code page lacks.
std::vector<uint8_t> ReadAll(const wchar_t* path) {
    std::FILE* file = _wfopen(path, L"rb");
    if (!file)
        throw qb::e2e::TShellLinkError("cannot open the file");
    std::vector<uint8_t> bytes;
    uint8_t buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    return bytes;
}

// Truncated copies: the reader must notice where a structure is cut, not read past the end.
int CheckTruncations(const std::vector<uint8_t>& bytes, const std::string& full) {
    int accepted = 0;
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::vector<uint8_t> part(bytes.begin(), bytes.begin() + static_cast<long>(n));
        try {
            std::string got = qb::e2e::DescribeShellLink(qb::e2e::ParseShellLink(part));
            // Only the optional extra data may be cut off without notice.
            auto strip = [](const std::string& s) { return s.substr(0, s.rfind("extra_blocks=")); };
            if (strip(got) != strip(full)) {
                std::printf("robust=FAILED at %zu bytes: parsed into different fields\n", n);
                return 1;
            }
            ++accepted;
        } catch (const qb::e2e::TShellLinkError&) {
        }
    }
    std::printf("robust=ok (%zu truncations, %d accepted)\n", bytes.size(), accepted);
    return 0;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    bool robust = argc == 3 && std::wstring(argv[1]) == L"--robust";
    if (argc != 2 && !robust) {
        std::fprintf(stderr, "usage: lnkdump [--robust] FILE.lnk\n");
        return 2;
    }
    try {
        std::vector<uint8_t> bytes = ReadAll(argv[argc - 1]);
        std::string text = qb::e2e::DescribeShellLink(qb::e2e::ParseShellLink(bytes));
        std::fputs(text.c_str(), stdout);
        return robust ? CheckTruncations(bytes, text) : 0;
    } catch (const qb::e2e::TShellLinkError& e) {
        std::printf("error=%s\n", e.what());
        return 1;
    }
}
