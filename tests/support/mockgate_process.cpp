// Starting and stopping a mockgate child process (POSIX; the Windows build,
// which runs under Wine, has its own start and stop in mockgate_process_win.cpp).
#include "mockgate_process.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#endif

namespace {

bool isExecutable(const std::string& path) {
#ifndef _WIN32
  return !path.empty() && access(path.c_str(), X_OK) == 0;
#else
  return mockgateUnderWine(path);
#endif
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  return text.str();
}

[[maybe_unused]] bool looksLikeJson(const std::string& shop) {
  size_t first = shop.find_first_not_of(" \t\r\n");
  return first != std::string::npos && shop[first] == '{';
}

#ifndef _WIN32
long long nowMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

// Reads the first line mockgate prints, giving up at the deadline.
bool readFirstLine(int fd, long long deadlineMs, std::string& line) {
  for (;;) {
    long long left = deadlineMs - nowMs();
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    int ready = poll(&p, 1, int(left));
    if (ready < 0) continue;
    if (ready == 0) return false;
    char c;
    ssize_t n = read(fd, &c, 1);
    if (n <= 0) return false;
    if (c == '\n') return true;
    line += c;
  }
}

// Waits for the child up to timeoutMs; true when it was reaped.
bool waitFor(int pid, long long timeoutMs, int& status) {
  long long deadline = nowMs() + timeoutMs;
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) return true;
    if (nowMs() >= deadline) return false;
    usleep(5000);
  }
}

void removeTree(const std::string& dir) {
  if (dir.empty()) return;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* entry = readdir(d)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") unlink((dir + "/" + name).c_str());
    }
    closedir(d);
  }
  rmdir(dir.c_str());
}
#endif

}  // namespace

std::string mockgateBinaryPath() {
#ifdef MOCKGATE_PATH
  if (isExecutable(MOCKGATE_PATH)) return MOCKGATE_PATH;
#endif
  if (const char* env = std::getenv("MOCKGATE"))
    if (isExecutable(env)) return env;
#ifndef _WIN32
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n > 0) {
    std::string path(self, size_t(n));
    std::string beside = path.substr(0, path.rfind('/') + 1) + "mockgate";
    if (isExecutable(beside)) return beside;
  }
#endif
  return std::string();
}

std::string MockgateProcess::baseUrl() const { return "http://127.0.0.1:" + std::to_string(port); }

std::vector<std::string> MockgateProcess::logLines() const {
  std::vector<std::string> lines;
  std::istringstream text(readFile(logPath));
  std::string line;
  while (std::getline(text, line))
    if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string MockgateProcess::stateText() const { return readFile(statePath); }

#ifndef _WIN32

bool MockgateProcess::start(const std::string& shop, const std::vector<std::string>& faults) {
  if (running()) stop();
  std::string binary = mockgateBinaryPath();
  if (binary.empty()) {
    std::fprintf(stderr, "MockgateProcess: no mockgate binary (MOCKGATE_PATH, MOCKGATE)\n");
    return false;
  }
  if (dir.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/mockgate-XXXXXX";
    if (!mkdtemp(&pattern[0])) return false;
    dir = pattern;
  }
  logPath = dir + "/requests.log";
  statePath = dir + "/state.json";
  unlink(statePath.c_str());
  if (looksLikeJson(shop)) {
    shopPath = dir + "/shop.json";
    std::ofstream out(shopPath, std::ios::binary | std::ios::trunc);
    out << shop;
    if (!out.flush()) return false;
  } else {
    shopPath = shop;
  }

  std::vector<std::string> args = {binary,  "--data", shopPath,      "--port", "0",
                                   "--log", logPath,  "--state-out", statePath};
  for (const std::string& fault : faults) {
    args.push_back("--fault");
    args.push_back(fault);
  }
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);

  int pipeFds[2];
  if (pipe(pipeFds) != 0) return false;
  pid_t pid = fork();
  if (pid < 0) {
    close(pipeFds[0]);
    close(pipeFds[1]);
    return false;
  }
  if (pid == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    int devnull = open("/dev/null", O_RDONLY);
    if (devnull >= 0) dup2(devnull, STDIN_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  pid_ = pid;
  outputFd_ = pipeFds[0];

  std::string line;
  const std::string prefix = "listening on ";
  if (readFirstLine(outputFd_, nowMs() + 10000, line) && line.compare(0, prefix.size(), prefix) == 0) {
    port = std::atoi(line.c_str() + prefix.size());
    if (port > 0) return true;
  }
  std::fprintf(stderr, "MockgateProcess: mockgate did not start (first line \"%s\")\n", line.c_str());
  kill(pid_, SIGKILL);
  int status;
  waitFor(pid_, 10000, status);
  close(outputFd_);
  pid_ = -1;
  outputFd_ = -1;
  port = 0;
  return false;
}

bool MockgateProcess::stop() {
  if (!running()) return false;
  kill(pid_, SIGTERM);
  int status = 0;
  bool ended = waitFor(pid_, 10000, status);
  if (!ended) {
    kill(pid_, SIGKILL);
    waitFor(pid_, 10000, status);
  }
  close(outputFd_);
  pid_ = -1;
  outputFd_ = -1;
  return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

MockgateProcess::~MockgateProcess() {
  stop();
  removeTree(dir);
}

#endif
