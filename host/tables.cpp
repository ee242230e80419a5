// The host's document tables, their record access, the current document's
// field texts and the registry of numbered handlers.
#include "host_exports.h"

using standin::recordCall;

MG_EXPORT host_abi::TableObject* MG_STDCALL ordinal_52256(int32_t number) {
  recordCall(52256, std::to_string(number));
  return nullptr;
}

MG_EXPORT int32_t MG_STDCALL ordinal_52465(host_abi::TableObject*, int32_t mode) {
  recordCall(52465, std::to_string(mode));
  return 0;
}

MG_EXPORT const char* MG_STDCALL ordinal_52033(int32_t field) {
  recordCall(52033, std::to_string(field));
  return "";
}

MG_EXPORT host_abi::NumberedHandler* MG_STDCALL ordinal_52020(int32_t code, host_abi::NumberedHandler) {
  recordCall(52020, std::to_string(code));
  return nullptr;
}

MG_EXPORT int32_t MG_STDCALL ordinal_52021(int32_t code) {
  recordCall(52021, std::to_string(code));
  return 0;
}

STANDIN_CHECK_SIGNATURE(52256, TableByNumberFn);
STANDIN_CHECK_SIGNATURE(52465, TableRecordAccessFn);
STANDIN_CHECK_SIGNATURE(52033, DocumentFieldTextFn);
STANDIN_CHECK_SIGNATURE(52020, RegisterHandlerFn);
STANDIN_CHECK_SIGNATURE(52021, WithdrawHandlerFn);
