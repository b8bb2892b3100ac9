#include "hostid.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "charclass.h"
#include "ip6.h"
#include "oracles.h"

namespace {

using HostId = testing::Test;

// The end of a warning that points into a line.
std::string near(const char* at) {
  return "near \"" + std::string(at).substr(0, 10) + " ...\"\n";
}

// ---- host names ----

TEST_F(HostId, HostFromStr) {
  struct Row {
    const char* text;
    int result;
    int isset;
    const char* name;
  };
  const Row rows[] = {
      {"www-1.lab_x rest", 11, 1, "www-1.lab_x"},
      {"_srv", 4, 1, "_srv"},
      {"Mail2\t::1", 5, 1, "Mail2"},
      {"ab:cd:ef:01:23:45", 2, 1, "ab"},
      {"1host", 0, 1, ""},
      {"-x", 0, 1, ""},
      {".x", 0, 1, ""},
      {"::1:2:3:4", 0, 1, ""},
      {" www", 0, 1, ""},
      {"", 0, 1, ""},
      {"\xe9t\xe9", 0, 1, ""},
      {"caf\xe9", 3, 1, "caf"},
      {nullptr, 0, 0, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text ? r.text : "(missing)");
    host_t h;
    memset(&h, 'x', sizeof h);
    h.ttl = 3600;  // left from an earlier line; must not carry over
    EXPECT_EQ(hostfromstr(&h, r.text), r.result);
    EXPECT_EQ(h.isset, r.isset);
    EXPECT_EQ(hostisset(&h), r.isset);
    EXPECT_STREQ(h.name, r.name);
    EXPECT_EQ(h.ttl, 0u);
  }
}

TEST_F(HostId, HostFromStrStopsAt255) {
  std::string text(300, 'a');
  host_t h;
  EXPECT_EQ(hostfromstr(&h, text.c_str()), 255);
  EXPECT_EQ(std::string(h.name), std::string(255, 'a'));
}

TEST_F(HostId, HostToStr) {
  host_t h;
  hostfromstr(&h, "mailserver");
  struct Row {
    size_t size;
    const char* text;
  };
  const Row rows[] = {{255, "mailserver"}, {11, "mailserver"}, {5, "mail"}, {1, ""}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.size);
    char buf[256];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(hosttostr(buf, r.size, &h), 10);
    EXPECT_STREQ(buf, r.text);
    EXPECT_EQ(buf[r.size], '#') << "wrote past the size";
  }

  host_t unset;
  hostfromstr(&unset, nullptr);
  char buf[8] = "keep";
  EXPECT_EQ(hosttostr(buf, sizeof buf, &unset), 0);
  EXPECT_STREQ(buf, "keep");
  EXPECT_EQ(hostisset(nullptr), 0);
}

// ---- host IDs ----

