// A set of enumeration values stored as a bit field: element e is bit e.
#pragma once
#include <initializer_list>
#include <type_traits>

namespace qb {

template <typename E, typename TBits> class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> items) {
        for (E item : items)
            Include(item);
    }
    static constexpr TEnumSet FromBits(TBits bits) {
        TEnumSet set;
        set.Bits_ = bits;
        return set;
    }
    constexpr TBits Bits() const { return Bits_; }

    constexpr bool Contains(E item) const { return (Bits_ & Mask(item)) != 0; }
    constexpr bool Empty() const { return Bits_ == 0; }
    constexpr TEnumSet& Include(E item) {
        Bits_ = static_cast<TBits>(Bits_ | Mask(item));
        return *this;
    }
    constexpr TEnumSet& Exclude(E item) {
        Bits_ = static_cast<TBits>(Bits_ & ~Mask(item));
        return *this;
    }
    constexpr TEnumSet& operator+=(E item) { return Include(item); }
    constexpr TEnumSet& operator-=(E item) { return Exclude(item); }
    friend constexpr bool operator==(const TEnumSet&, const TEnumSet&) = default;

private:
    static constexpr TBits Mask(E item) {
        return static_cast<TBits>(TBits{1} << static_cast<std::underlying_type_t<E>>(item));
    }
    TBits Bits_ = 0;
};

} // namespace qb
