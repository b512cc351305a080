// The message loops of the program and the keyboard handling they share.
#pragma once
#include <windows.h>

#include <functional>

// Runs a handler's body so that no exception leaves it: an event handler's failure is
// swallowed, as a failed statement of the program is.
template <class Body> void Guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

// Keyboard navigation, translation and dispatch of one message.
void DispatchWindowMessage(MSG& msg);
// Processes the pending messages, then returns.
void DoEvents();
// Runs the message loop until done() is true (checked after every message).
void RunMessageLoop(const std::function<bool()>& done);
// Destroys every window of the program and ends the process at once, with the run's exit
// code (SetExitCode).
[[noreturn]] void EndProgram();
// Shows the hourglass pointer until the object goes out of scope.
class HourglassPointer {
  public:
    HourglassPointer();
    ~HourglassPointer();

  private:
    HCURSOR previous_;
};
