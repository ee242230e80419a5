// The command line of the host program "tomiks": where its data lives, the
// order service's address, how dialogs are answered, what kind of host it
// pretends to be, and the command to run. Options may stand anywhere on the
// line; each is a row of one table, which also writes the usage text.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct ProgramOptions {
  std::string workDir;                   // the host's working directory (profile, option files, documents)
  std::string serviceUrl;                // "" : from tomiks.ini, else the address the plug-in names
  long requestSeconds = 0;               // total time of a request to the service; 0: the client's default
  size_t replyBytes = 0;                 // largest reply body taken; 0: the client's default
  std::string pluginPath;                // "" : kPluginFileName beside the program
  std::string answersFile;               // scripted dialog answers
  std::vector<std::string> textAnswers;  // answers to the host's text prompts, in order (UTF-8)
  bool quiet = false;                    // the host's quiet mode (no user interaction)
  bool plain = false;                    // messages without markup bytes
  bool importFails = false;              // the universal import refuses every file
  int64_t writeFailsAfter = -1;          // bytes the file functions take before they fail; -1: no limit
  long exitAtCall = 0;                   // the plug-in's host call at which the process ends; 0: none
  bool throughList = false;              // handle: through the "Tspr" list
  bool asTable = false;                  // documents: tab-separated lines
  std::map<std::string, double> rates;   // the host's exchange rates by currency, over the profile's
  std::string currentDate;               // "YY.MM.DD"; "": the profile's, else the clock
  // An incompatible host.
  int interfaceLevel = 112;
  std::vector<unsigned> missingOrdinals;
  std::map<int, int> tableSizes;  // table number -> record size, 0: no such table
  bool verifyRefuses = false;
  std::string verifyRefusal;  // UTF-8
  uint32_t missingFeatures = 0;
  // The command and its words; "help" for --help, "version" for --version.
  std::string command;
  std::vector<std::string> arguments;
};

// Exit statuses of the program.
constexpr int kExitDone = 0;    // the command did its job
constexpr int kExitFailed = 1;  // the plug-in or the host reported a failure, or the user cancelled
constexpr int kExitUsage = 2;   // the command line cannot be used

// Parses argv; false with a reason when the command line is not usable.
bool parseProgramOptions(int argc, char** argv, ProgramOptions& options, std::string& error);

// Whether the command sends requests to the order service.
bool commandTalksToService(const std::string& command);

// The text of "tomiks --help".
std::string programUsage();
