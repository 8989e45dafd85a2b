#pragma once
#include <string>

namespace kesp {

// The grouping and decimal characters of the user's locale (LC_NUMERIC), as bytes.
struct NumberChars {
    std::string grouping = ",";
    std::string decimal = ".";
};

// Reads LC_NUMERIC from the environment without changing the process locale.
NumberChars userNumberChars();

} // namespace kesp
