// The download engine's pure pieces: MD5, the URL's MD5 text, the part
// plan, the retry budgets, the progress arithmetic, the Content-Range
// parser and the failure causes.
#include <gtest/gtest.h>

#include <curl/curl.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "download/content_range.h"
#include "download/download_failure.h"
#include "download/md5.h"
#include "download/md5_pipe.h"
#include "download/part_plan.h"
#include "download/progress_throttle.h"
#include "download/retry_budget.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace {

std::string Md5Of(const std::string& text) {
  Md5Context context;
  Md5Init(&context);
  Md5Update(&context, text.data(), text.size());
  Md5Final(&context);
  return Md5Hex(context.digest);
}

TEST(Md5, Rfc1321TestSuite) {
  struct Case {
    const char* message;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const Case& c : cases) EXPECT_EQ(Md5Of(c.message), c.digest) << '"' << c.message << '"';
}

TEST(Md5, FeedingInPiecesGivesTheSameDigest) {
  std::string text(1000, '\0');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 7 + 3);
  Md5Context context;
  Md5Init(&context);
  for (size_t at = 0, step = 1; at < text.size(); at += step, step = step % 67 + 5) {
    Md5Update(&context, text.data() + at, std::min(step, text.size() - at));
  }
  Md5Final(&context);
  EXPECT_EQ(Md5Hex(context.digest), Md5Of(text));
}

TEST(Md5Pipe, HashesOnItsHelperWhatFeedingInPiecesGives) {
  std::string text(3 * ChunkPipe::kQueueBytes + 12345, '\0');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>((i * 2654435761u) >> 13);
  Md5Pipe pipe;
  EXPECT_EQ(pipe.Finish(), "");
  for (int round = 0; round < 2; ++round) {
    pipe.Begin();
    for (size_t at = 0, step = 1; at < text.size(); at += step, step = step * 3 % 700001 + 1) {
      pipe.Feed(text.data() + at, std::min(step, text.size() - at));
    }
    EXPECT_EQ(pipe.Finish(), Md5Of(text));
  }
  pipe.Begin();
  pipe.Feed(text.data(), text.size());
  pipe.Cancel();
  EXPECT_EQ(pipe.Finish(), "");
}

class FileMd5 : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = platform::JoinPath(platform::TempPath(),
                                 L"tw-md5-" + std::to_wstring(platform::CurrentProcessId()));
    platform::CreateFolder(folder_);
  }
  void TearDown() override {
    for (const std::wstring& f : files_) platform::DeleteFileAt(f);
    platform::RemoveEmptyFolder(folder_);
  }
  std::wstring Write(const std::string& bytes) {
    std::wstring path = platform::JoinPath(folder_, L"f" + std::to_wstring(files_.size()));
    std::FILE* f = platform::OpenFile(path, "wb");
    EXPECT_NE(f, nullptr);
    if (f) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    files_.push_back(path);
    return path;
  }
  std::wstring folder_;
  std::vector<std::wstring> files_;
};

