// One COM reference owned, released on every path.
#pragma once
#include <utility>

namespace qb {

template <class T> class TComRef {
public:
    TComRef() = default;
    TComRef(const TComRef&) = delete;
    TComRef& operator=(const TComRef&) = delete;
    TComRef(TComRef&& other) noexcept : Pointer(std::exchange(other.Pointer, nullptr)) {}
    ~TComRef() {
        if (Pointer != nullptr) {
            Pointer->Release();
        }
    }
    T* operator->() const { return Pointer; }
    T* Get() const { return Pointer; }
    void** Out() { return reinterpret_cast<void**>(&Pointer); }
    T** Address() { return &Pointer; }

private:
    T* Pointer = nullptr;
};

} // namespace qb
