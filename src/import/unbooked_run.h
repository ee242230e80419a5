// A run whose import file the host did not book: the file could not be
// written whole (or the note of taken-over orders not kept), or the host's
// universal import refused it. The orders the run moved go back to their
// incoming status through the journal of status changes, the file is set
// aside under a name that says it is not to be imported, and one message
// tells what failed and what to do.
#pragma once

#include <string>
#include <vector>

struct TakenOverNote;

enum class UnbookedCause { fileNotWritten, refused };

struct UnbookedRun {
  UnbookedCause cause;
  std::string failedFile;  // the file that could not be written (its name alone)
  int systemError;         // the system's errno of that write, 0 when not known
  bool noMemory;           // a line could not be formed for want of memory
};

// Settles the run: orders back, file aside, the user told; the note goes
// once the journal holds the orders, else it stays for the next import.
void settleUnbookedRun(const UnbookedRun& run, const char* importFileName, TakenOverNote& note);

// The system's reason for an errno in Polish; null when none is known.
const char* systemReason(int error);
// The orders for a message: "N: a, b, c", or "N, od FIRST do LAST" when
// there are many.
std::string orderListText(const std::vector<std::string>& orders);
