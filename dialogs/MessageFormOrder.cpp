// Which button of the emulated window Enter answers, and the order Tab walks its controls in.
#include "dialogs/MessageForm.h"
#include "dialogs/TaskDialog.h"
#include "dialogs/TaskDialogButton.h"
#include "dialogs/TaskDialogNative.h"
#include "runtime/WinConst.h"

namespace qb {

int TMessageForm::DefaultButtonId() const {
    if (!Dialog)
        return 0;
    const TCustomTaskDialog& dialog = *Dialog;
    // -1 asks for no default, but a window of custom buttons alone still answers with its first.
    if (dialog.DefaultButton == -1)
        return dialog.CommonButtons.Empty() && dialog.CustomButtons.Count() > 0 ? 100 : 0;
    // This window's sixth standard button closes with IDABORT where the system's closes with
    // IDCLOSE: either id names it.
    if (dialog.DefaultButton == win::IDABORT &&
        dialog.CommonButtons.Contains(TCommonButton::cbClose))
        return win::IDABORT;
    // Otherwise both paths agree: the named button, else the first one.
    int id = NativeDefaultButton(dialog);
    return id == win::IDCLOSE ? win::IDABORT : id;
}

bool TMessageForm::EnterPressesDefaultLink() {
    const int id = DefaultButtonId();
    if (!Dialog || !Dialog->Options.Contains(TTaskDialogOption::doCommandLinks) || id < 100 ||
        id - 100 >= static_cast<int>(CustomButtonList.size()))
        return false;
    // A focused button takes Enter itself.
    if (TWinControl* active = ActiveControl(); active && (active->Kind() == TControlKind::Button ||
                                                          active->Kind() == TControlKind::Custom))
        return false;
    CustomButtonList[static_cast<size_t>(id - 100)]->Click();
    return true;
}

void TMessageForm::ArrangeTabOrder() {
    std::vector<TWinControl*> order;
    if (auto* field = dynamic_cast<TWinControl*>(InputField()))
        order.push_back(field);
    order.insert(order.end(), RadioButtonList.begin(), RadioButtonList.end());
    const bool commandLinks = Dialog && Dialog->Options.Contains(TTaskDialogOption::doCommandLinks);
    if (commandLinks)
        order.insert(order.end(), CustomButtonList.begin(), CustomButtonList.end());
    // The expand control and the check box stand left of the button row, one above the other.
    if (ExpandButtonControl)
        order.push_back(ExpandButtonControl);
    if (VerificationCheckBox)
        order.push_back(VerificationCheckBox);
    if (!commandLinks)
        order.insert(order.end(), CustomButtonList.begin(), CustomButtonList.end());
    order.insert(order.end(), CommonButtonList.begin(), CommonButtonList.end());
    for (size_t i = 0; i < order.size(); ++i)
        order[i]->SetTabOrder(static_cast<int>(i));
}

} // namespace qb
