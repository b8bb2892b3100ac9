#include "ip6.h"

#include <array>
#include <cstdlib>
#include <cstring>

#include "charclass.h"
#include "diag.h"
#include "textput.h"

// The printer's hex digits, switched by ip6hexcase.
static const char* hexdigits = lowerhex;

static char textbuf[44];

static inline int hexvalue(unsigned char c) { return hexvalues[c]; }

static inline uint16_t clampbit(int v) {
  if (v < 1) return 0;
  if (v > 128) return 128;
  return static_cast<uint16_t>(v);
}

int ip6isset(const ip6_t* ip) { return ip != nullptr && ip->isset ? 1 : 0; }

ip6_t* ip6copy(ip6_t* dst, const ip6_t* src) {
  if (dst == nullptr) {
    dst = static_cast<ip6_t*>(calloc(1, sizeof(ip6_t)));
    if (dst == nullptr) return nullptr;
  }
  if (src != nullptr) {
    if (dst != src) *dst = *src;
  } else {
    memset(dst, 0, sizeof(*dst));
  }
  return dst;
}

int ip6cmp(const ip6_t* ipa, const ip6_t* ipb) {
  TX_ASSERT(ipa);
  TX_ASSERT(ipb);
  if (!ipa->isset) return -1;
  if (!ipb->isset) return 1;
  for (int i = 0; i < 8; i++) {
    if (ipa->group[i] != ipb->group[i]) return int(ipa->group[i]) - int(ipb->group[i]);
  }
  return int(ipa->ebit) - int(ipb->ebit);
}

unsigned ip6getsbit(const ip6_t* ipv6) {
  TX_ASSERT(ipv6);
  TX_ASSERT(ipv6->isset);
  return ipv6->sbit;
}

unsigned ip6getebit(const ip6_t* ipv6) {
  TX_ASSERT(ipv6);
  TX_ASSERT(ipv6->isset);
  return ipv6->ebit;
}

int ip6getmask(const ip6_t* ipv6) {
  TX_ASSERT(ipv6);
  TX_ASSERT(ipv6->isset);
  return int(ipv6->ebit) - int(ipv6->sbit);
}

void ip6setsbit(ip6_t* ipv6, int v) {
  TX_ASSERT(ipv6);
  TX_ASSERT(ipv6->isset);
  ipv6->sbit = clampbit(v);
}

void ip6setebit(ip6_t* ipv6, int v) {
  TX_ASSERT(ipv6);
  TX_ASSERT(ipv6->isset);
  ipv6->ebit = clampbit(v);
}

int ip6setmask(ip6_t* ipv6, int v) {
  TX_ASSERT(ipv6);
  TX_ASSERT(ipv6->isset);
  ipv6->sbit = 0;
  ipv6->ebit = clampbit(v);
  return v;
}

int ip6getshort(const ip6_t* ipv6, int nr) {
  TX_ASSERT(ipv6);
  TX_ASSERT(nr >= 0 && nr < 8);
  TX_ASSERT(ipv6->isset);
  return ipv6->group[nr];
}

int ip6getbyte(const ip6_t* ipv6, int nr) {
  TX_ASSERT(ipv6);
  TX_ASSERT(nr >= 0 && nr < 16);
  TX_ASSERT(ipv6->isset);
  return (ipv6->group[nr / 2] >> (nr % 2 ? 0 : 8)) & 0xff;
}

int ip6getnibble(const ip6_t* ipv6, int nr) {
  TX_ASSERT(ipv6);
  TX_ASSERT(nr >= 0 && nr < 32);
  TX_ASSERT(ipv6->isset);
  return (ipv6->group[nr / 4] >> (4 * (3 - nr % 4))) & 0xf;
}

int ip6getbit(const ip6_t* ipv6, int nr) {
  TX_ASSERT(ipv6);
  TX_ASSERT(nr >= 0 && nr < 128);
  TX_ASSERT(ipv6->isset);
  return (ipv6->group[nr / 16] >> (15 - nr % 16)) & 1;
}

int ip6setshort(ip6_t* ipv6, int nr, int v) {
  TX_ASSERT(ipv6);
  TX_ASSERT(nr >= 0 && nr < 8);
  TX_ASSERT(ipv6->isset);
  ipv6->group[nr] = static_cast<uint16_t>(v);
  return v;
}

// Replaces the bits under mask in one group; returns the new group.
static inline int setgroupbits(ip6_t* ipv6, int nr, unsigned mask, unsigned bits) {
  unsigned g = (ipv6->group[nr] & ~mask) | (bits & mask);
  ipv6->group[nr] = static_cast<uint16_t>(g);
  return ipv6->group[nr];
}

