// Import files of one page of orders for every document kind, compared byte
// for byte with the golden files.
#include <gtest/gtest.h>

#include "control/host_control.h"
#include "import/golden_page.h"
#include "import/import_fixture.h"

namespace {

class GoldenTranslationTest : public ImportTest, public ::testing::WithParamInterface<int> {};

TEST_P(GoldenTranslationTest, PageMatchesTheGoldenFile) {
  int kind = GetParam();
  startShop(shopJson({}, goldenInvoices()));
  int symbolSource = kind == 1 || kind == 3 ? 1 : 0;
  int result = -2;
  std::string written = translatePage(ordersReply(goldenOrders()), kind, symbolSource, nullptr, &result);
  EXPECT_EQ(result, 0);
  std::string expected = goldenFile("kind" + std::to_string(kind) + ".edi");
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(written, expected);
  EXPECT_EQ(requestCount("getInvoices"), 1) << "only the order with a tax id";
  EXPECT_EQ(standin::callCount(51774), 1) << "one EUR order asks for one rate";
}

INSTANTIATE_TEST_SUITE_P(DocumentKinds, GoldenTranslationTest, ::testing::Values(0, 1, 2, 3, 4, 7));

}  // namespace
