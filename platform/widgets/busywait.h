#pragma once

namespace velmoran {

// One moment of a wait the user can't shorten (a write waiting for another
// copy of the program to finish its own): the windows show the wait cursor
// and go on painting, their timers running; typing and clicks wait until it
// is over. Called again and again while the wait lasts; the cursor comes
// back a moment after the last call.
void showBusyWait();

} // namespace velmoran
