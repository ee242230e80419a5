// The service methods that mockgate answers: getOrderStatusList,
// getOrders, getInvoices and setOrderStatus, each turning a decoded call
// into the UTF-8 JSON text of the reply.
#pragma once

#include <cstddef>
#include <string>

#include "form_decoding.h"
#include "shop.h"

namespace mockgate {

constexpr size_t kOrdersPageSize = 100;

// {"status":"ERROR","error_code":code,"error_message":message}
std::string errorReply(const std::string& code, const std::string& message);

// Checks the token, then runs the named method on the shop. The caller
// serialises calls: the shop is read and changed without locking.
std::string handleServiceCall(Shop& shop, const ServiceCall& call);

}  // namespace mockgate
