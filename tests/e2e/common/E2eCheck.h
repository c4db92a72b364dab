// Counting checks for the end-to-end programs: a failed check prints why and the run goes on.
#pragma once
#include <cstdio>
#include <string>

namespace qb::e2e {

struct TChecks {
    int Count = 0;
    int Failures = 0;

    // "FAILED [area] what"
    bool operator()(bool ok, const std::string& area, const std::string& what) {
        return Note(ok, ("[" + area + "] " + what).c_str());
    }
    // "FAILED line N: what", for checks named by their source line (CHECK below).
    bool operator()(bool ok, const std::string& what, int line) {
        return Note(ok, ("line " + std::to_string(line) + ": " + what).c_str());
    }

private:
    bool Note(bool ok, const char* failure) {
        ++Count;
        if (!ok) {
            ++Failures;
            std::printf("FAILED %s\n", failure);
        }
        return ok;
    }
};

} // namespace qb::e2e

// For a program whose TChecks is called Check.
#define CHECK(condition) Check((condition), #condition, __LINE__)
