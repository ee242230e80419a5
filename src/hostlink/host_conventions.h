// The calling convention the host gives each host function it exports, by
// ordinal, kept apart from the signatures: every typed call of a host
// function is checked against it when compiled for 32-bit x86, so that a
// signature that lost or changed its convention fails the plug-in's build.
#pragma once

#include <cstdint>

#include "hostlink/host_binding.h"
#include "platform/callconv.h"

enum class HostConvention {
  none,          // not known: the plug-in never calls the function itself
  calleeClears,  // stdcall
  callerClears,  // cdecl, also for a variable argument list
  method,        // thiscall: the object in ECX, arguments cleared by the callee
};

struct HostConventionEntry {
  uint16_t ordinal;
  HostConvention convention;
};

// Fixed by the host; never derived from the signatures in host_abi.h.
inline constexpr HostConventionEntry kHostConventions[] = {
    // Memory, the formatted file write, the notice with a flag, the two
    // profile functions and the feature function leave the arguments to
    // the caller.
    {21284, HostConvention::callerClears},
    {21285, HostConvention::callerClears},
    {21286, HostConvention::callerClears},
    {21287, HostConvention::callerClears},
    {52541, HostConvention::callerClears},
    {52023, HostConvention::callerClears},
    {41399, HostConvention::callerClears},
    {52224, HostConvention::callerClears},
    {30006, HostConvention::callerClears},
    // Methods of host objects: the file holder, the auxiliary dialog object
    // and the dialog base class with its virtual operations.
    {22562, HostConvention::method},
    {22563, HostConvention::method},
    {22567, HostConvention::method},
    {20972, HostConvention::method},
    {20973, HostConvention::method},
    {20902, HostConvention::method},
    {20903, HostConvention::method},
    {24002, HostConvention::method},
    {24003, HostConvention::method},
    {24004, HostConvention::method},
    {20937, HostConvention::method},
    {20940, HostConvention::method},
    {20941, HostConvention::method},
    {20942, HostConvention::method},
    {20943, HostConvention::method},
    {20944, HostConvention::method},
    {20945, HostConvention::method},
    {20946, HostConvention::method},
    {20947, HostConvention::method},
    {20948, HostConvention::method},
    {20949, HostConvention::method},
    {20950, HostConvention::method},
    {20951, HostConvention::method},
    {20952, HostConvention::method},
    {20953, HostConvention::method},
    {20954, HostConvention::method},
    {20955, HostConvention::method},
    {20956, HostConvention::method},
    {20957, HostConvention::method},
    {20958, HostConvention::method},
    {20959, HostConvention::method},
    {20960, HostConvention::method},
    {20961, HostConvention::method},
    {20962, HostConvention::method},
    {20963, HostConvention::method},
    {20964, HostConvention::method},
    {20965, HostConvention::method},
    {20966, HostConvention::method},
    {20967, HostConvention::method},
    // Every other function the plug-in calls clears its own arguments.
    {52401, HostConvention::calleeClears},
    {52021, HostConvention::calleeClears},
    {35387, HostConvention::calleeClears},
    {52020, HostConvention::calleeClears},
    {51757, HostConvention::calleeClears},
    {52305, HostConvention::calleeClears},
    {52082, HostConvention::calleeClears},
    {30018, HostConvention::calleeClears},
    {34699, HostConvention::calleeClears},
    {34704, HostConvention::calleeClears},
    {52030, HostConvention::calleeClears},
    {52615, HostConvention::calleeClears},
    {30204, HostConvention::calleeClears},
    {38020, HostConvention::calleeClears},
    {52016, HostConvention::calleeClears},
    {52527, HostConvention::calleeClears},
    {51774, HostConvention::calleeClears},
    {52465, HostConvention::calleeClears},
    {51594, HostConvention::calleeClears},
    {35385, HostConvention::calleeClears},
    {52015, HostConvention::calleeClears},
    {30908, HostConvention::calleeClears},
    {52064, HostConvention::calleeClears},
    {52028, HostConvention::calleeClears},
    {52256, HostConvention::calleeClears},
    {37974, HostConvention::calleeClears},
    {52534, HostConvention::calleeClears},
    {52081, HostConvention::calleeClears},
    {24007, HostConvention::calleeClears},
    {52161, HostConvention::calleeClears},
    {35804, HostConvention::calleeClears},
    {52207, HostConvention::calleeClears},
    {52033, HostConvention::calleeClears},
};

constexpr HostConvention hostConvention(uint16_t ordinal) {
  for (const HostConventionEntry& entry : kHostConventions) {
    if (entry.ordinal == ordinal) return entry.convention;
  }
  return HostConvention::none;
}

constexpr uint16_t hostOrdinalOf(HostFunction function) {
  switch (function) {
#define HOST_FUNCTION(role, ordinal) \
  case HostFunction::role:           \
    return ordinal;
#include "hostlink/host_function_list.h"
#undef HOST_FUNCTION
    default:
      return 0;
  }
}

namespace host_convention_detail {

// The address of one of these templates converts to a function pointer type
// only when the type has the template's convention: the template arguments
// are deduced from the type, the convention must match as it stands.
template <class R, class... A>
R MG_STDCALL calleeClears(A...);
template <class R, class... A>
R MG_CDECL callerClears(A...);
template <class R, class... A>
R MG_CDECL callerClearsVariadic(A..., ...);
template <class R, class... A>
R MG_THISCALL method(A...);

#define MG_CONVENTION_PROBE(Name, probe)                                  \
  template <class Fn, class = void>                                       \
  struct Name {                                                           \
    static constexpr bool value = false;                                  \
  };                                                                      \
  template <class Fn>                                                     \
  struct Name<Fn, decltype(static_cast<void>(static_cast<Fn>(&probe)))> { \
    static constexpr bool value = true;                                   \
  };
MG_CONVENTION_PROBE(ClearsOwnArguments, calleeClears)
MG_CONVENTION_PROBE(LeavesArgumentsToCaller, callerClears)
MG_CONVENTION_PROBE(LeavesVariadicArgumentsToCaller, callerClearsVariadic)
MG_CONVENTION_PROBE(TakesObjectInEcx, method)
#undef MG_CONVENTION_PROBE

}  // namespace host_convention_detail

// True when the function pointer type Fn has the convention. Only 32-bit
// x86 has several conventions; elsewhere every type has each of them.
template <class Fn>
constexpr bool hasHostConvention(HostConvention convention) {
#if defined(__i386__)
  namespace detail = host_convention_detail;
  switch (convention) {
    case HostConvention::calleeClears:
      return detail::ClearsOwnArguments<Fn>::value;
    case HostConvention::callerClears:
      return detail::LeavesArgumentsToCaller<Fn>::value || detail::LeavesVariadicArgumentsToCaller<Fn>::value;
    case HostConvention::method:
      return detail::TakesObjectInEcx<Fn>::value;
    default:
      return false;
  }
#else
  return convention != HostConvention::none;
#endif
}

// Fails the build when Fn is not the convention the host gives the ordinal.
template <class Fn, uint16_t ordinal>
constexpr void checkHostConvention() {
  static_assert(hostConvention(ordinal) != HostConvention::none,
                "a host function called by the plug-in needs its convention in kHostConventions");
  static_assert(hasHostConvention<Fn>(hostConvention(ordinal)),
                "the host function's type lacks the calling convention the host gives its ordinal");
}
