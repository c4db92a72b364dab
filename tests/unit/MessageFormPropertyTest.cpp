// Generated dialog models laid out on the headless screen at 96 and 144 DPI and checked as a
// person would look at them: controls inside the client area and apart, every text inside its
// box, off the controls and shown word for word, the band apart from the upper area, the first
// layout back after expanding and collapsing, sizes growing with the resolution, Tab in reading
// order and Enter answering with the named button. The seed is fixed, so a failure repeats; the
// message names the dialog.
#include "MessageFormTestFixture.h"
#include "runtime/WinConst.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <sstream>

namespace qb {
namespace {

using Opt = TTaskDialogOption;
using Input = TTaskDialogInputType;

class TRandom {
public:
    explicit TRandom(uint32_t seed) : State_(seed) {}
    int Between(int from, int to) {
        State_ ^= State_ << 13;
        State_ ^= State_ >> 17;
        State_ ^= State_ << 5;
        return from + static_cast<int>(State_ % static_cast<uint32_t>(to - from + 1));
    }
    bool Chance(int percent) { return Between(1, 100) <= percent; }

private:
    uint32_t State_;
};

// Fills a model with words the window must show; each word is unique, so it can be found.
class TDialogGenerator {
public:
    explicit TDialogGenerator(uint32_t seed) : Random_(seed) {}

    // Words of the expanded text go to expanded, as they show only while it is open.
    void Fill(TCustomTaskDialog& d, std::vector<std::string>& shown,
              std::vector<std::string>& expanded) {
        Words_ = 0;
        d.WindowTitle = Random_.Chance(80) ? Text(1, 6, false) : std::string();
        if (Random_.Chance(85))
            d.SetMainInstruction(Text(1, Random_.Chance(20) ? 30 : 8, true, &shown));
        const bool markup = Random_.Chance(40);
        if (markup)
            d.Options += Opt::doHyperlinks;
        if (Random_.Chance(80))
            d.SetContent(markup ? Markup(&shown) : Text(1, 40, true, &shown));
        d.MainIcon = static_cast<TTaskDialogIcon>(Random_.Between(0, 6));
        if (Random_.Chance(10))
            d.CustomIcon.SetHandle(0x1234);
        for (int i = 0; i < 6; ++i)
            if (Random_.Chance(25))
                d.CommonButtons += static_cast<TCommonButton>(i);
        const int customs = Random_.Chance(50) ? Random_.Between(1, 3) : 0;
        const bool links = customs > 0 && Random_.Chance(50);
        if (links)
            d.Options += Opt::doCommandLinks;
        if (customs > 0 && Random_.Chance(30))
            d.Options += Opt::doCommandLinksNoIcon;
        for (int i = 0; i < customs; ++i)
            d.CustomButtons.Add(links ? LinkCaption() : "&" + Short(1, 3));
        const int radios = Random_.Chance(35) ? Random_.Between(1, 3) : 0;
        for (int i = 0; i < radios; ++i)
            d.RadioButtons.Add(Text(1, Random_.Chance(20) ? 12 : 4, false));
        if (Random_.Chance(35))
            d.VerificationText = Text(1, Random_.Chance(20) ? 14 : 4, false);
        if (Random_.Chance(40)) {
            d.ExpandedText = markup ? Markup(&expanded) : Text(1, 40, true, &expanded);
            d.CollapsedControlText = Random_.Chance(70) ? "&" + Text(1, 3, false) : "";
            d.ExpandedControlText = Random_.Chance(70) ? "&" + Text(1, 3, false) : "";
            if (Random_.Chance(50))
                d.Options += Opt::doExpandedDefault;
            if (Random_.Chance(30))
                d.Options += Opt::doExpandFooter;
        }
        if (Random_.Chance(35)) {
            d.FooterText = Random_.Chance(30) ? Markup(&shown) : Text(1, 30, true, &shown);
            d.FooterIcon = static_cast<TTaskDialogFooterIcon>(Random_.Between(0, 5));
        }
        if (Random_.Chance(20))
            d.Options += Opt::doProgressBar;
        if (Random_.Chance(15))
            d.Options += Opt::doVerificationChecked;
        if (Random_.Chance(15))
            d.Options += Opt::doNoDefaultRadio;
        if (Random_.Chance(30))
            d.InputType = static_cast<Input>(Random_.Between(0, 5));
        d.MinimumWidth = Random_.Chance(20) ? Random_.Between(0, 600) : 350;
        static const int Named[] = {0, 1, 2, 3, 4, 6, 7, 8, 100, 101, 102, 105};
        d.DefaultButton = Named[Random_.Between(0, 11)];
    }

private:
    std::string Word(bool mayBeLong = true) {
        std::string w = "w" + std::to_string(++Words_);
        if (mayBeLong && Random_.Chance(4))
            w += std::string(static_cast<size_t>(Random_.Between(20, 70)), 'x');
        return w;
    }
    // Words, with escapes and ampersands where escaping is the question.
    std::string Text(int from, int to, bool escapes, std::vector<std::string>* shown = nullptr) {
        std::string text;
        const int n = Random_.Between(from, to);
        for (int i = 0; i < n; ++i) {
            if (i > 0)
                text += escapes && Random_.Chance(10) ? "\\n" : Random_.Chance(5) ? " & " : " ";
            std::string w = Word();
            if (shown)
                shown->push_back(w);
            text += w;
        }
        return text;
    }
    // Words that leave the button row room on any screen.
    std::string Short(int from, int to) {
        std::string text;
        for (int i = Random_.Between(from, to); i > 0; --i)
            text += Word(false) + (i > 1 ? " " : "");
        return text;
    }
    std::string Markup(std::vector<std::string>* shown) {
        static const char* const Tags[] = {
            "<b>", "</b>", "<font size=\"6\">",     "</font>", "<br>",
            "<i>", "</i>", "<a href=\"http://x\">", "</a>"};
        std::string text;
        const int n = Random_.Between(1, 40);
        for (int i = 0; i < n; ++i) {
            if (Random_.Chance(20))
                text += Tags[Random_.Between(0, 8)];
            std::string w = Word();
            if (shown)
                shown->push_back(w);
            text += w + (Random_.Chance(10) ? "\\n" : " ");
        }
        return text;
    }
    std::string LinkCaption() {
        std::string caption = Text(1, 4, false);
        const int notes = Random_.Between(0, 2);
        for (int i = 0; i < notes; ++i)
            caption +=
                Random_.Chance(20) ? "\\n\\n" + Text(1, 6, false) : "\\n" + Text(1, 6, false);
        return caption;
    }

