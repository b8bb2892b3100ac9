#include "subnet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "exitseam.h"
#include "hostid.h"
#include "ip6.h"
#include "settings.h"

namespace {

std::string near(const char* at) {
  return "near \"" + std::string(at).substr(0, 10) + " ...\"\n";
}

class Subnet : public testing::Test {
 protected:
  void SetUp() override {
    settings_reset();
    progname = "tavrix";
    subnet_reset();
  }
  void TearDown() override {
    subnet_reset();
    settings_reset();
  }

  static void define(const char* line) {
    testing::internal::CaptureStderr();
    int ok = parsesubnetline(line, 0);
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(ok, 1) << line << ": " << err;
  }
};

// ---- subnet lines ----

TEST_F(Subnet, GoodLines) {
  struct Row {
    const char* line;
    int delim;
    const char* name;
    uint16_t group3;
  };
  const Row rows[] = {
      {"lan :1:", 0, "lan", 1},
      {"lan;:1:", ';', "lan", 1},
      {";lan;;:2:", ';', "lan", 2},
      {"   lan\t:3: further words", 0, "lan", 3},
      {"_dmz :ffff:\n", 0, "_dmz", 0xffff},
      {"Wlan-2.a_b :a:", 0, "Wlan-2.a_b", 0xa},
      {"longersubnetname15 :5:", 0, "longersubnetnam", 5},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    subnet_reset();
    testing::internal::CaptureStderr();
    EXPECT_EQ(parsesubnetline(r.line, r.delim), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(subnetcount(), 1);
    const subnet_t* s = subnetget(0);
    EXPECT_STREQ(s->name, r.name);
    ASSERT_NE(s->sid, nullptr);
    EXPECT_EQ(s->sid->isset, 1);
    EXPECT_EQ(s->sid->sbit, 48);
    EXPECT_EQ(s->sid->ebit, 64);
    EXPECT_EQ(s->sid->group[3], r.group3);
  }
}

TEST_F(Subnet, BadLines) {
  const std::string name_warning = "parsesubnetline(): illegal subnetname found ";
  const std::string sid_warning = "parsesubnetline(): no subnetid found ";
  struct Row {
    const char* line;
    int delim;
    const std::string& warning;
    const char* quote;  // where in the line the warning quotes from
  };
  static const char lan_only[] = "lan";
  static const char no_sep[] = "lan:1:";
  static const char digit[] = "1lan :1:";
  static const char plus[] = "l+n :1:";
  static const char delim_off[] = "lan;:1:";
  static const char empty[] = "";
  static const char full[] = "lan 2001:db8::1";
  static const char hostid[] = "lan ::1";
  static const char word[] = "lan x";
  static const char nothing[] = "lan  ";
  static const char twice[] = "lan 1::2::3";
  static const char open[] = "lan :5";
  static const char colon[] = "wlan :";
  static const char two[] = "lan :1:2:";
  static const char five[] = "lan :10000:";
  static const char after[] = "lan :1:x";
  const Row rows[] = {
      {lan_only, 0, name_warning, lan_only + 3},
      {no_sep, 0, name_warning, no_sep + 3},
      {digit, 0, name_warning, digit},
      {plus, 0, name_warning, plus + 1},
      {delim_off, 0, name_warning, delim_off + 3},
      {empty, 0, name_warning, empty},
      // A subnet ID is exactly ":", 1 to 4 hex digits and ":", ending the
      // field; the warning quotes it.
      {full, 0, sid_warning, full + 4},
      {hostid, 0, sid_warning, hostid + 4},
      {word, 0, sid_warning, word + 4},
      {nothing, 0, sid_warning, nothing + 5},
      {twice, 0, sid_warning, twice + 4},
      {open, 0, sid_warning, open + 4},
      {colon, 0, sid_warning, colon + 5},
      {two, 0, sid_warning, two + 4},
      {five, 0, sid_warning, five + 4},
      {after, 0, sid_warning, after + 4},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    testing::internal::CaptureStderr();
    EXPECT_EQ(parsesubnetline(r.line, r.delim), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), r.warning + near(r.quote));
    EXPECT_EQ(subnetcount(), 0);
  }
}

TEST_F(Subnet, NamesAreCutTo15AndLookupsAreExact) {
  define("abcdefghijklmnopqrst :7:");
  ASSERT_EQ(subnetcount(), 1);
  EXPECT_STREQ(subnetget(0)->name, "abcdefghijklmno");
  struct Row {
    const char* name;
    bool found;
  };
  const Row rows[] = {{"abcdefghijklmno", true},
                      {"abcdefghijklmnopqrst", false},
                      {"abcdefghijklmn", false},
                      {"ABCDEFGHIJKLMNO", false},
                      {"", false},
                      {nullptr, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name ? r.name : "(missing)");
    EXPECT_EQ(subnetlookup(r.name) != nullptr, r.found);
  }
}

TEST_F(Subnet, LookupFindsTheFirstOfTwoEqualNames) {
  define("lan :1:");
  define("wan :2:");
  define("lan :3:");
  EXPECT_EQ(subnetcount(), 3);
  const ip6_t* sid = subnetlookup("lan");
  ASSERT_NE(sid, nullptr);
  EXPECT_EQ(sid->group[3], 1);
  EXPECT_EQ(subnetlookup("wan")->group[3], 2);
}

TEST_F(Subnet, The101stSubnetEndsTheRun) {
  for (int i = 0; i < MAXSUBNET; i++) {
    std::string line = "net" + std::to_string(i) + " :" + std::to_string(i) + ":";
    define(line.c_str());
  }
  ASSERT_EQ(subnetcount(), 100);
  testing::internal::CaptureStderr();
  int status = exit_status_of([] { parsesubnetline("onemore :1:", 0); });
  EXPECT_EQ(status, 127);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tavrix: maximum number of subnets (100) reached\n");
  EXPECT_EQ(subnetcount(), 100);
  EXPECT_EQ(subnetlookup("onemore"), nullptr);
}

TEST_F(Subnet, PutCopiesTheRecord) {
  ip6_t sid;
  ASSERT_EQ(ip6fromstr(&sid, ":42:"), 4);
  subnetput("lan", &sid);
  sid.group[3] = 0;
  ASSERT_NE(subnetlookup("lan"), &sid);
  EXPECT_EQ(subnetlookup("lan")->group[3], 0x42);
}

// ---- the subnet ID field of a host line ----

TEST_F(Subnet, SubnetFromStr) {
  define("lan :5:");
  define("lan-2.x_y :6:");
  struct Row {
    const char* text;
    int result;
    int isset;
    uint16_t group3;
    const char* warning;
  };
  const Row rows[] = {
      {":7:", 3, 1, 7, ""},
      {":7: lan", 3, 1, 7, ""},
      {"lan", 3, 1, 5, ""},
      {"lan,x", 3, 1, 5, ""},
      {"lan\t[wan]", 3, 1, 5, ""},
      {"lan-2.x_y rest", 9, 1, 6, ""},
      {":ffff:", 6, 1, 0xffff, ""},
      {":0:[x]", 3, 1, 0, ""},
      {":::", 0, 0, 0, "subnetfromstr(): No subnetid found\n"},
      {"::", 0, 0, 0, "subnetfromstr(): No subnetid found\n"},
      {"::6", 0, 0, 0, "subnetfromstr(): No subnetid found\n"},
      {":5", 0, 0, 0, "subnetfromstr(): No subnetid found\n"},
      {":1:2:", 0, 0, 0, "subnetfromstr(): No subnetid found\n"},
      {":10000:", 0, 0, 0, "subnetfromstr(): No subnetid found\n"},
      {":g:", 0, 0, 0, "subnetfromstr(): No subnetid found\n"},
      {nullptr, 0, 0, 0, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text ? r.text : "(missing)");
    ip6_t sid;
    memset(&sid, 0x55, sizeof sid);
    sid.isset = 1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(subnetfromstr(&sid, r.text), r.result);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), r.warning);
    EXPECT_EQ(sid.isset, r.isset);
    if (r.isset) {
      EXPECT_EQ(sid.sbit, 48);
      EXPECT_EQ(sid.ebit, 64);
      EXPECT_EQ(sid.group[3], r.group3);
    }
  }
}

