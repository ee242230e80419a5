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
    out = ImportFile{file, ImportFileFault::none, 0};
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
  ImportFile out = {};
};

TEST_F(ImportFileTest, ValuesReachTheFileAsWindows1250WithPercentSignsUnchanged) {
  _fprintfUTF(&out, "Nazwa=%s\n",
              "Rabat 10% na \xC5\x82\xC4\x85\xC5\x9B"
              "ciek %s %d");
  _fprintfUTF(&out, "Uwagi=%s\n", "");
  _fprintfUTF(&out, "WalutaKurs=%.4f\n", 4.2);
  writeImportText(&out, "Vat=%.0f %%\n", 8.0);
  EXPECT_EQ(written(),
            "Nazwa=Rabat 10% na \xB3\xB9\x9C"
            "ciek %s %d\nUwagi=\nWalutaKurs=4.2000\nVat=8 %\n");
  EXPECT_EQ(standin::callCount(35387), 3);
}

TEST_F(ImportFileTest, HeaderIsThreeLinesAndAnEmptyOne) {
  writeImportFileHeader(&out);
  EXPECT_EQ(written(), "[Info]\nProgram=Marketgate\nKodowanie=Windows 1250\n\n");
}

TEST_F(ImportFileTest, LineLongerThanTheWorkBlockIsWrittenWhole) {
  std::string name(kFormatBlockSize + 1000, 'a');
  name.replace(kFormatBlockSize - 2, 2, "\xC5\x82");  // a letter across the block's end
  _fprintfUTF(&out, "Nazwa=%s\n", name.c_str());
  std::string expected = "Nazwa=" + name + "\n";
  expected.replace(6 + kFormatBlockSize - 2, 2, "\xB3");
  EXPECT_EQ(written(), expected);
}

// A line that cannot be formed fails the file: nothing more goes into it.
TEST_F(ImportFileTest, NoWorkBlockFailsTheFileSilently) {
  standin::failNthAllocation(1);
  _fprintfUTF(&out, "Nazwa=%s\n", "x");
  _fprintfUTF(&out, "Jm=%s\n", "SZT");
  EXPECT_EQ(written(), "");
  EXPECT_EQ(out.fault, ImportFileFault::noMemory);
  EXPECT_TRUE(standin::messages().empty());
}

TEST_F(ImportFileTest, NoConversionBlockFailsTheFileWithAMessage) {
  standin::failNthAllocation(2);
  _fprintfUTF(&out, "Nazwa=%s\n", "x");
  _fprintfUTF(&out, "Jm=%s\n", "SZT");
  EXPECT_EQ(written(), "");
  EXPECT_EQ(out.fault, ImportFileFault::noMemory);
  ASSERT_EQ(standin::messages().size(), 1u);
  EXPECT_EQ(standin::messages()[0].text,
            "Nie uda\x92o si\x91 zaj\x86\x8D pami\x91"
            "ci dla zmiennej w funkcji _fprintfUTF");
}

}  // namespace
