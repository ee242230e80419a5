// What an import does first with the note of taken-over orders that an
// earlier run left behind (it was cut short, or could not settle). Without
// the hand-off line the host never saw the run's file: the orders it moved
// go back to their incoming status through the journal and come again.
// With it and the import file still in place, nobody knows whether the host
// stored the documents: the orders are entered as booked, the file is kept
// under a name that says so, and the user is told which orders and file.
// With it and the file gone, the host took the file: the orders are booked.
#pragma once

struct BookedOrders;

// false (the user told) when the import must not start: the note could not
// be settled and stays for the next import.
bool settleInterruptedRun(const char* importFileName, BookedOrders& booked);