    TRandom Random_;
    int Words_ = 0;
};

std::string Show(const TRect& r) {
    std::ostringstream out;
    out << "(" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
    return out.str();
}

std::string NameOf(const TControl& control) {
    return control.Name().empty() ? "input field" : control.Name();
}

struct TBox {
    std::string What;
    TRect Rect;
};

class MessageFormPropertyTest : public MessageFormTest {
protected:
    // The painted texts' boxes: the instruction, content, expanded text, footer, expand caption.
    std::vector<TBox> TextBoxes(TMessageForm& form) {
        std::vector<TBox> boxes;
        if (form.InstructionLabel->Visible())
            boxes.push_back({"instruction", form.InstructionLabel->BoundsRect()});
        if (!Dialog->Content().empty())
            boxes.push_back({"content", form.ContentRect()});
        if (form.Expanded && !Dialog->ExpandedText.empty())
            boxes.push_back({"expanded text", form.ExpandedRect()});
        if (!Dialog->FooterText.empty())
            boxes.push_back({"footer", form.FooterRect()});
        if (form.ExpandButtonControl && !form.ExpandControlCaption(form.Expanded).empty())
            boxes.push_back({"expand caption", form.ExpandCaptionRect()});
        return boxes;
    }

    // The controls a person sees; the text windows for screen readers lie over painted texts.
    static std::vector<TControl*> Shown(TMessageForm& form) {
        std::vector<TControl*> controls;
        for (TControl* control : form.Controls())
            if (control->Visible() && !dynamic_cast<TStaticText*>(control))
                controls.push_back(control);
        return controls;
    }

    // Each painted text has its reader window exactly over it, and no other reader window shows.
    void CheckReaderWindows(TMessageForm& form, const std::vector<TBox>& boxes, std::ostream& out) {
        const std::pair<const char*, const char*> windows[] = {{"instruction", "InstructionText"},
                                                               {"content", "ContentText"},
                                                               {"expanded text", "ExpandedText"},
                                                               {"footer", "FooterText"}};
        for (const auto& [what, name] : windows) {
            auto* window = dynamic_cast<TStaticText*>(form.FindComponent(name));
            const bool shown = window && window->Visible();
            auto box = std::find_if(boxes.begin(), boxes.end(),
                                    [&](const TBox& b) { return b.What == what; });
            if (shown != (box != boxes.end()))
                out << name << (shown ? " shown without its text; " : " missing; ");
            else if (shown && !Inside(window->BoundsRect(), box->Rect))
                out << name << Show(window->BoundsRect()) << " off " << what << Show(box->Rect)
                    << "; ";
        }
    }

