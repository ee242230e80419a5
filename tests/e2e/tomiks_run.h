// Running the host program "tomiks" as a user does: one command line, its
// output and exit status, with its working directory and the order service
// stand-in of the test.
#pragma once

#include <string>
#include <vector>

struct TomiksRun {
  int status = -1;
  std::string output;  // standard output
  std::string errors;  // standard error
};

// Runs build/bin/tomiks with the words given (no shell), standard input
// empty, and waits for it.
TomiksRun runTomiks(const std::vector<std::string>& words);
// Starts it the same way without waiting, its output going to the two
// files; the child's process id.
int startTomiks(const std::vector<std::string>& words, const std::string& outPath, const std::string& errPath);

std::string tomiksPath();
// The words that start tomiks (an emulator first where one is needed).
std::vector<std::string> tomiksCommand();
// The sample data of the repository (data/...).
std::string sampleFile(const std::string& name);
// How many times text occurs in haystack.
int occurrences(const std::string& haystack, const std::string& text);