TEST_F(HostId, HostIdFromStr) {
  const char* const mac_warning = "hostidfromstr(): No mac address found ";
  const char* const hid_warning = "hostidfromstr(): No hostid found ";
  struct Row {
    const char* text;
    int result;
    int isset;
    uint16_t group[4];  // groups 4 to 7
    const char* warning;  // quotes the text, or none
  };
  const Row rows[] = {
      {"::1:2:3:4", 9, 1, {1, 2, 3, 4}, nullptr},
      {"::1:2:3:4 :1:", 9, 1, {1, 2, 3, 4}, nullptr},
      {"00:11:22:33:44:55", 17, 1, {0x0211, 0x22ff, 0xfe33, 0x4455}, nullptr},
      {"00-11-22-33-44-55", 17, 1, {0x0211, 0x22ff, 0xfe33, 0x4455}, nullptr},
      {"0011.2233.4455", 14, 1, {0x0211, 0x22ff, 0xfe33, 0x4455}, nullptr},
      {"001122334455", 12, 1, {0x0211, 0x22ff, 0xfe33, 0x4455}, nullptr},
      {"00:11:22:33:44:55 :1:", 17, 1, {0x0211, 0x22ff, 0xfe33, 0x4455}, nullptr},
      {"AA:bb:Cc:dD:ee:FF", 17, 1, {0xa8bb, 0xccff, 0xfedd, 0xeeff}, nullptr},
      {"02:00:00:00:00:01", 17, 1, {0x0000, 0x00ff, 0xfe00, 0x0001}, nullptr},
      {"0:1:2:3:4:5", 11, 1, {0x0201, 0x02ff, 0xfe03, 0x0405}, nullptr},
      {"0-1-2-3-4-5", 11, 1, {0x0201, 0x02ff, 0xfe03, 0x0405}, nullptr},
      {"::", 2, 1, {0, 0, 0, 0}, nullptr},
      {"::ffff", 6, 1, {0, 0, 0, 0xffff}, nullptr},
      {"::1:2;:1:", 5, 1, {0, 0, 1, 2}, nullptr},
      {"::a:b:c:d[x]", 9, 1, {0xa, 0xb, 0xc, 0xd}, nullptr},
      // Exactly six octets in one of the four forms, nothing more or less.
      {"0:0:0:0:1:2:3:4", 0, 0, {}, mac_warning},
      {"001122 334455", 0, 0, {}, mac_warning},
      {"00:11:22:33:44: 55", 0, 0, {}, mac_warning},
      {"00112233445", 0, 0, {}, mac_warning},
      {"0011223344556", 0, 0, {}, mac_warning},
      {"001:22:33:44:55:66", 0, 0, {}, mac_warning},
      {"00:11:22:33:44:55:66:77", 0, 0, {}, mac_warning},
      {"0011.2233.445", 0, 0, {}, mac_warning},
      {"0011.2233.4455.6677", 0, 0, {}, mac_warning},
      {"+0:11:22:33:44:55", 0, 0, {}, mac_warning},
      {"0x:11:22:33:44:55", 0, 0, {}, mac_warning},
      // At most four groups of 1 to 4 digits: the 64 bits of the host part.
      {"::1:2:3:4:5", 0, 0, {}, hid_warning},
      {"::12345", 0, 0, {}, hid_warning},
      {"::1:", 0, 0, {}, hid_warning},
      {"::1/64", 0, 0, {}, hid_warning},
      {"::1.2.3.4", 0, 0, {}, hid_warning},
      {"::1g", 0, 0, {}, hid_warning},
      {"00:11:22:33:44:55;", 0, 0, {}, mac_warning},
      {"00:11-22:33:44:55", 0, 0, {}, mac_warning},
      {"00:11:22:33:44", 0, 0, {}, mac_warning},
      {"00.11.22.33.44.55", 0, 0, {}, mac_warning},
      {"0011223344", 0, 0, {}, mac_warning},
      {"zz", 0, 0, {}, mac_warning},
      {"", 0, 0, {}, mac_warning},
      {":::1", 0, 0, {}, hid_warning},
      {"::1::2", 0, 0, {}, hid_warning},
      {nullptr, 0, 0, {}, nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text ? r.text : "(missing)");
    ip6_t hid;
    memset(&hid, 0x55, sizeof hid);
    hid.isset = 1;
    testing::internal::CaptureStderr();
    int result = hostidfromstr(&hid, r.text);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, r.result);
    EXPECT_EQ(hid.isset, r.isset);
    if (r.isset) {
      EXPECT_EQ(hid.sbit, 64);
      EXPECT_EQ(hid.ebit, 128);
      for (int g = 0; g < 4; g++) EXPECT_EQ(hid.group[4 + g], r.group[g]) << "group " << 4 + g;
    }
    EXPECT_EQ(err, r.warning ? r.warning + near(r.text) : "");
  }
}

TEST_F(HostId, MacHostIdPrintsAsInterfaceIdentifier) {
  ip6_t hid;
  ASSERT_EQ(hostidfromstr(&hid, "00:11:22:33:44:55"), 17);
  char buf[64];
  EXPECT_STREQ(ip6tostr(buf, sizeof buf, &hid), "::0211:22ff:fe33:4455");
  for (int g = 0; g < 4; g++) EXPECT_EQ(hid.group[g], 0) << "group " << g;
}

TEST_F(HostId, EthFromStrRecord) {
  struct Row {
    const char* text;
    int result;
    uint8_t octet[6];
    int delim;
  };
  const Row rows[] = {
      {"0a1b2e3d4e5f", 12, {0x0a, 0x1b, 0x2e, 0x3d, 0x4e, 0x5f}, 0},
      {"0a-1b-2e-3d-4e-5f", 17, {0x0a, 0x1b, 0x2e, 0x3d, 0x4e, 0x5f}, '-'},
      {"0a1b.2e3d.4e5f", 14, {0x0a, 0x1b, 0x2e, 0x3d, 0x4e, 0x5f}, '.'},
      {"0a:1b:2e:3d:4e:5f", 17, {0x0a, 0x1b, 0x2e, 0x3d, 0x4e, 0x5f}, ':'},
      {"0a:1b:2e:3d:4e:5f\n", 17, {0x0a, 0x1b, 0x2e, 0x3d, 0x4e, 0x5f}, ':'},
      {"a:b:c:d:e:f\tx", 11, {0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f}, ':'},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    eth_t e;
    memset(&e, 0x77, sizeof e);
    EXPECT_EQ(ethfromstr(&e, r.text), r.result);
    EXPECT_EQ(ethisset(&e), 1);
    EXPECT_EQ(e.delim, r.delim);
    for (int i = 0; i < 6; i++) EXPECT_EQ(e.octet[i], r.octet[i]) << "octet " << i;
  }
}