    // Controls apart and inside, texts in their boxes and off the controls, every word drawn.
    void CheckLayout(TMessageForm& form, std::vector<std::string> words,
                     const std::vector<std::string>& expandedWords, std::ostream& out) {
        if (form.Expanded)
            words.insert(words.end(), expandedWords.begin(), expandedWords.end());
        const TRect client = form.ClientRect();
        if (form.Width() > Screen.Screen.Width)
            out << "window wider than the screen; ";
        std::vector<TControl*> controls = Shown(form);
        for (size_t i = 0; i < controls.size(); ++i) {
            const TRect r = controls[i]->BoundsRect();
            if (!Inside(r, client) || r.Width() <= 0 || r.Height() <= 0)
                out << NameOf(*controls[i]) << " " << Show(r) << " not inside " << Show(client)
                    << "; ";
            for (size_t j = i + 1; j < controls.size(); ++j)
                if (Overlap(r, controls[j]->BoundsRect()))
                    out << NameOf(*controls[i]) << Show(r) << " overlaps " << NameOf(*controls[j])
                        << Show(controls[j]->BoundsRect()) << "; ";
        }
        const std::vector<TBox> boxes = TextBoxes(form);
        for (const TBox& box : boxes) {
            if (!Inside(box.Rect, client))
                out << box.What << " " << Show(box.Rect) << " outside; ";
            for (TControl* control : controls)
                if (control != form.InstructionLabel && Overlap(box.Rect, control->BoundsRect()))
                    out << box.What << Show(box.Rect) << " under " << NameOf(*control)
                        << Show(control->BoundsRect()) << "; ";
        }
        CheckReaderWindows(form, boxes, out);
        CheckColumn(form, out);
        CheckCaptions(form, out);
        CheckBand(form, out);
        const TRecordingCanvas* paint = Screen.LastPaint(form.Name());
        if (!paint) {
            out << "never painted; ";
            return;
        }
        std::map<std::string, int> drawn;
        for (const TCanvasRecord& r : paint->Records()) {
            if (r.Op != TCanvasOp::Text)
                continue;
            // Trailing spaces show nothing: they may hang over the edge.
            TRect seen = r.Rect;
            for (size_t i = r.Text.size(); i > 0 && r.Text[i - 1] == ' '; --i)
                seen.Right -= TRecordingCanvas::CharAdvance(r.Font, ' ');
            if (std::none_of(boxes.begin(), boxes.end(),
                             [&](const TBox& b) { return Inside(seen, b.Rect); })) {
                out << "\"" << r.Text << "\" " << Show(r.Rect) << " off its box among";
                for (const TBox& b : boxes)
                    out << " " << b.What << Show(b.Rect);
                out << "; ";
            }
            if (r.Text.find("\\n") != std::string::npos)
                out << "escape shown in \"" << r.Text << "\"; ";
            std::istringstream split(r.Text);
            for (std::string w; split >> w;)
                ++drawn[w];
        }
        for (const std::string& w : words)
            if (drawn[w] == 0)
                out << "word " << w << " not drawn; ";
    }

    // The field, the bar, the radio buttons and the command links span the text column.
    void CheckColumn(TMessageForm& form, std::ostream& out) {
        const int right = form.ClientWidth() - form.HorzMargin;
        auto spans = [&](TControl* control, int left, bool toTheMargin) {
            if (control &&
                (control->Left() != left || (toTheMargin ? control->BoundsRect().Right != right
                                                         : control->BoundsRect().Right > right)))
                out << NameOf(*control) << Show(control->BoundsRect()) << " not in the column "
                    << left << ".." << right << "; ";
        };
        for (TControl* field :
             {static_cast<TControl*>(form.InputEdit), static_cast<TControl*>(form.InputMemo),
              static_cast<TControl*>(form.InputCombo)})
            spans(field, form.TextColumnLeft(), true);
        spans(form.InputDatePicker, form.TextColumnLeft(), false);
        spans(form.ProgressBarControl, form.TextColumnLeft(), true);
        for (TWinControl* radio : form.RadioButtonList)
            spans(radio, form.TextColumnLeft() + form.HorzMargin, true);
        if (Dialog->Options.Contains(Opt::doCommandLinks))
            for (TWinControl* link : form.CustomButtonList)
                spans(link, form.TextColumnLeft(), true);
    }

