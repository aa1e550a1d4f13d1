// The failure texts sent to the log.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "rules/diagnostics.h"

namespace {

using namespace rules;

TEST(Diagnostics, TextsAndBounds) {
  DownloadFailureFacts facts;
  facts.code = 28.9;
  facts.message = L"timeout";
  facts.freeGiB = 12.345;
  facts.writable = true;
  facts.network = 0x10000;
  EXPECT_EQ(FormatDownloadFailure(facts),
            L"1.code=28；2.msg=timeout；3.缓存磁盘容量=12.35G；4.缓存读写权限=可读；5.服务器连接状态code=65536");
  facts.writable = false;
  facts.message = std::wstring(500, L'm');
  facts.freeGiB = std::numeric_limits<double>::infinity();
  std::wstring longText = FormatDownloadFailure(facts);
  EXPECT_EQ(longText.size(), 199u);
  EXPECT_EQ(longText.substr(0, 16), L"1.code=28；2.msg=");
  EXPECT_EQ(FormatEventFailure(-3.0, L"bad md5"), L":1.code=-3；2.msg=bad md5");
  EXPECT_EQ(FormatEventFailure(std::nan(""), L"%s%n"), L":1.code=0；2.msg=%s%n");
}

TEST(Diagnostics, EventValueTruncation) {
  struct Case {
    double value;
    std::int32_t truncated;
  };
  for (const Case& c : std::vector<Case>{{-2.9, -2},
                                         {28.9, 28},
                                         {2147483647.0, 2147483647},
                                         {-2147483648.0, -2147483647 - 1},
                                         {2147483648.0, 0},
                                         {1e12, 0},
                                         {-1e12, 0},
                                         {std::numeric_limits<double>::infinity(), 0},
                                         {std::nan(""), 0}}) {
    EXPECT_EQ(TruncateEventValue(c.value), c.truncated) << c.value;
  }
}

}  // namespace
