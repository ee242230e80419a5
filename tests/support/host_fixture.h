// Test fixtures around the host stand-in: each test starts from a compliant
// host with nothing recorded and must leave no host memory allocated; a
// working directory of its own keeps option and reply files apart.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "control/host_control.h"

// A fresh, empty directory under the system's temporary directory, removed
// with everything in it when the object goes.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& content);
// A file written in text mode, with LF line ends on every platform: on
// Windows each CR LF becomes LF, and a line feed that came without its CR is
// shown as "<bare LF>" so that a comparison fails on it.
std::string readTextFile(const std::string& path);

class HostFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TemporaryDirectory workDir;
  long liveBlocksAtStart = 0;
};
