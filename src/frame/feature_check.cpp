// Asking the host for the plug-in's features (see feature_check.h).
#include "frame/feature_check.h"

#include "frame/frame_state.h"

uint32_t checkHostFeatures(uint32_t requested) {
  FrameState& frame = frameState();
  if (frame.featureFunction == nullptr) return 0;
  uint32_t offered = frame.featureFunction(kFeatureRequest, requested);
  if (requested != kAllFeatures) frame.missingFeatureMask = requested & ~offered;
  return frame.missingFeatureMask;
}
