// The frame's lasting state (see frame_state.h).
#include "frame/frame_state.h"

namespace {
constexpr FrameState kFreshState = {nullptr, {}, nullptr, false, nullptr, nullptr, 0xFFFFFFFFu};
}

FrameState& frameState() {
  static FrameState state = kFreshState;
  return state;
}

void resetFrameState() { frameState() = kFreshState; }