int ip6setbyte(ip6_t* ipv6, int bytenr, int v) {
  TX_ASSERT(ipv6);
  TX_ASSERT(bytenr >= 0 && bytenr < 16);
  TX_ASSERT(ipv6->isset);
  int shift = bytenr % 2 ? 0 : 8;
  return setgroupbits(ipv6, bytenr / 2, 0xffu << shift, unsigned(v & 0xff) << shift);
}

int ip6setnibble(ip6_t* ipv6, int nibnr, int v) {
  TX_ASSERT(ipv6);
  TX_ASSERT(nibnr >= 0 && nibnr < 32);
  TX_ASSERT(ipv6->isset);
  int shift = 4 * (3 - nibnr % 4);
  return setgroupbits(ipv6, nibnr / 4, 0xfu << shift, unsigned(v & 0xf) << shift);
}

int ip6setbit(ip6_t* ipv6, int bitnr, int v) {
  TX_ASSERT(ipv6);
  TX_ASSERT(bitnr >= 0 && bitnr < 128);
  TX_ASSERT(ipv6->isset);
  int shift = 15 - bitnr % 16;
  return setgroupbits(ipv6, bitnr / 16, 1u << shift, unsigned(v & 1) << shift);
}

// The "%4x" conversion at a hex digit, as the C library performs it: at
// most four characters, a leading "0x" or "0X" counting among them.
static inline unsigned readgroup(const char* p) {
  int width = 4;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    p += 2;
    width = 2;
  }
  unsigned v = 0;
  for (int i = 0; i < width && is_xdigit((unsigned char)p[i]); i++) {
    v = v * 16 + unsigned(hexvalue((unsigned char)p[i]));
  }
  return v;
}

int ip6fromstr(ip6_t* ip, const char* str) {
  TX_ASSERT(ip != NULL);
  TX_ASSERT(str != NULL);
  ip->isset = 0;

  // The address text: hex digits and ':', with the place of its one "::".
  int k = 0;
  int d = 0;
  const char* end = str;
  for (; is_xdigit((unsigned char)*end) || *end == ':'; end++) {
    if (*end != ':') continue;
    k++;
    if (end[1] == ':') {
      if (d != 0) return -1;
      d = k;
    }
  }

  uint16_t group[8] = {};
  int sbit, ebit, g;
  const char* p = str;
  int count = int(end - str);
  if (*str == ':') {
    if (d == 1) {
      sbit = 64;
      ebit = 128;
      g = 9 - k;
      p += 2;
      if (g < 0) return -2;  // more than eight groups after the "::"
    } else {
      sbit = 48;
      ebit = 64;
      g = (k == 2 && d == 0) ? 3 : 0;
      p += 1;
      // Here a "::" may only end the text: groups after it would be
      // placed from the end of the address, overlapping those before it.
      if (d != 0 && !(end[-1] == ':' && end[-2] == ':')) return -2;
    }
  } else {
    if (!(k == 7 || (k < 7 && d != 0))) return -2;
    sbit = 0;
    ebit = 128;
    const char* slash = strchr(end, '/');
    if (slash != nullptr) {
      unsigned len;
      if (sscanf(slash + 1, "%u", &len) == 1 && len < 128) ebit = int(len);
      const char* q = slash + 1;
      while (is_digit((unsigned char)*q)) q++;
      count = int(q - str);
    }
    g = 0;
  }

  while (p < end) {
    if (*p == ':') {
      if (p[1] == ':') {
        g = d - k + 8;
        p += 2;
      } else {
        g++;
        p++;
      }
      continue;
    }
    if (g > 7) return -2;  // a ninth group
    group[g] = static_cast<uint16_t>(readgroup(p));
    while (is_xdigit((unsigned char)*p)) p++;
  }

  memcpy(ip->group, group, sizeof(group));
  ip->sbit = static_cast<uint16_t>(sbit);
  ip->ebit = static_cast<uint16_t>(ebit);
  ip->isset = 1;
  return count;
}

// The longest text: a full form with a length of five digits (only a
// record filled by hand has more than three), and its NUL.
constexpr size_t IP6TEXTROOM = 46;

