// The converting writer of the import file: what reaches the file, in which
// code page, and what happens when the host has no memory for a line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "control/host_control.h"
#include "hostlink/host_services.h"
#include "import/import_file.h"
#include "support/host_fixture.h"

namespace {

class ImportFileTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    path = workDir.file("lines.edi");
    file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
  }
  std::string written() {
    std::fclose(file);
    file = nullptr;
    return readTextFile(path);
  }
  void TearDown() override {
    if (file != nullptr) std::fclose(file);
    HostFixture::TearDown();
  }
  std::string path;
  std::FILE* file = nullptr;
};

TEST_F(ImportFileTest, ValuesReachTheFileAsWindows1250WithPercentSignsUnchanged) {
  _fprintfUTF(file, "Nazwa=%s\n", "Rabat 10% na \xC5\x82\xC4\x85\xC5\x9B" "ciek %s %d");
  _fprintfUTF(file, "Uwagi=%s\n", "");
  _fprintfUTF(file, "WalutaKurs=%.4f\n", 4.2);
  hostFileWrite(file, "Vat=%.0f %%\n", 8.0);
  EXPECT_EQ(written(), "Nazwa=Rabat 10% na \xB3\xB9\x9C" "ciek %s %d\nUwagi=\nWalutaKurs=4.2000\nVat=8 %\n");
  EXPECT_EQ(standin::callCount(35387), 3);
}

TEST_F(ImportFileTest, HeaderIsThreeLinesAndAnEmptyOne) {
  writeImportFileHeader(file);
  EXPECT_EQ(written(), "[Info]\nProgram=Marketgate\nKodowanie=Windows 1250\n\n");
}

TEST_F(ImportFileTest, LineLongerThanTheWorkBlockIsWrittenWhole) {
  std::string name(kFormatBlockSize + 1000, 'a');
  name.replace(kFormatBlockSize - 2, 2, "\xC5\x82");  // a letter across the block's end
  _fprintfUTF(file, "Nazwa=%s\n", name.c_str());
  std::string expected = "Nazwa=" + name + "\n";
  expected.replace(6 + kFormatBlockSize - 2, 2, "\xB3");
  EXPECT_EQ(written(), expected);
}

TEST_F(ImportFileTest, NoWorkBlockDropsTheLineSilently) {
  standin::failNthAllocation(1);
  _fprintfUTF(file, "Nazwa=%s\n", "x");
  _fprintfUTF(file, "Jm=%s\n", "SZT");
  EXPECT_EQ(written(), "Jm=SZT\n");
  EXPECT_TRUE(standin::messages().empty());
}

TEST_F(ImportFileTest, NoConversionBlockDropsTheLineWithAMessage) {
  standin::failNthAllocation(2);
  _fprintfUTF(file, "Nazwa=%s\n", "x");
  _fprintfUTF(file, "Jm=%s\n", "SZT");
  EXPECT_EQ(written(), "Jm=SZT\n");
  ASSERT_EQ(standin::messages().size(), 1u);
  EXPECT_EQ(standin::messages()[0].text,
            "Nie uda\x92o si\x91 zaj\x86\x8D pami\x91" "ci dla zmiennej w funkcji _fprintfUTF");
}

}  // namespace
