#include "tavrix.h"

#include <getopt.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "charclass.h"
#include "filep.h"
#include "hostfile.h"
#include "hostptr.h"
#include "misc.h"
#include "records.h"
#include "spool.h"
#include "subnet.h"
#include "textput.h"

static const char* const version_text = "v1.3, free software without any warranty";

void tavrix_reset() {
  settings_reset();
  prfx_reset();
  scope_reset();
  subnet_reset();
  filep_reset();
  ip6_reset();
  spool_reset();
}

static void usage_line(const char* fmt) { fprintf(stderr, fmt, progname); }

void usage(const char* msg) {
  if (msg != nullptr && *msg != '\0') {
    fprintf(stderr, "%s error: ", progname);
    fprintf(stderr, "%s\n", msg);
    fprintf(stderr, "\n");
  }
  usage_line("usage: %s -h|-V\n");
  usage_line("usage: %s -R [-b mask] <prefix>|<hostname> [...]\n");
  usage_line("usage: %s [-f] [-s|-S] [-w|-a] [-t ttl] [-D<char>] [-C<char>] "
             "{-p prefix |-6 ipv4addr } [file ...]\n");
  usage_line("usage: %s [-r] [-b mask] [-w|-a] [-t ttl] [-D<char>] [-C<char>] "
             "[-o origin] {-p prefix |-6 ipv4addr } [file ...]\n");
  usage_line("usage: %s -d [-l label] [-t ttl] [-D<char>] [-C<char>] [-o origin] "
             "{-p prefix} {-P prefix} [file ...]\n");
  fputs("\t-h, --help\t\t print out this help message \n"
        "\t-V, --version\t\t print out version and exit \n"
        "\t-R, --revzone\t\t print the ip6.arpa zone of the given prefix \n"
        "\t-v, --verbose\t\t give some hints about what's going on in the background \n"
        "\t\t\t\t use -v more often to increase the verbosity (up to level 2)\n"
        "\t-D, --delim[=char]\t use <char> additionally to white space as delimiter "
        "(default is ';')\n"
        "\t-C, --comment[=char]\t use <char> as comment character (default is '#')\n"
        "\t-s, --squeeze\t\t print ipv6 addresses w/o leading zeros "
        "(like 2001:db8:0:0:0:0:0:1/128)\n"
        "\t-S, --full-squeeze\t compress ipv6 address slightly more (like 2001:db8::1/128)\n"
        "\t-t, --ttl <ttlspec>\t specify ttl of RR (default is none or the host specific one)\n"
        "\t\t\t\t known ttl units are s(ecs), m(ins), h(ours), d(ays) or w(eeks) \n"
        "\t-d, --ddns-update\t print dynamic update messages to stdout (this implies -f) \n"
        "\t-l, --lookup=label\t The update add/del is done only for the host matching "
        "\"label\" \n"
        "\t-f, --forward\t\t generate AAAA records for forward zone only \n"
        "\t-r, --reverse\t\t generate PTR records for reverse zone only\n"
        "\t\t\t\t The default is to generate forward and reverse zone entries\n"
        "\t\t\t\t (The use of the -w switch is highly recommended then)\n"
        "\t-b, --bits[=mask]\t split zone files on <mask> boundary (default is prefix size)\n"
        "\t-w, --write\t\t write output to file instead of stdout\n",
        stderr);
  char fwd[128];
  char rev[128];
  snprintf(fwd, sizeof fwd, "zkd.%s", "<origin>");
  snprintf(rev, sizeof rev, "zkr.%0*lx", 4, 0UL);
  fprintf(stderr, "\t\t\t\t filename is %s for the forward or ", fwd);
  fprintf(stderr, "%s for the reverse zone\n", rev);
  fprintf(stderr, "\t\t\t\t This option potentially generates a lot of files (up to the\n");
  fprintf(stderr, "\t\t\t\t compiled in # of %d)\n", MAXFILES);
  fprintf(stderr, "\t-a, --append\t\t same as -w but append to file instead of overwriting \n");
  fprintf(stderr, "\t-o, --origin=zone\t specify forward domain (default is %s)\n",
          settings.origin);
  fprintf(stderr, "\t-p, --add-prefix=prefix\t network prefix to add (default is %s)\n",
          "2001:db8::/48");
  fputs("\t-P, --del-prefix=prefix\t network prefix to delete (default is none)\n"
        "\t-6, --6to4=ipv4\t\t same as -p but argument is an ipv4 address\n"
        "\t\t\t\t resulting prefix is a 6to4 prefix (2002:ipv4:addr::/48)\n",
        stderr);
  tx_exit(msg != nullptr && *msg != '\0' ? TX_EXIT_USAGE : TX_EXIT_OK);
}

