#include "driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diag.h"
#include "exitseam.h"
#include "scope.h"
#include "settings.h"

namespace {

// Runs the whole program in this process, as the command line would.
int run(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int status = -1;
  int ended = exit_status_of([&] { status = tavrix_main((int)args.size(), argv.data()); });
  return ended >= 0 ? ended : status;
}

class Program : public testing::Test {
 protected:
  void SetUp() override { tavrix_reset(); }
  void TearDown() override { tavrix_reset(); }
};

TEST_F(Program, ExitPathsAreObservableWithoutEndingTheTest) {
  struct row {
    std::vector<std::string> args;
    int status;
    std::string stderr_begins;
  } rows[] = {
      {{"/usr/bin/tavrix", "-h"}, TX_EXIT_OK, "usage: tavrix -h|-V\n"},
      {{"tavrix", "-V"}, TX_EXIT_OK, "tavrix version v1.3"},
      {{"tavrix", "-x"}, TX_EXIT_USAGE, "tavrix error: tavrix: unknown option \"-x\"\n"},
      {{"tavrix", "-b", "7"}, TX_EXIT_USAGE,
       "tavrix error: Option -b: reverse mask must be on nibble boundary\n"},
      {{"tavrix", "-t", "5x"}, TX_EXIT_FATAL, "tavrix: illegal ttl scaling x\n"},
      {{"tavrix", "-R"}, TX_EXIT_OK, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.args.back());
    testing::internal::CaptureStderr();
    int status = run(r.args);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, r.status);
    EXPECT_EQ(err.substr(0, r.stderr_begins.size()), r.stderr_begins);
    tavrix_reset();
  }
}

TEST_F(Program, ResetForgetsPrefixesAndSettingsOfAnEarlierRun) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(run({"tavrix", "-R", "-o", "x", "-D", "-p", "2001:db8::/48"}), TX_EXIT_OK);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(prfxcount(), 1);
  EXPECT_STREQ(settings.origin, "x.");
  tavrix_reset();
  EXPECT_EQ(prfxcount(), 0);
  EXPECT_STREQ(settings.origin, "example.com.");
  EXPECT_EQ(settings.delim, '\0');
  EXPECT_EQ(settings.comment, '#');
}

}  // namespace
