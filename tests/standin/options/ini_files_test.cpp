// Option files of the host stand-in: values read and written through real files in
// a scratch directory, as the host's profile function does for the plug-in.
#include "options/ini_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using namespace standin;
namespace fs = std::filesystem;

// A file the writer creates gets the platform's text line end.
std::string withPlatformLineEnds(const std::string& text) {
#ifdef _WIN32
  std::string converted;
  for (char c : text) converted += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return converted;
#else
  return text;
#endif
}

class IniFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    dir_ = fs::temp_directory_path() / ("standin_ini_" + std::to_string(seed()));
    fs::create_directories(dir_);
    path_ = (dir_ / "marketgate.ini").string();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  void put(const std::string& content) { std::ofstream(path_, std::ios::binary) << content; }
  std::string content() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  int16_t readNumber(const char* section, const char* key, int16_t& field) {
    return iniAccessWith(path_, kIniRead, section, key, "%d", &field);
  }
  int16_t readText(const char* section, const char* key, char* buffer) {
    return iniAccessWith(path_, kIniRead, section, key, "%s", buffer);
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(IniFiles, MissingFileSectionOrKeyGivesOneAndLeavesTheFieldAlone) {
  int16_t field = 77;
  char text[256] = "old";
  EXPECT_EQ(readNumber("Opcje", "EanCzySku", field), 1);
  EXPECT_EQ(readText("API", "Key", text), 1);
  put("[Opcje]\nEanCzySku=1\n");
  EXPECT_EQ(readNumber("Statusy", "EanCzySku", field), 1);
  EXPECT_EQ(readNumber("Opcje", "Kontrahent", field), 1);
  EXPECT_EQ(field, 77);
  EXPECT_STREQ(text, "old");
  EXPECT_EQ(readNumber("Opcje", "EanCzySku", field), 0);
  EXPECT_EQ(field, 1);
}

TEST_F(IniFiles, WritesCreateTheFileAndReadBack) {
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "API", "Key", "%s", "abc123"), 0);
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "Opcje", "Kontrahent", "%d", 3), 0);
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "Opcje", "WpisTowar", "%d", -2), 0);
  EXPECT_EQ(content(), withPlatformLineEnds("[API]\nKey=abc123\n\n[Opcje]\nKontrahent=3\nWpisTowar=-2\n"));
  char text[256] = "";
  int16_t field = 0;
  EXPECT_EQ(readText("API", "Key", text), 0);
  EXPECT_STREQ(text, "abc123");
  EXPECT_EQ(readNumber("Opcje", "WpisTowar", field), 0);
  EXPECT_EQ(field, -2);
  EXPECT_FALSE(fs::exists(path_ + ".tmp"));
}

TEST_F(IniFiles, SectionsAndKeysMatchWithoutRegardToCaseAndValuesAreTrimmed) {
  put("[opcje]\r\n  symbolprzesylki =  kurier DPD  \r\n");
  char text[256] = "";
  EXPECT_EQ(readText("Opcje", "SymbolPrzesylki", text), 0);
  EXPECT_STREQ(text, "kurier DPD");
  // Writing under another spelling replaces the line instead of adding one, and the
  // file keeps its CR LF line ends.
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "OPCJE", "SymbolPrzesylki", "%s", "poczta"), 0);
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "Opcje", "CoWpisacDoUwag", "%d", 1), 0);
  EXPECT_EQ(content(), "[opcje]\r\nsymbolprzesylki=poczta\r\nCoWpisacDoUwag=1\r\n");
}

TEST_F(IniFiles, TextReadsStopAt255Characters) {
  const std::string longValue(300, 'k');
  ASSERT_EQ(iniAccessWith(path_, kIniWrite, "API", "Key", "%s", longValue.c_str()), 0);
  char buffer[300];
  std::fill(std::begin(buffer), std::end(buffer), 'X');
  EXPECT_EQ(readText("API", "Key", buffer), 0);
  EXPECT_EQ(std::string(buffer), std::string(255, 'k'));
  EXPECT_EQ(buffer[256], 'X');
  std::string whole;
  EXPECT_TRUE(iniRead(path_, "API", "Key", whole));
  EXPECT_EQ(whole, longValue);
}

