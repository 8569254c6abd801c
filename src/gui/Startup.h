#pragma once
// The entry point of the program: start-up in its fixed order.

namespace kvor {

class SingleInstance;

// Runs the start-up sequence. Returns 0 when the main window is shown and the event loop may
// run, or the exit status when the program must end.
int StartUp(SingleInstance& guard);

// The whole program: start-up, then the event loop.
int Main(int argc, char** argv);

} // namespace kvor
