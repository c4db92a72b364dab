// Counting checks for the markup e2e program: a failed check prints why and the run goes on.
#pragma once
#include <cstdio>
#include <string>

namespace qb::e2e {

struct TChecks {
    int Count = 0;
    int Failures = 0;

    bool operator()(bool ok, const std::string& area, const std::string& what) {
        ++Count;
        if (!ok) {
            ++Failures;
            std::printf("FAILED [%s] %s\n", area.c_str(), what.c_str());
        }
        return ok;
    }
};

} // namespace qb::e2e
