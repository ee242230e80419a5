// The record through which the plug-in adds its command to the host: the
// host reads it at the address it is given, in the host's 20-byte layout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/callconv.h"

using CommandHandler = int32_t(MG_STDCALL*)();

struct CommandDescriptor {
  uint32_t flags;       // 0x0000400C, as the host defines them
  const char* caption;  // the display name
  uint16_t number;      // 32528; also removes the command
  uint16_t reserved1;
  CommandHandler handler;  // called by the host with no arguments
  uint32_t reserved2;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(CommandDescriptor) == 20, "the host reads a 20-byte command descriptor");
static_assert(offsetof(CommandDescriptor, caption) == 4 && offsetof(CommandDescriptor, number) == 8 &&
                  offsetof(CommandDescriptor, reserved1) == 10 && offsetof(CommandDescriptor, handler) == 12 &&
                  offsetof(CommandDescriptor, reserved2) == 16,
              "command descriptor fields at bytes 4, 8, 10, 12 and 16");
#endif

constexpr uint32_t kImportCommandFlags = 0x0000400C;

// The import command's descriptor (static: the host keeps its address).
extern const CommandDescriptor importCommandDescriptor;
