// Taking the invoice number out of getInvoices replies of every shape.
#include <gtest/gtest.h>

#include <cstring>

#include "service/invoice_number.h"
#include "support/host_fixture.h"

namespace {

using InvoiceNumberTest = HostFixture;

std::string numberOf(const char* reply) {
  char number[40];
  std::memset(number, 'x', sizeof number);
  takeInvoiceNumber(reply, number, sizeof number);
  return number;
}

TEST_F(InvoiceNumberTest, FirstNonEmptyStringNumberOfAnInvoiceObjectIsTaken) {
  EXPECT_EQ(numberOf("{\"invoices\": [{\"number\": \"\"}, {\"number\": \"FV/2\"}, {\"number\": \"FV/3\"}]}"), "FV/2");
  EXPECT_EQ(numberOf("{\"invoices\": [\"FV/0\", 5, null, [{\"number\": \"FV/in\"}], {\"number\": 17},"
                     " {\"number\": null}, {}, {\"Number\": \"FV/case\"}, {\"number\": \"FV/9\"}]}"),
            "FV/9");
  EXPECT_EQ(numberOf("{\"status\": \"SUCCESS\", \"invoices\": [{\"invoice_id\": 1, \"number\": \"FV\\/1\\u0105\"}]}"),
            "FV/1\xC4\x85");
}

TEST_F(InvoiceNumberTest, RepliesWithoutAnInvoicesArrayLeaveTheNumberEmpty) {
  const char* replies[] = {
      nullptr,
      "",
      "  {\"invoices\": [{\"number\": \"FV/1\"}]}",
      "[{\"invoices\": [{\"number\": \"FV/1\"}]}]",
      "{\"invoices\": {\"number\": \"FV/1\"}}",
      "{\"invoices\": []}",
      "{\"invoices\": [{\"number\": \"FV/1\"}]",
      "{\"status\": \"ERROR\", \"error_code\": \"ERROR_BAD_TOKEN\"}",
      "<html><body>Service temporarily unavailable</body></html>",
  };
  for (const char* reply : replies) EXPECT_EQ(numberOf(reply), "") << (reply ? reply : "null");
}

}  // namespace
