#include "settings.h"

#include <cstdlib>
#include <cstring>

#define DEFAULT_ORIGIN "example.com."
const char* const default_origin = DEFAULT_ORIGIN;
settings_t settings = {DEFAULT_ORIGIN, 0, '\0', '#', 0, 0, 0, 0, 0, 0, 0, nullptr, 0};
const char* progname = nullptr;
int run_incomplete = 0;

// -o copies its argument; the copy is ours to free when it is replaced.
static char* owned_origin = nullptr;

void settings_reset() {
  free(owned_origin);
  owned_origin = nullptr;
  settings = settings_t{};
  settings.origin = default_origin;
  settings.comment = '#';
  progname = nullptr;
  run_incomplete = 0;
}

int settings_setorigin(const char* arg) {
  size_t len = strlen(arg);
  char* origin = static_cast<char*>(malloc(len + 2));
  if (origin == nullptr) return 0;
  memcpy(origin, arg, len + 1);
  if (len == 0 || arg[len - 1] != '.') strcpy(origin + len, ".");
  free(owned_origin);
  owned_origin = origin;
  settings.origin = origin;
  return 1;
}
