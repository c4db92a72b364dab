// The picture container with the system decoder (OleLoadPicture): every file of the given
// folders is loaded, its frames counted and selected and drawn, and may only end in one of the
// container's five errors; the fixtures decode to their sizes and frames. The same again with
// PNG taken through the imaging component, as on Windows, whose loader refuses PNG. Then markup
// texts with pictures are drawn with GDI into bitmaps for review: a shell icon, a chosen GIF
// frame, a tiled background, a stretched picture and a picture from the program's own
// resources. With --dpi the program checks only that pictures are drawn where they are laid
// out on a screen of that resolution.
//
// usage: picture_e2e [--dpi N] DIR... SHOTS_DIR
#include "markup/MarkupRenderer.h"
#include "markup/PictureContainer.h"
#include "runtime/Stream.h"
#include "runtime/Exception.h"
#include "runtime/MulDiv.h"
#include "runtime/win32/GdiCanvas.h"
#include "runtime/win32/Win32Pictures.h"
#include "runtime/win32/Win32Platform.h"
#include "tests/e2e/common/E2eCheck.h"
#include <algorithm>
#include <objbase.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace qb;
using namespace qb::e2e;

namespace {

TChecks Check;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::set<std::string> Messages = {NoImageMemoryMessage, NoImageStreamMessage,
                                        EmptyImageStreamMessage, InvalidImageMessage,
                                        NoImageMessage};

// Runs an operation that may raise only the container's errors; the message, empty when none.
template <typename F> std::string Attempt(const std::string& name, F&& operation) {
    try {
        operation();
        return {};
    } catch (const Exception& e) {
        Check(Messages.count(e.what()) == 1, name, std::string("unexpected message: ") + e.what());
        return e.what();
    } catch (const std::exception& e) {
        Check(false, name, std::string("a foreign error: ") + e.what());
        return e.what();
    }
}

// Loads, counts, selects every frame and one beyond, draws each at natural size and stretched.
void Exercise(const fs::path& file, int& decoded, int& refused) {
    const std::string name = file.filename().string();
    TMarkupPicture picture;
    TMemoryStream in(ReadFile(file));
    const std::string message = Attempt(name, [&] { picture.LoadStream(&in); });
    (message.empty() ? decoded : refused)++;
    const int count = picture.CountFrames();
    TGdiBitmapCanvas canvas(64, 64);
    for (int frame = 1; frame <= std::max(count, 0) + 1 && frame <= 40; ++frame) {
        Attempt(name, [&] { picture.SelectFrame(frame); });
        picture.Stretch = frame % 2 == 0;
        canvas.Draw(1, 1, picture);
        canvas.StretchDraw({0, 0, 63, 63}, picture);
    }
}

// Every file of the folders, loaded and drawn.
void ExerciseFolders(const std::vector<fs::path>& dirs, const char* decoder) {
    int decoded = 0, refused = 0;
    for (const fs::path& dir : dirs) {
        std::error_code error;
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(dir, error))
            if (entry.is_regular_file() && entry.path().extension() != ".py")
                files.push_back(entry.path());
        Check(!error, dir.string(), "cannot list the folder");
        std::sort(files.begin(), files.end()); // the same order, and log, on every machine
        for (const fs::path& file : files)
            Exercise(file, decoded, refused);
    }
    std::printf("hostile files through %s: %d decoded, %d refused with a clean error\n", decoder,
                decoded, refused);
}

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF;

struct TExpected {
    const char* File;
    int Frame;
    const char* Message; // "" when it decodes
    int Frames;
    TRect Box;     // where the frame stands; its size is the decoded picture's
    TPoint Point;  // drawn on white at (0, 0), this pixel shows
    TColor Colour; // (clNone: not checked)
};

