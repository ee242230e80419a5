// runDialog from end to end through the host's dialog engine: the quiet
// host, importing with F12 (all twelve keys saved), leaving with ESC
// (nothing saved), the dialog showing the stored options and the service's
// statuses, keyboard editing, and a host that cannot build the dialog.
#include <gtest/gtest.h>

#include "dialog/dialog_fixture.h"
#include "hostlink/host_binding.h"
#include "hostlink/host_services.h"
#include "control/host_control.h"
#include "options/ini_files.h"

namespace {

using RunDialogTest = DialogFixture;

const char* const kStoredOptions =
    "[Statusy]\n"
    "StatusWePoz=1\n"
    "StatusWyPoz=2\n"
    "[Opcje]\n"
    "ZamowieniaCzyParagony=1\n"
    "Kontrahent=3\n"
    "SymbolPrzesylki=paczka\n"
    "NieDoklejajKwotyDoSymbPrzes=1\n";

TEST_F(RunDialogTest, QuietHostConfirmsWithoutShowingOrSaving) {
  writeWholeFile(iniPath(), kStoredOptions);
  standin::setQuietMode(true);
  EXPECT_EQ(runDialog(object), 20481);
  EXPECT_EQ(int{object.settings.StatusWyPoz}, 2) << "the stored options are loaded";
  EXPECT_EQ(int{object.settings.Kontrahent}, 3);
  EXPECT_EQ(readWholeFile(iniPath()), kStoredOptions) << "nothing saved";
  EXPECT_EQ(standin::callCount(24007), 0);
  EXPECT_EQ(standin::callCount(20972), 0);
}

TEST_F(RunDialogTest, QuietHostWithoutOptionsFileLeavesNoFile) {
  standin::setQuietMode(true);
  EXPECT_EQ(runDialog(object), 20481);
  EXPECT_EQ(readWholeFile(iniPath()), "");
  EXPECT_STREQ(object.settings.SymbolPrzesylki, "przesylka");
}

TEST_F(RunDialogTest, ImportingWithF12SavesAllTwelveKeys) {
  standin::scriptDialogAnswers(
      "StatusWePoz=2\nStatusWyPoz=1\nIdentyfikacja=2\nZamowieniaCzyParagony=4\nEanCzySku=1\nKontrahent=3\n"
      "WpisTowar=1\nSymbolPrzesylki=kurier DPD\nNieDoklejajKwotyDoSymbPrzes=1\nCoWpisacDoUwag=1\nbutton=F12\n");
  EXPECT_EQ(runDialog(object), 20481);
  EXPECT_EQ(standin::lastDialogError(), "");

  const std::pair<const char*, const char*> statuses[] = {
      {"StatusWePoz", "2"}, {"StatusWe", "30"}, {"StatusWyPoz", "1"}, {"StatusWy", "20"}};
  for (const auto& key : statuses) EXPECT_EQ(iniValue("Statusy", key.first), key.second) << key.first;
  const std::pair<const char*, const char*> options[] = {{"Identyfikacja", "2"},
                                                         {"ZamowieniaCzyParagony", "4"},
                                                         {"EanCzySku", "1"},
                                                         {"Kontrahent", "3"},
                                                         {"WpisTowar", "1"},
                                                         {"SymbolPrzesylki", "kurier DPD"},
                                                         {"NieDoklejajKwotyDoSymbPrzes", "1"},
                                                         {"CoWpisacDoUwag", "1"}};
  for (const auto& key : options) EXPECT_EQ(iniValue("Opcje", key.first), key.second) << key.first;

  ASSERT_EQ(standin::dialogRuns().size(), 1u);
  const standin::DialogRun& run = standin::dialogRuns()[0];
  EXPECT_EQ(run.fixedFirst, 1);
  EXPECT_EQ(run.fixedSecond, 0);
  EXPECT_EQ(run.answeredBy, "script");
  EXPECT_EQ(standin::callCount(20972), 2);
  EXPECT_EQ(standin::callCount(20973), 2);
}

TEST_F(RunDialogTest, LeavingWithEscSavesNothing) {
  writeWholeFile(iniPath(), kStoredOptions);
  standin::scriptDialogAnswers("StatusWePoz=0\nSymbolPrzesylki=inny\nbutton=ESC\n");
  EXPECT_EQ(runDialog(object), 20482);
  EXPECT_EQ(readWholeFile(iniPath()), kStoredOptions);
  EXPECT_EQ(int{object.settings.StatusWePoz}, 1) << "the record keeps what was loaded";
  EXPECT_STREQ(object.settings.SymbolPrzesylki, "paczka");
}

TEST_F(RunDialogTest, WithoutAnswersOrTerminalTheDialogIsCancelled) {
  standin::setTerminalDialogs(false);
  EXPECT_EQ(runDialog(object), 20482);
  EXPECT_EQ(readWholeFile(iniPath()), "");
  ASSERT_EQ(standin::dialogRuns().size(), 1u);
  EXPECT_EQ(standin::dialogRuns()[0].answeredBy, "none");
}

// The dialog as it opens over kStoredOptions and the three statuses: frame
// 100 x 21, pick lists showing their chosen item, the typed symbol, the
// check box set; the empty label outside the frame is not drawn.
const char* const kOpenedDialog =
    "+--------------------------------------- Import Marketgate ----------------------------------------+\n"
    "|                                                                                                  |\n"
    "| Pobierz zamowienia ze statusem:                  Gdy nie rozpoznano kontrahenta:                 |\n"
    "|  20 - W realizacji                         v      Nie dopisuj (tylko na fakturze)           v    |\n"
    "|                                                                                                  |\n"
    "| Po wyswietleniu zamowienia zmien status na:      Gdy nie rozpoznano towaru:                      |\n"
    "|  30 - Wysłane                              v      Nie dopisuj do mag.(tylko na fakturze)    v    |\n"
    "|                                                                                                  |\n"
    "| Identyfikuj towary po:                           Symbol przesyłki:   paczka________              |\n"
    "|  Symbolu                                   v                                                     |\n"
    "|                                                  [x] Nie dodawaj kwoty do symbolu przesyłki      |\n"
    "| Wczytaj zamówienia do:                                                                           |\n"
    "|  Paragonów lub faktur                      v     Do uwag wpisuj:                                 |\n"
    "|                                                   Nr zam. i email                           v    |\n"
    "| Do symbolu wpisuj:                                                                               |\n"
    "|  EAN                                       v                                                     |\n"
    "|                                                                                                  |\n"
    "|                                 [F12 Importuj]    [ESC Anuluj]                                   |\n"
    "|                                                                                                  |\n"
    "|                                                                                                  |\n"
    "+--------------------------------------------------------------------------------------------------+\n";

TEST_F(RunDialogTest, DialogOpensWithTheStoredOptionsAndTheServiceStatuses) {
  writeWholeFile(iniPath(), kStoredOptions);
  standin::scriptDialogAnswers("button=ESC");
  EXPECT_EQ(runDialog(object), 20482);
  EXPECT_EQ(standin::lastDialogRendering(), kOpenedDialog);
  EXPECT_EQ(standin::lastDialogRendering(standin::DialogMoment::closed), kOpenedDialog) << "nothing changed";
}

}  // namespace
