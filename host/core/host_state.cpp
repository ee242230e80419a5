// State of the host stand-in: configuration and records (see host_control.h).
#include "control/host_control.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "core/host_state.h"

#ifdef _WIN32
#include "core/withheld_exports.h"
#endif

namespace standin {

HostState& state() {
  static HostState instance;
  return instance;
}

namespace {

std::string processDirectory() {
  std::error_code error;
  std::filesystem::path directory = std::filesystem::current_path(error);
  if (error) return ".";
  return directory.string();
}

// Windows finds ordinals in the module's export table, so a withheld
// ordinal is taken out of it there (see core/withheld_exports.h).
void withheldOrdinalsChanged() {
#ifdef _WIN32
  syncWithheldExports(state().withheld);
#endif
}

}  // namespace

void resetState() {
  HostState& s = state();
  std::string directory = s.workingDirectory;
  bool echo = s.echo, plain = s.plain;
  s = HostState{};
  s.workingDirectory = directory;
  s.echo = echo;
  s.plain = plain;
  withheldOrdinalsChanged();
}

long allocationCount() { return state().allocations; }
void failNthAllocation(long n) { state().failAllocationAt = n > 0 ? state().allocations + n : 0; }

void setInterfaceLevel(int level) { state().interfaceLevel = level; }
void withholdOrdinal(unsigned ordinal) {
  state().withheld.insert(ordinal);
  withheldOrdinalsChanged();
}
void clearWithheldOrdinals() {
  state().withheld.clear();
  withheldOrdinalsChanged();
}
bool ordinalWithheld(unsigned ordinal) { return state().withheld.count(ordinal) != 0; }

namespace {
std::vector<unsigned>& lookupRecord() {
  static std::vector<unsigned> lookups;
  return lookups;
}
}  // namespace

const std::vector<unsigned>& ordinalLookups() { return lookupRecord(); }
void recordOrdinalLookup(unsigned ordinal) { lookupRecord().push_back(ordinal); }
void clearOrdinalLookups() { lookupRecord().clear(); }
void setQuietMode(bool quiet) { state().quietFlag = quiet ? 1 : 0; }

void setWorkingDirectory(const std::string& directory) { state().workingDirectory = directory; }
const std::string& workingDirectory() {
  HostState& s = state();
  if (s.workingDirectory.empty()) s.workingDirectory = processDirectory();
  return s.workingDirectory;
}

void setEcho(bool echo, bool plain) {
  state().echo = echo;
  state().plain = plain;
}

const std::vector<ShownMessage>& messages() { return state().messages; }
void clearMessages() { state().messages.clear(); }
bool waitNoticeShown() { return state().waitNoticeDepth > 0; }

void recordMessage(const std::string& kind, const std::string& title, const std::string& text) {
  state().messages.push_back(ShownMessage{kind, title, text});
  if (!state().echo) return;
  std::string line = title.empty() ? "[" + kind + "] " + text : "[" + kind + ": " + title + "] " + text;
  // A wait notice shown again right after itself (one per order of an
  // import) is printed once.
  if (kind == "wait" && line == state().lastEchoedLine) return;
  state().lastEchoedLine = line;
  echoLine(line);
}

void countHostCall() {
  HostState& host = state();
  if (++host.hostCalls == host.exitAtCall) std::_Exit(137);
}
void setExitAtCall(long call) { state().exitAtCall = call; }
void setWriteFailsAfter(int64_t bytes) {
  state().writeFailsAfter = bytes;
  state().bytesWritten = 0;
}

void recordCall(unsigned ordinal, const std::string& detail) {
  countHostCall();
  if (state().recordingCalls) state().calls.push_back(CallRecord{ordinal, detail});
}
void setCallRecording(bool on) { state().recordingCalls = on; }
const std::vector<CallRecord>& calls() { return state().calls; }
int callCount(unsigned ordinal) {
  int count = 0;
  for (const CallRecord& call : state().calls) count += call.ordinal == ordinal;
  return count;
}
void clearCalls() { state().calls.clear(); }

}  // namespace standin

namespace standin {
void setNoticeFlagAnswer(int answer) { state().noticeFlagAnswer = answer; }
}  // namespace standin
