// Fault rules and which call each one hits.
#include <gtest/gtest.h>

#include "faults.h"

using namespace mockgate;

TEST(Faults, ParsesEveryKind) {
    FaultRule rule;
    std::string error;
    ASSERT_TRUE(parseFaultRule("getOrders:3:slow:250", rule, error)) << error;
    EXPECT_EQ(rule.method, "getOrders");
    EXPECT_EQ(rule.call, 3);
    EXPECT_EQ(rule.kind, FaultKind::Slow);
    EXPECT_EQ(rule.slowMs, 250);
    const std::pair<const char*, FaultKind> kinds[] = {
        {"http500", FaultKind::Http500},     {"drop", FaultKind::Drop},   {"garbage", FaultKind::Garbage},
        {"truncated", FaultKind::Truncated}, {"error", FaultKind::Error}, {"http429", FaultKind::Http429},
        {"reordered", FaultKind::Reordered}};
    for (const auto& kind : kinds) {
        ASSERT_TRUE(parseFaultRule(std::string("setOrderStatus:1:") + kind.first, rule, error)) << kind.first;
        EXPECT_EQ(rule.kind, kind.second);
    }
}

TEST(Faults, RejectsMalformedRules) {
    FaultRule rule;
    std::string error;
    for (const char* bad :
         {"getOrders", "getOrders:1", ":1:drop", "getOrders:0:drop", "getOrders:-1:drop", "getOrders:x:drop",
          "getOrders:1:explode", "getOrders:1:slow", "getOrders:1:slow:", "getOrders:1:slow:abc",
          "getOrders:1:drop:extra", "getOrders:+:drop", "getOrders:2++:drop"}) {
        error.clear();
        EXPECT_FALSE(parseFaultRule(bad, rule, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(Faults, CountsCallsPerMethod) {
    FaultPlan plan;
    FaultRule rule;
    std::string error;
    ASSERT_TRUE(parseFaultRule("getOrders:2:drop", rule, error));
    plan.add(rule);
    ASSERT_TRUE(parseFaultRule("getOrders:2:slow:5", rule, error));
    plan.add(rule);
    ASSERT_TRUE(parseFaultRule("getInvoices:1:error", rule, error));
    plan.add(rule);

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

TEST(Faults, OnwardRuleHitsEveryCallFromItsNumber) {
    FaultPlan plan;
    FaultRule rule;
    std::string error;
    ASSERT_TRUE(parseFaultRule("setOrderStatus:3+:http500", rule, error)) << error;
    EXPECT_TRUE(rule.onward);
    plan.add(rule);
    EXPECT_TRUE(plan.nextCall("setOrderStatus").empty());
    EXPECT_TRUE(plan.nextCall("setOrderStatus").empty());
    for (int call = 3; call <= 6; ++call) EXPECT_EQ(plan.nextCall("setOrderStatus").size(), 1u) << call;
    EXPECT_TRUE(plan.nextCall("getOrders").empty());
}
