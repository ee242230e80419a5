// Typed wrappers of the host functions (see host_services.h).
#include "hostlink/host_services.h"

#include <cstdarg>
#include <cstdlib>

#include "hostlink/shown_messages.h"

using namespace host_abi;

bool hostHas(HostFunction function) { return boundHostFunction(function) != nullptr; }

#define HOST_CALL(Type, role) hostFunction<Type, HostFunction::role>()

void* hostAllocate(uint32_t size) {
  auto f = HOST_CALL(AllocateFn, allocate);
  return f ? f(size) : nullptr;
}

void* hostAllocateZeroed(uint32_t count, uint32_t size) {
  auto f = HOST_CALL(AllocateZeroedFn, allocateZeroed);
  return f ? f(count, size) : nullptr;
}

void* hostReallocate(void* block, uint32_t size) {
  auto f = HOST_CALL(ReallocateFn, reallocate);
  return f ? f(block, size) : nullptr;
}

void hostRelease(void* block) {
  if (auto f = HOST_CALL(ReleaseFn, release)) f(block);
}

void hostMessage(const char* text) {
  noteShownMessage(text);
  if (auto f = HOST_CALL(MessageFn, message)) f(text);
}

void hostTitledMessage(int32_t context, const char* title, const char* format, uint32_t style,
                       const uintptr_t* argumentList) {
  if (auto f = HOST_CALL(TitledMessageFn, titledMessage)) f(context, title, format, style, argumentList);
}

void showWaitNotice(const char* text) {
  if (auto f = HOST_CALL(ShowWaitNoticeFn, showWaitNotice)) f("Uwaga", text, 512);
}

void removeWaitNotice() {
  if (auto f = HOST_CALL(RemoveWaitNoticeFn, removeWaitNotice)) f();
}

void hostNoticeWithFlag(int32_t context, int32_t* flag, const char* text) {
  if (auto f = HOST_CALL(NoticeWithFlagFn, noticeWithFlag)) f(context, flag, 0, text);
}

bool hostQuietMode() {
  auto f = HOST_CALL(QuietModeFlagFn, quietModeFlag);
  if (!f) return false;
  int32_t* flag = f();
  return flag != nullptr && *flag != 0;
}

void hostFatalStop(int32_t code) {
  if (auto f = HOST_CALL(FatalStopFn, fatalStop)) f(code);
  std::abort();  // the host's fatal stop does not return
}

int16_t iniFileValue(const char* file, int32_t mode, const char* section, const char* key, const char* format, ...) {
  auto f = HOST_CALL(IniFileValueFn, iniFileValue);
  if (!f) return 1;
  va_list values;
  va_start(values, format);
  int16_t result = f(file, mode, section, key, format, values);
  va_end(values);
  return result;
}

int16_t hostProfileValue(int32_t mode, const char* section, const char* key, const char* format, ...) {
  auto f = HOST_CALL(HostProfileValueFn, hostProfileValue);
  if (!f) return 1;
  va_list values;
  va_start(values, format);
  int16_t result = f(mode, section, key, format, values);
  va_end(values);
  return result;
}

const char* hostWorkingDirectory() {
  auto f = HOST_CALL(WorkingDirectoryFn, workingDirectory);
  const char* directory = f ? f() : nullptr;
  return directory != nullptr ? directory : "";
}

void hostAppendToPath(char* path, const char* name) {
  if (auto f = HOST_CALL(AppendToPathFn, appendToPath)) f(path, name);
}

void hostBoundedCopy(char* destination, const char* source, int32_t bound) {
  if (auto f = HOST_CALL(BoundedCopyFn, boundedCopy)) {
    f(destination, source, bound);
  } else if (destination != nullptr) {
    destination[0] = '\0';
  }
}

int32_t hostConvertText(char* destination, int32_t capacity, const char* source, int32_t length, int32_t fromCode,
                        int32_t toCode) {
  auto f = HOST_CALL(ConvertTextFn, convertText);
  if (f) return f(destination, capacity, source, length, fromCode, toCode);
  if (destination != nullptr && capacity > 0) destination[0] = '\0';
  return 0;
}

int32_t hostConversionSetting() {
  auto f = HOST_CALL(ConversionSettingFn, conversionSetting);
  int32_t* setting = f ? f() : nullptr;
  return setting != nullptr ? *setting : 0;
}

int32_t hostConvertPath(char* destination, int32_t capacity, const char* source, int32_t length, int32_t setting,
                        int32_t code) {
  auto f = HOST_CALL(ConvertTextFn, convertPath);
  if (f) return f(destination, capacity, source, length, setting, code);
  if (destination != nullptr && capacity > 0) destination[0] = '\0';
  return 0;
}

int16_t hostTextInputDialog(const TextInputRecord* record, char* text, const char* prompt, int32_t value) {
  auto f = HOST_CALL(TextInputDialogFn, textInputDialog);
  return f ? f(0, 0, record, text, prompt, value) : 0;
}

void* hostOpenFile(const char* name, const char* mode) {
  auto f = HOST_CALL(OpenFileFn, openFile);
  return f ? f(name, mode, 64, 0, -1, 0, 0, 0, 0) : nullptr;
}

int32_t hostCloseFile(void* file) {
  auto f = HOST_CALL(CloseFileFn, closeFile);
  return f ? f(file) : -1;
}

