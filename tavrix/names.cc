#include "names.h"

#include <cstring>

#include "misc.h"

namecheck_t name_check(const char* name, bool domain) {
  TX_ASSERT(name != NULL);
  namecheck_t check{namefault_t::none, true};
  const char* label = name;  // start of the current label
  const char* p = name;
  for (;; p++) {
    char c = *p;
    if (c != '.' && c != '\0') {
      if (c == '_') check.hostname = false;
      continue;
    }
    size_t len = size_t(p - label);
    if (len == 0) {
      // Only a domain may end in its final dot; nothing may end with an
      // empty label before it or be empty.
      bool end = c == '\0';
      if (!end || p == name || !domain) {
        if (check.fault == namefault_t::none)
          check.fault = end && p != name ? namefault_t::finaldot : namefault_t::emptylabel;
      }
    } else {
      if (len > NAME_MAXLABEL && check.fault == namefault_t::none)
        check.fault = namefault_t::longlabel;
      if (label[0] == '-' || p[-1] == '-') check.hostname = false;
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
  const char* why =
      "is no host name (\"_\", or \"-\" at the start or end of a label): BIND's check-names "
      "refuses it";
  if (file != nullptr)
    errmsg("%s line %d: \"%s\" %s\n", file, line, name, why);
  else
    errmsg("origin \"%s\" %s\n", name, why);
}
