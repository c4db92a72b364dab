// Pictures in a line (IMG) and behind the text area (BODY "BACKGROUND", "BGTOPLEFT",
// "BGTOPRIGHT"), from an image list, the shell's icons, a named lookup or the picture list.
#include "markup/MarkupAttributes.h"
#include "markup/MarkupState.h"
#include "markup/PictureContainer.h"
#include "runtime/ImageList.h"
#include <algorithm>

namespace qb::markup {

namespace {

int ClampInt(TCoord v) {
    static constexpr TCoord Limit = TCoord{1} << 30;
    return static_cast<int>(std::clamp(v, -Limit, Limit));
}

// Sizes are given for 96 dots per inch and grow with the device's resolution.
TCoord DeviceScaled(TCoord size, int pixelsPerInch) {
    const int scaled = MulDiv(ClampInt(size), pixelsPerInch, 96);
    return scaled == -1 && size != 0 ? 0 : scaled;
}

} // namespace

TSize TMarkupRenderer::SourceIcon(std::string_view source, TCoord x, TCoord y, bool draw,
                                  bool fromRight) {
    TSize layout;
    const int ppiX = Canvas_.PixelsPerInchX();
    const int ppiY = Canvas_.PixelsPerInchY();
    auto scaled = [&](TSize s) {
        return TSize{static_cast<int>(DeviceScaled(s.Width, ppiX)),
                     static_cast<int>(DeviceScaled(s.Height, ppiY))};
    };

    if (PosNoCase("IDX:", source) > 0 && Params_.ImageList) {
        const TImageList& list = *Params_.ImageList;
        const int n = LooseStrToInt(source.substr(std::min<size_t>(4, source.size())));
        if (n >= 0 && n < list.Count()) {
            const int left = ClampInt(fromRight ? x - list.Width() : x);
            if (draw && !Params_.Printing) {
                list.Draw(Canvas_, left, ClampInt(y), n);
            } else if (draw) {
                if (std::unique_ptr<TGraphic> bitmap = list.Bitmap(n))
                    StretchBitmapToRect(
                        Canvas_,
                        {left, ClampInt(y), left + RoundScaled(list.Width(), Params_.PrintScale),
                         ClampInt(y) + RoundScaled(list.Height(), Params_.PrintScale)},
                        *bitmap);
            }
            layout = scaled({list.Width(), list.Height()});
        }
    }
    for (const bool large : {false, true}) {
        if (PosNoCase(large ? "LSYS:" : "SSYS:", source) == 0)
            continue;
        const std::string name(source.substr(std::min<size_t>(5, source.size())));
        TSize size;
        int left = ClampInt(x);
        if (fromRight) {
            DrawShellIcon(Canvas_, left, ClampInt(y), size, Params_.PrintScale, Params_.Printing,
                          false, large, name);
            left = ClampInt(x - size.Width);
        }
        DrawShellIcon(Canvas_, left, ClampInt(y), size, Params_.PrintScale, Params_.Printing, draw,
                      large, name);
        layout = scaled(size);
    }
    return layout;
}

TMarkupPicture* TMarkupRenderer::SourcePicture(std::string_view source) {
    TMarkupPicture* picture = nullptr;
    if (source.find(':') == std::string_view::npos && Params_.PictureSource)
        picture = Params_.PictureSource->FindPicture(std::string(source));
    if (source.find("://") != std::string_view::npos && Params_.PictureCache) {
        TPictureList& cache = *Params_.PictureCache;
        const std::string location(source);
        picture = FindPicture(cache, location);
        if (!picture) {
            TMarkupPicture* added = AddPicture(cache);
            added->Asynchronous = false;
            // Bytes that do not decode leave the picture blank; a text is never refused for it.
            try {
                added->LoadLocation(location);
            } catch (const std::exception&) {
                added->Blank = true;
            }
            picture = FindPicture(cache, location);
        }
    }
    return picture;
}

void TMarkupRenderer::Image(std::string_view tag) {
    const int number = ++Flow_.ImageCount;
    const std::string_view text = tag.substr(std::min<size_t>(2, tag.size()));
    const std::string upper = UpperAscii(text);
    std::string_view source;
    if (size_t src = upper.find("SRC"); src != std::string::npos)
        source = QuotedValue(text, src + 3);
    if (HasAttribute(upper, "ALT") && ImageUnderMouse_ == number)
        source = AttributeValue(upper, "ALT");
    const TCoord givenWidth =
        HasAttribute(upper, "WIDTH") ? LooseStrToInt(AttributeValue(upper, "WIDTH")) : 0;
    const TCoord givenHeight =
        HasAttribute(upper, "HEIGHT") ? LooseStrToInt(AttributeValue(upper, "HEIGHT")) : 0;
    const bool drawing = !Measuring_;
    const bool given = givenWidth > 0 && givenHeight > 0;

    const TSize icon = SourceIcon(source, Work_.Left, Work_.Top, drawing, false);
    ImageWidth_ = icon.Width;
    ImageHeight_ = icon.Height;
    if (TMarkupPicture* picture = SourcePicture(source); picture && !picture->IsBlank()) {
        if (drawing && given) {
            picture->Stretch = true;
            Canvas_.StretchDraw(
                ToRect({Work_.Left, Work_.Top, Work_.Left + givenWidth, Work_.Top + givenHeight}),
                *picture);
        } else if (drawing) {
            picture->CountFrames();
            Canvas_.Draw(ClampInt(Work_.Left + picture->FrameLeft),
                         ClampInt(Work_.Top + picture->FrameTop), *picture);
        }
        ImageWidth_ =
            DeviceScaled(given ? givenWidth : picture->DisplayWidth(), Canvas_.PixelsPerInchX());
        ImageHeight_ =
            DeviceScaled(given ? givenHeight : picture->DisplayHeight(), Canvas_.PixelsPerInchY());
    }

    // A picture inside a link is part of it: the mouse on it is on the link.
    const TCoord mouseX = TCoord{Params_.MouseX} - LineRect_.Left;
    const TCoord mouseY = Params_.MouseY;
    if (Flow_.InsideLink && LineWidth_ < mouseX && mouseX < LineWidth_ + ImageWidth_ &&
        Work_.Top < mouseY && mouseY < Work_.Top + ImageHeight_) {
        ImageHit_ = true;
        Result_.AnchorUnderMouse = Flow_.LinkTarget;
        ImageUnderMouse_ = number;
    }

    // A picture that would fit an empty line goes there; the second pass places what the
    // first one did, and a picture that takes no space stays.
    const TCoord available = LineRect_.Right - LineRect_.Left;
    if (First_ && !Forced_ && ImageWidth_ > 0 && LineWidth_ + ImageWidth_ > available &&
        ImageWidth_ < available) {
        Overflow_ = true;
        --Flow_.ImageCount; // counted again where it is placed
    } else {
        LineWidth_ += ImageWidth_;
        Work_.Left += ImageWidth_;
        if (First_)
            LineHeight_ = std::max(LineHeight_, ImageHeight_);
    }

    // The line's height is settled by its first pass, and so is how far its text is lifted.
    if (!First_ || (ImageWidth_ <= 0 && ImageHeight_ <= 0))
        return; // nothing shown: the line is left as it is
    const TCoord textHeight = TextHeight();
    if (upper.find("\"TOP") != std::string::npos)
        ImageRaise_ = std::max<TCoord>(0, LineHeight_ - textHeight);
    else if (upper.find("\"MIDDLE") != std::string::npos)
        ImageRaise_ = std::max<TCoord>(0, (LineHeight_ - textHeight) / 2);
    if (HasAttribute(upper, "WRAP")) {
        LineHeight_ = textHeight;
        ImageRaise_ = 0;
    }
}

void TMarkupRenderer::PlacePicture(TMarkupPicture& picture, TCoord x, TCoord y, bool tile) {
    const TCoord w = picture.PixelWidth(), h = picture.PixelHeight();
    Canvas_.SetClipRect(ToRect(Bounds_));
    if (!tile) {
        Canvas_.Draw(ClampInt(x), ClampInt(y), picture);
    } else {
        const TCoord width = Bounds_.Right - Bounds_.Left;
        const TCoord height = Bounds_.Bottom - Bounds_.Top;
        for (TCoord row = 0; row < height; row += h)
            for (TCoord column = 0; column < width; column += w)
                Canvas_.Draw(ClampInt(Bounds_.Left + column), ClampInt(Bounds_.Top + row), picture);
    }
    Canvas_.ClearClip();
}

void TMarkupRenderer::BodyPictures(std::string_view attributes) {
    static constexpr std::string_view Names[] = {"BACKGROUND", "BGTOPLEFT", "BGTOPRIGHT"};
    for (const std::string_view name : Names) {
        if (!HasAttribute(attributes, name))
            continue;
        const std::string_view source = AttributeValue(attributes, name);
        const bool right = name == "BGTOPRIGHT";
        SourceIcon(source, right ? Work_.Right : Work_.Left, Work_.Top, true, right);
        TMarkupPicture* picture = SourcePicture(source);
        if (!picture || picture->IsBlank() || picture->PixelWidth() <= 0 ||
            picture->PixelHeight() <= 0)
            continue;
        if (name == "BACKGROUND")
            PlacePicture(*picture, Bounds_.Left, Bounds_.Top, true);
        else if (Bounds_.Right > Bounds_.Left && Bounds_.Bottom > Bounds_.Top)
            PlacePicture(*picture, right ? Bounds_.Right - picture->PixelWidth() : Bounds_.Left,
                         Bounds_.Top, false);
    }
}

} // namespace qb::markup
