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

// The six values of a MAC address text as sscanf reads them with the
// format of its separator (below), in the case that needs none of the
// finer points of "%2x": every value starts with a hex digit that is not
// the 0 of a "0x", and every separator is where the format has it. Any
// other text (white space, a sign, a "0x", a mismatch) returns false and
// is left to sscanf. Sparing the sscanf call halves the cost of a host line.
static bool scan_octets_plain(const char* str, int sep, unsigned v[6]) {
  const char* p = str;
  for (int i = 0; i < 6; i++) {
    bool withsep = sep == '.' ? (i == 2 || i == 4) : (sep != 0 && i > 0);
    if (withsep && *p++ != sep) return false;
    if (!is_xdigit((unsigned char)p[0])) return false;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return false;
    unsigned value = hexdigitvalue((unsigned char)*p++);
    if (is_xdigit((unsigned char)*p)) value = value * 16 + hexdigitvalue((unsigned char)*p++);
    v[i] = value;
  }
  return true;
}

// The six values as sscanf reads them with the format of the separator.
static bool scan_octets(const char* str, int sep, unsigned v[6]) {
  // "%2x" skips white space before its digits, so the six values may reach
  // beyond the stretch scanned by the caller; sscanf stops at the NUL in
  // any case.
  const char* fmt;
  switch (sep) {
    case '-': fmt = "%2x-%2x-%2x-%2x-%2x-%2x"; break;
    case '.': fmt = "%2x%2x.%2x%2x.%2x%2x"; break;
    case ':': fmt = "%2x:%2x:%2x:%2x:%2x:%2x"; break;
    default: fmt = "%2x%2x%2x%2x%2x%2x"; break;
  }
  return sscanf(str, fmt, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) == 6;
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
  if (!scan_octets_plain(str, sep, v) && !scan_octets(str, sep, v)) return 0;
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
