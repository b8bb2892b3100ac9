#include "hostid.h"

#include <cstring>

#include "charclass.h"
#include "misc.h"
#include "subnet.h"

static inline unsigned hexdigitvalue(unsigned char c) { return unsigned(hexvalues[c]); }

int hostfromstr(host_t* h, const char* str) {
  TX_ASSERT(h != NULL);
  h->isset = 0;
  h->name[0] = '\0';
  h->ttl = 0;
  if (str == nullptr) return 0;

  h->isset = 1;
  int c = (unsigned char)str[0];
  if (!is_alpha(c) && c != '_') return 0;

  int n = 0;
  while (n < (int)sizeof h->name - 1 && is_namechar((unsigned char)str[n])) {
    h->name[n] = str[n];
    n++;
  }
  h->name[n] = '\0';
  return n;
}

int hostisset(const host_t* h) { return h != nullptr && h->isset != 0; }

int hosttostr(char* str, size_t size, const host_t* h) {
  TX_ASSERT(h != NULL);
  TX_ASSERT(str != NULL);
  if (!h->isset) return 0;
  snprintf(str, size, "%s", h->name);
  return (int)strlen(h->name);
}

int hostidfromstr(ip6_t* hid, const char* str) {
  TX_ASSERT(hid != NULL);
  hid->isset = 0;
  if (str == nullptr) return 0;

  if (str[0] == ':' && str[1] == ':') {
    int n = ip6fromstr(hid, str);
    if (n < 0) errmsg("hostidfromstr(): No hostid found near \"%.10s ...\"\n", str);
    return n;
  }

  eth_t eth;
  int n = ethfromstr(&eth, str);
  if (n < 1) errmsg("hostidfromstr(): No mac address found near \"%.10s ...\"\n", str);
  eth2ip6(hid, &eth);
  return n;
}

// One "%2x" conversion as the C library's scanf makes it, which is what
// host files have always been read with: white space skipped, then at most
// two characters of an optional sign, a "0x" whose x counts against the
// width but is no digit, and hex digits. A lone sign or nothing is no
// number; a minus gives the value's two's complement, as strtoul does.
// Returns where the conversion ended, or null when it failed.
static const char* scan_hex2(const char* p, unsigned* value) {
  // Two hex digits, by far the most common case, need none of the rest.
  if (is_xdigit((unsigned char)p[0]) && is_xdigit((unsigned char)p[1])) {
    *value = hexdigitvalue((unsigned char)p[0]) * 16 + hexdigitvalue((unsigned char)p[1]);
    return p + 2;
  }
  while (is_space((unsigned char)*p)) p++;
  const char* end = p + 2;
  bool negative = *p == '-';
  if (negative || *p == '+') p++;
  const char* first = p;
  if (p < end && *p == '0' && p + 1 < end && (p[1] == 'x' || p[1] == 'X')) p += 2;
  unsigned v = 0;
  for (; p < end && is_xdigit((unsigned char)*p); p++) v = v * 16 + hexdigitvalue((unsigned char)*p);
  if (p == first) return nullptr;
  *value = negative ? 0u - v : v;
  return p;
}

// The six values of a MAC address text read as "%2x" conversions with the
// separator between them where its form has one: after every value with
// ':' or '-', after the second and fourth with '.'. The values may reach
// beyond the stretch scanned by the caller, over white space, as scanf's
// would.
static bool scan_octets(const char* str, int sep, unsigned v[6]) {
  const char* p = str;
  for (int i = 0; i < 6 && p != nullptr; i++) {
    bool withsep = sep == '.' ? (i == 2 || i == 4) : (sep != 0 && i > 0);
    if (withsep && *p++ != sep) return false;
    p = scan_hex2(p, &v[i]);
  }
  return p != nullptr;
}

static void ethset(eth_t* e, const unsigned v[6], int sep) {
  for (int i = 0; i < 6; i++) e->octet[i] = (uint8_t)v[i];
  e->delim = sep;
  e->isset = 1;
}

