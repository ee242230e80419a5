// Why a request of the order service brought no usable answer, and the one
// line (Mazovia code page) that tells the user so under the message of the
// operation that failed.
#pragma once

#include <cstddef>
#include <cstdint>

struct JsonValue;

enum class RequestFault : int32_t {
  none,
  unreachable,     // no answer came (no connection, an address the host cannot use)
  httpStatus,      // answered with an HTTP status other than 2xx
  replyNotStored,  // answered, but the host could not write the reply file
  serviceError,    // answered with the service's error convention
  unreadable,      // the answer is not what the request expects
  noStatuses,      // the status list came back empty
};

struct RequestOutcome {
  RequestFault fault;
  int32_t httpStatus;      // of the answer; 0 when none came
  char errorCode[40];      // the service's "error_code" (ASCII)
  char errorMessage[200];  // the service's "error_message", Mazovia
};

// The service's code of a refused API key.
constexpr char kBadTokenCode[] = "ERROR_BAD_TOKEN";

void clearRequestOutcome(RequestOutcome& outcome);

// Records the failure of the host's HTTP function from the status it left
// in its auxiliary value.
void noteHttpFailure(RequestOutcome& outcome, uint32_t answeredStatus);

// True when the reply is an object of the service's error convention
// ("status" other than "SUCCESS"); its code and message go into outcome.
bool takeServiceRefusal(const char* reply, RequestOutcome& outcome);
// The same for a reply already parsed (root may be null).
bool takeServiceRefusalFrom(const JsonValue* root, RequestOutcome& outcome);
// True when the reply is an object whose "status" is "SUCCESS".
bool serviceSucceeded(const char* reply);

bool keyRefused(const RequestOutcome& outcome);

// The line naming the cause (no line end); replyFile names the file of a
// reply that could not be stored.
void describeRequestFault(const RequestOutcome& outcome, const char* replyFile, char* line, size_t capacity);

// The message of a failed operation with the cause on a second line, shown
// through the host.
void showRequestFailure(const char* message, const RequestOutcome& outcome, const char* replyFile);
