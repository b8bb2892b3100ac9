// Diagnostics, assertions, and the one seam through which the process ends.
#pragma once

#include <signal.h>

#include <array>
#include <cstdio>

// Assertions name the function, the source file, the line and the
// condition, and stay on in every build type.
#define TX_ASSERT(cond) \
  ((cond) ? (void)0 : tx_assert_fail(#cond, __FILE__, __LINE__, __func__))
// Reports a failed TX_ASSERT on standard error (after flushing standard
// output) and aborts.
[[noreturn]] void tx_assert_fail(const char* cond, const char* file, int line,
                                 const char* func);

// Exit statuses of tavrix.
enum : int {
  TX_EXIT_OK = 0,
  TX_EXIT_USAGE = 1,    // the command line was wrong
  TX_EXIT_PARTIAL = 2,  // the run went on, but not everything asked for was done
  TX_EXIT_POOL = 3,     // the output file pool reached its limit
  TX_EXIT_FATAL = 127,  // errexit
};

// Every way out of the process goes through tx_exit. The programs leave the
// hook unset and exit(); tests and fuzz targets install a hook that unwinds
// back to them (it must not return).
using tx_exit_hook = void (*)(int status);
// Installs hook (null: none, the plain exit) for every later tx_exit.
void tx_set_exit_hook(tx_exit_hook hook);
// Work that must be undone on every way out through tx_exit, whatever the
// status (the output pool removes its temporaries). It runs before the
// hook, and must not end the process itself.
using tx_exit_cleanup = void (*)();
// Installs cleanup (null: none) for every later tx_exit; returns the cleanup
// it replaces.
tx_exit_cleanup tx_set_exit_cleanup(tx_exit_cleanup cleanup);
// Ends the process with status, through the hook when one is installed.
[[noreturn]] void tx_exit(int status);

// The signals whose default action ends the process, but the faults of the
// program itself (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS), which
// the sanitizers report: their handlers undo what a run that did not
// succeed must not leave behind. Returns the set.
sigset_t tx_fatal_set();
// The actions that tx_catch_fatal_signals replaced.
struct tx_caught_signals {
  std::array<struct sigaction, NSIG> saved;
  sigset_t caught;
  bool installed;
};
// Makes handler the action of each fatal signal that the process does not
// ignore, for one delivery (the handler ends by raising its signal again),
// with all of them blocked while it runs; keeps the actions it replaces in
// *caught. Does nothing when *caught holds actions already.
void tx_catch_fatal_signals(tx_caught_signals* caught, void (*handler)(int));
void tx_release_fatal_signals(tx_caught_signals* caught);

// A fatal user error: "PROGNAME: " and the message on standard error, then
// the run ends with TX_EXIT_FATAL.
[[noreturn]] void errexit(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// A warning on standard error; the run goes on.
void errmsg(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// A message on standard output.
void logmsg(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// logmsg when settings.verbose is at least level; cut at 511 characters.
void verbmsg(int level, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
// Flushes standard output.
void logflush();

// Checks that a stream has taken everything written to it; otherwise ends
// the run naming the output and the error. Called after each record.
void checkwrite(FILE* fp, const char* name);
