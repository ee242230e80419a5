// The host's dialog engine as the plug-in's dialog meets it: keyboard
// editing (pick lists, the 16-character symbol typed in the host's code
// page, the check box by Space and by its hot key), answers that cannot be
// applied, description records it refuses, an empty status list, and a host
// that cannot build the auxiliary objects.
#include <gtest/gtest.h>

#include <cstring>

#include "dialog/dialog_fixture.h"
#include "hostlink/host_binding.h"
#include "hostlink/host_services.h"
#include "control/host_control.h"
#include "settings/dialog_description.h"

namespace {

using DialogEngineTest = DialogFixture;

TEST_F(DialogEngineTest, KeyboardPicksTypesAndConfirms) {
  // Focus order: the ten input controls, then the two buttons.
  standin::scriptDialogAnswers(
      "keys=Enter Down Down Enter Tab Enter Down Esc Tab Tab Tab Tab Tab Tab "
      "Backspace Backspace Backspace Backspace Backspace Backspace Backspace Backspace Backspace "
      "\"\xC5\x82\xC3\xB3\x64\xC5\xBA 1234567890abc\" Tab Space Down Down Enter\n");
  EXPECT_EQ(runDialog(object), 20481);
  EXPECT_EQ(standin::lastDialogError(), "");
  EXPECT_EQ(int{object.settings.StatusWePoz}, 2);
  EXPECT_EQ(int{object.settings.StatusWyPoz}, 0) << "a list left with ESC keeps its choice";
  // łódź in Mazovia, then the typed text up to 16 characters.
  EXPECT_STREQ(object.settings.SymbolPrzesylki,
               "\x92\xA2"
               "d"
               "\xA6"
               " 1234567890a");
  EXPECT_EQ(int{object.settings.NieDoklejajKwotyDoSymbPrzes}, 1);
  EXPECT_EQ(iniValue("Opcje", "SymbolPrzesylki"),
            "\x92\xA2"
            "d"
            "\xA6"
            " 1234567890a");
  EXPECT_EQ(iniValue("Statusy", "StatusWe"), "30");
}

TEST_F(DialogEngineTest, HotKeyLetterTogglesTheCheckBoxAndF12ClosesAnOpenList) {
  standin::scriptDialogAnswers("keys=\"n\" Up Up Enter Down F12\n");
  EXPECT_EQ(runDialog(object), 20481);
  EXPECT_EQ(int{object.settings.NieDoklejajKwotyDoSymbPrzes}, 1);
  EXPECT_EQ(int{object.settings.Kontrahent}, 0) << "the open list's cursor is not taken";
}

TEST_F(DialogEngineTest, AnswersThatCannotBeAppliedCancelAndSaveNothing) {
  const char* const scripts[] = {
      "Bogus=1",
      "StatusWePoz=3",
      "StatusWePoz=-1",
      "Identyfikacja=Symbolu",
      "NieDoklejajKwotyDoSymbPrzes=2",
      "keys=Tab Jump",
      "keys=\"unclosed",
      "keys=Tab",
      "button=F13",
      "just words",
      "keys=Esc\nbutton=F12",
  };
  for (const char* script : scripts) {
    standin::scriptDialogAnswers(script);
    EXPECT_EQ(runDialog(object), 20482) << script;
    EXPECT_NE(standin::lastDialogError(), "") << script;
  }
  EXPECT_EQ(readWholeFile(iniPath()), "");
}

TEST_F(DialogEngineTest, EmptyStatusListLeavesBothStatusListsEmpty) {
  MarketgateStatus empty;
  constructMarketgateStatus(empty);
  standin::scriptDialogAnswers("StatusWePoz=0");
  EXPECT_EQ(runDialog(empty), 20482);
  EXPECT_NE(standin::lastDialogError().find("0 items"), std::string::npos) << standin::lastDialogError();

  standin::scriptDialogAnswers("Identyfikacja=1\nbutton=F12");
  EXPECT_EQ(runDialog(empty), 20481);
  EXPECT_EQ(iniValue("Opcje", "Identyfikacja"), "1");
  EXPECT_EQ(iniValue("Statusy", "StatusWePoz"), "0");
  // Rows 3 and 6 hold the two status lists: nothing shown before the mark.
  std::string opened = standin::lastDialogRendering();
  const std::string emptyList = "|" + std::string(44, ' ') + "v";
  EXPECT_EQ(opened.substr(3 * 101, emptyList.size()), emptyList) << opened;
  EXPECT_EQ(opened.substr(6 * 101, emptyList.size()), emptyList) << opened;
  destroyMarketgateStatus(empty);
}

// Runs the host's dialog function on the fixture's object with a given
// description, its auxiliary objects built as the plug-in builds them.
int16_t runWithDescription(MarketgateStatus& object, const std::vector<uint8_t>& description) {
  host_abi::HostObjectStorage first{}, second{};
  hostAuxDialogConstruct(&first, &object);
  hostAuxDialogConstruct(&second, &object);
  auto value = [](host_abi::HostObjectStorage& aux) {
    void* const* operations = *reinterpret_cast<void* const* const*>(aux.bytes);
    return reinterpret_cast<host_abi::AuxDialogValueFn>(operations[1])(&aux);
  };
  int32_t firstValue = value(first), secondValue = value(second);
  int16_t result = hostRunDialog(&object, description.data(), &object.settings, secondValue, firstValue);
  hostAuxDialogDestroy(&second);
  hostAuxDialogDestroy(&first);
  return result;
}

TEST_F(DialogEngineTest, MalformedDescriptionIsRefusedWithAReason) {
  std::vector<uint8_t> description(settingsDialogDescription(),
                                   settingsDialogDescription() + settingsDialogDescriptionSize());
  description[6] = 23;  // one control more than the record holds
  object.settings.EanCzySku = 1;
  standin::scriptDialogAnswers("EanCzySku=0\nbutton=F12");
  EXPECT_EQ(runWithDescription(object, description), 0);
  EXPECT_NE(standin::lastDialogError().find("description record"), std::string::npos) << standin::lastDialogError();
  EXPECT_EQ(int{object.settings.EanCzySku}, 1) << "nothing written";
  ASSERT_FALSE(standin::messages().empty());
  EXPECT_EQ(standin::dialogRuns().back().answeredBy, "refused");
  EXPECT_EQ(standin::pendingDialogAnswers(), 1) << "the answers wait for the next dialog";
  standin::clearDialogAnswers();
}

TEST_F(DialogEngineTest, AnswersFromAFileServeSuccessiveDialogs) {
  writeWholeFile(workDir.file("answers.txt"),
                 "# first dialog\nEanCzySku=1\nbutton=F12\n---\nEanCzySku=0\nbutton=ESC\n");
  ASSERT_TRUE(standin::loadDialogAnswers(workDir.file("answers.txt")));
  EXPECT_EQ(standin::pendingDialogAnswers(), 2);
  EXPECT_EQ(runDialog(object), 20481);
  EXPECT_EQ(runDialog(object), 20482);
  EXPECT_EQ(int{object.settings.EanCzySku}, 1);
  EXPECT_EQ(iniValue("Opcje", "EanCzySku"), "1");
  EXPECT_FALSE(standin::loadDialogAnswers(workDir.file("missing.txt")));
}

class HostWithoutAuxObjects : public DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    standin::withholdOrdinal(20972);
    resetHostBinding();
    bindAllHostFunctions();
  }
  void TearDown() override {
    standin::clearWithheldOrdinals();
    resetHostBinding();
    bindAllHostFunctions();
    DialogFixture::TearDown();
  }
};

TEST_F(HostWithoutAuxObjects, DialogIsNotRunAndNothingSaved) {
  standin::scriptDialogAnswers("button=F12");
  EXPECT_EQ(runDialog(object), 20482);
  EXPECT_EQ(standin::callCount(24007), 0);
  EXPECT_EQ(readWholeFile(iniPath()), "");
  standin::clearDialogAnswers();
}

}  // namespace