    // Each caption fits its control: radio buttons and the check box beside their glyphs,
    // command links on their own paint.
    void CheckCaptions(TMessageForm& form, std::ostream& out) {
        auto fits = [&](TControl& control, const TFont& font) {
            TCanvasStateSaver saver(form.Canvas());
            form.Canvas().SetFont(font);
            int need = form.Canvas().TextWidth(StripHotkey(control.Caption())) + form.Scale(16);
            if (control.Width() < need)
                out << NameOf(control) << " " << control.Width() << " wide for " << need << "; ";
            if (control.Height() < form.Canvas().TextHeight("gh"))
                out << NameOf(control) << " lower than its line; ";
        };
        for (TWinControl* radio : form.RadioButtonList)
            fits(*radio, radio->Font());
        if (form.VerificationCheckBox)
            fits(*form.VerificationCheckBox, form.VerificationCheckBox->Font());
        for (TWinControl* link : form.CustomButtonList) {
            const TRecordingCanvas* paint = Screen.LastPaint(link->Name());
            if (!paint || dynamic_cast<TTaskDialogButton*>(link) == nullptr)
                continue;
            for (const TCanvasRecord& r : paint->Records())
                if (r.Op == TCanvasOp::Text && !Inside(r.Rect, link->ClientRect()))
                    out << "\"" << r.Text << "\" outside " << link->Name() << "; ";
        }
    }

    // The band begins below the upper area's last part, and the row lies in it.
    void CheckBand(TMessageForm& form, std::ostream& out) {
        if (form.ButtonBandTop >= form.ClientHeight())
            return;
        const int bandTop = form.ButtonBandTop - form.VertSpacing / 2;
        std::vector<TBox> upper;
        for (TControl* control : Shown(form)) {
            const bool inRow =
                control == form.ExpandButtonControl || control == form.VerificationCheckBox ||
                std::count(form.CommonButtonList.begin(), form.CommonButtonList.end(), control) ||
                (!Dialog->Options.Contains(Opt::doCommandLinks) &&
                 std::count(form.CustomButtonList.begin(), form.CustomButtonList.end(), control));
            if (inRow && control->Top() < bandTop)
                out << NameOf(*control) << " above the band; ";
            if (!inRow)
                upper.push_back({NameOf(*control), control->BoundsRect()});
        }
        if (!Dialog->Content().empty())
            upper.push_back({"content", form.ContentRect()});
        if (form.Expanded && !Dialog->ExpandedText.empty() &&
            !Dialog->Options.Contains(Opt::doExpandFooter))
            upper.push_back({"expanded text", form.ExpandedRect()});
        for (const TBox& box : upper)
            if (box.Rect.Bottom > bandTop)
                out << box.What << " reaches into the band; ";
    }

    static std::string Snapshot(TMessageForm& form) {
        std::ostringstream out;
        out << form.ClientWidth() << "x" << form.ClientHeight() << " band " << form.ButtonBandTop;
        for (TControl* control : form.Controls())
            out << " " << NameOf(*control) << Show(control->BoundsRect());
        return out.str();
    }

    // Reading order: the upper area from top to bottom, then the row from left to right (the
    // expand control above the check box).
    static std::string TabOrderError(TMessageForm& form, std::vector<TWinControl*> visited) {
        if (visited.empty())
            return {};
        auto key = [&](TWinControl* c) {
            const bool inRow = c->Top() >= form.ButtonBandTop - form.VertSpacing / 2 ||
                               c == form.ExpandButtonControl || c == form.VerificationCheckBox;
            // The row's left part (the expand control over the check box) reads before its
            // buttons, which read from left to right.
            const bool leftPart = c == form.ExpandButtonControl || c == form.VerificationCheckBox;
            if (inRow)
                return leftPart ? std::tuple(1, 0, c->Top()) : std::tuple(1, 1, c->Left());
            return std::tuple(0, c->Top(), c->Left());
        };
        std::vector<TWinControl*> cycle;
        for (TWinControl* c : visited) {
            if (!cycle.empty() && c == cycle.front())
                break;
            cycle.push_back(c);
        }
        std::rotate(cycle.begin(),
                    std::min_element(cycle.begin(), cycle.end(),
                                     [&](auto* a, auto* b) { return key(a) < key(b); }),
                    cycle.end());
        for (size_t i = 1; i < cycle.size(); ++i)
            if (key(cycle[i]) < key(cycle[i - 1]))
                return "Tab goes from " + NameOf(*cycle[i - 1]) + " back to " + NameOf(*cycle[i]) +
                       "; ";
        return {};
    }

