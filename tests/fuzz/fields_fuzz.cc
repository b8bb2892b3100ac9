// The field and line parsers of host files on any text: TTLs, host names,
// host IDs, MAC addresses, subnet IDs, the check of names, subnet lines and
// scope lines. Each
// line of the input goes to every parser in turn, so the subnet and scope
// tables fill up and reach their limits. A count a parser returns must stay
// inside the text; the end of a run must be one of tavrix's statuses.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver.h"
#include "fields.h"
#include "fuzzseam.h"
#include "hostid.h"
#include "ip6.h"
#include "names.h"
#include "scope.h"
#include "settings.h"
#include "subnet.h"

namespace {

const char* current;

void check_count(const char* what, int n, const char* text) {
  if (n > 0 && static_cast<size_t>(n) > strlen(text)) {
    fprintf(stderr, "%s: count %d runs past \"%s\"\n", what, n, text);
    abort();
  }
}

template <class F>
void guarded(F&& f) {
  try {
    f();
  } catch (const fuzz_exit& e) {
    fuzz_check_status(e.status);
  }
}

void each_parser(const char* line, int delim) {
  current = line;
  guarded([&] {
    uint64_t ttl;
    check_count("ttlfromstr", ttlfromstr(line, &ttl), line);
    char buf[11];
    ttltostr(buf, sizeof buf, ttl);
  });
  host_t host;
  check_count("hostfromstr", hostfromstr(&host, line), line);
  // The check made while reading a host name is the check of the name read
  // (an empty name, no name at all, is checked by no one).
  namecheck_t check = name_check(host.name, false);
  if (host.namelen != strlen(host.name) ||
      (host.namelen > 0 &&
       (check.fault != host.check.fault || check.hostname != host.check.hostname))) {
    fprintf(stderr, "hostfromstr: check differs from name_check: \"%s\"\n", line);
    abort();
  }
  name_check(line, true);
  ip6_t hid;
  const int n = hostidfromstr(&hid, line);
  check_count("hostidfromstr", n, line);
  if (n > 0 && !ip6isset(&hid)) {
    fprintf(stderr, "hostidfromstr: count %d, host ID unset: \"%s\"\n", n, line);
    abort();
  }
  eth_t eth;
  check_count("ethfromstr", ethfromstr(&eth, line), line);
  if (ethisset(&eth)) {
    char text[32];
    ethtostr(text, sizeof text, &eth);
    eth_t back;
    if (ethfromstr(&back, text) <= 0 || memcmp(back.octet, eth.octet, sizeof eth.octet) != 0) {
      fprintf(stderr, "ethtostr \"%s\" does not read back: \"%s\"\n", text, line);
      abort();
    }
  }
  guarded([&] {
    ip6_t sid;
    check_count("subnetfromstr", subnetfromstr(&sid, line), line);
  });
  guarded([&] { parsesubnetline(line, delim); });
  guarded([&] { parsescopeline(line, delim); });
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_start_quiet();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  tavrix_reset();
  progname = "tavrix";
  ip6_t prefix;
  ip6fromstr(&prefix, "2001:db8::/32");
  prfxput(&prefix, 0);
  ip6fromstr(&prefix, "2001:db8:1::/48");
  prfxput(&prefix, 0);

  const int delim = data[0] < 0x80 ? data[0] : 0;
  fuzz_text in(data + 1, size - 1);
  char* line = in.str;
  for (int i = 0; i < 200 && line != nullptr; i++) {
    char* next = strchr(line, '\n');
    if (next != nullptr) *next++ = '\0';
    each_parser(line, delim);
    line = next;
  }
  return 0;
}
