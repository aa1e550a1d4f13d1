#include "install/status_line.h"

#include <gtest/gtest.h>

#include "utils/events.h"

namespace install {
namespace {

struct Expected {
  std::int32_t code;
  double value;
  std::wstring text;
};

void ExpectEvents(const ChunkResult& result, const std::vector<Expected>& expected, const std::wstring& chunk) {
  ASSERT_EQ(result.events.size(), expected.size()) << "chunk: " << testing::PrintToString(chunk);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(result.events[i].code, expected[i].code) << i;
    EXPECT_DOUBLE_EQ(result.events[i].value, expected[i].value) << i;
    EXPECT_EQ(result.events[i].text, expected[i].text) << i;
  }
}

// A literal with its embedded NUL bytes, without the terminating one.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}
template <std::size_t N>
std::wstring Wide(const wchar_t (&text)[N]) {
  return std::wstring(text, N - 1);
}

struct InstallCase {
  const char* name;
  std::wstring chunk;
  std::vector<Expected> events;
  int verdict;
};

TEST(InstallStatusLines, KeysValuesAndVerdicts) {
  const std::wstring kFail = L"安装包安装失败";
  const InstallCase cases[] = {
      {"progress", L"Progress=0.25\n", {{IST_CODE_PROGRESS, 0.25, L""}}, 0},
      {"progress leading blanks", L"Progress=  0.5\r\n", {{IST_CODE_PROGRESS, 0.5, L""}}, 0},
      {"progress letters", L"Progress=abc\n", {{IST_CODE_PROGRESS, 0.0, L""}}, 0},
      {"progress nan is unreadable", L"Progress=nan\n", {{IST_CODE_PROGRESS, 0.0, L""}}, 0},
      {"space before key ignored", L" Progress=0.5\n", {}, 0},
      {"lower-case key ignored", L"progress=0.5\n", {}, 0},
      {"unknown key ignored", L"Hello=1\nnoise\n", {}, 0},
      {"inst path without its CR", L"InstPath=C:\\P F\r\n", {{IST_CODE_INST_PATH, 0.0, L"C:\\P F"}}, 0},
      {"CRLF ends every value",
       L"InstPath=C:\\inst\r\nUninstEp=C:\\inst\\uninst.ep\r\nExePath=C:\\inst\\T.exe\r\nMessage= x \r\r\n",
       {{IST_CODE_INST_PATH, 0.0, L"C:\\inst"},
        {IST_CODE_UNINST_EP, 0.0, L"C:\\inst\\uninst.ep"},
        {IST_CODE_EXE_PATH, 0.0, L"C:\\inst\\T.exe"},
        {IST_CODE_MESSAGE, 0.0, L" x "}},
       0},
      {"CR inside a value stays", L"Message=a\rb\n", {{IST_CODE_MESSAGE, 0.0, L"a\rb"}}, 0},
      {"NUL ends a line and hides nothing",
       Wide(L"Message=x\0\nState=Fail"),
       {{IST_CODE_MESSAGE, 0.0, L"x"}, {IST_CODE_FAIL, 0.0, kFail}},
       kVerdictFailure},
      {"inst path empty", L"InstPath=", {{IST_CODE_INST_PATH, 0.0, L""}}, 0},
      {"state success trimmed", L"State=Success\r\n", {{IST_CODE_SUCCESS, 0.0, L""}}, kVerdictSuccess},
      {"state success lower-case ignored", L"State=success\n", {}, 0},
      {"state fail", L"State=Fail\n", {{IST_CODE_FAIL, 0.0, kFail}}, kVerdictFailure},
      {"state other", L"State=Running\n", {}, 0},
      {"fail then success: later verdict wins",
       L"State=Fail\nState=Success\n",
       {{IST_CODE_FAIL, 0.0, kFail}, {IST_CODE_SUCCESS, 0.0, L""}},
       kVerdictSuccess},
      {"error", L"Error=disk full\n", {{IST_CODE_FAIL, 1000.0, L"disk full"}}, kVerdictFailure},
      {"lines after a verdict still handled",
       L"Error=x\nProgress=1\n",
       {{IST_CODE_FAIL, 1000.0, L"x"}, {IST_CODE_PROGRESS, 1.0, L""}},
       kVerdictFailure},
      {"exe path and start exe",
       L"ExePath=a.exe\nStartExe=b.exe\n",
       {{IST_CODE_EXE_PATH, 0.0, L"a.exe"}, {IST_CODE_EXE_PATH, 0.0, L"b.exe"}},
       0},
      {"uninst exe both forms",
       L"UninstExePath=u1\nUninstExe=u2\n",
       {{IST_CODE_UNINST_EXE, 0.0, L"u1"}, {IST_CODE_UNINST_EXE, 0.0, L"u2"}},
       0},
      {"uninst ep", L"UninstEp=C:\\P\\uninst.ep", {{IST_CODE_UNINST_EP, 0.0, L"C:\\P\\uninst.ep"}}, 0},
      {"top show", L"TopShowDetention=1500\n", {{IST_CODE_TOP_SHOW_DETENTION, 1500.0, L""}}, 0},
      {"top show negative", L"TopShowDetention=-1\n", {{IST_CODE_TOP_SHOW_DETENTION, 4294967295.0, L""}}, 0},
      {"top show unreadable", L"TopShowDetention=x\n", {{IST_CODE_TOP_SHOW_DETENTION, 0.0, L""}}, 0},
      {"top show out of range", L"TopShowDetention=99999999999\n", {{IST_CODE_TOP_SHOW_DETENTION, 0.0, L""}}, 0},
      {"finish close (wire spelling)",
       L"FinsihCloseDetention=0\n",
       {{IST_CODE_FINISH_CLOSE_DETENTION, 0.0, L""}},
       0},
      {"finish close negative",
       L"FinsihCloseDetention=-2\n",
       {{IST_CODE_FINISH_CLOSE_DETENTION, 4294967294.0, L""}},
       0},
      {"start url", L"StartUrl=https://x.example/\n", {{IST_CODE_START_URL, 0.0, L"https://x.example/"}}, 0},
      {"startup none", L"StartupStyle=NonStartup\n", {{IST_CODE_STARTUP_STYLE, 0.0, L""}}, 0},
      {"startup auto", L"StartupStyle= AutoStartup \r\n", {{IST_CODE_STARTUP_STYLE, 1.0, L""}}, 0},
      {"startup user", L"StartupStyle=UserStartup\n", {{IST_CODE_STARTUP_STYLE, 2.0, L""}}, 0},
      {"startup unknown", L"StartupStyle=Later\n", {{IST_CODE_STARTUP_STYLE, 0.0, L""}}, 0},
      {"message", L"Message=你好\n", {{IST_CODE_MESSAGE, 0.0, L"你好"}}, 0},
      {"install version: no event", L"InstallVersion=1.2.3\n", {}, 0},
      {"last line without LF", L"Progress=0.1\nProgress=0.2", {{IST_CODE_PROGRESS, 0.1, L""}, {IST_CODE_PROGRESS, 0.2, L""}}, 0},
  };
  for (const InstallCase& c : cases) {
    SCOPED_TRACE(c.name);
    InstallStatusState state;
    ChunkResult result = ParseInstallStatus(c.chunk, &state);
    ExpectEvents(result, c.events, c.chunk);
    EXPECT_EQ(result.verdict, c.verdict);
  }
}

TEST(InstallStatusLines, LongValueIsCutTo771Characters) {
  std::wstring longText(5000, L'x');
  InstallStatusState state;
  ChunkResult result = ParseInstallStatus(L"Error=" + longText + L"\n", &state);
  ASSERT_EQ(result.events.size(), 1u);
  EXPECT_EQ(result.events[0].text, std::wstring(kMaxStatusValueChars, L'x'));
  EXPECT_EQ(result.verdict, kVerdictFailure);
}

struct CodePageCase {
  std::wstring word;
  std::int32_t install;
  std::int32_t uninstall;
};

TEST(StatusLines, EncodeSwitchesTheCodePage) {
  // A number that names no convertible code page is ignored: the code page
  // stays 936.
  const CodePageCase cases[] = {
      {L"UTF8", 65001, 65001}, {L" UTF8\r", 65001, 65001}, {L"ACP", 0, 0},     {L"936", 936, 0},
      {L"utf8", 0, 0},         {L"abc", 0, 0},           {L"-12x", 936, 0},   {L"99999999999", 0, 0},
      {L"4242", 936, 0},
  };
  for (const CodePageCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.word));
    InstallStatusState install;
    install.codePage = 936;
    ChunkResult r = ParseInstallStatus(L"Encode=" + c.word + L"\n", &install);
    EXPECT_TRUE(r.events.empty());
    EXPECT_EQ(install.codePage, c.install);

