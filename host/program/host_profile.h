// The host program's own profile "tomiks.ini" in its working directory:
// made on first run, and the order service's address kept in it.
#pragma once

#include <string>

// Makes the working directory and the profile when they are missing; false
// with a reason when the directory cannot be made.
bool prepareWorkDirectory(const std::string& directory, std::string& error);

// [Service] BaseUrl of the profile; "" when not set.
std::string profileServiceUrl(const std::string& directory);

// The profile's path in directory.
std::string profilePath(const std::string& directory);

// ~/.tomiks, or ./tomiks-data without a home directory.
std::string defaultWorkDirectory();
