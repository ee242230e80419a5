// tomiks: the host program stand-in. It sets the host up as the command
// line says, loads the plug-in as the host does (binding and attach, entry
// 30001 with the host's feature function, 30008 with 0), runs one command
// and unloads the plug-in (30001 with null).
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "text/codepages.h"
#include "control/dialog_control.h"
#include "control/host_control.h"
#include "host_profile.h"
#include "plugin_library.h"
#include "program_commands.h"
#include "program_options.h"
#include "rates_and_date.h"
#include "control/table_control.h"

namespace {

void complain(const std::string& text) { std::fprintf(stderr, "tomiks: %s\n", text.c_str()); }

// The host as the command line describes it, before the plug-in is loaded
// (its binding at load sees the missing functions).
bool configureHost(const ProgramOptions& options, std::string& error) {
  std::string workDir = options.workDir.empty() ? defaultWorkDirectory() : options.workDir;
  if (!prepareWorkDirectory(workDir, error)) return false;
  // The exchange rates and the date: the profile's, the command line's over them.
  std::map<std::string, double> rates;
  std::string date;
  if (!profileRatesAndDate(workDir, rates, date, error)) return false;
  for (const auto& rate : options.rates) rates[rate.first] = rate.second;
  if (!options.currentDate.empty()) date = options.currentDate;
  standin::setWorkingDirectory(workDir);
  for (const auto& rate : rates) standin::setExchangeRate(rate.first, rate.second);
  standin::setCurrentDate(date);
  standin::setEcho(true, options.plain);
  // The user reads the first-run notice once and is not asked again.
  standin::setNoticeFlagAnswer(1);
  standin::setQuietMode(options.quiet);
  standin::setUniversalImportFails(options.importFails);
  standin::setWriteFailsAfter(options.writeFailsAfter);
  standin::setExitAtCall(options.exitAtCall);
  standin::setInterfaceLevel(options.interfaceLevel);
  for (unsigned ordinal : options.missingOrdinals) standin::withholdOrdinal(ordinal);
  for (const auto& table : options.tableSizes) {
    if (table.second == 0) {
      standin::removeTable(table.first);
    } else {
      standin::setTableRecordSize(table.first, table.second);
    }
  }
  if (options.verifyRefuses) standin::setVerifyRefusal(standin::utf8ToMazovia(options.verifyRefusal));
  standin::setMissingFeatures(options.missingFeatures);
  std::string url = options.serviceUrl.empty() ? profileServiceUrl(workDir) : options.serviceUrl;
  if (!url.empty()) standin::setServiceBaseUrl(url);
  for (const std::string& answer : options.textAnswers) standin::scriptTextInput(answer);
  standin::setRequestLimits(options.requestSeconds, options.replyBytes);
  if (!options.answersFile.empty()) {
    std::error_code failure;
    if (!std::filesystem::is_regular_file(options.answersFile, failure)) {
      error = "--answers names no readable file: " + options.answersFile;
      return false;
    }
    if (!standin::loadDialogAnswers(options.answersFile)) {
      error = "cannot read the answers file " + options.answersFile;
      return false;
    }
  } else {
    standin::setTerminalDialogs(true);
  }
  return true;
}

// The address that requests of the plug-in go to, as the user is told.
std::string serviceAddress(const ProgramOptions& options) {
  if (!options.serviceUrl.empty()) return options.serviceUrl;
  std::string workDir = options.workDir.empty() ? defaultWorkDirectory() : options.workDir;
  std::string url = profileServiceUrl(workDir);
  if (!url.empty()) return url + " ([Service] BaseUrl of tomiks.ini)";
  return "the address the plug-in names (no --service, no [Service] BaseUrl in tomiks.ini)";
}

int runCommand(const ProgramOptions& options) {
  const std::string& command = options.command;
  if (command == "import") return runImport();
  if (command == "documents") return listDocuments(options.asTable);
  if (command == "handle") return handleDocument(options.arguments, options.throughList);
  if (command == "event") return raiseDocumentEvent(options.arguments);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  ProgramOptions options;
  std::string error;
  if (!parseProgramOptions(argc, argv, options, error)) {
    complain(error);
    std::fputs("(tomiks --help lists the commands and options)\n", stderr);
    return kExitUsage;
  }
  if (options.command == "help") {
    std::fputs(programUsage().c_str(), stdout);
    return kExitDone;
  }
  if (options.command == "version") {
    std::puts("tomiks " MG_VERSION);
    return kExitDone;
  }
  if (!configureHost(options, error)) {
    complain(error);
    return kExitUsage;
  }
  // A document named on the line must exist before anything is sent.
  if (!checkNamedDocument(options.command, options.arguments, error)) {
    complain(error);
    return kExitUsage;
  }
  if (commandTalksToService(options.command)) {
    std::printf("Service: %s\n", serviceAddress(options).c_str());
    std::fflush(stdout);
  }
  PluginLibrary plugin;
  if (!openPlugin(options.pluginPath.empty() ? defaultPluginPath() : options.pluginPath, plugin, error)) {
    complain(error);
    return kExitFailed;
  }
  bool accepted = checkPluginLoad(plugin) == 0;
  int status = kExitDone;
  if (options.command == "diagnose") {
    plugin.start(1);
  } else if (!accepted) {
    complain("the plug-in refused to load; it explains:");
    plugin.start(1);
    status = kExitFailed;
  } else if (plugin.start(0) != 0) {
    complain("the plug-in could not start; it explains:");
    plugin.start(1);
    status = kExitFailed;
  } else {
    status = runCommand(options);
  }
  closePlugin(plugin);
  return status;
}
