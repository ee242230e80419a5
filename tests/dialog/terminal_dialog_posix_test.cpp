// The dialog on a terminal: runDialog in a child process whose terminal is
// a pseudo-terminal, answered with the keys a user types (Enter, arrows,
// typed text, F12, ESC), the drawn dialog read back from the terminal.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "dialog/dialog_fixture.h"
#include "control/host_control.h"

namespace {

using TerminalDialogTest = DialogFixture;

struct TerminalRun {
  int result = -1;
  std::string screen;  // everything the child wrote to the terminal
  ImportSettings settings{};
};

// Reads what the terminal shows for a while, so that the child never blocks.
void drain(int master, std::string& screen, int milliseconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < until) {
    pollfd ready{master, POLLIN, 0};
    if (poll(&ready, 1, 20) <= 0) continue;
    char buffer[4096];
    ssize_t got = read(master, buffer, sizeof buffer);
    if (got <= 0) return;
    screen.append(buffer, static_cast<size_t>(got));
  }
}

// Runs the dialog in a child on a 120 x 30 terminal and types the keys,
// each after the screen has settled.
TerminalRun runOnTerminal(MarketgateStatus& object, const std::vector<std::string>& keys) {
  TerminalRun run;
  int results[2];
  if (pipe(results) != 0) return run;
  winsize size{30, 120, 0, 0};
  int master = -1;
  pid_t child = forkpty(&master, nullptr, nullptr, &size);
  if (child == 0) {
    close(results[0]);
    setenv("TERM", "xterm", 1);
    setenv("LC_ALL", "C.UTF-8", 1);  // a UTF-8 terminal, whatever the tests were started with
    standin::setTerminalDialogs(true);
    int result = runDialog(object);
    ssize_t ignored = write(results[1], &result, sizeof result);
    ignored = write(results[1], &object.settings, sizeof object.settings);
    (void)ignored;
    _exit(0);
  }
  close(results[1]);
  if (child < 0) return run;
  drain(master, run.screen, 700);
  for (const std::string& key : keys) {
    ssize_t ignored = write(master, key.data(), key.size());
    (void)ignored;
    drain(master, run.screen, 150);
  }
  int status = 0;
  for (int waited = 0; waited < 100 && waitpid(child, &status, WNOHANG) == 0; ++waited) drain(master, run.screen, 50);
  if (waitpid(child, &status, WNOHANG) == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  close(master);
  if (read(results[0], &run.result, sizeof run.result) != sizeof run.result) run.result = -1;
  if (read(results[0], &run.settings, sizeof run.settings) != sizeof run.settings) run.result = -1;
  close(results[0]);
  return run;
}

const std::string kF12 = "\x1b[24~";
const std::string kDown = "\x1bOB";  // xterm's cursor key in keypad mode

TEST_F(TerminalDialogTest, UserPicksTypesAndImportsWithF12) {
  if (!standin::terminalDialogsBuilt()) GTEST_SKIP() << "built without the terminal UI";
  // Status list: open, one down, take it. Then Tab to the symbol field
  // (seven controls on), rub out "przesylka" and type a new one.
  std::vector<std::string> keys = {"\n", kDown, "\n"};
  for (int i = 0; i < 7; ++i) keys.push_back("\t");
  for (int i = 0; i < 9; ++i) keys.push_back("\x7f");
  keys.push_back("kurier \xC5\x82\xC3\xB3\x64\xC5\xBA");  // "kurier łódź"
  keys.push_back(kF12);
  TerminalRun run = runOnTerminal(object, keys);
  EXPECT_EQ(run.result, 20481);
  EXPECT_EQ(int{run.settings.StatusWePoz}, 1);
  EXPECT_STREQ(run.settings.SymbolPrzesylki,
               "kurier \x92\xA2"
               "d"
               "\xA6");
  EXPECT_NE(run.screen.find("Import Marketgate"), std::string::npos);
  EXPECT_NE(run.screen.find("20 - W realizacji"), std::string::npos) << "the chosen status is drawn";
  EXPECT_NE(run.screen.find("Wys\xC5\x82\x61ne"), std::string::npos) << "the open list shows every status";
}

TEST_F(TerminalDialogTest, EscCancels) {
  if (!standin::terminalDialogsBuilt()) GTEST_SKIP() << "built without the terminal UI";
  TerminalRun run = runOnTerminal(object, {"\t", "\x1b"});
  EXPECT_EQ(run.result, 20482);
}

}  // namespace