void* hostFileHolderConstruct(void* holder, void* file) {
  auto f = HOST_CALL(FileHolderConstructFn, fileHolderConstruct);
  return f ? f(holder, file) : nullptr;
}

void* hostFileHolderGiveUp(void* holder) {
  auto f = HOST_CALL(FileHolderGiveUpFn, fileHolderGiveUp);
  return f ? f(holder) : nullptr;
}

void hostFileHolderDestroy(void* holder) {
  if (auto f = HOST_CALL(FileHolderDestroyFn, fileHolderDestroy)) f(holder);
}

int32_t hostHttpRequest(const char* host, const char* path, const char* replyFile, const char* headers,
                        const char* body, char* auxBuffer, int32_t auxCapacity, uint32_t* auxValue, char** reply) {
  auto f = HOST_CALL(HttpRequestFn, httpRequest);
  if (!f) return -1;
  return f(host, path, replyFile, 0, 0, 1, headers, body, 1, "POST", 0, 0, 0, auxBuffer, auxCapacity, auxValue, reply,
           0);
}

const char* hostCurrentDate() {
  auto f = HOST_CALL(CurrentDateFn, currentDate);
  const char* date = f ? f() : nullptr;
  return date != nullptr ? date : "";
}

int32_t hostDateDifference(const char* first, const char* second) {
  auto f = HOST_CALL(DateDifferenceFn, dateDifference);
  return f ? f(first, second) : 1;
}

double hostExchangeRate(const char* date, const char* currency) {
  auto f = HOST_CALL(ExchangeRateFn, exchangeRate);
  return f ? f(date, currency, 1, 0, 0) : 0.0;
}

int32_t hostLoadImportConfig(void* record, const char* name) {
  auto f = HOST_CALL(ImportConfigFn, loadImportConfig);
  return f ? f(record, name) : -1;
}

int32_t hostSaveImportConfig(void* record, const char* name) {
  auto f = HOST_CALL(ImportConfigFn, saveImportConfig);
  return f ? f(record, name) : -1;
}

int32_t hostRunUniversalImport(int32_t quiet, const char* configName, uint32_t mask) {
  auto f = HOST_CALL(RunUniversalImportFn, runUniversalImport);
  return f ? f(quiet, configName, mask, 0, 0, 0, 0) : -1;
}

int32_t hostAfterImport(int32_t code) {
  auto f = HOST_CALL(AfterImportFn, afterImport);
  return f ? f(code) : 0;
}

TableObject* hostTableByNumber(int32_t number) {
  auto f = HOST_CALL(TableByNumberFn, tableByNumber);
  return f ? f(number) : nullptr;
}

int32_t hostTableRecordAccess(TableObject* table, int32_t mode) {
  auto f = HOST_CALL(TableRecordAccessFn, tableRecordAccess);
  return f ? f(table, mode) : 0;
}

const char* hostDocumentFieldText(int32_t field) {
  auto f = HOST_CALL(DocumentFieldTextFn, documentFieldText);
  return f ? f(field) : nullptr;
}

NumberedHandler* hostRegisterHandler(int32_t code, NumberedHandler handler) {
  auto f = HOST_CALL(RegisterHandlerFn, registerHandler);
  return f ? f(code, handler) : nullptr;
}

void hostWithdrawHandler(int32_t code) {
  if (auto f = HOST_CALL(WithdrawHandlerFn, withdrawHandler)) f(code);
}

void hostAddCommand(const void* descriptor) {
  if (auto f = HOST_CALL(AddCommandFn, addCommand)) f(descriptor);
}

void hostRemoveCommand(uint16_t number) {
  if (auto f = HOST_CALL(RemoveCommandFn, removeCommand)) f(number);
}

int32_t hostVerifyModule(void* module, char* buffer, int32_t capacity) {
  auto f = HOST_CALL(VerifyModuleFn, verifyModule);
  return f ? f(module, buffer, capacity) : -1;
}

int32_t hostInterfaceLevel() {
  auto f = HOST_CALL(InterfaceLevelFn, interfaceLevel);
  return f ? f() : 0;
}

void* hostDialogBaseConstruct(void* object) {
  auto f = HOST_CALL(DialogBaseConstructFn, dialogBaseConstruct);
  return f ? f(object) : nullptr;
}

void hostDialogBaseDestroy(void* object) {
  if (auto f = HOST_CALL(DialogBaseDestroyFn, dialogBaseDestroy)) f(object);
}

void* hostAuxDialogConstruct(void* aux, void* dialog) {
  auto f = HOST_CALL(AuxDialogConstructFn, constructAuxDialogObject);
  void* function = boundHostFunction(HostFunction::auxDialogFunction);
  return f ? f(aux, dialog, function) : nullptr;
}

void hostAuxDialogDestroy(void* aux) {
  if (auto f = HOST_CALL(AuxDialogDestroyFn, destroyAuxDialogObject)) f(aux);
}

int16_t hostRunDialog(void* dialog, const void* description, void* values, int32_t secondAuxValue,
                      int32_t firstAuxValue) {
  auto f = HOST_CALL(RunDialogFn, runDialog);
  return f ? f(dialog, description, 1, values, 0, secondAuxValue, firstAuxValue) : 0;
}
