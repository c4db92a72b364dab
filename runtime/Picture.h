// Decoded pictures, the picture decoder and the shell's file-type icons: the platform seams of
// the picture container and of the renderer's images.
#pragma once
#include "runtime/Canvas.h"
#include "runtime/Types.h"
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qb {

// An image as a picture decoder returns it. Width() and Height() count its own pixels, which
// the picture container takes as its size at 96 dots per inch, whatever resolution the system
// decoder measured it at; drawing stretches it into the target rectangle.
class TDecodedPicture : public TGraphic {};

// How a decoding attempt ended; each failure has its own message in the picture container.
enum class TDecodeResult {
    Ok,
    NoMemory,      // the memory block for the bytes could not be had
    NoStream,      // no stream could be made on the bytes
    EmptyStream,   // the stream call succeeded without a stream
    InvalidFormat, // the decoder rejected the bytes
    NoPicture,     // the decoder succeeded without a picture
};

inline constexpr std::string_view PngSignature("\x89PNG\r\n\x1A\n", 8);

inline bool IsPng(std::string_view bytes) {
    return bytes.substr(0, PngSignature.size()) == PngSignature;
}

class IPictureDecoder {
public:
    virtual ~IPictureDecoder() = default;
    // Decodes exactly `bytes` (GIF, BMP, JPEG, PNG...). Reads nothing outside them; any bytes
    // end in a result, never in a crash.
    virtual TDecodeResult Decode(std::string_view bytes, std::unique_ptr<TDecodedPicture>& out) = 0;
};

// The shell's system image list and the icons of file types.
class IShellIcons {
public:
    virtual ~IShellIcons() = default;
    // SHGetFileInfoA with SHGFI_SYSICONINDEX (and SHGFI_USEFILEATTRIBUTES when the name is
    // only a file name or an extension): the icon's index in the system image list.
    virtual int FileIconIndex(const std::string& name, bool useFileAttributes) = 0;
    // The icon size of the small or large system image list, in device pixels: a program aware
    // of the resolution gets icons at the screen's size.
    virtual TSize IconSize(bool large) = 0;
    // ImageList_Draw with ILD_TRANSPARENT at (x, y).
    virtual void DrawIcon(TCanvas& canvas, int index, bool large, int x, int y) = 0;
    // The icon drawn with ILD_NORMAL into a new bitmap of the icon size; null when none.
    virtual std::unique_ptr<TGraphic> IconBitmap(int index, bool large) = 0;
};

} // namespace qb
