// The painted texts as windows for screen readers: each text the window draws itself (main
// instruction, content, expanded text, footer) is also a static window over the same place,
// whose text is the plain text.
#include "dialogs/MessageForm.h"
#include "dialogs/MessageFormText.h"
#include "dialogs/TaskDialog.h"
#include "markup/MarkupRenderer.h"
#include "resources/ResourceIds.h"
#include "runtime/Controls.h"
#include "runtime/StringTable.h"

namespace qb {

namespace {

constexpr TRect NoRect{-1, -1, -1, -1};

// Line breaks as readers and the native dialog's windows carry them: CR LF and CR become LF.
std::string WithLineFeeds(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            out += text[i];
        else if (i + 1 >= text.size() || text[i + 1] != '\n')
            out += '\n';
    }
    return out;
}

} // namespace

std::string TMessageForm::ExpandControlCaption(bool expanded) const {
    if (!Dialog)
        return {};
    if (Dialog->ExpandedControlText.empty() && Dialog->CollapsedControlText.empty())
        return LoadStr(expanded ? IDS_TD_HIDE_DETAILS : IDS_TD_SEE_DETAILS);
    return expanded ? Dialog->ExpandedControlText : Dialog->CollapsedControlText;
}

std::string TMessageForm::ReaderText(const std::string& text, bool markup, TEscapes escapes) {
    if (!markup)
        return WithLineFeeds(PlainLines(text, escapes));
    TMarkupParams params = MarkupParams(true, false);
    params.Wrap = false;
    TMarkupResult result;
    // One line per paragraph: the plain text does not depend on where the window wraps.
    RenderMarkup(Canvas(), MarkupLines(text, escapes), {0, 0, 1 << 24, 1 << 24}, params, result);
    // The runs are kept as they are drawn: "&&" shows one "&".
    return WithLineFeeds(StripHotkey(result.PlainText));
}

void TMessageForm::PlaceTextWindow(const std::string& name, const TRect& bounds,
                                   const std::string& text) {
    auto* window = dynamic_cast<TStaticText*>(FindComponent(name));
    if (!window && text.empty())
        return;
    if (!window) {
        window = new TStaticText(this);
        window->SetName(name);
        window->SetParent(this);
    }
    window->SetCaption(text);
    if (!text.empty())
        window->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    window->SetVisible(!text.empty());
}

void TMessageForm::PlaceTextWindows() {
    if (!Dialog)
        return;
    const TCustomTaskDialog& dialog = *Dialog;
    const bool markup = dialog.Options.Contains(TTaskDialogOption::doHyperlinks);
    const bool instruction = InstructionLabel && InstructionLabel->Visible();
    PlaceTextWindow("InstructionText", instruction ? InstructionLabel->BoundsRect() : NoRect,
                    instruction ? ReaderText(dialog.MainInstruction(), false, TEscapes::Native)
                                : "");
    PlaceTextWindow("ContentText", ContentRect(),
                    ReaderText(dialog.Content(), markup, TEscapes::Native));
    const bool expanded = Expanded && !dialog.ExpandedText.empty();
    PlaceTextWindow("ExpandedText", ExpandedRect(),
                    expanded ? ReaderText(dialog.ExpandedText, markup, TEscapes::Every) : "");
    TRect footer = FooterRect();
    footer.Left = FooterTextLeft();
    PlaceTextWindow("FooterText", footer, ReaderText(dialog.FooterText, true, TEscapes::Native));
}

} // namespace qb
