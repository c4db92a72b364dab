// TStream: the framework's byte stream, for graphics that stream their stored data in and out.
// A small interface of its own so that programs that stream pictures do not link the C++
// stream library (its locale tables alone would double the size of the shipping program).
#pragma once
#include <cstddef>
#include <string>

namespace qb {

class TStream {
public:
    virtual ~TStream() = default;
    // Copies up to count bytes from the current position and returns how many were read;
    // 0 at the end. Errors are raised.
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Writes all count bytes at the current position, or raises.
    virtual void Write(const void* buffer, size_t count) = 0;
};

// Reads from the current position to the end.
std::string ReadToEnd(TStream& stream);

// A stream over bytes held in memory; writes past the end grow it.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : Bytes(std::move(bytes)) {}

    size_t Read(void* buffer, size_t count) override;
    void Write(const void* buffer, size_t count) override;

    const std::string& DataString() const { return Bytes; }
    void Seek(size_t position) { Pos = position < Bytes.size() ? position : Bytes.size(); }

private:
    std::string Bytes;
    size_t Pos = 0;
};

} // namespace qb
