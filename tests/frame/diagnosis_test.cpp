// The compatibility diagnosis: one "STOP!!!" message per run, the first
// check that finds a problem speaking, each text as the user sees it.
#include <gtest/gtest.h>

#include "frame/diagnosis.h"
#include "frame/entry_points.h"
#include "frame/frame_fixture.h"
#include "frame/frame_state.h"
#include "frame/table_hooks.h"
#include "control/table_control.h"

namespace {

class DiagnosisTest : public FrameTest {
 protected:
  // Runs the diagnosis through its entry point and returns the one message.
  standin::ShownMessage diagnosis() {
    standin::clearMessages();
    standin::clearCalls();
    EXPECT_EQ(ordinal_30008(1), 0);
    std::vector<standin::ShownMessage> shown = titledMessages();
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(standin::messages().size(), 1u) << "nothing but the STOP!!! message";
    return shown.empty() ? standin::ShownMessage{} : shown.front();
  }

  std::string missingFunctionsText(const std::string& listUtf8, const std::string& pronoun) {
    return mazovia("Wtyczka \"Import zamówień z Marketgate\" potrzebuje zaimportować\n" + listUtf8 +
                   " z modułu głównego,\njednak moduł główny " + pronoun +
                   " nie posiada. Aby naprawić tę sytuację\n"
                   "zainstaluj aktualizację programu oraz wtyczki.\n\nWTYCZKA NIE ZOSTANIE ZAŁADOWANA!!!\n");
  }

  std::string baseName() const { return frameState().moduleBaseName; }
};

TEST_F(DiagnosisTest, StopMessageGoesToTheHostWithItsContextStyleAndLeadWord) {
  standin::ShownMessage shown = diagnosis();
  EXPECT_EQ(shown.title, "STOP!!!");
  std::vector<std::string> details = callDetails(35804);
  ASSERT_EQ(details.size(), 1u);
  EXPECT_EQ(details[0], "15000 61441 lead 28206");  // 0xF001, 0x00006E2E
}

TEST_F(DiagnosisTest, OneMissingFunctionIsNamedWithItsNumber) {
  rebindWithout({20940});
  EXPECT_EQ(diagnosis().text, missingFunctionsText("funkcję o numerze 20940", "jej"));
}

TEST_F(DiagnosisTest, SeveralMissingFunctionsAreListedAscending) {
  // The list is sorted before it is shown, whatever order the misses
  // were recorded in.
  rebindWithout({52256, 20940, 30018});
  EXPECT_EQ(diagnosis().text, missingFunctionsText("funkcje o numerach 20940, 30018, 52256", "ich"));
}

TEST_F(DiagnosisTest, ElevenMissingFunctionsListTheEightKept) {
  // In binding order the first eight are 52401 52021 35387 52020 22900
  // 22934 22935 22894; 22892 51757 52305 are counted only.
  rebindWithout({52305, 51757, 22892, 22894, 22935, 22934, 22900, 52020, 35387, 52021, 52401});
  EXPECT_EQ(diagnosis().text,
            missingFunctionsText("funkcje o numerach 22894, 22900, 22934, 22935, 35387, 52020, 52021, 52401", "ich"));
}

TEST_F(DiagnosisTest, FeaturesTheHostDeniesComeFirst) {
  rebindWithout({20940});
  standin::setMissingFeatures(0x6);
  EXPECT_EQ(ordinal_30001(featureFunction, nullptr), -1);
  EXPECT_EQ(diagnosis().text, mazovia("Program nie obsługuje cech 0x00000006,\nktóre są niezbędne dla modułu "
                                      "'Import zamówień z Marketgate'."));
  EXPECT_EQ(callDetails(30006), (std::vector<std::string>{"1 4294967295"}));
}

TEST_F(DiagnosisTest, HostThatNeverRanTheLoadCheckIsAskedForTheRealFeatures) {
  // Without a load check the stored mask would still be all ones.
  standin::setInterfaceLevel(113);
  std::string text = diagnosis().text;
  EXPECT_EQ(text.find("cech"), std::string::npos) << text;
}

TEST_F(DiagnosisTest, WithoutFeatureFunctionTheFeatureStepFindsNothing) {
  frameState().featureFunction = nullptr;
  standin::setMissingFeatures(0xFFFFFFFF);
  standin::setInterfaceLevel(111);
  std::string text = diagnosis().text;
  EXPECT_EQ(standin::callCount(30006), 0);
  EXPECT_NE(text.find(mazovia("różnych wersjach")), std::string::npos) << text;
}

TEST_F(DiagnosisTest, RefusingVerificationShowsTheHostsOwnExplanation) {
  standin::setVerifyRefusal(mazovia("Moduł nie jest podpisany."));
  EXPECT_EQ(diagnosis().text, mazovia("Moduł nie jest podpisany."));
  // The check itself hands the host the whole buffer.
  EXPECT_EQ(callDetails(30018).front(), "3072");
}

TEST_F(DiagnosisTest, InterfaceLevelOfAnotherVersionShowsTheVersionsText) {
  standin::setInterfaceLevel(113);
  std::string name = baseName();
  EXPECT_EQ(diagnosis().text, mazovia("Moduł \"" + name +
                                      "\" i program występują w różnych wersjach!\n\n"
                                      "Został zakualizowany tylko program albo tylko moduł,\na nie oba jednocześnie! "
                                      "Aby naprawić tę sytuację\nzainstaluj aktualizację programu wraz z modułem \"" +
                                      name + "\".\n\nMODUŁ NIE ZOSTANIE ZAŁADOWANY!!!\n"));
}

TEST_F(DiagnosisTest, EveryCheckPassingEndsInTheClosingText) {
  std::string name = baseName();
  // Mazovia bytes as stored: ł 0x92, ę 0x91, Ę 0x90.
  EXPECT_EQ(diagnosis().text, "Modu\x92 \"" + name +
                                  "\" nie zosta\x92 poprawnie zainicjowany,\nwi\x91"
                                  "c NIE B\x90"
                                  "DZIE AKTYWNY!");
}

TEST_F(DiagnosisTest, SizeMismatchesAreTabledWithBrakForAMissingTable) {
  standin::removeTable(44);
  standin::setTableRecordSize(45, 514);
  EXPECT_EQ(ordinal_30001(featureFunction, nullptr), -1);
  std::string name = baseName();
  EXPECT_EQ(diagnosis().text, mazovia("Rozmiary rekordów niektórych tabel nie zgadzają się\nmiędzy programem a wtyczką "
                                      "'Import zamówień z Marketgate' (moduł '" +
                                      name +
                                      "'):\n\n"
                                      "\x01tl18l33\x01TABELA\tWE WTYCZCE\tW PROGRAMIE\n"
                                      "\x01tp25p40\x01Tspr\t1469\tbrak\n"
                                      "\x01tp25p40\x01Tspr_dok\t515\t514\n"
                                      "\nModuł \x02" +
                                      name + "\x01\nNIE zostanie załadowany!"));
}

TEST_F(DiagnosisTest, RunsAnyNumberOfTimesWithOneMessageEach) {
  rebindWithout({20940});
  std::string first = diagnosis().text;
  EXPECT_EQ(diagnosis().text, first);
}

}  // namespace
