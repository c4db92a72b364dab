// TMarkupPicture: one picture named in a markup text ("RES://name", "FILE://path"), kept as the
// bytes it was loaded from, decoded by the platform's picture decoder, with the frames of an
// animated GIF selectable; and the picture list the renderer keeps them in.
#pragma once
#include "runtime/Canvas.h"
#include "runtime/Picture.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qb {

class TMarkupPicture;
class TStream;

using TPictureNotifyEvent = std::function<void(TMarkupPicture* Sender)>;
using TDownloadProgressEvent =
    std::function<void(TMarkupPicture* Sender, uint32_t dwSize, uint32_t dwTotSize)>;
using TDownloadCancelEvent = std::function<void(TMarkupPicture* Sender, bool& Cancel)>;
using TDownloadCompleteEvent = std::function<void(TMarkupPicture* Sender)>;
using TDownloadErrorEvent = std::function<void(TMarkupPicture* Sender, const std::string& err)>;

// The messages of the errors decoding raises.
inline constexpr const char* NoImageMemoryMessage = "Could not allocate memory for image";
inline constexpr const char* NoImageStreamMessage = "Could not create image stream";
inline constexpr const char* EmptyImageStreamMessage = "Empty image stream created";
inline constexpr const char* InvalidImageMessage = "Could not load image. Invalid format";
inline constexpr const char* NoImageMessage = "Could not load image";

class TMarkupPicture : public TGraphic {
public:
    TMarkupPicture();
    ~TMarkupPicture() override;
    TMarkupPicture(const TMarkupPicture&) = delete;
    TMarkupPicture& operator=(const TMarkupPicture&) = delete;

    // Graphic.
    int Width() const override { return PixelWidth(); }
    int Height() const override { return PixelHeight(); }
    bool DrawInto(TCanvas& canvas, const TRect& rect) const override;
    bool IsBlank() const { return Blank; }
    int PixelWidth() const;
    int PixelHeight() const;
    void SetPixelWidth(int) {}
    void SetPixelHeight(int) {}
    // The GIF's logical screen when there is one, else the picture's own size.
    int DisplayWidth() const;
    int DisplayHeight() const;
    // On a device: the pixels at the logical resolution grown from 96 dots per inch to the
    // canvas's, the size the picture is drawn at when not stretched.
    TSize DeviceSize(const TCanvas& canvas) const;
    // Where the shown image lies on the canvas when the picture's top-left corner is at (x, y):
    // a GIF frame at its place in the logical screen, every edge grown with the resolution.
    TRect DeviceFrameBox(const TCanvas& canvas, int x, int y) const;

    // Loading. LoadLocation takes "RES://" names and "FILE://" paths (any case of the prefix);
    // other locations are kept for a download. LoadFile swallows every error and leaves the
    // picture blank; the others raise qb::Exception with one of the messages above. Bytes that
    // do not decode are kept (unlike a file or stream that could not be read, which leaves the
    // picture blank), but there is no picture to draw.
    void LoadLocation(const std::string& location);
    // The module handle is the program's own (0): resources come from the platform.
    void LoadResourceData(THandle module, const std::string& name);
    void LoadFile(const std::string& path);
    void LoadStream(TStream* stream);
    void SaveStream(TStream* stream) const;
    void ReadStoredData(TStream* stream);
    void WriteStoredData(TStream* stream) const;
    // Takes another picture's bytes, frame, stretch and location; from a blank picture, any
    // other graphic or none, this one is left blank.
    void CopyFrom(const TGraphic* source);
    void LoadFromClipboardFormat() {}
    void SaveToClipboardFormat() const {}

    // Frames: the images of a GIF, found by walking its blocks; -1 for data that is not GIF.
    int CountFrames();
    // Data of more than four bytes that the system's picture loader takes for a GIF.
    bool HasGifSignature() const;
    void SelectFrame(int frame);

    std::string RawData; // the bytes exactly as loaded
    bool Blank = true;
    bool Stretch = false;
    std::unique_ptr<TDecodedPicture> Picture;
    int LogicalDpiX = 96;
    int LogicalDpiY = 96;
    std::string PendingLocation;
    std::string SourceLocation;
    bool Asynchronous = true;
    bool DownloadBusy = false;
    int Frame = 1;
    int FrameTotal = -1;
    TPictureNotifyEvent OnFrameChange;
    uint16_t FrameLeft = 0;
    uint16_t FrameTop = 0;
    uint16_t FrameWidth = 0;
    uint16_t FrameHeight = 0;
    uint16_t ScreenWidth = 0;
    uint16_t ScreenHeight = 0;
    TDownloadProgressEvent OnDownLoadProgress;
    TDownloadCancelEvent OnDownLoadCancel;
    TDownloadCompleteEvent OnDownLoadComplete;
    TDownloadErrorEvent OnDownLoadError;

private:
    // Turns RawData (the selected frame of a GIF) into Picture.
    void RebuildImage();
    // Takes new bytes: any frame count of the old ones no longer holds.
    void TakeData(std::string data);
    // No bytes, no image, no frames: what a blank picture is.
    void Clear();
};

// The worker a picture starts for a location it cannot load itself. Its body does nothing.
class TDownLoadThread {
public:
    // Starts at once; the thread frees its object when it ends. False when none could start.
    static bool Start(TMarkupPicture* picture);
    TMarkupPicture* const Picture;

private:
    explicit TDownLoadThread(TMarkupPicture* picture) : Picture(picture) {}
    void Execute() {}
};

// The renderer's picture cache: pictures appended, never removed, freed with the list.
class TPictureList {
public:
    int Count() const { return static_cast<int>(Items_.size()); }
    TMarkupPicture* Add();
    TMarkupPicture* At(int index) const;

private:
    std::vector<std::unique_ptr<TMarkupPicture>> Items_;
};

// A new picture at the end of the list.
TMarkupPicture* AddPicture(TPictureList& list);
// The first picture whose SourceLocation equals the location (case counts); null when none.
TMarkupPicture* FindPicture(const TPictureList& list, const std::string& location);
// The picture at a 0-based index; null outside the list.
TMarkupPicture* PictureAt(const TPictureList& list, int index);

// Named pictures for plain IMG sources; whoever implements it keeps the pictures.
class TMarkupPictureSource {
public:
    virtual ~TMarkupPictureSource() = default;
    virtual TMarkupPicture* FindPicture(const std::string& name) = 0;
};

} // namespace qb
