// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/update_check.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/gbk.h"
#include "test_support.h"
#include "unit/update_test_server.h"
#include "unit/update_test_support.h"
#include "update/curl_http_getter.h"

namespace tamberlo::update {
namespace {

using test::setLocalModTime;
using test::TempDir;
using test::TestHttpServer;
using test::writeBytes;

constexpr const char* kPath = "/update/kestrel/act";
// Answering servers get plenty of time (a busy machine must not fail a test);
// the silent one only as long as the test needs to see the time-out work.
constexpr std::chrono::milliseconds kPatient{20000};
constexpr std::chrono::milliseconds kShort{300};

TEST(UpdateCheck, UrlGetsExactlyOneSlash) {
  struct Case {
    const char* base;
    const char* expected;
  } cases[] = {
      {"http://h/update/kestrel/act", "http://h/update/kestrel/act/update.htm"},
      {"http://h/update/kestrel/act/", "http://h/update/kestrel/act/update.htm"},
      {"", "/update.htm"},
  };
  for (const auto& c : cases) EXPECT_EQ(updateUrl(c.base, "update"), c.expected) << c.base;
}

TEST(UpdateCheck, SectionsNameFilesBelowTheFolderOnly) {
  struct Case {
    const char* section;
    const char* expected;  // nullptr: skipped
  } cases[] = {
      {"act.exe", "/x/act.exe"},
      {"lib\\lcd.dll", "/x/lib/lcd.dll"},
      {"lib/sub/spi.dll", "/x/lib/sub/spi.dll"},
      {"./act.exe", "/x/./act.exe"},
      {"..act.exe", "/x/..act.exe"},
      {"a..b/c", "/x/a..b/c"},
      {"", nullptr},
      {"..", nullptr},
      {"../act.exe", nullptr},
      {"..\\act.exe", nullptr},
      {"lib/../../act.exe", nullptr},
      {"lib\\..", nullptr},
      {"/etc/passwd", nullptr},
      {"\\windows\\act.exe", nullptr},
      {"\\\\server\\share\\act.exe", nullptr},
      {"C:\\act.exe", nullptr},
      {"c:act.exe", nullptr},
  };
  for (const auto& c : cases) {
    auto path = localFileFor("/x/", c.section);
    if (c.expected) {
      EXPECT_EQ(path.value_or("<skipped>"), c.expected) << c.section;
    } else {
      EXPECT_FALSE(path.has_value()) << c.section << " -> " << *path;
    }
  }
  EXPECT_EQ(localFileFor("/x", "a").value_or(""), "/x/a");
}

// ExeDir is a folder "exe/" inside a scratch folder, so the tests can put a
// file just outside it. act.exe and lib/lcd.dll are dated 2026-12-07 10:30:00;
// ../outside.exe is old.
class UpdateCheckRun : public ::testing::Test {
 protected:
  void SetUp() override {
    exeDir_ = root_.path() + "exe/";
    ASSERT_TRUE(createFolder(exeDir_));
    ASSERT_TRUE(createFolder(exeDir_ + "lib"));
    for (std::string name : {"exe/act.exe", "exe/lib/lcd.dll"}) {
      writeBytes(root_ / name, "MZ");
      ASSERT_TRUE(setLocalModTime(root_ / name, 2026, 12, 7, 10, 30, 0));
    }
    writeBytes(root_ / "outside.exe", "MZ");
    ASSERT_TRUE(setLocalModTime(root_ / "outside.exe", 2000, 1, 1, 0, 0, 0));
  }

  UpdateSource source(std::string base = {}) const {
    if (base.empty()) base = server_.baseUrl() + kPath;
    return {base, "update", exeDir_};
  }

  // Serves `descriptor` and runs the check.
  bool check(const std::string& descriptor) {
    server_.serve(std::string(kPath) + "/update.htm", {200, descriptor});
    return run(source());
  }

  bool run(const UpdateSource& src, std::chrono::milliseconds timeout = kPatient) {
    CurlHttpGetter http;
    bool result = checkForUpdate(src, http, Deadline(timeout));
    EXPECT_FALSE(fileExists(exeDir_ + "update.ini")) << "update.ini left behind";
    return result;
  }

