// The system's own words for an error code, shared by the backend's services.
#pragma once
#include <cstdint>
#include <string>

namespace qb {

// FormatMessageA text for a Windows error code or HRESULT, without trailing line breaks; a
// code the system has no text for is named by its number.
std::string SystemErrorMessage(uint32_t code);

} // namespace qb
