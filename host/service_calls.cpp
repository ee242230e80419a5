// Host functions that reach the order service and ask the user for text:
// the HTTP request (51757) and the text input dialog (52207).
#include "host_exports.h"

using standin::recordCall;

MG_EXPORT int32_t MG_STDCALL ordinal_51757(const char* host, const char* path, const char* replyFile, int32_t,
                                           int32_t, int32_t, const char* headers, const char* body, int32_t,
                                           const char* verb, int32_t, int32_t, int32_t, char*, int32_t, uint32_t*,
                                           char** reply, int32_t) {
  recordCall(51757, std::string(host ? host : "") + "/" + (path ? path : "") + " " + (verb ? verb : "") + " " +
                        (body ? body : "") + " " + (headers ? headers : "") + (replyFile ? replyFile : ""));
  if (reply != nullptr) *reply = nullptr;
  return -1;
}

MG_EXPORT int16_t MG_STDCALL ordinal_52207(int32_t, int32_t, const host_abi::TextInputRecord*, char*,
                                           const char* prompt, int32_t) {
  recordCall(52207, prompt ? prompt : "");
  return host_abi::kDialogCancelled;
}

STANDIN_CHECK_SIGNATURE(51757, HttpRequestFn);
STANDIN_CHECK_SIGNATURE(52207, TextInputDialogFn);
