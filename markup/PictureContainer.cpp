#include "markup/PictureContainer.h"
#include "runtime/AsciiCase.h"
#include "runtime/Exception.h"
#include "runtime/Platform.h"
#include "runtime/Thread.h"
#include "runtime/Stream.h"

namespace qb {

namespace {

// A graphic control extension of four data bytes followed by an image descriptor, with the
// whole descriptor inside the data.
constexpr size_t FramePatternSize = 17;

bool IsFramePattern(const std::string& b, size_t p) {
    return p + FramePatternSize <= b.size() && static_cast<unsigned char>(b[p]) == 0x21 &&
           static_cast<unsigned char>(b[p + 1]) == 0xF9 && b[p + 2] == 4 &&
           static_cast<unsigned char>(b[p + 8]) == 0x2C;
}

uint16_t Le16(const std::string& b, size_t p) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[p]) |
                                 (static_cast<unsigned char>(b[p + 1]) << 8));
}

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

} // namespace

TMarkupPicture::TMarkupPicture() = default;
TMarkupPicture::~TMarkupPicture() = default;

int TMarkupPicture::PixelWidth() const {
    return Picture ? MulDiv(Picture->HimetricWidth(), LogicalDpiX, HimetricPerInch) : 0;
}

int TMarkupPicture::PixelHeight() const {
    return Picture ? MulDiv(Picture->HimetricHeight(), LogicalDpiY, HimetricPerInch) : 0;
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
    const int w = MulDiv(Picture->HimetricWidth(), canvas.PixelsPerInchX(), HimetricPerInch);
    const int h = MulDiv(Picture->HimetricHeight(), canvas.PixelsPerInchY(), HimetricPerInch);
    canvas.StretchDraw({rect.Left, rect.Top, rect.Left + w, rect.Top + h}, *Picture);
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
        Blank = true;
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
    TakeData(ReadToEnd(*stream));
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
    Blank = true;
    Picture.reset();
    FrameTotal = -1;
    SelectFrame(1);
    if (!source) {
        RawData.clear();
        return;
    }
    const auto* other = dynamic_cast<const TMarkupPicture*>(source);
    if (!other)
        return;
    Stretch = other->Stretch;
    Frame = other->Frame;
    SourceLocation = other->SourceLocation;
    TakeData(std::string(other->RawData));
    RebuildImage();
    Changed();
}

void TMarkupPicture::TakeData(std::string data) {
    RawData = std::move(data);
    FrameTotal = -1;
    Blank = false;
}

bool TMarkupPicture::HasGifSignature() const {
    return RawData.size() > 4 && RawData.compare(0, 4, "GIF8") == 0;
}

int TMarkupPicture::CountFrames() {
    if (FrameTotal != -1)
        return FrameTotal;
    if (!HasGifSignature())
        return -1;
    int count = 0;
    for (size_t p = 0; p < RawData.size(); ++p)
        if (IsFramePattern(RawData, p))
            ++count;
    FrameTotal = count;
    return count;
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

    // The selected frame becomes the first image: the bytes before the first frame, then
    // everything from the selected frame's control extension on.
    std::string selected;
    const std::string* bytes = &RawData;
    if (HasGifSignature() && CountFrames() > 0 && RawData.size() >= 10) {
        ScreenWidth = Le16(RawData, 6);
        ScreenHeight = Le16(RawData, 8);
        selected.reserve(RawData.size());
        int i = 1;
        bool skipping = false;
        for (size_t p = 0; p < RawData.size(); ++p) {
            if (IsFramePattern(RawData, p)) {
                if (Frame == i) {
                    FrameLeft = Le16(RawData, p + 9);
                    FrameTop = Le16(RawData, p + 11);
                    FrameWidth = Le16(RawData, p + 13);
                    FrameHeight = Le16(RawData, p + 15);
                }
                ++i;
                skipping = Frame >= i;
            }
            if (!skipping)
                selected += RawData[p];
        }
        bytes = &selected;
    }

    Picture.reset();
    IPictureDecoder* decoder = Platform().Pictures;
    std::unique_ptr<TDecodedPicture> decoded;
    const TDecodeResult result =
        decoder ? decoder->Decode(*bytes, decoded) : TDecodeResult::NoPicture;
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
