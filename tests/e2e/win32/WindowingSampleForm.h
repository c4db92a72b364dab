// A form with one control of every kind the dialogs use, laid out for the screen's DPI: the
// windowing checks inspect it and the screenshot shows it.
#pragma once
#include "runtime/win32/WindowsApi.h"

#include "runtime/Exception.h"
#include "runtime/Forms.h"
#include "runtime/Platform.h"
#include "runtime/StdCtrls.h"
#include "runtime/win32/GdiCanvas.h"
#include <memory>
#include <string>

namespace qb {

// A command-link look-alike that counts what happened to it.
class TSampleLink : public TCustomControl {
public:
    explicit TSampleLink(TComponent* owner) : TCustomControl(owner) {}
    int ModalResult = 100;
    int Clicks = 0;
    int Enters = 0;
    int Exits = 0;
    int MouseEnters = 0;
    int MouseLeaves = 0;
    int Paints = 0;
    bool Hot = false;
    std::shared_ptr<TGraphic> Arrow;

    void Click() override {
        ++Clicks;
        if (TForm* form = ParentForm())
            form->SetModalResult(ModalResult);
        TCustomControl::Click();
    }
    void DoEnter() override {
        ++Enters;
        TCustomControl::DoEnter();
        Invalidate();
    }
    void DoExit() override {
        ++Exits;
        TCustomControl::DoExit();
        Invalidate();
    }
    void MouseEnter() override {
        ++MouseEnters;
        Hot = true;
        Invalidate();
    }
    void MouseLeave() override {
        ++MouseLeaves;
        Hot = false;
        Invalidate();
    }

protected:
    void Paint() override {
        ++Paints;
        TCanvas& canvas = Canvas();
        const int dpi = canvas.PixelsPerInchY();
        const TRect all = ClientRect();
        int left = MulDiv(4, dpi, 96);
        if (Arrow) {
            const int size = MulDiv(16, dpi, 96);
            const int top = (all.Height() - size) / 2;
            canvas.StretchDraw({left, top, left + size, top + size}, *Arrow);
            left += size + MulDiv(3, dpi, 96);
        }
        TFont heading = Font();
        heading.Style = fsBold;
        heading.Color = 0x00993300;
        canvas.SetFont(heading);
        canvas.SetBrushStyle(TBrushStyle::Clear);
        TRect text{left, 0, all.Right, all.Bottom};
        canvas.DrawText(Caption(), text, DT_SINGLELINE | DT_VCENTER);
        if (Hot || Focused()) {
            canvas.SetPenColor(Focused() ? 0x00C08000 : 0x00E0C080);
            canvas.RoundRect(all, 2, 2);
        }
        if (Focused()) {
            TRect focus{2, 2, all.Right - 2, all.Bottom - 2};
            canvas.DrawFocusRect(focus);
        }
    }
};

class TSampleForm : public TForm {
public:
    TSampleForm() : TForm(nullptr) {
        const int dpi = PixelsPerInch();
        auto px = [dpi](int value) { return MulDiv(value, dpi, 96); };
        SetCaption("Windowing check");
        SetBorderStyle(TFormBorderStyle::bsDialog);
        SetBorderIcons(0);
        SetPosition(TPosition::poScreenCenter);
        SetColor(clWhite);
        TFont font;
        font.Size = 9;
        SetFont(font);
        SetClientWidth(px(380));
        SetClientHeight(px(330));
        KeyPreview = true;

        Title = Add<TLabel>("Title", px(60), px(12), px(300), px(24));
        Title->SetCaption("Every control of the emulated window");
        TFont titleFont = font;
        titleFont.Size = 12;
        titleFont.Color = 0x00993300;
        Title->SetFont(titleFont);
        Title->Transparent = true;
        // The title as a window for readers, as the emulated dialog gives each painted text.
        Heading = Add<TStaticText>("Heading", px(60), px(12), px(300), px(24));
        Heading->SetCaption("Every control & window");
        Icon = Add<TImage>("Icon", px(12), px(8), px(32), px(32));
        if (auto icon = Platform().Windowing->LoadSystemIcon(32515, px(32)))
            Icon->Picture.SetGraphic(icon);

        Edit = Add<TEdit>("Edit", px(12), px(48), px(170), px(23));
        Edit->SetText("Edit text");
        Memo = Add<TMemo>("Memo", px(196), px(48), px(170), px(46));
        Memo->SetText("Memo line one\r\nline two");
        Combo = Add<TComboBox>("Combo", px(12), px(76), px(170), px(23));
        Combo->SetStyle(TComboBoxStyle::csDropDownList);
        Combo->Items.Add("Alpha");
        Combo->Items.Add("Beta");
        Combo->Items.Add("Gamma");
        Combo->ItemsChanged();
        Combo->SetItemIndex(1);
        Date = Add<TDateTimePicker>("Date", px(12), px(104), px(170), px(23));
        Date->SetDate({2026, 12, 8});
        Link = Add<TSampleLink>("Link", px(196), px(100), px(170), px(34));
        Link->SetCaption("&Link heading");
        Link->SetCursor(TCursor::crHandPoint);
        Link->SetTabStop(true);
        Link->Arrow = MakeArrow();
        Radio1 = Add<TRadioButton>("Radio1", px(12), px(136), px(170), px(20));
        Radio1->SetCaption("Radio &alpha");
        Radio1->SetChecked(true);
        Radio2 = Add<TRadioButton>("Radio2", px(12), px(158), px(170), px(20));
        Radio2->SetCaption("Radio &two");
        Progress = Add<TProgressBar>("Progress", px(196), px(146), px(170), px(16));
        Progress->SetPosition(30);
        Fail = Add<TButton>("Fail", px(196), px(170), px(80), px(25));
        Fail->SetCaption("&Fail");
        Box = Add<TCheckBox>("Box", px(12), px(BandTop + 16), px(170), px(20));
        Box->SetCaption("&Remember this");
        Ok = Add<TButton>("Ok", px(206), px(BandTop + 14), px(75), px(25));
        Ok->SetCaption("&OK");
        Ok->ModalResult = mrOk;
        Ok->SetDefault(true);
        Cancel = Add<TButton>("Cancel", px(291), px(BandTop + 14), px(75), px(25));
        Cancel->SetCaption("Cancel");
        Cancel->ModalResult = mrCancel;
        Cancel->SetCancel(true);
        OnShow = [this](TComponent*) { Edit->SetFocus(); };
    }

