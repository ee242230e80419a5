// The reply file of the host's HTTP function: after each request it holds
// exactly the reply. Where the system reports what happens to the file's
// name, the file stays open from one request to the next.
#pragma once

#include <string>

namespace standin {

// Makes body the whole content of the named file, creating it when missing;
// false when the file cannot be opened or written.
bool storeReply(const std::string& name, const std::string& body);

}  // namespace standin
