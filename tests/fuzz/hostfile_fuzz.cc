// A whole host file, any bytes, read and turned into records under one of a
// few fixed command lines chosen by the first byte; output goes to
// /dev/null. Every way the run ends must be one of tavrix's statuses.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "driver.h"
#include "fuzzseam.h"

namespace {

using argv_t = std::array<const char*, 16>;

const std::array<argv_t, 9> command_lines = {{
    {"tavrix", "-f", "-p", "2001:db8::/48"},
    {"tavrix", "-r", "-b", "64", "-p", "2001:db8::/48"},
    {"tavrix", "-d", "-p", "2001:db8::/48", "-P", "2001:db8:1::/48", "-P", ""},
    {"tavrix", "-D;", "-f", "-r", "-s", "-p", "2001:db8::/32", "-p", "fd00::/8"},
    {"tavrix", "-v", "-v", "-S", "-t", "1h", "-p", "2001:db8:a::/56", "-p", "2001:db8:b::/64"},
    {"tavrix", "-C%", "-D,", "-o", "example.org", "-b", "80", "-p", "2001:db8:c::/48"},
    {"tavrix", "-f", "-r", "-6", "192.0.2.1", "-p", "::/0", "-p", "2001:db8::1/128"},
    {"tavrix", "-d", "-l", "www", "-D", "-p", "2001:db8::/64", "-P", "2001:db8::/64"},
    {"tavrix", "-d", "-r", "-b", "64", "-o", "example.org", "-p", "2001:db8::/48", "-P",
     "2001:db8:1::/48"},
}};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_start_quiet();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char* path = fuzz_scratch_file("hostfile_fuzz");
  fuzz_write_file(path, data + 1, size - 1);

  const argv_t& chosen = command_lines[data[0] % command_lines.size()];
  std::array<char*, 18> argv{};
  int argc = 0;
  for (const char* a : chosen) {
    if (a == nullptr) break;
    argv[argc++] = const_cast<char*>(a);
  }
  argv[argc++] = const_cast<char*>(path);

  tavrix_reset();
  try {
    fuzz_check_status(tavrix_main(argc, argv.data()));
  } catch (const fuzz_exit& e) {
    fuzz_check_status(e.status);
  }
  clearerr(stdout);
  return 0;
}
