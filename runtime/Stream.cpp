#include "runtime/Stream.h"
#include <algorithm>
#include <cstring>

namespace qb {

std::string ReadToEnd(TStream& stream) {
    std::string all;
    char chunk[4096];
    while (size_t got = stream.Read(chunk, sizeof chunk))
        all.append(chunk, got);
    return all;
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
    const size_t n = Pos < Bytes.size() ? std::min(count, Bytes.size() - Pos) : 0;
    if (n)
        std::memcpy(buffer, Bytes.data() + Pos, n);
    Pos += n;
    return n;
}

void TMemoryStream::Write(const void* buffer, size_t count) {
    if (!count)
        return;
    if (Pos + count > Bytes.size())
        Bytes.resize(Pos + count);
    std::memcpy(Bytes.data() + Pos, buffer, count);
    Pos += count;
}

} // namespace qb
