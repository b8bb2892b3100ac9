#include "ip6.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "oracles.h"

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


// The group conversion must give what the C library's "%4x" gives, a
// leading "0x" included; the group is the last of an eight-group text.
TEST_F(Ip6, FromStrGroupLikeScanf) {
  const char* const groups[] = {"0",    "1",     "ffff", "FfFf",  "12345", "0x12", "0X1f",
                                "0xg",  "0x",    "0xx1", "00x1",  "0x123", "0x:",  "0001"};
  for (const char* group : groups) {
    SCOPED_TRACE(group);
    std::string text = std::string("1:2:3:4:5:6:7:") + group;
    unsigned want = 0;
    ASSERT_EQ(sscanf(group, "%4x", &want), 1);
    ip6_t ip{};
    ASSERT_GT(ip6fromstr(&ip, text.c_str()), 0);
    EXPECT_EQ(ip.group[7], want);
  }
}

struct refuse_row {
  const char* text;
  int result;  // 0: any negative result
};

TEST_F(Ip6, FromStrRefuses) {
  const refuse_row rows[] = {
      {"1::2::3", -1},
      {"1:::2", -1},
      {":::", -1},
      {"::1::", -1},
      {":1::2::", -1},
      {"1:2", -2},
      {"1:2:3:4:5:6:7::", -2},
      {"1:2:3:4:5:6:7:8:9", -2},
      {"www.example.com", -2},
      {"deadbeef", -2},
      {"/64", -2},
      {"", -2},
      {" 2001:db8::", -2},
      // Groups that would run past group 7.
      {":1::2", 0},
      {":1:2::3:4", 0},
      {"::1:2:3:4:5:6:7:8:9", 0},
      {"::1:2:3:4:5:6:7:8:", 0},
      {":1:2:3:4:5:6:7:8:9", 0},
      {":1:2:3:4:5:6:7:8:9:a:b:c:d:e:f", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    ip6_t ip = garbage();
    const ip6_t before = ip;
    int result = ip6fromstr(&ip, row.text);
    if (row.result != 0) {
      EXPECT_EQ(result, row.result);
    } else {
      EXPECT_LT(result, 0);
    }
    EXPECT_EQ(ip.isset, 0);
    EXPECT_EQ(groupsof(ip), groupsof(before));
    EXPECT_EQ(ip.sbit, before.sbit);
    EXPECT_EQ(ip.ebit, before.ebit);
  }
}

// Random texts of address characters, each in a heap block of its exact
// size so that a sanitizer build sees any read past the terminator.
TEST_F(Ip6, FromStrStaysInsideText) {
  const char alphabet[] = "0123456789abcdefxX::::::/ %-+.\xe4";
  std::mt19937 rng(20240611);
  for (int n = 0; n < 20000; n++) {
    size_t len = rng() % 40;
    char* text = static_cast<char*>(malloc(len + 1));
    ASSERT_NE(text, nullptr);
    for (size_t i = 0; i < len; i++) text[i] = alphabet[rng() % (sizeof(alphabet) - 1)];
    text[len] = '\0';
    SCOPED_TRACE(text);
    ip6_t ip = garbage();
    const ip6_t before = ip;
    int result = ip6fromstr(&ip, text);
    if (result > 0) {
      EXPECT_EQ(ip.isset, 1);
      EXPECT_LE(size_t(result), len);
      EXPECT_LE(ip.sbit, ip.ebit);
      EXPECT_LE(ip.ebit, 128);
    } else {
      EXPECT_GE(result, -3);
      EXPECT_EQ(ip.isset, 0);
      EXPECT_EQ(groupsof(ip), groupsof(before));
    }
    free(text);
    if (HasFailure()) break;
  }
}

struct print_row {
  const char* name;
  ip6_t ip;
  const char* natural;
  const char* full;
};

TEST_F(Ip6, PrintForms) {
  const groups_t seq = {1, 2, 3, 4, 5, 6, 7, 8};
  const print_row rows[] = {
      {"empty record", make(seq, 0, 128, 0), "", ""},
      {"/48 prefix", make({0x2001, 0xdb8}, 0, 48),
       "2001:0db8:0000:0000:0000:0000:0000:0000/48",
       "2001:0db8:0000:0000:0000:0000:0000:0000/48"},
      {"/128 address", make({0x2001, 0xdb8, 0, 1, 0x211, 0x22ff, 0xfe33, 0x4455}, 0, 128),
       "2001:0db8:0000:0001:0211:22ff:fe33:4455", "2001:0db8:0000:0001:0211:22ff:fe33:4455"},
      {"/0 prefix", make({}, 0, 0), "0000:0000:0000:0000:0000:0000:0000:0000/0",
       "0000:0000:0000:0000:0000:0000:0000:0000/0"},
      {"host ID", make({0, 0, 0, 0, 0, 0, 0, 1}, 64, 128), "::0000:0000:0000:0001",
       "0000:0000:0000:0000:0000:0000:0000:0001"},
      {"subnet ID", make({0, 0, 0, 5}, 48, 64), ":0005:",
       "0000:0000:0000:0005:0000:0000:0000:0000/64"},
      {"sbit 8: whole groups from group 0", make(seq, 8, 128),
       "::0001:0002:0003:0004:0005:0006:0007:0008", "0001:0002:0003:0004:0005:0006:0007:0008"},
      {"sbit 40 ebit 72", make(seq, 40, 72), ":0003:0004:",
       "0001:0002:0003:0004:0005:0006:0007:0008/72"},
      {"sbit 128", make(seq, 128, 128), ":", "0001:0002:0003:0004:0005:0006:0007:0008"},
      {"inverted range", make(seq, 64, 48), ":", "0001:0002:0003:0004:0005:0006:0007:0008/48"},
      {"longest text", make(seq, 16, 100), ":0002:0003:0004:0005:0006:",
       "0001:0002:0003:0004:0005:0006:0007:0008/100"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    char buf[64];
    EXPECT_STREQ(ip6tostr(buf, sizeof(buf), &row.ip), row.natural);
    EXPECT_STREQ(ip6tofullstr(buf, sizeof(buf), &row.ip), row.full);
    EXPECT_STREQ(ip62string(buf, sizeof(buf), &row.ip, 0), row.natural);
  }
}

TEST_F(Ip6, PrintUpperCase) {
  const ip6_t ip = make({0xabcd, 0xef01, 0, 0xa5, 0xb, 0xc, 0xd, 0xe}, 0, 64);
  const ip6_t host = make({0, 0, 0, 0, 0xb, 0xc, 0xd, 0xe}, 64, 128);
  const ip6_t subnet = make({0, 0, 0, 0xa5}, 48, 64);
  char buf[64];
  ip6hexcase(1);
  EXPECT_STREQ(ip6tostr(buf, sizeof(buf), &ip), "ABCD:EF01:0000:00A5:000B:000C:000D:000E/64");
  EXPECT_STREQ(ip6tostr(buf, sizeof(buf), &host), "::000B:000C:000D:000E");
  EXPECT_STREQ(ip6tostr(buf, sizeof(buf), &subnet), ":00A5:");
  ip6hexcase(0);
  EXPECT_STREQ(ip6tostr(buf, sizeof(buf), &ip), "abcd:ef01:0000:00a5:000b:000c:000d:000e/64");
  EXPECT_STREQ(ip6tostr(buf, sizeof(buf), &host), "::000b:000c:000d:000e");
}

// Every size from nothing to more than enough: the text is the cut prefix,
// terminated, and nothing past size is touched.
TEST_F(Ip6, PrintCutBuffers) {
  const groups_t seq = {1, 2, 3, 4, 5, 6, 7, 8};
  const print_row rows[] = {
      {"prefix /100", make(seq, 0, 100), "0001:0002:0003:0004:0005:0006:0007:0008/100", ""},
      {"host ID", make(seq, 64, 128), "::0005:0006:0007:0008", ""},
      {"subnet ID", make(seq, 32, 64), ":0003:0004:", ""},
  };
  for (const auto& row : rows) {
    const std::string whole = row.natural;
    for (size_t size = 0; size <= whole.size() + 2; size++) {
      SCOPED_TRACE(std::string(row.name) + ", size " + std::to_string(size));
      char buf[64];
      memset(buf, '#', sizeof(buf));
      EXPECT_EQ(ip6tostr(buf, size, &row.ip), buf);
      for (size_t i = size; i < sizeof(buf); i++) ASSERT_EQ(buf[i], '#') << "byte " << i;
      if (size > 0) {
        EXPECT_EQ(std::string(buf), whole.substr(0, size - 1));
      }
    }
  }
}

TEST_F(Ip6, PrintStaticBuffer) {
  const ip6_t ip = make({1, 2, 3, 4, 5, 6, 7, 8}, 0, 100);
  char* text = ip6tostr(nullptr, 1, &ip);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "0001:0002:0003:0004:0005:0006:0007:0008/100");
  const ip6_t host = make({0, 0, 0, 0, 0, 0, 0, 1}, 64, 128);
  EXPECT_EQ(ip6tofullstr(nullptr, 0, &host), text);
  EXPECT_STREQ(text, "0000:0000:0000:0000:0000:0000:0000:0001");
}

TEST_F(Ip6, Put) {
  const ip6_t ip = make({0x2001, 0xdb8}, 0, 48);
  FILE* fp = tmpfile();
  ASSERT_NE(fp, nullptr);
  EXPECT_EQ(ip6put(fp, &ip), 42);
  rewind(fp);
  char line[64] = {};
  ASSERT_NE(fgets(line, sizeof(line), fp), nullptr);
  EXPECT_STREQ(line, "2001:0db8:0000:0000:0000:0000:0000:0000/48");
  EXPECT_EQ(fclose(fp), 0);
}

struct cmp_row {
  const char* name;
  ip6_t a, b;
  int result;
};

TEST_F(Ip6, Compare) {
  const groups_t seq = {1, 2, 3, 4, 5, 6, 7, 8};
  const cmp_row rows[] = {
      {"both empty", make(seq, 0, 128, 0), make(seq, 0, 128, 0), -1},
      {"first empty", make(seq, 0, 128, 0), make(seq, 0, 128), -1},
      {"second empty", make(seq, 0, 128), make(seq, 0, 128, 0), 1},
      {"equal", make(seq, 0, 128), make(seq, 0, 128), 0},
      {"only sbit differs", make(seq, 0, 64), make(seq, 48, 64), 0},
      {"ebit 48 against 64", make(seq, 0, 48), make(seq, 0, 64), -16},
      {"last group", make({1, 2, 3, 4, 5, 6, 7, 1}, 0, 128), make(seq, 0, 128), -7},
      {"first group decides", make({2}, 0, 48), make({1, 0xffff}, 0, 128), 1},
      {"groups unsigned", make({0xffff}, 0, 128), make({0}, 0, 128), 65535},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ip6cmp(&row.a, &row.b), row.result);
  }
  const ip6_t empty{};
  EXPECT_EQ(ip6cmp(&empty, &empty), -1);
}

