// Fault specifications and which call each one hits.
#include <gtest/gtest.h>

#include "faults.h"

using namespace mockgate;

TEST(Faults, ParsesEveryKind) {
    FaultSpec spec;
    std::string error;
    ASSERT_TRUE(parseFaultSpec("getOrders:3:slow:250", spec, error)) << error;
    EXPECT_EQ(spec.method, "getOrders");
    EXPECT_EQ(spec.call, 3);
    EXPECT_EQ(spec.kind, FaultKind::Slow);
    EXPECT_EQ(spec.slowMs, 250);
    const std::pair<const char*, FaultKind> kinds[] = {
        {"http500", FaultKind::Http500}, {"drop", FaultKind::Drop}, {"garbage", FaultKind::Garbage},
        {"truncated", FaultKind::Truncated}, {"error", FaultKind::Error}};
    for (const auto& kind : kinds) {
        ASSERT_TRUE(parseFaultSpec(std::string("setOrderStatus:1:") + kind.first, spec, error)) << kind.first;
        EXPECT_EQ(spec.kind, kind.second);
    }
}

TEST(Faults, RejectsMalformedSpecs) {
    FaultSpec spec;
    std::string error;
    for (const char* bad : {"getOrders", "getOrders:1", ":1:drop", "getOrders:0:drop", "getOrders:-1:drop",
                            "getOrders:x:drop", "getOrders:1:explode", "getOrders:1:slow", "getOrders:1:slow:",
                            "getOrders:1:slow:abc", "getOrders:1:drop:extra"}) {
        error.clear();
        EXPECT_FALSE(parseFaultSpec(bad, spec, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(Faults, CountsCallsPerMethod) {
    FaultPlan plan;
    FaultSpec spec;
    std::string error;
    ASSERT_TRUE(parseFaultSpec("getOrders:2:drop", spec, error));
    plan.add(spec);
    ASSERT_TRUE(parseFaultSpec("getOrders:2:slow:5", spec, error));
    plan.add(spec);
    ASSERT_TRUE(parseFaultSpec("getInvoices:1:error", spec, error));
    plan.add(spec);

    EXPECT_TRUE(plan.nextCall("getOrders").empty());
    EXPECT_TRUE(plan.nextCall("getOrderStatusList").empty());
    auto second = plan.nextCall("getOrders");
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].kind, FaultKind::Drop);
    EXPECT_EQ(second[1].kind, FaultKind::Slow);
    EXPECT_TRUE(plan.nextCall("getOrders").empty());
    EXPECT_EQ(plan.nextCall("getInvoices").size(), 1u);
    EXPECT_TRUE(plan.nextCall("getInvoices").empty());
}
