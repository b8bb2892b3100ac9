#include "misc.h"

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "charclass.h"

#define DEFAULT_ORIGIN "example.com."
const char* const default_origin = DEFAULT_ORIGIN;
settings_t settings = {DEFAULT_ORIGIN, 0, '\0', '#', 0, 0, 0, 0, 0, 0, 0, nullptr, 0};
const char* progname = nullptr;
int run_incomplete = 0;

static tx_exit_hook exit_hook = nullptr;
static void (*exit_cleanup)() = nullptr;

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

void tx_assert_fail(const char* cond, const char* file, int line, const char* func) {
  fflush(stdout);
  fprintf(stderr, "%s: %s:%d: %s: Assertion `%s' failed.\n",
          progname ? progname : "tavrix", file, line, func, cond);
  abort();
}

void tx_set_exit_hook(tx_exit_hook hook) { exit_hook = hook; }

tx_exit_cleanup tx_set_exit_cleanup(tx_exit_cleanup cleanup) {
  tx_exit_cleanup before = exit_cleanup;
  exit_cleanup = cleanup;
  return before;
}

void tx_exit(int status) {
  // Taken before it runs, so that a cleanup that fails cannot come back here.
  if (void (*cleanup)() = exit_cleanup) {
    exit_cleanup = nullptr;
    cleanup();
  }
  if (exit_hook) {
    exit_hook(status);
    abort();  // a hook must not return
  }
  exit(status);
}

void tx_catch_fatal_signals(tx_caught_signals* caught, void (*handler)(int)) {
  if (caught->installed) return;
  struct sigaction sa = {};
  sa.sa_handler = handler;
  sa.sa_flags = SA_RESETHAND;
  sigemptyset(&sa.sa_mask);
  for (int sig : tx_fatal_signals) sigaddset(&sa.sa_mask, sig);
  for (size_t i = 0; i < tx_fatal_signals.size(); i++) {
    sigaction(tx_fatal_signals[i], nullptr, &caught->saved[i]);
    // A signal the caller ignores (nohup) stays ignored.
    if (caught->saved[i].sa_handler != SIG_IGN) sigaction(tx_fatal_signals[i], &sa, nullptr);
  }
  caught->installed = true;
}

void tx_release_fatal_signals(tx_caught_signals* caught) {
  if (!caught->installed) return;
  for (size_t i = 0; i < tx_fatal_signals.size(); i++)
    sigaction(tx_fatal_signals[i], &caught->saved[i], nullptr);
  caught->installed = false;
}

const char* skipdelim(const char* line, int delim) {
  TX_ASSERT(line != NULL);
  while (is_space((unsigned char)*line) || (delim != 0 && *line == (char)delim)) line++;
  return line;
}

int isdelim(int c, int delim) {
  if (c == 0) return 0;
  return is_space((unsigned char)c) || (delim != 0 && c == delim);
}

int wordcmp(const char* name, const char* str, const char* separators) {
  int i = 0;
  while (name[i] != '\0' && name[i] == str[i]) i++;
  if (name[i] == '\0' && (str[i] == '\0' || strchr(separators, str[i]) != nullptr)) return 0;
  int k = i;
  while (str[k] != '\0' && strchr(separators, str[k]) == nullptr) k++;
  return k;
}

int ttlfromstr(const char* str, uint64_t* pttl) {
  TX_ASSERT(pttl != NULL);
  *pttl = 0;
  if (str == nullptr) return 0;
  const char* p = str;
  if (*p == '<') p++;
  uint64_t value = 0;
  bool overflow = false;
  while (is_digit((unsigned char)*p)) {
    uint64_t digit = (uint64_t)(*p - '0');
    if (value > (UINT64_MAX - digit) / 10) overflow = true;
    value = value * 10 + digit;
    p++;
  }
  uint64_t factor;
  switch (*p) {
    case 's': factor = 1; break;
    case 'm': factor = 60; break;
    case 'h': factor = 3600; break;
    case 'd': factor = 86400; break;
    case 'w': factor = 604800; break;
    default: errexit("illegal ttl scaling %c\n", *p);
  }
  p++;
  if (*p == '>') p++;
  int count = (int)(p - str);
  // A TTL that wraps, or that servers would read as 0, is refused.
  if (overflow || value > MAXTTL / factor)
    errexit("ttl \"%.*s\" out of range (at most %llu seconds)\n", count, str,
            (unsigned long long)MAXTTL);
  *pttl = value * factor;
  return count;
}

char* ttltostr(char* buf, size_t size, uint64_t ttl) {
  static const struct {
    uint64_t factor;
    const char* letter;
  } units[] = {{604800, "w"}, {86400, "d"}, {3600, "h"}, {60, "m"}};
  uint64_t number = ttl;
  const char* letter = "";
  for (const auto& u : units) {
    if (ttl % u.factor == 0) {
      number = ttl / u.factor;
      letter = u.letter;
      break;
    }
  }
  snprintf(buf, size, "<%lu%s>", (unsigned long)number, letter);
  return buf;
}

void errexit(const char* fmt, ...) {
  if (progname) fprintf(stderr, "%s: ", progname);
  va_list ap;
  va_start(ap, fmt);
  vfprintf(stderr, fmt, ap);
  va_end(ap);
  tx_exit(TX_EXIT_FATAL);
}

void errmsg(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vfprintf(stderr, fmt, ap);
  va_end(ap);
}

void logmsg(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vfprintf(stdout, fmt, ap);
  va_end(ap);
}

void verbmsg(int level, const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  if (settings.verbose >= level) logmsg("%s", buf);
}

void logflush() { fflush(stdout); }

char* str_chop(char* str, int c) {
  TX_ASSERT(str != NULL);
  size_t n = strlen(str);
  while (n > 0 && str[n - 1] == (char)c) str[--n] = '\0';
  return str;
}

char* str_delspace(char* str) {
  if (str == nullptr) return nullptr;
  char* out = str;
  for (const char* in = str; *in; in++)
    if (!is_space((unsigned char)*in)) *out++ = *in;
  *out = '\0';
  return str;
}

int str_inlist(const char* str, const char* const* list, int count) {
  if (list == nullptr || count <= 0) return 1;
  if (str == nullptr || *str == '\0') return 0;
  for (int i = count - 1; i >= 0; i--)
    if (list[i] != nullptr && strcmp(str, list[i]) == 0) return 1;
  return 0;
}

void checkwrite(FILE* fp, const char* name) {
  if (ferror(fp)) {
    int err = errno;
    errexit("error writing %s: %s\n", name, strerror(err != 0 ? err : EIO));
  }
}
