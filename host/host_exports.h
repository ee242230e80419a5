// Helpers for the stand-in's host functions: each is exported as
// "ordinal_N" with the convention the host gives it, and its signature is
// checked against the plug-in's declaration of the same function.
#pragma once

#include <type_traits>

#include "frame/host_abi.h"
#include "host_state.h"
#include "platform/callconv.h"

#define STANDIN_CHECK_SIGNATURE(ordinal, Type) \
  static_assert(std::is_same<decltype(&ordinal_##ordinal), host_abi::Type>::value, "signature of host function " #ordinal)
