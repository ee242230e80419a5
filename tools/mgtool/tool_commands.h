// The sub-commands of mgtool: each source file defines one and registers it
// with MGTOOL_COMMAND, so that new commands need no change to the dispatcher.
#pragma once

// Runs a sub-command with its own arguments (argv[0] is the command's name);
// the result is the process exit code.
using ToolCommandFunction = int (*)(int argc, char** argv);

struct ToolCommand {
  const char* name;
  const char* usage;  // the arguments, e.g. "FILE"
  ToolCommandFunction run;
};

// Adds a command to the dispatcher's table; returns true so that it can
// initialise a static object.
bool registerToolCommand(const ToolCommand& command);

#define MGTOOL_COMMAND(name, usage, function) \
  static const bool mgtoolRegistered_##function = registerToolCommand(ToolCommand{name, usage, function})
