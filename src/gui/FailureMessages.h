#pragma once
// The messages the windows show for what the core could not do.

#include "core/Result.h"

namespace kvor {

// Shows the message the program has for `failure`. When a file of the install is missing, the
// program cannot go on: it is then ended through its event loop with status 1.
void TellFailure(const Failure& failure);

} // namespace kvor
