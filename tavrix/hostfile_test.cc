#include "hostfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "driver.h"
#include "exitseam.h"
#include "oracles.h"
#include "settings.h"

namespace {

TEST(Parsehostline, ReadsTheFieldsInOrder) {
  tavrix_reset();
  struct row {
    const char* line;
    int delim;
    const char* name;
    uint64_t ttl;
    const char* hostid;
    const char* subnetid;
    const char* scopes;
  } rows[] = {
      {"www 00:11:22:33:44:55 :1:", 0, "www", 0, "::0211:22ff:fe33:4455", ":0001:", "*"},
      {"  a <1h> ::1 :2: [ x , y ]", 0, "a", 3600, "::0000:0000:0000:0001", ":0002:", "x,y"},
      {"a;;<2m>;::1;:3:;[z]", ';', "a", 120, "::0000:0000:0000:0001", ":0003:", "z"},
      {"b ::2 :4: []", 0, "b", 0, "::0000:0000:0000:0002", ":0004:", ""},
      {"c ::3 :5: [open", 0, "c", 0, "::0000:0000:0000:0003", ":0005:", "open"},
      {"d ::4 :6: trailing [x]", 0, "d", 0, "::0000:0000:0000:0004", ":0006:", "*"},
      {"1st ::5 :7:", 0, "", 0, "", "", ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.line);
    hostline_t hl;
    testing::internal::CaptureStderr();
    int ok = parsehostline(&hl, r.line, r.delim);
    testing::internal::GetCapturedStderr();
    if (*r.hostid == '\0') {
      EXPECT_EQ(ok, 0);
      continue;
    }
    ASSERT_EQ(ok, 1);
    char buf[64];
    EXPECT_STREQ(hl.host.name, r.name);
    EXPECT_EQ(hl.host.ttl, r.ttl);
    EXPECT_STREQ(ip6tostr(buf, sizeof buf, &hl.hostid), r.hostid);
    EXPECT_STREQ(ip6tostr(buf, sizeof buf, &hl.subnetid), r.subnetid);
    EXPECT_STREQ(hl.scopelist, r.scopes);
  }
}

TEST(Parsehostline, KeepsOnly128CharactersOfTheScopeList) {
  tavrix_reset();
  std::string line = "a ::1 :1: [" + std::string(200, 'x') + "]";
  hostline_t hl;
  ASSERT_EQ(parsehostline(&hl, line.c_str(), 0), 1);
  EXPECT_EQ(std::string(hl.scopelist), std::string(128, 'x'));
}

TEST(Parsehostline, QuotesNeverFromBeforeTheLine) {
  tavrix_reset();
  hostline_t hl;
  testing::internal::CaptureStderr();
  EXPECT_EQ(parsehostline(&hl, "::1::2 :1:", 0), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "hostidfromstr(): No hostid found near \"::1::2 :1: ...\"\n"
            "parsehostline(): no hostid found near \"::1::2 :1: ...\"\n");
}

// Random input for the line readers: short and long lines around the
// 510-character limit (and far beyond the read buffer), carriage returns,
// NUL bytes, continuation lines, empty lines, with or without a last
// newline.
std::string random_input(std::mt19937& rng, size_t approx) {
  using namespace std::string_literals;
  static const std::string pieces[] = {"\n", "\r\n", "\r", "^",  "\n^",          "\n\n",
                                       " ",  "\t",   "a",  "\0"s, "host ::1 :1:"};
  std::string s;
  while (s.size() < approx) {
    switch (rng() % 6) {
      case 0: {
        static const size_t lengths[] = {507, 508, 509, 510, 511, 512, 513, 1000, 70000};
        size_t len = lengths[rng() % std::size(lengths)];
        std::string line(len, 'x');
        if (rng() % 2) line[len - 1] = '\r';
        if (rng() % 3 == 0) line[rng() % len] = '\0';
        s += line;
        s += "\n";
        break;
      }
      case 1: s += std::string(1, '\0'); break;
      default: {
        size_t n = 1 + rng() % 12;
        for (size_t i = 0; i < n; i++) s += pieces[rng() % std::size(pieces)];
      }
    }
  }
  // The last line without its newline: short, or about as long as a line
  // may be.
  static const size_t lastlengths[] = {0, 1, 509, 510, 511, 512};
  s += std::string(lastlengths[rng() % std::size(lastlengths)], 'z');
  if (rng() % 4 == 0) s += "\r";
  return s;
}

// One reading of an input, call by call: results, whole buffers, counts.
std::vector<std::string> read_all(FILE* fp, bool reference) {
  linereader_t* r = new linereader_t;
  linereader_init(r, fp);
  std::vector<std::string> events;
  char line[LINEBUFSIZE];
  char extra[MAXEXTRA + 1];
  for (int i = 0;; i++) {
    memset(line, '#', sizeof line);
    readresult_t res = reference ? readline_reference(fp, line) : linereader_line(r, line);
    events.push_back("result " + std::to_string(int(res)));
    if (res == readresult_t::eof) break;
    if (res != readresult_t::line) continue;
    events.push_back(std::string(line, sizeof line));
    if (i % 3 == 2) continue;  // not every line is a host line
    memset(extra, '#', sizeof extra);
    int lineno = 0;
    extraresult_t got = reference ? read_extra_reference(fp, extra, &lineno)
                                  : linereader_extra(r, extra, &lineno);
    events.push_back("extra " + std::to_string(int(got)) + " " + std::to_string(lineno));
    events.push_back(std::string(extra, sizeof extra));
  }
  // The end stays the end.
  events.push_back("again " + std::to_string(int(reference ? readline_reference(fp, line)
                                                           : linereader_line(r, line))));
  delete r;
  return events;
}

TEST(LineReader, MatchesTheReferenceOnFilesAndOtherStreams) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 80; round++) {
    std::string input = random_input(rng, round < 50 ? 2000 : 200000);
    SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(input.size()) +
                 " bytes");
    FILE* ref = tmpfile();
    ASSERT_NE(ref, nullptr);
    ASSERT_EQ(fwrite(input.data(), 1, input.size(), ref), input.size());
    rewind(ref);
    std::vector<std::string> want = read_all(ref, true);
    {
      SCOPED_TRACE("regular file, read in blocks");
      rewind(ref);
      clearerr(ref);
      EXPECT_EQ(read_all(ref, false), want);
    }
    fclose(ref);
    {
      SCOPED_TRACE("other stream, read a line at a time");
      FILE* mem = fmemopen(input.data(), input.size(), "r");
      ASSERT_NE(mem, nullptr);
      EXPECT_EQ(read_all(mem, false), want);
      fclose(mem);
    }
  }
}

