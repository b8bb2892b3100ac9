#include "generate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "diag.h"
#include "driver.h"
#include "exitseam.h"
#include "settings.h"
#include "spool.h"

namespace {

class Generator : public testing::Test {
 protected:
  void SetUp() override { tavrix_reset(); }
  void TearDown() override { tavrix_reset(); }
};

TEST_F(Generator, AnUnknownRecordTypeIsFatal) {
  host_t host{};
  ip6_t prefix{}, hostid{}, subnetid{};
  ASSERT_GT(ip6fromstr(&prefix, "2001:db8::/48"), 0);
  ASSERT_GT(ip6fromstr(&hostid, "::1"), 0);
  ASSERT_GT(ip6fromstr(&subnetid, ":1:"), 0);
  progname = "tavrix";
  testing::internal::CaptureStderr();
  int status = exit_status_of(
      [&] { gen_dns('x', &prefix, nullptr, &host, &hostid, &subnetid, nullptr); });
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tavrix: fatal error: illegal gen_dns type 120\n");
  EXPECT_EQ(status, TX_EXIT_FATAL);
}

TEST_F(Generator, TheGeneratorLeavesTheSubnetIdStartingAtThePrefixEnd) {
  host_t host{};
  strcpy(host.name, "www");
  host.isset = 1;
  ip6_t prefix{}, hostid{}, subnetid{};
  ASSERT_GT(ip6fromstr(&prefix, "2001:db8::/56"), 0);
  ASSERT_GT(ip6fromstr(&hostid, "::1"), 0);
  ASSERT_GT(ip6fromstr(&subnetid, ":1234:"), 0);
  settings.squeeze = 2;
  testing::internal::CaptureStdout();
  EXPECT_EQ(gen_dns('f', &prefix, nullptr, &host, &hostid, &subnetid, nullptr), 1);
  fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "www                  \t\tIN  AAAA\t2001:db8:0:34::1 \n");
  EXPECT_EQ(ip6getsbit(&subnetid), 56u);
}

// The generator joins host and domain itself as well: a name the reader
// would have refused still never reaches the output.
TEST_F(Generator, TheGeneratorRefusesNamesLongerThanDnsHolds) {
  ip6_t prefix{}, hostid{}, subnetid{};
  ASSERT_GT(ip6fromstr(&prefix, "2001:db8::/48"), 0);
  ASSERT_GT(ip6fromstr(&hostid, "::1"), 0);
  ASSERT_GT(ip6fromstr(&subnetid, ":1:"), 0);
  progname = "tavrix";
  struct Row {
    int type;
    size_t hostlen;  // with "example.com." a name of hostlen + 13
    std::string err;
  };
  const std::string h242(242, 'h');
  const Row rows[] = {
      {'d', 241, ""},
      {'r', 241, ""},
      {'d', 242,
       "tavrix: owner name of host " + h242 + " in domain example.com. is longer than 254 "
       "characters\ntavrix: no update was written\n"},
      {'r', 242,
       "tavrix: PTR target of host " + h242 + " in domain example.com. is longer than 254 "
       "characters\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(1, char(r.type)) + " " + std::to_string(r.hostlen));
    host_t host{};
    memset(host.name, 'h', r.hostlen);
    host.isset = 1;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    // Update lines wait in the spool, and go out when it is written.
    int status = exit_status_of([&] {
      if (r.type == 'd') spool_open();
      gen_dns(r.type, &prefix, nullptr, &host, &hostid, &subnetid, nullptr);
      if (r.type == 'd') spool_write(false);
    });
    fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), r.err);
    EXPECT_EQ(status, r.err.empty() ? -1 : TX_EXIT_FATAL);
    if (r.err.empty()) {
      EXPECT_NE(out.find(std::string(r.hostlen, 'h') + ".example.com. "), std::string::npos);
    }
  }
}

}  // namespace
