// The host program's commands (see program_commands.h): what a user of the
// host does that reaches the plug-in.
#include "program_commands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

#include "host_control.h"
#include "table_control.h"

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

// The stored document with this number or this order number; the order
// number to push ("" when none is known).
std::string orderNumberOf(const std::string& number, std::string& described) {
  std::vector<standin::StoredDocument> documents = standin::storedDocuments();
  for (const standin::StoredDocument& document : documents) {
    if (document.number == number || document.orderNumber == number) {
      described = document.registerName + " " + document.number + " (order " + document.orderNumber + ")";
      return document.orderNumber;
    }
  }
  described = "order " + number + " (no stored document)";
  return number;
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

// The document named on the command line, else the latest stored one.
std::string chosenOrderNumber(const std::vector<std::string>& arguments, size_t at, std::string& described) {
  if (arguments.size() > at) return orderNumberOf(arguments[at], described);
  std::string orderNumber = lastOrderNumber();
  described = "the last stored document" + (orderNumber.empty() ? " (none)" : " (order " + orderNumber + ")");
  return orderNumber;
}

}  // namespace

int runImport() {
  if (!standin::commandAdded(kImportCommand)) {
    say("tomiks: the plug-in added no import command");
    return 1;
  }
  size_t requests = standin::httpRequests().size();
  standin::runCommand(kImportCommand);
  reportServiceRequests(requests);
  say("");
  say("Stored documents:");
  std::fputs(standin::documentListing().c_str(), stdout);
  std::fflush(stdout);
  return 0;
}

int listDocuments() {
  std::fputs(standin::documentListing().c_str(), stdout);
  std::fflush(stdout);
  return 0;
}

int handleDocument(const std::vector<std::string>& arguments) {
  bool throughList = !arguments.empty() && arguments[0] == "--list";
  size_t numberAt = throughList ? 1 : 0;
  if (arguments.size() > numberAt + 1) {
    say("usage: tomiks handle [--list] [NUMBER]");
    return 2;
  }
  std::string described;
  std::string orderNumber = chosenOrderNumber(arguments, numberAt, described);
  int row = standin::addTableRecord(standin::kListTableNumber, orderNumber);
  size_t requests = standin::httpRequests().size();
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
  return 0;
}

int raiseDocumentEvent(const std::vector<std::string>& arguments) {
  if (arguments.empty() || arguments.size() > 2) {
    say("usage: tomiks event CODE [NUMBER]");
    return 2;
  }
  char* end = nullptr;
  long code = std::strtol(arguments[0].c_str(), &end, 0);
  if (end == nullptr || *end != '\0') {
    say("tomiks: the event code must be a number, e.g. -2");
    return 2;
  }
  std::string described;
  std::string orderNumber = chosenOrderNumber(arguments, 1, described);
  if (!orderNumber.empty()) {
    standin::setCurrentRecord(standin::kListTableNumber,
                              standin::addTableRecord(standin::kListTableNumber, orderNumber));
  }
  size_t requests = standin::httpRequests().size();
  say("Host event " + std::to_string(kDocumentEventCode) + " with " + std::to_string(code) + " for " + described);
  int32_t result = standin::dispatchHandler(kDocumentEventCode, 0, static_cast<uintptr_t>(static_cast<intptr_t>(code)));
  reportServiceRequests(requests);
  say("  the handler returned " + std::to_string(result));
  return 0;
}
