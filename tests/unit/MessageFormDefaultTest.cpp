// Which button of the emulated window Enter answers, and a refresh that keeps the radio choice,
// played by a scripted user (the property test walks Tab through generated windows).
#include "MessageFormTestFixture.h"
#include "runtime/WinConst.h"
#include <ostream>

namespace qb {
namespace {

using Opt = TTaskDialogOption;
using CB = TCommonButton;
using Input = TTaskDialogInputType;

struct TEnterCase {
    const char* Name;
    TCommonButtons Common;
    std::vector<std::string> Custom;
    bool CommandLinks;
    int DefaultButton;
    Input InputType;
    int Expected;
};

void PrintTo(const TEnterCase& c, std::ostream* os) {
    *os << c.Name;
}

class NamedDefaultTest : public MessageFormTest,
                         public ::testing::WithParamInterface<TEnterCase> {};

TEST_P(NamedDefaultTest, EnterAnswersTheNamedButtonElseTheFirst) {
    const TEnterCase& c = GetParam();
    Dialog->CommonButtons = c.Common;
    for (const std::string& line : c.Custom)
        Dialog->CustomButtons.Add(line);
    if (c.CommandLinks)
        Dialog->Options += Opt::doCommandLinks;
    Dialog->DefaultButton = c.DefaultButton;
    Dialog->InputType = c.InputType;
    EXPECT_EQ(Run({user::Check([](TForm& form) {
                       int defaults = 0;
                       for (TWinControl* b : Window(form).CommonButtonList)
                           defaults += dynamic_cast<TButton*>(b)->Default();
                       for (TWinControl* b : Window(form).CustomButtonList)
                           if (auto* button = dynamic_cast<TButton*>(b))
                               defaults += button->Default();
                       EXPECT_LE(defaults, 1);
                   }),
                   user::Key(win::VK_RETURN)}),
              c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NamedDefaultTest,
    ::testing::Values(
        TEnterCase{"RetryNamed", {CB::cbRetry, CB::cbCancel}, {}, false, 4, Input::itNone, 4},
        TEnterCase{"AbortNamed", {CB::cbOK, CB::cbClose}, {}, false, 3, Input::itNone, 3},
        TEnterCase{"CloseNamesAbort", {CB::cbOK, CB::cbClose}, {}, false, 8, Input::itNone, 3},
        TEnterCase{"OnlyCancelFromAnEdit", {CB::cbCancel}, {}, false, 0, Input::itEdit, 2},
        TEnterCase{
            "NoneNamedFirstStandard", {CB::cbNo, CB::cbCancel}, {}, false, 0, Input::itNone, 7},
        TEnterCase{"CustomNamedFromAnEdit", {CB::cbOK}, {"A", "B"}, false, 101, Input::itEdit, 101},
        TEnterCase{"MissingCustomNamed", {CB::cbOK}, {}, false, 101, Input::itNone, 1},
        TEnterCase{
            "NoneNamedCustomFirst", {CB::cbYes, CB::cbNo}, {"A"}, false, 0, Input::itNone, 100},
        TEnterCase{
            "LinkNamedFromAnEdit", {CB::cbCancel}, {"A", "B"}, true, 101, Input::itEdit, 101}),
    [](const auto& info) { return std::string(info.param.Name); });

// A handler that changes the content keeps the user's radio choice, and invents none.
TEST_F(MessageFormTest, RefreshKeepsTheRadioChoice) {
    for (bool noDefault : {false, true}) {
        Dialog->RadioButtons.Clear();
        Dialog->RadioButtons.Add("First");
        Dialog->RadioButtons.Add("Second");
        Dialog->Options =
            noDefault ? TTaskDialogOptions{Opt::doNoDefaultRadio} : TTaskDialogOptions{};
        Dialog->OnRadioButtonClick = [&](TComponent*, int) { Dialog->SetContent("Picked"); };
        std::vector<TUserStep> steps{user::Check([&](TForm&) { Dialog->SetContent("Now"); })};
        if (!noDefault)
            steps.push_back(user::Click("Radio1"));
        steps.push_back(user::Check([&](TForm&) { Dialog->SetContent("Later"); }));
        steps.push_back(user::Click("OK"));
        EXPECT_EQ(Run(steps), 1);
        EXPECT_EQ(Dialog->RadioButtonResult, noDefault ? 0 : 201);
    }
}

} // namespace
} // namespace qb
