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

void printUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: mgtool COMMAND [ARGUMENTS]\n       mgtool COMMAND --help\n       mgtool --version\ncommands:\n");
  for (const ToolCommand& command : commandTable()) {
    std::fprintf(out, "  %s %s\n", command.name, command.usage);
  }
  std::fprintf(out, "exit status: 0 done, 1 the command failed, 2 bad usage\n");
}

}  // namespace

bool registerToolCommand(const ToolCommand& command) {
  commandTable().push_back(command);
  return true;
}

int main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    printUsage(stdout);
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
    std::puts("mgtool " MG_VERSION);
    return 0;
  }
  if (argc < 2) {
    printUsage(stderr);
    return 2;
  }
  for (const ToolCommand& command : commandTable()) {
    if (std::strcmp(command.name, argv[1]) == 0) return command.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "mgtool: unknown %s '%s'\n", argv[1][0] == '-' ? "option" : "command", argv[1]);
  printUsage(stderr);
  return 2;
}