TEST_F(IniFiles, NumbersFillOnlyASixteenBitFieldAndMustBeDecimalIntegers) {
  put("[Opcje]\nA= -32768 \nB=32767\nC=32768\nD=12abc\nE=\nF=+5\nG=-\nH=0x10\nI=99999999999999999999\n");
  struct {
    int16_t value;
    int16_t neighbour;
  } fields = {0, 4242};
  EXPECT_EQ(readNumber("Opcje", "A", fields.value), 0);
  EXPECT_EQ(fields.value, -32768);
  EXPECT_EQ(readNumber("Opcje", "B", fields.value), 0);
  EXPECT_EQ(fields.value, 32767);
  EXPECT_EQ(readNumber("Opcje", "F", fields.value), 0);
  EXPECT_EQ(fields.value, 5);
  for (const char* key : {"C", "D", "E", "G", "H", "I"}) {
    EXPECT_EQ(readNumber("Opcje", key, fields.value), 1) << key;
    EXPECT_EQ(fields.value, 5) << key;
  }
  EXPECT_EQ(fields.neighbour, 4242);
}

TEST_F(IniFiles, WritesKeepEveryOtherLineInPlace) {
  put("; ustawienia wtyczki\n"
      "[Statusy]\n"
      "StatusWePoz=1\n"
      "# komentarz\n"
      "StatusWyPoz=0\n"
      "\n"
      "; opcje dokumentow\n"
      "[Opcje]\n"
      "EanCzySku=1");  // no line end at the end of the file
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "Statusy", "StatusWePoz", "%d", 4), 0);
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "Statusy", "StatusWe", "%d", 9), 0);
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "Opcje", "Kontrahent", "%d", 2), 0);
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "API", "Key", "%s", "k"), 0);
  EXPECT_EQ(content(),
            "; ustawienia wtyczki\n"
            "[Statusy]\n"
            "StatusWePoz=4\n"
            "# komentarz\n"
            "StatusWyPoz=0\n"
            "StatusWe=9\n"
            "\n"
            "; opcje dokumentow\n"
            "[Opcje]\n"
            "EanCzySku=1\n"
            "Kontrahent=2\n"
            "\n"
            "[API]\n"
            "Key=k\n");
}

TEST_F(IniFiles, UnknownFormatsModesAndUnstorableTextsDoNothing) {
  int16_t field = 0;
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "Opcje", "X", "%f", 1.5), 1);
  EXPECT_EQ(iniAccessWith(path_, 3, "Opcje", "X", "%d", 1), 1);
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "Opcje", "X", "%s", "a\nb=c"), 1);
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "Op]cje", "X", "%d", 1), 1);
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "Opcje", "X=Y", "%d", 1), 1);
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "Opcje", nullptr, "%d", 1), 1);
  EXPECT_EQ(iniAccessWith(path_, kIniWrite, "Opcje", "X", "%s", static_cast<const char*>(nullptr)), 1);
  EXPECT_FALSE(fs::exists(path_));
  put("[Opcje]\nX=1\n");
  EXPECT_EQ(iniAccessWith(path_, kIniRead, "Opcje", "X", "%i", &field), 1);
  EXPECT_EQ(field, 0);
  EXPECT_EQ(content(), "[Opcje]\nX=1\n");
}

