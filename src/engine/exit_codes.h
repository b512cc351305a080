// The exit codes of a run, as deployment tools know them from the system's own installer.
#pragma once

namespace ExitCodes {
inline constexpr unsigned long Done = 0;
inline constexpr unsigned long UserExit = 1602;       // a person ended it
inline constexpr unsigned long Failure = 1603;        // it failed
inline constexpr unsigned long UnknownProduct = 1605; // already uninstalled
inline constexpr unsigned long AlreadyRunning = 1618; // another copy is running
} // namespace ExitCodes
