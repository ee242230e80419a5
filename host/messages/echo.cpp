// Printing of host messages on the terminal, in UTF-8.
#include <cstdio>

#include "text/codepages.h"
#include "core/host_state.h"

namespace standin {

void echoLine(const std::string& mazoviaText) {
  std::string text = state().plain ? stripMarkup(mazoviaText) : mazoviaText;
  std::string utf8 = mazoviaToUtf8(text);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace standin
