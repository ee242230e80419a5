// Test fixtures around the host stand-in (see host_fixture.h).
#include "support/host_fixture.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

// A directory of a fresh random name, made here (an existing name is never
// taken over); the same on every platform.
TemporaryDirectory::TemporaryDirectory() {
  static std::mt19937_64 names{std::random_device{}() ^
                               static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "mgtest-%012llx", static_cast<unsigned long long>(names() & 0xFFFFFFFFFFFFull));
    std::error_code error;
    if (std::filesystem::create_directory(base / name, error)) {
      path_ = (base / name).generic_string();
      return;
    }
  }
  path_ = (base / "mgtest-unavailable").generic_string();
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

std::string readTextFile(const std::string& path) {
  std::string bytes = readWholeFile(path);
#ifdef _WIN32
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) text += "<bare LF>";
    text += bytes[i];
  }
  return text;
#else
  return bytes;
#endif
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
