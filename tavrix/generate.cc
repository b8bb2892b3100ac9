#include "generate.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "diag.h"
#include "filep.h"
#include "hostfile.h"
#include "names.h"
#include "records.h"
#include "settings.h"
#include "spool.h"

// Stands in for the scope of prefixes that have none.
static const scope_t default_scope = {"none", nullptr, nullptr, 0, nullptr};

// The record of a host's address on stdout or in its file.
struct target_t {
  FILE* fp;
  const char* name;  // for messages
};

// Whether an update for hostname is to be written: updates go to standard
// output only, and -l picks the one host they are for.
static bool update_wanted(const char* hostname) {
  if (settings.writemode != 0)
    errexit("Views are actually not supported in dynamic update mode\n");
  return settings.lookup == nullptr || strcmp(hostname, settings.lookup) == 0;
}

// The name of hostname in domain, "HOST.DOMAIN", into buf; "" when DNS
// could not hold it.
static const char* host_in_domain(char (&buf)[NAME_MAXTEXT + 1], const char* hostname,
                                  const char* domain) {
  size_t hostlen = strlen(hostname);
  size_t domainlen = strlen(domain);
  if (!name_fits(hostlen, domainlen)) return "";
  *name_put(buf, hostname, hostlen, domain, domainlen) = '\0';
  return buf;
}

static void gen_update(int type, const ip6_t* full, const char* hostname,
                       const char* domain, uint64_t ttl, const char* extra) {
  if (!update_wanted(hostname)) return;
  char owner[NAME_MAXTEXT + 1];
  if (*host_in_domain(owner, hostname, domain) == '\0')
    errexit("owner name of host %s in domain %s is longer than %zu characters\n", hostname,
            domain, NAME_MAXTEXT);
  char line[UPDATE_LINE_MAX + 1];
  char addr[128];
  if (full != nullptr) ip6tosqueezedstr(addr, sizeof addr, full, 1);
  int len = format_update(line, sizeof line, type, owner, ttl, full != nullptr ? addr : nullptr);
  spool_add(domain, line, (size_t)len);
  if (extra != nullptr && *extra != '\0')
    errexit("The extra RR records are  actually not supported in dynamic update mode\n");
}

// The target is written out in full; a name DNS cannot hold is refused
// rather than handed to the zone.
[[noreturn]] static void ptr_target_too_long(const char* hostname, const char* domain) {
  errexit("PTR target of host %s in domain %s is longer than %zu characters\n", hostname,
          domain, NAME_MAXTEXT);
}

// A PTR update of the full address: its owner is the whole ip6.arpa. name,
// its zone the reverse zone of the split.
static void gen_ptr_update(int type, const ip6_t* full, const char* hostname,
                           const char* domain, uint64_t ttl) {
  if (!update_wanted(hostname)) return;
  char target[NAME_MAXTEXT + 1];
  if (*host_in_domain(target, hostname, domain) == '\0') ptr_target_too_long(hostname, domain);
  char owner[ARPA_NAME_MAX];
  char zone[ARPA_NAME_MAX];
  format_arpa_name(owner, full, 32);
  format_arpa_name(zone, full, settings.bits / 4);
  char line[UPDATE_LINE_MAX + 1];
  int len = format_ptr_update(line, sizeof line, type, owner, ttl, target);
  spool_add(zone, line, (size_t)len);
}

// The pooled stream of the forward file of scope sc and domain, its name in
// fname (255 bytes); a failure ends the run.
static FILE* open_forward(char* fname, const scope_t* sc, const char* domain) {
  int n = format_fwd_fname(fname, 255, sc->view, domain);
  if (n >= 255)
    errexit("forward output file name for domain %s is longer than 254 characters\n", domain);
  FILE* fp = filep_open(fname);
  if (fp == nullptr)
    errexit("error in opening forward outputfile %s: %s\n", fname, strerror(errno));
  return fp;
}

// Every forward file the run is responsible for is written, even when no
// host gave it a record: otherwise the file of a view whose last host went
// would keep that host.
void open_forward_files() {
  char fname[255];
  for (prfx_t* e = prfxfirst(); e != nullptr; e = prfxnext()) {
    if (e->prefix == nullptr || e->action != 0) continue;
    const scope_t* sc = e->scope != nullptr ? e->scope : &default_scope;
    open_forward(fname, sc, sc->domain != nullptr ? sc->domain : settings.origin);
  }
}

