// Running tomiks (see tomiks_run.h).
#include "e2e/tomiks_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "support/host_fixture.h"

std::string tomiksPath() { return std::string(MG_BINARY_DIR) + "/bin/tomiks"; }

std::string sampleFile(const std::string& name) { return std::string(MG_SOURCE_DIR) + "/data/" + name; }

std::vector<std::string> tomiksCommand() {
  std::vector<std::string> argv = {tomiksPath()};
#if defined(__i386__)
  // A 32-bit tomiks runs under the emulator, as this test does, also where
  // the kernel would not run it by itself.
  const char* emulator = "/usr/bin/qemu-i386";
  if (access(emulator, X_OK) == 0) argv.insert(argv.begin(), {emulator, "-L", "/"});
#endif
  return argv;
}

int startTomiks(const std::vector<std::string>& words, const std::string& outPath, const std::string& errPath) {
  std::vector<std::string> argv = tomiksCommand();
  argv.insert(argv.end(), words.begin(), words.end());
  std::vector<char*> pointers;
  for (std::string& word : argv) pointers.push_back(word.data());
  pointers.push_back(nullptr);

  pid_t child = fork();
  if (child == 0) {
    int in = open("/dev/null", O_RDONLY);
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  return child;
}

TomiksRun runTomiks(const std::vector<std::string>& words) {
  TemporaryDirectory capture;
  std::string outPath = capture.file("out"), errPath = capture.file("err");
  pid_t child = startTomiks(words, outPath, errPath);
  TomiksRun run;
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) run.status = WEXITSTATUS(status);
  run.output = readWholeFile(outPath);
  run.errors = readWholeFile(errPath);
  return run;
}

int occurrences(const std::string& haystack, const std::string& text) {
  int count = 0;
  for (size_t at = haystack.find(text); at != std::string::npos; at = haystack.find(text, at + text.size())) ++count;
  return count;
}