void CheckFixtures(const fs::path& dir, const char* decoder) {
    const TExpected cases[] = {
        {"three_frames.gif", 1, "", 3, {0, 0, 12, 10}, {1, 0}, Red},
        {"three_frames.gif", 2, "", 3, {2, 1, 7, 5}, {1, 0}, Green},
        {"three_frames.gif", 3, "", 3, {6, 3, 10, 9}, {1, 0}, Blue},
        {"first_without_control.gif", 1, "", 3, {0, 0, 12, 10}, {1, 0}, Red},
        {"first_without_control.gif", 2, "", 3, {2, 1, 7, 5}, {1, 0}, Green},
        {"first_without_control.gif", 3, "", 3, {6, 3, 10, 9}, {1, 0}, Blue},
        {"hidden_pattern.gif", 1, "", 2, {0, 0, 12, 10}, {1, 0}, Red},
        {"hidden_pattern.gif", 2, "", 2, {2, 1, 7, 5}, {1, 0}, Green},
        {"still.gif", 1, "", 1, {0, 0, 7, 5}, {0, 0}, Blue},
        {"tile.gif", 1, "", 1, {0, 0, 96, 64}, {0, 0}, Red},
        // Any version after "GIF" is a GIF to the system, and checked as one.
        {"version_00a.gif", 1, "", 1, {0, 0, 3, 2}, {0, 0}, Blue},
        {"bare_00a.gif", 1, InvalidImageMessage, 1, {}, {}, clNone},
        {"bare_7xa.gif", 1, InvalidImageMessage, 1, {}, {}, clNone},
        {"small.bmp", 1, "", -1, {0, 0, 4, 3}, {0, 0}, 0x0080FF},
        {"small.png", 1, "", -1, {0, 0, 5, 4}, {4, 3}, 0xFF8000},
        // A transparent pixel leaves what was there.
        {"alpha.png", 1, "", -1, {0, 0, 2, 1}, {0, 0}, Blue},
        {"alpha.png", 1, "", -1, {0, 0, 2, 1}, {1, 0}, White},
        {"small.jpg", 1, "", -1, {0, 0, 8, 6}, {}, clNone},
        {"gif8.bin", 1, InvalidImageMessage, -1, {}, {}, clNone},
        {"empty.bin", 1, InvalidImageMessage, -1, {}, {}, clNone},
        {"not_a_picture.txt", 1, InvalidImageMessage, -1, {}, {}, clNone},
    };
    for (const TExpected& c : cases) {
        const std::string area =
            std::string(decoder) + ": " + c.File + " frame " + std::to_string(c.Frame);
        TMarkupPicture picture;
        TMemoryStream in(ReadFile(dir / c.File));
        std::string message = Attempt(area, [&] { picture.LoadStream(&in); });
        if (c.Frame != 1)
            message = Attempt(area, [&] { picture.SelectFrame(c.Frame); });
        Check(message == c.Message, area, "loading gave \"" + message + "\"");
        Check(picture.CountFrames() == c.Frames, area,
              "frames " + std::to_string(picture.CountFrames()));
        if (c.Frames > 0 && message.empty())
            Check(TRect{picture.FrameLeft, picture.FrameTop, picture.FrameLeft + picture.FrameWidth,
                        picture.FrameTop + picture.FrameHeight} == c.Box,
                  area, "descriptor box");
        Check(picture.PixelWidth() == c.Box.Width() && picture.PixelHeight() == c.Box.Height(),
              area,
              "size " + std::to_string(picture.PixelWidth()) + "x" +
                  std::to_string(picture.PixelHeight()));
        if (c.Colour == clNone)
            continue;
        TGdiBitmapCanvas canvas(32, 32);
        canvas.Clear(clWhite);
        canvas.Draw(0, 0, picture);
        const TColor found = canvas.Pixel(c.Point.X, c.Point.Y);
        Check(found == c.Colour, area, "drawn in its colour (found " + std::to_string(found) + ")");
    }
}

class TNamedPictures : public TMarkupPictureSource {
public:
    TMarkupPicture* FindPicture(const std::string& name) override {
        auto it = Pictures.find(name);
        return it == Pictures.end() ? nullptr : it->second.get();
    }
    std::map<std::string, std::unique_ptr<TMarkupPicture>> Pictures;
};

struct TSample {
    const char* Name;
    const char* Markup;
    TRect Bounds;
    std::vector<std::pair<TPoint, TColor>> Pixels; // expected colours at points
};