// What the reader asks the generator to do.
struct call {
  int type;
  std::string scope;
  std::string extra;
  bool operator==(const call&) const = default;
};
std::vector<call> calls;

int record(int type, const ip6_t*, const scope_t* scope, const host_t*, const ip6_t*, ip6_t*,
           const char* extra) {
  calls.push_back({type, scope ? scope->name : "-", extra ? extra : "(none)"});
  return 1;
}

class Walk : public testing::Test {
 protected:
  void SetUp() override {
    tavrix_reset();
    calls.clear();
    char tmpl[] = "/tmp/hostfile_test.XXXXXX";
    int fd = mkstemp(tmpl);
    ASSERT_GE(fd, 0);
    close(fd);
    path_ = tmpl;
  }
  void TearDown() override {
    unlink(path_.c_str());
    tavrix_reset();
  }
  void prefix(const char* text, int action) {
    ip6_t p;
    ASSERT_GT(ip6fromstr(&p, text), 0);
    prfxput(&p, action);
  }
  void read(const std::string& text) {
    std::ofstream(path_) << text;
    ASSERT_EQ(parsehostfile(path_.c_str(), record), 1);
  }
  std::string path_;
};

TEST_F(Walk, ExtraTextGoesOncePerViewAndDomainAndReverseCallsGetNone) {
  settings.forward = settings.reverse = 1;
  prefix("2001:db8:1::/48", 0);
  prefix("2001:db8:2::/48", 0);
  prefix("2001:db8:3::/48", 0);
  read("%%SCOPE\n"
       "a internal int 2001:db8:1::/48\n"
       "b internal int 2001:db8:2::/48\n"
       "%%HOST\n"
       "h ::1 :1:\n"
       "^ IN TXT x\n");
  std::vector<call> want = {
      {'f', "a", " IN TXT x\n"}, {'r', "a", "(none)"},
      {'f', "b", "(none)"},      {'r', "b", "(none)"},
      {'f', "-", " IN TXT x\n"}, {'r', "-", "(none)"},
  };
  EXPECT_EQ(calls, want);
}

TEST_F(Walk, UpdateModeGivesAPtrUpdateBesideEachUpdateOfAPrefix) {
  settings.forward = settings.reverse = settings.ddns = 1;
  prefix("2001:db8:1::/48", 1);
  prfxput(nullptr, 1);
  prefix("2001:db8:2::/48", 0);
  read("h ::1 :1:\n");
  // The delete entry without prefix deletes the AAAA set only.
  std::vector<call> want = {
      {'D', "-", ""}, {'P', "-", "(none)"}, {'D', "-", ""}, {'d', "-", ""}, {'p', "-", "(none)"},
  };
  EXPECT_EQ(calls, want);
}

TEST_F(Walk, WithoutUpdateModeDeleteEntriesAreLeftOut) {
  settings.forward = 1;
  prefix("2001:db8:1::/48", 1);
  prefix("2001:db8:2::/48", 0);
  read("h ::1 :1:\n");
  std::vector<call> want = {{'f', "-", ""}};
  EXPECT_EQ(calls, want);
}

TEST_F(Walk, AScopeListSelectsByWholeNames) {
  settings.forward = 1;
  prefix("2001:db8:1::/48", 0);
  prefix("2001:db8:2::/48", 0);
  read("%%SCOPE\n"
       "int internal int 2001:db8:1::/48\n"
       "internal internal x 2001:db8:2::/48\n"
       "%%HOST\n"
       "a ::1 :1: [int]\n"
       "b ::1 :1: [internal]\n"
       "c ::1 :1: [nope,*]\n"
       "d ::1 :1: []\n");
  std::vector<call> want = {
      {'f', "int", ""}, {'f', "internal", ""}, {'f', "int", ""}, {'f', "internal", ""},
  };
  EXPECT_EQ(calls, want);
}

}  // namespace
