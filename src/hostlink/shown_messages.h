// The messages shown through the host while someone keeps them (an import
// gathering what it showed for its history): each text as it was shown.
#pragma once

#include <string>
#include <vector>

// From now on every message shown is also appended to shown; null stops it.
void keepShownMessages(std::vector<std::string>* shown);
// Called with every text the host is given to show.
void noteShownMessage(const char* text);
