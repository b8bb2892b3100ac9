#include "names.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "misc.h"
#include "textput.h"

namespace {

// The characters a name's check stops at: the ends of labels and the two
// that may keep a name from being a host name. Every other character is
// passed over with one look-up: names are checked once per host line.
constexpr auto stops = [] {
  std::array<bool, 256> t{};
  t['\0'] = t['.'] = t['_'] = t['-'] = true;
  return t;
}();

}  // namespace

namecheck_t name_check(const char* name, bool domain) {
  TX_ASSERT(name != NULL);
  namecheck_t check{namefault_t::none, true};
  const char* label = name;  // start of the current label
  const char* p = name;
  for (;; p++) {
    while (!stops[(unsigned char)*p]) p++;
    char c = *p;
    if (c == '_') {
      check.hostname = false;
      continue;
    }
    if (c == '-') {
      if (p == label || p[1] == '.' || p[1] == '\0') check.hostname = false;
      continue;
    }
    size_t len = size_t(p - label);
    if (check.fault == namefault_t::none) {
      // Only a domain may end in its final dot; nothing may be empty or
      // hold an empty label.
      if (len > NAME_MAXLABEL)
        check.fault = namefault_t::longlabel;
      else if (len == 0 && (c != '\0' || p == name))
        check.fault = namefault_t::emptylabel;
      else if (len == 0 && !domain)
        check.fault = namefault_t::finaldot;
    }
    if (c == '\0') break;
    label = p + 1;
  }
  if (domain && check.fault == namefault_t::none) {
    size_t len = size_t(p - name);
    if (name[len - 1] != '.') len++;
    if (len > NAME_MAXTEXT) check.fault = namefault_t::toolong;
  }
  return check;
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