// Reads reuse the file's last reading while it is unchanged; a change that
// keeps the size, and a write in the same tick of the file system's clock,
// must still be seen.
TEST_F(IniFiles, ReadsSeeEveryChangeOfTheFile) {
  int16_t field = 0;
  for (int16_t value = 1; value <= 9; ++value) {
    put("[Opcje]\nKontrahent=" + std::to_string(value) + "\n");
    EXPECT_EQ(readNumber("Opcje", "Kontrahent", field), 0);
    EXPECT_EQ(field, value);
  }
  // A file last touched a while ago, read, then written over in place with
  // its old time of modification put back.
  const auto longAgo = fs::last_write_time(path_) - std::chrono::hours(1);
  fs::last_write_time(path_, longAgo);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(readNumber("Opcje", "Kontrahent", field), 0);
  EXPECT_EQ(readNumber("Opcje", "Kontrahent", field), 0);
  put("[Opcje]\nKontrahent=3\n");
  fs::last_write_time(path_, longAgo);
#ifndef _WIN32  // Windows keeps no time of the last change of a file's status
  EXPECT_EQ(readNumber("Opcje", "Kontrahent", field), 0);
  EXPECT_EQ(field, 3);
#endif
  fs::remove(path_);
  EXPECT_EQ(readNumber("Opcje", "Kontrahent", field), 1);
}

// A file read before is not looked at again while nothing happens to it; what
// replaces it, or a folder on its way, or a linked file's target, is seen at
// the next read.
TEST_F(IniFiles, ReadsSeeTheFileOrAFolderOnItsWayReplaced) {
  const fs::path folder = dir_ / "dane" / "firma";
  const std::string path = (folder / "marketgate.ini").string();
  const auto write = [](const fs::path& where, int value) {
    std::ofstream(where, std::ios::binary) << "[Opcje]\nKontrahent=" << value << "\n";
  };
  const auto kontrahent = [](const std::string& where) {
    int16_t field = 0;
    return iniAccessWith(where, kIniRead, "Opcje", "Kontrahent", "%d", &field) == 0 ? field : -1;
  };
  fs::create_directories(folder);
  write(path, 1);
  EXPECT_EQ(kontrahent(path), 1);
  EXPECT_EQ(kontrahent(path), 1);
  write(path + ".new", 2);  // an editor's save
  fs::rename(path + ".new", path);
  EXPECT_EQ(kontrahent(path), 2);
  fs::rename(folder, dir_ / "dane" / "stara");
  fs::create_directories(folder);
  write(path, 3);
  EXPECT_EQ(kontrahent(path), 3);
  write(path, 4);  // the folder that took the old one's place is watched
  EXPECT_EQ(kontrahent(path), 4);
  fs::rename(dir_ / "dane", dir_ / "stare");
  fs::create_directories(folder);
  write(path, 5);
  EXPECT_EQ(kontrahent(path), 5);
#ifndef _WIN32
  const std::string linked = (dir_ / "linked.ini").string();
  fs::create_symlink(path, linked);
  EXPECT_EQ(kontrahent(linked), 5);
  write(path + ".new", 6);
  fs::rename(path + ".new", path);
  EXPECT_EQ(kontrahent(linked), 6);
#endif
}

#ifndef _WIN32
// A child of the host process (forked, as for a dialog on a terminal) that
// reads the file before and after changing it leaves the host's own view of
// the file intact.
TEST_F(IniFiles, ReadsSeeAChangeMadeByAForkedChild) {
  put("[Opcje]\nKontrahent=1\n");
  int16_t field = 0;
  ASSERT_EQ(readNumber("Opcje", "Kontrahent", field), 0);
  const pid_t child = fork();
  if (child == 0) {
    int16_t seen = 0;
    const bool before = readNumber("Opcje", "Kontrahent", seen) == 0 && seen == 1;
    put("[Opcje]\nKontrahent=2\n");
    const bool after = readNumber("Opcje", "Kontrahent", seen) == 0 && seen == 2;
    _exit(before && after ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(readNumber("Opcje", "Kontrahent", field), 0);
  EXPECT_EQ(field, 2);
}
#endif

TEST_F(IniFiles, AWriteIntoAMissingDirectoryFails) {
  const std::string nowhere = (dir_ / "missing" / "marketgate.ini").string();
  EXPECT_EQ(iniAccessWith(nowhere, kIniWrite, "API", "Key", "%s", "k"), 1);
  EXPECT_FALSE(iniWrite(nowhere, "API", "Key", "k"));
}

}  // namespace
