// The frame's lasting state (see frame_state.h).
#include "frame/frame_state.h"

FrameState& frameState() {
  static FrameState state = {nullptr, {}, nullptr, false, nullptr, nullptr, 0xFFFFFFFFu};
  return state;
}
