// The commands of the host program, run with the plug-in loaded and in
// service: each returns the program's exit status.
#pragma once

#include <string>
#include <vector>

// Whether handle or event names a stored document (or, naming none, one is
// stored); other commands pass. False with the reason.
bool checkNamedDocument(const std::string& command, const std::vector<std::string>& arguments, std::string& error);

int runImport();
// The stored documents, readable or (asTable) one tab-separated line each.
int listDocuments(bool asTable);
int handleDocument(const std::vector<std::string>& arguments, bool throughList);
int raiseDocumentEvent(const std::vector<std::string>& arguments);