// Every prefix of a MAC text, each in a buffer of exactly its size, so that
// a sanitizer build catches any read past the NUL.
TEST_F(HostId, EthFromStrStopsAtTheEnd) {
  const char* const texts[] = {"00:11:22:33:44:55", "0011.2233.4455", "001122 334455",
                               "00:11:22:33:44: 55", "0:0:0:0:1:2:3:4"};
  for (const char* text : texts) {
    for (size_t len = 0; len <= strlen(text); len++) {
      SCOPED_TRACE(std::string(text, len));
      std::vector<char> buf(text, text + len);
      buf.push_back('\0');
      eth_t e;
      int n = ethfromstr(&e, buf.data());
      EXPECT_GE(n, 0);
      EXPECT_LE(n, (int)len);
      EXPECT_EQ(ethisset(&e), n > 0 ? 1 : 0);
    }
  }
}

TEST_F(HostId, Eth2Ip6FlipsTheUniversalLocalBit) {
  struct Row {
    uint8_t first;
    uint16_t group4;
  };
  const Row rows[] = {{0x00, 0x0211}, {0x02, 0x0011}, {0xfd, 0xff11}, {0xff, 0xfd11}, {0x01, 0x0311}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.first);
    eth_t e = {{r.first, 0x11, 0x22, 0x33, 0x44, 0x55}, ':', 1};
    ip6_t hid;
    memset(&hid, 0x55, sizeof hid);
    ASSERT_EQ(eth2ip6(&hid, &e), 1);
    EXPECT_EQ(hid.group[4], r.group4);
    EXPECT_EQ(hid.group[5], 0x22ff);
    EXPECT_EQ(hid.group[6], 0xfe33);
    EXPECT_EQ(hid.group[7], 0x4455);
    for (int g = 0; g < 4; g++) EXPECT_EQ(hid.group[g], 0) << "group " << g;
    EXPECT_EQ(hid.sbit, 64);
    EXPECT_EQ(hid.ebit, 128);
    EXPECT_EQ(hid.isset, 1);
  }
}

TEST_F(HostId, Eth2Ip6WithoutMacLeavesRecord) {
  ip6_t hid;
  memset(&hid, 0x55, sizeof hid);
  ip6_t before = hid;
  eth_t unset = {{1, 2, 3, 4, 5, 6}, ':', 0};
  EXPECT_EQ(eth2ip6(&hid, nullptr), 0);
  EXPECT_EQ(eth2ip6(&hid, &unset), 0);
  EXPECT_EQ(memcmp(&hid, &before, sizeof hid), 0);
}

// ---- MAC printers ----

TEST_F(HostId, EthToStr2) {
  const eth_t e = {{0x00, 0x11, 0x22, 0x33, 0x44, 0xab}, ':', 1};
  struct Row {
    int sep;
    size_t size;
    int result;
    const char* text;  // none: nothing written
  };
  const Row rows[] = {
      {'.', 15, 14, "0011.2233.44ab"},
      {':', 15, -1, nullptr},
      {':', 17, -1, nullptr},
      {':', 18, 17, "00:11:22:33:44:ab"},
      {'-', 17, -1, nullptr},
      {'-', 18, 17, "00-11-22-33-44-ab"},
      {0, 15, 12, "0011223344ab"},
      // Other separators stand before every octet but get only 15 bytes.
      {'/', 15, 17, "00/11/22/33/44"},
      {'/', 18, 17, "00/11/22/33/44/ab"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "sep '" << (char)r.sep << "' size " << r.size);
    char buf[32];
    memset(buf, '#', sizeof buf);
    buf[0] = '\0';
    EXPECT_EQ(ethtostr2(buf, r.size, r.sep, &e), r.result);
    EXPECT_STREQ(buf, r.text ? r.text : "");
    EXPECT_EQ(buf[r.size], '#') << "wrote past the size";
  }
}

