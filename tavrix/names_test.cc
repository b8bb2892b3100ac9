#include "names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A name of n characters in labels of 60.
std::string dotted(size_t n) {
  std::string d;
  while (d.size() < n) d += d.size() % 61 == 60 ? '.' : 'd';
  return d;
}

TEST(Names, Check) {
  const std::string l63(63, 'a');
  const std::string l64(64, 'a');
  struct Row {
    std::string name;
    bool domain;
    namefault_t fault;
    bool hostname;
  };
  const Row rows[] = {
      {"www", false, namefault_t::none, true},
      {"www.lab", false, namefault_t::none, true},
      {l63 + "." + l63, false, namefault_t::none, true},
      {"", false, namefault_t::emptylabel, true},
      {"a..b", false, namefault_t::emptylabel, true},
      {".a", false, namefault_t::emptylabel, true},
      {"www.", false, namefault_t::finaldot, true},
      {"a..", false, namefault_t::emptylabel, true},
      {l64, false, namefault_t::longlabel, true},
      {"a." + l64 + ".b", false, namefault_t::longlabel, true},
      // A host name's length depends on its domain: name_fits.
      {dotted(300), false, namefault_t::none, true},
      {"_srv", false, namefault_t::none, false},
      {"a_b.c", false, namefault_t::none, false},
      {"-a", false, namefault_t::none, false},
      {"a-", false, namefault_t::none, false},
      {"x.a-.y", false, namefault_t::none, false},
      {"x.-a", false, namefault_t::none, false},
      {"a-b.c-d", false, namefault_t::none, true},
      {"example.com.", true, namefault_t::none, true},
      {"example.com", true, namefault_t::none, true},
      {"", true, namefault_t::emptylabel, true},
      {".", true, namefault_t::emptylabel, true},
      {"example.com..", true, namefault_t::emptylabel, true},
      {".example.com", true, namefault_t::emptylabel, true},
      {l64 + ".com.", true, namefault_t::longlabel, true},
      {"_dmarc.example.com.", true, namefault_t::none, false},
      {dotted(253), true, namefault_t::none, true},
      {dotted(253) + ".", true, namefault_t::none, true},
      {dotted(254), true, namefault_t::toolong, true},
      {dotted(254) + ".", true, namefault_t::toolong, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE((r.domain ? "domain '" : "host '") + r.name + "'");
    namecheck_t c = name_check(r.name.c_str(), r.domain);
    EXPECT_EQ(int(c.fault), int(r.fault));
    EXPECT_EQ(c.hostname, r.hostname);
  }
}

TEST(Names, FaultTextsNameTheLimits) {
  EXPECT_EQ(std::string(name_faulttext(namefault_t::none)), "");
  EXPECT_EQ(std::string(name_faulttext(namefault_t::longlabel)),
            "has a label of more than " + std::to_string(NAME_MAXLABEL) + " characters");
  EXPECT_EQ(std::string(name_faulttext(namefault_t::toolong)),
            "is longer than " + std::to_string(NAME_MAXTEXT) + " characters with its final dot");
}

TEST(Names, FitsAndPut) {
  struct Row {
    std::string host;
    std::string domain;
    bool fits;
  };
  const Row rows[] = {
      {"www", "example.com.", true},
      {dotted(241), "example.com.", true},  // 254 with the dot between
      {dotted(242), "example.com.", false},
      {"a", dotted(251) + ".", true},
      {"a", dotted(252) + ".", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.host.size()) + " + " + std::to_string(r.domain.size()));
    EXPECT_EQ(name_fits(r.host.size(), r.domain.size()), r.fits);
    char buf[600];
    char* end = name_put(buf, r.host.c_str(), r.host.size(), r.domain.c_str(), r.domain.size());
    EXPECT_EQ(std::string(buf, size_t(end - buf)), r.host + "." + r.domain);
  }
}

TEST(Names, WarnsOfNamesThatAreNoHostNames) {
  struct Row {
    const char* file;
    const char* name;
    std::string warning;
  };
  const std::string why =
      "is no host name (\"_\", or \"-\" at the start or end of a label): BIND's check-names "
      "refuses it\n";
  const Row rows[] = {
      {"hosts", "www", ""},
      {"hosts", "_srv", "hosts line 7: \"_srv\" " + why},
      {"hosts", "a-.b", "hosts line 7: \"a-.b\" " + why},
      {nullptr, "ex_ample.com", "origin \"ex_ample.com\" " + why},
      {nullptr, "example.com", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    testing::internal::CaptureStderr();
    name_warnhost(r.file, 7, r.name, name_check(r.name, r.file == nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), r.warning);
  }
}

}  // namespace
