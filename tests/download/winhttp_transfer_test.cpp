// CWinHttpTransfer against real loopback servers: natively through the
// libcurl stand-in, under Wine through the system's WinHTTP.
#include <gtest/gtest.h>

#include <string>

#include "download/winhttp_test_support.h"
#include "download/winhttp_transfer.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace {

// Nothing listens on port 1 of the loopback interface.
const wchar_t kRefusingUrl[] = L"http://127.0.0.1:1/setup.exe";

TEST(ResolveRedirectLocation, EveryFormOfLocationBecomesAbsolute) {
  const struct {
    const wchar_t* base;
    const wchar_t* location;
    const wchar_t* expected;
  } cases[] = {
      {L"http://a:81/x/y?q=1", L"https://b/z", L"https://b/z"},
      {L"https://a:81/x/y", L"//c/d", L"https://c/d"},
      {L"http://a:81/x/y?q=/p", L"/hop/1/setup.exe", L"http://a:81/hop/1/setup.exe"},
      {L"http://a:81?q=1", L"/f", L"http://a:81/f"},
      {L"http://a:81/x/y?q=/p", L"md5/setup.exe", L"http://a:81/x/md5/setup.exe"},
      {L"http://a:81", L"setup.exe", L"http://a:81/setup.exe"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveRedirectLocation(c.base, c.location), c.expected) << c.base << L" + " << c.location;
  }
}

class WinHttpTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port_ = tw_test::PortFromFile(L"winhttp-pages.port");
    ASSERT_NE(port_, 0) << "the page server fixture did not run";
  }

  std::wstring Url(const std::wstring& pathAndQuery) const { return tw_test::LoopbackUrl(port_, pathAndQuery); }

  int RequestsMade(const std::wstring& key) {
    CWinHttpTransfer counter(Url(L"/count?key=" + key));
    if (!counter.Send(L"GET")) return -1;
    return std::stoi(counter.ResponseText());
  }

  std::wstring TempFile(const std::wstring& name) const {
    return platform::JoinPath(platform::TempPath(),
                              L"tw-winhttp-" + std::to_wstring(platform::CurrentProcessId()) + L"-" + name);
  }

  int port_ = 0;
};

TEST_F(WinHttpTransferTest, RefusedRequestsNeverReachTheNetwork) {
  struct Case {
    const wchar_t* name;
    std::wstring url;
    const wchar_t* verb;
    std::uint32_t error;
  } cases[] = {
      {L"empty URL", L"", L"GET", CWinHttpTransfer::kErrorEmptyUrl},
      {L"PUT", Url(L"/plain?key=" + tw_test::UniqueKey(L"put")), L"PUT", CWinHttpTransfer::kErrorUnsupportedVerb},
      {L"delete", Url(L"/plain?key=" + tw_test::UniqueKey(L"put")), L"delete", CWinHttpTransfer::kErrorUnsupportedVerb},
      {L"empty verb", Url(L"/plain?key=" + tw_test::UniqueKey(L"put")), L"", CWinHttpTransfer::kErrorUnsupportedVerb},
  };
  for (const Case& c : cases) {
    CWinHttpTransfer transfer(c.url);
    EXPECT_FALSE(transfer.Send(c.verb)) << c.name;
    EXPECT_EQ(transfer.LastError(), c.error) << c.name;
    EXPECT_TRUE(transfer.StatusText().empty()) << c.name;
  }
  EXPECT_EQ(RequestsMade(tw_test::UniqueKey(L"put")), 0);
}

TEST_F(WinHttpTransferTest, LowerCaseVerbsAreSentAndAPageIsDecodedByItsCharset) {
  CWinHttpTransfer transfer(Url(L"/whole?key=" + tw_test::UniqueKey(L"whole")));
  ASSERT_TRUE(transfer.Send(L"get")) << transfer.LastError();
  EXPECT_EQ(transfer.StatusText(), L"200");
  EXPECT_EQ(transfer.StatusCode(), 200);
  EXPECT_EQ(transfer.Host(), L"127.0.0.1");
  EXPECT_EQ(transfer.ResponseCharset(), L"utf-8");
  EXPECT_EQ(transfer.ResponseText(), L"<html><body>\u5b8c\u6574\u7684\u9875\u9762</body></html>");
  EXPECT_EQ(transfer.ReceivedLength(), transfer.ResponseBytes().size());
  EXPECT_EQ(transfer.ContentLength(), transfer.ReceivedLength());
  EXPECT_EQ(RequestsMade(tw_test::UniqueKey(L"whole")), 1);

  CWinHttpTransfer post(Url(L"/plain?key=" + tw_test::UniqueKey(L"post")));
  ASSERT_TRUE(post.Send(L"Post")) << post.LastError();
  EXPECT_EQ(post.ResponseText(), L"plain text");
  EXPECT_TRUE(post.ResponseCharset().empty());
}

TEST_F(WinHttpTransferTest, CookiesAndALowerCaseLengthHeaderAreRead) {
  CWinHttpTransfer transfer(Url(L"/cookies"));
  ASSERT_TRUE(transfer.Send(L"GET")) << transfer.LastError();
  EXPECT_EQ(transfer.ReceivedCookies(), L"a=1; path=/; b=2;");
  EXPECT_EQ(transfer.ContentLength(), 2u);
  EXPECT_NE(transfer.ResponseHeaders().find(L"content-length: 2"), std::wstring::npos);
}