[[noreturn]] static void version() {
  fprintf(stderr, "%s version %s\n", progname, version_text);
  fprintf(stderr, "Generates the IPv6 part of DNS zones from host files\n");
  fprintf(stderr, "compiled for a maximum of \n");
  fprintf(stderr, "\t%5d different prefixes\n", MAXPRFX);
  fprintf(stderr, "\t%5d different scopes\n", MAXSCOPE);
  fprintf(stderr, "\t%5d subnets\n", MAXSUBNET);
  fprintf(stderr, "\t%5d file handles\n", MAXFILES);
  tx_exit(TX_EXIT_OK);
}

// usage() with a message formatted into 128 bytes.
[[noreturn]] __attribute__((format(printf, 1, 2))) static void usagef(const char* fmt, ...) {
  char msg[128];
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(msg, sizeof msg, fmt, ap);
  va_end(ap);
  usage(msg);
}

static void add_prefix(const char* arg, int action) {
  ip6_t prefix;
  // A text from a single ':' (a subnet or host ID form) starts past bit 0
  // and would make every address built from it wrong.
  if (ip6fromstr(&prefix, arg) < 0 || ip6getsbit(&prefix) != 0) usage("illegal prefix");
  prfxput(&prefix, action);
}

static void add_6to4(const char* arg) {
  int a[4];
  if (sscanf(arg, "%d.%d.%d.%d", &a[0], &a[1], &a[2], &a[3]) != 4)
    usagef("Illegal ipv4 address %s\n", arg);
  for (int v : a)
    if (v < 0 || v > 255) usagef("Illegal ipv4 address %s\n", arg);
  char text[128];
  snprintf(text, sizeof text, "2002:%02x%02x:%02x%02x::/48\n", a[0], a[1], a[2], a[3]);
  ip6_t prefix;
  if (ip6fromstr(&prefix, text) < 0) usage("illegal 6to4 prefix");
  prfxput(&prefix, 0);
}

static void set_bits(const char* arg) {
  long v = strtol(arg, nullptr, 10);
  if (v > 128 || v < 0) usage("illegal reverse mask");
  if (v % 4 != 0) usage("Option -b: reverse mask must be on nibble boundary");
  settings.bits = (int)v;
}

static void set_comment(const char* arg) {
  if (arg == nullptr) return;
  char candidate = arg[0];
  if (candidate == settings.delim || cc_in((unsigned char)candidate, CC_SPACE)) {
    errmsg("Option -C '%c' would change the comment char to the delimiter char. "
           "Option skipped\n", candidate);
    return;
  }
  settings.comment = candidate;
}

static const struct option long_options[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"revzone", no_argument, nullptr, 'R'},
    {"verbose", no_argument, nullptr, 'v'},
    {"comment", optional_argument, nullptr, 'C'},
    {"delim", optional_argument, nullptr, 'D'},
    {"write", no_argument, nullptr, 'w'},
    {"append", no_argument, nullptr, 'a'},
    {"forward", no_argument, nullptr, 'f'},
    {"reverse", no_argument, nullptr, 'r'},
    {"bits", required_argument, nullptr, 'b'},
    {"ttl", required_argument, nullptr, 't'},
    {"6to4", required_argument, nullptr, '6'},
    {"origin", required_argument, nullptr, 'o'},
    {"prefix", required_argument, nullptr, 'p'},
    {"prefix-add", required_argument, nullptr, 'p'},
    {"add-prefix", required_argument, nullptr, 'p'},
    {"prefix-remove", required_argument, nullptr, 'P'},
    {"prefix-del", required_argument, nullptr, 'P'},
    {"del-prefix", required_argument, nullptr, 'P'},
    {"ddns-update", no_argument, nullptr, 'd'},
    {"lookup", required_argument, nullptr, 'l'},
    {"squeeze", no_argument, nullptr, 's'},
    {"full-squeeze", no_argument, nullptr, 'S'},
    {nullptr, 0, nullptr, 0},
};

