// The commands of the host program, run with the plug-in loaded and in
// service: each returns the program's exit status.
#pragma once

#include <string>
#include <vector>

int runImport();
int listDocuments();
int handleDocument(const std::vector<std::string>& arguments);
int raiseDocumentEvent(const std::vector<std::string>& arguments);
