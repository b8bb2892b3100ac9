#include "options.h"

#include <getopt.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "charclass.h"
#include "diag.h"
#include "fields.h"
#include "filep.h"
#include "ip6.h"
#include "names.h"
#include "scope.h"
#include "settings.h"
#include "subnet.h"

static const char* const version_text = "v1.3, free software without any warranty";

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

// The message is measured first, so that none is ever cut.
void usagef(const char* fmt, ...) {
  va_list ap;
  va_list again;
  va_start(ap, fmt);
  va_copy(again, ap);
  int len = vsnprintf(nullptr, 0, fmt, ap);
  va_end(ap);
  std::unique_ptr<char[]> msg;
  if (len >= 0) {
    msg.reset(new (std::nothrow) char[(size_t)len + 1]);
    if (msg) vsnprintf(msg.get(), (size_t)len + 1, fmt, again);
  }
  va_end(again);
  usage(msg ? msg.get() : "out of memory");
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
  int end = 0;
  if (sscanf(arg, "%d.%d.%d.%d%n", &a[0], &a[1], &a[2], &a[3], &end) != 4 || arg[end] != '\0')
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

// Names are written as host "." origin: an origin DNS cannot hold gives
// texts that are not names, and a zone holding them does not load.
static void set_origin(const char* arg) {
  namecheck_t check = name_check(arg, true);
  if (check.fault == namefault_t::emptylabel)
    usagef("illegal origin \"%s\": the origin must name a domain, without empty labels", arg);
  // An origin too long for any name is quoted by its start.
  bool whole = strlen(arg) <= NAME_MAXTEXT;
  if (check.fault != namefault_t::none)
    usagef("illegal origin \"%.*s%s\": the origin %s", whole ? int(NAME_MAXTEXT) : 40, arg,
           whole ? "" : "...", name_faulttext(check.fault));
  name_warnhost(nullptr, 0, arg, check);
  if (!settings_setorigin(arg)) usage("out of memory");
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
      case 'o': set_origin(optarg); break;
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
