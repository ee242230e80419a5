// Host functions that reach the order service and ask the user for text:
// the HTTP request (51757) and the text input dialog (52207).
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "text/codepages.h"
#include "core/host_exports.h"
#include "http/http_client.h"
#include "http/reply_file.h"

using standin::recordCall;
using standin::state;

// The stand-in's allocator: a reply handed to the plug-in is a live host block.
STANDIN_EXPORT void* MG_CDECL ordinal_21284(uint32_t size);

namespace {

// Longest text the host hands back from a question, as for option-file texts.
constexpr size_t kAnswerLimit = 255;

std::string textOf(const char* text) { return text != nullptr ? text : std::string(); }

// The reply as a NUL-terminated host block, or null without memory.
char* replyBlock(const std::string& body) {
  auto* block = static_cast<char*>(ordinal_21284(static_cast<uint32_t>(body.size() + 1)));
  if (block == nullptr) return nullptr;
  std::memcpy(block, body.data(), body.size());
  block[body.size()] = '\0';
  return block;
}

// Posts the request; the status (2xx) with the reply handed back, or -1.
// *answered receives the HTTP status of the answer (0 when none came).
int exchange(const standin::HttpRequestRecord& request, char** reply, int* answered) {
  std::string body;
  int status = standin::httpPost(request.host, request.path, request.headers, request.body, body, answered);
  if (status < 0) return -1;
  if (!request.replyFile.empty() && !standin::storeReply(request.replyFile, body)) return -1;
  if (reply == nullptr) return status;
  *reply = replyBlock(body);
  return *reply != nullptr ? status : -1;
}

// At most limit bytes of text, not ending inside a UTF-8 character.
std::string cutAtCharacter(const std::string& text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

// The question on the terminal: false when the input ended (a cancel).
bool askOnTerminal(const char* prompt, const char* initial, std::string& answer) {
  std::cout << standin::mazoviaToUtf8(textOf(prompt));
  if (initial != nullptr && initial[0] != '\0') std::cout << " [" << initial << "]";
  std::cout << ": " << std::flush;
  std::string line;
  if (!std::getline(std::cin, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  answer = line.empty() ? textOf(initial) : line;
  return true;
}

// The next answer: scripted, typed, or a cancel when nobody can type.
bool nextAnswer(const char* prompt, const char* initial, std::string& answer) {
  auto& script = state().textInputScript;
  if (!script.empty()) {
    standin::ScriptedTextInput next = script.front();
    script.pop_front();
    answer = next.text;
    return !next.cancel;
  }
  if (!isatty(STDIN_FILENO)) return false;
  return askOnTerminal(prompt, initial, answer);
}

}  // namespace

namespace standin {

const std::vector<HttpRequestRecord>& httpRequests() { return state().httpRequests; }
void scriptTextInput(const std::string& answer) { state().textInputScript.push_back(ScriptedTextInput{false, answer}); }
void scriptTextInputCancel() { state().textInputScript.push_back(ScriptedTextInput{true, std::string()}); }
const std::vector<TextInputShown>& textInputs() { return state().textInputs; }

}  // namespace standin

// Sends a POST with the given header lines and body to path on host and
// writes the reply body to the reply file. Returns the HTTP status, or -1
// when the transport failed, the status was not 2xx or the reply could not
// be stored; *reply receives the body as host memory (null on failure).
// *auxValue receives the HTTP status of the answer, 0 when none came (so a
// failure with a 2xx status there is a reply that could not be stored).
STANDIN_EXPORT int32_t MG_STDCALL ordinal_51757(const char* host, const char* path, const char* replyFile, int32_t a4,
                                                int32_t a5, int32_t a6, const char* headers, const char* body,
                                                int32_t a9, const char* verb, int32_t a11, int32_t a12, int32_t a13,
                                                char* auxBuffer, int32_t auxCapacity, uint32_t* auxValue, char** reply,
                                                int32_t a18) {
  standin::HttpRequestRecord request{textOf(host),
                                     textOf(path),
                                     textOf(replyFile),
                                     textOf(headers),
                                     textOf(body),
                                     textOf(verb),
                                     {a4, a5, a6, a9, a11, a12, a13, a18},
                                     auxCapacity,
                                     auxBuffer != nullptr && auxValue != nullptr,
                                     -1};
  if (state().recordingCalls) {
    recordCall(51757, request.host + "/" + request.path + " " + request.verb + " " + request.body);
  } else {
    standin::countHostCall();
  }
  if (reply != nullptr) *reply = nullptr;
  if (auxBuffer != nullptr && auxCapacity > 0) auxBuffer[0] = '\0';
  if (auxValue != nullptr) *auxValue = 0;
  int answered = 0;
  if (request.verb == "POST") request.result = exchange(request, reply, &answered);
  if (auxValue != nullptr) *auxValue = static_cast<uint32_t>(answered);
  state().httpRequests.push_back(request);
  return request.result;
}

// Asks the user for a text: the field holds the initial text and receives
// the answer. 20481 when the answer was confirmed, 20482 when cancelled.
STANDIN_EXPORT int16_t MG_STDCALL ordinal_52207(int32_t, int32_t, const host_abi::TextInputRecord* record, char* text,
                                                const char* prompt, int32_t value) {
  recordCall(52207, textOf(prompt));
  standin::TextInputShown shown{textOf(prompt), textOf(text), {0, 0, 0, 0}, value};
  if (record != nullptr) std::memcpy(shown.record, record->values, sizeof shown.record);
  state().textInputs.push_back(shown);
  std::string answer;
  if (text == nullptr || !nextAnswer(prompt, text, answer)) return host_abi::kDialogCancelled;
  answer = cutAtCharacter(answer, kAnswerLimit);
  std::memcpy(text, answer.c_str(), answer.size() + 1);
  return host_abi::kDialogConfirmed;
}

STANDIN_CHECK_SIGNATURE(51757, HttpRequestFn);
STANDIN_CHECK_SIGNATURE(52207, TextInputDialogFn);
