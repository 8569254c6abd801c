#pragma once
// The one-copy lock at start-up: taken, refused, or, where it may have been left behind, offered
// to the user to take over.

namespace kvor {

class SingleInstance;

// True when this copy may go on: the lock is its own, or no lock can be made where nothing can
// be written either (the later steps say what is missing). False when the program is to end; the
// user has been told or has chosen to leave.
bool TakeOneCopyLock(SingleInstance& guard);

} // namespace kvor