// The animation's frames by name: "red" is frame 1, 12 x 10; "frame2" 5 x 4 green at (2, 1).
void AddFrames(TNamedPictures& named, const fs::path& pictures) {
    for (const auto& [name, frame] : {std::pair{"red", 1}, {"frame2", 2}, {"frame3", 3}}) {
        auto picture = std::make_unique<TMarkupPicture>();
        TMemoryStream in(ReadFile(pictures / "three_frames.gif"));
        picture->LoadStream(&in);
        picture->SelectFrame(frame);
        named.Pictures[name] = std::move(picture);
    }
}

// Draws a sample with GDI into a bitmap saved for review, and checks its pixels.
void DrawSample(const TSample& sample, const TMarkupParams& params, const fs::path& shots) {
    TGdiBitmapCanvas canvas(sample.Bounds.Right + 10, sample.Bounds.Bottom + 10);
    canvas.Clear(clWhite);
    TFont font;
    font.Size = 10;
    canvas.SetFont(font);
    TMarkupResult result;
    RenderMarkup(canvas, sample.Markup, sample.Bounds, params, result);
    const fs::path file = shots / (std::string(sample.Name) + ".bmp");
    Check(canvas.SaveBmp(file.string()), sample.Name, "cannot save " + file.string());
    std::printf("sample %-18s used %dx%d\n", sample.Name, result.UsedWidth, result.UsedHeight);
    for (const auto& [point, colour] : sample.Pixels)
        Check(canvas.Pixel(point.X, point.Y) == colour, sample.Name,
              "pixel (" + std::to_string(point.X) + "," + std::to_string(point.Y) + ") is " +
                  std::to_string(canvas.Pixel(point.X, point.Y)));
}

void DrawSamples(const fs::path& pictures, const fs::path& shots) {
    TNamedPictures named;
    AddFrames(named, pictures);
    TPictureList cache;
    const TSample samples[] = {
        {"shell-icon",
         "The shell's icon of a text file: <IMG SRC=\"SSYS:readme.txt\"> readme.txt, and its "
         "large icon: <IMG SRC=\"LSYS:.txt\"> done.",
         {10, 10, 420, 80},
         {}},
        // Frame 2 stands 2 right and 1 down in a 12 x 10 screen; frame 3 at (6, 3).
        {"gif-frame",
         "Frame 2: <IMG SRC=\"frame2\"> and frame 3: <IMG SRC=\"frame3\"> of the animation; "
         "frame 3 stretched: <IMG SRC=\"frame3\" WIDTH=\"24\" HEIGHT=\"36\">.",
         {10, 10, 420, 60},
         {}},
        {"tiled-background",
         "<BODY BACKGROUND=\"RES://QB_TILE_GIF\"><B>Text over a tiled background</B><BR>The "
         "tile is 96 x 64 pixels and repeats over the whole area.",
         {10, 10, 330, 170},
         // Squares of 8 pixels cycle red, green, blue along x + y; each tile starts red.
         {{{10 + 2, 10 + 60}, Green},
          {{10 + 96 + 10, 10 + 64 + 2}, Green},
          {{10 + 192 + 2, 10 + 128 + 2}, Red},
          {{10 + 96 + 17, 10 + 128 + 2}, Blue}}},
        {"stretched",
         "Stretched to 96 x 48: <IMG SRC=\"RES://QB_FRAMES_GIF\" WIDTH=\"96\" HEIGHT=\"48\" "
         "ALIGN=\"MIDDLE\"> text in the middle.",
         {10, 10, 420, 80},
         {}},
        {"resource-picture",
         "From the program's resources: <IMG SRC=\"res://qb_tile_gif\" ALIGN=\"TOP\"> at the top.",
         {10, 10, 420, 100},
         {}},
    };
    TMarkupParams params;
    params.PictureCache = &cache;
    params.PictureSource = &named;
    for (const TSample& sample : samples)
        DrawSample(sample, params, shots);
    // Addresses are compared as written: "res://qb_tile_gif" is a third entry.
    Check(cache.Count() == 3, "cache",
          "one picture per address (" + std::to_string(cache.Count()) + ")");
}

