// Field scanning, the TTL text form, diagnostics, and the one seam through
// which the process ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Assertions name the function, the source file, the line and the
// condition, and stay on in every build type.
#define TX_ASSERT(cond) \
  ((cond) ? (void)0 : tx_assert_fail(#cond, __FILE__, __LINE__, __func__))
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
void tx_set_exit_hook(tx_exit_hook hook);
// Work that must be undone on every way out through tx_exit, whatever the
// status (the output pool removes its temporaries); null for none. It runs
// before the hook, and must not end the process itself.
void tx_set_exit_cleanup(void (*cleanup)());
[[noreturn]] void tx_exit(int status);

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
extern const char* progname;
extern const char* const default_origin;

// Set when the run goes on after something it could not do (an input file
// that could not be opened, a line too long, a name without AAAA record):
// the run then ends with TX_EXIT_PARTIAL.
extern int run_incomplete;

// Settings back to their defaults, origin freed (tests and fuzz targets).
void settings_reset();
// -o: the origin becomes the argument, ending in "."; 0 when out of memory.
int settings_setorigin(const char* arg);

const char* skipdelim(const char* line, int delim);
int isdelim(int c, int delim);
int wordcmp(const char* name, const char* str, const char* separators);
int ttlfromstr(const char* str, uint64_t* pttl);
char* ttltostr(char* buf, size_t size, uint64_t ttl);

[[noreturn]] void errexit(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void errmsg(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void logmsg(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void verbmsg(int level, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void logflush();

char* str_chop(char* str, int c);
char* str_delspace(char* str);
int str_inlist(const char* str, const char* const* list, int count);

// Checks that a stream has taken everything written to it; otherwise ends
// the run naming the output and the error. Called after each record.
void checkwrite(FILE* fp, const char* name);

// The largest TTL DNS allows (RFC 2181).
constexpr uint64_t MAXTTL = 2147483647;
