// The one error type of the core: its text is what the user reads.
#pragma once

#include <stdexcept>
#include <string>

namespace umbrill {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string &userText) : std::runtime_error(userText) {}
};

// The text the error display shows: a full stop is added when the last
// character sorts after "." (so "Cannot open clipboard" gains one, "…ini." does not).
std::string errorDisplayText(std::string_view message);

} // namespace umbrill