static void gen_forward(const ip6_t* full, const scope_t* sc, const char* hostname,
                        const char* domain, uint64_t ttl, const char* extra) {
  target_t out = {stdout, "standard output"};
  char fname[255];
  if (settings.writemode != 0) out = {open_forward(fname, sc, domain), fname};
  char addr[128];
  if (settings.squeeze >= 1)
    ip6tosqueezedstr(addr, sizeof addr, full, settings.squeeze >= 2);
  else
    ip6tostr(addr, sizeof addr, full);
  print_forward(out.fp, hostname, ttl, addr);
  if (extra != nullptr && *extra != '\0') fputs_unlocked(extra, out.fp);
  checkwrite(out.fp, out.name);
}

static void gen_rev_dns(const ip6_t* full, const ip6_t* prefix, const scope_t* sc,
                        const char* hostname, const char* domain, uint64_t ttl) {
  int length = ip6getmask(prefix);
  int mask_nibbles = length > 0 ? length / 4 : 0;
  int split = settings.bits / 4;
  unsigned long subnet = 0;
  TX_ASSERT(ip6isset(full) && split <= 32);
  // The nibbles straight from the groups: the accessor's checks per nibble
  // were a good part of a reverse line.
  for (int j = mask_nibbles; j < split; j++)
    subnet = (subnet << 4) | ((full->group[j / 4] >> (4 * (3 - j % 4))) & 0xfu);
  int width = split > mask_nibbles ? split - mask_nibbles : 0;
  if (!name_fits(strlen(hostname), strlen(domain))) ptr_target_too_long(hostname, domain);
  target_t out = {stdout, "standard output"};
  char fname[255];
  if (settings.writemode != 0) {
    int n = format_rev_fname(fname, sizeof fname, sc->view, width, subnet);
    if ((size_t)n >= sizeof fname)
      errexit("reverse output file name for view %s is longer than 254 characters\n",
              sc->view);
    out = {filep_open(fname), fname};
    if (out.fp == nullptr)
      errexit("error in opening reverse outputfile for subnet %0*lx: %s: %s\n", width, subnet,
              fname, strerror(errno));
  }
  print_rev_dns(out.fp, full, split, ttl, hostname, domain, subnet);
  checkwrite(out.fp, out.name);
}

int gen_dns(int type, const ip6_t* prefix, const scope_t* scope, const host_t* host,
            const ip6_t* hostid, ip6_t* subnetid, const char* extra) {
  if (type != GEN_UPDATE_ADD && type != GEN_UPDATE_DEL && type != GEN_FORWARD &&
      type != GEN_REVERSE && type != GEN_PTR_ADD && type != GEN_PTR_DEL)
    errexit("fatal error: illegal gen_dns type %d\n", type);
  const scope_t* sc = scope != nullptr ? scope : &default_scope;
  const char* domain = sc->domain != nullptr ? sc->domain : settings.origin;
  uint64_t ttl = host->ttl != 0 ? host->ttl : settings.ttl;
  if (prefix == nullptr) {
    // The delete entry without prefix removes the host's whole AAAA set, and
    // nothing else.
    if (type == GEN_UPDATE_DEL) gen_update(type, nullptr, host->name, domain, ttl, extra);
    return 1;
  }
  ip6_t full;
  ip6copy(&full, prefix);
  ip6setsbit(subnetid, (int)ip6getebit(&full));
  ip6append(&full, subnetid);
  ip6append(&full, hostid);
  switch (type) {
    case GEN_UPDATE_ADD:
    case GEN_UPDATE_DEL: gen_update(type, &full, host->name, domain, ttl, extra); break;
    case GEN_FORWARD: gen_forward(&full, sc, host->name, domain, ttl, extra); break;
    case GEN_REVERSE: gen_rev_dns(&full, prefix, sc, host->name, domain, ttl); break;
    case GEN_PTR_ADD:
    case GEN_PTR_DEL: gen_ptr_update(type, &full, host->name, domain, ttl); break;
  }
  return 1;
}
