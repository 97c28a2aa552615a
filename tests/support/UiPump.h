#pragma once

// Lets the test thread act as a user-interface thread for the given time:
// on Windows it dispatches the thread's messages (thread timers fire from there),
// elsewhere it simply waits while the portable timer thread does the work.
namespace quorvel::test
{
void PumpUiEvents(int milliseconds);
}
