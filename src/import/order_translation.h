// Translation of one page of the service's orders (a getOrders reply) into
// documents of the host's universal import, appended to the open import
// file; taken-over orders are moved on to the outgoing status.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

struct BookedOrders;
struct ImportFile;
struct JsonValue;
struct TakenOverNote;

// Orders per page of the getOrders method: a full page means more may follow.
constexpr uint32_t kOrdersPageSize = 100;

// What one import run has met. A page that repeats an order (the
// confirmation-date bound is inclusive) leaves it alone; so does an order
// booked by an earlier run or one whose status change still waits.
struct SeenOrders {
  std::unordered_set<double> ids;
  BookedOrders* booked = nullptr;           // null: none skipped
  std::unordered_set<std::string> waiting;  // orders in the journal of status changes
  int32_t outgoingStatusId = 0;             // the status taken-over orders get
  int32_t incomingStatusId = 0;             // the status they come from
  TakenOverNote* note = nullptr;            // where taken-over orders are noted first
  std::vector<std::string> written;         // order numbers written in this run
  uint32_t skipped = 0;                     // met, but booked before
  uint32_t failedPushes = 0;                // taken over, status not moved
  bool stopped = false;              // the note or the import file could not be written: nothing more is taken over
  std::vector<std::string> refused;  // ids as sent of orders not carried faithfully
  std::unordered_set<std::string> refusedOrders;  // their texts, each order named once
  std::vector<std::string> invoicesNotFetched;    // written without their invoice number
  bool serviceSilent = false;                     // a request got no answer: take over no more
  bool pageOfOneMoment = false;                   // the last page full, of one confirmation time
  bool momentOverflow = false;                    // orders of one moment left beyond reach
};

// Translates the orders of one reply. 0 when the reply held an "orders"
// array, -1 when it was unusable (nothing written then). A page of exactly
// 100 orders stores the last order's "date_confirmed" in *nextPageDate,
// which is left alone otherwise. An order that cannot be carried faithfully
// (see readOrderValues) is neither written nor moved. With seen given,
// orders already in it (or booked before) are skipped whole, every order
// read is added to it, and the orders written, refused, without their
// invoice number and their status changes that failed are noted there (the
// failed changes also in the journal of changes to repeat); once a request
// got no answer no further order is taken over (seen->serviceSilent).
int translateOrders(const char* reply, void* file, int32_t documentKind, int32_t symbolSource, int32_t* nextPageDate,
                    SeenOrders* seen = nullptr);
// The same for a reply already parsed (root may be null: unusable), into
// the run's import file. An order is noted (seen->note) before its document
// is written; its status is moved only once its note line is on the disk
// and its document's head went into the file. After a write that failed
// nothing more is written or moved, and seen->stopped is set. reply, when
// given, is the tree's text, which names refused orders as the service sent them.
int translateOrderTree(const JsonValue* root, ImportFile* file, int32_t documentKind, int32_t symbolSource,
                       int32_t* nextPageDate, SeenOrders* seen = nullptr, const char* reply = nullptr);

// Capacity of the shipment symbol: 19 characters and the terminator.
constexpr size_t kShipmentSymbolSize = 20;

// The symbol of the shipping position for the amount: the stored symbol (or
// "przesylka") with the amount appended unless the options say otherwise;
// cut to capacity - 1 characters. Returns symbol.
char* shipmentSymbol(char* symbol, size_t capacity, double amount);

// 1 when the tax id holds an ASCII letter or digit; otherwise empties it and
// gives 0.
int taxIdPresent(char* taxId);
