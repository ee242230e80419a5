// Replays fuzz inputs without libFuzzer: every regular file in the named
// directories (or the named files) goes through the fuzz target once. The
// target aborts on the first fault; a clean run prints the count. Shared by
// the replay programs of every fuzz target (each named after its target).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

const char* const kUsage =
    "usage: %s [--] DIRECTORY|FILE...\n"
    "\n"
    "Runs every regular file in each DIRECTORY, and each FILE, once through its\n"
    "fuzz target, with the plug-in's objects and the host stand-in.\n"
    "\n"
    "Options: --help, -h this text; --version the version; -- the words after\n"
    "it are paths even when they begin with \"-\".\n"
    "\n"
    "Exit status: 0 every input replayed without a fault; 1 an input could not\n"
    "be read; 2 bad usage (an unknown option, no input); a fault found ends the\n"
    "program at once (abort, SIGABRT) with what it found on the error output.\n";

// The program's name: its file name without folder or ".exe".
std::string programName(const char* path) {
  std::string name = std::filesystem::path(path).filename().string();
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) name.erase(name.size() - 4);
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string name = programName(argv[0]);
  std::vector<std::filesystem::path> inputs;
  bool paths = false;  // after "--": paths only
  for (int i = 1; i < argc; ++i) {
    if (!paths && argv[i][0] == '-' && argv[i][1] != '\0') {
      if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
        std::printf(kUsage, name.c_str());
        return 0;
      }
      if (std::strcmp(argv[i], "--version") == 0) {
        std::printf("%s %s\n", name.c_str(), MG_VERSION);
        return 0;
      }
      if (std::strcmp(argv[i], "--") == 0) {
        paths = true;
        continue;
      }
      std::fprintf(stderr, "%s: unknown option %s\n(%s --help tells the usage)\n", name.c_str(), argv[i], name.c_str());
      return 2;
    }
    std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
    } else {
      inputs.push_back(path);
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "%s: no input given\n", name.c_str());
    std::fprintf(stderr, kUsage, name.c_str());
    return 2;
  }
  for (const auto& path : inputs) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
      std::fprintf(stderr, "%s: cannot read %s\n", name.c_str(), path.string().c_str());
      return 1;
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("%zu inputs replayed, no fault\n", inputs.size());
  return 0;
}
