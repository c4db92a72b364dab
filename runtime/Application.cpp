#include "runtime/Application.h"
#include "runtime/Exception.h"

namespace qb {

TApplication Application;

void TApplication::HelpContext(int context) {
    throw Exception("No help is available for topic " + std::to_string(context) +
                    ": this program has no help system");
}

} // namespace qb