    UninstallStatusState uninstall;
    uninstall.codePage = 936;
    ParseUninstallStatus(L"Encode=" + c.word + L"\n", &uninstall);
    EXPECT_EQ(uninstall.codePage, c.uninstall);
  }
}

TEST(InstallStatusLines, VersionKeepsPartsThatCannotBeRead) {
  InstallStatusState state;
  state.version[0] = 7;
  state.version[1] = 8;
  state.version[2] = 9;
  ParseInstallStatus(L"InstallVersion=1.2\n", &state);
  EXPECT_EQ(state.version[0], 1);
  EXPECT_EQ(state.version[1], 2);
  EXPECT_EQ(state.version[2], 9);
  ParseInstallStatus(L"InstallVersion=4.x.6\n", &state);
  EXPECT_EQ(state.version[0], 4);
  EXPECT_EQ(state.version[1], 2);
  ParseInstallStatus(L"InstallVersion=10.11.12\r\n", &state);
  EXPECT_EQ(state.version[2], 12);
}

struct UninstallCase {
  const char* name;
  std::wstring chunk;
  std::vector<Expected> events;
  int verdict;
};

TEST(UninstallStatusLines, KeysValuesAndVerdicts) {
  const std::wstring kFail = L"安装包卸载失败";
  const UninstallCase cases[] = {
      {"progress", L"Progress=0.4\n", {{UNIST_CODE_PROGRESS, 0.4, L""}}, 0},
      {"error", L"Error=busy\n", {{UNIST_CODE_ERROR, 0.0, L"busy"}}, kVerdictFailure},
      {"success", L"State=Success\r\n", {{UNIST_CODE_SUCCESS, 0.0, L""}}, kVerdictSuccess},
      {"fail", L"State=Fail\n", {{UNIST_CODE_ERROR, 0.0, kFail}}, kVerdictFailure},
      {"success then error",
       L"State=Success\nError=late\n",
       {{UNIST_CODE_SUCCESS, 0.0, L""}, {UNIST_CODE_ERROR, 0.0, L"late"}},
       kVerdictFailure},
      {"install-only keys ignored", L"InstPath=x\nMessage=y\n", {}, 0},
  };
  for (const UninstallCase& c : cases) {
    SCOPED_TRACE(c.name);
    UninstallStatusState state;
    ChunkResult result = ParseUninstallStatus(c.chunk, &state);
    ExpectEvents(result, c.events, c.chunk);
    EXPECT_EQ(result.verdict, c.verdict);
  }
}

