// The emulated window on the headless screen: a simulated machine, a scripted user and one
// dialog model per test, with the window's metrics worked out from its canvas.
#pragma once
#include "HeadlessDialogTest.h"
#include "dialogs/DialogMetrics.h"
#include "dialogs/MessageForm.h"
#include "dialogs/TaskDialog.h"
#include "dialogs/TaskDialogButton.h"
#include "runtime/headless/HeadlessGraphic.h"
#include <memory>
#include <string>

namespace qb {

// Dialog units of a window font, as a person would work them out from its letters.
struct TFormMetrics {
    int AvgW = 0;
    int AvgH = 0;
    int HorzMargin = 0;
    int VertMargin = 0;
    int HorzSpacing = 0;
    int VertSpacing = 0;
    int ButtonHeight = 0;
    int ButtonSpacing = 0;

    explicit TFormMetrics(TCanvas& canvas) {
        std::string letters;
        for (char c = 'A'; c <= 'Z'; ++c)
            letters += c;
        for (char c = 'a'; c <= 'z'; ++c)
            letters += c;
        AvgW = canvas.TextWidth(letters) / 52;
        AvgH = canvas.TextHeight(letters);
        HorzMargin = MulDiv(8, AvgW, 4);
        VertMargin = MulDiv(8, AvgH, 8);
        HorzSpacing = MulDiv(10, AvgW, 4);
        VertSpacing = MulDiv(10, AvgH, 8);
        ButtonHeight = MulDiv(14, AvgH, 8);
        ButtonSpacing = MulDiv(4, AvgW, 4);
    }
};

class MessageFormTest : public HeadlessDialogTest {
protected:
    void SetUp() override {
        HeadlessDialogTest::SetUp();
        ClearCommonButtonWidthCaches();
        Dialog = std::make_unique<TCustomTaskDialog>(nullptr);
        Dialog->ForceEmulation = true;
    }
    void TearDown() override {
        Dialog.reset();
        HeadlessDialogTest::TearDown();
    }

    // The window as Execute would build it, not shown.
    std::unique_ptr<TMessageForm> Build() {
        return std::unique_ptr<TMessageForm>(CreateMessageForm(*Dialog));
    }
    // Runs the dialog with the scripted user; the script must have closed it.
    int Run(std::vector<TUserStep> steps) {
        Screen.Play(std::move(steps));
        int result = Dialog->Execute();
        EXPECT_TRUE(Screen.ScriptErrors.empty())
            << (Screen.ScriptErrors.empty() ? "" : Screen.ScriptErrors.front());
        return result;
    }
    static TMessageForm& Window(TForm& form) { return dynamic_cast<TMessageForm&>(form); }
    template <typename T> static T* Find(TForm& form, const std::string& name) {
        return dynamic_cast<T*>(form.FindComponent(name));
    }
    static std::string PictureName(const TBitmap& bitmap) {
        auto* graphic = dynamic_cast<const THeadlessGraphic*>(bitmap.Graphic().get());
        return graphic ? graphic->Name : std::string();
    }
    static int ShownWidth(TCanvas& canvas, const std::string& text) {
        return canvas.TextWidth(StripHotkey(text));
    }
    // Width (and height) of a text in the main instruction's font.
    static int InstructionWidth(TMessageForm& form, const std::string& text,
                                int* height = nullptr) {
        TCanvasStateSaver saver(form.Canvas());
        TFont font = form.Font();
        font.Size = 11;
        font.Style = fsBold;
        form.Canvas().SetFont(font);
        if (height)
            *height = form.Canvas().TextHeight(text);
        return form.Canvas().TextWidth(text);
    }

    std::unique_ptr<TCustomTaskDialog> Dialog;
};

// Whether two rectangles share a pixel.
inline bool Overlap(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// Whether one rectangle lies whole inside another.
inline bool Inside(const TRect& inner, const TRect& outer) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
}

} // namespace qb
