// Test fixtures around the host stand-in (see host_fixture.h).
#include "support/host_fixture.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

TemporaryDirectory::TemporaryDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "mgtest-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  path_ = made != nullptr ? made : pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void writeWholeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

void HostFixture::SetUp() {
  standin::resetState();
  standin::setWorkingDirectory(workDir.path());
  liveBlocksAtStart = standin::liveBlocks();
}

void HostFixture::TearDown() {
  EXPECT_EQ(standin::liveBlocks(), liveBlocksAtStart) << "host memory left allocated";
  standin::resetState();
}