// Names are written as host "." origin: an empty origin, the root alone or
// an empty label (a leading dot, two dots in a row) gives texts that are not
// names, and a zone holding them does not load.
static bool origin_usable(const char* origin) {
  size_t len = strlen(origin);
  if (len == 0 || origin[0] == '.') return false;
  for (size_t i = 1; i < len; i++)
    if (origin[i] == '.' && origin[i - 1] == '.') return false;
  return true;
}

int parseoptions(int argc, char** argv) {
  settings.writemode = 0;
  settings.forward = 0;
  settings.reverse = 0;
  settings.bits = 0;
  opterr = 0;
  optind = 0;  // a full re-initialisation of getopt, for repeated runs in tests
  int c;
  while ((c = getopt_long(argc, argv, ":6:adl:C::D::frb:ho:p:P:RsSt:vVw", long_options,
                          nullptr)) != -1) {
    switch (c) {
      case 'h': usage(nullptr);
      case 'V': version();
      case 'R': settings.revzone = 1; break;
      case 'v': settings.verbose++; break;
      case 'C': set_comment(optarg); break;
      case 'D': settings.delim = optarg ? optarg[0] : ';'; break;
      case 'w': settings.writemode = 1; break;
      case 'a': settings.writemode = 2; break;
      case 'f': settings.forward = 1; break;
      case 'r': settings.reverse = 1; break;
      case 'b': set_bits(optarg); break;
      case 't': ttlfromstr(optarg, &settings.ttl); break;
      case '6': add_6to4(optarg); break;
      case 'o':
        if (!origin_usable(optarg))
          usagef("illegal origin \"%s\": the origin must name a domain, without empty labels",
                 optarg);
        if (!settings_setorigin(optarg)) usage("out of memory");
        break;
      case 'p': add_prefix(optarg, 0); break;
      case 'P':
        if (*optarg == '\0')
          prfxput(nullptr, 1);
        else
          add_prefix(optarg, 1);
        break;
      case 'd':
        settings.ddns = 1;
        settings.forward = 1;
        if (settings.ttl == 0) settings.ttl = 86400;
        break;
      case 'l': settings.lookup = optarg; break;
      case 's': settings.squeeze++; break;
      case 'S': settings.squeeze = 2; break;
      case ':': usagef("option \"-%c\" requires an argument\n", optopt);
      default:
        if (optopt >= 0x20 && optopt < 0x7f)
          usagef("%s: unknown option \"-%c\"\n", progname, optopt);
        usagef("%s: unknown option char \\x%x\n", progname, optopt);
    }
  }
  return optind;
}

// Writing and flushing standard output must have worked for the run to
// count as done.
static void finish_stdout() {
  if (fflush(stdout) != 0 || ferror(stdout)) {
    int err = errno;
    errexit("error writing standard output: %s\n", strerror(err != 0 ? err : EIO));
  }
}

int rundriver(int argc, char** argv, int first) {
  if (settings.revzone) {
    for (int i = first; i < argc; i++) gen_ptr(settings.bits, argv[i]);
    finish_stdout();
    return run_incomplete ? TX_EXIT_PARTIAL : TX_EXIT_OK;
  }
  // The host ID fills bits 64 to 127: it would overwrite the end of a longer
  // prefix and give addresses outside it. -R, above, takes any length.
  for (prfx_t* e = prfxfirst(); e != nullptr; e = prfxnext()) {
    if (e->prefix != nullptr && ip6getmask(e->prefix) > 64) {
      char text[64];
      usagef("a prefix for host addresses may be at most 64 bits long: %s",
             ip6tostr(text, sizeof text, e->prefix));
    }
  }
  if (!settings.forward && !settings.reverse) settings.forward = settings.reverse = 1;
  if (settings.reverse) {
    if (prfxcount() == 0) usage("option -p needed in reverse mode");
    int smallest = 128;
    for (prfx_t* e = prfxfirst(); e != nullptr; e = prfxnext())
      if (e->prefix != nullptr && ip6getmask(e->prefix) < smallest)
        smallest = ip6getmask(e->prefix);
    if (settings.bits < smallest) settings.bits = smallest;
  }
  if (settings.writemode != 0) {
    int limit = filep_init(nullptr, settings.writemode == 1 ? "w" : "a");
    if (settings.verbose >= 1)
      errmsg("No of concurrent open files is %d while %d files in total can be handled\n",
             limit, MAXFILES);
  }
  // Update commands wait until the whole input is read: a run that fails on
  // the way must not have handed half of its updates to a client already.
  if (settings.ddns) spool_open();
  if (first >= argc) {
    parsehostfile("stdin", gen_dns);
  } else {
    for (int i = first; i < argc; i++) parsehostfile(argv[i], gen_dns);
  }
  if (settings.ddns) {
    if (run_incomplete)
      spool_discard();
    else
      spool_write(settings.verbose >= 1);
  }
  // Files are replaced only by a run that is otherwise done.
  finish_stdout();
  if (settings.writemode != 0) filep_close();
  return run_incomplete ? TX_EXIT_PARTIAL : TX_EXIT_OK;
}