TEST_F(WinHttpTransferTest, ACutOffPageIsFetchedThreeTimesThenFailsWithError13) {
  CWinHttpTransfer transfer(Url(L"/cut?key=" + tw_test::UniqueKey(L"cut")));
  EXPECT_FALSE(transfer.Send(L"GET"));
  EXPECT_EQ(transfer.LastError(), CWinHttpTransfer::kErrorCutOffPage);
  EXPECT_EQ(RequestsMade(tw_test::UniqueKey(L"cut")), CWinHttpTransfer::kAttempts);

  // The rule is for pages read into memory with "GET" only.
  CWinHttpTransfer post(Url(L"/cut?key=" + tw_test::UniqueKey(L"cut-post")));
  EXPECT_TRUE(post.Send(L"POST"));
  EXPECT_EQ(RequestsMade(tw_test::UniqueKey(L"cut-post")), 1);
}

TEST_F(WinHttpTransferTest, FileModeAppendsBehindWhatTheFileHolds) {
  const std::wstring path = TempFile(L"append.bin");
  ASSERT_TRUE(tw_test::WriteFileBytes(path, "old|"));
  CWinHttpTransfer transfer(Url(L"/plain"));
  transfer.SetResponseFilePath(path);
  std::uint64_t lastWritten = 0;
  transfer.SetProgressHook([&](std::uint64_t written, std::uint32_t length) {
    lastWritten = written;
    EXPECT_EQ(length, 10u);
    return true;
  });
  ASSERT_TRUE(transfer.Send(L"GET")) << transfer.LastError();
  EXPECT_EQ(tw_test::ReadFileBytes(path), "old|plain text");
  EXPECT_EQ(transfer.WrittenLength(), 10u);
  EXPECT_EQ(lastWritten, 10u);
  EXPECT_EQ(transfer.ReceivedLength(), 0u);
  EXPECT_TRUE(transfer.ResponseText().empty());
  EXPECT_FALSE(transfer.ResponseFileFailed());
  platform::DeleteFileAt(path);
}

TEST_F(WinHttpTransferTest, AResponseFileThatCannotBeOpenedIsReportedNotFatal) {
  // A folder that does not exist: the body cannot go anywhere.
  const std::wstring path = platform::JoinPath(TempFile(L"missing-folder"), L"body.bin");
  CWinHttpTransfer transfer(Url(L"/plain"));
  transfer.SetResponseFilePath(path);
  EXPECT_TRUE(transfer.Send(L"GET"));
  EXPECT_TRUE(transfer.ResponseFileFailed());
  EXPECT_EQ(transfer.WrittenLength(), 0u);
  EXPECT_FALSE(platform::PathExists(path));
}

TEST_F(WinHttpTransferTest, AProgressHookCanStopTheBody) {
  const std::wstring path = TempFile(L"stopped.bin");
  platform::DeleteFileAt(path);
  CWinHttpTransfer transfer(Url(L"/plain?key=" + tw_test::UniqueKey(L"stopped")));
  transfer.SetResponseFilePath(path);
  transfer.SetProgressHook([](std::uint64_t, std::uint32_t) { return false; });
  EXPECT_FALSE(transfer.Send(L"GET"));
  EXPECT_EQ(transfer.LastError(), CWinHttpTransfer::kErrorAborted);
  EXPECT_EQ(RequestsMade(tw_test::UniqueKey(L"stopped")), 1) << "a stop is not a reason to try again";
  platform::DeleteFileAt(path);
}

// The page server's TLS port presents a self-signed certificate.
TEST_F(WinHttpTransferTest, CertificateErrorsAreIgnoredOnlyWhenAllowed) {
  const int tlsPort = tw_test::PortFromFile(L"winhttp-pages.port", 2);
  ASSERT_NE(tlsPort, 0);
  const std::wstring url = L"https://127.0.0.1:" + std::to_wstring(tlsPort) + L"/plain";

  // Strict first: Wine's WinHTTP pools connections across sessions, and a
  // pooled connection would skip the certificate check.
  CWinHttpTransfer strict(url);
  strict.SetRequireValidCertificate(true);
  EXPECT_FALSE(strict.Send(L"GET"));
  EXPECT_NE(strict.LastError(), 0u);
  EXPECT_TRUE(strict.StatusText().empty());

  CWinHttpTransfer lenient(url);
  ASSERT_TRUE(lenient.Send(L"GET")) << lenient.LastError();
  EXPECT_EQ(lenient.StatusText(), L"200");
  EXPECT_EQ(lenient.ResponseText(), L"plain text");
}

TEST_F(WinHttpTransferTest, ARefusedConnectionFailsAfterItsAttempts) {
  CWinHttpTransfer transfer(kRefusingUrl);
  EXPECT_FALSE(transfer.Send(L"GET"));
  EXPECT_NE(transfer.LastError(), 0u);
  EXPECT_TRUE(transfer.StatusText().empty());

  CWinHttpTransfer notHttp(L"ftp://127.0.0.1/setup.exe");
  EXPECT_FALSE(notHttp.Send(L"GET"));
  EXPECT_NE(notHttp.LastError(), 0u);
}

}  // namespace
