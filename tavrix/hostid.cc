#include "hostid.h"

#include <cstring>

#include "charclass.h"
#include "diag.h"
#include "subnet.h"

static inline unsigned hexdigitvalue(unsigned char c) { return unsigned(hexvalues[c]); }

int hostfromstr(host_t* h, const char* str) {
  TX_ASSERT(h != NULL);
  h->isset = 0;
  h->name[0] = '\0';
  h->ttl = 0;
  h->namelen = 0;
  h->check = namecheck_t{namefault_t::none, true};
  if (str == nullptr) return 0;

  h->isset = 1;
  int c = (unsigned char)str[0];
  if (!is_alpha(c) && c != '_') return 0;

  size_t n = name_read(str, h->name, sizeof h->name - 1, &h->check);
  h->name[n] = '\0';
  h->namelen = n;
  return int(n);
}

int hostisset(const host_t* h) { return h != nullptr && h->isset != 0; }

int hosttostr(char* str, size_t size, const host_t* h) {
  TX_ASSERT(h != NULL);
  TX_ASSERT(str != NULL);
  if (!h->isset) return 0;
  snprintf(str, size, "%s", h->name);
  return (int)strlen(h->name);
}

// Whether c may follow a number field read by hand here: nothing that
// would carry on a name or an address text (a digit, a letter, - . _ : /).
static bool endsfield(unsigned char c) { return !is_namechar(c) && c != ':' && c != '/'; }

// Reads 1 to 4 hex digits at p into *value; returns how many, 0 when there
// is none or a fifth follows.
static int hex16(const char* p, unsigned* value) {
  unsigned v = 0;
  int n = 0;
  for (; is_xdigit((unsigned char)p[n]); n++) {
    if (n == 4) return 0;
    v = v * 16 + hexdigitvalue((unsigned char)p[n]);
  }
  *value = v;
  return n;
}

// The interface identifier after "::": at most four groups of 1 to 4 hex
// digits, the 64 bits of the host part, ending the number. Returns the
// characters read, 0 when the text is none.
static int ifidfromstr(ip6_t* hid, const char* str) {
  unsigned v[4];
  int groups = 0;
  const char* p = str + 2;
  if (is_xdigit((unsigned char)*p)) {
    for (;;) {
      int n = hex16(p, &v[groups]);
      if (n == 0) return 0;
      p += n;
      groups++;
      if (*p != ':') break;
      if (groups == 4) return 0;
      p++;
    }
  }
  if (!endsfield((unsigned char)*p)) return 0;
  ip6copy(hid, nullptr);
  for (int g = 0; g < groups; g++) hid->group[8 - groups + g] = uint16_t(v[g]);
  hid->sbit = 64;
  hid->ebit = 128;
  hid->isset = 1;
  return int(p - str);
}

int hostidfromstr(ip6_t* hid, const char* str) {
  TX_ASSERT(hid != NULL);
  hid->isset = 0;
  if (str == nullptr) return 0;

  if (str[0] == ':' && str[1] == ':') {
    int n = ifidfromstr(hid, str);
    if (n == 0) errmsg("hostidfromstr(): No hostid found near \"%.10s ...\"\n", str);
    return n;
  }

  eth_t eth;
  int n = ethfromstr(&eth, str);
  if (n < 1) errmsg("hostidfromstr(): No mac address found near \"%.10s ...\"\n", str);
  eth2ip6(hid, &eth);
  return n;
}

// Reads groups of hex digits separated by sep into v, each of min to max
// digits; returns the characters read, 0 unless exactly count groups came.
static int macgroups(const char* str, int sep, int count, int min, int max, unsigned v[6]) {
  const char* p = str;
  int k = 0;  // values filled
  for (int g = 0; g < count; g++) {
    if (g > 0 && sep != 0 && *p++ != sep) return 0;
    int n = 0;
    unsigned value = 0;
    while (is_xdigit((unsigned char)p[n]) && n < max)
      value = value * 16 + hexdigitvalue((unsigned char)p[n++]);
    if (n < min) return 0;
    // Groups of four digits hold two octets.
    if (max == 4) {
      v[k++] = value >> 8;
      v[k++] = value & 0xff;
    } else {
      v[k++] = value;
    }
    p += n;
  }
  return int(p - str);
}

int ethfromstr(eth_t* e, const char* str) {
  TX_ASSERT(e != NULL);
  TX_ASSERT(str != NULL);
  e->isset = 0;

  // Six octets in one of the four forms: groups of one or two digits
  // between ':' or '-', three groups of four between '.', or twelve digits.
  size_t end = 0;
  while (is_xdigit((unsigned char)str[end])) end++;
  int sep = cc_in((unsigned char)str[end], CC_MACSEP) ? (unsigned char)str[end] : 0;
  unsigned v[6];
  int n;
  if (sep == ':' || sep == '-')
    n = macgroups(str, sep, 6, 1, 2, v);
  else if (sep == '.')
    n = macgroups(str, sep, 3, 4, 4, v);
  else
    n = end == 12 ? macgroups(str, 0, 6, 2, 2, v) : 0;
  if (n == 0) return 0;
  if (str[n] != '\0' && !is_space((unsigned char)str[n])) return 0;

  for (int i = 0; i < 6; i++) e->octet[i] = (uint8_t)v[i];
  e->delim = sep;
  e->isset = 1;
  return n;
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
    int n = subnetidfromstr(sid, str);
    if (n == 0) errmsg("subnetfromstr(): No subnetid found\n");
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

int subnetidfromstr(ip6_t* sid, const char* str) {
  TX_ASSERT(sid != NULL);
  TX_ASSERT(str != NULL);
  sid->isset = 0;
  unsigned v;
  int n = str[0] == ':' ? hex16(str + 1, &v) : 0;
  if (n == 0 || str[n + 1] != ':') return 0;
  if (!endsfield((unsigned char)str[n + 2])) return 0;
  ip6copy(sid, nullptr);
  sid->group[3] = uint16_t(v);
  sid->sbit = 48;
  sid->ebit = 64;
  sid->isset = 1;
  return n + 2;
}
