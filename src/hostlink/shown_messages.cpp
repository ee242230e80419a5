// Keeping the shown messages (see shown_messages.h).
#include "hostlink/shown_messages.h"

namespace {

std::vector<std::string>* gShown = nullptr;  // the host's one thread

}  // namespace

void keepShownMessages(std::vector<std::string>* shown) { gShown = shown; }

void noteShownMessage(const char* text) {
  if (gShown != nullptr && text != nullptr) gShown->push_back(text);
}
