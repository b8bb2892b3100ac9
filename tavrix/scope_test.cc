#include "scope.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "exitseam.h"
#include "ip6.h"
#include "settings.h"

namespace {

std::string near(const char* at) {
  return "near \"" + std::string(at).substr(0, 10) + " ...\"\n";
}

ip6_t prefix(const char* text) {
  ip6_t ip;
  EXPECT_GT(ip6fromstr(&ip, text), 0) << text;
  return ip;
}

std::string text_of(const ip6_t* ip) {
  char buf[64];
  return ip6tostr(buf, sizeof buf, ip);
}

// What a dump writes.
template <class F>
std::string captured(F dumper) {
  char* out = nullptr;
  size_t len = 0;
  FILE* fp = open_memstream(&out, &len);
  if (fp == nullptr) return "(open_memstream failed)";
  dumper(fp);
  fclose(fp);
  std::string text(out, len);
  free(out);
  return text;
}

class Scope : public testing::Test {
 protected:
  void SetUp() override {
    settings_reset();
    progname = "tavrix";
    prfx_reset();
    scope_reset();
  }
  void TearDown() override {
    scope_reset();
    prfx_reset();
    settings_reset();
  }

  static void add(const char* text, int action = 0) {
    ip6_t ip = prefix(text);
    prfxput(&ip, action);
  }
  static void enter(const char* line) {
    testing::internal::CaptureStderr();
    int ok = parsescopeline(line, 0);
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(ok, 1) << line << ": " << err;
  }
};

// ---- the prefix list ----

TEST_F(Scope, PrefixListDuplicates) {
  const char* const warning =
      "duplicate ipv6 prefix (2001:0db8:0000:0000:0000:0000:0000:0000/48), skipped\n";
  struct Row {
    const char* second;  // none: an entry without prefix
    int action;
    int count;
    const char* err;
  };
  const Row rows[] = {
      {"2001:db8::/48", 0, 1, warning},
      {"2001:db8::/48", 1, 1, warning},  // the action is not compared
      {"2001:db8:0::/48", 0, 1, warning},
      {"2001:db8::/64", 0, 2, ""},
      {"2001:db8::1/48", 0, 2, ""},  // other host bits: another prefix
      {"2001:db9::/48", 0, 2, ""},
      {nullptr, 1, 2, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.second ? r.second : "(none)");
    prfx_reset();
    add("2001:db8::/48");
    testing::internal::CaptureStderr();
    if (r.second) {
      ip6_t ip = prefix(r.second);
      EXPECT_EQ(prfxput(&ip, r.action), r.count);
    } else {
      EXPECT_EQ(prfxput(nullptr, r.action), r.count);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), r.err);
    EXPECT_EQ(prfxcount(), r.count);
    EXPECT_EQ(prfxget(0)->action, 0);
  }
}

TEST_F(Scope, EntriesWithoutPrefixAreNeverDuplicates) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(prfxput(nullptr, 1), 1);
  EXPECT_EQ(prfxput(nullptr, 1), 2);
  add("2001:db8::/48");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(prfxcount(), 3);
  EXPECT_EQ(prfxget(0)->prefix, nullptr);
  EXPECT_EQ(prfxget(0)->action, 1);
  EXPECT_EQ(prfxget(0)->scope, nullptr);
}

TEST_F(Scope, PrefixListKeepsACopy) {
  ip6_t ip = prefix("2001:db8::/48");
  prfxput(&ip, 0);
  ip.group[0] = 0xffff;
  EXPECT_EQ(text_of(prfxget(0)->prefix), "2001:0db8:0000:0000:0000:0000:0000:0000/48");
}

TEST_F(Scope, The17thPrefixEndsTheRun) {
  for (int i = 0; i < MAXPRFX; i++) {
    ip6_t ip = prefix("2001:db8::/48");
    ip.group[2] = (uint16_t)i;
    ASSERT_EQ(prfxput(&ip, 0), i + 1);
  }
  struct Row {
    const char* what;
    const char* text;  // none: an entry without prefix
  };
  // The limit comes first, even for a duplicate.
  const Row rows[] = {{"new", "2001:db9::/48"}, {"duplicate", "2001:db8::/48"}, {"none", nullptr}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ip6_t ip;
    if (r.text) ip = prefix(r.text);
    testing::internal::CaptureStderr();
    EXPECT_EQ(exit_status_of([&] { prfxput(r.text ? &ip : nullptr, 0); }), 127);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tavrix: maximum number of prefixes (16) reached\n");
    EXPECT_EQ(prfxcount(), 16);
  }
}

