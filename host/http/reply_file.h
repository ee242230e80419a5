// The reply file of the host's HTTP function: after each request it holds
// exactly the reply.
#pragma once

#include <string>

namespace standin {

// Makes body the whole content of the named file, creating it when missing;
// false when the file cannot be opened or written.
bool storeReply(const std::string& name, const std::string& body);

}  // namespace standin
