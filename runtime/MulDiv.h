// Rounded a * b / c in 64 bits, as the system's MulDiv: halves round away from zero; -1 when c
// is 0 or the result does not fit in 32 bits.
#pragma once

namespace qb {

int MulDiv(int a, int b, int c);

} // namespace qb
