// The one-time "Zainstalowano" notice at start and its "Pytaj" flag in the
// host's own profile ("tomiks.ini" in the host's working directory).
#include <gtest/gtest.h>

#include "frame/entry_points.h"
#include "frame/frame_fixture.h"

namespace {

class FirstRunNoticeTest : public FrameTest {
 protected:
  std::string profile() { return readWholeFile(workDir.file("tomiks.ini")); }
  int notices() { return standin::callCount(52023); }
};

TEST_F(FirstRunNoticeTest, ShownWhenTheFlagIsMissingAndTheAnswerKept) {
  standin::setNoticeFlagAnswer(1);
  ASSERT_EQ(ordinal_30008(0), 0);
  ASSERT_EQ(notices(), 1);
  EXPECT_EQ(callDetails(52023).front(), "1194 0");
  EXPECT_EQ(standin::messages().back().text, mazovia("Zainstalowano: Import zamówień z Marketgate"));
  EXPECT_NE(profile().find("[marketgate]"), std::string::npos) << profile();
  EXPECT_NE(profile().find("Pytaj=1"), std::string::npos) << profile();
  // Told once: the next start stays silent.
  ASSERT_EQ(ordinal_30001(nullptr, nullptr), 0);
  ASSERT_EQ(ordinal_30008(0), 0);
  EXPECT_EQ(notices(), 1);
}

TEST_F(FirstRunNoticeTest, UserWhoWantsToBeToldAgainIsToldAgain) {
  writeWholeFile(workDir.file("tomiks.ini"), "[marketgate]\nPytaj=0\n");
  ASSERT_EQ(ordinal_30008(0), 0);
  EXPECT_EQ(notices(), 1);
  EXPECT_NE(profile().find("Pytaj=0"), std::string::npos) << profile();
}

TEST_F(FirstRunNoticeTest, FlagOneKeepsTheNoticeAway) {
  writeWholeFile(workDir.file("tomiks.ini"), "[marketgate]\nPytaj=1\n");
  ASSERT_EQ(ordinal_30008(0), 0);
  EXPECT_EQ(notices(), 0);
  EXPECT_EQ(callDetails(52224), (std::vector<std::string>{"1 [marketgate] Pytaj %d"}));
}

TEST_F(FirstRunNoticeTest, QuietHostTouchesNeitherProfileNorNotice) {
  standin::setQuietMode(true);
  ASSERT_EQ(ordinal_30008(0), 0);
  EXPECT_EQ(notices(), 0);
  EXPECT_EQ(standin::callCount(52224), 0);
}

}  // namespace
