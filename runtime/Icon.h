// An icon object: holds an icon handle (HICON) for whoever draws or passes it on.
#pragma once
#include "runtime/Types.h"

namespace qb {

class TIcon {
public:
    TIcon() = default;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;

    THandle Handle() const { return Handle_; }
    // The handle stays the caller's: the icon object does not destroy it.
    void SetHandle(THandle handle) { Handle_ = handle; }
    bool Empty() const { return Handle_ == 0; }

private:
    THandle Handle_ = 0;
};

} // namespace qb
