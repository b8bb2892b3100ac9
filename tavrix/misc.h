// Field scanning, the TTL text form, diagnostics, and the one seam through
// which the process ends.
#pragma once

#include <signal.h>

#include <array>
#include <cstddef>
#include <cstdint>
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

// The signals that end a run from outside, and SIGABRT: their handlers undo
// what a run that did not succeed must not leave behind.
inline constexpr std::array<int, 5> tx_fatal_signals = {SIGHUP, SIGINT, SIGPIPE, SIGTERM,
                                                        SIGABRT};
// The actions that tx_catch_fatal_signals replaced.
struct tx_caught_signals {
  std::array<struct sigaction, tx_fatal_signals.size()> saved;
  bool installed;
};
// Makes handler the action of each fatal signal that the process does not
// ignore, for one delivery (the handler ends by raising its signal again),
// with all of them blocked while it runs; keeps the actions it replaces in
// *caught. Does nothing when *caught holds actions already.
void tx_catch_fatal_signals(tx_caught_signals* caught, void (*handler)(int));
// Puts back the actions kept in *caught; nothing when it holds none.
void tx_release_fatal_signals(tx_caught_signals* caught);

// The process-wide run settings (filled by the options).
struct settings_t {
  const char* origin;
  uint64_t ttl;
  char delim;
  char comment;
  int writemode;
  int forward;
  int reverse;
  int bits;
  int squeeze;
  int verbose;
  int ddns;
  const char* lookup;
  int revzone;
};
extern settings_t settings;
// The program's name as messages begin with it; null until main sets it.
extern const char* progname;
// The origin when -o is not given, "example.com.".
extern const char* const default_origin;

// Set when the run goes on after something it could not do (an input file
// that could not be opened, a line too long, a name without AAAA record):
// the run then ends with TX_EXIT_PARTIAL.
extern int run_incomplete;

// Settings back to their defaults, origin freed (tests and fuzz targets).
void settings_reset();
// -o: the origin becomes the argument, ending in "."; 0 when out of memory.
int settings_setorigin(const char* arg);

// Returns the first character of line past white space and delim (0:
// none). Must not be given a null line.
const char* skipdelim(const char* line, int delim);
// Whether c is white space or delim (0: none); the NUL never is.
int isdelim(int c, int delim);
// 0 when str begins with the word name followed by its end or one of
// separators; otherwise the length of the word str begins with.
int wordcmp(const char* name, const char* str, const char* separators);
// Reads a TTL ("<" optional, digits, one of s m h d w, ">" optional) into
// *pttl in seconds; returns the characters read, 0 for a null str. An
// unknown unit or a TTL above MAXTTL ends the run. Must not be given a
// null pttl.
int ttlfromstr(const char* str, uint64_t* pttl);
// Writes ttl as "<N>" with the largest of the units w d h m that divides
// it (none: seconds) into buf, cut at size; returns buf.
char* ttltostr(char* buf, size_t size, uint64_t ttl);

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

// Removes every c at the end of str, in place; returns str. Must not be
// given a null str.
char* str_chop(char* str, int c);
// Removes every white space character of str, in place; returns str (null
// for null).
char* str_delspace(char* str);
// 1 when str is one of the count texts of list, or when there is no list
// (null or count at most 0); 0 otherwise and for an empty or null str.
int str_inlist(const char* str, const char* const* list, int count);

// Checks that a stream has taken everything written to it; otherwise ends
// the run naming the output and the error. Called after each record.
void checkwrite(FILE* fp, const char* name);

// The largest TTL DNS allows (RFC 2181).
constexpr uint64_t MAXTTL = 2147483647;
