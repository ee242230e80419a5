// The host program's commands (see program_commands.h): what a user of the
// host does that reaches the plug-in.
#include "program_commands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

#include "control/host_control.h"
#include "program_options.h"
#include "control/table_control.h"

namespace {

constexpr uint16_t kImportCommand = 32528;
constexpr int kDocumentEventCode = 2294;
// How the host calls the tables' operation when a document is handled and
// when a row of the "Tspr" list is chosen.
constexpr uintptr_t kDocumentHandled = 2001, kDocumentHandledDetail = 802;
constexpr uintptr_t kListRowChosen = 17408, kListRowChosenDetail = 801;

void say(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// The service method of a request body ("...&method=NAME&...").
std::string methodOf(const std::string& body) {
  size_t start = body.find("method=");
  if (start == std::string::npos) return "?";
  start += 7;
  size_t end = body.find('&', start);
  return body.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// One line on the service requests made since `from`: how many of each
// method, in the order first made, and how they were answered.
void reportServiceRequests(size_t from) {
  const std::vector<standin::HttpRequestRecord>& requests = standin::httpRequests();
  if (from >= requests.size()) return;
  std::vector<std::pair<std::string, int>> methods;
  std::map<std::string, int> answers;
  for (size_t i = from; i < requests.size(); ++i) {
    std::string method = methodOf(requests[i].body);
    auto known = std::find_if(methods.begin(), methods.end(), [&](const auto& m) { return m.first == method; });
    if (known == methods.end()) {
      methods.emplace_back(method, 1);
    } else {
      ++known->second;
    }
    ++answers[requests[i].result < 0 ? "no answer" : "HTTP " + std::to_string(requests[i].result)];
  }
  std::string line = "  service requests:";
  for (size_t i = 0; i < methods.size(); ++i) {
    line += (i == 0 ? " " : ", ") + methods[i].first + " " + std::to_string(methods[i].second);
  }
  line += "; answered:";
  for (auto answer = answers.begin(); answer != answers.end(); ++answer) {
    line += (answer == answers.begin() ? " " : ", ") + answer->first + " " + std::to_string(answer->second);
  }
  say(line);
}

// The stored document with this number or this order number; false when
// none has it.
bool findDocument(const std::string& number, standin::StoredDocument& found) {
  for (const standin::StoredDocument& document : standin::storedDocuments()) {
    if (document.number == number || document.orderNumber == number) {
      found = document;
      return true;
    }
  }
  return false;
}

// The order number of the latest stored document that has one; "" when
// there is none.
std::string lastOrderNumber() {
  std::vector<standin::StoredDocument> documents = standin::storedDocuments();
  for (auto document = documents.rbegin(); document != documents.rend(); ++document) {
    if (!document->orderNumber.empty()) return document->orderNumber;
  }
  return std::string();
}

// The document named on the command line (checked beforehand), else the
// latest stored one.
std::string chosenOrderNumber(const std::vector<std::string>& arguments, size_t at, std::string& described) {
  standin::StoredDocument document;
  if (arguments.size() > at && findDocument(arguments[at], document)) {
    described = document.registerName + " " + document.number + " (order " + document.orderNumber + ")";
    return document.orderNumber;
  }
  std::string orderNumber = lastOrderNumber();
  described = "the last stored document (order " + orderNumber + ")";
  return orderNumber;
}

// Position in the host's call record now, to look at what followed.
size_t callMark() { return standin::calls().size(); }

// Whether the plug-in showed a message (ordinal 52030) among the calls
// from `from` up to `to`.
bool pluginToldOfProblem(size_t from, size_t to) {
  const std::vector<standin::CallRecord>& calls = standin::calls();
  for (size_t i = from; i < to && i < calls.size(); ++i) {
    if (calls[i].ordinal == 52030) return true;
  }
  return false;
}

// Whether a service request since `from` went unanswered or was answered
// with another HTTP status than 200.
bool requestFailed(size_t from) {
  const std::vector<standin::HttpRequestRecord>& requests = standin::httpRequests();
  for (size_t i = from; i < requests.size(); ++i) {
    if (requests[i].result != 200) return true;
  }
  return false;
}

}  // namespace

bool checkNamedDocument(const std::string& command, const std::vector<std::string>& arguments, std::string& error) {
  size_t at = command == "handle" ? 0 : command == "event" ? 1 : std::string::npos;
  if (at == std::string::npos) return true;
  if (arguments.size() <= at) {
    if (!lastOrderNumber().empty()) return true;
    error = "no stored document with an order number to " + command + " (see tomiks documents)";
    return false;
  }
  standin::StoredDocument document;
  if (!findDocument(arguments[at], document)) {
    error = "no stored document has the number or order number " + arguments[at] + " (see tomiks documents)";
    return false;
  }
  if (document.orderNumber.empty()) {
    error = "the document " + arguments[at] + " came from no order of the service";
    return false;
  }
  return true;
}

int runImport() {
  if (!standin::commandAdded(kImportCommand)) {
    say("tomiks: the plug-in added no import command");
    return kExitFailed;
  }
  size_t requests = standin::httpRequests().size();
  size_t imports = standin::universalImportResults().size();
  standin::runCommand(kImportCommand);
  reportServiceRequests(requests);
  say("");
  say("Stored documents:");
  std::fputs(standin::documentListing().c_str(), stdout);
  std::fflush(stdout);
  // Done when the file reached the host's import and was taken, whatever the
  // plug-in told before (a key refused, then entered anew); failed when no
  // file was handed over (a cancelled dialog, a failed request, an import
  // stopped early) or the host refused it.
  const std::vector<int32_t>& results = standin::universalImportResults();
  bool imported = results.size() > imports && results.back() >= 0;
  return imported ? kExitDone : kExitFailed;
}

int listDocuments(bool asTable) {
  std::fputs((asTable ? standin::documentTable() : standin::documentListing()).c_str(), stdout);
  std::fflush(stdout);
  return kExitDone;
}

int handleDocument(const std::vector<std::string>& arguments, bool throughList) {
  std::string described;
  std::string orderNumber = chosenOrderNumber(arguments, 0, described);
  int row = standin::addTableRecord(standin::kListTableNumber, orderNumber);
  size_t requests = standin::httpRequests().size();
  size_t calls = callMark();
  int32_t result = 0;
  if (throughList) {
    standin::ListSelection selection = standin::listSelection(standin::kListTableNumber, row);
    say("Choosing " + described + " in the list \"Tspr\"");
    result = standin::callTableOperation(standin::kListTableNumber, kListRowChosen, kListRowChosenDetail, 0,
                                         selection.recordArray, 0, selection.listView);
  } else {
    standin::setCurrentRecord(standin::kListTableNumber, row);
    say("Handling " + described + " in \"Tspr_dok\"");
    result = standin::callTableOperation(standin::kDocumentTableNumber, kDocumentHandled, kDocumentHandledDetail);
  }
  reportServiceRequests(requests);
  say("  the table operation returned " + std::to_string(result));
  bool failed = requestFailed(requests) || pluginToldOfProblem(calls, callMark());
  return failed ? kExitFailed : kExitDone;
}

int raiseDocumentEvent(const std::vector<std::string>& arguments) {
  char* end = nullptr;
  long code = std::strtol(arguments[0].c_str(), &end, 0);
  if (end == nullptr || *end != '\0' || arguments[0].empty()) {
    say("tomiks: the event code must be a number, e.g. -2");
    return kExitUsage;
  }
  std::string described;
  std::string orderNumber = chosenOrderNumber(arguments, 1, described);
  standin::setCurrentRecord(standin::kListTableNumber, standin::addTableRecord(standin::kListTableNumber, orderNumber));
  size_t requests = standin::httpRequests().size();
  size_t calls = callMark();
  say("Host event " + std::to_string(kDocumentEventCode) + " with " + std::to_string(code) + " for " + described);
  int32_t result = standin::dispatchHandler(kDocumentEventCode, 0, static_cast<uintptr_t>(static_cast<intptr_t>(code)));
  reportServiceRequests(requests);
  say("  the handler returned " + std::to_string(result));
  bool failed = requestFailed(requests) || pluginToldOfProblem(calls, callMark());
  return failed ? kExitFailed : kExitDone;
}
