#include "ip6.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

using groups_t = std::array<uint16_t, 8>;

ip6_t make(groups_t g, int sbit, int ebit, int isset = 1) {
  ip6_t ip{};
  for (int i = 0; i < 8; i++) ip.group[i] = g[i];
  ip.sbit = static_cast<uint16_t>(sbit);
  ip.ebit = static_cast<uint16_t>(ebit);
  ip.isset = static_cast<uint8_t>(isset);
  return ip;
}

groups_t groupsof(const ip6_t& ip) {
  groups_t g;
  for (int i = 0; i < 8; i++) g[i] = ip.group[i];
  return g;
}

// A record full of a pattern, to see what a failed parse leaves behind.
ip6_t garbage() {
  return make({0xdead, 0xbeef, 1, 2, 3, 4, 5, 6}, 7, 9, 1);
}

class Ip6 : public testing::Test {
 protected:
  void SetUp() override { ip6_reset(); }
  void TearDown() override { ip6_reset(); }
};

struct parse_row {
  const char* text;
  groups_t groups;
  int sbit, ebit, result;
};

TEST_F(Ip6, FromStrAccepts) {
  const parse_row rows[] = {
      // The worked results.
      {"2001:db8::/48", {0x2001, 0xdb8}, 0, 48, 13},
      {"2001:db8::", {0x2001, 0xdb8}, 0, 128, 10},
      {"1:2:3:4:5:6:7:8/64", {1, 2, 3, 4, 5, 6, 7, 8}, 0, 64, 18},
      {"1::2:3:4:5:6:7", {1, 0, 2, 3, 4, 5, 6, 7}, 0, 128, 14},
      {"2002:0a01:0203::/48\n", {0x2002, 0xa01, 0x203}, 0, 48, 19},
      {"fe80::1%em0", {0xfe80, 0, 0, 0, 0, 0, 0, 1}, 0, 128, 7},
      {"2001:db8::1 x/64", {0x2001, 0xdb8, 0, 0, 0, 0, 0, 1}, 0, 64, 16},
      {"2001:db8::/200", {0x2001, 0xdb8}, 0, 128, 14},
      {"2001:db8::/x", {0x2001, 0xdb8}, 0, 128, 11},
      {"::1:2:3:4", {0, 0, 0, 0, 1, 2, 3, 4}, 64, 128, 9},
      {"::", {}, 64, 128, 2},
      {":5:", {0, 0, 0, 5}, 48, 64, 3},
      {":5", {5}, 48, 64, 2},
      // Host IDs: "::" then up to eight groups, the last one in group 7.
      {"::1", {0, 0, 0, 0, 0, 0, 0, 1}, 64, 128, 3},
      {"::1:2:3:4:5:6:7:8", {1, 2, 3, 4, 5, 6, 7, 8}, 64, 128, 17},
      {"::211:22ff:fe33:4455 rest", {0, 0, 0, 0, 0x211, 0x22ff, 0xfe33, 0x4455}, 64, 128, 20},
      // The single-':' forms.
      {":5:6", {0, 0, 0, 5, 6}, 48, 64, 4},
      {":", {}, 48, 64, 1},
      {":1:2:3", {1, 2, 3}, 48, 64, 6},
      {":1:2:3:4:5:6:7:8", {1, 2, 3, 4, 5, 6, 7, 8}, 48, 64, 16},
      {":1::", {1}, 48, 64, 4},
      {":ffff:\t", {0, 0, 0, 0xffff}, 48, 64, 6},
      // Lengths: "%u" skips white space and takes a sign; a negative value
      // wraps and is too long; the count stops after the digits next to '/'.
      {"2001:db8::/0", {0x2001, 0xdb8}, 0, 0, 12},
      {"2001:db8::/127", {0x2001, 0xdb8}, 0, 127, 14},
      {"2001:db8::/128", {0x2001, 0xdb8}, 0, 128, 14},
      {"2001:db8::/ 48", {0x2001, 0xdb8}, 0, 48, 11},
      {"2001:db8::/+48", {0x2001, 0xdb8}, 0, 48, 11},
      {"2001:db8::/-5", {0x2001, 0xdb8}, 0, 128, 11},
      {"2001:db8::/-0", {0x2001, 0xdb8}, 0, 0, 11},
      {"2001:db8::/4294967297", {0x2001, 0xdb8}, 0, 1, 21},
      {"2001:db8::/", {0x2001, 0xdb8}, 0, 128, 11},
      {"2001:db8::/48/64", {0x2001, 0xdb8}, 0, 48, 13},
      {"2001:db8:: and later /56 x", {0x2001, 0xdb8}, 0, 56, 24},
      // Groups: more than four digits keep the first four; either case.
      {"12345::", {0x1234}, 0, 128, 7},
      {"ABCD:Ef01::", {0xabcd, 0xef01}, 0, 128, 11},
      // Seven ':' with "::": it stands for one zero group.
      {"1:2:3::5:6:7:8", {1, 2, 3, 0, 5, 6, 7, 8}, 0, 128, 14},
      // "%4x" counts a leading "0x" among its four characters.
      {"1:2:3:4:5:6:7:0x12", {1, 2, 3, 4, 5, 6, 7, 0x12}, 0, 128, 15},
      {"0::", {}, 0, 128, 3},
      {"::0x", {}, 64, 128, 3},
      // High-bit bytes are no hex digits.
      {"1::\xe4", {1}, 0, 128, 3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    ip6_t ip = garbage();
    ASSERT_EQ(ip6fromstr(&ip, row.text), row.result);
    EXPECT_EQ(ip.isset, 1);
    EXPECT_EQ(groupsof(ip), row.groups);
    EXPECT_EQ(ip.sbit, row.sbit);
    EXPECT_EQ(ip.ebit, row.ebit);
  }
}

}  // namespace
