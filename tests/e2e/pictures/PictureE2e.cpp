// The picture container with the system decoder (OleLoadPicture): every file of the given
// folders is loaded, its frames counted and selected and drawn, and may only end in one of the
// container's five errors; the fixtures decode to their sizes and frames. Then markup texts
// with pictures are drawn with GDI into bitmaps for review: a shell icon, a chosen GIF frame, a
// tiled background, a stretched picture and a picture from the program's own resources.
//
// usage: picture_e2e DIR... SHOTS_DIR
#include "markup/MarkupRenderer.h"
#include "markup/PictureContainer.h"
#include "runtime/Stream.h"
#include "runtime/Exception.h"
#include "runtime/win32/GdiCanvas.h"
#include "runtime/win32/Win32Platform.h"
#include "tests/e2e/common/E2eCheck.h"
#include <objbase.h>
#include <cstdio>
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

struct TExpected {
    const char* File;
    const char* Message; // "" when it decodes
    int Frames;
    int Width, Height;
};

void CheckFixtures(const fs::path& dir) {
    const TExpected cases[] = {
        {"three_frames.gif", "", 3, 12, 10},
        {"still.gif", "", 0, 7, 5},
        {"small.bmp", "", -1, 4, 3},
        {"small.png", "", -1, 5, 4},
        {"small.jpg", "", -1, 8, 6},
        {"tile.gif", "", 0, 96, 64},
        {"gif8.bin", InvalidImageMessage, -1, 0, 0},
        {"not_a_picture.txt", InvalidImageMessage, -1, 0, 0},
    };
    for (const TExpected& c : cases) {
        TMarkupPicture picture;
        TMemoryStream in(ReadFile(dir / c.File));
        const std::string message = Attempt(c.File, [&] { picture.LoadStream(&in); });
        Check(message == c.Message, c.File, "loading gave \"" + message + "\"");
        Check(picture.CountFrames() == c.Frames, c.File,
              "frames " + std::to_string(picture.CountFrames()));
        Check(picture.PixelWidth() == c.Width && picture.PixelHeight() == c.Height, c.File,
              "size " + std::to_string(picture.PixelWidth()) + "x" +
                  std::to_string(picture.PixelHeight()));
    }

    // Each frame of the animation draws in its own colour at its own size.
    TMarkupPicture frames;
    TMemoryStream in(ReadFile(dir / "three_frames.gif"));
    frames.LoadStream(&in);
    const TColor colours[] = {0x0000FF, 0x00FF00, 0xFF0000};
    const TRect boxes[] = {{0, 0, 12, 10}, {2, 1, 7, 5}, {6, 3, 10, 9}};
    for (int frame = 1; frame <= 3; ++frame) {
        const std::string area = "frame " + std::to_string(frame);
        Attempt(area, [&] { frames.SelectFrame(frame); });
        const TRect& box = boxes[frame - 1];
        Check(TRect{frames.FrameLeft, frames.FrameTop, frames.FrameLeft + frames.FrameWidth,
                    frames.FrameTop + frames.FrameHeight} == box,
              area, "descriptor box");
        std::printf("%s: picture %dx%d, screen %dx%d\n", area.c_str(), frames.PixelWidth(),
                    frames.PixelHeight(), frames.ScreenWidth, frames.ScreenHeight);
        Check(frames.PixelWidth() == box.Width() && frames.PixelHeight() == box.Height(), area,
              "the decoded picture is the frame's own rectangle");
        TGdiBitmapCanvas canvas(32, 32);
        canvas.Clear(clWhite);
        canvas.Draw(0, 0, frames);
        Check(canvas.Pixel(1, 1) == colours[frame - 1], area,
              "drawn in its colour (found " + std::to_string(canvas.Pixel(1, 1)) + ")");
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

void DrawSamples(const fs::path& pictures, const fs::path& shots) {
    TNamedPictures named;
    for (int frame : {2, 3}) {
        auto picture = std::make_unique<TMarkupPicture>();
        TMemoryStream in(ReadFile(pictures / "three_frames.gif"));
        picture->LoadStream(&in);
        picture->SelectFrame(frame);
        named.Pictures["frame" + std::to_string(frame)] = std::move(picture);
    }
    TPictureList cache;
    const TColor red = 0x0000FF, green = 0x00FF00, blue = 0xFF0000;
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
         {{{10 + 2, 10 + 60}, green},
          {{10 + 96 + 10, 10 + 64 + 2}, green},
          {{10 + 192 + 2, 10 + 128 + 2}, red},
          {{10 + 96 + 17, 10 + 128 + 2}, blue}}},
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
    for (const TSample& sample : samples) {
        TMarkupParams params;
        params.PictureCache = &cache;
        params.PictureSource = &named;
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
                  "pixel (" + std::to_string(point.X) + "," + std::to_string(point.Y) + ")");
    }
    // Addresses are compared as written: "res://qb_tile_gif" is a third entry.
    Check(cache.Count() == 3, "cache",
          "one picture per address (" + std::to_string(cache.Count()) + ")");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: picture_e2e DIR... SHOTS_DIR\n");
        return 2;
    }
    // The system decoder builds its pictures from COM objects.
    CoInitialize(nullptr);
    Win32Platform platform;
    SetPlatform(platform.AsPlatform());

    const fs::path pictures = argv[1];
    const fs::path shots = argv[argc - 1];
    int decoded = 0, refused = 0;
    for (int i = 1; i < argc - 1; ++i) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(argv[i], error))
            if (entry.is_regular_file() && entry.path().extension() != ".py")
                Exercise(entry.path(), decoded, refused);
        Check(!error, argv[i], "cannot list the folder");
    }
    std::printf("hostile files: %d decoded, %d refused with a clean error\n", decoded, refused);
    CheckFixtures(pictures);
    DrawSamples(pictures, shots);

    SetPlatform({});
    CoUninitialize();
    std::printf("%d checks, %d failed\n", Check.Count, Check.Failures);
    return Check.Failures == 0 ? 0 : 1;
}
