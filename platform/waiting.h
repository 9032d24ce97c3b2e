#pragma once
// Giving up the processor while another thread holds what this one waits for.

namespace cw::platform {

// Gives the rest of this thread's time slice to another thread that is ready to
// run, if there is one (Sleep(0) on Windows, sched_yield on POSIX).
void YieldTimeSlice();

// Sleeps for about that many milliseconds.
void SleepMilliseconds(unsigned milliseconds);

}  // namespace cw::platform