TEST_F(Ip6, CopyAndIsSet) {
  EXPECT_EQ(ip6isset(nullptr), 0);
  ip6_t* fresh = ip6copy(nullptr, nullptr);
  ASSERT_NE(fresh, nullptr);
  const ip6_t zero{};
  EXPECT_EQ(memcmp(fresh, &zero, sizeof(zero)), 0);
  EXPECT_EQ(ip6isset(fresh), 0);
  free(fresh);

  const ip6_t src = make({0x2001, 0xdb8, 3}, 16, 48);
  ip6_t* dup = ip6copy(nullptr, &src);
  ASSERT_NE(dup, nullptr);
  EXPECT_EQ(groupsof(*dup), groupsof(src));
  EXPECT_EQ(dup->sbit, 16);
  EXPECT_EQ(dup->ebit, 48);
  EXPECT_EQ(ip6isset(dup), 1);
  free(dup);

  ip6_t dst = garbage();
  EXPECT_EQ(ip6copy(&dst, &src), &dst);
  EXPECT_EQ(ip6cmp(&dst, &src), 0);
  EXPECT_EQ(dst.sbit, 16);
  EXPECT_EQ(ip6copy(&dst, nullptr), &dst);
  EXPECT_EQ(memcmp(&dst, &zero, sizeof(zero)), 0);
}

