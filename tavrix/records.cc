#include "records.h"

#include <array>
#include <cstring>

#include "hostfile.h"
#include "misc.h"
#include "textput.h"

namespace {

// A line on its way to a stream: gathered in a buffer that holds every line
// the program writes, so that a line costs one write; a longer piece (only
// a caller outside the program's limits gives one) goes straight through.
struct lineout_t {
  FILE* fp;
  char* p;
  char buf[1024];

  explicit lineout_t(FILE* out) : fp(out), p(buf) {}
  void flush() {
    if (p == buf) return;
    fwrite_unlocked(buf, 1, size_t(p - buf), fp);
    p = buf;
  }
  // Where the caller may write n bytes (n at most the buffer's size).
  char* room(size_t n) {
    if (size_t(buf + sizeof buf - p) < n) flush();
    return p;
  }
  void text(const char* s, size_t len) {
    if (size_t(buf + sizeof buf - p) < len) {
      flush();
      if (len > sizeof buf) {
        fwrite_unlocked(s, 1, len, fp);
        return;
      }
    }
    p = put_text(p, s, len);
  }
  // n blanks (n at most the buffer's size).
  void blanks(size_t n) {
    char* q = room(n);
    memset(q, ' ', n);
    p = q + n;
  }
};

// A text into a buffer of size bytes, cut and terminated as snprintf does,
// counting the whole length as snprintf returns it.
struct cutout_t {
  char* p;
  size_t left;  // characters that still fit before the terminator
  size_t total = 0;

  cutout_t(char* buf, size_t size) : p(buf), left(size > 0 ? size - 1 : 0) {}
  void text(const char* s, size_t len) {
    size_t n = len < left ? len : left;
    memcpy(p, s, n);
    p += n;
    left -= n;
    total += len;
  }
  int end(size_t size) {
    if (size > 0) *p = '\0';
    return int(total);
  }
};

bool view_usable(const char* view) {
  return view != nullptr && *view != '\0' && strcmp(view, "none") != 0;
}

// The two nibbles of a byte as the owner name of a reverse line has them:
// the low one first, each with its dot.
struct revbyte_t {
  char text[4];
};
constexpr auto revnibbles = [] {
  std::array<revbyte_t, 256> t{};
  for (unsigned b = 0; b < 256; b++) t[b] = {{lowerhex[b & 0xf], '.', lowerhex[b >> 4], '.'}};
  return t;
}();

// The owner name of a reverse line: nibbles 31 down to split (at most 31)
// of ip, each followed by a dot but the last, followed by a blank.
void put_rev_owner(lineout_t* out, const ip6_t* ip, int split) {
  // All 32 nibbles, lowest first, each with its dot; the owner name is the
  // part down to nibble split, whose dot becomes the blank.
  char* line = out->room(64);
  for (int g = 7; g >= 0; g--) {
    memcpy(line + 8 * (7 - g), revnibbles[ip->group[g] & 0xff].text, 4);
    memcpy(line + 8 * (7 - g) + 4, revnibbles[ip->group[g] >> 8].text, 4);
  }
  out->p = line + 2 * (32 - split);
  out->p[-1] = ' ';
}

// "zk" and the kind, then "_" with the view and "." when the view is usable,
// else ".": what forward and reverse file names begin with.
void put_fname_head(cutout_t* out, const char* kind, const char* view) {
  if (view_usable(view)) {
    out->text(kind, 3);
    out->text("_", 1);
    out->text(view, strlen(view));
    out->text(".", 1);
  } else {
    out->text(kind, 3);
    out->text(".", 1);
  }
}

}  // namespace

void print_forward(FILE* fp, const char* hostname, uint64_t ttl, const char* addr) {
  lineout_t out(fp);
  size_t namelen = strlen(hostname);
  out.text(hostname, namelen);
  if (namelen < 21) out.blanks(21 - namelen);
  // Tab, 20 digits, tab, "IN  AAAA\t".
  char* p = out.room(1 + 20 + 1 + 9);
  *p++ = '\t';
  if (ttl != 0) p = put_udec(p, ttl, 7);
  *p++ = '\t';
  out.p = put_text(p, "IN  AAAA\t", 9);
  out.text(addr, strlen(addr));
  out.text(" \n", 2);
  out.flush();
}

void print_rev_dns(FILE* fp, const ip6_t* ip, int split, uint64_t ttl, const char* hostname,
                   const char* origin, unsigned long subnet) {
  TX_ASSERT(fp != NULL);
  TX_ASSERT(origin != NULL);
  TX_ASSERT(ip != NULL && ip6isset (ip));
  TX_ASSERT(split >= 0);
  lineout_t out(fp);
  if (settings.bits <= 127 && split <= 31) put_rev_owner(&out, ip, split);
  // Blank, 20 digits, blank, "IN  PTR\t".
  char* p = out.room(1 + 21 + 8);
  *p++ = ' ';
  if (ttl != 0) {
    p = put_udec(p, ttl, 7);
    *p++ = ' ';
  } else {
    p = put_text(p, "        ", 8);
  }
  out.p = put_text(p, "IN  PTR\t", 8);
  out.text(hostname, strlen(hostname));
  out.text(".", 1);
  out.text(origin, strlen(origin));
  out.text(" ", 1);
  if (subnet != 0) {
    p = out.room(12 + 16);
    p = put_text(p, "; subnetid: ", 12);
    out.p = put_hex(p, subnet, 4);
  }
  out.text("\n", 1);
  out.flush();
}

void print_ptr(FILE* fp, const ip6_t* ip, int bits, const char* host, const char* numeric) {
  TX_ASSERT(bits >= 0);
  TX_ASSERT(fp != NULL);
  TX_ASSERT(host != NULL);
  TX_ASSERT(ip != NULL && ip6isset (ip));
  TX_ASSERT(ip6getmask(ip) > 0);
  lineout_t out(fp);
  if (bits <= 127) put_rev_owner(&out, ip, bits / 4);
  out.text(" IN  PTR\t", 9);
  size_t len = strlen(host);
  out.text(host, len);
  if (len > 0 && host[len - 1] != '.') out.text(".", 1);
  out.text("\t; ", 3);
  out.text(numeric, strlen(numeric));
  out.text("\n", 1);
  out.flush();
}

int format_update(char* line, size_t size, int type, const char* owner, uint64_t ttl,
                  const char* addr) {
  cutout_t out(line, size);
  bool add = addr != nullptr && type != GEN_UPDATE_DEL;
  out.text(add ? "update add " : "update del ", 11);
  out.text(owner, strlen(owner));
  out.text(" \t", 2);
  if (add) {
    char digits[20];
    out.text(digits, size_t(put_udec(digits, ttl, 0) - digits));
  }
  if (addr != nullptr) {
    out.text("\tIN AAAA ", 9);
    out.text(addr, strlen(addr));
  } else {
    out.text("\tIN AAAA", 8);
  }
  out.text("\n", 1);
  return out.end(size);
}

int format_fwd_fname(char* buf, size_t size, const char* view, const char* domain) {
  cutout_t out(buf, size);
  put_fname_head(&out, "zkd", view);
  out.text(domain, strlen(domain));
  return out.end(size);
}

int format_rev_fname(char* buf, size_t size, const char* view, int width,
                     unsigned long subnet) {
  TX_ASSERT(width >= 0);
  cutout_t out(buf, size);
  put_fname_head(&out, "zkr", view);
  char digits[16];
  size_t n = size_t(put_hex(digits, subnet, 0) - digits);
  for (size_t i = n; i < size_t(width); i++) out.text("0", 1);
  out.text(digits, n);
  return out.end(size);
}
