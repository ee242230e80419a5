// Causes of failed service requests (see request_outcome.h).
#include "service/request_outcome.h"

#include <cstdio>
#include <cstring>

#include "hostlink/host_abi.h"
#include "hostlink/host_services.h"
#include "json/json.h"

namespace {

constexpr char kUnreachable[] =
    "Nie mo\xA7na po\x92\x86"
    "czy\x8D si\x91 z serwisem Marketgate. Sprawd\xA6 po\x92\x86"
    "czenie z internetem i adres serwisu.";
constexpr char kHttpStatus[] = "Serwis Marketgate odpowiedzia\x92 kodem HTTP %d.";
constexpr char kKeyRefused[] = "Serwis Marketgate nie przyj\x86\x92 klucza do API: %s (%s).";
constexpr char kServiceError[] =
    "Serwis Marketgate zg\x92osi\x92 b\x92\x86"
    "d: %s (%s).";
constexpr char kUnreadable[] = "Odpowied\xA6 serwisu Marketgate jest nieczytelna.";
constexpr char kReplyNotStored[] =
    "Nie mo\xA7na zapisa\x8D pliku odpowiedzi %s. Sprawd\xA6, czy katalog roboczy programu istnieje i czy wolno "
    "w nim zapisywa\x8D.";
constexpr char kNoStatuses[] =
    "Serwis Marketgate nie poda\x92 \xA7"
    "adnego statusu zam\xA2wie\xA4.";

constexpr char kSuccess[] = "SUCCESS";

bool successful(uint32_t status) { return status >= 200 && status <= 299; }
// The host's HTTP function leaves the answer's status in its auxiliary value;
// anything else found there names no answer.
bool answerStatus(uint32_t value) { return value >= 100 && value <= 599; }

}  // namespace

void clearRequestOutcome(RequestOutcome& outcome) { std::memset(&outcome, 0, sizeof outcome); }

void noteHttpFailure(RequestOutcome& outcome, uint32_t answeredStatus) {
  outcome.httpStatus = static_cast<int32_t>(answeredStatus);
  if (!answerStatus(answeredStatus)) {
    outcome.fault = RequestFault::unreachable;
  } else if (!successful(answeredStatus)) {
    outcome.fault = RequestFault::httpStatus;
  } else {
    outcome.fault = RequestFault::replyNotStored;
  }
}

bool takeServiceRefusal(const char* reply, RequestOutcome& outcome) {
  if (reply == nullptr || reply[0] != '{') return false;
  JsonValue* root = jsonParse(reply);
  bool refused = takeServiceRefusalFrom(root, outcome);
  jsonFree(root);
  return refused;
}

bool takeServiceRefusalFrom(const JsonValue* root, RequestOutcome& outcome) {
  JsonObject* object = jsonValueObject(root);
  const char* status = jsonObjectString(object, "status");
  bool refused = status != nullptr && std::strcmp(status, kSuccess) != 0;
  if (refused) {
    const char* code = jsonObjectString(object, "error_code");
    const char* message = jsonObjectString(object, "error_message");
    outcome.fault = RequestFault::serviceError;
    hostBoundedCopy(outcome.errorCode, code != nullptr ? code : status, sizeof outcome.errorCode - 1);
    hostConvertText(outcome.errorMessage, sizeof outcome.errorMessage, message != nullptr ? message : "", -1,
                    host_abi::kCodeUtf8, host_abi::kCodeMazovia);
  }
  return refused;
}

bool serviceSucceeded(const char* reply) {
  if (reply == nullptr || reply[0] != '{') return false;
  JsonValue* root = jsonParse(reply);
  const char* status = jsonObjectString(jsonValueObject(root), "status");
  bool succeeded = status != nullptr && std::strcmp(status, kSuccess) == 0;
  jsonFree(root);
  return succeeded;
}

bool keyRefused(const RequestOutcome& outcome) {
  return outcome.fault == RequestFault::serviceError && std::strcmp(outcome.errorCode, kBadTokenCode) == 0;
}

void describeRequestFault(const RequestOutcome& outcome, const char* replyFile, char* line, size_t capacity) {
  if (line == nullptr || capacity == 0) return;
  line[0] = '\0';
  switch (outcome.fault) {
    case RequestFault::none:
      break;
    case RequestFault::unreachable:
      std::snprintf(line, capacity, "%s", kUnreachable);
      break;
    case RequestFault::httpStatus:
      std::snprintf(line, capacity, kHttpStatus, static_cast<int>(outcome.httpStatus));
      break;
    case RequestFault::replyNotStored:
      std::snprintf(line, capacity, kReplyNotStored, replyFile != nullptr ? replyFile : "");
      break;
    case RequestFault::serviceError:
      std::snprintf(line, capacity, keyRefused(outcome) ? kKeyRefused : kServiceError, outcome.errorMessage,
                    outcome.errorCode);
      break;
    case RequestFault::unreadable:
      std::snprintf(line, capacity, "%s", kUnreadable);
      break;
    case RequestFault::noStatuses:
      std::snprintf(line, capacity, "%s", kNoStatuses);
      break;
  }
}

void showRequestFailure(const char* message, const RequestOutcome& outcome, const char* replyFile) {
  char cause[600];
  describeRequestFault(outcome, replyFile, cause, sizeof cause);
  char text[800];
  std::snprintf(text, sizeof text, cause[0] != '\0' ? "%s\n%s" : "%s", message, cause);
  hostMessage(text);
}
