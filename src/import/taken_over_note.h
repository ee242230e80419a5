// The note of orders a run takes over on the service: one line an order,
// written before its status is moved and handed to the system at once, so
// that a run cut short (the host killed or crashed before its universal
// import) leaves behind which orders left the incoming status unbooked.
// The next import moves them back, and they are imported again.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

constexpr char kTakenOverName[] = "marketgate-przejete.txt";

struct TakenOverNote {
  std::FILE* file;  // null: nothing is noted
  std::string path;
};

// Starts the run's note (none when it cannot be made: the run goes on).
void startTakenOverNote(TakenOverNote& note);
// Notes the order (decimal text) and the status it comes from.
void noteTakenOver(TakenOverNote& note, const char* order, int32_t incomingStatusId);
// The run handed its file over (or kept it): the note goes.
void endTakenOverNote(TakenOverNote& note);

// Orders a run cut short before its hand-off took over (its import file,
// importFileName, is still there), each kept in the journal of status
// changes to go back to the status it came from; the note is removed. The
// number of orders sent back.
uint32_t sendBackInterruptedRun(const char* importFileName);
