#include "runtime/headless/ModalLoop.h"
#include "runtime/AsciiCase.h"
#include <algorithm>

namespace qb {

void THeadlessWindowing::RunModal(THeadlessPeer& peer) {
    if (peer.Control.Kind() != TControlKind::Form)
        throw std::logic_error("only a form runs a modal loop");
    auto& form = static_cast<TForm&>(peer.Control);
    // The previous focus comes back when the dialog goes, as the system restores it.
    THeadlessPeer* previousFocus = Focused;
    ModalStack.push_back(&form);
    struct TPop {
        THeadlessWindowing& Screen;
        THeadlessPeer* Previous;
        ~TPop() {
            Screen.ModalStack.pop_back();
            if (std::find(Screen.Peers.begin(), Screen.Peers.end(), Previous) != Screen.Peers.end())
                Screen.Focused = Previous;
            else
                Screen.Focused = nullptr;
        }
    } pop{*this, previousFocus};
    TModalLoop(*this, form).Run();
}

void THeadlessWindowing::Focus(THeadlessPeer* peer) {
    if (peer == Focused)
        return;
    THeadlessPeer* old = Focused;
    Focused = peer;
    auto dispatch = [](auto&& handler) {
        try {
            handler();
        } catch (const std::exception& error) {
            Application.HandleException(error);
        }
    };
    if (old) {
        old->Dirty = true;
        dispatch([&] { old->Control.DoExit(); });
    }
    // The exit handler may have moved the focus elsewhere already.
    if (peer && Focused == peer) {
        peer->Dirty = true;
        dispatch([&] { peer->Control.DoEnter(); });
    }
}

TCursor THeadlessWindowing::Cursor() const {
    for (const THeadlessPeer* peer : Peers) {
        if (Hover == &peer->Control)
            return Hover->Cursor();
        // A graphic control under the mouse sits on a live parent.
        for (const TControl* child : peer->Control.Controls())
            if (child == Hover)
                return Hover->Cursor();
    }
    return TCursor::crDefault;
}

} // namespace qb
