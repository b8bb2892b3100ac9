#include "records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "driver.h"
#include "hostfile.h"
#include "oracles.h"
#include "settings.h"

namespace {

// The hand-made line printers against their printf references, on many
// generated records: every TTL width, names of 0 to 300 characters, all
// three squeeze modes, every -b from 0 to 128, subnet numbers of every size.
class LinePrinters : public testing::Test {
 protected:
  void SetUp() override { tavrix_reset(); }
  void TearDown() override { tavrix_reset(); }

  std::mt19937_64 rng{20240611};

  std::string text(size_t len) {
    static const char chars[] = "abcdefghijklmnopqrstuvwxyz0123456789-._";
    std::string t;
    for (size_t i = 0; i < len; i++) t += chars[rng() % (sizeof chars - 1)];
    return t;
  }

  ip6_t address() {
    ip6_t ip{};
    for (auto& g : ip.group) {
      // Zero groups often, so that runs of them are squeezed.
      g = rng() % 3 == 0 ? 0 : uint16_t(rng() >> (rng() % 16));
    }
    ip.ebit = rng() % 4 == 0 ? uint16_t(rng() % 129) : 128;
    ip.isset = 1;
    return ip;
  }

  std::string addrtext(const ip6_t& ip, int squeeze) {
    char buf[128];
    ip6tostr(buf, sizeof buf, &ip);
    if (squeeze >= 1) ip6squeeze(buf, nullptr, squeeze >= 2);
    return buf;
  }

  // 0 and, for every width of 1 to 20 digits, its smallest and largest TTL.
  static std::vector<uint64_t> ttls() {
    std::vector<uint64_t> v = {0};
    uint64_t low = 1;
    for (int w = 1; w <= 20; w++) {
      v.push_back(low);
      v.push_back(w == 20 ? UINT64_MAX : low * 10 - 1);
      if (w < 20) low *= 10;
    }
    return v;
  }

