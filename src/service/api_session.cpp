// Filling a service session: the endpoint, the API key from "marketgate.ini"
// (asking the user once when it is missing) and the two reply-file paths in
// the host's working directory.
#include "service/api_session.h"

#include <cstring>

#include "hostlink/host_abi.h"
#include "hostlink/host_services.h"

namespace {

constexpr char kServiceHost[] = "api.marketgate.pl";
constexpr char kServicePath[] = "connector.php";
constexpr char kOptionsFile[] = "marketgate.ini";
constexpr char kKeySection[] = "API";
constexpr char kKeyName[] = "Key";
constexpr char kKeyPrompt[] = "Podaj klucz do API Marketgate";
constexpr char kReplyFileName[] = "marketgate.tmp";
constexpr char kInvoiceReplyFileName[] = "marketgate2.tmp";

// Passed unchanged to the host's text input dialog with the value 8.
const host_abi::TextInputRecord kKeyInputRecord = {{80, 1, 39029, 0}};
constexpr int32_t kKeyInputValue = 8;

constexpr int kIniRead = 1;
constexpr int kIniWrite = 2;

// The host hands back at most 255 characters and a NUL for a "%s" value, so
// the key field can take it directly.
static_assert(sizeof(ApiSession::apiKey) >= 256, "the key field takes any text the host reads");
static_assert(sizeof(kServiceHost) <= sizeof(ApiSession::host), "the service host fits its field");

// 0 when the key was found in the options file.
int16_t readStoredKey(ApiSession& session) {
  return iniFileValue(kOptionsFile, kIniRead, kKeySection, kKeyName, "%s", session.apiKey);
}

// The working directory joined with name. A directory too long for the
// joined path (one separator and the terminator counted) leaves the path
// empty rather than naming a file somewhere else.
template <size_t Capacity>
void joinReplyPath(char (&path)[Capacity], const char* name) {
  const char* directory = hostWorkingDirectory();
  path[0] = '\0';
  if (std::strlen(directory) + 1 + std::strlen(name) + 1 > Capacity) return;
  hostBoundedCopy(path, directory, Capacity - 1);
  hostAppendToPath(path, name);
}

}  // namespace

bool askForKey(ApiSession& session) {
  if (session.keyPromptCancelled) return false;
  session.apiKey[0] = '\0';  // the question starts with an empty field
  int16_t answer = hostTextInputDialog(&kKeyInputRecord, session.apiKey, kKeyPrompt, kKeyInputValue);
  session.apiKey[sizeof session.apiKey - 1] = '\0';
  if (answer != host_abi::kDialogConfirmed) {
    session.keyPromptCancelled = true;
    return false;
  }
  iniFileValue(kOptionsFile, kIniWrite, kKeySection, kKeyName, "%s", session.apiKey);
  return true;
}

void openApiSession(ApiSession& session) {
  hostBoundedCopy(session.host, kServiceHost, sizeof session.host - 1);
  hostBoundedCopy(session.path, kServicePath, sizeof session.path - 1);
  session.apiKey[0] = '\0';
  session.keyPromptCancelled = false;
  if (readStoredKey(session) != 0) askForKey(session);
  joinReplyPath(session.replyFile, kReplyFileName);
  joinReplyPath(session.invoiceReplyFile, kInvoiceReplyFileName);
}
