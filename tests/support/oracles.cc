#include "oracles.h"

#include <cstring>

#include "hostfile.h"
#include "hostid.h"
#include "ip6.h"
#include "settings.h"

namespace {

bool view_usable(const char* view) {
  return view != nullptr && *view != '\0' && strcmp(view, "none") != 0;
}

// Moves *pos past the n characters snprintf just wrote there; false once
// the buffer is full (the piece then is cut and terminated).
bool advance(size_t size, size_t* pos, int n) {
  if (n < 0) return false;
  if (size_t(n) >= size - *pos) {
    *pos = size - 1;
    return false;
  }
  *pos += size_t(n);
  return true;
}

bool posix_xdigit(int c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool posix_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

void print_forward_reference(FILE* fp, const char* hostname, uint64_t ttl, const char* addr) {
  fprintf(fp, "%-21s\t", hostname);
  if (ttl != 0)
    fprintf(fp, "%7lu\t", (unsigned long)ttl);
  else
    fputs("\t", fp);
  fprintf(fp, "IN  AAAA\t%s ", addr);
  fputs("\n", fp);
}

void print_rev_dns_reference(FILE* fp, const ip6_t* ip, int split, uint64_t ttl,
                             const char* hostname, const char* origin, unsigned long subnet) {
  if (settings.bits <= 127)
    for (int j = 31; j >= split; j--)
      fprintf(fp, "%01x%c", ip6getnibble(ip, j), j > split ? '.' : ' ');
  fputs(" ", fp);
  if (ttl != 0)
    fprintf(fp, "%7lu ", (unsigned long)ttl);
  else
    fprintf(fp, "%7s ", "");
  fprintf(fp, "IN  PTR\t%s.%s ", hostname, origin);
  if (subnet != 0) fprintf(fp, "; subnetid: %0*lx", 4, subnet);
  fputs("\n", fp);
}

void print_ptr_reference(FILE* fp, const ip6_t* ip, int bits, const char* host,
                         const char* numeric) {
  if (bits <= 127)
    for (int j = 31; j >= bits / 4; j--)
      fprintf(fp, "%01x%c", ip6getnibble(ip, j), j > bits / 4 ? '.' : ' ');
  fputs(" ", fp);
  fprintf(fp, "IN  PTR\t%s", host);
  size_t len = strlen(host);
  if (len > 0 && host[len - 1] != '.') fputs(".", fp);
  fprintf(fp, "\t; %s\n", numeric);
}

int format_update_reference(char* line, size_t size, int type, const char* owner,
                            uint64_t ttl, const char* addr) {
  if (addr == nullptr)
    return snprintf(line, size, "update %s %s \t\tIN AAAA\n", "del", owner);
  if (type == GEN_UPDATE_DEL)
    return snprintf(line, size, "update %s %s \t\tIN AAAA %s\n", "del", owner, addr);
  return snprintf(line, size, "update %s %s \t%lu\tIN AAAA %s\n", "add", owner,
                  (unsigned long)ttl, addr);
}

int format_fwd_fname_reference(char* buf, size_t size, const char* view, const char* domain) {
  return view_usable(view) ? snprintf(buf, size, "zkd_%s.%s", view, domain)
                           : snprintf(buf, size, "zkd.%s", domain);
}

int format_rev_fname_reference(char* buf, size_t size, const char* view, int width,
                               unsigned long subnet) {
  return view_usable(view) ? snprintf(buf, size, "zkr_%s.%0*lx", view, width, subnet)
                           : snprintf(buf, size, "zkr.%0*lx", width, subnet);
}

char* ip62string_reference(char* buf, size_t size, const ip6_t* ipv6, int full, int upper) {
  static char textbuf[44];
  const char* fullfmt = upper ? "%04X:%04X:%04X:%04X:%04X:%04X:%04X:%04X"
                              : "%04x:%04x:%04x:%04x:%04x:%04x:%04x:%04x";
  const char* tailfmt = upper ? ":%04X" : ":%04x";
  const char* headfmt = upper ? "%04X:" : "%04x:";
  if (buf == nullptr) {
    buf = textbuf;
    size = sizeof(textbuf);
  }
  if (size == 0) return buf;
  buf[0] = '\0';
  if (!ipv6->isset) return buf;

  const uint16_t* gr = ipv6->group;
  size_t pos = 0;
  if (full || ipv6->sbit == 0) {
    int n = snprintf(buf, size, fullfmt, gr[0], gr[1], gr[2], gr[3], gr[4], gr[5], gr[6],
                     gr[7]);
    if (advance(size, &pos, n) && ipv6->ebit != 128)
      snprintf(buf + pos, size - pos, "/%u", unsigned(ipv6->ebit));
    return buf;
  }
  if (!advance(size, &pos, snprintf(buf, size, ":"))) return buf;
  unsigned first = ipv6->sbit / 16u;
  if (ipv6->ebit == 128) {
    for (unsigned i = first; i < 8; i++)
      if (!advance(size, &pos, snprintf(buf + pos, size - pos, tailfmt, gr[i]))) break;
  } else {
    unsigned last = ipv6->ebit / 16u;
    for (unsigned i = first; i < last && i < 8; i++)
      if (!advance(size, &pos, snprintf(buf + pos, size - pos, headfmt, gr[i]))) break;
  }
  return buf;
}

int ethfromstr_reference(eth_t* e, const char* str) {
  e->isset = 0;
  int sep = 0;
  size_t end = 0;
  for (;; end++) {
    int c = (unsigned char)str[end];
    if (c == '-' || c == '.' || c == ':') {
      if (sep == 0) sep = c;
    } else if (!posix_xdigit(c)) {
      break;
    }
  }
  if (end == 0) return 0;
  if (str[end] != '\0' && !posix_space((unsigned char)str[end])) return 0;

  const char* fmt;
  switch (sep) {
    case '-': fmt = "%2x-%2x-%2x-%2x-%2x-%2x"; break;
    case '.': fmt = "%2x%2x.%2x%2x.%2x%2x"; break;
    case ':': fmt = "%2x:%2x:%2x:%2x:%2x:%2x"; break;
    default: fmt = "%2x%2x%2x%2x%2x%2x"; break;
  }
  unsigned v[6];
  if (sscanf(str, fmt, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) != 6) return 0;
  for (int i = 0; i < 6; i++) e->octet[i] = (uint8_t)v[i];
  e->delim = sep;
  e->isset = 1;

  int n = 0;
  while (posix_xdigit((unsigned char)str[n]) || (sep != 0 && str[n] == sep)) n++;
  return n;
}

readresult_t readline_reference(FILE* fp, char* buf) {
  size_t len = 0;
  int c;
  bool newline = false;
  bool any = false;
  while ((c = getc(fp)) != EOF) {
    any = true;
    if (c == '\n') {
      newline = true;
      break;
    }
    if (len < LINEBUFSIZE - 1) buf[len] = (char)c;
    len++;
  }
  if (!any) return readresult_t::eof;
  if (len > LINEBUFSIZE - 2) return readresult_t::too_long;
  if (newline && len > 0 && buf[len - 1] == '\r') len--;
  buf[len] = '\0';
  return readresult_t::line;
}

extraresult_t read_extra_reference(FILE* fp, char* extra, int* lineno) {
  size_t n = 0;
  extra[0] = '\0';
  int c = getc(fp);
  if (c == EOF) return extraresult_t::ok;
  ungetc(c, fp);
  if (c != '^') return extraresult_t::ok;
  int prev = '\n';
  while ((c = getc(fp)) != EOF) {
    if (c == '\r') {
      prev = c;
      continue;
    }
    if (c == '\n') {
      if (prev == '\n') {
        // An empty line ends the text; it is read again as a line of its own.
        ungetc(c, fp);
        break;
      }
      (*lineno)++;
    } else if (prev == '\n') {
      if (c != '^') {
        ungetc(c, fp);
        break;
      }
      prev = c;
      continue;
    }
    if (n == MAXEXTRA) {
      extra[n] = '\0';
      return extraresult_t::too_long;
    }
    if (c == '\0') {
      extra[n] = '\0';
      return extraresult_t::nul;
    }
    extra[n++] = (char)c;
    prev = c;
  }
  extra[n] = '\0';
  return extraresult_t::ok;
}
