// Helpers for the stand-in's host functions: each is exported as
// "ordinal_N" with the convention the host gives it, and its signature is
// checked against the plug-in's declaration of the same function.
#pragma once

#include <type_traits>

#include "hostlink/host_abi.h"
#include "core/host_state.h"
#include "platform/callconv.h"

// A host function or data item of the stand-in. On Windows the host module
// exports its functions by ordinal only, through the module definition file
// generated at build time, so they carry no dllexport (which would add a
// named export); elsewhere they are visible symbols "ordinal_N".
#if defined(_WIN32)
#define STANDIN_EXPORT extern "C"
#else
#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#define STANDIN_CHECK_SIGNATURE(ordinal, Type)                                     \
  static_assert(std::is_same<decltype(&ordinal_##ordinal), host_abi::Type>::value, \
                "signature of host function " #ordinal)
