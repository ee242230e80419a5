// Control of the host stand-in from tests and from the tomiks program: what
// the host is configured to be (interface level, missing functions, quiet
// mode, failing allocations ...) and what it recorded of the plug-in's calls.
// The plug-in never includes this file; it reaches the host only by ordinal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

struct ShownMessage {
  std::string kind;   // "message", "titled", "notice", "wait", "fatal"
  std::string title;  // Mazovia bytes as given
  std::string text;   // Mazovia bytes, formatted
};

struct CallRecord {
  unsigned ordinal;
  std::string detail;
};

// Back to a compliant host with nothing recorded; the live-block count and
// the working directory are kept.
void resetState();

// Memory.
long liveBlocks();
long allocationCount();
void failNthAllocation(long n);  // the n-th allocation from now fails; 0: none fails

// What kind of host this is.
void setInterfaceLevel(int level);            // 112 by default
void withholdOrdinal(unsigned ordinal);        // GetProcAddress will not find it
void clearWithheldOrdinals();
bool ordinalWithheld(unsigned ordinal);
void setQuietMode(bool quiet);
void setWorkingDirectory(const std::string& directory);  // the process's directory by default
const std::string& workingDirectory();

// Output: messages are always recorded; with echo on they are also printed
// to standard output in UTF-8 (plain: without markup bytes).
void setEcho(bool echo, bool plain = false);
void echoLine(const std::string& mazoviaText);
void setNoticeFlagAnswer(int answer);  // written through the notice's flag; -1 leaves it
const std::vector<ShownMessage>& messages();
void recordMessage(const std::string& kind, const std::string& title, const std::string& text);
void clearMessages();
bool waitNoticeShown();  // a wait notice is on screen now

// Every host function call is recorded (ordinal and a short detail).
void recordCall(unsigned ordinal, const std::string& detail = std::string());
const std::vector<CallRecord>& calls();
int callCount(unsigned ordinal);
void clearCalls();

}  // namespace standin
