#include <unistd.h>

#include <cstdio>

#include "driver.h"

// Zone data goes out in large writes when it goes to a file or a pipe; a
// terminal keeps its line buffering.
static char stdout_buffer[1 << 16];

int main(int argc, char** argv) {
  if (!isatty(STDOUT_FILENO)) setvbuf(stdout, stdout_buffer, _IOFBF, sizeof stdout_buffer);
  return tavrix_main(argc, argv);
}
