// The few Windows functions the plug-in frame uses. On Windows they are the
// real ones; elsewhere a small POSIX layer gives them the same meaning:
// a module is a shared library "NAME.so", and its export with ordinal N is
// the symbol "ordinal_N".
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <cstdint>

typedef void* HMODULE;
typedef HMODULE HINSTANCE;
typedef void (*FARPROC)();
typedef const char* LPCSTR;
typedef unsigned long DWORD;
typedef int BOOL;

// Name of the symbol that stands for export ordinal N of a module.
#define MG_ORDINAL_SYMBOL_PREFIX "ordinal_"
// A module may export this predicate to withhold some of its ordinals from
// GetProcAddress, as a host of another version would not export them.
#define MG_WITHHELD_ORDINAL_SYMBOL "module_withholds_ordinal"

inline LPCSTR MAKEINTRESOURCEA(unsigned ordinal) { return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(ordinal)); }

HMODULE GetModuleHandleA(LPCSTR moduleName);
FARPROC GetProcAddress(HMODULE module, LPCSTR nameOrOrdinal);
DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD capacity);
BOOL IsDebuggerPresent();
void OutputDebugStringA(LPCSTR text);
int wsprintfA(char* buffer, LPCSTR format, ...);
void Sleep(DWORD milliseconds);
#endif
