// The emulated window moved to a monitor of another resolution: laid out as a window made there,
// in the place the system suggests, with what the user had done kept.
#include "MessageFormTestFixture.h"
#include <ostream>
#include <sstream>
#include "runtime/WinConst.h"

namespace qb {
namespace {

using Opt = TTaskDialogOption;
using CB = TCommonButton;

// Every control's place and picture, the metrics and the client size, as text.
std::string Layout(TForm& form) {
    TMessageForm& window = dynamic_cast<TMessageForm&>(form);
    std::ostringstream out;
    out << "client " << window.ClientWidth() << "x" << window.ClientHeight() << " margins "
        << window.HorzMargin << "," << window.VertMargin << "," << window.HorzSpacing << ","
        << window.VertSpacing << " band " << window.ButtonBandTop << "\n";
    for (int i = 0; i < form.ComponentCount(); ++i) {
        auto* control = dynamic_cast<TControl*>(form.Components(i));
        if (!control)
            continue;
        out << control->Name() << " " << TRecordingCanvas::DumpRect(control->BoundsRect()) << " "
            << control->Font().Size << (control->Visible() ? "" : " hidden");
        if (auto* image = dynamic_cast<TImage*>(control))
            out << " picture " << image->Picture.Width() << "x" << image->Picture.Height();
        out << "\n";
    }
    return out.str();
}

struct TDpiCase {
    const char* Name;
    std::function<void(TCustomTaskDialog&)> Fill;
};

void PrintTo(const TDpiCase& c, std::ostream* os) {
    *os << c.Name;
}

class DpiTest : public MessageFormTest, public ::testing::WithParamInterface<TDpiCase> {
protected:
    // The layout of the window when shown at `made`, then moved to `moved` (0: not moved).
    std::string Shown(int made, int moved) {
        Dialog = std::make_unique<TCustomTaskDialog>(nullptr);
        Dialog->ForceEmulation = true;
        GetParam().Fill(*Dialog);
        Screen.PixelsPerInch = made;
        std::string layout;
        std::vector<TUserStep> steps;
        if (moved)
            steps.push_back(user::DpiChange(moved, {40, 30, 900, 700}));
        steps.push_back(user::Check([&](TForm& form) {
            layout = Layout(form);
            if (moved) {
                EXPECT_EQ(form.PixelsPerInch(), moved);
                EXPECT_EQ(form.Left(), 40) << "the place suggested";
                EXPECT_EQ(form.Top(), 30);
            }
        }));
        steps.push_back(user::Check([](TForm& form) { form.SetModalResult(1); }));
        Screen.Play(steps);
        Dialog->Execute();
        EXPECT_EQ(Screen.StepsLeft(), 0u);
        return layout;
    }
};

TEST_P(DpiTest, AMovedWindowIsLaidOutAsOneMadeAtItsNewResolution) {
    const std::string made144 = Shown(144, 0);
    const std::string made96 = Shown(96, 0);
    EXPECT_NE(made96, made144);
    EXPECT_EQ(Shown(96, 144), made144);
    EXPECT_EQ(Shown(144, 96), made96);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DpiTest,
    ::testing::Values(TDpiCase{"MessageBox",
                               [](TCustomTaskDialog& d) {
                                   d.SetMainInstruction("Write the shortcuts?");
                                   d.SetContent("Two files are written to the desktop.");
                                   d.MainIcon = TTaskDialogIcon::tiQuestion;
                                   d.CommonButtons = {CB::cbYes, CB::cbNo};
                               }},
                      TDpiCase{"CommandLinksExpandedFooter",
                               [](TCustomTaskDialog& d) {
                                   d.SetMainInstruction("What now?");
                                   d.CustomButtons.Add("Run Tessera\\nStarts the emulator");
                                   d.CustomButtons.Add("Close");
                                   d.Options += Opt::doCommandLinks;
                                   d.ExpandedText = "dosbox.conf\\nPrint-F.lnk";
                                   d.FooterText = "Footer <b>text</b>";
                                   d.FooterIcon = TTaskDialogFooterIcon::tfWarning;
                                   d.CommonButtons = {CB::cbCancel};
                               }},
                      TDpiCase{"RadioInputProgress",
                               [](TCustomTaskDialog& d) {
                                   d.SetContent("Pick one.");
                                   d.RadioButtons.Add("Tessera");
                                   d.RadioButtons.Add("Varnette");
                                   d.InputType = TTaskDialogInputType::itEdit;
                                   d.Options += Opt::doProgressBar;
                                   d.CommonButtons = {CB::cbOK, CB::cbCancel};
                               }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MessageFormTest, WhatTheUserDidOutlivesAResolutionChange) {
    Dialog->SetContent("Choose.");
    Dialog->RadioButtons.Add("One");
    Dialog->RadioButtons.Add("Two");
    Dialog->VerificationText = "Remember";
    Dialog->ExpandedText = "More";
    Dialog->InputType = TTaskDialogInputType::itEdit;
    Dialog->CommonButtons = {CB::cbOK, CB::cbCancel};
    EXPECT_EQ(Run({user::Click("Radio1"), user::Click("Verification"), user::Click("ExpandButton"),
                   user::Check([](TForm& form) {
                       Window(form).InputEdit->SetFocus();
                       Window(form).InputEdit->SetText("typed");
                   }),
                   user::DpiChange(144), user::Check([](TForm& form) {
                       TMessageForm& window = Window(form);
                       EXPECT_TRUE(Find<TRadioButton>(form, "Radio1")->Checked());
                       EXPECT_TRUE(window.VerificationCheckBox->Checked());
                       EXPECT_TRUE(window.Expanded);
                       EXPECT_EQ(window.ActiveControl(), window.InputEdit);
                       EXPECT_EQ(window.InputEdit->Text(), "typed");
                   }),
                   user::Click("OK")}),
              1);
    EXPECT_EQ(Dialog->RadioButtonResult, 201);
    EXPECT_TRUE(Dialog->VerificationChecked);
    EXPECT_EQ(Dialog->InputText, "typed");
}

} // namespace
} // namespace qb
