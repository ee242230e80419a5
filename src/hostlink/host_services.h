// Typed wrappers of the host functions, named by their role. Every call goes
// through the function's cell; when the host does not export a function the
// wrapper does nothing and returns the neutral value given with it, so that
// no call is ever made through an empty cell.
#pragma once

#include <cstdint>

#include "hostlink/host_abi.h"
#include "hostlink/host_binding.h"
#include "hostlink/host_conventions.h"

// The function's host address as the signature Fn, which must have the
// calling convention the host gives the function (checked at compile time).
template <class Fn, HostFunction function>
Fn hostFunction() {
  checkHostConvention<Fn, hostOrdinalOf(function)>();
  return reinterpret_cast<Fn>(boundHostFunction(function));
}

bool hostHas(HostFunction function);

// Memory (null when the host lacks the function or the memory).
void* hostAllocate(uint32_t size);
void* hostAllocateZeroed(uint32_t count, uint32_t size);
void* hostReallocate(void* block, uint32_t size);
void hostRelease(void* block);

// Messages and notices (texts in the Mazovia code page).
void hostMessage(const char* text);
void hostTitledMessage(int32_t context, const char* title, const char* format, uint32_t style,
                       const uintptr_t* argumentList);
void showWaitNotice(const char* text);  // titled "Uwaga", flags 512
void removeWaitNotice();
void hostNoticeWithFlag(int32_t context, int32_t* flag, const char* text);
bool hostQuietMode();  // false when the host cannot tell
[[noreturn]] void hostFatalStop(int32_t code);

// Option files: 16-bit result 0 when a value was read (1 when the host lacks the function).
int16_t iniFileValue(const char* file, int32_t mode, const char* section, const char* key, const char* format, ...);
int16_t hostProfileValue(int32_t mode, const char* section, const char* key, const char* format, ...);

// Texts and paths.
const char* hostWorkingDirectory();  // "" when unknown
void hostAppendToPath(char* path, const char* name);
void hostBoundedCopy(char* destination, const char* source, int32_t bound);
int32_t hostConvertText(char* destination, int32_t capacity, const char* source, int32_t length, int32_t fromCode,
                        int32_t toCode);
int32_t hostConversionSetting();
int32_t hostConvertPath(char* destination, int32_t capacity, const char* source, int32_t length, int32_t setting,
                        int32_t code);
int16_t hostTextInputDialog(const host_abi::TextInputRecord* record, char* text, const char* prompt, int32_t value);

// Files.
void* hostOpenFile(const char* name, const char* mode);
// 0 when the file was written out and closed, non-zero when that failed.
int32_t hostCloseFile(void* file);
void* hostFileHolderConstruct(void* holder, void* file);
void* hostFileHolderGiveUp(void* holder);
void hostFileHolderDestroy(void* holder);
// The number of bytes written, negative when the write did not complete.
template <class... Args>
int32_t hostFileWrite(void* file, const char* format, Args... args) {
  if (auto write = hostFunction<host_abi::FormattedFileWriteFn, HostFunction::formattedFileWrite>()) {
    return write(file, format, args...);
  }
  return -1;
}

// The service over HTTP: the host's eighteen-argument request.
int32_t hostHttpRequest(const char* host, const char* path, const char* replyFile, const char* headers,
                        const char* body, char* auxBuffer, int32_t auxCapacity, uint32_t* auxValue, char** reply);

// Dates and currencies.
const char* hostCurrentDate();  // "" when unknown
int32_t hostDateDifference(const char* first, const char* second);
double hostExchangeRate(const char* date, const char* currency);

// Universal import.
int32_t hostLoadImportConfig(void* record, const char* name);
int32_t hostSaveImportConfig(void* record, const char* name);
int32_t hostRunUniversalImport(int32_t quiet, const char* configName, uint32_t mask);
int32_t hostAfterImport(int32_t code);

// Document tables and numbered handlers.
host_abi::TableObject* hostTableByNumber(int32_t number);
int32_t hostTableRecordAccess(host_abi::TableObject* table, int32_t mode);
const char* hostDocumentFieldText(int32_t field);  // null when none
host_abi::NumberedHandler* hostRegisterHandler(int32_t code, host_abi::NumberedHandler handler);
void hostWithdrawHandler(int32_t code);

// Commands and the host's checks of the plug-in.
void hostAddCommand(const void* descriptor);
void hostRemoveCommand(uint16_t number);
int32_t hostVerifyModule(void* module, char* buffer, int32_t capacity);  // -1 when the host lacks it
int32_t hostInterfaceLevel();                                            // 0 when the host lacks it

// Dialogs.
void* hostDialogBaseConstruct(void* object);
void hostDialogBaseDestroy(void* object);
void* hostAuxDialogConstruct(void* aux, void* dialog);
void hostAuxDialogDestroy(void* aux);
int16_t hostRunDialog(void* dialog, const void* description, void* values, int32_t secondAuxValue,
                      int32_t firstAuxValue);
