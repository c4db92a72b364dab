// The headless backend's pictures: a decoder built on stb_image (GIF, BMP, JPEG, PNG) that
// takes what the Windows program's decoder takes, and shell icons at the screen's size that
// record what they draw.
#pragma once
#include "runtime/Picture.h"
#include <cstdint>
#include <string>
#include <vector>

namespace qb {

// A decoded image held as pixels. A GIF gives its first image at that image's own size, as
// the system decoder does; the rest of the logical screen is not part of the picture.
class THeadlessPicture : public TDecodedPicture {
public:
    THeadlessPicture(int width, int height, std::vector<uint32_t> pixels);
    int Width() const override { return Width_; }
    int Height() const override { return Height_; }
    // 0x00BBGGRR of a pixel (alpha dropped); clNone outside the picture.
    TColor Pixel(int x, int y) const;

private:
    int Width_;
    int Height_;
    std::vector<uint32_t> Pixels_; // 0xAABBGGRR, rows top to bottom
};

class THeadlessPictureDecoder : public IPictureDecoder {
public:
    TDecodeResult Decode(std::string_view bytes, std::unique_ptr<TDecodedPicture>& out) override;
    // Every size of data given to Decode, oldest first.
    std::vector<size_t> Decoded;
    // When set, the next decodings end with this result (to test the failure messages).
    TDecodeResult FailWith = TDecodeResult::Ok;
};

// A simulated system image list. Icons are 16 (small) or 32 (large) pixels at 96 dots per inch
// and grow with the simulated screen's resolution, as the system's icons do for a program that
// is aware of it.
class TSimulatedShellIcons : public IShellIcons {
public:
    static constexpr int SmallSize = 16;
    static constexpr int LargeSize = 32;
    // Indexes the simulated shell gives by type: folders 3, ".txt" 1, ".exe" 2, anything else 0.
    static int IndexFor(const std::string& name, bool folder);
    // The index of an existing file's own icon (the shell reads it from the file).
    static constexpr int OwnIconIndex = 4;
    // The side of the small or large icons on a screen of this resolution.
    static int SizeAt(bool large, int pixelsPerInch);

    struct TQuery {
        std::string Name;
        bool UseFileAttributes = false;
    };
    struct TDrawn {
        int Index = 0;
        bool Large = false;
        int X = 0;
        int Y = 0;
        bool Bitmap = false; // drawn into a bitmap (printing) rather than on the canvas
    };
    std::vector<TQuery> Queries;
    std::vector<TDrawn> Drawn;

    int FileIconIndex(const std::string& name, bool useFileAttributes) override;
    TSize IconSize(bool large) override;
    void DrawIcon(TCanvas& canvas, int index, bool large, int x, int y) override;
    std::unique_ptr<TGraphic> IconBitmap(int index, bool large) override;

private:
    class TIconGraphic : public TGraphic {
    public:
        int Width() const override { return Size; }
        int Height() const override { return Size; }
        int Size = 0;
    };
    TIconGraphic Small_;
    TIconGraphic Large_;
};

} // namespace qb
