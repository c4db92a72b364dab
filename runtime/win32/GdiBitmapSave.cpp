// Saving an off-screen canvas as a .bmp file: a file of its own, so that the program, which
// never saves pictures, does not link the stream library this needs.
#include "runtime/win32/GdiCanvas.h"
#include <fstream>
#include <vector>

namespace qb {

bool TGdiBitmapCanvas::SaveBmp(const std::string& path) const {
    if (!Bits_)
        return false;
    GdiFlush();
    const uint32_t rowBytes = (static_cast<uint32_t>(SurfaceWidth_) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(SurfaceHeight_);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageBytes;
    header.biSize = sizeof header;
    header.biWidth = SurfaceWidth_;
    header.biHeight = SurfaceHeight_; // bottom-up, the form every reader takes
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = imageBytes;

    std::ofstream out(path, std::ios::binary);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    std::vector<char> row(rowBytes, 0);
    for (int y = SurfaceHeight_ - 1; y >= 0; --y) {
        const uint32_t* src = Bits_ + static_cast<size_t>(y) * SurfaceWidth_;
        for (int x = 0; x < SurfaceWidth_; ++x) {
            row[x * 3 + 0] = static_cast<char>(src[x] & 0xFF);
            row[x * 3 + 1] = static_cast<char>((src[x] >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((src[x] >> 16) & 0xFF);
        }
        out.write(row.data(), rowBytes);
    }
    return static_cast<bool>(out);
}

} // namespace qb
