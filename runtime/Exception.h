// The runtime's exception class: a message for the user, nothing more.
#pragma once
#include <stdexcept>
#include <string>

namespace qb {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

} // namespace qb
