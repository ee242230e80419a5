// The test programs' entry: GoogleTest's, and beside it what every program
// of the project answers: --version, the exit statuses in --help, and an
// unknown option refused with exit status 2 instead of being ignored.
#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

// The program's name: its file name without folder or ".exe".
std::string programName(const char* path) {
  std::string name = path;
  size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) name.erase(name.size() - 4);
  return name;
}

bool isHelp(const char* word) {
  return std::strcmp(word, "--help") == 0 || std::strcmp(word, "-h") == 0 || std::strcmp(word, "-?") == 0 ||
         std::strcmp(word, "/?") == 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string name = programName(argv[0]);
  bool help = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s %s\n", name.c_str(), MG_VERSION);
      return 0;
    }
    help = help || isHelp(argv[i]);
  }
  testing::InitGoogleTest(&argc, argv);
  if (help) {
    std::printf(
        "\n--version\n      The version of %s.\n\nExit status: 0 every test run passed; 1 a test failed; "
        "2 an unknown option.\n",
        name.c_str());
    return 0;
  }
  // GoogleTest took its own flags out; whatever is left is not known.
  if (argc > 1) {
    std::fprintf(stderr, "%s: unknown %s %s\n(%s --help lists the options)\n", name.c_str(),
                 argv[1][0] == '-' ? "option" : "word", argv[1], name.c_str());
    return 2;
  }
  return RUN_ALL_TESTS();
}
