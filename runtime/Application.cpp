#include "runtime/Application.h"
#include "runtime/Exception.h"
#include "runtime/Forms.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"

namespace qb {

TApplication Application;

void TApplication::HelpContext(int context) {
    throw Exception("No help is available for topic " + std::to_string(context) +
                    ": this program has no help system");
}

THandle TApplication::DialogOwner() const {
    TForm* form = ActiveModalForm();
    return form && form->HandleAllocated() ? form->WindowHandle() : Handle();
}

void TApplication::HandleException(const std::exception& error) {
    if (ISystemInfo* system = Platform().System)
        system->MessageBox(DialogOwner(), error.what(), Title(), win::MB_OK | win::MB_ICONERROR);
}

} // namespace qb