TEST_F(HostId, EthToStrUsesOwnSeparator) {
  struct Row {
    int delim;
    const char* text;
  };
  const Row rows[] = {{':', "0a:1b:2c:3d:4e:5f"}, {'-', "0a-1b-2c-3d-4e-5f"},
                      {'.', "0a1b.2c3d.4e5f"}, {0, "0a1b2c3d4e5f"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    eth_t e = {{0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}, r.delim, 1};
    char buf[18];
    EXPECT_EQ(ethtostr(buf, sizeof buf, &e), (int)strlen(r.text));
    EXPECT_STREQ(buf, r.text);
  }
}

TEST_F(HostId, EthPut) {
  struct Row {
    int delim;  // the record's own
    int sep;
    const char* text;
  };
  const Row rows[] = {
      {':', 0, "0A:1B:2C:3D:4E:5F"}, {':', '-', "0A-1B-2C-3D-4E-5F"},
      {':', '.', "0A1B.2C3D.4E5F"},  {'.', 0, "0A1B.2C3D.4E5F"},
      {0, 0, "0A1B2C3D4E5F"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    eth_t e = {{0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}, r.delim, 1};
    char* out = nullptr;
    size_t outlen = 0;
    FILE* fp = open_memstream(&out, &outlen);
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(ethput(&e, r.sep, fp), (int)strlen(r.text));
    ASSERT_EQ(fclose(fp), 0);
    EXPECT_EQ(std::string(out, outlen), r.text);
    free(out);
  }

  eth_t unset = {{}, ':', 0};
  EXPECT_EQ(ethput(&unset, 0, stdout), 0);
  EXPECT_EQ(ethput(nullptr, 0, stdout), 0);
}

// ---- interop: our interface identifiers against ipv6calc's ----

struct MacCase {
  std::string ours;       // in one of the four forms hostidfromstr reads
  std::string canonical;  // colon form for ipv6calc
  uint8_t octet[6];
};

std::vector<MacCase> random_macs(int count) {
  std::mt19937 rng(4291);
  std::vector<MacCase> cases;
  for (int i = 0; i < count; i++) {
    MacCase c;
    for (auto& o : c.octet) o = (uint8_t)(rng() & 0xff);
    const char* digits = (rng() & 1) ? "%02X" : "%02x";
    auto two = [&](int k) {
      char b[3];
      snprintf(b, sizeof b, digits, c.octet[k]);
      return std::string(b);
    };
    // The '-' and ':' forms may write a group with a single digit.
    auto one_or_two = [&](int k) {
      std::string s = two(k);
      return (s[0] == '0' && (rng() & 1)) ? s.substr(1) : s;
    };
    switch (i % 4) {
      case 0:
      case 1: {
        const char sep = i % 4 == 0 ? ':' : '-';
        for (int k = 0; k < 6; k++) c.ours += (k ? std::string(1, sep) : "") + one_or_two(k);
        break;
      }
      case 2:
        c.ours = two(0) + two(1) + "." + two(2) + two(3) + "." + two(4) + two(5);
        break;
      default:
        for (int k = 0; k < 6; k++) c.ours += two(k);
        break;
    }
    for (int k = 0; k < 6; k++) {
      char b[4];
      snprintf(b, sizeof b, "%s%02x", k ? ":" : "", c.octet[k]);
      c.canonical += b;
    }
    cases.push_back(c);
  }
  return cases;
}

bool have_ipv6calc() { return system("command -v ipv6calc >/dev/null 2>&1") == 0; }

TEST(HostIdInterop, InterfaceIdentifiersMatchIpv6calc) {
  if (!have_ipv6calc()) {
    const char* ci = getenv("CI");
    if (ci != nullptr && strcmp(ci, "true") == 0)
      FAIL() << "ipv6calc not found (Debian package ipv6calc)";
    GTEST_SKIP() << "ipv6calc not found; install the Debian package ipv6calc";
  }

  const std::vector<MacCase> cases = random_macs(4000);
  char inpath[] = "/tmp/hostid_interop_XXXXXX";
  int fd = mkstemp(inpath);
  ASSERT_GE(fd, 0);
  FILE* in = fdopen(fd, "w");
  ASSERT_NE(in, nullptr);
  for (const MacCase& c : cases) fprintf(in, "2001:db8::/64 %s\n", c.canonical.c_str());
  ASSERT_EQ(fclose(in), 0);

  const std::string cmd =
      std::string("ipv6calc -q -A prefixmac2ipv6 -I prefix+mac -O ipv6addr <") + inpath;
  FILE* out = popen(cmd.c_str(), "r");
  ASSERT_NE(out, nullptr);
  std::vector<std::string> lines;
  char line[256];
  while (fgets(line, sizeof line, out) != nullptr) {
    line[strcspn(line, "/\n")] = '\0';
    lines.push_back(line);
  }
  int status = pclose(out);
  unlink(inpath);
  ASSERT_EQ(status, 0) << cmd;
  ASSERT_EQ(lines.size(), cases.size());

  int mismatches = 0;
  for (size_t i = 0; i < cases.size() && mismatches < 10; i++) {
    const MacCase& c = cases[i];
    SCOPED_TRACE(c.ours);
    unsigned char theirs[16];
    ASSERT_EQ(inet_pton(AF_INET6, lines[i].c_str(), theirs), 1) << lines[i];
    ip6_t hid;
    ASSERT_EQ(hostidfromstr(&hid, c.ours.c_str()), (int)c.ours.size());
    for (int g = 0; g < 4; g++) {
      uint16_t want = (uint16_t)(theirs[8 + 2 * g] << 8 | theirs[9 + 2 * g]);
      if (hid.group[4 + g] != want) {
        ADD_FAILURE() << "group " << 4 + g << ": ours " << std::hex << hid.group[4 + g]
                      << ", ipv6calc " << lines[i];
        mismatches++;
        break;
      }
    }
  }
}

// The four forms of a MAC address as a pattern of groups: the length of
// the address when t begins with one that white space or the end follows,
// else 0. (std::regex would say it shorter, but g++ 12 warns inside it in
// sanitizer builds.)
size_t wellformed_mac(const std::string& t) {
  // Each form: the separator, how many groups, the fewest and most digits
  // of a group.
  struct Form {
    char sep;
    int groups, least, most;
  };
  static const Form forms[] = {{':', 6, 1, 2}, {'-', 6, 1, 2}, {'.', 3, 4, 4}, {'\0', 1, 12, 12}};
  for (const Form& f : forms) {
    size_t i = 0;
    bool ok = true;
    for (int g = 0; g < f.groups && ok; g++) {
      if (g > 0) ok = i < t.size() && t[i++] == f.sep;
      int digits = 0;
      while (ok && i < t.size() && isxdigit((unsigned char)t[i]) && digits < f.most) {
        i++;
        digits++;
      }
      ok = ok && digits >= f.least;
    }
    bool ends = i == t.size() || (t[i] != '\0' && strchr(" \t\n\v\f\r", t[i]) != nullptr);
    if (ok && ends) return i;
  }
  return 0;
}

// ethfromstr reads exactly the texts of the pattern, with the values that
// sscanf's "%2x" conversions give them, and refuses every other. Generated
// texts: well-formed addresses of the four forms with one character changed
// or with more groups and other separators after them, and random strings
// from an alphabet of hex digits, separators, white space, signs, the x of
// "0x" and bytes of no class.
TEST(HostIdScan, MacReadingTakesExactlyTheFourForms) {
  std::vector<std::string> texts = {
      "", "0", "00:11:22:33:44:55", "0:1:2:3:4:5", "001122334455", "0011.2233.4455",
      "00-11-22-33-44-55", "00:11:22:33:44: 55", "001122 334455", "0x:11:22:33:44:55",
      "00:0x:22:33:44:55", "0X1122334455", "+1:2:3:4:5:6", "-1-2-3-4-5-6", "00:11:22:33:44",
      "00:11-22:33:44:55", "0:0:0:0:1:2:3:4", "001:122:33:44:55:66", "00:11:22:33:44:55;",
      "00:11:22:33:44:\t+5", "00:11:22:33:44:\n55", "aabbccddeeff ", "AA:BB:CC:DD:EE:FF",
      "1.2.3", "::1", "0011.2233.445", "00112233445", "0011223344556677", "0:0:0:0:0: 0x",
  };
  std::mt19937_64 rng(99);
  const std::string forms[] = {"0a:1b:2e:3d:4e:5f", "0a-1b-2e-3d-4e-5f", "0a1b.2e3d.4e5f",
                               "0a1b2e3d4e5f"};
  const char alphabet[] = "0123456789abcdefABCDEF:-.:-. \t\n+-xXgG_\x80\xff";
  for (int n = 0; n < 40000; n++) {
    std::string t = forms[rng() % 4];
    t[rng() % t.size()] = alphabet[rng() % (sizeof alphabet - 1)];
    if (rng() % 3 == 0) t.insert(rng() % t.size(), 1, alphabet[rng() % (sizeof alphabet - 1)]);
    texts.push_back(t);
    std::string longer = forms[rng() % 4];
    for (size_t len = rng() % 8; len > 0; len--) longer += "0123456789abcdef:-."[rng() % 19];
    texts.push_back(longer);
    std::string r;
    for (size_t len = rng() % 24; len > 0; len--) r += alphabet[rng() % (sizeof alphabet - 1)];
    texts.push_back(r);
  }
  for (const std::string& t : texts) {
    SCOPED_TRACE("text '" + t + "'");
    eth_t fast;
    eth_t ref;
    memset(&fast, 0x5a, sizeof fast);
    memset(&ref, 0x5a, sizeof ref);
    int nf = ethfromstr(&fast, t.c_str());
    size_t want = wellformed_mac(t);
    ASSERT_EQ(nf, int(want));
    ASSERT_EQ(fast.isset, want > 0 ? 1 : 0);
    if (want > 0) {
      ASSERT_GT(ethfromstr_reference(&ref, t.c_str()), 0);
      ASSERT_EQ(0, memcmp(fast.octet, ref.octet, sizeof ref.octet));
      ASSERT_EQ(fast.delim, ref.delim);
    }
  }
}

// Every short text around the fixed part of each form, over an alphabet of
// the characters that steered the "%2x" conversions of old (sign, 0x,
// white space, width): the reading takes exactly the texts of the pattern.
TEST(HostIdScan, EveryShortTextAroundEachFormIsReadOnlyInItsForm) {
  const char alphabet[] = "05fxX+- \t:.";
  const size_t letters = sizeof alphabet - 1;
  struct Form {
    const char* head;
    const char* tail;
  } forms[] = {{"00:11:22:33:44:", ""}, {"00-11-22-33-44-", ""}, {"0011.2233.44", ""},
               {"0011223344", ""},      {"", ":11:22:33:44:55"}, {"", "-11-22-33-44-55"},
               {"", "11.2233.4455"},    {"", "1122334455"}};
  for (const Form& form : forms) {
    for (size_t len = 0; len <= 4; len++) {
      size_t count = 1;
      for (size_t i = 0; i < len; i++) count *= letters;
      for (size_t n = 0; n < count; n++) {
        std::string middle;
        for (size_t k = 0, rest = n; k < len; k++, rest /= letters) middle += alphabet[rest % letters];
        const std::string t = form.head + middle + form.tail;
        eth_t fast{};
        eth_t ref{};
        const int nf = ethfromstr(&fast, t.c_str());
        const int want = int(wellformed_mac(t));
        if (nf != want || fast.isset != (want > 0) ||
            (want > 0 && (ethfromstr_reference(&ref, t.c_str()) <= 0 ||
                          memcmp(fast.octet, ref.octet, sizeof ref.octet) != 0))) {
          ADD_FAILURE() << "text '" << t << "': " << nf << " against " << want;
          return;
        }
      }
    }
  }
}

// The class table against the C library's classification in the C locale
// (the programs never change the locale), byte by byte.
TEST(HostIdScan, CharacterClassesAreThoseOfThePosixLocale) {
  for (int c = 0; c < 256; c++) {
    SCOPED_TRACE("byte " + std::to_string(c));
    const unsigned char u = (unsigned char)c;
    EXPECT_EQ(cc_in(u, CC_ALPHA), isalpha(c) != 0);
    EXPECT_EQ(cc_in(u, CC_DIGIT), isdigit(c) != 0);
    EXPECT_EQ(cc_in(u, CC_XDIGIT), isxdigit(c) != 0);
    EXPECT_EQ(cc_in(u, CC_SPACE), isspace(c) != 0);
    EXPECT_EQ(cc_in(u, CC_NAME), isalnum(c) || c == '-' || c == '.' || c == '_');
    EXPECT_EQ(cc_in(u, CC_MACSEP), c == '-' || c == '.' || c == ':');
    int value = isxdigit(c) ? (int)strtol(std::string(1, char(c)).c_str(), nullptr, 16) : -1;
    EXPECT_EQ(hexvalues[u], value);
  }
}

}  // namespace
