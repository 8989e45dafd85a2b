#pragma once
// The error numbers the services report and the window shows ("Erreur : 76"), the same on every
// system, so that a number means one failure wherever it is shown.

namespace kesp {

// Any failure to start a program that exists.
inline constexpr int kErrorCannotStart = 5;
// A program or a file that cannot be found.
inline constexpr int kErrorFileNotFound = 53;
// A device that is not ready: a drive without medium, a mount that does not answer.
inline constexpr int kErrorDeviceUnavailable = 68;
// A folder that exists but cannot be entered.
inline constexpr int kErrorPathAccess = 75;
// A folder that does not exist.
inline constexpr int kErrorPathNotFound = 76;

} // namespace kesp