TEST(StatusLines, SplitDropsLineEndsAndEmptyTail) {
  EXPECT_EQ(SplitStatusLines(L"a\r\nb\n"), (std::vector<std::wstring>{L"a", L"b"}));
  EXPECT_EQ(SplitStatusLines(L"a\n\nb\r"), (std::vector<std::wstring>{L"a", L"", L"b"}));
  EXPECT_EQ(SplitStatusLines(Wide(L"a\0b")), (std::vector<std::wstring>{L"a", L"b"}));
  EXPECT_TRUE(SplitStatusLines(L"").empty());
}

// ---- bytes read in pieces -> events --------------------------------------

struct ReadsCase {
  const char* name;
  std::int32_t codePage;           // the state's code page before the first read
  std::vector<std::string> reads;  // the bytes of each read, in order
  std::vector<Expected> events;    // every event of the reads and the end
  int verdict;                     // the last verdict reported
};

template <class Reader>
ChunkResult Feed(Reader* reader, const std::string& bytes) {
  return reader->Feed(bytes.data(), bytes.size());
}

// Feeds every read, then the end of the output, as a runner does.
ChunkResult ReadAll(const ReadsCase& c, InstallStatusState* state) {
  InstallStatusReader reader(state);
  ChunkResult all;
  auto add = [&all](ChunkResult r) {
    for (StatusEvent& e : r.events) all.events.push_back(e);
    for (std::wstring& w : r.ignoredEncodings) all.ignoredEncodings.push_back(w);
    if (r.verdict != kVerdictNone) all.verdict = r.verdict;
  };
  for (const std::string& bytes : c.reads) add(reader.Feed(bytes.data(), bytes.size()));
  add(reader.Finish());
  return all;
}

