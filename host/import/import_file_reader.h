// The stand-in's reader of universal-import files: checks a file strictly
// (header, order of sections, known keys per section, well-formed values)
// and gives its documents, or the first line that breaks the format.
#pragma once

#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

struct ImportEntry {
  std::string_view key;  // one of the reader's known keys (static text)
  std::string value;     // bytes as in the file (Windows-1250)
};

struct ImportPosition {
  int number;  // N of "[PozN]"
  std::vector<ImportEntry> entries;
  const std::string* find(std::string_view key) const;
};

struct ImportDocument {
  int line;  // of its "[Dokument]" header
  std::string registerName;
  std::vector<ImportEntry> entries;  // "Rejestr" first
  std::vector<ImportPosition> positions;
  const std::string* find(std::string_view key) const;
  bool isCustomerRecord() const { return registerName == "Firmy"; }
};

// The outcome of reading a file: ok, or the first faulty line and why (a
// store that refused a document stops the reading with errorLine 0).
struct ImportFileCheck {
  bool ok = false;
  int errorLine = 0;  // 1-based line of the first fault
  std::string error;  // what is wrong there (UTF-8)
};

// Receives each complete document in file order (valid only during the
// call); false stops the reading.
using ImportDocumentSink = std::function<bool(const ImportDocument&)>;

// Reads the file line by line and hands over each document once it is
// complete, so that a file of any size is never held whole. A fault found
// later does not take back documents already handed over: the receiver
// keeps them apart until the check succeeds.
ImportFileCheck readImportFile(std::istream& in, const ImportDocumentSink& sink);

}  // namespace standin