int ethfromstr(eth_t* e, const char* str) {
  TX_ASSERT(e != NULL);
  TX_ASSERT(str != NULL);
  e->isset = 0;

  // The stretch of hex digits and separators, its separator (the first
  // one), and where the first of the other two separators stands in it:
  // the count that a success returns ends there.
  int sep = 0;
  size_t end = 0;
  size_t count = 0;
  bool other = false;
  for (;; end++) {
    unsigned char c = (unsigned char)str[end];
    if (!cc_in(c, CC_XDIGIT | CC_MACSEP)) break;
    if (cc_in(c, CC_MACSEP) && c != sep) {
      if (sep == 0) {
        sep = c;
      } else if (!other) {
        other = true;
        count = end;
      }
    }
  }
  if (!other) count = end;
  if (end == 0) return 0;
  if (str[end] != '\0' && !is_space((unsigned char)str[end])) return 0;

  unsigned v[6];
  if (!scan_octets(str, sep, v)) return 0;
  ethset(e, v, sep);
  return int(count);
}

int eth2ip6(ip6_t* hid, const eth_t* e) {
  if (!ethisset(e)) return 0;
  TX_ASSERT(hid != NULL);
  ip6copy(hid, nullptr);
  // The accessors below require a set record.
  hid->isset = 1;
  ip6setshort(hid, 4, ((e->octet[0] ^ 0x02) << 8) | e->octet[1]);
  ip6setshort(hid, 5, (e->octet[2] << 8) | 0xff);
  ip6setshort(hid, 6, (0xfe << 8) | e->octet[3]);
  ip6setshort(hid, 7, (e->octet[4] << 8) | e->octet[5]);
  ip6setsbit(hid, 64);
  ip6setebit(hid, 128);
  return 1;
}

int ethisset(const eth_t* e) { return e != nullptr && e->isset != 0; }

int ethtostr(char* str, size_t size, const eth_t* eth) {
  TX_ASSERT(eth != NULL);
  return ethtostr2(str, size, eth->delim, eth);
}

int ethtostr2(char* str, size_t size, int sep, const eth_t* eth) {
  TX_ASSERT(eth != NULL);
  TX_ASSERT(str != NULL);
  TX_ASSERT(size >= 14 + 1);
  size_t need = (sep == ':' || sep == '-') ? 18 : 15;
  if (size < need) return -1;

  const char septext[2] = {(char)sep, '\0'};
  str[0] = '\0';
  size_t pos = 0;  // where the (possibly cut) text ends
  int total = 0;
  for (int i = 0; i < 6; i++) {
    bool withsep = i > 0 && (sep == '.' ? (i == 2 || i == 4) : true);
    int n = snprintf(str + pos, size - pos, "%s%02x", withsep ? septext : "", eth->octet[i]);
    if (n < 0) return -1;
    total += n;
    pos = strlen(str);
  }
  return total;
}

int ethput(const eth_t* e, int sep, FILE* fp) {
  if (!ethisset(e)) return 0;
  if (fp == nullptr) fp = stdout;
  if (sep == 0) sep = e->delim;

  const char septext[2] = {(char)sep, '\0'};
  int total = 0;
  if (sep == '.') {
    for (int i = 0; i < 6; i += 2) {
      int n = fprintf(fp, "%s%02X%02X", i > 0 ? "." : "", e->octet[i], e->octet[i + 1]);
      if (n < 0) return -1;
      total += n;
    }
  } else {
    for (int i = 0; i < 6; i++) {
      int n = fprintf(fp, "%s%02X", i > 0 ? septext : "", e->octet[i]);
      if (n < 0) return -1;
      total += n;
    }
  }
  return total;
}

int subnetfromstr(ip6_t* sid, const char* str) {
  TX_ASSERT(sid != NULL);
  sid->isset = 0;
  if (str == nullptr) return 0;

  if (str[0] == ':') {
    int n = ip6fromstr(sid, str);
    if (n < 0) errmsg("subnetfromstr(): No subnetid found\n");
    return n;
  }

  char name[32];
  int n = 0;
  while (n < (int)sizeof name - 1 && is_namechar((unsigned char)str[n])) {
    name[n] = str[n];
    n++;
  }
  name[n] = '\0';

  const ip6_t* stored = subnetlookup(name);
  if (stored == nullptr) errexit("No subnet \"%s\" found\n", name);
  ip6copy(sid, stored);
  return n;
}
