#include "serialinc.h"

#include <cerrno>

static time_t now() { return time(nullptr); }

int main(int argc, char** argv) {
  int status = serialinc_main(argc, argv, stdout, now);
  // The output was flushed and checked; only the close itself is left,
  // and an error already reported is not reported twice.
  const bool reported = ferror(stdout) != 0;
  if (fclose(stdout) != 0 && !reported) {
    reportoutputerror(argc > 0 && argv[0] != nullptr ? argv[0] : "serialinc", errno);
    status = SI_EXIT_FAILED;
  }
  return status;
}
