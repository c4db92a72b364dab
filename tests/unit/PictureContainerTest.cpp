#include "PictureTestFixture.h"
#include "runtime/headless/HeadlessPictures.h"
#include "runtime/Exception.h"
#include "runtime/MulDiv.h"
#include "runtime/headless/RecordingCanvas.h"
#include <functional>

namespace qb {
namespace {

const THeadlessPicture& Decoded(const TMarkupPicture& picture) {
    return dynamic_cast<const THeadlessPicture&>(*picture.Picture);
}

struct TLocationCase {
    const char* Location;
    bool Asynchronous;
    const char* Source;
    const char* Pending;
    bool Blank;
    bool DownloadBusy;
};

// Test names stay the same from run to run.
void PrintTo(const TLocationCase& c, std::ostream* os) {
    *os << c.Location << (c.Asynchronous ? " async" : "");
}

class PictureLocationTest : public PictureTest,
                            public ::testing::WithParamInterface<TLocationCase> {};

TEST_P(PictureLocationTest, LoadsOrKeepsTheLocation) {
    const TLocationCase& c = GetParam();
    TMarkupPicture picture;
    picture.Asynchronous = c.Asynchronous;
    picture.LoadLocation(c.Location);
    EXPECT_EQ(picture.SourceLocation, c.Source);
    EXPECT_EQ(picture.PendingLocation, c.Pending);
    EXPECT_EQ(picture.IsBlank(), c.Blank);
    EXPECT_EQ(picture.DownloadBusy, c.DownloadBusy);
}

INSTANTIATE_TEST_SUITE_P(
    Locations, PictureLocationTest,
    ::testing::Values(TLocationCase{"res://PIC_GIF", true, "res://PIC_GIF", "", false, false},
                      TLocationCase{"RES://", true, "RES://", "", true, false},
                      TLocationCase{"RES://NO_SUCH", true, "RES://NO_SUCH", "", true, false},
                      TLocationCase{"FILE://", true, "FILE://", "", true, false},
                      TLocationCase{"file://c:\\pics\\small.png", true,
                                    "file://c:\\pics\\small.png", "", false, false},
                      TLocationCase{"FILE://c:\\pics\\missing.png", true,
                                    "FILE://c:\\pics\\missing.png", "", true, false},
                      // LoadFile swallows a decoding error too.
                      TLocationCase{"FILE://c:\\pics\\not_a_picture.txt", true,
                                    "FILE://c:\\pics\\not_a_picture.txt", "", true, false},
                      TLocationCase{"http://example.com/a.gif", false, "http://example.com/a.gif",
                                    "http://example.com/a.gif", true, false},
                      TLocationCase{"http://example.com/a.gif", true, "",
                                    "http://example.com/a.gif", true, true}));

TEST_F(PictureTest, AResourceThatDoesNotDecodeRaises) {
    TMarkupPicture picture;
    EXPECT_THROW(picture.LoadLocation("RES://PIC_TEXT"), Exception);
    EXPECT_FALSE(picture.IsBlank()); // the bytes are kept, as loaded
}

TEST_F(PictureTest, OneDownloadWorkerPerPicture) {
    TMarkupPicture picture;
    picture.LoadLocation("http://a/1.gif");
    picture.LoadLocation("http://a/2.gif");
    EXPECT_EQ(picture.PendingLocation, "http://a/1.gif");
}

struct TFormatCase {
    const char* File;
    int Frames;
    int Width, Height;
    int ScreenWidth;
    int DisplayWidth;
    TColor Corner;
};

void PrintTo(const TFormatCase& c, std::ostream* os) {
    *os << c.File;
}

class PictureFormatTest : public PictureTest, public ::testing::WithParamInterface<TFormatCase> {};

TEST_P(PictureFormatTest, DecodesWithItsSize) {
    const TFormatCase& c = GetParam();
    TMarkupPicture picture;
    picture.LoadFile(std::string("c:\\pics\\") + c.File);
    ASSERT_FALSE(picture.IsBlank());
    EXPECT_EQ(picture.CountFrames(), c.Frames);
    EXPECT_EQ(picture.PixelWidth(), c.Width);
    EXPECT_EQ(picture.PixelHeight(), c.Height);
    EXPECT_EQ(picture.ScreenWidth, c.ScreenWidth);
    EXPECT_EQ(picture.DisplayWidth(), c.DisplayWidth);
    // JPEG is lossy: compare the corner loosely.
    const TColor corner = Decoded(picture).Pixel(0, 0);
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(static_cast<int>((corner >> shift) & 0xFF),
                    static_cast<int>((c.Corner >> shift) & 0xFF), 3)
            << c.File;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PictureFormatTest,
    ::testing::Values(TFormatCase{"three_frames.gif", 3, 12, 10, 12, 12, 0x0000FF},
                      // Every image is a frame, with a control extension or without.
                      TFormatCase{"still.gif", 1, 7, 5, 7, 7, 0xFF0000},
                      // Any version after "GIF" is read, as the system's loader reads it.
                      TFormatCase{"version_00a.gif", 1, 3, 2, 3, 3, 0xFF0000},
                      TFormatCase{"small.bmp", -1, 4, 3, 0, 4, 0x0080FF},
                      TFormatCase{"small.png", -1, 5, 4, 0, 5, 0xFF8000},
                      TFormatCase{"alpha.png", -1, 2, 1, 0, 2, 0xFF0000},
                      TFormatCase{"small.jpg", -1, 8, 6, 0, 8, 0x7828C8}));

struct TFrameCase {
    const char* File;
    int Frame;
    int Frames;
    TRect Box; // FrameLeft, FrameTop, FrameLeft + FrameWidth, FrameTop + FrameHeight
    TColor Colour;
};

void PrintTo(const TFrameCase& c, std::ostream* os) {
    *os << c.File << " frame " << c.Frame;
}

class PictureFrameTest : public PictureTest, public ::testing::WithParamInterface<TFrameCase> {};

TEST_P(PictureFrameTest, SelectingAFrameShowsIt) {
    const TFrameCase& c = GetParam();
    TMarkupPicture picture;
    picture.LoadFile(std::string("c:\\pics\\") + c.File);
    int changes = 0;
    picture.OnFrameChange = [&](TMarkupPicture* sender) {
        EXPECT_EQ(sender, &picture);
        ++changes;
    };
    Machine.PictureDecoder.Decoded.clear();
    picture.SelectFrame(c.Frame);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picture.CountFrames(), c.Frames);
    EXPECT_EQ((TRect{picture.FrameLeft, picture.FrameTop, picture.FrameLeft + picture.FrameWidth,
                     picture.FrameTop + picture.FrameHeight}),
              c.Box);
    EXPECT_EQ(picture.ScreenWidth, 12);
    EXPECT_EQ(picture.ScreenHeight, 10);
    EXPECT_EQ(picture.PixelWidth(), c.Box.Width());
    EXPECT_EQ(picture.PixelHeight(), c.Box.Height());
    EXPECT_EQ(Decoded(picture).Pixel(0, 0), c.Colour);
    EXPECT_EQ(picture.DisplayWidth(), 12); // layout keeps the logical screen
    // The first frame is decoded from the bytes as loaded; a later one from fewer.
    ASSERT_EQ(Machine.PictureDecoder.Decoded.size(), 1u);
    if (c.Frame == 1)
        EXPECT_EQ(Machine.PictureDecoder.Decoded[0], picture.RawData.size());
    else
        EXPECT_LT(Machine.PictureDecoder.Decoded[0], picture.RawData.size());
}

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000;

INSTANTIATE_TEST_SUITE_P(
    Frames, PictureFrameTest,
    ::testing::Values(TFrameCase{"three_frames.gif", 1, 3, {0, 0, 12, 10}, Red},
                      TFrameCase{"three_frames.gif", 2, 3, {2, 1, 7, 5}, Green},
                      TFrameCase{"three_frames.gif", 3, 3, {6, 3, 10, 9}, Blue},
                      // The first image has no control extension: it is still frame 1.
                      TFrameCase{"first_without_control.gif", 1, 3, {0, 0, 12, 10}, Red},
                      TFrameCase{"first_without_control.gif", 2, 3, {2, 1, 7, 5}, Green},
                      TFrameCase{"first_without_control.gif", 3, 3, {6, 3, 10, 9}, Blue},
                      // Bytes like a frame inside the first frame's data are data.
                      TFrameCase{"hidden_pattern.gif", 1, 2, {0, 0, 12, 10}, Red},
                      TFrameCase{"hidden_pattern.gif", 2, 2, {2, 1, 7, 5}, Green}));

struct TBadCase {
    const char* File;
    int Frame;
    const char* Message;
    int Frames;
};

void PrintTo(const TBadCase& c, std::ostream* os) {
    *os << c.File << " frame " << c.Frame;
}

class PictureBadDataTest : public PictureTest, public ::testing::WithParamInterface<TBadCase> {};

TEST_P(PictureBadDataTest, EndsInACleanError) {
    const TBadCase& c = GetParam();
    TMarkupPicture picture;
    std::string message = Load(picture, PictureFixture(c.File));
    if (message.empty() && c.Frame != 1) {
        try {
            picture.SelectFrame(c.Frame);
        } catch (const std::exception& e) {
            message = e.what();
        }
    }
    EXPECT_EQ(message, c.Message);
    EXPECT_EQ(picture.CountFrames(), c.Frames);
    EXPECT_EQ(picture.Picture, nullptr);
    EXPECT_EQ(picture.PixelWidth(), 0);
    EXPECT_EQ(picture.DisplayWidth(), 0);
}

INSTANTIATE_TEST_SUITE_P(BadData, PictureBadDataTest,
                         ::testing::Values(
                             // Exactly four bytes are not taken as GIF.
                             TBadCase{"gif8.bin", 1, InvalidImageMessage, -1},
                             TBadCase{"not_a_picture.txt", 1, InvalidImageMessage, -1},
                             TBadCase{"lying.gif", 1, InvalidImageMessage, 1},
                             // Beyond the last frame only the bytes before the first one are left.
                             TBadCase{"three_frames.gif", 4, InvalidImageMessage, 3},
                             TBadCase{"three_frames.gif", 100, InvalidImageMessage, 3},
                             // A frame whose descriptor the data cuts off is no frame.
                             TBadCase{"cut_descriptor.gif", 3, InvalidImageMessage, 2},
                             // GIFs of any version without colours never reach a decoder.
                             TBadCase{"bare_00a.gif", 1, InvalidImageMessage, 1},
                             TBadCase{"bare_7xa.gif", 1, InvalidImageMessage, 1},
                             TBadCase{"empty.bin", 1, InvalidImageMessage, -1}));

TEST_F(PictureTest, TruncatedDataDecodesOrFailsCleanly) {
    for (int frame : {1, 2, 3}) {
        TMarkupPicture picture;
        picture.Frame = frame;
        const std::string message = Load(picture, PictureFixture("truncated.gif"));
        EXPECT_TRUE(message.empty() || message == InvalidImageMessage) << message;
    }
}

TEST_F(PictureTest, EachDecoderFailureHasItsMessage) {
    const std::pair<TDecodeResult, const char*> cases[] = {
        {TDecodeResult::NoMemory, "Could not allocate memory for image"},
        {TDecodeResult::NoStream, "Could not create image stream"},
        {TDecodeResult::EmptyStream, "Empty image stream created"},
        {TDecodeResult::InvalidFormat, "Could not load image. Invalid format"},
        {TDecodeResult::NoPicture, "Could not load image"},
    };
    for (const auto& [result, message] : cases) {
        Machine.PictureDecoder.FailWith = result;
        TMarkupPicture picture;
        EXPECT_EQ(Load(picture, PictureFixture("small.png")), message);
        EXPECT_FALSE(picture.IsBlank());
    }
    Machine.PictureDecoder.FailWith = TDecodeResult::Ok;
    TPlatform bare = Platform();
    bare.Pictures = nullptr;
    SetPlatform(bare);
    TMarkupPicture picture;
    EXPECT_EQ(Load(picture, PictureFixture("small.png")), "Could not load image");
}

TEST_F(PictureTest, SavingWritesTheBytesAsLoaded) {
    const std::string bytes = PictureFixture("three_frames.gif");
    TMarkupPicture picture;
    ASSERT_EQ(Load(picture, bytes), "");
    picture.SelectFrame(2);
    TMemoryStream out;
    picture.SaveStream(&out);
    EXPECT_EQ(out.DataString(), bytes);
    picture.SaveStream(nullptr);
    picture.LoadStream(nullptr);
    EXPECT_EQ(picture.RawData, bytes);
}

// A stream that hands out at most one byte per read, or fails after some bytes.
class TTrickleStream : public TStream {
public:
    TTrickleStream(std::string bytes, size_t failAt) : Bytes(std::move(bytes)), FailAt(failAt) {}
    size_t Read(void* buffer, size_t count) override {
        if (Pos == FailAt)
            throw Exception("read error");
        if (Pos == Bytes.size() || count == 0)
            return 0;
        *static_cast<char*>(buffer) = Bytes[Pos++];
        return 1;
    }
    void Write(const void*, size_t) override { throw Exception("write error"); }

private:
    std::string Bytes;
    size_t FailAt;
    size_t Pos = 0;
};

TEST_F(PictureTest, StreamsAreReadToTheEndAndTheirErrorsReachTheCaller) {
    const std::string bytes = PictureFixture("three_frames.gif");
    TMarkupPicture picture;
    TTrickleStream trickle(bytes, std::string::npos);
    picture.LoadStream(&trickle);
    EXPECT_EQ(picture.RawData, bytes);
    EXPECT_EQ(picture.CountFrames(), 3);

    TTrickleStream failing(bytes, 10);
    EXPECT_THROW(picture.ReadStoredData(&failing), Exception);
    EXPECT_THROW(picture.SaveStream(&failing), Exception);

    TMemoryStream memory("ab");
    memory.Seek(1);
    memory.Write("xyz", 3); // overwrites from the position and grows
    EXPECT_EQ(memory.DataString(), "axyz");
    memory.Seek(99);
    char c;
    EXPECT_EQ(memory.Read(&c, 1), 0u);
}

TEST_F(PictureTest, NewBytesAreCountedAgain) {
    TMarkupPicture picture;
    picture.LoadFile("c:\\pics\\three_frames.gif");
    EXPECT_EQ(picture.CountFrames(), 3);
    picture.LoadFile("c:\\pics\\still.gif");
    EXPECT_EQ(picture.CountFrames(), 1);
    EXPECT_EQ(picture.PixelWidth(), 7);
}

enum class TSource { Frames, Blank, OtherGraphic, None };

struct TCopyCase {
    const char* Name;
    const char* Before; // the file the copy held, if any
    TSource Source;
    bool Blank;
    int Changes;
};

TEST_F(PictureTest, CopyFromTakesAnotherPictureOrBecomesBlank) {
    const TCopyCase cases[] = {
        {"a picture into an empty one", "", TSource::Frames, false, 1},
        {"a picture over bytes that do not decode", "not_a_picture.txt", TSource::Frames, false, 1},
        {"a blank picture over a good one", "small.png", TSource::Blank, true, 1},
        {"a blank picture into an empty one", "", TSource::Blank, true, 1},
        {"another graphic", "small.png", TSource::OtherGraphic, true, 0},
        {"nothing", "three_frames.gif", TSource::None, true, 0},
    };
    TMarkupPicture frames;
    frames.LoadLocation("FILE://c:\\pics\\three_frames.gif");
    frames.Stretch = true;
    frames.Frame = 3;
    const TMarkupPicture blank;
    TSimulatedShellIcons icons;
    const std::unique_ptr<TGraphic> other = icons.IconBitmap(0, false);
    for (const TCopyCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMarkupPicture copy;
        if (*c.Before)
            Load(copy, PictureFixture(c.Before));
        int changes = 0;
        copy.OnChange = [&](const TGraphic&) { ++changes; };
        const TGraphic* source = c.Source == TSource::Frames         ? &frames
                                 : c.Source == TSource::Blank        ? &blank
                                 : c.Source == TSource::OtherGraphic ? other.get()
                                                                     : nullptr;
        EXPECT_NO_THROW(copy.CopyFrom(source));
        EXPECT_EQ(changes, c.Changes);
        EXPECT_EQ(copy.IsBlank(), c.Blank);
        EXPECT_EQ(copy.Frame, c.Source == TSource::Frames ? 3 : 1);
        // A blank picture is blank: no size, nothing drawn, nothing saved.
        EXPECT_EQ(copy.PixelWidth(), c.Blank ? 0 : 4); // frame 3
        TRecordingCanvas canvas;
        canvas.Draw(0, 0, copy);
        EXPECT_EQ(canvas.Records().size(), c.Blank ? 0u : 1u);
        TMemoryStream saved;
        copy.SaveStream(&saved);
        EXPECT_EQ(saved.DataString(), c.Blank ? "" : frames.RawData);
        if (!c.Blank) {
            EXPECT_TRUE(copy.Stretch);
            EXPECT_EQ(copy.SourceLocation, frames.SourceLocation);
        }
    }
}

TEST_F(PictureTest, AFailedLoadLeavesNoOldPictureBehind) {
    const std::string bad = PictureFixture("not_a_picture.txt");
    const std::pair<const char*, std::function<void(TMarkupPicture&)>> cases[] = {
        {"a missing file", [](TMarkupPicture& p) { p.LoadFile("c:\\pics\\missing.png"); }},
        {"a file that does not decode",
         [](TMarkupPicture& p) { p.LoadFile("c:\\pics\\not_a_picture.txt"); }},
        {"a stream that fails",
         [&](TMarkupPicture& p) {
             TTrickleStream failing(bad, 3);
             EXPECT_THROW(p.LoadStream(&failing), Exception);
         }},
    };
    for (const auto& [name, load] : cases) {
        SCOPED_TRACE(name);
        TMarkupPicture picture;
        picture.LoadFile("c:\\pics\\three_frames.gif");
        picture.SelectFrame(2);
        load(picture);
        EXPECT_TRUE(picture.IsBlank());
        EXPECT_EQ(picture.PixelWidth(), 0);
        EXPECT_EQ(picture.DisplayWidth(), 0);
        EXPECT_EQ(picture.CountFrames(), -1);
        EXPECT_EQ(picture.FrameLeft, 0);
        TMemoryStream saved;
        picture.SaveStream(&saved);
        EXPECT_EQ(saved.DataString(), "");
    }
    // Bytes that were read but do not decode stay, as loaded, with nothing to draw.
    TMarkupPicture picture;
    picture.LoadFile("c:\\pics\\small.png");
    EXPECT_EQ(Load(picture, bad), InvalidImageMessage);
    EXPECT_FALSE(picture.IsBlank());
    EXPECT_EQ(picture.PixelWidth(), 0);
    EXPECT_EQ(picture.RawData, bad);
}

TEST_F(PictureTest, PixelSizeFollowsTheLogicalResolution) {
    TMarkupPicture picture;
    picture.LoadFile("c:\\pics\\small.png");
    picture.LogicalDpiX = 192;
    picture.LogicalDpiY = 48;
    EXPECT_EQ(picture.PixelWidth(), 10);
    EXPECT_EQ(picture.PixelHeight(), 2);
}

struct TDrawCase {
    bool Stretch;
    int PixelsPerInch;
    TRect Target;
    TRect Drawn;
};

void PrintTo(const TDrawCase& c, std::ostream* os) {
    *os << (c.Stretch ? "stretched " : "natural ") << c.PixelsPerInch;
}

class PictureDrawTest : public PictureTest, public ::testing::WithParamInterface<TDrawCase> {};

TEST_P(PictureDrawTest, DrawsAtNaturalSizeOrStretched) {
    const TDrawCase& c = GetParam();
    TMarkupPicture picture;
    picture.LoadFile("c:\\pics\\three_frames.gif");
    picture.Stretch = c.Stretch;
    TRecordingCanvas canvas;
    canvas.SetPixelsPerInch(c.PixelsPerInch, c.PixelsPerInch);
    canvas.StretchDraw(c.Target, picture);
    ASSERT_EQ(canvas.Records().size(), 1u);
    EXPECT_EQ(canvas.Records()[0].Rect, c.Drawn);
    EXPECT_EQ(canvas.Records()[0].Graphic, picture.Picture.get());
}

INSTANTIATE_TEST_SUITE_P(Draws, PictureDrawTest,
                         ::testing::Values(TDrawCase{false, 96, {5, 6, 100, 100}, {5, 6, 17, 16}},
                                           TDrawCase{false, 120, {5, 6, 7, 7}, {5, 6, 20, 19}},
                                           TDrawCase{false, 192, {0, 0, 1, 1}, {0, 0, 24, 20}},
                                           TDrawCase{false, 144, {0, 0, 1, 1}, {0, 0, 18, 15}},
                                           TDrawCase{true, 120, {5, 6, 100, 50}, {5, 6, 100, 50}}));

TEST_F(PictureTest, ABlankPictureDrawsNothing) {
    TMarkupPicture picture;
    TRecordingCanvas canvas;
    canvas.Draw(0, 0, picture);
    canvas.StretchDraw({0, 0, 10, 10}, picture);
    EXPECT_TRUE(canvas.Records().empty());
}

TEST_F(PictureTest, PictureListFindsByExactLocation) {
    TPictureList list;
    EXPECT_EQ(FindPicture(list, "RES://A"), nullptr);
    TMarkupPicture* a = AddPicture(list);
    a->SourceLocation = "RES://A";
    TMarkupPicture* b = AddPicture(list);
    b->SourceLocation = "RES://A";
    EXPECT_EQ(FindPicture(list, "RES://A"), a);
    EXPECT_EQ(FindPicture(list, "res://A"), nullptr);
    EXPECT_EQ(PictureAt(list, 1), b);
    EXPECT_EQ(PictureAt(list, 2), nullptr);
    EXPECT_EQ(PictureAt(list, -1), nullptr);
    EXPECT_EQ(a->Frame, 1);
    EXPECT_EQ(a->FrameTotal, -1);
    EXPECT_TRUE(a->Asynchronous);
    EXPECT_TRUE(a->IsBlank());
}

TEST(MulDivTest, RoundsLikeTheSystemCall) {
    const int cases[][4] = {{10, 3, 4, 8},  {-10, 3, 4, -8}, {1, 1, 2, 1},
                            {-1, 1, 2, -1}, {5, 7, 0, -1},   {0x7FFFFFFF, 4, 2, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c[0], c[1], c[2]), c[3]) << c[0] << "*" << c[1] << "/" << c[2];
}

} // namespace
} // namespace qb