char* ip62string(char* buf, size_t size, const ip6_t* ipv6, int full) {
  TX_ASSERT(ipv6 != NULL);
  if (buf == nullptr) {
    buf = textbuf;
    size = sizeof(textbuf);
  }
  if (size == 0) return buf;
  // A buffer that may be too small gets the text through one of full size,
  // cut as snprintf cuts it.
  char room[IP6TEXTROOM];
  char* start = size >= IP6TEXTROOM ? buf : room;
  char* p = start;
  const uint16_t* gr = ipv6->group;
  if (!ipv6->isset) {
    // An empty record prints as the empty text.
  } else if (full || ipv6->sbit == 0) {
    for (int i = 0; i < 8; i++) {
      if (i > 0) *p++ = ':';
      p = put_hex4(p, gr[i], hexdigits);
    }
    if (ipv6->ebit != 128) {
      *p++ = '/';
      p = put_udec(p, ipv6->ebit, 0);
    }
  } else {
    *p++ = ':';
    unsigned first = ipv6->sbit / 16u;
    if (ipv6->ebit == 128) {
      for (unsigned i = first; i < 8; i++) {
        *p++ = ':';
        p = put_hex4(p, gr[i], hexdigits);
      }
    } else {
      unsigned last = ipv6->ebit / 16u;
      for (unsigned i = first; i < last && i < 8; i++) {
        p = put_hex4(p, gr[i], hexdigits);
        *p++ = ':';
      }
    }
  }
  *p = '\0';
  if (start == room) {
    size_t len = size_t(p - room) < size ? size_t(p - room) : size - 1;
    memcpy(buf, room, len);
    buf[len] = '\0';
  }
  return buf;
}

char* ip6tostr(char* buf, size_t size, const ip6_t* ip) { return ip62string(buf, size, ip, 0); }

char* ip6tofullstr(char* buf, size_t size, const ip6_t* ip) {
  return ip62string(buf, size, ip, 1);
}

void ip6hexcase(int upper) { hexdigits = upper ? upperhex : lowerhex; }

void ip6_reset() { ip6hexcase(0); }

int ip6put(FILE* fp, const ip6_t* ip) {
  TX_ASSERT(fp != NULL);
  TX_ASSERT(ip != NULL);
  char buf[44];
  return fprintf(fp, "%s", ip6tostr(buf, sizeof(buf), ip));
}

char* ip6revdns(char* buf, size_t size, const ip6_t* ip, int mask) {
  TX_ASSERT(mask % 4 == 0);
  size_t pos = 0;
  // Every nibble is read even when the text is cut, so that a bad record
  // is caught whatever the buffer. Each nibble is what "%01x." would print,
  // written by hand: a printf call per nibble made this the slowest step of
  // a reverse line.
  for (int i = mask / 4 - 1; i >= 0; i--) {
    int nibble = ip6getnibble(ip, i);
    if (pos + 1 < size) buf[pos++] = "0123456789abcdef"[nibble];
    if (pos + 1 < size) buf[pos++] = '.';
  }
  if (size > 0) buf[pos] = '\0';
  if (pos + 1 < size) snprintf(buf + pos, size - pos, "ip6.arpa.");
  return buf;
}

// Bits from..to-1 of ipv6 take the values of the same bits of src.
static void copybits(ip6_t* ipv6, const uint16_t* src, unsigned from, unsigned to) {
  TX_ASSERT(ipv6->isset);
  TX_ASSERT(to <= 128);
  if (from % 16 == 0 && to % 16 == 0) {
    // Whole groups, as every subnet ID and host ID has them.
    for (unsigned nr = from / 16; nr < to / 16; nr++) ipv6->group[nr] = src[nr];
    return;
  }
  for (unsigned nr = from / 16; nr * 16 < to; nr++) {
    unsigned before = nr == from / 16 ? from % 16 : 0;  // bits of this group before `from`
    unsigned past = to < nr * 16 + 16 ? nr * 16 + 16 - to : 0;  // bits from `to` on
    setgroupbits(ipv6, int(nr), (0xffffu >> before) & (0xffffu << past), src[nr]);
  }
}

int ip6match(const ip6_t* ip, const ip6_t* prefix) {
  TX_ASSERT(ip);
  TX_ASSERT(prefix);
  if (!ip->isset || !prefix->isset || ip->sbit != 0 || prefix->sbit != 0) return -1;
  if (ip->ebit < prefix->ebit) return 0;
  TX_ASSERT(prefix->ebit <= 128);
  int len = prefix->ebit;
  int whole = len / 16;
  for (int i = 0; i < whole; i++) {
    if (ip->group[i] != prefix->group[i]) return 0;
  }
  if (len % 16) {
    unsigned mask = (0xffffu << (16 - len % 16)) & 0xffffu;
    if ((ip->group[whole] ^ prefix->group[whole]) & mask) return 0;
  }
  return len;
}

int ip6append(ip6_t* ipa, const ip6_t* ipb) {
  TX_ASSERT(ipa);
  TX_ASSERT(ipb);
  if (!ipb->isset) return -1;
  if (ipa->ebit != ipb->sbit) return -2;
  if (ipb->sbit < ipb->ebit) copybits(ipa, ipb->group, ipb->sbit, ipb->ebit);
  ipa->ebit = ipb->ebit;
  return ipa->ebit;
}

ip6_t* ip6truncate(ip6_t* ip, int len) {
  if (ip == nullptr || !ip->isset) return nullptr;
  TX_ASSERT(len >= 0 && len <= 128);
  static constexpr uint16_t zero[8] = {};
  if (len < 128) copybits(ip, zero, len, 128);
  ip->ebit = static_cast<uint16_t>(len);
  return ip;
}