    static constexpr int BandTop = 270;
    TLabel* Title;
    TStaticText* Heading;
    TImage* Icon;
    TEdit* Edit;
    TMemo* Memo;
    TComboBox* Combo;
    TDateTimePicker* Date;
    TSampleLink* Link;
    TRadioButton* Radio1;
    TRadioButton* Radio2;
    TProgressBar* Progress;
    TButton* Fail;
    TCheckBox* Box;
    TButton* Ok;
    TButton* Cancel;
    int Paints = 0;
    bool ThrowInPaint = false;

protected:
    void Paint() override {
        ++Paints;
        if (ThrowInPaint) {
            ThrowInPaint = false;
            throw Exception("Raised in a paint");
        }
        // The grey band under a white content area, as the task dialog has it.
        TCanvas& canvas = Canvas();
        const int top = MulDiv(BandTop, canvas.PixelsPerInchY(), 96);
        canvas.SetBrushColor(SystemColor(15));
        canvas.FillRect({0, top, ClientWidth(), ClientHeight()});
        canvas.SetPenColor(0x00DFDFDF);
        canvas.MoveTo(0, top);
        canvas.LineTo(ClientWidth(), top);
        TForm::Paint();
    }

private:
    template <class T> T* Add(const char* name, int left, int top, int width, int height) {
        auto* control = new T(this);
        control->SetName(name);
        control->SetBounds(left, top, width, height);
        control->SetParent(this);
        return control;
    }

    // A 16x16 green arrow on the magenta key, as the dialog's bitmaps are drawn.
    static std::shared_ptr<TGraphic> MakeArrow() {
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
        HDC dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool shaft = y >= 6 && y <= 9 && x >= 2 && x <= 9;
                const bool head = x >= 8 && x <= 14 && std::abs(y - 7.5) <= 14 - x;
                SetPixel(dc, x, y, shaft || head ? RGB(0, 140, 60) : RGB(255, 0, 255));
            }
        SelectObject(dc, old);
        DeleteDC(dc);
        return std::make_shared<TGdiBitmap>(bitmap, true, 0xFF00FF);
    }
};

} // namespace qb
