// ip6fromstr on any text, with the properties the rest of tavrix relies on:
// a positive count stays inside the text and leaves a set record, a failure
// leaves the record unset and otherwise untouched, printing and reading back
// gives the same record, and the squeezed forms of a full address are
// addresses inet_pton reads as the same 128 bits.
#include <arpa/inet.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzzseam.h"
#include "ip6.h"

namespace {

[[noreturn]] void fail(const char* what, const char* text) {
  fprintf(stderr, "%s: \"%s\"\n", what, text);
  abort();
}

// The groups the printed form shows, with the range, must survive.
bool same_printed(const ip6_t& a, const ip6_t& b) {
  if (a.sbit != b.sbit || a.ebit != b.ebit || a.isset != b.isset) return false;
  int first = a.sbit / 16;
  int last = a.sbit == 0 || a.ebit == 128 ? 8 : a.ebit / 16;
  for (int i = first; i < last; i++)
    if (a.group[i] != b.group[i]) return false;
  return true;
}

void check_squeezed(const ip6_t& ip, const char* full, int how) {
  char text[64];
  snprintf(text, sizeof text, "%s", full);
  ip6squeeze(text, nullptr, how);
  unsigned char bytes[16];
  if (inet_pton(AF_INET6, text, bytes) != 1) fail("squeezed form not an address", text);
  for (int i = 0; i < 8; i++)
    if (bytes[2 * i] != ip.group[i] >> 8 || bytes[2 * i + 1] != (ip.group[i] & 0xff))
      fail("squeezed form reads back as another address", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_text in(data, size);
  const size_t len = strlen(in.str);

  ip6_t ip;
  memset(&ip, 0xa5, sizeof ip);
  ip.isset = 1;
  const ip6_t before = ip;
  const int n = ip6fromstr(&ip, in.str);
  if (n > 0) {
    if (static_cast<size_t>(n) > len) fail("count runs past the text", in.str);
    if (!ip6isset(&ip)) fail("positive count, record unset", in.str);
  } else {
    if (n != -1 && n != -2 && n != -3) fail("unknown failure code", in.str);
    if (ip.isset != 0) fail("failure left the record set", in.str);
    if (memcmp(ip.group, before.group, sizeof ip.group) != 0 || ip.sbit != before.sbit ||
        ip.ebit != before.ebit)
      fail("failure changed the record", in.str);
    return 0;
  }
  if (ip.sbit > 128 || ip.ebit > 128) fail("range beyond 128 bits", in.str);

  char printed[44];
  ip6tostr(printed, sizeof printed, &ip);
  ip6_t back;
  memset(&back, 0, sizeof back);
  const int m = ip6fromstr(&back, printed);
  if (m != static_cast<int>(strlen(printed))) fail("printed form not read back whole", printed);
  if (!same_printed(ip, back)) fail("printed form reads back as another record", printed);

  if (ip.sbit == 0 && ip.ebit == 128) {
    check_squeezed(ip, printed, 0);
    check_squeezed(ip, printed, 1);
  }
  return 0;
}
