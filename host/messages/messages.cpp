// Host messages and notices: shown to the user (echoed to the terminal when
// the stand-in runs as a program) and recorded for tests.
#include <cstdio>
#include <cstdlib>

#include "core/host_exports.h"
#include "messages/word_format.h"

using standin::recordCall;
using standin::recordMessage;
using standin::state;

STANDIN_EXPORT int32_t MG_STDCALL ordinal_52030(const char* text) {
  recordCall(52030, text ? text : "");
  recordMessage("message", "", text ? text : "");
  return 0;
}

STANDIN_EXPORT int16_t MG_STDCALL ordinal_35804(int32_t context, const char* title, const char* format, uint32_t style,
                                                const uintptr_t* argumentList) {
  // The first word of the argument list is the display's own; the format's
  // arguments follow it.
  std::string text = standin::formatWords(format, argumentList != nullptr ? argumentList + 1 : nullptr);
  recordCall(35804, std::to_string(context) + " " + std::to_string(style) + " lead " +
                        std::to_string(argumentList != nullptr ? argumentList[0] : 0));
  recordMessage("titled", title ? title : "", text);
  return 0;
}

STANDIN_EXPORT int32_t MG_STDCALL ordinal_52028(const char* title, const char* text, int32_t flags) {
  recordCall(52028, std::string(title ? title : "") + "|" + (text ? text : "") + "|" + std::to_string(flags));
  state().waitNoticeDepth += 1;
  recordMessage("wait", title ? title : "", text ? text : "");
  return 0;
}

STANDIN_EXPORT int32_t MG_STDCALL ordinal_52064() {
  recordCall(52064);
  if (state().waitNoticeDepth > 0) state().waitNoticeDepth -= 1;
  return 0;
}

STANDIN_EXPORT int32_t MG_CDECL ordinal_52023(int32_t context, int32_t* flag, int32_t zero, const char* text) {
  recordCall(52023, std::to_string(context) + " " + std::to_string(zero));
  recordMessage("notice", "", text ? text : "");
  if (flag != nullptr && state().noticeFlagAnswer >= 0) *flag = state().noticeFlagAnswer;
  return 0;
}

STANDIN_EXPORT int32_t* MG_STDCALL ordinal_37974() {
  recordCall(37974);
  return &state().quietFlag;
}

STANDIN_EXPORT void MG_STDCALL ordinal_34704(int32_t code) {
  recordCall(34704, std::to_string(code));
  recordMessage("fatal", "", "fatal stop " + std::to_string(code));
  std::fflush(nullptr);
  std::exit(code);
}

STANDIN_CHECK_SIGNATURE(52030, MessageFn);
STANDIN_CHECK_SIGNATURE(35804, TitledMessageFn);
STANDIN_CHECK_SIGNATURE(52028, ShowWaitNoticeFn);
STANDIN_CHECK_SIGNATURE(52064, RemoveWaitNoticeFn);
STANDIN_CHECK_SIGNATURE(52023, NoticeWithFlagFn);
STANDIN_CHECK_SIGNATURE(37974, QuietModeFlagFn);
STANDIN_CHECK_SIGNATURE(34704, FatalStopFn);
