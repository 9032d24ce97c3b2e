#include "platform/waiting.h"

#include <windows.h>

namespace cw::platform {

void YieldTimeSlice() {
  Sleep(0);
}

void SleepMilliseconds(unsigned milliseconds) {
  Sleep(milliseconds);
}

}  // namespace cw::platform
