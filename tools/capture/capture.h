#pragma once
// One offline run of the show. Opens a GL context (a hidden window on the
// display when one answers, EGL off-screen otherwise), runs the show's own
// start-up with the frame size as the size every manager sees, skips the
// loading hold, then drives the demo clock from a fixed-step time source:
// every frame from demo time 0 runs the show's update and draw into an
// off-screen target of the frame size, and the frames of the range are read
// back and handed to the outputs.
#include "options.h"

// Exit code: 0 done, 130 interrupted (outputs hold the frames done so far).
// Bad input and failures throw cCaptureError.
int run_capture(const cCaptureOptions& options);
