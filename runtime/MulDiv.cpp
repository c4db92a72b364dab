#include "runtime/MulDiv.h"
#include <climits>
#include <cstdlib>

namespace qb {

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    const long long p = static_cast<long long>(a) * b;
    // Halves round away from zero, as the system call does.
    long long q = (std::llabs(p) + std::llabs(static_cast<long long>(c)) / 2) /
                  std::llabs(static_cast<long long>(c));
    if ((p < 0) != (c < 0))
        q = -q;
    if (q > INT_MAX || q < INT_MIN)
        return -1;
    return static_cast<int>(q);
}

} // namespace qb
