// Copies of the files the universal import read, kept under "imported/" in
// the working directory so that tests and users can see what was imported.
#pragma once

#include <string>

namespace standin {

// Copies the file at source to "imported/NNNN-<name>", NNNN one more than
// the copies already there.
void keepImportedCopy(const std::string& name, const std::string& source);

}  // namespace standin