TEST_F(Ip6, BitRangeSetters) {
  struct row {
    const char* name;
    void (*apply)(ip6_t*);
    int sbit, ebit;
  };
  const row rows[] = {
      {"setebit 200", [](ip6_t* ip) { ip6setebit(ip, 200); }, 16, 128},
      {"setebit -1", [](ip6_t* ip) { ip6setebit(ip, -1); }, 16, 0},
      {"setebit 64", [](ip6_t* ip) { ip6setebit(ip, 64); }, 16, 64},
      {"setsbit -5", [](ip6_t* ip) { ip6setsbit(ip, -5); }, 0, 32},
      {"setsbit 1", [](ip6_t* ip) { ip6setsbit(ip, 1); }, 1, 32},
      {"setsbit 129", [](ip6_t* ip) { ip6setsbit(ip, 129); }, 128, 32},
      {"setmask 40", [](ip6_t* ip) { EXPECT_EQ(ip6setmask(ip, 40), 40); }, 0, 40},
      {"setmask -3", [](ip6_t* ip) { EXPECT_EQ(ip6setmask(ip, -3), -3); }, 0, 0},
      {"setmask 300", [](ip6_t* ip) { EXPECT_EQ(ip6setmask(ip, 300), 300); }, 0, 128},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    ip6_t ip = make({1, 2, 3, 4, 5, 6, 7, 8}, 16, 32);
    r.apply(&ip);
    EXPECT_EQ(ip6getsbit(&ip), unsigned(r.sbit));
    EXPECT_EQ(ip6getebit(&ip), unsigned(r.ebit));
    EXPECT_EQ(ip6getmask(&ip), r.ebit - r.sbit);
    EXPECT_EQ(groupsof(ip), (groups_t{1, 2, 3, 4, 5, 6, 7, 8}));
  }
  const ip6_t inverted = make({}, 64, 48);
  EXPECT_EQ(ip6getmask(&inverted), -16);
}

