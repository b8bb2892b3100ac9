#include "fields.h"

#include <gtest/gtest.h>

#include "diag.h"
#include "exitseam.h"
#include "settings.h"

namespace {

TEST(Skipdelim, SkipsWhiteSpaceAndTheDelimiterAsOneRun) {
  struct row {
    const char* text;
    int delim;
    size_t offset;
  } rows[] = {
      {"  ;; x", ';', 5}, {"  ;; x", 0, 2}, {"", ';', 0},
      {"\t\v\f\r\n y", 0, 6}, {"x", ';', 0}, {"\xa0x", 0, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(skipdelim(r.text, r.delim), r.text + r.offset);
  }
}

TEST(Isdelim, WhiteSpaceAndTheDelimiterEndAFieldButNulDoesNot) {
  EXPECT_TRUE(isdelim(';', ';'));
  EXPECT_FALSE(isdelim(';', 0));
  EXPECT_TRUE(isdelim(' ', 0));
  EXPECT_TRUE(isdelim('\t', ';'));
  EXPECT_FALSE(isdelim(0, 0));
  EXPECT_FALSE(isdelim(0, ';'));
  EXPECT_FALSE(isdelim((unsigned char)'\xa0', 0));
}

TEST(Wordcmp, ZeroForTheWholeWordElseTheWordLength) {
  struct row {
    const char* name;
    const char* text;
    int result;
  } rows[] = {
      {"lan", "lan, wan", 0}, {"lan", "wan, lan", 3}, {"lan", "lanx,wan", 4},
      {"lan", "la", 2},       {"lan", "lan", 0},      {"lan", "lan\tx", 0},
      {"", "abc", 3},         {"int", "internal", 8}, {"internal", "int,x", 3},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.name) + " / " + r.text);
    EXPECT_EQ(wordcmp(r.name, r.text, " \t,"), r.result);
  }
}

TEST(Ttlfromstr, ReadsNumberUnitAndBrackets) {
  struct row {
    const char* text;
    uint64_t ttl;
    int count;
  } rows[] = {
      {"<2h>", 7200, 4},  {"2h", 7200, 2},      {"<1w", 604800, 3},  {"<d>", 0, 3},
      {"30s x", 30, 3},   {"<5m>rest", 300, 4}, {"1d>", 86400, 3},
      {"<2147483647s>", 2147483647, 13},        {"<3550w>", 3550 * 604800ULL, 7},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    uint64_t ttl = 99;
    EXPECT_EQ(ttlfromstr(r.text, &ttl), r.count);
    EXPECT_EQ(ttl, r.ttl);
  }
  uint64_t ttl = 99;
  EXPECT_EQ(ttlfromstr(nullptr, &ttl), 0);
  EXPECT_EQ(ttl, 0u);
}

TEST(Ttlfromstr, RefusesMissingUnitsAndTtlsOutOfRange) {
  progname = "tavrix";
  struct row {
    const char* text;
    std::string message;
  } rows[] = {
      {"3600", std::string("tavrix: illegal ttl scaling \0\n", 30)},
      {"<3600>", "tavrix: illegal ttl scaling >\n"},
      {"<2H>", "tavrix: illegal ttl scaling H\n"},
      {"< 2h>", "tavrix: illegal ttl scaling  \n"},
      {"<2147483648s>",
       "tavrix: ttl \"<2147483648s>\" out of range (at most 2147483647 seconds)\n"},
      {"3551w", "tavrix: ttl \"3551w\" out of range (at most 2147483647 seconds)\n"},
      {"<99999999999999999999999d>",
       "tavrix: ttl \"<99999999999999999999999d>\" out of range (at most 2147483647 "
       "seconds)\n"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    uint64_t ttl = 0;
    testing::internal::CaptureStderr();
    int status = exit_status_of([&] { ttlfromstr(r.text, &ttl); });
    EXPECT_EQ(testing::internal::GetCapturedStderr(), r.message);
    EXPECT_EQ(status, TX_EXIT_FATAL);
  }
  progname = nullptr;
}

TEST(Ttltostr, UsesTheLargestWholeUnit) {
  struct row {
    uint64_t ttl;
    size_t size;
    const char* text;
  } rows[] = {
      {604800, 11, "<1w>"}, {86400, 11, "<1d>"}, {7200, 11, "<2h>"}, {120, 11, "<2m>"},
      {90, 11, "<90>"},     {0, 11, "<0w>"},     {3600, 11, "<1h>"},
      {123456789, 11, "<123456789"}, {3600, 3, "<1"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.ttl);
    char buf[32];
    EXPECT_STREQ(ttltostr(buf, r.size, r.ttl), r.text);
  }
}

TEST(StringHelpers, ChopDelspaceInlist) {
  char a[] = "name...";
  EXPECT_STREQ(str_chop(a, '.'), "name");
  char b[] = "...";
  EXPECT_STREQ(str_chop(b, '.'), "");
  char c[] = " a ,\tb\n";
  EXPECT_STREQ(str_delspace(c), "a,b");
  EXPECT_EQ(str_delspace(nullptr), nullptr);
  const char* list[] = {"lan", "wan"};
  EXPECT_EQ(str_inlist("wan", list, 2), 1);
  EXPECT_EQ(str_inlist("dmz", list, 2), 0);
  EXPECT_EQ(str_inlist("", list, 2), 0);
  EXPECT_EQ(str_inlist(nullptr, list, 2), 0);
  EXPECT_EQ(str_inlist("dmz", nullptr, 2), 1);
  EXPECT_EQ(str_inlist("dmz", list, 0), 1);
}

}  // namespace
