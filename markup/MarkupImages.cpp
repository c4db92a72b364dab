// Pictures in a line (IMG) and behind the text area (BODY "BACKGROUND", "BGTOPLEFT",
// "BGTOPRIGHT"), from an image list, the shell's icons, a named lookup or the picture list.
#include "markup/MarkupAttributes.h"
#include "markup/MarkupState.h"
#include "markup/PictureContainer.h"
#include "runtime/ImageList.h"
#include "runtime/MulDiv.h"
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

// Draws a picture stretched into a rectangle and leaves its own Stretch setting as it was, so
// that a picture of the caller's list is not stretched by its next use.
void StretchPicture(TCanvas& canvas, TMarkupPicture& picture, const TRect& rect) {
    const bool stretch = picture.Stretch;
    picture.Stretch = true;
    canvas.StretchDraw(rect, picture);
    picture.Stretch = stretch;
}

} // namespace

TSize TMarkupRenderer::SourceIcon(std::string_view source, TCoord x, TCoord y, bool draw,
                                  bool fromRight) {
    // Image-list images and the shell's icons come at the device's size already; printing
    // stretches them by the print scale. The layout takes what is drawn.
    auto shown = [&](TSize s) {
        return Params_.Printing ? TSize{RoundScaled(s.Width, Params_.PrintScale),
                                        RoundScaled(s.Height, Params_.PrintScale)}
                                : s;
    };
    TSize layout;
    if (PosNoCase("IDX:", source) > 0 && Params_.ImageList) {
        const TImageList& list = *Params_.ImageList;
        const int n = LooseStrToInt(source.substr(std::min<size_t>(4, source.size())));
        if (n >= 0 && n < list.Count()) {
            layout = shown({list.Width(), list.Height()});
            const int left = ClampInt(fromRight ? x - layout.Width : x);
            if (draw && !Params_.Printing) {
                list.Draw(Canvas_, left, ClampInt(y), n);
            } else if (draw) {
                if (std::unique_ptr<TGraphic> bitmap = list.Bitmap(n))
                    StretchBitmapToRect(
                        Canvas_,
                        {left, ClampInt(y), left + layout.Width, ClampInt(y) + layout.Height},
                        *bitmap);
            }
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
            left = ClampInt(x - shown(size).Width);
        }
        DrawShellIcon(Canvas_, left, ClampInt(y), size, Params_.PrintScale, Params_.Printing, draw,
                      large, name);
        layout = shown(size);
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
            // Bytes that do not decode leave nothing to draw; a text is never refused for it.
            try {
                added->LoadLocation(location);
            } catch (const std::exception&) {
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
        // Drawn at the size it takes: grown with the device's resolution like every size here.
        ImageWidth_ =
            DeviceScaled(given ? givenWidth : picture->DisplayWidth(), Canvas_.PixelsPerInchX());
        ImageHeight_ =
            DeviceScaled(given ? givenHeight : picture->DisplayHeight(), Canvas_.PixelsPerInchY());
        if (drawing && given) {
            StretchPicture(Canvas_, *picture,
                           ToRect({Work_.Left, Work_.Top, Work_.Left + ImageWidth_,
                                   Work_.Top + ImageHeight_}));
        } else if (drawing) {
            picture->CountFrames();
            StretchPicture(
                Canvas_, *picture,
                picture->DeviceFrameBox(Canvas_, ClampInt(Work_.Left), ClampInt(Work_.Top)));
        }
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

void TMarkupRenderer::PlacePicture(TMarkupPicture& picture, TSize size, TCoord x, TCoord y,
                                   bool tile) {
    auto drawAt = [&](TCoord left, TCoord top) {
        StretchPicture(Canvas_, picture, ToRect({left, top, left + size.Width, top + size.Height}));
    };
    Canvas_.SetClipRect(ToRect(Bounds_));
    if (!tile) {
        drawAt(x, y);
    } else {
        const TCoord width = Bounds_.Right - Bounds_.Left;
        const TCoord height = Bounds_.Bottom - Bounds_.Top;
        for (TCoord row = 0; row < height; row += size.Height)
            for (TCoord column = 0; column < width; column += size.Width)
                drawAt(Bounds_.Left + column, Bounds_.Top + row);
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
        if (!picture || picture->IsBlank())
            continue;
        // Tiles step by the size they are drawn at.
        const TSize size = picture->DeviceSize(Canvas_);
        if (size.Width <= 0 || size.Height <= 0)
            continue;
        if (name == "BACKGROUND")
            PlacePicture(*picture, size, Bounds_.Left, Bounds_.Top, true);
        else if (Bounds_.Right > Bounds_.Left && Bounds_.Bottom > Bounds_.Top)
            PlacePicture(*picture, size, right ? Bounds_.Right - size.Width : Bounds_.Left,
                         Bounds_.Top, false);
    }
}

} // namespace qb::markup
