// The history of imports in the host's working directory, a plain text in
// Windows-1250 for the shop owner: every import appends one entry of what it
// did and of every message it showed, a handled document whose status push
// failed appends one line. The oldest entries leave past the file's bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

constexpr char kImportHistoryName[] = "marketgate-historia.txt";
// Held while the history is read and replaced.
constexpr char kImportHistoryLockName[] = "marketgate-historia.lock";
// Entries dated more than this many days before today leave the history,
// and then the oldest while the file would be larger than the bytes.
constexpr long kImportHistoryDays = 366;
constexpr size_t kImportHistoryBytes = 2 * 1024 * 1024;

// Headings of the order lists of an entry (Mazovia, as every text).
constexpr char kHistoryBooked[] = "Zaimportowane";
constexpr char kHistorySkipped[] = "Pomini\x91te, zaimportowane wcze\x9Eniej";
constexpr char kHistoryNotTaken[] = "Niezaimportowane, plik odrzucony albo niezapisany";
constexpr char kHistoryRefused[] = "Odrzucone, nie pobrane";
constexpr char kHistoryInDoubt[] = "Niepewne, import uniwersalny przerwany";
constexpr char kHistoryPushMoved[] = "Zmiana statusu ponowiona z powodzeniem";
constexpr char kHistoryPushWaiting[] = "Zmiana statusu czeka na ponowienie";
constexpr char kHistoryPushGivenUp[] = "Zaniechana zmiana statusu";

// What the import in progress has done: lines in the order noted, orders
// under the headings of their lists, and the messages it showed.
struct ImportHistory {
  std::string started;                                                       // "YYYY-MM-DD HH:MM:SS"
  std::vector<std::string> notes;                                            // Windows-1250
  std::vector<std::pair<std::string, std::vector<std::string>>> orderLists;  // heading (Mazovia), orders
  std::vector<std::string> messages;                                         // Mazovia, as shown
};

// Makes the record the import in progress: whatever is noted and every
// message shown until endImportHistory goes into its entry.
void startImportHistory(ImportHistory& history);
// Appends the import's entry to the history and ends the import's record;
// false (the user told) when the history could not be written. Never
// changes anything else.
bool endImportHistory(ImportHistory& history);

// A line of what the import in progress did (Mazovia); nothing outside one.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void noteInHistory(const char* format, ...);
// An order (its number) under the heading in the import's entry.
void noteOrderInHistory(const char* heading, const std::string& order);
void noteOrdersInHistory(const char* heading, const std::vector<std::string>& orders);
// A status the import used: "LABEL: NAME (id ID)", the name in UTF-8.
void noteStatusInHistory(const char* label, int32_t id, const char* name, size_t nameCapacity);

// An event outside an import (Mazovia): a dated line of its own, or a line
// of the import's entry while one runs; false (the user told) when the
// history could not be written.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
bool addHistoryLine(const char* format, ...);

// The history's lines once the entry is added: the comment at the top
// anew, entries dated more than kImportHistoryDays before today out, then
// the oldest out while the whole (line ends counted as two bytes) would be
// larger than maxBytes; the new entry always stays. Lines read before the
// first dated one count as one undated entry, the oldest.
std::vector<std::string> boundedHistory(const std::vector<std::string>& old, const std::vector<std::string>& entry,
                                        const std::string& today, size_t maxBytes);
