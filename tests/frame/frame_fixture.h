// Fixture of the plug-in frame tests: every test starts from a freshly
// attached frame (no feature check, nothing hooked, empty mismatch list)
// bound against a compliant host, and leaves the frame that way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostlink/host_abi.h"
#include "support/host_fixture.h"

class FrameTest : public HostFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Binds every host function again, the withheld ordinals missing.
  void rebindWithout(const std::vector<unsigned>& ordinals);
  // The details of every recorded call of a host function.
  std::vector<std::string> callDetails(unsigned ordinal) const;
  // The titled messages shown so far.
  std::vector<standin::ShownMessage> titledMessages() const;

  // The host's feature function, as the attach step found it.
  host_abi::FeatureFunction featureFunction = nullptr;
};

// Mazovia bytes of a UTF-8 text (the expected texts are written in UTF-8).
std::string mazovia(const std::string& utf8);