int tavrix_main(int argc, char** argv) {
  const char* name = argc > 0 && argv[0] != nullptr ? argv[0] : "tavrix";
  const char* slash = strrchr(name, '/');
  progname = slash ? slash + 1 : name;
  int first = parseoptions(argc, argv);
  return rundriver(argc, argv, first);
}

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

// The name of hostname in domain, "HOST.DOMAIN", into buf: at most 255
// characters and the terminator, or "" when it would be longer.
static const char* host_in_domain(char (&buf)[256], const char* hostname, const char* domain) {
  size_t hostlen = strlen(hostname);
  size_t domainlen = strlen(domain);
  if (hostlen + 1 + domainlen >= sizeof buf) return "";
  char* p = put_text(buf, hostname, hostlen);
  *p++ = '.';
  *put_text(p, domain, domainlen) = '\0';
  return buf;
}

static void gen_update(int type, const ip6_t* full, const char* hostname,
                       const char* domain, uint64_t ttl, const char* extra) {
  if (!update_wanted(hostname)) return;
  char owner[256];
  if (*host_in_domain(owner, hostname, domain) == '\0')
    errexit("owner name of host %s in domain %s is longer than 255 characters\n", hostname,
            domain);
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
static void check_ptr_target(const char* hostname, const char* domain) {
  if (strlen(hostname) + 1 + strlen(domain) > 255)
    errexit("PTR target of host %s in domain %s is longer than 255 characters\n", hostname,
            domain);
}

// A PTR update of the full address: its owner is the whole ip6.arpa. name,
// its zone the reverse zone of the split.
static void gen_ptr_update(int type, const ip6_t* full, const char* hostname,
                           const char* domain, uint64_t ttl) {
  if (!update_wanted(hostname)) return;
  check_ptr_target(hostname, domain);
  char target[256];
  host_in_domain(target, hostname, domain);
  char owner[ARPA_NAME_MAX];
  char zone[ARPA_NAME_MAX];
  format_arpa_name(owner, full, 32);
  format_arpa_name(zone, full, settings.bits / 4);
  char line[UPDATE_LINE_MAX + 1];
  int len = format_ptr_update(line, sizeof line, type, owner, ttl, target);
  spool_add(zone, line, (size_t)len);
}

static void gen_forward(const ip6_t* full, const scope_t* sc, const char* hostname,
                        const char* domain, uint64_t ttl, const char* extra) {
  target_t out = {stdout, "standard output"};
  char fname[255];
  if (settings.writemode != 0) {
    int n = format_fwd_fname(fname, sizeof fname, sc->view, domain);
    if ((size_t)n >= sizeof fname)
      errexit("forward output file name for domain %s is longer than 254 characters\n",
              domain);
    out = {filep_open(fname), fname};
    if (out.fp == nullptr) errexit("error in opening forward outputfile %s\n", fname);
  }
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
  check_ptr_target(hostname, domain);
  target_t out = {stdout, "standard output"};
  char fname[255];
  if (settings.writemode != 0) {
    int n = format_rev_fname(fname, sizeof fname, sc->view, width, subnet);
    if ((size_t)n >= sizeof fname)
      errexit("reverse output file name for view %s is longer than 254 characters\n",
              sc->view);
    out = {filep_open(fname), fname};
    if (out.fp == nullptr)
      errexit("error in opening reverse outputfile for subnet %0*lx\n", width, subnet);
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
