// The plug-in's four entry points, which the host finds by ordinal: 30001
// (load check, or unload with a null first argument), 30008 (start with 0,
// diagnosis otherwise), 30009 and 30010 (forwarding, unused). On Windows
// they are exported by ordinal only (marketgate.def); elsewhere as the
// symbols "ordinal_N".
#pragma once

#include <cstdint>

#include "hostlink/host_abi.h"
#include "platform/callconv.h"

#if defined(_WIN32)
#define MG_ENTRY_POINT extern "C"
#else
#define MG_ENTRY_POINT extern "C" __attribute__((visibility("default")))
#endif

MG_ENTRY_POINT int32_t MG_STDCALL ordinal_30001(host_abi::FeatureFunction featureFunction, char* nameBuffer);
MG_ENTRY_POINT int32_t MG_STDCALL ordinal_30008(uint32_t request);
MG_ENTRY_POINT int32_t ordinal_30009();
MG_ENTRY_POINT int32_t MG_STDCALL ordinal_30010(uint32_t value);

constexpr int32_t kNoForwardingResult = static_cast<int32_t>(0xB669FD2Eu);

// The types the host calls the entry points through.
using LoadEntry = int32_t(MG_STDCALL*)(host_abi::FeatureFunction, char*);
using StartEntry = int32_t(MG_STDCALL*)(uint32_t);
using ForwardEntry = int32_t (*)();
using ForwardValueEntry = int32_t(MG_STDCALL*)(uint32_t);