// On a screen of this resolution every picture is drawn in the room the layout gives it: the
// shell's icons at the size they come in, the container's pictures grown from 96 dots per inch.
void CheckDeviceSizes(const fs::path& pictures, const fs::path& shots, int ppi) {
    auto at = [ppi](int size) { return qb::MulDiv(size, ppi, 96); };
    Win32ShellIcons icons;
    const int side = icons.IconSize(false).Width;
    std::printf("small shell icon at %d DPI: %d pixels\n", ppi, side);
    Check(side == at(16), "shell icons", "the small icon comes at the screen's size");
    TNamedPictures named;
    AddFrames(named, pictures);
    TPictureList cache;
    const int tileX = 10 + at(96), tileY = 10 + at(64), right = 210;
    const TSample samples[] = {
        // The picture after an icon starts where the icon ends.
        {"icon-then-picture",
         "<IMG SRC=\"SSYS:readme.txt\"><IMG SRC=\"red\">",
         {10, 10, 200, 80},
         {{{10 + side, 10}, Red},
          {{10 + side + at(12) - 1, 10 + at(10) - 1}, Red},
          {{10 + side + at(12), 10}, White}}},
        {"frame-in-its-place",
         "<IMG SRC=\"frame2\">",
         {10, 10, 200, 80},
         {{{10 + at(2), 10 + at(1)}, Green},
          {{10 + at(7) - 1, 10 + at(5) - 1}, Green},
          {{10 + at(2) - 1, 10 + at(1)}, White},
          {{10 + at(7), 10 + at(1)}, White}}},
        {"stretched-to-size",
         "<IMG SRC=\"red\" WIDTH=\"20\" HEIGHT=\"10\">",
         {10, 10, 200, 80},
         {{{10 + at(20) - 1, 10 + at(10) - 1}, Red}, {{10 + at(20), 10}, White}}},
        // Squares of 8 pixels cycle red, green, blue; each tile starts red.
        {"tiles",
         "<BODY BACKGROUND=\"RES://QB_TILE_GIF\">x",
         {10, 10, 410, 210},
         {{{10 + at(8) + 2, tileY - 2}, Blue},
          {{tileX - 2, 12}, Blue},
          {{tileX + 2, 12}, Red},
          {{12, tileY + 2}, Red}}},
        {"top-right",
         "<BODY BGTOPRIGHT=\"RES://QB_FRAMES_GIF\">x",
         {10, 10, right, 110},
         {{{right - at(12), 10}, Red},
          {{right - 1, 10 + at(10) - 1}, Red},
          {{right - at(12) - 1, 10}, White}}},
    };
    TMarkupParams params;
    params.PictureCache = &cache;
    params.PictureSource = &named;
    for (const TSample& sample : samples)
        DrawSample(sample, params, shots);
}

} // namespace

int main(int argc, char** argv) {
    // As the program itself, which its manifest declares aware of the screen's resolution.
    SetProcessDPIAware();
    int dpi = 0;
    if (argc > 2 && std::string(argv[1]) == "--dpi") {
        dpi = std::atoi(argv[2]);
        argv += 2;
        argc -= 2;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: picture_e2e [--dpi N] DIR... SHOTS_DIR\n");
        return 2;
    }
    Win32Platform platform;
    SetPlatform(platform.AsPlatform());
    const fs::path pictures = argv[1];
    const fs::path shots = argv[argc - 1];
    const std::vector<fs::path> dirs(argv + 1, argv + argc - 1);

    if (dpi != 0) {
        HDC screen = GetDC(nullptr);
        const int found = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        Check(found == dpi, "screen", "at " + std::to_string(found) + " DPI");
        CheckDeviceSizes(pictures, shots, dpi);
    } else {
        // The system loader builds its pictures from COM objects.
        CoInitialize(nullptr);
        ExerciseFolders(dirs, "the system loader");
        CheckFixtures(pictures, "system loader");
        DrawSamples(pictures, shots);
        CoUninitialize();

        // PNG through the imaging component, which starts COM itself where it must.
        Win32PictureDecoder wic;
        wic.PngThroughWic = true;
        TPlatform throughWic = platform.AsPlatform();
        throughWic.Pictures = &wic;
        SetPlatform(throughWic);
        ExerciseFolders(dirs, "the imaging component for PNG");
        CheckFixtures(pictures, "imaging component for PNG");
    }

    SetPlatform({});
    std::printf("%d checks, %d failed\n", Check.Count, Check.Failures);
    return Check.Failures == 0 ? 0 : 1;
}
