#include "options.h"

#include <gtest/gtest.h>

#include <string>

#include "diag.h"
#include "exitseam.h"
#include "settings.h"

namespace {

// A usage message is formatted whole, however long its argument.
TEST(Usagef, NeverCutsTheMessage) {
  settings_reset();
  progname = "tavrix";
  for (size_t len : {size_t(10), size_t(600), size_t(5000)}) {
    SCOPED_TRACE(len);
    const std::string arg(len, '1');
    testing::internal::CaptureStderr();
    int status = exit_status_of([&] { usagef("Illegal ipv4 address %s\n", arg.c_str()); });
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, TX_EXIT_USAGE);
    EXPECT_EQ(err.substr(0, err.find("usage:")),
              "tavrix error: Illegal ipv4 address " + arg + "\n\n\n");
  }
  settings_reset();
}

}  // namespace
