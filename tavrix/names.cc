#include "names.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "charclass.h"
#include "diag.h"
#include "textput.h"

namespace {

// What a character is to the scan of a name.
enum : uint8_t { K_PLAIN, K_DOT, K_UNDERSCORE, K_DASH, K_END };

// Host-file fields end at the first character that is no name character;
// a name given whole (a domain, -o) only at its NUL.
constexpr auto kinds = [](bool field) {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; c++)
    t[size_t(c)] = field && (charclasses[size_t(c)] & CC_NAME) == 0 ? uint8_t(K_END) : uint8_t(K_PLAIN);
  t['\0'] = K_END;
  t['.'] = K_DOT;
  t['_'] = K_UNDERSCORE;
  t['-'] = K_DASH;
  return t;
};
constexpr auto fieldkinds = kinds(true);
constexpr auto wholekinds = kinds(false);

// The one scan of a name's labels: characters of str up to the end its
// table sets, at most max of them when bounded; returns how many. Names are
// scanned once per host line, so a character costs one look-up unless it
// ends a label or may keep the name from being a host name.
template <bool field, bool bounded>
size_t scan(const char* str, size_t max, bool domain, namecheck_t* check) {
  const std::array<uint8_t, 256>& kind = field ? fieldkinds : wholekinds;
  *check = namecheck_t{namefault_t::none, true};
  size_t label = 0;  // start of the current label
  size_t n = 0;
  for (;; n++) {
    while ((!bounded || n < max) && kind[(unsigned char)str[n]] == K_PLAIN) n++;
    uint8_t k = !bounded || n < max ? kind[(unsigned char)str[n]] : uint8_t(K_END);
    if (k == K_UNDERSCORE || k == K_DASH) {
      if (k == K_UNDERSCORE || n == label) check->hostname = false;
      continue;
    }
    // A label ends here.
    size_t len = n - label;
    if (len > 0 && str[n - 1] == '-') check->hostname = false;
    if (check->fault == namefault_t::none) {
      // Only a domain may end in its final dot; nothing may be empty or hold
      // an empty label.
      if (len > NAME_MAXLABEL)
        check->fault = namefault_t::longlabel;
      else if (len == 0 && (k == K_DOT || n == 0))
        check->fault = namefault_t::emptylabel;
      else if (len == 0 && !domain)
        check->fault = namefault_t::finaldot;
    }
    if (k == K_END) return n;
    label = n + 1;
  }
}

}  // namespace

namecheck_t name_check(const char* name, bool domain) {
  TX_ASSERT(name != NULL);
  namecheck_t check;
  size_t len = scan<false, false>(name, 0, domain, &check);
  if (domain && check.fault == namefault_t::none) {
    if (name[len - 1] != '.') len++;
    if (len > NAME_MAXTEXT) check.fault = namefault_t::toolong;
  }
  return check;
}

size_t name_read(const char* str, char* out, size_t max, namecheck_t* check) {
  // A name longer than the field is rare: it is scanned again, bounded.
  size_t n = scan<true, false>(str, 0, false, check);
  if (n > max) n = scan<true, true>(str, max, false, check);
  memcpy(out, str, n);
  return n;
}

const char* name_faulttext(namefault_t fault) {
  switch (fault) {
    case namefault_t::none: break;
    case namefault_t::emptylabel: return "has an empty label";
    case namefault_t::finaldot: return "ends with a dot (host names are relative to their domain)";
    case namefault_t::longlabel: return "has a label of more than 63 characters";
    case namefault_t::toolong: return "is longer than 254 characters with its final dot";
  }
  return "";
}

bool name_fits(size_t hostlen, size_t domainlen) { return hostlen + 1 + domainlen <= NAME_MAXTEXT; }

char* name_put(char* p, const char* host, size_t hostlen, const char* domain, size_t domainlen) {
  memcpy(p, host, hostlen);
  p += hostlen;
  *p++ = '.';
  memcpy(p, domain, domainlen);
  return p + domainlen;
}

void name_warnhost(const char* file, int line, const char* name, const namecheck_t& check) {
  TX_ASSERT(name != NULL);
  if (check.hostname) return;
  // Written by hand in one piece: a host file may hold thousands of these
  // names, and printf on the unbuffered standard error costs more than the
  // rest of their host lines.
  static const char why[] =
      "\" is no host name (\"_\", or \"-\" at the start or end of a label): BIND's check-names "
      "refuses it\n";
  size_t filelen = file != nullptr ? strlen(file) : 0;
  size_t namelen = strlen(name);
  linebuf_t msg(filelen + 6 + 20 + 10 + namelen + sizeof why);
  char* p = msg.get();
  if (file != nullptr) {
    p = put_text(p, file, filelen);
    p = put_text(p, " line ", 6);
    p = put_udec(p, uint64_t(line < 0 ? 0 : line), 0);
    p = put_text(p, ": \"", 3);
  } else {
    p = put_text(p, "origin \"", 8);
  }
  p = put_text(p, name, namelen);
  p = put_text(p, why, sizeof why - 1);
  msg.write(p, stderr);
}