TEST_F(Ip6, Getters) {
  const ip6_t ip = make({0x0123, 0x4567, 0x89ab, 0xcdef, 0x8000, 0x0001, 0xfedc, 0xba98}, 0, 128);
  struct row {
    const char* name;
    int (*get)(const ip6_t*, int);
    int nr, value;
  };
  const row rows[] = {
      {"short 0", ip6getshort, 0, 0x0123},
      {"short 7", ip6getshort, 7, 0xba98},
      {"byte 0: high byte of group 0", ip6getbyte, 0, 0x01},
      {"byte 1: low byte of group 0", ip6getbyte, 1, 0x23},
      {"byte 2", ip6getbyte, 2, 0x45},
      {"byte 15", ip6getbyte, 15, 0x98},
      {"nibble 0: top of group 0", ip6getnibble, 0, 0x0},
      {"nibble 3: lowest of group 0", ip6getnibble, 3, 0x3},
      {"nibble 4", ip6getnibble, 4, 0x4},
      {"nibble 10", ip6getnibble, 10, 0xa},
      {"nibble 31", ip6getnibble, 31, 0x8},
      {"bit 0: top of group 0", ip6getbit, 0, 0},
      {"bit 7", ip6getbit, 7, 1},
      {"bit 15: lowest of group 0", ip6getbit, 15, 1},
      {"bit 14", ip6getbit, 14, 1},
      {"bit 13", ip6getbit, 13, 0},
      {"bit 64", ip6getbit, 64, 1},
      {"bit 65", ip6getbit, 65, 0},
      {"bit 95", ip6getbit, 95, 1},
      {"bit 127", ip6getbit, 127, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(r.get(&ip, r.nr), r.value);
  }
}

TEST_F(Ip6, Setters) {
  struct row {
    const char* name;
    int (*set)(ip6_t*, int, int);
    int nr, v, result;
    groups_t groups;
  };
  const row rows[] = {
      {"short 7 keeps the low 16 bits, returns v", ip6setshort, 7, 0x12345, 0x12345,
       {0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x2345}},
      {"byte 1 is the low byte of group 0", ip6setbyte, 1, 0x1ff, 0x11ff,
       {0x11ff, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111}},
      {"byte 2 is the high byte of group 1", ip6setbyte, 2, 0xab, 0xab11,
       {0x1111, 0xab11, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111}},
      {"nibble 3 is the lowest of group 0", ip6setnibble, 3, 0x1a, 0x111a,
       {0x111a, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111}},
      {"nibble 28 is the top of group 7", ip6setnibble, 28, 0xf, 0xf111,
       {0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0xf111}},
      {"bit 15 is the lowest of group 0", ip6setbit, 15, 2, 0x1110,
       {0x1110, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111}},
      {"bit 16 is the top of group 1", ip6setbit, 16, 3, 0x9111,
       {0x1111, 0x9111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111}},
      {"bit 127", ip6setbit, 127, 0, 0x1110,
       {0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1110}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    ip6_t ip = make({0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111}, 16, 80);
    EXPECT_EQ(r.set(&ip, r.nr, r.v), r.result);
    EXPECT_EQ(groupsof(ip), r.groups);
    EXPECT_EQ(ip.sbit, 16);
    EXPECT_EQ(ip.ebit, 80);
    EXPECT_EQ(ip.isset, 1);
  }
}

using Ip6DeathTest = Ip6;

TEST_F(Ip6DeathTest, AccessorAssertions) {
  ip6_t ip = make({}, 0, 128);
  ip6_t empty = make({}, 0, 128, 0);
  EXPECT_DEATH(ip6getnibble(&ip, 32), "ip6\\.cc:[0-9]+: ip6getnibble: .*nr >= 0 && nr < 32");
  EXPECT_DEATH(ip6getnibble(&ip, -1), "nr >= 0 && nr < 32");
  EXPECT_DEATH(ip6setbyte(&ip, 16, 0), "bytenr >= 0 && bytenr < 16");
  EXPECT_DEATH(ip6setbit(&ip, -1, 0), "bitnr >= 0 && bitnr < 128");
  // The index is checked before the record's state.
  EXPECT_DEATH(ip6getshort(&empty, 8), "nr >= 0 && nr < 8");
  EXPECT_DEATH(ip6getshort(&empty, 0), "ipv6->isset");
  EXPECT_DEATH(ip6getbit(nullptr, 0), "`ipv6'");
  EXPECT_DEATH(ip6revdns(nullptr, 0, &ip, 6), "mask % 4 == 0");
  EXPECT_DEATH(ip6revdns(nullptr, 0, nullptr, 4), "`ipv6'");
}

struct revdns_row {
  const char* name;
  ip6_t ip;
  int mask;
  const char* text;
};

TEST_F(Ip6, RevDns) {
  const ip6_t net = make({0x2001, 0xdb8}, 0, 32);
  const revdns_row rows[] = {
      {"mask 32", net, 32, "8.b.d.0.1.0.0.2.ip6.arpa."},
      {"mask 48", net, 48, "0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa."},
      {"mask 4", net, 4, "2.ip6.arpa."},
      {"mask 128", make({0x2001, 0xdb8, 0, 1, 0x211, 0x22ff, 0xfe33, 0x4455}, 0, 128), 128,
       "5.5.4.4.3.3.e.f.f.f.2.2.1.1.2.0.1.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    char buf[80];
    EXPECT_EQ(ip6revdns(buf, sizeof(buf), &row.ip, row.mask), buf);
    EXPECT_STREQ(buf, row.text);
    ip6hexcase(1);
    EXPECT_STREQ(ip6revdns(buf, sizeof(buf), &row.ip, row.mask), row.text);
    ip6hexcase(0);
  }
  char buf[16];
  EXPECT_STREQ(ip6revdns(buf, sizeof(buf), nullptr, 0), "ip6.arpa.");
  EXPECT_STREQ(ip6revdns(buf, sizeof(buf), nullptr, -8), "ip6.arpa.");
}

TEST_F(Ip6, RevDnsCutBuffers) {
  const ip6_t net = make({0x2001, 0xdb8}, 0, 32);
  const std::string whole = "8.b.d.0.1.0.0.2.ip6.arpa.";
  for (size_t size = 0; size <= whole.size() + 2; size++) {
    SCOPED_TRACE("size " + std::to_string(size));
    char buf[40];
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(ip6revdns(buf, size, &net, 32), buf);
    for (size_t i = size; i < sizeof(buf); i++) ASSERT_EQ(buf[i], '#') << "byte " << i;
    if (size > 0) {
      EXPECT_EQ(std::string(buf), whole.substr(0, size - 1));
    }
  }
}

ip6_t parsed(const char* text) {
  ip6_t ip{};
  EXPECT_GT(ip6fromstr(&ip, text), 0) << text;
  return ip;
}

TEST_F(Ip6, Match) {
  struct row {
    const char* ip;
    const char* prefix;
    int result;
  };
  const row rows[] = {
      {"2001:db8:1::/48", "2001:db8::/32", 32},
      {"2001:db8:1::/48", "2001:db8::/48", 0},
      {"2001:db8::/32", "2001:db8::/48", 0},
      {"2001:db8:1:ffff::/64", "2001:db8:1::/48", 48},
      {"2001:db8:8000::/33", "2001:db8::/33", 0},
      {"2001:db8:8000::/33", "2001:db8:8000::/33", 33},
      {"2001:db8:7fff::/33", "2001:db8::/33", 33},
      {"2001:db8::/48", "1::/0", 0},
      {"1::1", "1::1", 128},
      {"1::1", "1::/127", 127},
      {"1::2", "1::/127", 0},
      {"::1", "2001:db8::/32", -1},
      {"2001:db8::/32", ":5:", -1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.ip) + " in " + r.prefix);
    const ip6_t ip = parsed(r.ip);
    const ip6_t prefix = parsed(r.prefix);
    EXPECT_EQ(ip6match(&ip, &prefix), r.result);
  }
  const ip6_t net = parsed("2001:db8::/32");
  ip6_t empty = net;
  empty.isset = 0;
  EXPECT_EQ(ip6match(&empty, &net), -1);
  EXPECT_EQ(ip6match(&net, &empty), -1);
}

struct append_row {
  const char* name;
  ip6_t a, b;
  int result;
  ip6_t after;
};

TEST_F(Ip6, Append) {
  const groups_t junk = {0xaaaa, 0xbbbb, 0xcccc, 0xdddd, 0xeeee, 0xffff, 0x1111, 0x2222};
  const ip6_t net48 = make({0x2001, 0xdb8, 0, 0x9999, 0x9999, 0x9999, 0x9999, 0x9999}, 0, 48);
  const append_row rows[] = {
      {"host ID to a /48", net48, make({0, 0, 0, 0, 1, 2, 3, 4}, 64, 128), -2, net48},
      {"empty source that would fit", net48, make({0, 0, 0, 5}, 48, 64, 0), -1, net48},
      {"subnet ID to a /48", net48, make({0, 0, 0, 5}, 48, 64), 64,
       make({0x2001, 0xdb8, 0, 5, 0x9999, 0x9999, 0x9999, 0x9999}, 0, 64)},
      {"only the range is copied", make({0x2001, 0xdb8, 0, 0, 0, 0, 0, 0}, 0, 48),
       make(junk, 48, 64), 64, make({0x2001, 0xdb8, 0, 0xdddd, 0, 0, 0, 0}, 0, 64)},
      {"sbit of the target stays", make({}, 16, 64), make(junk, 64, 128), 128,
       make({0, 0, 0, 0, 0xeeee, 0xffff, 0x1111, 0x2222}, 16, 128)},
      {"bits inside groups", make({0xffff, 0xffff, 0xffff, 0xffff}, 0, 52),
       make({0, 0, 0, 0x0ab0, 0xffff}, 52, 60), 60, make({0xffff, 0xffff, 0xffff, 0xfabf}, 0, 60)},
      {"across a group boundary", make({0xffff, 0xffff}, 0, 12), make({0, 0x0fff}, 12, 20), 20,
       make({0xfff0, 0x0fff}, 0, 20)},
      {"empty range", make(junk, 0, 64), make({}, 64, 64), 64, make(junk, 0, 64)},
      {"inverted range", make(junk, 0, 64), make({}, 64, 48), 48, make(junk, 0, 48)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ip6_t a = row.a;
    EXPECT_EQ(ip6append(&a, &row.b), row.result);
    EXPECT_EQ(groupsof(a), groupsof(row.after));
    EXPECT_EQ(a.sbit, row.after.sbit);
    EXPECT_EQ(a.ebit, row.after.ebit);
    EXPECT_EQ(a.isset, 1);
  }
}

// Appending against copying the range bit by bit with the accessors, for
// ranges on and off group boundaries.
TEST_F(Ip6, AppendCopiesTheRangeBitByBit) {
  std::mt19937 rng(16);
  for (int n = 0; n < 20000; n++) {
    groups_t ga, gb;
    for (auto& v : ga) v = uint16_t(rng());
    for (auto& v : gb) v = uint16_t(rng());
    int from = rng() % 2 ? 16 * int(rng() % 9) : int(rng() % 129);
    int to = rng() % 2 ? 16 * int(rng() % 9) : int(rng() % 129);
    ip6_t a = make(ga, 0, from);
    const ip6_t b = make(gb, from, to);
    ip6_t want = a;
    for (int bit = from; bit < to; bit++) ip6setbit(&want, bit, ip6getbit(&b, bit));
    SCOPED_TRACE("bits " + std::to_string(from) + " to " + std::to_string(to));
    ASSERT_EQ(ip6append(&a, &b), to);
    ASSERT_EQ(groupsof(a), groupsof(want));
  }
}

// The generator's chain: prefix, subnet ID placed after it, host ID.
TEST_F(Ip6, AppendChain) {
  ip6_t addr = parsed("2001:db8::/48");
  ip6_t subnet = parsed(":1:");
  const ip6_t host = parsed("::211:22ff:fe33:4455");
  ip6setsbit(&subnet, ip6getebit(&addr));
  EXPECT_EQ(ip6append(&addr, &subnet), 64);
  EXPECT_EQ(ip6append(&addr, &host), 128);
  char buf[44];
  EXPECT_STREQ(ip6tostr(buf, sizeof(buf), &addr), "2001:0db8:0000:0001:0211:22ff:fe33:4455");
  EXPECT_STREQ(ip6squeeze(buf, nullptr, 0), "2001:db8:0:1:211:22ff:fe33:4455");
}

TEST_F(Ip6DeathTest, AppendToEmptyRecord) {
  ip6_t a = make({}, 0, 48, 0);
  const ip6_t b = make({0, 0, 0, 5}, 48, 64);
  EXPECT_DEATH(ip6append(&a, &b), "ipv6->isset");
}

TEST_F(Ip6, Truncate) {
  struct row {
    int len;
    groups_t groups;
  };
  const row rows[] = {
      {52, {0xffff, 0xffff, 0xffff, 0xf000}},
      {124, {0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xfff0}},
      {128, {0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff}},
      {0, {}},
      {1, {0x8000}},
      {16, {0xffff}},
      {17, {0xffff, 0x8000}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE("len " + std::to_string(r.len));
    ip6_t ip = make({0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff}, 8, 100);
    EXPECT_EQ(ip6truncate(&ip, r.len), &ip);
    EXPECT_EQ(groupsof(ip), r.groups);
    EXPECT_EQ(ip.sbit, 8);
    EXPECT_EQ(ip.ebit, r.len);
  }
  EXPECT_EQ(ip6truncate(nullptr, 48), nullptr);
  ip6_t empty = make({1, 2, 3}, 0, 128, 0);
  EXPECT_EQ(ip6truncate(&empty, 16), nullptr);
  EXPECT_EQ(groupsof(empty), (groups_t{1, 2, 3}));
  EXPECT_EQ(empty.ebit, 128);
}

TEST_F(Ip6, FromInt) {
  struct row {
    const char* name;
    int s[8];
    int mask;
    groups_t groups;
    int ebit;
  };
  const row rows[] = {
      {"plain", {1, 2, 3, 4, 5, 6, 7, 8}, 64, {1, 2, 3, 4, 5, 6, 7, 8}, 64},
      {"mask 200", {0x2001, 0xdb8}, 200, {0x2001, 0xdb8}, 128},
      {"mask 0", {}, 0, {}, 0},
      {"low 16 bits", {0x12345, -1, 0x10000}, 128, {0x2345, 0xffff, 0}, 128},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    ip6_t ip = garbage();
    ip.isset = 0;
    EXPECT_EQ(ip6fromint(&ip, r.s[0], r.s[1], r.s[2], r.s[3], r.s[4], r.s[5], r.s[6], r.s[7],
                         r.mask),
              1);
    EXPECT_EQ(groupsof(ip), r.groups);
    EXPECT_EQ(ip.sbit, 0);
    EXPECT_EQ(ip.ebit, r.ebit);
    EXPECT_EQ(ip.isset, 1);
  }
}

struct squeeze_row {
  const char* input;
  const char* plain;
  const char* full;
};

TEST_F(Ip6, Squeeze) {
  const squeeze_row rows[] = {
      {"2001:0db8:0000:0000:0000:0000:0000:0001/128", "2001:db8:0:0:0:0:0:1/128",
       "2001:db8::1/128"},
      {"2001:0db8:0000:0001:0211:22ff:fe33:4455", "2001:db8:0:1:211:22ff:fe33:4455",
       "2001:db8::1:211:22ff:fe33:4455"},
      {"0000:0000:0000:0000:0000:0000:0000:0000", "0:0:0:0:0:0:0:0", "::"},
      {"0000:0000:0000:0000:0000:0000:0000:0001", "0:0:0:0:0:0:0:1", "::1"},
      {"2001:0db8:0001:0002:0000:0000:0000:0000", "2001:db8:1:2:0:0:0:0", "2001:db8:1:2::"},
      {"2001:0db8:0001:0002:0001:0002:0003:0000", "2001:db8:1:2:1:2:3:0",
       "2001:db8:1:2:1:2:3::"},
      {"0000:0001:0002:0003:0004:0005:0006:0007", "0:1:2:3:4:5:6:7", "::1:2:3:4:5:6:7"},
      {"0001:0000:0002:0000:0003:0004:0005:0006", "1:0:2:0:3:4:5:6", "1::2:0:3:4:5:6"},
      {"0001:0000:0000:0002:0000:0000:0000:0003", "1:0:0:2:0:0:0:3", "1:0:0:2::3"},
      {"2001:0db8:0000:0000:0000:0000:0000:0000/48", "2001:db8:0:0:0:0:0:0/48",
       "2001:db8::/48"},
      // Ties go to the leftmost run; letters of either case pass through.
      {"0001:0000:0000:0002:0000:0000:0003:0004", "1:0:0:2:0:0:3:4", "1::2:0:0:3:4"},
      {"ABCD:00EF:0000:0a00:F000:0000:0000:0000/0", "ABCD:EF:0:a00:F000:0:0:0/0",
       "ABCD:EF:0:a00:F000::/0"},
      {"0000:0000:0000:0000:0000:0000:0000:0000/0", "0:0:0:0:0:0:0:0/0", "::/0"},
      {"1:2:3:4:5:6:7:8", "1:2:3:4:5:6:7:8", "1:2:3:4:5:6:7:8"},
  };
  for (const auto& row : rows) {
    for (int full = 0; full <= 1; full++) {
      const char* want = full ? row.full : row.plain;
      SCOPED_TRACE(std::string(row.input) + (full ? " full" : " plain"));
      const size_t len = strlen(row.input);

      char inplace[64];
      memset(inplace, '#', sizeof(inplace));
      memcpy(inplace, row.input, len + 1);
      EXPECT_EQ(ip6squeeze(inplace, nullptr, full), inplace);
      EXPECT_STREQ(inplace, want);

      char dst[64];
      memset(dst, '#', sizeof(dst));
      EXPECT_EQ(ip6squeeze(dst, row.input, full), dst);
      EXPECT_STREQ(dst, want);
      for (size_t i = len + 1; i < sizeof(dst); i++) {
        ASSERT_EQ(dst[i], '#') << "byte " << i;
      }
    }
  }
}

// Address shapes that stress the choice of the zero run.
std::vector<groups_t> shapes() {
  std::vector<groups_t> out = {
      {},
      {0, 0, 0, 0, 0, 0, 0, 1},
      {1, 0, 0, 0, 0, 0, 0, 0},
      {1, 0, 0, 0, 0, 0, 0, 1},
      {0, 0, 1, 0, 0, 1, 0, 0},
      {1, 0, 0, 1, 0, 0, 1, 1},
      {1, 1, 0, 1, 1, 1, 1, 1},
      {0, 1, 1, 1, 1, 1, 1, 1},
      {1, 1, 1, 1, 1, 1, 1, 0},
      {0, 1, 0, 0, 1, 0, 0, 0},
      {0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff},
      {0x2001, 0xdb8, 0, 1, 0x211, 0x22ff, 0xfe33, 0x4455},
  };
  std::mt19937 rng(128);
  for (int n = 0; n < 5000; n++) {
    groups_t g;
    for (auto& v : g) {
      // Plenty of zero groups and groups with leading zeros.
      switch (rng() % 4) {
        case 0: v = 0; break;
        case 1: v = uint16_t(rng() % 16); break;
        default: v = uint16_t(rng()); break;
      }
    }
    out.push_back(g);
  }
  return out;
}

int longestzerorun(const groups_t& g) {
  int best = 0, run = 0;
  for (uint16_t v : g) {
    run = v == 0 ? run + 1 : 0;
    if (run > best) best = run;
  }
  return best;
}

TEST_F(Ip6, SqueezeAgreesWithInet) {
  int compared = 0;
  for (const groups_t& g : shapes()) {
    const ip6_t ip = make(g, 0, 128);
    char text[44];
    ip6squeeze(text, ip6tostr(text, sizeof(text), &ip), 1);
    SCOPED_TRACE(text);
    unsigned char bytes[16];
    ASSERT_EQ(inet_pton(AF_INET6, text, bytes), 1);
    for (int i = 0; i < 8; i++) {
      EXPECT_EQ((bytes[2 * i] << 8) | bytes[2 * i + 1], g[i]) << "group " << i;
    }
    // inet_ntop leaves a single zero group alone and writes IPv4 tails in
    // dotted form; compare where the forms are meant to agree.
    char ntop[INET6_ADDRSTRLEN];
    ASSERT_NE(inet_ntop(AF_INET6, bytes, ntop, sizeof(ntop)), nullptr);
    if (longestzerorun(g) >= 2 && strchr(ntop, '.') == nullptr) {
      EXPECT_STREQ(text, ntop);
      compared++;
    }
  }
  EXPECT_GT(compared, 1000);
}

// The squeezed printer against printing and squeezing the text: the shapes
// above (all zero, runs at the start, end and middle, ties, single zero
// groups) and random records with every ebit, both cases, both squeezes;
// then records and buffers that take the text route (unset, sbit not 0,
// a four-digit length, short buffers).
TEST_F(Ip6, SqueezedPrinterMatchesPrintAndSqueeze) {
  // Both texts of one record, and that the first fits its buffer.
  auto texts = [](const ip6_t& ip, size_t size, int full, int upper) {
    ip6hexcase(upper);
    char fast[160];
    char ref[160];
    memset(fast, '#', sizeof fast);
    memset(ref, '#', sizeof ref);
    char* got = ip6tosqueezedstr(fast, size, &ip, full);
    ip6squeeze(ip6tostr(ref, size, &ip), nullptr, full);
    ip6hexcase(0);
    EXPECT_EQ(got, fast);
    EXPECT_LT(strlen(fast), size);
    return std::pair<std::string, std::string>(fast, ref);
  };
  const std::vector<groups_t> all = shapes();
  std::mt19937 rng(52);
  for (size_t n = 0; n < all.size(); n++) {
    const bool special = n < 12;
    for (int ebit = 0; ebit <= 128; ebit += special ? 1 : 1 + int(rng() % 64)) {
      for (int full = 0; full <= 1; full++) {
        for (int upper = 0; upper <= 1; upper++) {
          const ip6_t ip = make(all[n], 0, ebit);
          auto [fast, ref] = texts(ip, 128, full, upper);
          ASSERT_EQ(fast, ref) << "shape " << n << ", ebit " << ebit << ", full " << full
                               << ", upper " << upper;
        }
      }
    }
  }
  const std::vector<int> odd = {0, 16, 48, 64, 127, 128, 129, 999, 1000, 65535};
  for (int n = 0; n < 20000; n++) {
    const groups_t& g = all[rng() % all.size()];
    int sbit = rng() % 2 ? 0 : odd[rng() % odd.size()];
    int ebit = rng() % 2 ? int(rng() % 129) : odd[rng() % odd.size()];
    const ip6_t ip = make(g, sbit, ebit, rng() % 20 != 0);
    size_t size = rng() % 3 == 0 ? 1 + rng() % 50 : 44 + rng() % 100;
    int full = int(rng() % 2);
    int upper = int(rng() % 2);
    auto [fast, ref] = texts(ip, size, full, upper);
    ASSERT_EQ(fast, ref) << "record " << n << ": sbit " << sbit << ", ebit " << ebit << ", set "
                         << int(ip.isset) << ", size " << size << ", full " << full
                         << ", upper " << upper;
  }
}

TEST_F(Ip6, PrintedTextReadsBack) {
  std::mt19937 rng(64);
  for (const groups_t& g : shapes()) {
    groups_t host = {0, 0, 0, 0, g[4], g[5], g[6], g[7]};
    groups_t subnet = {0, 0, 0, g[3]};
    const ip6_t records[] = {
        make(g, 0, 128),
        make(g, 0, int(rng() % 129)),
        make(host, 64, 128),
        make(subnet, 48, 64),
    };
    for (const ip6_t& want : records) {
      char text[44];
      ip6tostr(text, sizeof(text), &want);
      SCOPED_TRACE(text);
      ip6_t got = garbage();
      ASSERT_EQ(ip6fromstr(&got, text), int(strlen(text)));
      EXPECT_EQ(groupsof(got), groupsof(want));
      EXPECT_EQ(got.sbit, want.sbit);
      EXPECT_EQ(got.ebit, want.ebit);
      EXPECT_EQ(got.isset, 1);
    }
    if (HasFailure()) break;
  }
}

// The hand-made printer against the snprintf reference: random records of
// every kind, in-range and odd sbit and ebit values, both hex cases, full
// and natural forms, and every buffer size up to beyond the longest text.
TEST_F(Ip6, PrinterMatchesTheSnprintfReference) {
  std::mt19937_64 rng(4711);
  const std::vector<uint16_t> bitvalues = {0, 1, 15, 16, 47, 48, 63, 64, 65, 100, 112,
                                           127, 128, 129, 200, 999, 1000, 65535};
  for (int n = 0; n < 20000; n++) {
    ip6_t ip{};
    for (auto& g : ip.group) g = rng() % 4 == 0 ? 0 : uint16_t(rng() >> (rng() % 16));
    ip.sbit = rng() % 3 == 0 ? bitvalues[rng() % bitvalues.size()] : uint16_t(rng() % 2 * 64);
    ip.ebit = rng() % 3 == 0 ? bitvalues[rng() % bitvalues.size()] : uint16_t(rng() % 129);
    ip.isset = rng() % 50 != 0;
    int full = int(rng() % 2);
    int upper = int(rng() % 2);
    size_t size = rng() % 4 == 0 ? rng() % 60 : 44 + rng() % 100;
    ip6hexcase(upper);
    char fast[160];
    char ref[160];
    memset(fast, '#', sizeof fast);
    memset(ref, '#', sizeof ref);
    ip62string(fast, size, &ip, full);
    ip62string_reference(ref, size, &ip, full, upper);
    ip6hexcase(0);
    SCOPED_TRACE("record " + std::to_string(n) + ": sbit " + std::to_string(ip.sbit) +
                 ", ebit " + std::to_string(ip.ebit) + ", size " + std::to_string(size) +
                 ", full " + std::to_string(full) + ", upper " + std::to_string(upper));
    ASSERT_EQ(std::string(fast, sizeof fast), std::string(ref, sizeof ref));
  }
}

}  // namespace
