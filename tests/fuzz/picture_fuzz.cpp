// Feeds arbitrary bytes to the picture container as a picture: loads them, counts frames,
// selects frames (in range, beyond the count, zero and negative), draws at natural size and
// stretched, saves and copies. Bad data may only end in the container's own errors; the bytes
// saved are the bytes loaded; a picture that failed has nothing to draw.
#include "markup/PictureContainer.h"
#include "runtime/Stream.h"
#include "runtime/Exception.h"
#include "runtime/Platform.h"
#include "runtime/headless/HeadlessPictures.h"
#include "runtime/headless/RecordingCanvas.h"
#include <fuzzer/FuzzedDataProvider.h>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace qb;

void Fail(const char* what) {
    std::fprintf(stderr, "picture_fuzz: %s\n", what);
    std::abort();
}

// Runs one operation that may raise the container's errors; anything else escapes and fails.
template <typename F> bool Try(F&& operation) {
    try {
        operation();
        return true;
    } catch (const Exception&) {
        return false;
    }
}

void CheckDrawable(TMarkupPicture& picture, bool loaded) {
    if (!loaded && picture.Picture)
        Fail("a failed decoding left a picture");
    if (loaded && !picture.Picture)
        Fail("a successful decoding left no picture");
    if (picture.Picture && (picture.PixelWidth() < 0 || picture.PixelHeight() < 0))
        Fail("a negative picture size");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static THeadlessPictureDecoder decoder;
    TPlatform platform;
    platform.Pictures = &decoder;
    SetPlatform(platform);
    decoder.Decoded.clear();

    FuzzedDataProvider input(data, size);
    const int devicePpi = input.ConsumeIntegralInRange<int>(1, 400);
    const int logicalPpi = input.ConsumeIntegralInRange<int>(1, 400);
    int frames[3];
    for (int& f : frames)
        f = input.ConsumeIntegralInRange<int>(-2, 40);
    const bool stretch = input.ConsumeBool();
    const int w = input.ConsumeIntegralInRange<int>(-50, 500);
    const int h = input.ConsumeIntegralInRange<int>(-50, 500);
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    TMarkupPicture picture;
    picture.LogicalDpiX = picture.LogicalDpiY = logicalPpi;
    TMemoryStream in(bytes);
    CheckDrawable(picture, Try([&] { picture.LoadStream(&in); }));
    if (picture.RawData != bytes)
        Fail("RawData differs from the bytes loaded");

    const int count = picture.CountFrames();
    if ((count == -1) == picture.HasGifSignature())
        Fail("CountFrames disagrees with the GIF signature");
    if (picture.CountFrames() != count)
        Fail("the frame count changed");
    for (size_t i = 0; i < decoder.Decoded.size(); ++i)
        if (decoder.Decoded[i] > bytes.size())
            Fail("the decoder was given more bytes than were loaded");

    TRecordingCanvas canvas;
    canvas.SetPixelsPerInch(devicePpi, devicePpi);
    for (int frame : {frames[0], count + 1, frames[1], count, frames[2]}) {
        const bool selected = Try([&] { picture.SelectFrame(frame); });
        CheckDrawable(picture, selected && !bytes.empty());
        picture.Stretch = stretch;
        canvas.Draw(3, 4, picture);
        canvas.StretchDraw({0, 0, w, h}, picture);
        if (picture.DisplayWidth() < 0 || picture.DisplayHeight() < 0)
            Fail("a negative display size");
    }
    for (size_t i = 0; i < decoder.Decoded.size(); ++i)
        if (decoder.Decoded[i] > bytes.size())
            Fail("the decoder was given more bytes than were loaded");

    TMemoryStream out;
    picture.SaveStream(&out);
    if (out.DataString() != bytes)
        Fail("SaveStream did not write the bytes as loaded");

    TMarkupPicture copy;
    CheckDrawable(copy, Try([&] { copy.CopyFrom(&picture); }) && !bytes.empty());
    if (copy.RawData != bytes)
        Fail("CopyFrom did not copy the bytes");
    SetPlatform({});
    return 0;
}
