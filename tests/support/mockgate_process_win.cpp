// Starting and stopping mockgate from a Windows test under Wine. mockgate is
// the Linux program: Wine starts Linux programs, but without a process handle
// or its output, so a small shell script runs it in the background and
// leaves its port, process id and exit status in files of a folder under
// /tmp, which the test reads through drive Z:. A watchdog in the script stops
// mockgate when the test process ends without stopping it (a crash).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "mockgate_process.h"

namespace {

namespace fs = std::filesystem;

constexpr int kStartMilliseconds = 10000;
constexpr int kStopMilliseconds = 10000;

// A Linux path as Wine's programs see it.
std::string onDriveZ(const std::string& unixPath) { return "Z:" + unixPath; }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  return text.str();
}

bool writeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  return static_cast<bool>(out.flush());
}

// The shell's single-quoted form of a word.
std::string quoted(const std::string& word) {
  std::string text = "'";
  for (char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return text + "'";
}

// This process's id on Linux (Wine's own process ids are not Linux's).
long linuxProcessId() {
  std::istringstream stat(readFile(onDriveZ("/proc/self/stat")));
  long pid = 0;
  stat >> pid;
  return pid;
}

// Starts a Linux program through Wine; its command line is passed to it as
// it stands (the first word names the program as a Windows path).
bool startLinuxProgram(std::string commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    return false;
  }
  if (started.hThread != nullptr) CloseHandle(started.hThread);
  if (started.hProcess != nullptr) CloseHandle(started.hProcess);
  return true;
}

// Waits until ready() holds, polling; false at the deadline.
template <typename Ready>
bool waitUntil(int milliseconds, Ready ready) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (ready()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string freshFolder() {
  static std::mt19937_64 names{std::random_device{}() ^
                               static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[40];
    std::snprintf(name, sizeof name, "/tmp/mockgate-w%012llx",
                  static_cast<unsigned long long>(names() & 0xFFFFFFFFFFFFull));
    std::error_code error;
    if (fs::create_directory(onDriveZ(name), error)) return name;
  }
  return std::string();
}

// The script: mockgate in the background with its output in files, its
// process id in "pid" and its exit status in "exit" when it ends.
std::string launchScript(const std::string& binary, const std::vector<std::string>& faults, long testProcess) {
  std::string command = quoted(binary) + " --data shop.json --port 0 --log requests.log --state-out state.json";
  for (const std::string& fault : faults) command += " --fault " + quoted(fault);
  return "exec </dev/null >/dev/null 2>&1\n"
         "cd \"$(dirname \"$0\")\" || exit 1\n"
         "(\n"
         "  " +
         command +
         " >out.txt 2>err.txt &\n"
         "  child=$!\n"
         "  echo $child >pid.tmp && mv pid.tmp pid\n"
         "  (while kill -0 " +
         std::to_string(testProcess) +
         " 2>/dev/null && [ ! -e exit ]; do sleep 1; done\n"
         "   [ -e exit ] || kill -TERM $child) &\n"
         "  wait $child\n"
         "  echo $? >exit.tmp && mv exit.tmp exit\n"
         ") &\n";
}

}  // namespace

bool mockgateUnderWine(const std::string& unixPath) {
  std::error_code error;
  return !unixPath.empty() && unixPath[0] == '/' && fs::is_regular_file(onDriveZ(unixPath), error);
}

bool MockgateProcess::start(const std::string& shop, const std::vector<std::string>& faults) {
  if (running()) stop();
  const std::string binary = mockgateBinaryPath();
  if (binary.empty()) {
    std::fprintf(stderr, "MockgateProcess: no mockgate binary (MOCKGATE_PATH, MOCKGATE)\n");
    return false;
  }
  if (unixDir_.empty()) {
    unixDir_ = freshFolder();
    if (unixDir_.empty()) return false;
    dir = onDriveZ(unixDir_);
  }
  for (const char* name : {"out.txt", "err.txt", "pid", "exit", "state.json"}) {
    std::error_code ignored;
    fs::remove(dir + "/" + name, ignored);
  }
  logPath = dir + "/requests.log";
  statePath = dir + "/state.json";
  shopPath = dir + "/shop.json";
  // mockgate reads the shop from its folder: a shop given by path is copied
  // there, read as the path stands or, for a Linux path, through drive Z:.
  std::string content = shop;
  size_t first = shop.find_first_not_of(" \t\r\n");
  if (first == std::string::npos || shop[first] != '{') {
    content = readFile(shop);
    if (content.empty() && !shop.empty() && shop[0] == '/') content = readFile(onDriveZ(shop));
  }
  if (content.empty() || !writeFile(shopPath, content)) return false;
  if (!writeFile(dir + "/run.sh", launchScript(binary, faults, linuxProcessId()))) return false;
  if (!startLinuxProgram(onDriveZ("/bin/sh") + " " + unixDir_ + "/run.sh")) {
    std::fprintf(stderr, "MockgateProcess: Wine did not start /bin/sh (error %lu)\n", GetLastError());
    return false;
  }

  const std::string prefix = "listening on ";
  std::string output;
  bool up = waitUntil(kStartMilliseconds, [&] {
    output = readFile(dir + "/out.txt");
    return (output.compare(0, prefix.size(), prefix) == 0 && output.find('\n') != std::string::npos &&
            !readFile(dir + "/pid").empty()) ||
           fs::exists(dir + "/exit");
  });
  if (up && output.compare(0, prefix.size(), prefix) == 0) {
    port = std::atoi(output.c_str() + prefix.size());
    pid_ = std::atoi(readFile(dir + "/pid").c_str());
    if (port > 0 && pid_ > 0) return true;
  }
  std::fprintf(stderr, "MockgateProcess: mockgate did not start (output \"%s\", errors \"%s\")\n", output.c_str(),
               readFile(dir + "/err.txt").c_str());
  pid_ = std::atoi(readFile(dir + "/pid").c_str());
  if (pid_ > 0) stop();
  pid_ = -1;
  port = 0;
  return false;
}

bool MockgateProcess::stop() {
  if (!running()) return false;
  const std::string exitFile = dir + "/exit";
  auto ended = [&] { return fs::exists(exitFile); };
  startLinuxProgram(onDriveZ("/bin/sh") + " -c \"kill -TERM " + std::to_string(pid_) + "\"");
  bool byItself = waitUntil(kStopMilliseconds, ended);
  if (!byItself) {
    startLinuxProgram(onDriveZ("/bin/sh") + " -c \"kill -KILL " + std::to_string(pid_) + "\"");
    waitUntil(kStopMilliseconds, ended);
  }
  pid_ = -1;
  return byItself && readFile(exitFile) == "0\n";
}

MockgateProcess::~MockgateProcess() {
  stop();
  if (!dir.empty()) {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
}