TEST_F(Scope, PrfxDel) {
  struct Row {
    int count;  // entries before: 2001:db8:N::/48 for N = 0..count-1
    int index;
    int result;
    std::vector<int> left;  // N of the entries after, in list order
  };
  const Row rows[] = {
      {0, 0, 0, {}},
      {3, 0, 2, {2, 1}},
      {3, 1, 2, {0, 2}},
      {3, 2, 2, {0, 1}},
      {3, 3, 2, {0, 1}},   // outside: the last goes
      {3, -1, 2, {0, 1}},  // taken as unsigned
      {1, 0, 0, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.count << " entries, index " << r.index);
    prfx_reset();
    for (int i = 0; i < r.count; i++) {
      ip6_t ip = prefix("2001:db8::/48");
      ip.group[2] = (uint16_t)i;
      prfxput(&ip, 0);
    }
    EXPECT_EQ(prfxdel(r.index), r.result);
    ASSERT_EQ(prfxcount(), (int)r.left.size());
    for (size_t i = 0; i < r.left.size(); i++)
      EXPECT_EQ(prfxget((int)i)->prefix->group[2], r.left[i]) << "entry " << i;
  }
}

TEST_F(Scope, PrfxGetRange) {
  add("2001:db8::/48");
  add("2001:db9::/48");
  const int indices[] = {-1, 0, 1, 2, 16};
  for (int index : indices) {
    SCOPED_TRACE(index);
    prfx_t* p = prfxget(index);
    if (index == 0 || index == 1)
      EXPECT_EQ(p, prfxget(0) + index);
    else
      EXPECT_EQ(p, nullptr);
  }
}

TEST_F(Scope, CursorWalks) {
  EXPECT_EQ(prfxfirst(), nullptr);
  EXPECT_EQ(prfxnext(), nullptr);

  add("2001:db8::/48");
  add("2001:db9::/48");
  EXPECT_EQ(prfxfirst(), prfxget(0));
  EXPECT_EQ(prfxnext(), prfxget(1));
  EXPECT_EQ(prfxnext(), nullptr);
  // The cursor keeps growing past the end; an entry added meanwhile stays
  // behind it until the next walk starts.
  EXPECT_EQ(prfxnext(), nullptr);
  add("2001:dba::/48");
  EXPECT_EQ(prfxnext(), nullptr);
  EXPECT_EQ(prfxfirst(), prfxget(0));
  EXPECT_EQ(prfxnext(), prfxget(1));
  EXPECT_EQ(prfxnext(), prfxget(2));
}

TEST_F(Scope, EnteringAScopeUsesTheSameCursor) {
  add("2001:db8::/48");
  add("2001:db9::/48");
  EXPECT_EQ(prfxfirst(), prfxget(0));
  enter("s v d. 2001:db8::/32");
  EXPECT_EQ(prfxnext(), nullptr);
}

// ---- scope lines ----

