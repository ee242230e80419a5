// The stand-in's reader of universal-import files: checks a file strictly
// (header, order of sections, known keys per section, well-formed values)
// and gives its documents, or the first line that breaks the format.
#pragma once

#include <string>
#include <vector>

namespace standin {

struct ImportEntry {
  std::string key;
  std::string value;  // bytes as in the file (Windows-1250)
};

struct ImportPosition {
  int number;  // N of "[PozN]"
  std::vector<ImportEntry> entries;
  const std::string* find(const std::string& key) const;
};

struct ImportDocument {
  int line;  // of its "[Dokument]" header
  std::string registerName;
  std::vector<ImportEntry> entries;  // "Rejestr" first
  std::vector<ImportPosition> positions;
  const std::string* find(const std::string& key) const;
  bool isCustomerRecord() const { return registerName == "Firmy"; }
};

struct ImportFileContent {
  bool ok = false;
  int errorLine = 0;      // 1-based line of the first fault
  std::string error;      // what is wrong there (UTF-8)
  std::vector<ImportDocument> documents;
};

ImportFileContent readImportFile(const std::string& bytes);

}  // namespace standin