TEST(InstallStatusReader, JoinsLinesAcrossReads) {
  const std::wstring kFail = L"安装包安装失败";
  const std::string kLong(10000, 'x');
  const ReadsCase cases[] = {
      {"verdict split in two reads", 0, {"State=Fa", "il\n"}, {{IST_CODE_FAIL, 0.0, kFail}}, kVerdictFailure},
      {"last line without an end", 0, {"Progress=0.5\nState=Fa", "il"}, {{IST_CODE_PROGRESS, 0.5, L""}, {IST_CODE_FAIL, 0.0, kFail}}, kVerdictFailure},
      {"path split in three reads, CRLF",
       0,
       {"InstPath=C:\\Pro", "gram Files\\T", "\r", "\nProgress=1\r\n"},
       {{IST_CODE_INST_PATH, 0.0, L"C:\\Program Files\\T"}, {IST_CODE_PROGRESS, 1.0, L""}},
       0},
      {"NUL then line feed in one read",
       0,
       {Bytes("Message=x\0\nState=Fail")},
       {{IST_CODE_MESSAGE, 0.0, L"x"}, {IST_CODE_FAIL, 0.0, kFail}},
       kVerdictFailure},
      {"NUL-padded writes", 0, {Bytes("Progress=0.2\0\0\0"), Bytes("Error=e\0")},
       {{IST_CODE_PROGRESS, 0.2, L""}, {IST_CODE_FAIL, 1000.0, L"e"}}, kVerdictFailure},
      {"character split between reads", 65001, {"Message=\xE4\xBD", "\xA0\xE5\xA5\xBD\n"},
       {{IST_CODE_MESSAGE, 0.0, L"你好"}}, 0},
      {"Encode applies from the next line of the same read",
       0,
       {"Encode=936\nMessage=\xC4\xE3\xBA\xC3\n"},
       {{IST_CODE_MESSAGE, 0.0, L"你好"}},
       0},
      {"bogus Encode leaves later lines readable",
       65001,
       {"Encode=4242\nMessage=\xE4\xBD\xA0\nState=Fail\n"},
       {{IST_CODE_MESSAGE, 0.0, L"你"}, {IST_CODE_FAIL, 0.0, kFail}},
       kVerdictFailure},
      {"overlong line is cut, the next one still read",
       0,
       {"Error=" + kLong.substr(0, 3000), kLong.substr(3000) + "\nProgress=0.5\n"},
       {{IST_CODE_FAIL, 1000.0, std::wstring(kMaxStatusValueChars, L'x')}, {IST_CODE_PROGRESS, 0.5, L""}},
       kVerdictFailure},
  };
  for (const ReadsCase& c : cases) {
    SCOPED_TRACE(c.name);
    InstallStatusState state;
    state.codePage = c.codePage;
    ChunkResult all = ReadAll(c, &state);
    ExpectEvents(all, c.events, L"");
    EXPECT_EQ(all.verdict, c.verdict);
  }
}

TEST(InstallStatusReader, BogusEncodeIsReportedForTheLog) {
  InstallStatusState state;
  state.codePage = 65001;
  InstallStatusReader reader(&state);
  ChunkResult r = Feed(&reader, "Encode=4242\r\n");
  EXPECT_EQ(r.ignoredEncodings, (std::vector<std::wstring>{L"4242"}));
  EXPECT_EQ(state.codePage, 65001);
}

TEST(InstallStatusReader, AMegabyteWithoutLineEndStaysBounded) {
  // Fed in pipe-sized pieces; only the first kMaxLineBytes of the line are
  // kept, so the value is cut exactly as a short read would cut it.
  InstallStatusState state;
  InstallStatusReader reader(&state);
  const std::string piece(4096, 'y');
  EXPECT_TRUE(Feed(&reader, "Message=").events.empty());
  for (int i = 0; i < 256; ++i) EXPECT_TRUE(reader.Feed(piece.data(), piece.size()).events.empty());
  ChunkResult end = Feed(&reader, "\nState=Success\n");
  ExpectEvents(end, {{IST_CODE_MESSAGE, 0.0, std::wstring(kMaxStatusValueChars, L'y')}, {IST_CODE_SUCCESS, 0.0, L""}}, L"");
  EXPECT_EQ(end.verdict, kVerdictSuccess);
}

TEST(InstallStatusReader, VerdictBelongsToTheReadThatCompletesItsLine) {
  InstallStatusState state;
  InstallStatusReader reader(&state);
  EXPECT_EQ(Feed(&reader, "State=Succ").verdict, kVerdictNone);
  ChunkResult r = Feed(&reader, "ess\nProgress=1\n");
  EXPECT_EQ(r.verdict, kVerdictSuccess);
  EXPECT_EQ(r.events.size(), 2u);  // the lines after the verdict in the same read are handled too
}

TEST(UninstallStatusReader, JoinsLinesAcrossReads) {
  UninstallStatusState state;
  UninstallStatusReader reader(&state);
  EXPECT_TRUE(Feed(&reader, "State=Fa").events.empty());
  ChunkResult r = Feed(&reader, "il\r\nError=busy\r");
  ExpectEvents(r, {{UNIST_CODE_ERROR, 0.0, L"安装包卸载失败"}}, L"");
  ChunkResult end = reader.Finish();
  ExpectEvents(end, {{UNIST_CODE_ERROR, 0.0, L"busy"}}, L"");
  EXPECT_EQ(end.verdict, kVerdictFailure);
}

}  // namespace
}  // namespace install
