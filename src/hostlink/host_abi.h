// The binary interface between the plug-in and the host: the signatures and
// conventions of the host functions, and the byte layouts of the host
// records the plug-in reads or fills. The host stand-in builds against the
// same declarations, so a mismatch shows up on both sides at compile time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdarg>

#include "platform/callconv.h"

namespace host_abi {

// Text conversion codes of the host.
constexpr int kCodeMazovia = 1;
constexpr int kCodeWindows1250 = 3;
constexpr int kCodePath = 5;
constexpr int kCodeUtf8 = 6;

// Identifier of a confirmed dialog (its first button) and of the cancel button.
constexpr int kDialogConfirmed = 20481;
constexpr int kDialogCancelled = 20482;

// A document table's operation: eleven 32-bit arguments, callee-cleared.
using TableOperation = int32_t(MG_STDCALL*)(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t,
                                            uintptr_t, uintptr_t, uintptr_t, uintptr_t);
// A handler registered under a host code number.
using NumberedHandler = int32_t(MG_STDCALL*)(uintptr_t, uintptr_t);
// The host feature function (request code, value), caller-cleared.
using FeatureFunction = uint32_t(MG_CDECL*)(uint32_t, uint32_t);

// The host's table object, as far as the plug-in relies on it.
struct TableObject {
  uint8_t hostHead[6];
  int16_t recordSize;      // byte 6
  uint8_t* currentRecord;  // byte 8
  uint8_t hostMiddle[104 - 8 - sizeof(uint8_t*)];
  TableOperation operation;  // byte 104
};
static_assert(offsetof(TableObject, recordSize) == 6, "record size at byte 6");
static_assert(offsetof(TableObject, currentRecord) == 8, "current record at byte 8");
static_assert(offsetof(TableObject, operation) == 104, "operation at byte 104");

// The host's list view as the "Tspr" operation sees it: the selected row is
// row(88) - first(80) + offset(84).
struct ListView {
  uint8_t hostHead[80];
  int32_t first;   // byte 80
  int32_t offset;  // byte 84
  int32_t row;     // byte 88
};
static_assert(offsetof(ListView, first) == 80 && offsetof(ListView, offset) == 84 && offsetof(ListView, row) == 88,
              "list view fields at bytes 80, 84 and 88");

// Host dialog base class: its table of virtual operations first, then the
// host's own part, whose size the host defines.
constexpr size_t kDialogBaseHostBytes = 60;
struct WDialogBase {
  void* const* virtualOperations;
  uint8_t hostPart[kDialogBaseHostBytes];
};

// Storage the plug-in provides for small host objects it constructs through
// the host (the file holder, the auxiliary dialog objects).
struct HostObjectStorage {
  alignas(8) uint8_t bytes[32];
};

// Stored configuration of a universal import, in the host's layout.
constexpr size_t kUniversalImportConfigSize = 1633;

// The 8-byte record given to the text input dialog.
struct TextInputRecord {
  uint16_t values[4];
};
static_assert(sizeof(TextInputRecord) == 8, "the text input record is 8 bytes");

// Signatures of the host functions, by role.
using AllocateFn = void*(MG_CDECL*)(uint32_t size);
using AllocateZeroedFn = void*(MG_CDECL*)(uint32_t count, uint32_t size);
using ReallocateFn = void*(MG_CDECL*)(void* block, uint32_t size);
using ReleaseFn = void(MG_CDECL*)(void* block);
using MessageFn = int32_t(MG_STDCALL*)(const char* text);
using TitledMessageFn = int16_t(MG_STDCALL*)(int32_t context, const char* title, const char* format, uint32_t style,
                                             const uintptr_t* argumentList);
using ShowWaitNoticeFn = int32_t(MG_STDCALL*)(const char* title, const char* text, int32_t flags);
using RemoveWaitNoticeFn = int32_t(MG_STDCALL*)();
using NoticeWithFlagFn = int32_t(MG_CDECL*)(int32_t context, int32_t* flag, int32_t zero, const char* text);
using QuietModeFlagFn = int32_t*(MG_STDCALL*)();
using IniFileValueFn = int16_t(MG_CDECL*)(const char* file, int32_t mode, const char* section, const char* key,
                                          const char* format, va_list values);
using HostProfileValueFn = int16_t(MG_CDECL*)(int32_t mode, const char* section, const char* key, const char* format,
                                              va_list values);
using WorkingDirectoryFn = const char*(MG_STDCALL*)();
using AppendToPathFn = char*(MG_STDCALL*)(char* path, const char* name);
using BoundedCopyFn = char*(MG_STDCALL*)(char* destination, const char* source, int32_t bound);
using ConvertTextFn = int32_t(MG_STDCALL*)(char* destination, int32_t capacity, const char* source, int32_t length,
                                           int32_t fromCode, int32_t toCode);
using ConversionSettingFn = int32_t*(MG_STDCALL*)();
using FormattedFileWriteFn = int32_t(MG_CDECL*)(void* file, const char* format, ...);
using TableByNumberFn = TableObject*(MG_STDCALL*)(int32_t number);
using TableRecordAccessFn = int32_t(MG_STDCALL*)(TableObject* table, int32_t mode);
using DocumentFieldTextFn = const char*(MG_STDCALL*)(int32_t field);
using RegisterHandlerFn = NumberedHandler*(MG_STDCALL*)(int32_t code, NumberedHandler handler);
using WithdrawHandlerFn = int32_t(MG_STDCALL*)(int32_t code);
using AddCommandFn = int32_t(MG_STDCALL*)(const void* descriptor);
using RemoveCommandFn = int32_t(MG_STDCALL*)(uint32_t number);
using VerifyModuleFn = int32_t(MG_STDCALL*)(void* module, char* buffer, int32_t capacity);
using InterfaceLevelFn = int32_t(MG_STDCALL*)();
using HttpRequestFn = int32_t(MG_STDCALL*)(const char* host, const char* path, const char* replyFile, int32_t, int32_t,
                                           int32_t, const char* headers, const char* body, int32_t, const char* verb,
                                           int32_t, int32_t, int32_t, char* auxBuffer, int32_t auxCapacity,
                                           uint32_t* auxValue, char** reply, int32_t);
using TextInputDialogFn = int16_t(MG_STDCALL*)(int32_t, int32_t, const TextInputRecord* record, char* text,
                                               const char* prompt, int32_t value);
using FatalStopFn = void(MG_STDCALL*)(int32_t code);
using CurrentDateFn = const char*(MG_STDCALL*)();
using DateDifferenceFn = int32_t(MG_STDCALL*)(const char* first, const char* second);
using ExchangeRateFn = double(MG_STDCALL*)(const char* date, const char* currency, int32_t, int32_t, int32_t);
using ImportConfigFn = int32_t(MG_STDCALL*)(void* record, const char* name);
using RunUniversalImportFn = int32_t(MG_STDCALL*)(int32_t quiet, const char* configName, uint32_t mask, int32_t,
                                                  int32_t, int32_t, int32_t);
using AfterImportFn = int32_t(MG_STDCALL*)(int32_t code);
using OpenFileFn = void*(MG_STDCALL*)(const char* name, const char* mode, int32_t, int32_t, int32_t, int32_t, int32_t,
                                      int32_t, int32_t);
using CloseFileFn = int32_t(MG_STDCALL*)(void* file);
using FileHolderConstructFn = void*(MG_THISCALL*)(void* holder, void* file);
using FileHolderGiveUpFn = void*(MG_THISCALL*)(void* holder);
using FileHolderDestroyFn = void(MG_THISCALL*)(void* holder);
using AuxDialogConstructFn = void*(MG_THISCALL*)(void* aux, void* dialog, void* function);
using AuxDialogDestroyFn = void(MG_THISCALL*)(void* aux);
using AuxDialogValueFn = int32_t(MG_THISCALL*)(void* aux);  // second operation of the aux object
using RunDialogFn = int16_t(MG_STDCALL*)(void* dialog, const void* description, int32_t, void* values, int32_t,
                                         int32_t secondAuxValue, int32_t firstAuxValue);
using DialogBaseConstructFn = void*(MG_THISCALL*)(void* object);
using DialogBaseDestroyFn = void(MG_THISCALL*)(void* object);

}  // namespace host_abi