  template <class F>
  static std::string written(F&& f) {
    char* data = nullptr;
    size_t size = 0;
    FILE* fp = open_memstream(&data, &size);
    f(fp);
    fclose(fp);
    std::string out(data, size);
    free(data);
    return out;
  }
};

TEST_F(LinePrinters, ForwardLinesMatchTheReference) {
  for (size_t namelen = 0; namelen <= 300; namelen++) {
    std::string name = text(namelen);
    for (uint64_t ttl : ttls()) {
      std::string addr = addrtext(address(), int(rng() % 3));
      SCOPED_TRACE("name of " + std::to_string(namelen) + ", ttl " + std::to_string(ttl) +
                   ", " + addr);
      EXPECT_EQ(written([&](FILE* fp) { print_forward(fp, name.c_str(), ttl, addr.c_str()); }),
                written([&](FILE* fp) {
                  print_forward_reference(fp, name.c_str(), ttl, addr.c_str());
                }));
    }
  }
}

TEST_F(LinePrinters, ReverseLinesMatchTheReference) {
  std::vector<uint64_t> all_ttls = ttls();
  for (int bits = 0; bits <= 128; bits++) {
    settings.bits = bits;
    for (int n = 0; n < 40; n++) {
      ip6_t ip = address();
      ip.ebit = 128;
      std::string name = text(rng() % 301);
      std::string origin = text(rng() % 301) + ".";
      uint64_t ttl = all_ttls[rng() % all_ttls.size()];
      unsigned long subnet = n % 4 == 0 ? 0 : (unsigned long)(rng() >> (rng() % 64));
      int split = bits / 4;
      SCOPED_TRACE("bits " + std::to_string(bits) + ", name of " +
                   std::to_string(name.size()) + ", origin of " +
                   std::to_string(origin.size()) + ", ttl " + std::to_string(ttl) +
                   ", subnet " + std::to_string(subnet));
      EXPECT_EQ(written([&](FILE* fp) {
                  print_rev_dns(fp, &ip, split, ttl, name.c_str(), origin.c_str(), subnet);
                }),
                written([&](FILE* fp) {
                  print_rev_dns_reference(fp, &ip, split, ttl, name.c_str(), origin.c_str(),
                                          subnet);
                }));
    }
  }
}

TEST_F(LinePrinters, UpdateLinesMatchTheReference) {
  for (size_t ownerlen = 0; ownerlen <= 300; ownerlen++) {
    std::string owner = text(ownerlen);
    for (uint64_t ttl : ttls()) {
      for (int type : {int(GEN_UPDATE_ADD), int(GEN_UPDATE_DEL)}) {
        std::string addr = addrtext(address(), 2);
        for (const char* a : {addr.c_str(), static_cast<const char*>(nullptr)}) {
          SCOPED_TRACE("owner of " + std::to_string(ownerlen) + ", ttl " +
                       std::to_string(ttl) + ", type " + std::to_string(type) +
                       (a ? ", " + addr : ", no address"));
          char fast[1024];
          char ref[1024];
          int nf = format_update(fast, sizeof fast, type, owner.c_str(), ttl, a);
          int nr = format_update_reference(ref, sizeof ref, type, owner.c_str(), ttl, a);
          EXPECT_EQ(nf, nr);
          EXPECT_STREQ(fast, ref);
        }
      }
    }
  }
}

TEST_F(LinePrinters, FileNamesMatchTheReference) {
  std::vector<std::string> views = {"", "none", "*", "internal"};
  for (size_t len : {15u, 100u, 240u, 250u, 260u}) views.push_back(text(len));
  for (size_t v = 0; v <= views.size(); v++) {
    const char* view = v < views.size() ? views[v].c_str() : nullptr;
    for (size_t domainlen : {0u, 1u, 12u, 200u, 240u, 248u, 249u, 250u, 251u, 300u}) {
      std::string domain = text(domainlen);
      SCOPED_TRACE(std::string("view ") + (view ? view : "(none)") + ", domain of " +
                   std::to_string(domainlen));
      char fast[255];
      char ref[255];
      int nf = format_fwd_fname(fast, sizeof fast, view, domain.c_str());
      EXPECT_EQ(nf, format_fwd_fname_reference(ref, sizeof ref, view, domain.c_str()));
      EXPECT_STREQ(fast, ref);
    }
    for (int width = 0; width <= 33; width++) {
      for (int n = 0; n < 8; n++) {
        unsigned long subnet = n == 0 ? 0 : (unsigned long)(rng() >> (rng() % 64));
        SCOPED_TRACE(std::string("view ") + (view ? view : "(none)") + ", width " +
                     std::to_string(width) + ", subnet " + std::to_string(subnet));
        char fast[255];
        char ref[255];
        int nf = format_rev_fname(fast, sizeof fast, view, width, subnet);
        EXPECT_EQ(nf, format_rev_fname_reference(ref, sizeof ref, view, width, subnet));
        EXPECT_STREQ(fast, ref);
      }
    }
  }
}

// The -R line against its printf form: every -b, host names with and
// without their final dot, of 0 to 300 characters.
TEST_F(LinePrinters, PtrLinesMatchTheReference) {
  for (int bits = 0; bits <= 128; bits++) {
    for (int n = 0; n < 20; n++) {
      ip6_t ip = address();
      ip.ebit = 128;
      std::string host = text(rng() % 301) + (n % 2 == 0 ? "." : "");
      char numeric[128];
      ip6tosqueezedstr(numeric, sizeof numeric, &ip, 1);
      SCOPED_TRACE("bits " + std::to_string(bits) + ", host of " +
                   std::to_string(host.size()) + ", " + numeric);
      EXPECT_EQ(written([&](FILE* fp) { print_ptr(fp, &ip, bits, host.c_str(), numeric); }),
                written([&](FILE* fp) {
                  print_ptr_reference(fp, &ip, bits, host.c_str(), numeric);
                }));
    }
  }
}

// The ip6.arpa. names of update mode: the PTR owner (all 32 nibbles) and
// the reverse zone of a split; and the PTR update lines, with the
// separators of the AAAA update lines.
TEST(UpdateNames, ArpaNamesAndPtrUpdateLines) {
  ip6_t ip{};
  ASSERT_GT(ip6fromstr(&ip, "2001:db8:0:1:211:22ff:fe33:4455"), 0);
  struct row {
    int count;
    const char* name;
  } rows[] = {
      {32, "5.5.4.4.3.3.e.f.f.f.2.2.1.1.2.0.1.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa."},
      {16, "1.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa."},
      {12, "0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa."},
      {1, "2.ip6.arpa."},
      {0, "ip6.arpa."},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.count);
    char buf[ARPA_NAME_MAX];
    EXPECT_STREQ(format_arpa_name(buf, &ip, r.count), r.name);
  }
  char line[UPDATE_LINE_MAX + 1];
  int n = format_ptr_update(line, sizeof line, GEN_PTR_ADD, "o.ip6.arpa.", 3600, "www.example.");
  EXPECT_STREQ(line, "update add o.ip6.arpa. \t3600\tIN PTR www.example.\n");
  EXPECT_EQ(n, int(strlen(line)));
  n = format_ptr_update(line, sizeof line, GEN_PTR_DEL, "o.ip6.arpa.", 3600, "www.example.");
  EXPECT_STREQ(line, "update del o.ip6.arpa. \t\tIN PTR www.example.\n");
  EXPECT_EQ(n, int(strlen(line)));
}

// Buffers too small for the text: the line and the file names are cut and
// terminated as snprintf cuts them, and the whole length is returned.
TEST_F(LinePrinters, SmallBuffersAreCutAsSnprintfCutsThem) {
  std::string owner = text(255);
  std::string addr = addrtext(address(), 2);
  std::string view = text(20);
  std::string domain = text(60);
  for (size_t size = 0; size <= UPDATE_LINE_MAX + 1; size++) {
    SCOPED_TRACE("size " + std::to_string(size));
    std::string fast(UPDATE_LINE_MAX + 8, '#');
    std::string ref(UPDATE_LINE_MAX + 8, '#');
    for (int type : {int(GEN_UPDATE_ADD), int(GEN_UPDATE_DEL)}) {
      EXPECT_EQ(format_update(fast.data(), size, type, owner.c_str(), UINT64_MAX, addr.c_str()),
                format_update_reference(ref.data(), size, type, owner.c_str(), UINT64_MAX,
                                        addr.c_str()));
      EXPECT_EQ(fast, ref);
    }
    EXPECT_EQ(format_fwd_fname(fast.data(), size, view.c_str(), domain.c_str()),
              format_fwd_fname_reference(ref.data(), size, view.c_str(), domain.c_str()));
    EXPECT_EQ(fast, ref);
    EXPECT_EQ(format_rev_fname(fast.data(), size, view.c_str(), 20, 0xabcdefUL),
              format_rev_fname_reference(ref.data(), size, view.c_str(), 20, 0xabcdefUL));
    EXPECT_EQ(fast, ref);
  }
}

}  // namespace
