// A log that is opened, appended to and closed for every line, so that a test reading it while
// the program waits in a dialog (or after the program was killed) sees every line written.
#pragma once
#include <cstdio>
#include <string>
#include <utility>

namespace qb {

class TLogFile {
public:
    // An empty path turns logging off.
    explicit TLogFile(std::string path) : Path(std::move(path)) {}

    void Write(const std::string& line) const {
        if (Path.empty())
            return;
        if (std::FILE* f = std::fopen(Path.c_str(), "ab")) {
            std::fputs((line + "\n").c_str(), f);
            std::fclose(f);
        }
    }

private:
    std::string Path;
};

} // namespace qb
