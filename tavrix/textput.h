// Hand-made pieces of printf conversions, for the lines written once per
// host and prefix. The printf family parses its format on every call and
// locks the stream; for the millions of lines of a large host file that was
// most of the run time. Each function writes exactly what the conversion
// named beside it writes; the tests hold the callers to their
// printf forms in tests/support/oracles.cc. The caller makes sure there is
// room; every function returns the position after what it wrote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "diag.h"

// The hex digits of each case, indexed by value.
inline constexpr char lowerhex[] = "0123456789abcdef";
inline constexpr char upperhex[] = "0123456789ABCDEF";

// "%s" of a text of known length.
inline char* put_text(char* p, const char* s, size_t len) {
  memcpy(p, s, len);
  return p + len;
}

// "%-*s": the text, then blanks up to width.
inline char* put_left(char* p, const char* s, size_t len, size_t width) {
  p = put_text(p, s, len);
  for (; len < width; len++) *p++ = ' ';
  return p;
}

// "%*lu": the decimal number right-aligned in width columns.
inline char* put_udec(char* p, uint64_t v, int width) {
  char digits[20];
  int n = 0;
  do {
    digits[n++] = char('0' + v % 10);
    v /= 10;
  } while (v != 0);
  for (int i = n; i < width; i++) *p++ = ' ';
  while (n > 0) *p++ = digits[--n];
  return p;
}

// "%0*lx": the hex number with at least width digits, zeros in front.
inline char* put_hex(char* p, uint64_t v, int width, const char* hexdigits = lowerhex) {
  char digits[16];
  int n = 0;
  do {
    digits[n++] = hexdigits[v & 0xf];
    v >>= 4;
  } while (v != 0);
  for (int i = n; i < width; i++) *p++ = '0';
  while (n > 0) *p++ = digits[--n];
  return p;
}

// "%x" of a 16-bit value: no leading zeros, at least one digit.
inline char* put_hex16(char* p, unsigned v, const char* hexdigits = lowerhex) {
  if (v >= 0x1000) *p++ = hexdigits[(v >> 12) & 0xf];
  if (v >= 0x100) *p++ = hexdigits[(v >> 8) & 0xf];
  if (v >= 0x10) *p++ = hexdigits[(v >> 4) & 0xf];
  *p++ = hexdigits[v & 0xf];
  return p;
}

// "%04x" of a 16-bit value: always four digits.
inline char* put_hex4(char* p, unsigned v, const char* hexdigits = lowerhex) {
  p[0] = hexdigits[(v >> 12) & 0xf];
  p[1] = hexdigits[(v >> 8) & 0xf];
  p[2] = hexdigits[(v >> 4) & 0xf];
  p[3] = hexdigits[v & 0xf];
  return p + 4;
}

// Room for one line: on the stack for every line the program writes (names
// DNS can hold), on the heap for a longer one, which only a caller outside
// those limits gives. The line is written straight into it and goes to its
// stream in one write. No memory ends the run.
class linebuf_t {
 public:
  explicit linebuf_t(size_t need)
      : buf_(need <= sizeof local_ ? local_ : static_cast<char*>(malloc(need))) {
    if (buf_ == nullptr) errexit("out of memory for an output line of %zu bytes\n", need);
  }
  ~linebuf_t() {
    if (buf_ != local_) free(buf_);
  }
  linebuf_t(const linebuf_t&) = delete;
  linebuf_t& operator=(const linebuf_t&) = delete;
  char* get() { return buf_; }
  void write(const char* end, FILE* fp) { fwrite_unlocked(buf_, 1, size_t(end - buf_), fp); }

 private:
  char local_[1024];
  char* buf_;
};
