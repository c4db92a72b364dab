// Tags that change text style or layout. A tag is known by its first letter (after "</" for an
// end tag) and for some tags the one after it; the rest of its name is not looked at.
#include "runtime/CodePage.h"
#include "markup/MarkupAttributes.h"
#include "markup/MarkupState.h"
#include <algorithm>

namespace qb::markup {

namespace {

// Point sizes are kept where a font can be made from them.
constexpr int MinFontSize = 1;
constexpr int MaxFontSize = 1000;

constexpr TColor HighlightTextColor = 0xFF00000E;
constexpr TColor HighlightColor = 0xFF00000D;
constexpr TCoord ListStep = 12;

} // namespace

void TMarkupRenderer::ActOnTag(TMarkupCursor& text) {
    const size_t greater = text.NextGreater();
    const bool closed = greater != TMarkupCursor::npos;
    const std::string_view tag = closed ? text.Peek(greater) : text.Rest();
    const std::string_view head = text.Peek(5);
    if (text.Size() > 3 && head[1] == '/')
        ClosingTag(head);
    else
        OpeningTag(head, tag, closed);

    // A tag that did not fit stays and starts the next line; one without ">" ends the text.
    if (Overflow_)
        return;
    if (closed)
        Consume(text, greater + 1);
    else
        text.Clear();
}

void TMarkupRenderer::OpeningTag(std::string_view head, std::string_view tag, bool closed) {
    const char letter = UpperAscii(head[1]);
    const char next = head[2];
    const char second = UpperAscii(next);
    const bool drawing = !Measuring_;
    switch (letter) {
    case 'B':
        if (next == '>') {
            SetFontStyle(fsBold, true);
        } else if (second == 'R') {
            LineBreak_ = true;
            if (First_)
                Result_.PlainText += '\r';
        } else if (second == 'L') {
            if (!Flow_.Blinking)
                Flow_.BeforeBlink = Flow_.Font.Color;
            Flow_.Blinking = true;
            if (!Params_.BlinkOn)
                SetFontColor(EntryBackground_);
        } else if (second == 'O') {
            if (drawing && !Params_.SelectedColors)
                Body(tag);
        }
        break;
    case 'I':
        if (next == '>')
            SetFontStyle(fsItalic, true);
        else if (second == 'N')
            IndentTo(tag);
        else if (second == 'M')
            Image(tag);
        break;
    case 'U':
        if (next == '>') {
            SetFontStyle(fsUnderline, true);
        } else {
            ++Flow_.ListLevel;
            LineBreak_ = true;
        }
        break;
    case 'L':
        ListItem();
        break;
    case 'S':
        if (StartsWithNoCase(head, "<SUB>"))
            Flow_.Subscript = true;
        else if (StartsWithNoCase(head, "<SUP>"))
            Flow_.Superscript = true;
        else if (next == '>')
            SetFontStyle(fsStrikeOut, true);
        else if (second == 'H')
            Flow_.Shadow = true;
        break;
    case 'F':
        FontTag(tag, closed);
        break;
    case 'P':
        ParagraphTag(tag, closed);
        break;
    case 'H':
        if (second == 'R') {
            LineBreak_ = true;
            if (drawing)
                Rule();
        } else if (second == 'I') {
            if (drawing)
                Highlight();
        }
        break;
    case 'E':
        if (drawing)
            Flow_.ErrorMark = true;
        break;
    case 'Z':
        Flow_.Hidden = true;
        break;
    case 'O':
        if (second == 'F')
            Offset(tag);
        break;
    case 'R':
        Rotate(tag);
        break;
    case 'A':
        LinkStart(tag);
        break;
    default:
        break; // unknown tags go without effect
    }
}

void TMarkupRenderer::ClosingTag(std::string_view head) {
    const char letter = UpperAscii(head[2]);
    const char next = head[3];
    const char second = UpperAscii(next);
    const bool drawing = !Measuring_;
    switch (letter) {
    case 'B':
        if (next == '>') {
            SetFontStyle(fsBold, false);
        } else {
            // Ends BL... (back to the colour before it) and BODY.
            SetFontColor(Flow_.Blinking ? Flow_.BeforeBlink : BaseFont_.Color);
            Flow_.Blinking = false;
        }
        break;
    case 'I':
        SetFontStyle(fsItalic, false);
        break;
    case 'U':
        if (next == '>')
            SetFontStyle(fsUnderline, false);
        else if (Flow_.ListLevel > 0)
            --Flow_.ListLevel;
        else
            SetFontStyle(fsUnderline, false);
        break;
    case 'L':
        LineBreak_ = true;
        break;
    case 'S':
        if (second == 'U') {
            Flow_.Subscript = false;
            Flow_.Superscript = false;
        } else if (second == 'H') {
            Flow_.Shadow = false;
        } else {
            SetFontStyle(fsStrikeOut, false);
        }
        break;
    case 'F':
        FontEnd();
        break;
    case 'P':
        LineBreak_ = true;
        if (drawing) {
            SetBackground(ParagraphSaved_);
            ParagraphBand_ = false;
        }
        break;
    case 'H':
        if (drawing)
            HighlightEnd();
        break;
    case 'E':
        if (drawing)
            Flow_.ErrorMark = false;
        break;
    case 'Z':
        Flow_.Hidden = false;
        break;
    case 'O':
        Flow_.OffsetVariable = 0;
        break;
    case 'R':
        RestoreRotatedFont(Canvas_, Flow_.RotationSlot);
        break;
    case 'A':
        LinkEnd();
        break;
    default:
        break;
    }
}

void TMarkupRenderer::FontTag(std::string_view tag, bool closed) {
    if (!closed)
        return;
    // After the four letters of FONT, with the space before the first attribute, so that
    // " COLOR" is told from "BGCOLOR".
    const std::string attributes = UpperAscii(tag.substr(std::min<size_t>(5, tag.size())));
    const std::string_view face = AttributeValue(attributes, "FACE");
    if (!face.empty() && Flow_.Font.Name != face) {
        Flow_.Font.Name = std::string(face);
        FontDirty_ = true;
    }
    if (!Params_.SelectedColors) {
        const std::string_view color = AttributeValue(attributes, " COLOR");
        if (!color.empty())
            SetFontColor(ColorValue(color));
    }
    if (!Measuring_ && !Params_.SelectedColors) {
        // Every FONT keeps the background it found, so its end tag puts that one back.
        FontBackground_ = Background();
        const std::string_view back = AttributeValue(attributes, "BGCOLOR");
        if (!back.empty())
            SetBackground(ColorValue(back));
    }
    const size_t size = attributes.find("SIZE");
    if (size != std::string::npos) {
        std::string_view rest = std::string_view(attributes).substr(size + 4);
        if (size_t eq = rest.find('='); eq != std::string_view::npos)
            rest = rest.substr(eq + 1);
        if (size_t quote = rest.find('"'); quote != std::string_view::npos)
            rest = rest.substr(quote + 1);
        static constexpr int HtmlSizes[] = {8, 10, 12, 14, 16};
        int points = LooseStrToInt(rest);
        if (points >= 1 && points <= 5)
            points = HtmlSizes[points - 1];
        points = std::clamp(points, MinFontSize, MaxFontSize);
        if (Flow_.Font.Size != points) {
            Flow_.Font.Size = points;
            FontDirty_ = true;
        }
    }
}

void TMarkupRenderer::FontEnd() {
    if (Flow_.Font.Name != BaseFont_.Name || Flow_.Font.Size != BaseFont_.Size) {
        Flow_.Font.Name = BaseFont_.Name;
        Flow_.Font.Size = BaseFont_.Size;
        FontDirty_ = true;
    }
    if (!Measuring_ && !Params_.SelectedColors) {
        SetFontColor(BaseFont_.Color);
        SetBackground(FontBackground_);
    }
}

void TMarkupRenderer::ParagraphTag(std::string_view tag, bool closed) {
    if (!closed)
        return;
    const std::string attributes = UpperAscii(tag.substr(std::min<size_t>(2, tag.size())));
    if (HasAttribute(attributes, "INDENT")) {
        // The indent only narrows the box: a negative one would draw left of it.
        const TCoord indent = std::max(0, LooseStrToInt(AttributeValue(attributes, "INDENT")));
        // Text already on the line was fitted to the old indent; when a deeper one leaves it
        // no room, the tag starts the next line instead.
        if (First_ && Params_.Wrap && !Forced_ && RunPlaced_ && LineWidth_ >= Room(indent)) {
            Overflow_ = true;
            return;
        }
        Indent_ = indent;
    }
    const std::string_view align = AttributeValue(attributes, "ALIGN");
    if (align.find("RIGHT") != std::string_view::npos)
        Alignment_ = TAlignment::Right;
    if (align.find("LEFT") != std::string_view::npos)
        Alignment_ = TAlignment::Left;
    if (align.find("CENTER") != std::string_view::npos)
        Alignment_ = TAlignment::Center;
    if (!Measuring_)
        ParagraphBackground(attributes);
}

void TMarkupRenderer::ListItem() {
    // A second item on one line starts the next line; it counts there, not here.
    if (ListItemMet_) {
        Overflow_ = true;
        return;
    }
    ListItemMet_ = true;
    const TCoord level = Flow_.ListLevel;
    LineWidth_ += ListStep * level;
    Work_.Left += ListStep * (level - 1);
    if (!Measuring_ && !Flow_.Hidden) {
        const std::string face = Flow_.Font.Name;
        Flow_.Font.Name = "Symbol";
        FontDirty_ = true;
        ApplyFont();
        TRect rect = ToRect(Work_);
        // The Symbol font draws U+00B7 as its bullet, in whichever code page it reached it.
        Canvas_.DrawText(level % 2 != 0 ? CodePageChar(0x00B7) : "o", rect, 0);
        Flow_.Font.Name = face;
        FontDirty_ = true;
    }
    Work_.Left += ListStep;
}

void TMarkupRenderer::IndentTo(std::string_view tag) {
    // From the line's own left, where its width counts from, so measuring and drawing agree.
    const std::optional<int> n = StrictStrToInt(ValueAfterLetter(tag, 'x'));
    if (n && LineWidth_ < *n) {
        LineWidth_ = *n;
        Work_.Left = LineRect_.Left + *n;
    }
}

void TMarkupRenderer::Offset(std::string_view tag) {
    const TCoord n = std::max(0, LooseStrToInt(ValueAfterLetter(tag, 'x')));
    Flow_.OffsetVariable = n;
    // The pen never goes back over text already on the line.
    if (!RunPlaced_ || LineWidth_ < n) {
        LineWidth_ = n;
        Work_.Left = LineRect_.Left + n;
    }
}

void TMarkupRenderer::Rotate(std::string_view tag) {
    RotateFont(Canvas_, LooseStrToInt(ValueAfterLetter(tag, 'a')), Flow_.RotationSlot);
}

void TMarkupRenderer::Rule() {
    const TColor pen = Canvas_.PenColor();
    Canvas_.SetPenColor(clBlack);
    const TRect from = ToRect({LineRect_.Left, Base_ + 1, 0, 0});
    const TRect to = ToRect({LineRect_.Right, Base_ + 1, 0, 0});
    Canvas_.MoveTo(from.Left, from.Top);
    Canvas_.LineTo(to.Left, to.Top);
    Canvas_.SetPenColor(pen);
}

void TMarkupRenderer::Highlight() {
    HighlightMet_ = true;
    HighlightText_ = Flow_.Font.Color;
    HighlightBack_ = Background();
    SetFontColor(HighlightTextColor);
    SetBackground(HighlightColor);
}

void TMarkupRenderer::HighlightEnd() {
    // An end tag with no highlight before it (</H1>, </HEAD>) changes nothing.
    if (!HighlightMet_)
        return;
    SetFontColor(HighlightText_);
    SetBackground(HighlightBack_);
}

} // namespace qb::markup
