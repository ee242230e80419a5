// mgtool's entry: dispatches on the sub-command name given as the first
// argument to the command that registered that name.
#include <cstdio>
#include <cstring>
#include <vector>

#include "tool_commands.h"

namespace {

std::vector<ToolCommand>& commandTable() {
  static std::vector<ToolCommand> table;
  return table;
}

int printUsage() {
  std::fprintf(stderr, "usage: mgtool COMMAND [ARGUMENTS]\ncommands:\n");
  for (const ToolCommand& command : commandTable()) {
    std::fprintf(stderr, "  %s %s\n", command.name, command.usage);
  }
  return 2;
}

}  // namespace

bool registerToolCommand(const ToolCommand& command) {
  commandTable().push_back(command);
  return true;
}

int main(int argc, char** argv) {
  if (argc < 2) return printUsage();
  for (const ToolCommand& command : commandTable()) {
    if (std::strcmp(command.name, argv[1]) == 0) return command.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "mgtool: unknown command '%s'\n", argv[1]);
  return printUsage();
}