  TempDir root_;
  std::string exeDir_;
  TestHttpServer server_;
};

TEST_F(UpdateCheckRun, ComparesTheLocalFileDate) {
  struct Case {
    const char* descriptor;
    bool expected;
    const char* why;
  } cases[] = {
      {"[act.exe]\r\ndatetime=2026-12-07 10:30:02\r\n", true, "newer"},
      {"[act.exe]\r\ndatetime=2026-12-07 10:30:00\r\n", false, "equal"},
      {"[act.exe]\r\ndatetime=2026-12-07 10:29:59\r\n", false, "older"},
      {"[ACT.EXE]\r\nDateTime=2026/12/8 9:00\r\n", false, "case differs: no such local file"},
      {"[act.exe]\r\nversion=2.1.2\r\ndatetime = 8.12.2026 09:00 \r\n", true,
       "other keys, blanks, day first"},
      {"[act.exe]\ndatetime=2026-12-08T09:00", true, "LF lines, no final line end"},
      {"[lib\\lcd.dll]\r\ndatetime=2026-12-08 09:00:00\r\n", true, "backslash folder"},
      // The last comparison wins, whichever way it goes.
      {"[act.exe]\r\ndatetime=2026-12-08 09:00\r\n[lib/lcd.dll]\r\ndatetime=2026-12-01 09:00\r\n", false,
       "newer then older"},
      {"[act.exe]\r\ndatetime=2026-12-01 09:00\r\n[lib/lcd.dll]\r\ndatetime=2026-12-08 09:00\r\n", true,
       "older then newer"},
      // Failing sections are skipped and keep the earlier result.
      {"[gone.exe]\r\ndatetime=2030-01-01 00:00\r\n", false, "missing local file only"},
      {"[act.exe]\r\ndatetime=2026-12-08 09:00\r\n[gone.exe]\r\ndatetime=2020-01-01 00:00\r\n", true,
       "newer then missing"},
      {"[act.exe]\r\ndatetime=2026-12-08 09:00\r\n[lib/lcd.dll]\r\ndatetime=next week\r\n", true,
       "newer then bad date"},
      {"[act.exe]\r\ndatetime=2026-12-08 09:00\r\n[lib/lcd.dll]\r\n", true, "newer then no date"},
      {"[act.exe]\r\ndatetime=\r\n", false, "empty date"},
      {"[lib]\r\ndatetime=2030-01-01 00:00\r\n", false, "a folder is not a file"},
      {"[act.exe]\r\ndatetime=2026-12-01 09:00\r\n[ACT.EXE]\r\ndatetime=2026-12-08 09:00\r\n", false,
       "a repeated section counts once, with its first block"},
      // Names outside ExeDir are never looked at, though the file exists.
      {"[../outside.exe]\r\ndatetime=2026-12-08 09:00\r\n", false, "climbs out"},
      {"[..\\outside.exe]\r\ndatetime=2026-12-08 09:00\r\n", false, "climbs out with backslash"},
      {"[act.exe]\r\ndatetime=2026-12-08 09:00\r\n[../outside.exe]\r\ndatetime=2000-01-01 00:00\r\n", true,
       "escape skipped, earlier result kept"},
      {"", false, "empty descriptor"},
      {"<html><body>It works!</body></html>", false, "not a descriptor"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(check(c.descriptor), c.expected) << c.why;
  }
  // Absolute names: the file exists and is old, still not looked at.
  EXPECT_FALSE(check("[" + root_.path() + "outside.exe]\r\ndatetime=2026-12-08 09:00\r\n"));
}

TEST_F(UpdateCheckRun, RoundsTheFileDateDownToEvenSeconds) {
  ASSERT_TRUE(setLocalModTime(exeDir_ + "act.exe", 2026, 12, 7, 10, 30, 1));
  // The file reads as 10:30:00, so the descriptor's 10:30:01 is later.
  EXPECT_TRUE(check("[act.exe]\r\ndatetime=2026-12-07 10:30:01\r\n"));
}

TEST_F(UpdateCheckRun, ReadsGbkSectionNames) {
  writeBytes(exeDir_ + "说明.txt", "readme");
  ASSERT_TRUE(setLocalModTime(exeDir_ + "说明.txt", 2026, 12, 7, 10, 30, 0));
  EXPECT_TRUE(check(utf8ToGbk("[说明.txt]\r\ndatetime=2026-12-08 09:00\r\n")));
}

TEST_F(UpdateCheckRun, AsksForTheDescriptorOnceWithTheFixedHeaders) {
  const std::string newer = "[act.exe]\r\ndatetime=2026-12-08 09:00\r\n";
  server_.serve(std::string(kPath) + "/update.htm", {200, newer});
  EXPECT_TRUE(run(source(server_.baseUrl() + kPath)));
  EXPECT_TRUE(run(source(server_.baseUrl() + kPath + "/")));
  auto requests = server_.requests();
  ASSERT_EQ(requests.size(), 2u);
  // The fixed headers and nothing else (Host belongs to HTTP/1.1 itself).
  for (const auto& r : requests) {
    EXPECT_EQ(r, "GET /update/kestrel/act/update.htm HTTP/1.1\r\nHost: 127.0.0.1:" +
                     std::to_string(server_.port()) +
                     "\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\nAccept: text/html, */*");
  }
}

TEST_F(UpdateCheckRun, FailedDownloadsSaveNothingAndShowNothing) {
  const std::string newer = "[act.exe]\r\ndatetime=2026-12-08 09:00\r\n";
  const std::string stem = std::string(kPath) + "/update.htm";
  // An update.ini from an interrupted earlier run announces an update; it
  // must not be read when the download fails.
  auto stale = [&] { writeBytes(exeDir_ + "update.ini", newer); };
  struct Case {
    TestHttpServer::Reply reply;
    const char* why;
  } cases[] = {
      {{404, newer}, "404 with a descriptor-like page"},
      {{500, newer}, "server error"},
      {{200, newer + "; " + std::string(kMaxBodyBytes, 'x') + "\r\n"}, "body above the limit"},
      {{200, newer + "; " + std::string(kMaxBodyBytes, 'x') + "\r\n", true}, "chunked body above the limit"},
      {{200, newer, false, true}, "silent server"},
      {{200, newer, false, false, true}, "server answering too slowly"},
  };
  for (const auto& c : cases) {
    stale();
    server_.serve(stem, c.reply);
    EXPECT_FALSE(run(source(), c.reply.silent || c.reply.trickle ? kShort : kPatient)) << c.why;
  }
  stale();
  EXPECT_FALSE(run(source("http://127.0.0.1:" + std::to_string(TestHttpServer::closedPort()) + kPath)))
      << "unreachable";
  stale();
  EXPECT_FALSE(run(source("not a url"))) << "bad base URL";
  // No folder: nothing is fetched, nothing written to the current folder.
  size_t asked = server_.requests().size();
  CurlHttpGetter http;
  EXPECT_FALSE(checkForUpdate({server_.baseUrl() + kPath, "update", ""}, http, Deadline(kPatient)))
      << "no folder";
  EXPECT_EQ(server_.requests().size(), asked);
  // A body just at the limit is still a descriptor.
  std::string padded = newer + "; ";
  padded += std::string(kMaxBodyBytes - padded.size(), 'x');
  server_.serve(stem, {200, padded});
  EXPECT_TRUE(run(source())) << "body at the limit";
}

TEST_F(UpdateCheckRun, TheComparisonStopsAtTheDeadline) {
  std::string many;
  for (int i = 0; i < 1000; ++i) many += "[act.exe" + std::to_string(i) + "]\r\n";
  IniFile descriptor = IniFile::fromText(many + "[act.exe]\r\ndatetime=2026-12-08 09:00\r\n");
  EXPECT_TRUE(descriptorAnnouncesUpdate(descriptor, exeDir_));
  EXPECT_THROW(
      descriptorAnnouncesUpdate(descriptor, exeDir_, Deadline(std::chrono::hours(1), [] { return true; })),
      Error);
}

TEST_F(UpdateCheckRun, ANewDescriptorReplacesAStaleOne) {
  writeBytes(exeDir_ + "update.ini", "[act.exe]\r\ndatetime=2030-01-01 00:00\r\n");
  EXPECT_FALSE(check("[act.exe]\r\ndatetime=2026-12-01 00:00\r\n"));
}

TEST_F(UpdateCheckRun, AnUnwritableDescriptorMeansNoUpdate) {
  // A folder in the descriptor's place can be neither replaced nor read.
  ASSERT_TRUE(createFolder(exeDir_ + "update.ini"));
  server_.serve(std::string(kPath) + "/update.htm", {200, "[act.exe]\r\ndatetime=2026-12-08 09:00\r\n"});
  CurlHttpGetter http;
  EXPECT_FALSE(checkForUpdate(source(), http, Deadline(kPatient)));
  EXPECT_TRUE(folderExists(exeDir_ + "update.ini"));
}

TEST_F(UpdateCheckRun, AnInstalledProgramKeepsTheDescriptorInTheCacheFolder) {
  // The folder blocking update.ini beside the program stands in for a
  // read-only program folder, which root could still write.
  ASSERT_TRUE(createFolder(exeDir_ + "update.ini"));
  server_.serve(std::string(kPath) + "/update.htm", {200, "[act.exe]\r\ndatetime=2026-12-08 09:00\r\n"});
  UpdateSource src = source();
  src.descriptorFolder = root_.path() + "cache/tamberlo/";  // not there yet
  CurlHttpGetter http;
  EXPECT_TRUE(checkForUpdate(src, http, Deadline(kPatient)));  // compares the program's own act.exe
  EXPECT_TRUE(folderExists(src.descriptorFolder));
  EXPECT_FALSE(fileExists(src.descriptorFolder + "update.ini"));
}

TEST_F(UpdateCheckRun, AStaleDescriptorInAReadOnlyFolderDoesNotCount) {
  if (::geteuid() == 0) GTEST_SKIP() << "root deletes and writes anywhere";
  writeBytes(exeDir_ + "update.ini", "[act.exe]\r\ndatetime=2030-01-01 00:00\r\n");
  ::chmod(exeDir_.c_str(), 0555);
  server_.serve(std::string(kPath) + "/update.htm", {200, "[act.exe]\r\ndatetime=2026-12-01 00:00\r\n"});
  CurlHttpGetter http;
  bool result = checkForUpdate(source(), http, Deadline(kPatient));
  ::chmod(exeDir_.c_str(), 0755);
  EXPECT_FALSE(result);
}

}  // namespace
}  // namespace tamberlo::update
