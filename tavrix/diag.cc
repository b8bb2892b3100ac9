#include "diag.h"

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "settings.h"

static tx_exit_hook exit_hook = nullptr;
static void (*exit_cleanup)() = nullptr;

void tx_assert_fail(const char* cond, const char* file, int line, const char* func) {
  fflush(stdout);
  fprintf(stderr, "%s: %s:%d: %s: Assertion `%s' failed.\n",
          progname ? progname : "tavrix", file, line, func, cond);
  abort();
}

void tx_set_exit_hook(tx_exit_hook hook) { exit_hook = hook; }

tx_exit_cleanup tx_set_exit_cleanup(tx_exit_cleanup cleanup) {
  tx_exit_cleanup before = exit_cleanup;
  exit_cleanup = cleanup;
  return before;
}

void tx_exit(int status) {
  // Taken before it runs, so that a cleanup that fails cannot come back here.
  if (void (*cleanup)() = exit_cleanup) {
    exit_cleanup = nullptr;
    cleanup();
  }
  if (exit_hook) {
    exit_hook(status);
    abort();  // a hook must not return
  }
  exit(status);
}

sigset_t tx_fatal_set() {
  static const int named[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGABRT, SIGPIPE,   SIGALRM,
                              SIGTERM, SIGUSR1, SIGUSR2, SIGPOLL, SIGPROF,   SIGVTALRM,
                              SIGXCPU, SIGXFSZ, SIGPWR,  SIGSTKFLT};
  sigset_t set;
  sigemptyset(&set);
  for (int sig : named) sigaddset(&set, sig);
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; sig++) sigaddset(&set, sig);
  return set;
}

void tx_catch_fatal_signals(tx_caught_signals* caught, void (*handler)(int)) {
  if (caught->installed) return;
  struct sigaction sa = {};
  sa.sa_handler = handler;
  sa.sa_flags = SA_RESETHAND;
  sa.sa_mask = tx_fatal_set();
  sigemptyset(&caught->caught);
  for (int sig = 1; sig < NSIG; sig++) {
    if (sigismember(&sa.sa_mask, sig) != 1) continue;
    // A signal the caller ignores (nohup) stays ignored; one the system
    // keeps for itself (valgrind takes some) is left alone.
    if (sigaction(sig, nullptr, &caught->saved[sig]) != 0) continue;
    if (caught->saved[sig].sa_handler == SIG_IGN) continue;
    if (sigaction(sig, &sa, nullptr) == 0) sigaddset(&caught->caught, sig);
  }
  caught->installed = true;
}

void tx_release_fatal_signals(tx_caught_signals* caught) {
  if (!caught->installed) return;
  for (int sig = 1; sig < NSIG; sig++)
    if (sigismember(&caught->caught, sig) == 1) sigaction(sig, &caught->saved[sig], nullptr);
  caught->installed = false;
}

void errexit(const char* fmt, ...) {
  if (progname) fprintf(stderr, "%s: ", progname);
  va_list ap;
  va_start(ap, fmt);
  vfprintf(stderr, fmt, ap);
  va_end(ap);
  tx_exit(TX_EXIT_FATAL);
}

void errmsg(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vfprintf(stderr, fmt, ap);
  va_end(ap);
}

void logmsg(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vfprintf(stdout, fmt, ap);
  va_end(ap);
}

void verbmsg(int level, const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  if (settings.verbose >= level) logmsg("%s", buf);
}

void logflush() { fflush(stdout); }

void checkwrite(FILE* fp, const char* name) {
  if (ferror(fp)) {
    int err = errno;
    errexit("error writing %s: %s\n", name, strerror(err != 0 ? err : EIO));
  }
}
