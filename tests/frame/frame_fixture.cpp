// Fixture of the plug-in frame tests (see frame_fixture.h).
#include "frame/frame_fixture.h"

#include "text/codepages.h"
#include "frame/attach.h"
#include "frame/frame_state.h"
#include "hostlink/host_binding.h"
#include "frame/table_hooks.h"

namespace {

void freshFrame() {
  restoreTableHooks();
  resetTableHookState();
  resetFrameState();
  attachFrame(GetModuleHandleA(nullptr));
}

}  // namespace

void FrameTest::SetUp() {
  HostFixture::SetUp();
  standin::clearWithheldOrdinals();
  resetHostBinding();
  bindAllHostFunctions();
  freshFrame();
  featureFunction = frameState().featureFunction;
}

void FrameTest::TearDown() {
  freshFrame();
  standin::clearWithheldOrdinals();
  resetHostBinding();
  bindAllHostFunctions();
  HostFixture::TearDown();
}

void FrameTest::rebindWithout(const std::vector<unsigned>& ordinals) {
  for (unsigned ordinal : ordinals) standin::withholdOrdinal(ordinal);
  resetHostBinding();
  bindAllHostFunctions();
}

std::vector<std::string> FrameTest::callDetails(unsigned ordinal) const {
  std::vector<std::string> details;
  for (const standin::CallRecord& call : standin::calls()) {
    if (call.ordinal == ordinal) details.push_back(call.detail);
  }
  return details;
}

std::vector<standin::ShownMessage> FrameTest::titledMessages() const {
  std::vector<standin::ShownMessage> shown;
  for (const standin::ShownMessage& message : standin::messages()) {
    if (message.kind == "titled") shown.push_back(message);
  }
  return shown;
}

std::string mazovia(const std::string& utf8) { return standin::utf8ToMazovia(utf8); }