    // The id Enter must answer with when the named button is on the window, else 0.
    int NamedId(TMessageForm& form) {
        int named = Dialog->DefaultButton == win::IDCLOSE ? win::IDABORT : Dialog->DefaultButton;
        for (TWinControl* b : form.CommonButtonList)
            if (dynamic_cast<TButton*>(b)->ModalResult == named)
                return named;
        return named >= 100 && named < 100 + Dialog->CustomButtons.Count() ? named : 0;
    }
};

TEST_F(MessageFormPropertyTest, GeneratedDialogsShowWhole) {
    constexpr int Models = 120;
    constexpr int Tabs = 16;
    const auto start = std::chrono::steady_clock::now();
    int dialogs = 0;
    int toggled = 0;
    for (int model = 0; model < Models; ++model) {
        TSize sizeAt96;
        for (int dpi : {96, 144}) {
            SCOPED_TRACE("dialog " + std::to_string(model) + " at " + std::to_string(dpi));
            Screen.PixelsPerInch = dpi;
            // A real screen's message font grows with the resolution; the headless one is told.
            Screen.Screen = {1024 * dpi / 96, 768 * dpi / 96};
            Screen.MessageFont.Size = 8 * dpi / 96;
            CommonButtonWidthCache().fill(0);
            Dialog = std::make_unique<TCustomTaskDialog>(nullptr);
            Dialog->ForceEmulation = true;
            std::vector<std::string> words;
            std::vector<std::string> expandedWords;
            TDialogGenerator(0x5EED0000u + static_cast<uint32_t>(model))
                .Fill(*Dialog, words, expandedWords);
            TEdit custom(nullptr);
            custom.SetBounds(0, 0, 120 + 40 * (model % 5), 24);
            if (Dialog->InputType == Input::itCustom)
                Dialog->SetInputControl(&custom);

            std::ostringstream errors;
            std::string first;
            TWinControl* focusAtStart = nullptr;
            std::vector<TWinControl*> visited;
            int named = 0;
            std::vector<TUserStep> steps;
            steps.push_back(user::Check([&](TForm& f) {
                TMessageForm& form = Window(f);
                CheckLayout(form, words, expandedWords, errors);
                first = Snapshot(form);
                named = NamedId(form);
                focusAtStart = Screen.FocusedControl();
                visited.push_back(focusAtStart);
                if (dpi == 96)
                    sizeAt96 = {form.ClientWidth(), form.ClientHeight()};
                else if (form.ClientWidth() < sizeAt96.Width ||
                         form.ClientHeight() < sizeAt96.Height)
                    errors << "smaller at 144 DPI: " << form.ClientWidth() << "x"
                           << form.ClientHeight() << " after " << sizeAt96.Width << "x"
                           << sizeAt96.Height << "; ";
                form.ToggleExpanded();
            }));
            steps.push_back(user::Check([&](TForm& f) {
                TMessageForm& form = Window(f);
                if (!form.ExpandButtonControl)
                    return;
                ++toggled;
                CheckLayout(form, words, expandedWords, errors);
                form.ToggleExpanded();
            }));
            steps.push_back(user::Check([&](TForm& f) {
                if (Snapshot(Window(f)) != first)
                    errors << "toggled back: " << Snapshot(Window(f)) << " was " << first << "; ";
            }));
            for (int i = 0; i < Tabs; ++i) {
                steps.push_back(user::Key(win::VK_TAB));
                steps.push_back(
                    user::Check([&](TForm&) { visited.push_back(Screen.FocusedControl()); }));
            }
            for (int i = 0; i < Tabs; ++i)
                steps.push_back(user::Key(win::VK_TAB, ssShift));
            steps.push_back(user::Check([&](TForm& f) {
                if (Screen.FocusedControl() != focusAtStart)
                    errors << "Tab and Shift+Tab lost the place; ";
                errors << TabOrderError(Window(f), visited);
            }));
            steps.push_back(user::Key(win::VK_RETURN));
            const int result = Run(steps);
            if (named != 0 && result != named)
                errors << "Enter answered " << result << ", not " << named << "; ";
            if (result <= 0)
                errors << "Enter answered nothing; ";
            ++dialogs;
            ASSERT_EQ(errors.str(), "") << first;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d dialogs, %d expanded and collapsed, %.2f s\n", dialogs, toggled, seconds);
    EXPECT_GT(toggled, Models / 4);
}

} // namespace
} // namespace qb