TEST_F(Scope, GoodLines) {
  struct Row {
    const char* line;
    int delim;
    const char* name;
    const char* view;    // none: no view
    const char* domain;  // none: no domain
    const char* prefix;  // as printed
  };
  const Row rows[] = {
      {"int internal lan.example.net. 2001:db8::/48", 0, "int", "internal", "lan.example.net.",
       "2001:0db8:0000:0000:0000:0000:0000:0000/48"},
      {"int internal lan 2001:db8::/48", 0, "int", "internal", "lan.example.com.",
       "2001:0db8:0000:0000:0000:0000:0000:0000/48"},
      {"  ext\tnone\t*\t2001:db8::/32\n", 0, "ext", nullptr, nullptr,
       "2001:0db8:0000:0000:0000:0000:0000:0000/32"},
      {"ext * * 2001:db8::/64", 0, "ext", nullptr, nullptr,
       "2001:0db8:0000:0000:0000:0000:0000:0000/64"},
      {"ext nonex d. 2001:db8::/64", 0, "ext", "nonex", "d.",
       "2001:0db8:0000:0000:0000:0000:0000:0000/64"},
      {"* v d. 2001:db8::/48", 0, "", "v", "d.", "2001:0db8:0000:0000:0000:0000:0000:0000/48"},
      {"_x _v _d. 2001:db8::/48", 0, "_x", "_v", "_d.",
       "2001:0db8:0000:0000:0000:0000:0000:0000/48"},
      {"abcdefghijklmno v d. 2001:db8::/48", 0, "abcdefghijklmno", "v", "d.",
       "2001:0db8:0000:0000:0000:0000:0000:0000/48"},
      {"a;b;c.;2001:db8::/48", ';', "a", "b", "c.", "2001:0db8:0000:0000:0000:0000:0000:0000/48"},
      {";a;;b ;c;2001:db8::/48", ';', "a", "b", "c.example.com.",
       "2001:0db8:0000:0000:0000:0000:0000:0000/48"},
      {"a v d. 2001:db8::/48 trailing words", 0, "a", "v", "d.",
       "2001:0db8:0000:0000:0000:0000:0000:0000/48"},
      {"a v d. 2001:db8::/48;x", 0, "a", "v", "d.", "2001:0db8:0000:0000:0000:0000:0000:0000/48"},
      {"a v d. 2001:db8::/0", 0, "a", "v", "d.", "2001:0db8:0000:0000:0000:0000:0000:0000/0"},
      {"a v d. 2001:db8:1:2::/64", 0, "a", "v", "d.",
       "2001:0db8:0001:0002:0000:0000:0000:0000/64"},
      {"a V-1.x D-1.x 2001:db8::/48", 0, "a", "V-1.x", "D-1.x.example.com.",
       "2001:0db8:0000:0000:0000:0000:0000:0000/48"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    scope_reset();
    testing::internal::CaptureStderr();
    EXPECT_EQ(parsescopeline(r.line, r.delim), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(scopecount(), 1);
    const scope_t* s = scopeget(0);
    EXPECT_STREQ(s->name, r.name);
    if (r.view) {
      ASSERT_NE(s->view, nullptr);
      EXPECT_STREQ(s->view, r.view);
    } else {
      EXPECT_EQ(s->view, nullptr);
    }
    if (r.domain) {
      ASSERT_NE(s->domain, nullptr);
      EXPECT_STREQ(s->domain, r.domain);
    } else {
      EXPECT_EQ(s->domain, nullptr);
    }
    EXPECT_EQ(text_of(s->prefix), r.prefix);
    EXPECT_EQ(s->id, 0);
  }
}

TEST_F(Scope, DomainsCompletedWithTheOrigin) {
  ASSERT_EQ(settings_setorigin("zone.example"), 1);
  enter("a v lan 2001:db8::/48");
  EXPECT_STREQ(scopeget(0)->domain, "lan.zone.example.");
}

TEST_F(Scope, BadLines) {
  const std::string name_w = "parsescopeline(): illegal scopename found ";
  const std::string view_w = "parsescopeline(): illegal viewname found ";
  const std::string domain_w = "parsescopeline(): illegal domain found ";
  const std::string prefix_w = "parsescopeline(): no matching prefix found ";
  const std::string longview = "a " + std::string(256, 'v') + " d. 2001:db8::/48";
  const std::string longdomain = "a v " + std::string(256, 'd') + " 2001:db8::/48";
  struct Row {
    std::string line;
    int delim;
    const std::string& warning;
    size_t quote;  // offset in the line the warning quotes from
  };
  const Row rows[] = {
      {"abcdefghijklmnop v d. 2001:db8::/48", 0, name_w, 15},
      {"1a v d. 2001:db8::/48", 0, name_w, 0},
      {"-a v d. 2001:db8::/48", 0, name_w, 0},
      {".a v d. 2001:db8::/48", 0, name_w, 0},
      {"a+ v d. 2001:db8::/48", 0, name_w, 1},
      {"a;v d. 2001:db8::/48", 0, name_w, 1},
      {"*x v d. 2001:db8::/48", 0, name_w, 1},
      {"\xe9 v d. 2001:db8::/48", 0, name_w, 0},
      {"a", 0, name_w, 1},
      {"", 0, name_w, 0},
      {"a v", 0, view_w, 3},
      {"a v+ d. 2001:db8::/48", 0, view_w, 3},
      {"a 1v d. 2001:db8::/48", 0, view_w, 2},
      {longview, 0, view_w, 257},
      {"a v d.", 0, domain_w, 6},
      {"a v d.;2001:db8::/48", 0, domain_w, 6},
      {longdomain, 0, domain_w, 259},
      {"a v d. 2001:db8::", 0, prefix_w, 17},
      {"a v d. 2001:db8::/65", 0, prefix_w, 20},
      {"a v d. 2001:db8::/128", 0, prefix_w, 21},
      {"a v d. :5:", 0, prefix_w, 10},
      {"a v d. ::/0", 0, prefix_w, 9},
      {"a v d. x", 0, prefix_w, 7},
      {"a v d. 1::2::3/48", 0, prefix_w, 7},
      {"a v d. ", 0, prefix_w, 7},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    add("2001:db8::/48");
    testing::internal::CaptureStderr();
    EXPECT_EQ(parsescopeline(r.line.c_str(), r.delim), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), r.warning + near(r.line.c_str() + r.quote));
    EXPECT_EQ(scopecount(), 0);
    EXPECT_EQ(prfxget(0)->scope, nullptr);
    prfx_reset();
  }
}

TEST_F(Scope, DomainLengthLimit) {
  // With the origin "example.com." a relative domain gains 13 characters.
  struct Case {
    std::string domain;
    std::string stored;  // empty: the run ends
    std::string err;
  };
  // Names of n characters in labels of 60, so that only the length counts.
  auto dotted = [](size_t n) {
    std::string d;
    while (d.size() < n) d += d.size() % 61 == 60 ? '.' : 'd';
    return d;
  };
  const std::string d241 = dotted(241);
  const std::string d253 = dotted(253) + ".";
  const std::string d242 = dotted(242);
  const std::string d254dot = dotted(254) + ".";
  const std::string d254 = dotted(254);
  const Case cases[] = {
      {d241, d241 + ".example.com.", ""},
      {d253, d253, ""},
      {d242, "",
       "tavrix: parsescopeline(): scope domain \"" + d242.substr(0, 40) +
           "...\" too long with origin example.com.\n"},
      {d254, "",
       "tavrix: parsescopeline(): scope domain \"" + d254.substr(0, 40) +
           "...\" too long with origin example.com.\n"},
      {d254dot, "",
       "tavrix: parsescopeline(): scope domain \"" + d254dot.substr(0, 40) +
           "...\" longer than 254 characters\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.domain.size());
    scope_reset();
    const std::string line = "a v " + c.domain + " 2001:db8::/48";
    testing::internal::CaptureStderr();
    int status = exit_status_of([&] { parsescopeline(line.c_str(), 0); });
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err);
    if (c.stored.empty()) {
      EXPECT_EQ(status, 127);
      EXPECT_EQ(scopecount(), 0);
    } else {
      EXPECT_EQ(status, -1);
      ASSERT_EQ(scopecount(), 1);
      EXPECT_EQ(std::string(scopeget(0)->domain), c.stored);
    }
  }
}

// A domain with an empty label or one of more than 63 characters, after
// the origin is added, is a bad scope line; 63 characters are fine.
TEST_F(Scope, DomainLabels) {
  const std::string l63(63, 'l');
  const std::string l64(64, 'l');
  struct Case {
    std::string domain;
    std::string stored;  // empty: a bad line
    std::string fault;
  };
  const Case cases[] = {
      {l63, l63 + ".example.com.", ""},
      {"a." + l63 + ".", "a." + l63 + ".", ""},
      {"int..example.com.", "", "has an empty label"},
      {"int..", "", "has an empty label"},
      {"a." + l64, "", "has a label of more than 63 characters"},
      {l64 + ".example.com.", "", "has a label of more than 63 characters"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.domain);
    scope_reset();
    const std::string line = "a v " + c.domain + " 2001:db8::/48";
    testing::internal::CaptureStderr();
    int result = parsescopeline(line.c_str(), 0);
    std::string err = testing::internal::GetCapturedStderr();
    if (c.stored.empty()) {
      std::string full = c.domain.back() == '.' ? c.domain : c.domain + ".example.com.";
      EXPECT_EQ(result, 0);
      EXPECT_EQ(err, "parsescopeline(): scope domain \"" + full + "\" " + c.fault + "\n");
      EXPECT_EQ(scopecount(), 0);
    } else {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(err, "");
      ASSERT_EQ(scopecount(), 1);
      EXPECT_EQ(std::string(scopeget(0)->domain), c.stored);
    }
  }
}

// ---- the table ----

TEST_F(Scope, UniqueScopeIds) {
  struct Row {
    const char* line;
    int id;
  };
  const Row rows[] = {
      {"s0 v1 d1. 2001:db8::/48", 0},
      {"s1 v1 d1. 2001:db9::/48", 0},  // same view and domain
      {"s2 v1 d2. 2001:db8::/48", 2},  // other domain
      {"s3 v1 * 2001:db8::/48", 3},    // no domain
      {"s4 * * 2001:db8::/48", 4},
      {"s5 none * 2001:db8::/32", 4},  // "none" is no view, like "*"
      {"s6 v1 * 2001:db8::/48", 3},
      {"s7 V1 d1. 2001:db8::/48", 7},  // case matters
      {"s8 v1 d2 2001:db8::/48", 8},   // completed: d2.example.com. is not d2.
      {"s9 v2 d1. 2001:db8::/48", 9},
      {"s0 v2 d1. 2001:db8::/48", 9},
  };
  for (const Row& r : rows) enter(r.line);
  ASSERT_EQ(scopecount(), (int)std::size(rows));
  for (int i = 0; i < scopecount(); i++) {
    SCOPED_TRACE(rows[i].line);
    EXPECT_EQ(scopeget(i)->id, rows[i].id);
  }
}

TEST_F(Scope, The17thScopeEndsTheRun) {
  for (int i = 0; i < MAXSCOPE; i++) enter("s v d. 2001:db8::/48");
  testing::internal::CaptureStderr();
  EXPECT_EQ(exit_status_of([] { parsescopeline("s v d. 2001:db8::/48", 0); }), 127);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tavrix: maximum number of scopes (16) reached\n");
  EXPECT_EQ(scopecount(), 16);
}

TEST_F(Scope, ScopePutCopiesAndCuts) {
  char view[] = "internal";
  char domain[] = "lan.example.net.";
  ip6_t ip = prefix("2001:db8::/48");
  EXPECT_EQ(scopeput("abcdefghijklmnopqrst", view, domain, &ip), 1);
  view[0] = domain[0] = 'X';
  ip.group[0] = 0;
  const scope_t* s = scopeget(0);
  EXPECT_STREQ(s->name, "abcdefghijklmno");
  EXPECT_STREQ(s->view, "internal");
  EXPECT_STREQ(s->domain, "lan.example.net.");
  EXPECT_EQ(s->prefix->group[0], 0x2001);
  EXPECT_EQ(scopeput("n", "", "", &ip), 2);
  EXPECT_EQ(scopeget(1)->view, nullptr);
  EXPECT_EQ(scopeget(1)->domain, nullptr);
}

TEST_F(Scope, Lookup) {
  enter("lan v1 d. 2001:db8::/48");
  enter("wan v2 d. 2001:db8::/48");
  enter("lan v3 d. 2001:db8::/48");
  struct Row {
    const char* name;
    int index;  // -1: not found
  };
  const Row rows[] = {{"lan", 0}, {"wan", 1}, {"LAN", -1}, {"la", -1}, {"", -1}, {nullptr, -1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name ? r.name : "(missing)");
    EXPECT_EQ(scopelookup(r.name), r.index < 0 ? nullptr : scopeget(r.index));
  }
}

TEST_F(Scope, Binding) {
  struct Row {
    const char* what;
    int action;                         // of every command-line entry
    std::vector<const char*> prefixes;  // "" for the entry without prefix
    std::vector<const char*> scopes;    // scope lines in order
    std::vector<const char*> bound;     // scope name per entry; "" for none
  };
  const Row rows[] = {
      {"equal prefix binds", 0, {"2001:db8::/48"}, {"s v d. 2001:db8::/48"}, {"s"}},
      {"/56 does not bind a /48 inside it", 0, {"2001:db8::/48"}, {"s v d. 2001:db8::/56"}, {""}},
      {"/40 binds a /48 inside it", 0, {"2001:db8::/48"}, {"s v d. 2001:db8::/40"}, {"s"}},
      {"/0 binds nothing", 0, {"2001:db8::/48"}, {"s v d. 2001:db8::/0"}, {""}},
      {"/1 binds a /48 inside it", 0, {"2001:db8::/48"}, {"s v d. 0::/1"}, {"s"}},
      {"/1 binds nothing outside it", 0, {"2001:db8::/48"}, {"s v d. 8000::/1"}, {""}},
      {"other network", 0, {"2001:db8::/48"}, {"s v d. 2001:db9::/32"}, {""}},
      {"first binding wins",
       0,
       {"2001:db8::/48"},
       {"outer v d. 2001:db8::/32", "inner v d. 2001:db8::/48"},
       {"outer"}},
      {"each entry its own scope",
       0,
       {"2001:db8::/48", "2001:db8:8000::/48", "2001:db9::/48"},
       {"low v d. 2001:db8::/33", "high v d. 2001:db8:8000::/33"},
       {"low", "high", ""}},
      {"delete entries bind too", 1, {"2001:db8::/48"}, {"s v d. 2001:db8::/32"}, {"s"}},
      {"entry without prefix is passed over",
       1,
       {"", "2001:db8::/48"},
       {"s v d. 2001:db8::/32"},
       {"", "s"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    scope_reset();
    prfx_reset();
    for (const char* p : r.prefixes) {
      if (*p)
        add(p, r.action);
      else
        prfxput(nullptr, 1);
    }
    for (const char* line : r.scopes) enter(line);
    ASSERT_EQ(prfxcount(), (int)r.bound.size());
    for (size_t i = 0; i < r.bound.size(); i++) {
      const scope_t* s = prfxget((int)i)->scope;
      EXPECT_STREQ(s ? s->name : "", r.bound[i]) << "entry " << i;
    }
  }
}

TEST_F(Scope, UsedFlags) {
  enum Op { clear, set, get };
  struct Row {
    Op op;
    int id;
    int result;  // ignored for clear
  };
  const Row rows[] = {
      {clear, 0, 0}, {get, 3, 0},   {set, 3, 0},   {set, 3, 1},  {set, 3, 1},  {get, 3, 1},
      {get, 4, 0},   {set, 15, 0},  {get, 15, 1},  {set, 16, 0}, {set, -1, 0}, {get, 16, -1},
      {get, -1, -1}, {set, 16, 0},  {clear, 0, 0}, {get, 3, 0},  {get, 15, 0}, {set, 3, 0},
  };
  int step = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "step " << step++ << " id " << r.id);
    switch (r.op) {
      case clear: scopeclearused(); break;
      case set: EXPECT_EQ(scopesetused(r.id), r.result); break;
      case get: EXPECT_EQ(scopegetused(r.id), r.result); break;
    }
  }
}

// ---- dumps ----

TEST_F(Scope, DumpScopeEmpty) {
  EXPECT_EQ(captured(dumpscope), "\n%%SCOPE SECTION (0 elements)\n%%END\n\n");
}

TEST_F(Scope, DumpScope) {
  enter("int internal lan.example.net. 2001:db8::/48");
  enter("ext none * 2001:db8::/32");
  enter("all * rel 2001:db8:1::/64");
  enter("int2 internal lan.example.net. 2001:db9::/48");
  EXPECT_EQ(captured(dumpscope),
            "\n%%SCOPE SECTION (4 elements)\n"
            "int\tinternal\tlan.example.net.\t2001:0db8:0000:0000:0000:0000:0000:0000/48\t"
            "; unique_scopeid 0\n"
            "ext\tnone\t\t2001:0db8:0000:0000:0000:0000:0000:0000/32\t; unique_scopeid 1\n"
            "all\tnone\trel.example.com.\t2001:0db8:0001:0000:0000:0000:0000:0000/64\t"
            "; unique_scopeid 2\n"
            "int2\tinternal\tlan.example.net.\t2001:0db9:0000:0000:0000:0000:0000:0000/48\t"
            "; unique_scopeid 0\n"
            "%%END\n\n");
}

TEST_F(Scope, DumpPrefixListEmpty) {
  EXPECT_EQ(captured(dumpprefixlist), "\n%%The current (command line) prefix list \n%%END\n\n");
}

TEST_F(Scope, DumpPrefixList) {
  add("2001:db8::/48");
  add("2001:db9::/48", 1);
  prfxput(nullptr, 1);
  enter("int v d. 2001:db8::/32");
  prfxfirst();
  prfxnext();
  EXPECT_EQ(captured(dumpprefixlist),
            "\n%%The current (command line) prefix list \n"
            "2001:0db8:0000:0000:0000:0000:0000:0000/48\tto_add\t[int]\t\n"
            "2001:0db9:0000:0000:0000:0000:0000:0000/48\tto_del\t[none]\t\n"
            "ALL\tto_del\t[none]\t\n"
            "%%END\n\n");
  EXPECT_EQ(prfxnext(), prfxget(2)) << "the dump moved the cursor";
}

TEST_F(Scope, DumpPrefixListRefusesAddWithoutPrefix) {
  prfxput(nullptr, 0);
  char* out = nullptr;
  size_t len = 0;
  FILE* fp = open_memstream(&out, &len);
  ASSERT_NE(fp, nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(exit_status_of([&] { dumpprefixlist(fp); }), 127);
  std::string err = testing::internal::GetCapturedStderr();
  fclose(fp);
  free(out);
  EXPECT_EQ(err, "tavrix: NULL prefix with add action in prefixlist; Use of -p w/o argument!");
}

}  // namespace
