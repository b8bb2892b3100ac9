#include "driver.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "diag.h"
#include "filep.h"
#include "generate.h"
#include "hostfile.h"
#include "hostptr.h"
#include "ip6.h"
#include "options.h"
#include "scope.h"
#include "settings.h"
#include "spool.h"
#include "subnet.h"

void tavrix_reset() {
  settings_reset();
  prfx_reset();
  scope_reset();
  subnet_reset();
  filep_reset();
  ip6_reset();
  spool_reset();
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
  if (settings.writemode != 0 && settings.forward && !settings.ddns) open_forward_files();
  // Files are replaced only by a run that is otherwise done and complete:
  // one that lost input would replace zones by ones without its hosts.
  finish_stdout();
  if (settings.writemode != 0) {
    if (run_incomplete) {
      filep_reset();
      errmsg("%s: no file was changed, as the run was incomplete\n", progname);
    } else {
      filep_close();
    }
  }
  return run_incomplete ? TX_EXIT_PARTIAL : TX_EXIT_OK;
}

int tavrix_main(int argc, char** argv) {
  const char* name = argc > 0 && argv[0] != nullptr ? argv[0] : "tavrix";
  const char* slash = strrchr(name, '/');
  progname = slash ? slash + 1 : name;
  int first = parseoptions(argc, argv);
  return rundriver(argc, argv, first);
}
