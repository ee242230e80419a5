// The note of orders a run writes into its import file, the record that
// keeps every order exactly once when the run is cut short. The rule: an
// order leaves the incoming status on the service only after its line is in
// this note and on the disk (not only out of the process), and the note is
// retired only once the host's universal import has accepted a complete file
// holding the order's document and the register of booked orders holds it.
// Before the host's import is called, a last line records that the hand-off
// began; the next import reads a note that was left behind accordingly (see
// interrupted_run.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr char kTakenOverName[] = "marketgate-przejete.txt";

// One order of a note: its number (decimal text) and the status it comes
// from; 0 when it is not moved (customer orders, or no change wanted).
struct NotedOrder {
  std::string order;
  int32_t incomingStatusId;
};

struct TakenOverNote {
  std::FILE* file = nullptr;  // null: none open
  std::string path;
  std::vector<NotedOrder> moved;  // orders of this run whose status move was sent
  int systemError = 0;            // errno of the write that failed, 0 when none
  long beforeHandOff = -1;        // the note's length before the hand-off line, -1 when none was written
};

// Starts the run's note; false when it cannot be made (nothing may move then).
bool startTakenOverNote(TakenOverNote& note);
// Notes the order before its document is written. With a status to go back
// to, the line is put on the disk before this returns, the order's move may
// follow; false when the line could not be written: the order must not move.
bool noteTakenOver(TakenOverNote& note, const char* order, int32_t incomingStatusId);
// Records that the hand-off begins, on the disk with every line before it;
// false when that failed (the file must not be handed over).
bool noteHandOffBegun(TakenOverNote& note);
// The host's import was not called or did not take the file: the hand-off
// line is cut off again, so that the next import sends the orders back;
// false when that failed.
bool withdrawHandOff(TakenOverNote& note);
// The run is settled: the note goes.
void retireTakenOverNote(TakenOverNote& note);
// The run could not settle: the note stays for the next import.
void keepTakenOverNote(TakenOverNote& note);

// The line that records the hand-off's beginning.
constexpr char kHandOffLine[] = "przekazanie";

// A note left by an earlier run, as read back.
struct LeftNote {
  bool found = false;
  bool handOffBegun = false;
  std::vector<NotedOrder> orders;
  std::string unreadable;  // why the note that is there cannot be read; "" when it could
  size_t damaged = 0;      // lines that are no note line (the last one cut short is none of them)
};

// The orders and the hand-off line of the note's lines into left; a last
// line without its end (lastLineEnded false) was cut short and names
// nothing. The number of damaged lines (empty lines are none).
size_t parseNoteLines(const std::vector<std::string>& lines, bool lastLineEnded, LeftNote& left);

// Reads the note left in the working directory (found false when none).
// A line without its end, or one that is no note line, is not an order.
LeftNote readLeftNote();
// Removes the note left in the working directory; one with damaged lines
// is set aside instead, the user told which orders it may have cost.
void removeLeftNote(const LeftNote& left);