TEST_F(Subnet, SubnetFromStrUnknownNameEndsTheRun) {
  define("abcdefghijklmnopqrst :7:");
  const std::string forty(40, 'n');
  struct Row {
    std::string text;
    std::string name;  // as the message shows it
  };
  const Row rows[] = {
      {"nosuch", "nosuch"},
      {"abcdefghijklmnopqrst", "abcdefghijklmnopqrst"},
      {forty, std::string(31, 'n')},
      {"9net", "9net"},
      {"", ""},
      {"[lan]", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    ip6_t sid;
    testing::internal::CaptureStderr();
    EXPECT_EQ(exit_status_of([&] { subnetfromstr(&sid, r.text.c_str()); }), 127);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tavrix: No subnet \"" + r.name + "\" found\n");
    EXPECT_EQ(sid.isset, 0);
  }

  ip6_t sid;
  EXPECT_EQ(subnetfromstr(&sid, "abcdefghijklmno"), 15);
  EXPECT_EQ(sid.group[3], 7);
}

// ---- dump ----

std::string dump() {
  char* out = nullptr;
  size_t len = 0;
  FILE* fp = open_memstream(&out, &len);
  if (fp == nullptr) return "(open_memstream failed)";
  dumpsubnet(fp);
  fclose(fp);
  std::string text(out, len);
  free(out);
  return text;
}

TEST_F(Subnet, DumpEmpty) { EXPECT_EQ(dump(), "\n%%SUBNET SECTION (0 elements)\n%%END\n"); }

TEST_F(Subnet, DumpEntries) {
  define("lan :5:");
  define("abcdefghijklmnopqrst :beef:");
  define("lan :6:");
  EXPECT_EQ(dump(),
            "\n%%SUBNET SECTION (3 elements)\n"
            "lan\t:0005:\n"
            "abcdefghijklmno\t:beef:\n"
            "lan\t:0006:\n"
            "%%END\n");
}

}  // namespace
