// Calling-convention and export attributes shared by the plug-in and the host
// stand-in. On 32-bit x86 they are the real conventions the host uses; on
// x86-64 there is one convention and the macros expand to nothing.
#pragma once

#if defined(__i386__)
#define MG_STDCALL __attribute__((stdcall))
#define MG_CDECL __attribute__((cdecl))
#define MG_THISCALL __attribute__((thiscall))
#else
#define MG_STDCALL
#define MG_CDECL
#define MG_THISCALL
#endif

#if defined(_WIN32)
#define MG_EXPORT extern "C" __declspec(dllexport)
#else
#define MG_EXPORT extern "C" __attribute__((visibility("default")))
#endif
