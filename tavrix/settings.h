// The process-wide run settings, filled by the options, and the program's
// name as messages begin with it.
#pragma once

#include <cstdint>

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
