// Code-page conversion of the host stand-in: the Polish letters in all three code
// pages, round trips, malformed UTF-8, bounded conversion and markup removal.
#include "text/codepages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace standin;

const std::string kPolishUtf8 =
    "\xC4\x85\xC4\x87\xC4\x99\xC5\x82\xC5\x84\xC3\xB3\xC5\x9B\xC5\xBA\xC5\xBC"   // ąćęłńóśźż
    "\xC4\x84\xC4\x86\xC4\x98\xC5\x81\xC5\x83\xC3\x93\xC5\x9A\xC5\xB9\xC5\xBB";  // ĄĆĘŁŃÓŚŹŻ
const std::string kPolishMazovia =
    "\x86\x8D\x91\x92\xA4\xA2\x9E\xA6\xA7"
    "\x8F\x95\x90\x9C\xA5\xA3\x98\xA0\xA1";
const std::string kPolishCp1250 =
    "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF"
    "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF";

std::string allHighBytes() {
  std::string bytes;
  for (int b = 0x80; b <= 0xFF; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(CodePages, PolishLettersConvertBetweenAllThreeCodePages) {
  EXPECT_EQ(convertCodePage(kPolishUtf8, kCodeUtf8, kCodeMazovia), kPolishMazovia);
  EXPECT_EQ(convertCodePage(kPolishUtf8, kCodeUtf8, kCodeCp1250), kPolishCp1250);
  EXPECT_EQ(convertCodePage(kPolishMazovia, kCodeMazovia, kCodeUtf8), kPolishUtf8);
  EXPECT_EQ(convertCodePage(kPolishCp1250, kCodeCp1250, kCodeUtf8), kPolishUtf8);
  EXPECT_EQ(convertCodePage(kPolishMazovia, kCodeMazovia, kCodeCp1250), kPolishCp1250);
  EXPECT_EQ(convertCodePage(kPolishCp1250, kCodeCp1250, kCodeMazovia), kPolishMazovia);
  EXPECT_EQ(mazoviaToUtf8(kPolishMazovia), kPolishUtf8);
  EXPECT_EQ(utf8ToMazovia(kPolishUtf8), kPolishMazovia);
  EXPECT_EQ(utf8ToCp1250(kPolishUtf8), kPolishCp1250);
  EXPECT_EQ(cp1250ToUtf8(kPolishCp1250), kPolishUtf8);
}

TEST(CodePages, EveryMazoviaByteSurvivesTheRoundTripThroughUtf8) {
  const std::string bytes = allHighBytes();
  const std::string utf8 = mazoviaToUtf8(bytes);
  EXPECT_EQ(utf8.find('?'), std::string::npos);
  EXPECT_EQ(utf8ToMazovia(utf8), bytes);
  // Two letters that stay those of code page 437.
  EXPECT_EQ(mazoviaToUtf8("\x80\xE1"), "\xC3\x87\xC3\x9F");  // Ç ß
}

TEST(CodePages, EveryDefinedCp1250ByteSurvivesTheRoundTripAndUndefinedOnesBecomeQuestionMarks) {
  std::string defined;
  for (char c : allHighBytes()) {
    if (std::strchr("\x81\x83\x88\x90\x98", c) == nullptr) defined += c;
  }
  EXPECT_EQ(utf8ToCp1250(cp1250ToUtf8(defined)), defined);
  EXPECT_EQ(cp1250ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
  EXPECT_EQ(cp1250ToUtf8("a\x81"
                         "b\x98"),
            "a?b?");
  EXPECT_EQ(convertCodePage("\x83", kCodeCp1250, kCodeMazovia), "?");
}

TEST(CodePages, AsciiAndMarkupBytesPassUnchangedInEveryDirection) {
  std::string ascii;
  for (int b = 0; b < 0x80; ++b) ascii += static_cast<char>(b);
  const int codes[] = {kCodeUtf8, kCodeCp1250, kCodeMazovia};
  for (int from : codes) {
    for (int to : codes) {
      EXPECT_EQ(convertCodePage(ascii, from, to), ascii) << from << "->" << to;
    }
  }
}

TEST(CodePages, CharactersMissingFromTheTargetBecomeOneQuestionMarkEach) {
  EXPECT_EQ(utf8ToMazovia("\xE2\x82\xAC"), "?");  // euro sign
  EXPECT_EQ(utf8ToCp1250("x\xE4\xB8\xAD"
                         "y"),
            "x?y");                                                    // CJK letter
  EXPECT_EQ(utf8ToCp1250("\xF0\x9F\x98\x80!"), "?!");                  // emoji, 4 bytes
  EXPECT_EQ(convertCodePage("\xB0", kCodeMazovia, kCodeCp1250), "?");  // shade block
  EXPECT_EQ(convertCodePage("\x80", kCodeCp1250, kCodeMazovia), "?");  // euro sign
}

TEST(CodePages, MalformedUtf8GivesOneQuestionMarkPerBadByte) {
  EXPECT_EQ(utf8ToCp1250("a\x80"
                         "b"),
            "a?b");                                     // stray continuation
  EXPECT_EQ(utf8ToCp1250("\xC4\x41"), "?A");            // lead without continuation
  EXPECT_EQ(utf8ToCp1250("ok\xC4"), "ok?");             // cut at the end
  EXPECT_EQ(utf8ToCp1250("\xE2\x82"), "??");            // cut at the end
  EXPECT_EQ(utf8ToCp1250("\xF0\x9F\x98"), "???");       // cut at the end
  EXPECT_EQ(utf8ToCp1250("\xC0\xAF"), "??");            // overlong
  EXPECT_EQ(utf8ToCp1250("\xE0\x80\x80"), "???");       // overlong
  EXPECT_EQ(utf8ToCp1250("\xED\xA0\x80"), "???");       // surrogate
  EXPECT_EQ(utf8ToCp1250("\xF4\x90\x80\x80"), "????");  // past U+10FFFF
  EXPECT_EQ(utf8ToMazovia("\xFF\xC4\x85"), "?\x86");    // resynchronises on ą
}

TEST(CodePages, PathCodeAndEqualCodesCopyBytesUnchanged) {
  const std::string bytes = "/tmp/\xC4\x85\x86\xFF";
  EXPECT_EQ(convertCodePage(bytes, kCodeUtf8, kCodePath), bytes);
  EXPECT_EQ(convertCodePage(bytes, kCodePath, kCodeMazovia), bytes);
  EXPECT_EQ(convertCodePage(bytes, kCodeMazovia, kCodeMazovia), bytes);
}

TEST(ConvertTextInto, CutsAtACharacterBoundaryOfTheTarget) {
  char out[8];
  // "aą" is three bytes in UTF-8: with room for two bytes and the NUL, ą is left out whole.
  EXPECT_EQ(convertTextInto(out, 3, "a\x86", -1, kCodeMazovia, kCodeUtf8), 1);
  EXPECT_STREQ(out, "a");
  EXPECT_EQ(convertTextInto(out, 4, "a\x86", -1, kCodeMazovia, kCodeUtf8), 3);
  EXPECT_STREQ(out, "a\xC4\x85");
  // Single-byte targets cut at any byte.
  EXPECT_EQ(convertTextInto(out, 3, "\xC4\x85\xC4\x87\xC4\x99", -1, kCodeUtf8, kCodeCp1250), 2);
  EXPECT_STREQ(out, "\xB9\xE6");
  EXPECT_EQ(convertTextInto(out, 1, "abc", -1, kCodeUtf8, kCodeCp1250), 0);
  EXPECT_STREQ(out, "");
}

TEST(ConvertTextInto, WritesNothingWithoutCapacityAndReadsOnlyTheGivenLength) {
  char out[8] = "zzzzzzz";
  EXPECT_EQ(convertTextInto(out, 0, "abc", -1, kCodeUtf8, kCodeCp1250), 0);
  EXPECT_EQ(convertTextInto(out, -5, "abc", -1, kCodeUtf8, kCodeCp1250), 0);
  EXPECT_STREQ(out, "zzzzzzz");
  EXPECT_EQ(convertTextInto(out, 8, nullptr, -1, kCodeUtf8, kCodeCp1250), 0);
  EXPECT_STREQ(out, "");
  // A given length is not NUL-terminated; an earlier NUL still ends the text.
  const char unterminated[] = {'\xC4', '\x85', 'x', 'y'};
  EXPECT_EQ(convertTextInto(out, 8, unterminated, 3, kCodeUtf8, kCodeMazovia), 2);
  EXPECT_STREQ(out, "\x86x");
  EXPECT_EQ(convertTextInto(out, 8, "ab\0cd", 5, kCodeUtf8, kCodeMazovia), 2);
  EXPECT_STREQ(out, "ab");
}

TEST(ConvertTextInto, SourceMayBeTheDestination) {
  // Mazovia "ą" grows to two bytes in UTF-8: the text is read whole before it is overwritten.
  char text[8] =
      "\x86"
      "ab";
  EXPECT_EQ(convertTextInto(text, sizeof text, text, -1, kCodeMazovia, kCodeUtf8), 4);
  EXPECT_STREQ(text,
               "\xC4\x85"
               "ab");
}

TEST(StripMarkup, RemovesDirectivesAndHighlightBytesAndKeepsTheText) {
  EXPECT_EQ(stripMarkup("\x01tl18l33\x01Uwaga"), "Uwaga");
  EXPECT_EQ(stripMarkup("Plik \x02marketgate.ini\x02 brak"), "Plik marketgate.ini brak");
  EXPECT_EQ(stripMarkup("a\x01x\x01"
                        "b\x01y\x01"
                        "c"),
            "abc");
  EXPECT_EQ(stripMarkup("koniec\x01 bez zamkni\x91"
                        "cia"),
            "koniec bez zamkni\x91"
            "cia");
  EXPECT_EQ(stripMarkup(""), "");
}

}  // namespace
