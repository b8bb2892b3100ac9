#include "diag.h"

#include <gtest/gtest.h>

#include <string>

#include "exitseam.h"
#include "fields.h"
#include "settings.h"

namespace {

TEST(Errexit, NamesTheProgramAndEndsWithStatus127) {
  progname = "tavrix";
  testing::internal::CaptureStderr();
  int status = exit_status_of([] { errexit("bad %s line %d\n", "x", 3); });
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "tavrix: bad x line 3\n");
  EXPECT_EQ(status, 127);
  progname = nullptr;
  testing::internal::CaptureStderr();
  status = exit_status_of([] { errexit("no name\n"); });
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "no name\n");
  EXPECT_EQ(status, 127);
}

TEST(Verbmsg, WritesOnlyAtTheLevelAndCutsLongText) {
  settings_reset();
  std::string long_text(600, 'x');
  testing::internal::CaptureStdout();
  verbmsg(1, "%s", "hidden");
  settings.verbose = 1;
  verbmsg(1, "%s\n", "shown");
  verbmsg(2, "%s", "hidden too");
  verbmsg(1, "%s", long_text.c_str());
  logflush();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "shown\n" + std::string(511, 'x'));
  settings_reset();
}

TEST(Assertions, NameFunctionFileLineAndCondition) {
  EXPECT_DEATH(skipdelim(nullptr, 0), "fields\\.cc:[0-9]+: skipdelim: Assertion `line != NULL' failed");
}

}  // namespace
