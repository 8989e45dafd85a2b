#pragma once
// The files kesp-scan writes, checked before the walk: none may replace what is scanned, nor
// another of them.
#include <string>

#include "cli/arguments.h"

namespace kesp {

// `scanned`: the host folder walked, or the image file (or device) read. Returns an empty text,
// or why the destinations are refused.
std::string refusedDestination(const ScanArguments& arguments, const std::string& scanned,
                               bool image);

} // namespace kesp