int ip6fromint(ip6_t* ipv6, int s0, int s1, int s2, int s3, int s4, int s5, int s6, int s7,
               int mask) {
  TX_ASSERT(ipv6 != NULL);
  TX_ASSERT(mask >= 0);
  const int s[8] = {s0, s1, s2, s3, s4, s5, s6, s7};
  for (int i = 0; i < 8; i++) ipv6->group[i] = static_cast<uint16_t>(s[i] & 0xffff);
  ipv6->sbit = 0;
  ipv6->ebit = static_cast<uint16_t>(mask > 128 ? 128 : mask);
  ipv6->isset = 1;
  return 1;
}

char* ip6squeeze(char* dst, const char* src, int full) {
  if (src == nullptr) src = dst;
  // Plain squeeze, writing never ahead of reading, so dst may be src.
  // Meanwhile note the leftmost longest run of zero groups in the output.
  size_t r = 0, w = 0;
  size_t runstart = 0, runend = 0, runlen = 0;
  size_t bestlen = 0, beststart = 0, bestend = 0;
  for (;;) {
    size_t gstart = w;
    while (src[r] == '0' && src[r + 1] != ':' && src[r + 1] != '/' && src[r + 1] != '\0') r++;
    while (src[r] != ':' && src[r] != '/' && src[r] != '\0') dst[w++] = src[r++];
    if (w - gstart == 1 && dst[gstart] == '0') {
      if (runlen++ == 0) runstart = gstart;
      runend = w;
      if (runlen > bestlen) {
        bestlen = runlen;
        beststart = runstart;
        bestend = runend;
      }
    } else {
      runlen = 0;
    }
    if (src[r] != ':') break;
    dst[w++] = src[r++];
  }
  // The '/' and length, copied as they are.
  while (src[r] != '\0') dst[w++] = src[r++];
  dst[w] = '\0';

  if (full && bestlen > 0) {
    // Cut the run with the ':' at each side, put "::" in its place.
    size_t cutfrom = beststart > 0 ? beststart - 1 : 0;
    size_t cutto = dst[bestend] == ':' ? bestend + 1 : bestend;
    if (cutto - cutfrom >= 2) {
      dst[cutfrom] = ':';
      dst[cutfrom + 1] = ':';
      memmove(dst + cutfrom + 2, dst + cutto, w - cutto + 1);
    }
  }
  return dst;
}

// For each set of zero groups (bit i for group i), the leftmost longest run
// of them, a single group counting: its first group and the one past its
// last; 8 and 8 for none.
struct zerorun_t {
  uint8_t from, to;
};
static constexpr auto zeroruns = [] {
  std::array<zerorun_t, 256> t{};
  for (unsigned zeros = 0; zeros < 256; zeros++) {
    zerorun_t best = {8, 8};
    for (unsigned i = 0; i < 8; i++) {
      if (!(zeros >> i & 1)) continue;
      unsigned j = i + 1;
      while (j < 8 && (zeros >> j & 1)) j++;
      if (j - i > unsigned(best.to - best.from)) best = {uint8_t(i), uint8_t(j)};
      i = j;
    }
    t[zeros] = best;
  }
  return t;
}();

// Groups from..to-1 without leading zeros, ':' between them.
static inline char* putgroups(char* p, const uint16_t* gr, unsigned from, unsigned to,
                              const char* digits) {
  for (unsigned i = from; i < to; i++) {
    if (i > from) *p++ = ':';
    p = put_hex16(p, gr[i], digits);
  }
  return p;
}

char* ip6tosqueezedstr(char* buf, size_t size, const ip6_t* ip, int full) {
  TX_ASSERT(ip != NULL);
  // Only the full form of a set record, whose every text fits, is written
  // here; anything else is what printing and squeezing the text make of it.
  if (buf == nullptr || size < IP6TEXTROOM || !ip->isset || ip->sbit != 0)
    return ip6squeeze(ip6tostr(buf, size, ip), nullptr, full);
  const char* digits = hexdigits;
  const uint16_t* gr = ip->group;
  zerorun_t run = {8, 8};
  if (full) {
    unsigned zeros = 0;
    for (unsigned i = 0; i < 8; i++) zeros |= unsigned(gr[i] == 0) << i;
    run = zeroruns[zeros];
  }
  char* p = putgroups(buf, gr, 0, run.from, digits);
  if (run.from < 8) {
    *p++ = ':';
    *p++ = ':';
  }
  p = putgroups(p, gr, run.to, 8, digits);
  if (ip->ebit != 128) {
    *p++ = '/';
    p = put_udec(p, ip->ebit, 0);
  }
  *p = '\0';
  return buf;
}
