#include "settings.h"

#include <gtest/gtest.h>

namespace {

TEST(Settings, OriginAlwaysEndsInADot) {
  settings_reset();
  EXPECT_STREQ(settings.origin, "example.com.");
  struct row {
    const char* arg;
    const char* origin;
  } rows[] = {{"example", "example."}, {"example.", "example."}, {"", "."}, {"a.b", "a.b."}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.arg);
    ASSERT_EQ(settings_setorigin(r.arg), 1);
    EXPECT_STREQ(settings.origin, r.origin);
  }
  settings_reset();
  EXPECT_STREQ(settings.origin, "example.com.");
}

}  // namespace
