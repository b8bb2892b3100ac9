#include "filep.h"

#include <sys/resource.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "misc.h"

static std::array<filep_t, HASHSIZE> slots{};
static int filep_nofiles = 0;
static int concurrency = 0;
static const char* path_format = nullptr;
static const char* open_mode = nullptr;

int filep_hash(const char* name) {
  uint64_t sum = 0;
  uint64_t factor = 1;
  for (const char* p = name; *p != '\0'; p++) {
    sum += (uint64_t)(int64_t)(signed char)*p * factor;
    factor *= 10;
  }
  return (int)(sum % HASHSIZE);
}

int filep_open_count() { return filep_nofiles; }

// A stream the pool gives up must have taken all that was written to it.
static void close_stream(filep_t* slot) {
  FILE* fp = slot->fp;
  slot->fp = nullptr;
  filep_nofiles--;
  bool failed = ferror(fp) != 0;
  int err = errno;
  if (fclose(fp) != 0) {
    failed = true;
    err = errno;
  }
  if (failed) errexit("error writing %s: %s\n", slot->name, strerror(err != 0 ? err : EIO));
}

// Closes the open stream nearest before slot ind (wrapping); one must exist.
static void close_nearest(int ind) {
  int victim = ind;
  do victim = (victim + HASHSIZE - 1) % HASHSIZE;
  while (slots[victim].fp == nullptr);
  close_stream(&slots[victim]);
}

// Ends the run at a limit of the pool. The streams are closed first (and
// checked, like every stream the pool gives up): what the process holds at
// the end is then only what it inherited, so whatever runs at exit, a
// sanitizer's leak check for one, still finds descriptors free.
[[noreturn]] static void pool_limit_exit() {
  for (auto& s : slots)
    if (s.fp != nullptr) close_stream(&s);
  tx_exit(TX_EXIT_POOL);
}

int filep_init(const char* fmt, const char* mode) {
  struct rlimit rl;
  if (getrlimit(RLIMIT_NOFILE, &rl) != 0) {
    errmsg("Can't get max file limit\n");
    return 0;
  }
  filep_nofiles = 0;
  concurrency = (int32_t)rl.rlim_cur - 4;
  path_format = fmt;
  open_mode = mode;
  for (auto& s : slots) s = filep_t{};
  return concurrency;
}

FILE* filep_open(const char* name) {
  int ind = filep_hash(name);
  int probes = 0;
  while (slots[ind].name != nullptr && strcmp(slots[ind].name, name) != 0) {
    if (++probes == HASHSIZE) {
      errmsg("Maximum no of file names (%d) reached !\n", HASHSIZE);
      pool_limit_exit();
    }
    ind = (ind + 1) % HASHSIZE;
  }
  filep_t* slot = &slots[ind];
  if (slot->fp != nullptr) return slot->fp;
  bool known = slot->name != nullptr;
  if (filep_nofiles >= concurrency) {
    if (concurrency <= 0) {
      errmsg("No output file can be opened: the limit of open files is %d\n", concurrency);
      pool_limit_exit();
    }
    close_nearest(ind);
  }
  if (!known && filep_nofiles >= MAXFILES) {
    errmsg("Maximum no of files (%d) reached !\n", filep_nofiles);
    pool_limit_exit();
  }
  char path[255];
  const char* file = name;
  if (path_format != nullptr) {
    snprintf(path, sizeof path, path_format, name);
    file = path;
  }
  FILE* fp;
  // Descriptors the process inherited count against the limit too, so the
  // limit may be reached before the pool's own count says so: make room the
  // same way and try again.
  while ((fp = fopen(file, known ? "a" : open_mode)) == nullptr &&
         (errno == EMFILE || errno == ENFILE) && filep_nofiles > 0)
    close_nearest(ind);
  if (fp == nullptr) return nullptr;
  if (!known) {
    slot->name = strdup(name);
    if (slot->name == nullptr) {
      fclose(fp);
      errexit("%s:%d filep_open(): out of memory\n", __FILE_NAME__, __LINE__);
    }
  }
  slot->fp = fp;
  filep_nofiles++;
  return fp;
}

int filep_close() {
  for (auto& s : slots) {
    if (s.fp != nullptr) close_stream(&s);
    free(s.name);
    s.name = nullptr;
  }
  TX_ASSERT(filep_nofiles == 0);
  return 1;
}

void filep_reset() {
  for (auto& s : slots) {
    if (s.fp != nullptr) fclose(s.fp);
    free(s.name);
    s = filep_t{};
  }
  filep_nofiles = 0;
  concurrency = 0;
  path_format = nullptr;
  open_mode = nullptr;
}

int filep_first(int* ind) {
  for (int i = 0; i < HASHSIZE; i++) {
    if (slots[i].fp != nullptr) {
      *ind = i;
      return 0;
    }
  }
  *ind = HASHSIZE;
  return 1;
}

int filep_next(int* ind) {
  for (int i = *ind + 1; i < HASHSIZE; i++) {
    if (i >= 0 && slots[i].fp != nullptr) {
      *ind = i;
      return 0;
    }
  }
  *ind = (*ind > HASHSIZE - 1 ? *ind : HASHSIZE - 1) + 1;
  return 1;
}

const char* filep_getname(const int* ind) {
  TX_ASSERT(*ind >= 0 && *ind < HASHSIZE);
  return slots[*ind].name;
}

const char* filep_getzone(const int* ind) {
  TX_ASSERT(*ind >= 0 && *ind < HASHSIZE);
  return slots[*ind].zone;
}
