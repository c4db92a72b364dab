#include "markup/PictureContainer.h"
#include "runtime/AsciiCase.h"
#include "runtime/Exception.h"
#include "runtime/GifScan.h"
#include "runtime/MulDiv.h"
#include "runtime/Platform.h"
#include "runtime/Thread.h"
#include "runtime/Stream.h"

namespace qb {

namespace {

const char* DecodeMessage(TDecodeResult result) {
    switch (result) {
    case TDecodeResult::NoMemory:
        return NoImageMemoryMessage;
    case TDecodeResult::NoStream:
        return NoImageStreamMessage;
    case TDecodeResult::EmptyStream:
        return EmptyImageStreamMessage;
    case TDecodeResult::InvalidFormat:
        return InvalidImageMessage;
    case TDecodeResult::NoPicture:
    case TDecodeResult::Ok:
        break;
    }
    return NoImageMessage;
}

bool StartsWithUpper(const std::string& upper, std::string_view prefix) {
    return upper.compare(0, prefix.size(), prefix) == 0;
}

// Sizes given for 96 dots per inch on a device of another resolution.
int ScaleToDevice(int size, int pixelsPerInch) {
    return MulDiv(size, pixelsPerInch, 96);
}

} // namespace

TMarkupPicture::TMarkupPicture() = default;
TMarkupPicture::~TMarkupPicture() = default;

int TMarkupPicture::PixelWidth() const {
    return Picture ? MulDiv(Picture->Width(), LogicalDpiX, 96) : 0;
}

int TMarkupPicture::PixelHeight() const {
    return Picture ? MulDiv(Picture->Height(), LogicalDpiY, 96) : 0;
}

TSize TMarkupPicture::DeviceSize(const TCanvas& canvas) const {
    return {ScaleToDevice(PixelWidth(), canvas.PixelsPerInchX()),
            ScaleToDevice(PixelHeight(), canvas.PixelsPerInchY())};
}

TRect TMarkupPicture::DeviceFrameBox(const TCanvas& canvas, int x, int y) const {
    const int ppiX = canvas.PixelsPerInchX(), ppiY = canvas.PixelsPerInchY();
    return {x + ScaleToDevice(FrameLeft, ppiX), y + ScaleToDevice(FrameTop, ppiY),
            x + ScaleToDevice(FrameLeft + PixelWidth(), ppiX),
            y + ScaleToDevice(FrameTop + PixelHeight(), ppiY)};
}

int TMarkupPicture::DisplayWidth() const {
    if (!Picture)
        return 0;
    return ScreenWidth != 0 ? ScreenWidth : PixelWidth();
}

int TMarkupPicture::DisplayHeight() const {
    if (!Picture)
        return 0;
    return ScreenHeight != 0 ? ScreenHeight : PixelHeight();
}

bool TMarkupPicture::DrawInto(TCanvas& canvas, const TRect& rect) const {
    if (Blank || !Picture)
        return true;
    if (Stretch) {
        canvas.StretchDraw(rect, *Picture);
        return true;
    }
    // Natural size at the device's resolution, from the rectangle's top-left corner.
    const TSize size = DeviceSize(canvas);
    canvas.StretchDraw({rect.Left, rect.Top, rect.Left + size.Width, rect.Top + size.Height},
                       *Picture);
    return true;
}

void TMarkupPicture::LoadLocation(const std::string& location) {
    const std::string upper = UpperAscii(location);
    if (StartsWithUpper(upper, "RES://")) {
        SourceLocation = location;
        const std::string name = location.substr(6);
        if (!name.empty())
            LoadResourceData(0, name);
    } else if (StartsWithUpper(upper, "FILE://")) {
        SourceLocation = location;
        const std::string path = location.substr(7);
        if (!path.empty())
            LoadFile(path);
    } else if (Asynchronous) {
        if (!DownloadBusy) {
            PendingLocation = location;
            DownloadBusy = true;
            TDownLoadThread::Start(this);
        }
    } else {
        PendingLocation = location;
        SourceLocation = location;
    }
}

void TMarkupPicture::LoadResourceData(THandle module, const std::string& name) {
    (void)module;
    ISystemInfo* system = Platform().System;
    if (!system)
        return;
    std::optional<std::string> data = system->LoadRcData(name);
    if (!data)
        return;
    TakeData(std::move(*data));
    RebuildImage();
    Changed();
}

void TMarkupPicture::LoadFile(const std::string& path) {
    try {
        IFileSystem* files = Platform().Files;
        std::string data;
        if (!files || files->ReadWholeFile(path, data) != 0)
            throw Exception("Cannot open file \"" + path + "\"");
        TakeData(std::move(data));
        RebuildImage();
        Changed();
    } catch (...) {
        Clear();
    }
}

void TMarkupPicture::LoadStream(TStream* stream) {
    if (!stream)
        return;
    ReadStoredData(stream);
    Changed();
}

void TMarkupPicture::ReadStoredData(TStream* stream) {
    if (!stream)
        return;
    std::string data;
    try {
        data = ReadToEnd(*stream);
    } catch (...) {
        Clear(); // a picture half read is no picture, and the old one is gone
        throw;
    }
    TakeData(std::move(data));
    RebuildImage();
}

void TMarkupPicture::SaveStream(TStream* stream) const {
    WriteStoredData(stream);
}

void TMarkupPicture::WriteStoredData(TStream* stream) const {
    if (stream)
        stream->Write(RawData.data(), RawData.size());
}

void TMarkupPicture::CopyFrom(const TGraphic* source) {
    if (source == this)
        return;
    // The old bytes are dropped unread: bytes that no longer decode must not keep a good
    // picture out.
    Clear();
    Frame = 1;
    const auto* other = dynamic_cast<const TMarkupPicture*>(source);
    if (!other)
        return;
    Stretch = other->Stretch;
    Frame = other->Frame;
    SourceLocation = other->SourceLocation;
    if (!other->IsBlank()) {
        TakeData(std::string(other->RawData));
        RebuildImage();
    }
    Changed();
}

void TMarkupPicture::TakeData(std::string data) {
    RawData = std::move(data);
    FrameTotal = -1;
    Blank = false;
}

void TMarkupPicture::Clear() {
    RawData.clear();
    Picture.reset();
    Blank = true;
    FrameTotal = -1;
    FrameLeft = FrameTop = FrameWidth = FrameHeight = 0;
    ScreenWidth = ScreenHeight = 0;
}

bool TMarkupPicture::HasGifSignature() const {
    return RawData.size() > 4 && IsGif(RawData);
}

int TMarkupPicture::CountFrames() {
    if (FrameTotal != -1)
        return FrameTotal;
    if (!HasGifSignature())
        return -1;
    FrameTotal = static_cast<int>(ScanGif(RawData).Images.size());
    return FrameTotal;
}

void TMarkupPicture::SelectFrame(int frame) {
    Frame = frame;
    if (RawData.empty())
        return;
    RebuildImage();
    if (OnFrameChange)
        OnFrameChange(this);
}

void TMarkupPicture::RebuildImage() {
    FrameLeft = FrameTop = 0;
    ScreenWidth = ScreenHeight = 0;
    Picture.reset();

    std::string selected;
    std::string_view bytes = RawData;
    if (HasGifSignature()) {
        const TGifLayout gif = ScanGif(RawData);
        const int count = static_cast<int>(gif.Images.size());
        FrameTotal = count;
        if (count > 0) {
            ScreenWidth = gif.ScreenWidth;
            ScreenHeight = gif.ScreenHeight;
        }
        if (Frame >= 1 && Frame <= count) {
            const TGifImage& shown = gif.Images[static_cast<size_t>(Frame - 1)];
            FrameLeft = shown.Left;
            FrameTop = shown.Top;
            FrameWidth = shown.Width;
            FrameHeight = shown.Height;
        }
        // The selected frame becomes the first image: the bytes before the first frame, then
        // everything from the selected frame on (beyond the last frame, only the former).
        if (count > 0 && Frame > 1) {
            selected.assign(RawData, 0, gif.Images.front().Start);
            if (Frame <= count)
                selected.append(RawData, gif.Images[static_cast<size_t>(Frame - 1)].Start);
            bytes = selected;
        }
    }

    IPictureDecoder* decoder = Platform().Pictures;
    std::unique_ptr<TDecodedPicture> decoded;
    const TDecodeResult result =
        decoder ? decoder->Decode(bytes, decoded) : TDecodeResult::NoPicture;
    if (result != TDecodeResult::Ok || !decoded)
        throw Exception(DecodeMessage(result));
    Picture = std::move(decoded);
}

bool TDownLoadThread::Start(TMarkupPicture* picture) {
    auto* thread = new TDownLoadThread(picture);
    const bool started = StartDetachedThread([thread] {
        std::unique_ptr<TDownLoadThread> self(thread);
        self->Execute();
    });
    if (!started)
        delete thread;
    return started;
}

TMarkupPicture* TPictureList::Add() {
    Items_.push_back(std::make_unique<TMarkupPicture>());
    return Items_.back().get();
}

TMarkupPicture* TPictureList::At(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return Items_[static_cast<size_t>(index)].get();
}

TMarkupPicture* AddPicture(TPictureList& list) {
    return list.Add();
}

TMarkupPicture* FindPicture(const TPictureList& list, const std::string& location) {
    for (int i = 0; i < list.Count(); ++i)
        if (list.At(i)->SourceLocation == location)
            return list.At(i);
    return nullptr;
}

TMarkupPicture* PictureAt(const TPictureList& list, int index) {
    return list.At(index);
}

} // namespace qb
