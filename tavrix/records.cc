#include "records.h"

#include <array>
#include <cstdlib>
#include <cstring>

#include "diag.h"
#include "hostfile.h"
#include "settings.h"
#include "textput.h"

namespace {

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
// of ip, each followed by a dot but the last, followed by a blank. Writes
// 64 bytes at p; returns the end of the name.
inline char* put_rev_owner(char* p, const ip6_t* ip, int split) {
  // All 32 nibbles, lowest first, each with its dot; the owner name is the
  // part down to nibble split, whose dot becomes the blank.
  for (int g = 7; g >= 0; g--) {
    memcpy(p + 8 * (7 - g), revnibbles[ip->group[g] & 0xff].text, 4);
    memcpy(p + 8 * (7 - g) + 4, revnibbles[ip->group[g] >> 8].text, 4);
  }
  p += 2 * (32 - split);
  p[-1] = ' ';
  return p;
}

// "zk" and the kind, then "_" with the view and "." when the view is usable,
// else ".": what forward and reverse file names begin with.
void put_fname_head(cutout_t* out, const char* kind, const char* view) {
  out->text(kind, 3);
  if (view_usable(view)) {
    out->text("_", 1);
    out->text(view, strlen(view));
  }
  out->text(".", 1);
}

}  // namespace

void print_forward(FILE* fp, const char* hostname, uint64_t ttl, const char* addr) {
  size_t namelen = strlen(hostname);
  size_t addrlen = strlen(addr);
  // Name (at least 21 columns), tab, 20 digits, tab, "IN  AAAA\t", address,
  // blank, newline.
  linebuf_t line((namelen > 21 ? namelen : 21) + 1 + 20 + 1 + 9 + addrlen + 2);
  char* p = put_left(line.get(), hostname, namelen, 21);
  *p++ = '\t';
  if (ttl != 0) p = put_udec(p, ttl, 7);
  *p++ = '\t';
  p = put_text(p, "IN  AAAA\t", 9);
  p = put_text(p, addr, addrlen);
  p = put_text(p, " \n", 2);
  line.write(p, fp);
}

void print_rev_dns(FILE* fp, const ip6_t* ip, int split, uint64_t ttl, const char* hostname,
                   const char* origin, unsigned long subnet) {
  TX_ASSERT(fp != NULL);
  TX_ASSERT(origin != NULL);
  TX_ASSERT(ip != NULL && ip6isset (ip));
  TX_ASSERT(split >= 0);
  size_t namelen = strlen(hostname);
  size_t originlen = strlen(origin);
  // 32 nibbles with their dots, blank, 20 digits, blank, "IN  PTR\t", name,
  // dot, origin, blank, "; subnetid: ", 16 digits, newline.
  linebuf_t line(64 + 1 + 21 + 8 + namelen + 1 + originlen + 1 + 12 + 16 + 1);
  char* p = line.get();
  if (settings.bits <= 127 && split <= 31) p = put_rev_owner(p, ip, split);
  *p++ = ' ';
  if (ttl != 0) {
    p = put_udec(p, ttl, 7);
    *p++ = ' ';
  } else {
    p = put_text(p, "        ", 8);
  }
  p = put_text(p, "IN  PTR\t", 8);
  p = name_put(p, hostname, namelen, origin, originlen);
  *p++ = ' ';
  if (subnet != 0) {
    p = put_text(p, "; subnetid: ", 12);
    p = put_hex(p, subnet, 4);
  }
  *p++ = '\n';
  line.write(p, fp);
}

void print_ptr(FILE* fp, const ip6_t* ip, int bits, const char* host, const char* numeric) {
  TX_ASSERT(bits >= 0);
  TX_ASSERT(fp != NULL);
  TX_ASSERT(host != NULL);
  TX_ASSERT(ip != NULL && ip6isset (ip));
  TX_ASSERT(ip6getmask(ip) > 0);
  size_t hostlen = strlen(host);
  size_t numericlen = strlen(numeric);
  // 32 nibbles with their dots, " IN  PTR\t", host, dot, "\t; ", the
  // numeric text, newline.
  linebuf_t line(64 + 9 + hostlen + 1 + 3 + numericlen + 1);
  char* p = line.get();
  if (bits <= 127) p = put_rev_owner(p, ip, bits / 4);
  p = put_text(p, " IN  PTR\t", 9);
  p = put_text(p, host, hostlen);
  if (hostlen > 0 && host[hostlen - 1] != '.') *p++ = '.';
  p = put_text(p, "\t; ", 3);
  p = put_text(p, numeric, numericlen);
  *p++ = '\n';
  line.write(p, fp);
}

namespace {

// An update line: add (with ttl) or del, owner, the class and type text rr
// ("\tIN AAAA"), and data after a blank unless it is null.
int format_update_line(char* line, size_t size, bool add, const char* owner, uint64_t ttl,
                       const char* rr, size_t rrlen, const char* data) {
  cutout_t out(line, size);
  out.text(add ? "update add " : "update del ", 11);
  out.text(owner, strlen(owner));
  out.text(" \t", 2);
  if (add) {
    char digits[20];
    out.text(digits, size_t(put_udec(digits, ttl, 0) - digits));
  }
  out.text(rr, rrlen);
  if (data != nullptr) {
    out.text(" ", 1);
    out.text(data, strlen(data));
  }
  out.text("\n", 1);
  return out.end(size);
}

}  // namespace

int format_update(char* line, size_t size, int type, const char* owner, uint64_t ttl,
                  const char* addr) {
  return format_update_line(line, size, addr != nullptr && type != GEN_UPDATE_DEL, owner, ttl,
                            "\tIN AAAA", 8, addr);
}

int format_ptr_update(char* line, size_t size, int type, const char* owner, uint64_t ttl,
                      const char* target) {
  return format_update_line(line, size, type != GEN_PTR_DEL, owner, ttl, "\tIN PTR", 7,
                            target);
}

char* format_arpa_name(char* buf, const ip6_t* ip, int count) {
  TX_ASSERT(count >= 0 && count <= 32);
  char nibbles[64];
  put_rev_owner(nibbles, ip, 0);
  // Nibble j stands at 2 * (31 - j): the first count end the text.
  char* p = put_text(buf, nibbles + 2 * (32 - count), size_t(2 * count));
  if (count > 0) p[-1] = '.';
  memcpy(p, "ip6.arpa.", 10);
  return buf;
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