TEST_F(FileMd5, MatchesTheDigestOfTheBytesForBlockBoundarySizes) {
  for (size_t size : {size_t(0), size_t(1), size_t(1023), size_t(1024), size_t(1025), size_t(4096),
                      size_t(4097), size_t(262144), size_t(262145)}) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131) ^ (i >> 8));
    EXPECT_EQ(GetFileMd5(Write(bytes)), Md5Of(bytes)) << size << " bytes";
  }
  EXPECT_EQ(GetFileMd5(Write("")), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST_F(FileMd5, MissingFileOrEmptyPathGivesEmptyText) {
  EXPECT_EQ(GetFileMd5(L""), "");
  EXPECT_EQ(GetFileMd5(platform::JoinPath(folder_, L"missing.bin")), "");
}

TEST(UrlMd5, TakesTheSegmentBeforeTheLast) {
  struct Case {
    const char* url;
    const char* expected;
  } cases[] = {
      {"http://h/a/0123456789abcdef0123456789abcdef/setup.exe", "0123456789abcdef0123456789abcdef"},
      {"http://h:8080/setup.exe", "h:8080"},
      {"no-slash-at-all", ""},
      {"", ""},
      {"/setup.exe", ""},
      {"http://h/a/b/", "b"},
      {"http://h/a/ABCDEF0123456789ABCDEF0123456789/s.exe?x=1/2", "s.exe?x=1"},
      {"http://h/pkg/0123456789ABCDEF0123456789ABCDEF/s.exe", "0123456789ABCDEF0123456789ABCDEF"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetUrlMd5(c.url), c.expected) << c.url;
}

TEST(PartPlan, CutsByTenMebibytesIntoAtMostTwoParts) {
  struct Case {
    std::int32_t length;
    std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
  } cases[] = {
      {256, {{0, 255}}},
      {20971519, {{0, 20971518}}},
      {20971520, {{0, 10485759}, {10485760, 20971519}}},
      {31457281, {{0, 15728639}, {15728640, 31457280}}},
      {2147483647, {{0, 1073741822}, {1073741823, 2147483646}}},
  };
  for (const Case& c : cases) {
    std::vector<PartPlan> plan = PlanParts(c.length, {});
    ASSERT_EQ(plan.size(), c.ranges.size()) << c.length;
    for (size_t i = 0; i < plan.size(); ++i) {
      EXPECT_EQ(plan[i].start, c.ranges[i].first) << c.length << " part " << i;
      EXPECT_EQ(plan[i].end, c.ranges[i].second) << c.length << " part " << i;
      EXPECT_FALSE(plan[i].complete);
      EXPECT_EQ(plan[i].received, 0);
    }
  }
}

TEST(PartPlan, ResumesFromWhatIsOnDisk) {
  // Part 0 complete, part 1 half there: only part 1 is left, from its size on.
  std::vector<PartPlan> plan = PlanParts(20971520, {10485760, 5000000});
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_TRUE(plan[0].complete);
  EXPECT_GT(plan[0].start, plan[0].end);
  EXPECT_EQ(plan[0].received, 10485760);
  EXPECT_FALSE(plan[1].complete);
  EXPECT_EQ(plan[1].start, 10485760 + 5000000);
  EXPECT_EQ(plan[1].end, 20971519);
  EXPECT_EQ(plan[1].received, 5000000);

  // One byte left: the range N-N.
  plan = PlanParts(2000000, {1999999});
  EXPECT_EQ(plan[0].start, 1999999);
  EXPECT_EQ(plan[0].end, 1999999);
  EXPECT_FALSE(plan[0].complete);

  // A negative size counts as nothing; a part file longer than its part is
  // not trusted and is fetched again from its first byte.
  plan = PlanParts(20971520, {-1, 10485761});
  EXPECT_EQ(plan[0].start, 0);
  EXPECT_FALSE(plan[0].discardExisting);
  EXPECT_TRUE(plan[1].discardExisting);
  EXPECT_EQ(plan[1].start, 10485760);
  EXPECT_EQ(plan[1].received, 0);
}

int AttemptsUntilGivingUp(bool (*charge)(int*, int), int code) {
  int budget = kRetryBudget;
  int attempts = 1;
  while (charge(&budget, code)) ++attempts;
  return attempts;
}

TEST(RetryBudget, SingleStreamMakesSixOrTwelveAttempts) {
  EXPECT_EQ(AttemptsUntilGivingUp(ChargeSingleStreamRetry, 22), 6);
  EXPECT_EQ(AttemptsUntilGivingUp(ChargeSingleStreamRetry, 28), 6);
  EXPECT_EQ(AttemptsUntilGivingUp(ChargeSingleStreamRetry, -998), 6);
  EXPECT_EQ(AttemptsUntilGivingUp(ChargeSingleStreamRetry, 18), 12);
}

TEST(RetryBudget, PartMakesSevenOrThirteenAttempts) {
  EXPECT_EQ(AttemptsUntilGivingUp(ChargePartRetry, 22), 7);
  EXPECT_EQ(AttemptsUntilGivingUp(ChargePartRetry, 18), 13);
}

TEST(Progress, ThrottleLetsOneEvaluationThroughPerSecond) {
  SecondThrottle throttle;
  EXPECT_TRUE(throttle.Pass(1000));
  EXPECT_FALSE(throttle.Pass(1000));
  EXPECT_TRUE(throttle.Pass(1001));
  EXPECT_FALSE(throttle.Pass(1001));
  EXPECT_TRUE(throttle.Pass(1005));
}

TEST(Progress, TransferPercentageCountsResumedBytesAboveOneMebibyte) {
  // Known length above 1 MiB: resumed prefix included.
  EXPECT_DOUBLE_EQ(*TransferPercentage(4194304.0, 1048576, 1048576, 3145728), 50.0);
  // Exactly 1 MiB: libcurl's totals of this attempt only.
  EXPECT_DOUBLE_EQ(*TransferPercentage(1048576.0, 524288, 262144, 524288), 50.0);
  EXPECT_FALSE(TransferPercentage(1048576.0, 0, 0, 1048576));
  EXPECT_FALSE(TransferPercentage(1048576.0, 0, 10, 0));
  EXPECT_FALSE(TransferPercentage(4194304.0, 0, 0, 0));  // exactly 0 %
  EXPECT_DOUBLE_EQ(*TransferPercentage(4194304.0, -1, 2097152, 4194304), 50.0);
}

TEST(Progress, PartsPercentageSumsEveryPart) {
  EXPECT_DOUBLE_EQ(PartsPercentage(20971520, {10485760, 5242880}), 75.0);
  EXPECT_DOUBLE_EQ(PartsPercentage(255, {100}), 0.0);
  EXPECT_DOUBLE_EQ(PartsPercentage(1000, {0, -5, 10}), 1.0);
}

TEST(ContentRange, ParsesOnlyAStrictSatisfiedRange) {
  struct Case {
    const char* value;
    bool ok;
    std::int64_t first, last, complete;
  } cases[] = {
      {"bytes 0-99/100", true, 0, 99, 100},
      {"  bytes 5-5/6\t", true, 5, 5, 6},
      {"BYTES 10-19/*", true, 10, 19, -1},
      {"bytes 0-9223372036854775806/9223372036854775807", true, 0, 9223372036854775806LL, 9223372036854775807LL},
      {"bytes 0-99/99", false},        // last byte beyond the file
      {"bytes 10-9/100", false},       // first after last
      {"bytes */100", false},          // the unsatisfied form names no bytes
      {"bytes -1-99/100", false},      // a sign
      {"bytes 0-+99/100", false},
      {"bytes  0-99/100", false},      // two spaces
      {"bytes 0 -99/100", false},
      {"bytes=0-99/100", false},       // the request's syntax
      {"items 0-99/100", false},
      {"bytes 0-99", false},           // no complete length
      {"bytes 0-99/100x", false},      // trailing garbage
      {"bytes 0-99/100, 200-299/300", false},
      {"bytes 0-99999999999999999999/100", false},  // overflow
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    std::optional<ContentRange> range = ParseContentRange(c.value);
    ASSERT_EQ(range.has_value(), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(range->first, c.first);
    EXPECT_EQ(range->last, c.last);
    EXPECT_EQ(range->complete, c.complete);
  }
}

TEST(ContentRange, MatchesOnlyTheRangeAskedFor) {
  EXPECT_TRUE(ContentRangeMatches("bytes 100-199/1000", 100, 199, 1000));
  EXPECT_FALSE(ContentRangeMatches("bytes 0-99/1000", 100, 199, 1000));   // starts at 0 whatever was asked
  EXPECT_FALSE(ContentRangeMatches("bytes 100-198/1000", 100, 199, 1000));
  EXPECT_FALSE(ContentRangeMatches("bytes 100-199/2000", 100, 199, 1000));  // another file
  EXPECT_FALSE(ContentRangeMatches("bytes 100-199/*", 100, 199, 1000));
  EXPECT_FALSE(ContentRangeMatches("", 100, 199, 1000));
}

TEST(DownloadFailure, EveryKindOfValueNamesItsOwnCause) {
  struct Case {
    double value;
    const char* cause;
  } cases[] = {
      {404, "HTTP 404"},
      {503, "HTTP 503"},
      {kFailMd5Mismatch, "MD5 differs from the one in the URL"},
      {kFailNoDestination, "no destination path"},
      {47, "redirect loop (libcurl 47)"},
      {28, "no answer in time (libcurl 28)"},
      {kFailHeaderTooLarge, "response header too large"},
      {kFailLengthMismatch, "length differs from the announced one"},
      {kFailForbiddenRedirect, "redirect to a forbidden scheme"},
      {kFailBadLength, "announced length is invalid"},
      {kFailNoLength, "length unknown or too short"},
      {kFailRangeIgnored, "server ignored the requested range"},
      {kFailRangeMismatch, "answer does not match the requested range"},
      {kFailNoAnswer, "server does not answer"},
      {WinHttpFailure(12002), "no answer in time (WinHTTP error 12002)"},
      {WinHttpFailure(12345), "WinHTTP error 12345"},
      {WinHttpFailure(87), "WinHTTP error 87"},  // not libcurl's 87
      {-1.0, "unknown failure"},                  // retired
      {0.5, "unknown failure"},
      {std::nan(""), "unknown failure"},
  };
  for (const Case& c : cases) EXPECT_EQ(DownloadFailureCause(c.value), c.cause) << c.value;
  // libcurl codes without a name of their own still say what libcurl says.
  EXPECT_EQ(DownloadFailureCause(CURLE_SEND_ERROR).rfind("libcurl 55: ", 0), 0u);
}

TEST(RetryBudget, AttemptsAtMostCountsWhatTheBudgetStillAllows) {
  struct Case {
    int attempt, budget, most;
  } cases[] = {
      {1, 12, 6}, {2, 10, 6}, {6, 2, 6},  // every failure costs 2
      {2, 11, 7},                         // one partial file so far
      {12, 1, 12},                        // every failure a partial file
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AttemptsAtMost(c.attempt, c.budget), c.most) << c.attempt << " " << c.budget;
  }
}

}  // namespace
