// Opening a service session: the key from "marketgate.ini" or from the
// user (asked once, stored on confirmation), and the reply-file paths.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "control/host_control.h"
#include "options/ini_files.h"
#include "service/api_session.h"
#include "support/host_fixture.h"

namespace {

class ApiSessionTest : public HostFixture {
 protected:
  std::string iniPath() const { return workDir.file("marketgate.ini"); }
  std::string storedKey() const {
    std::string key;
    return standin::iniRead(iniPath(), "API", "Key", key) ? key : "<none>";
  }
};

TEST_F(ApiSessionTest, StoredKeyIsUsedWithoutAsking) {
  ASSERT_TRUE(standin::iniWrite(iniPath(), "API", "Key", "k-123"));
  ApiSession session;
  std::memset(&session, 'x', sizeof session);
  openApiSession(session);
  EXPECT_STREQ(session.host, "api.marketgate.pl");
  EXPECT_STREQ(session.path, "connector.php");
  EXPECT_STREQ(session.apiKey, "k-123");
  EXPECT_EQ(standin::textInputs().size(), 0u);
  EXPECT_EQ(session.replyFile, workDir.path() + "/marketgate.tmp");
  EXPECT_EQ(session.invoiceReplyFile, workDir.path() + "/marketgate2.tmp");
}

TEST_F(ApiSessionTest, MissingKeyIsAskedForOnceAndStoredWhenConfirmed) {
  standin::scriptTextInput("typed-key");
  ApiSession session;
  std::memset(session.apiKey, 'x', sizeof session.apiKey);
  openApiSession(session);
  ASSERT_EQ(standin::textInputs().size(), 1u);
  const standin::TextInputShown& shown = standin::textInputs()[0];
  EXPECT_EQ(shown.prompt, "Podaj klucz do API Marketgate");
  EXPECT_EQ(shown.initialText, "");
  EXPECT_EQ(shown.record[0], 80);
  EXPECT_EQ(shown.record[1], 1);
  EXPECT_EQ(shown.record[2], 39029);
  EXPECT_EQ(shown.record[3], 0);
  EXPECT_EQ(shown.value, 8);
  EXPECT_STREQ(session.apiKey, "typed-key");
  EXPECT_EQ(storedKey(), "typed-key");

  ApiSession next;
  openApiSession(next);
  EXPECT_EQ(standin::textInputs().size(), 1u) << "asked only once";
  EXPECT_STREQ(next.apiKey, "typed-key");
}

TEST_F(ApiSessionTest, CancelledQuestionStoresNothingAndIsAskedAgain) {
  standin::scriptTextInputCancel();
  ApiSession session;
  openApiSession(session);
  EXPECT_STREQ(session.apiKey, "");
  EXPECT_EQ(storedKey(), "<none>");
  EXPECT_EQ(standin::callCount(41399), 1) << "only the read";

  standin::scriptTextInputCancel();
  openApiSession(session);
  EXPECT_EQ(standin::textInputs().size(), 2u);
  // Other options of the file are left alone by a later confirmed answer.
  ASSERT_TRUE(standin::iniWrite(iniPath(), "Opcje", "EanCzySku", "1"));
  standin::scriptTextInput("later");
  openApiSession(session);
  EXPECT_EQ(storedKey(), "later");
  std::string ean;
  EXPECT_TRUE(standin::iniRead(iniPath(), "Opcje", "EanCzySku", ean));
  EXPECT_EQ(ean, "1");
}

// A key edited into the file by hand may be longer than anything the field
// was meant for: it arrives cut by the host, never past the field.
TEST_F(ApiSessionTest, OverlongKeysStayInsideTheField) {
  const std::string longKey(1000, 'k');
  ASSERT_TRUE(standin::iniWrite(iniPath(), "API", "Key", longKey));
  ApiSession session;
  std::memset(&session, 'x', sizeof session);
  openApiSession(session);
  EXPECT_EQ(std::string(session.apiKey), longKey.substr(0, 255));
  EXPECT_STREQ(session.replyFile, (workDir.path() + "/marketgate.tmp").c_str());

  // Typed at the question: likewise cut by the host.
  std::remove(iniPath().c_str());
  standin::scriptTextInput(longKey);
  openApiSession(session);
  EXPECT_EQ(std::string(session.apiKey), longKey.substr(0, 255));
  EXPECT_EQ(storedKey(), longKey.substr(0, 255));
}

// The reply paths are 200 bytes: a directory that leaves no room for the
// file name gives empty paths instead of overrunning or naming a file
// somewhere else; one that just fits is kept whole.
TEST_F(ApiSessionTest, WorkingDirectoryTooLongForTheReplyPathsLeavesThemEmpty) {
  // The options file is looked for in the directory too: each opening asks.
  for (int i = 0; i < 3; ++i) standin::scriptTextInputCancel();
  ApiSession session;

  // 183 + "/" + "marketgate2.tmp" (15) + NUL = 200: both fit.
  std::string fitting = "/" + std::string(182, 'd');
  standin::setWorkingDirectory(fitting);
  std::memset(&session, 'x', sizeof session);
  openApiSession(session);
  EXPECT_EQ(session.replyFile, fitting + "/marketgate.tmp");
  EXPECT_EQ(session.invoiceReplyFile, fitting + "/marketgate2.tmp");

  // One more byte: the invoice path no longer fits, the other still does.
  std::string tight = fitting + "e";
  standin::setWorkingDirectory(tight);
  openApiSession(session);
  EXPECT_EQ(session.replyFile, tight + "/marketgate.tmp");
  EXPECT_STREQ(session.invoiceReplyFile, "");

  standin::setWorkingDirectory("/" + std::string(600, 'd'));
  std::memset(&session, 'x', sizeof session);
  openApiSession(session);
  EXPECT_STREQ(session.replyFile, "");
  EXPECT_STREQ(session.invoiceReplyFile, "");
  EXPECT_STREQ(session.apiKey, "") << "the key file is not in that directory";

  standin::setWorkingDirectory(workDir.path());
}

}  // namespace
