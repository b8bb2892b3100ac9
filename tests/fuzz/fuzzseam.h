// What the tavrix fuzz targets share: the exit seam that turns the end of a
// run into the end of one input, and a scratch file for file-reading code.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "diag.h"

struct fuzz_exit {
  int status;
};

inline void fuzz_exit_hook(int status) { throw fuzz_exit{status}; }

// Zone data would only cost time: it goes to /dev/null, and the end of a
// run ends the input.
inline void fuzz_start_quiet() {
  if (freopen("/dev/null", "w", stdout) == nullptr) abort();
  tx_set_exit_hook(fuzz_exit_hook);
}

// A run may end only with the statuses of a finished or refused run;
// anything else (an assertion aborts before this) is a finding.
inline void fuzz_check_status(int status) {
  if (status != TX_EXIT_OK && status != TX_EXIT_USAGE && status != TX_EXIT_PARTIAL &&
      status != TX_EXIT_POOL && status != TX_EXIT_FATAL) {
    fprintf(stderr, "unexpected exit status %d\n", status);
    abort();
  }
}

// One file per process in $TMPDIR (or /tmp), rewritten for every input.
inline const char* fuzz_scratch_file(const char* stem) {
  static char path[4096];
  if (path[0] == '\0') {
    const char* dir = getenv("TMPDIR");
    snprintf(path, sizeof path, "%s/%s.XXXXXX", dir != nullptr && *dir != '\0' ? dir : "/tmp",
             stem);
    int fd = mkstemp(path);
    if (fd < 0) {
      perror("mkstemp");
      abort();
    }
    close(fd);
  }
  return path;
}

inline void fuzz_write_file(const char* path, const unsigned char* data, size_t size) {
  FILE* fp = fopen(path, "wb");
  if (fp == nullptr || fwrite(data, 1, size, fp) != size || fclose(fp) != 0) {
    perror(path);
    abort();
  }
}

// A NUL-terminated copy of the input (text parsers read up to a NUL).
struct fuzz_text {
  char* str;
  fuzz_text(const unsigned char* data, size_t size) : str(static_cast<char*>(malloc(size + 1))) {
    memcpy(str, data, size);
    str[size] = '\0';
  }
  ~fuzz_text() { free(str); }
  fuzz_text(const fuzz_text&) = delete;
  fuzz_text& operator=(const fuzz_text&) = delete;
};
