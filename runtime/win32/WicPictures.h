// PNG through the Windows Imaging Component: Windows' own picture loader (OleLoadPicture) does
// not read PNG, Wine's does. windowscodecs.dll is reached through COM, so the program imports
// nothing new and still starts where the component is missing.
#pragma once
#include "runtime/Picture.h"

namespace qb {

// The first frame of the bytes as a picture with its alpha channel; InvalidFormat when the
// component is missing or cannot read them.
TDecodeResult DecodeWithWic(std::string_view bytes, std::unique_ptr<TDecodedPicture>& out);

} // namespace qb
