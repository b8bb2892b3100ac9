// The pool of output files: many files addressable by name, with only a
// limited number open at once.
#pragma once

#include <cstdio>

constexpr int HASHSIZE = 160;
constexpr int MAXFILES = 128;

struct filep_t {
  FILE* fp;    // open stream, or none while closed or free
  char* name;  // owned; none while the slot is free
  char* zone;  // never set
};

int filep_init(const char* fmt, const char* mode);
FILE* filep_open(const char* name);
int filep_close();
int filep_first(int* ind);
int filep_next(int* ind);
const char* filep_getname(const int* ind);
const char* filep_getzone(const int* ind);

// The slot a name hashes to (exposed for tests).
int filep_hash(const char* name);
// Number of open streams.
int filep_open_count();
// Closes and forgets everything without checking (tests and fuzz targets).
void filep_reset();
