// Starts and stops a mockgate child process for a test: writes the shop to
// a private temporary folder, runs build/bin/mockgate on a free port with a
// request log and a state file there, and reads the log back.
#pragma once

#include <string>
#include <vector>

struct MockgateProcess {
  int port = 0;           // the port mockgate listens on, 127.0.0.1
  std::string dir;        // private temporary folder, removed by the destructor
  std::string shopPath;   // the shop file mockgate serves
  std::string logPath;    // one JSON line per request
  std::string statePath;  // the shop with current order statuses, written at stop()

  MockgateProcess() = default;
  MockgateProcess(const MockgateProcess&) = delete;
  MockgateProcess& operator=(const MockgateProcess&) = delete;
  ~MockgateProcess();

  // shop is either the shop's JSON text (it starts with '{') or the path
  // of a shop file. faults are "METHOD:N:KIND" texts passed as --fault.
  // Returns false (and leaves nothing running) when mockgate did not
  // come up within 10 seconds.
  bool start(const std::string& shop, const std::vector<std::string>& faults = {});
  bool running() const { return pid_ > 0; }

  // The request log lines written so far (one per request, in order).
  std::vector<std::string> logLines() const;
  // The state file; empty until stop() has run.
  std::string stateText() const;

  // Sends SIGTERM and waits (SIGKILL after 10 seconds). Returns true when
  // mockgate ended by itself with status 0, having written its state.
  bool stop();

  // "http://127.0.0.1:PORT"
  std::string baseUrl() const;

 private:
  int pid_ = -1;
  int outputFd_ = -1;
  std::string unixDir_;  // Windows under Wine: the folder as mockgate sees it
};

// The mockgate binary: the compile definition MOCKGATE_PATH when that file
// exists, else the environment variable MOCKGATE, else "mockgate" beside
// the running test executable.
std::string mockgateBinaryPath();

#ifdef _WIN32
// Windows builds run under Wine and use the Linux mockgate, whose files are
// reached through Wine's drive Z: (the Linux root). True when the Linux path
// names a file there.
bool mockgateUnderWine(const std::string& unixPath);
#endif
