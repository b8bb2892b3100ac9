#include "filep.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "misc.h"

static std::array<filep_t, HASHSIZE> slots{};
static int filep_nofiles = 0;
static int concurrency = 0;
static const char* path_format = nullptr;
static const char* open_mode = nullptr;
static mode_t creation_mask = 022;

// The handler of the fatal signals removes the temporaries, which it finds
// in the slots: a slot's temp is only set and cleared with these signals
// blocked.
static tx_caught_signals caught_signals{};

namespace {
// Holds the fatal signals back for its lifetime.
class signal_block {
 public:
  signal_block() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : tx_fatal_signals) sigaddset(&set, sig);
    sigprocmask(SIG_BLOCK, &set, &saved_);
  }
  ~signal_block() { sigprocmask(SIG_SETMASK, &saved_, nullptr); }
  signal_block(const signal_block&) = delete;
  signal_block& operator=(const signal_block&) = delete;

 private:
  sigset_t saved_;
};
}  // namespace

static void remove_temporaries_on_signal(int sig) {
  for (const auto& s : slots)
    if (s.temp != nullptr) unlink(s.temp);
  // SA_RESETHAND gave the signal its default action back: once this handler
  // returns, it ends the process as it would have without us.
  raise(sig);
}

static void install_handlers() {
  tx_catch_fatal_signals(&caught_signals, remove_temporaries_on_signal);
}

static void restore_handlers() { tx_release_fatal_signals(&caught_signals); }

// Forgets a slot; its temporary, if any, is removed.
static void discard_slot(filep_t* slot) {
  if (slot->fp != nullptr) fclose(slot->fp);
  {
    signal_block block;
    if (slot->temp != nullptr) unlink(slot->temp);
    free(slot->temp);
    slot->temp = nullptr;
  }
  free(slot->name);
  free(slot->path);
  *slot = filep_t{};
}

// Every way out of a run but its success: the files stay as they were.
static void discard_all() {
  for (auto& s : slots) discard_slot(&s);
  filep_nofiles = 0;
}

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

// Copies the file at path to fd; false, with errno set, when it fails.
static bool copy_into(int fd, const char* path) {
  int in = open(path, O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  char buf[1 << 16];
  bool ok = true;
  for (;;) {
    ssize_t n = read(in, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    for (ssize_t done = 0; ok && done < n;) {
      ssize_t w = write(fd, buf + done, size_t(n - done));
      if (w > 0) done += w;
      else if (errno != EINTR) ok = false;
    }
    if (!ok) break;
  }
  int err = errno;
  close(in);
  errno = err;
  return ok;
}

// The temporary of a file takes the place of the file's name within its
// folder: a dot keeps it out of globs such as zk*, and its length out of
// the way of the 255-byte limit of a name.
static char* temp_template(const char* path) {
  static const char tail[] = ".tavrix.XXXXXX";
  const char* slash = strrchr(path, '/');
  size_t folder = slash != nullptr ? size_t(slash - path) + 1 : 0;
  char* temp = static_cast<char*>(malloc(folder + sizeof tail));
  if (temp == nullptr) return nullptr;
  memcpy(temp, path, folder);
  memcpy(temp + folder, tail, sizeof tail);
  return temp;
}

// Whether the process has a descriptor free, with errno set when not. A
// temporary is made only then: valgrind, for one, creates the file before
// it refuses a descriptor over the limit, and a temporary under a random
// name would stay behind.
static bool descriptor_free() {
  int fd = open("/", O_PATH | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

// Drops the temporary and path of a slot whose first open failed, keeping
// errno for the caller.
static FILE* abandon_open(filep_t* slot, int fd) {
  int err = errno;
  if (fd >= 0) close(fd);
  {
    signal_block block;
    if (slot->temp != nullptr) unlink(slot->temp);
    free(slot->temp);
    slot->temp = nullptr;
  }
  free(slot->path);
  slot->path = nullptr;
  errno = err;
  return nullptr;
}

// Opens the file of a new name. A regular file, or one that does not exist
// yet, is written to a temporary beside it that starts as a copy of it in
// mode "a", and takes its permissions and, where the process may, its owner.
// Anything else (a device, a FIFO) is opened as it is. None, with errno
// set, when the file could not be written; the slot's name stays free.
static FILE* open_new(filep_t* slot, const char* file) {
  struct stat st;
  bool exists = stat(file, &st) == 0;
  if (!exists && errno != ENOENT) return nullptr;
  if (exists && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return nullptr;
  }
  // What the file's own permissions forbid, a rename must not get round.
  if (exists && access(file, W_OK) != 0) return nullptr;
  struct stat lst;
  bool link = lstat(file, &lst) == 0 && S_ISLNK(lst.st_mode);
  // A symbolic link stays: what it points to is replaced.
  slot->path = exists && link ? realpath(file, nullptr) : strdup(file);
  if (slot->path == nullptr) return nullptr;
  if (exists && !S_ISREG(st.st_mode)) {
    FILE* fp = fopen(slot->path, open_mode);
    return fp != nullptr ? fp : abandon_open(slot, -1);
  }
  char* temp = descriptor_free() ? temp_template(slot->path) : nullptr;
  if (temp == nullptr) return abandon_open(slot, -1);
  int fd;
  {
    signal_block block;
    fd = mkostemp(temp, O_CLOEXEC);
    if (fd >= 0) slot->temp = temp;
  }
  if (fd < 0) {
    int err = errno;
    free(temp);
    errno = err;
    return abandon_open(slot, -1);
  }
  bool ok;
  if (exists) {
    // The owner and group where the process may set them, else the group
    // alone; a file that stays ours is no failure.
    if (fchown(fd, st.st_uid, st.st_gid) != 0) (void)!fchown(fd, (uid_t)-1, st.st_gid);
    ok = fchmod(fd, st.st_mode & 07777) == 0;
    if (ok && open_mode[0] == 'a') ok = copy_into(fd, slot->path);
  } else {
    ok = fchmod(fd, 0666 & ~creation_mask) == 0;
  }
  FILE* fp = ok ? fdopen(fd, "w") : nullptr;
  return fp != nullptr ? fp : abandon_open(slot, fd);
}

int filep_init(const char* fmt, const char* mode) {
  struct rlimit rl;
  if (getrlimit(RLIMIT_NOFILE, &rl) != 0) {
    errmsg("Can't get max file limit\n");
    return 0;
  }
  discard_all();
  concurrency = (int32_t)rl.rlim_cur - 4;
  path_format = fmt;
  open_mode = mode;
  creation_mask = umask(0);
  umask(creation_mask);
  install_handlers();
  tx_set_exit_cleanup(discard_all);
  return concurrency;
}

FILE* filep_open(const char* name) {
  int ind = filep_hash(name);
  int probes = 0;
  while (slots[ind].name != nullptr && strcmp(slots[ind].name, name) != 0) {
    if (++probes == HASHSIZE) {
      errmsg("Maximum no of file names (%d) reached !\n", HASHSIZE);
      tx_exit(TX_EXIT_POOL);
    }
    ind = (ind + 1) % HASHSIZE;
  }
  filep_t* slot = &slots[ind];
  if (slot->fp != nullptr) return slot->fp;
  bool known = slot->name != nullptr;
  if (filep_nofiles >= concurrency) {
    if (concurrency <= 0) {
      errmsg("No output file can be opened: the limit of open files is %d\n", concurrency);
      tx_exit(TX_EXIT_POOL);
    }
    close_nearest(ind);
  }
  if (!known && filep_nofiles >= MAXFILES) {
    errmsg("Maximum no of files (%d) reached !\n", filep_nofiles);
    tx_exit(TX_EXIT_POOL);
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
  while ((fp = known ? fopen(slot->temp != nullptr ? slot->temp : slot->path, "a")
                     : open_new(slot, file)) == nullptr &&
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

// Puts what was written to a temporary on the disk.
static void sync_temp(const filep_t* slot) {
  int fd = open(slot->temp, O_RDONLY | O_CLOEXEC);
  if (fd < 0 || fsync(fd) != 0) errexit("error writing %s: %s\n", slot->name, strerror(errno));
  close(fd);
}

// Puts the renames in the folder of path on the disk. A file system that
// cannot sync a folder (EINVAL) keeps them as well as it can.
static void sync_folder(const char* path) {
  const char* slash = strrchr(path, '/');
  char folder[PATH_MAX];
  if (slash == nullptr) strcpy(folder, ".");
  else snprintf(folder, sizeof folder, "%.*s", (int)(slash == path ? 1 : slash - path), path);
  int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0 || (fsync(fd) != 0 && errno != EINVAL))
    errexit("error writing folder %s: %s\n", folder, strerror(errno));
  close(fd);
}

static bool same_folder(const char* a, const char* b) {
  const char* sa = strrchr(a, '/');
  const char* sb = strrchr(b, '/');
  if (sa == nullptr || sb == nullptr) return sa == sb;
  return sa - a == sb - b && memcmp(a, b, size_t(sa - a)) == 0;
}

int filep_close() {
  // First everything reaches the disk: until the renames, a failure leaves
  // every file as it was.
  for (auto& s : slots) {
    if (s.fp != nullptr) close_stream(&s);
    if (s.temp != nullptr) sync_temp(&s);
  }
  TX_ASSERT(filep_nofiles == 0);
  std::array<bool, HASHSIZE> replaced{};
  {
    // A signal waits until all files are replaced.
    signal_block block;
    for (int i = 0; i < HASHSIZE; i++) {
      filep_t* s = &slots[i];
      if (s->temp == nullptr) continue;
      if (rename(s->temp, s->path) != 0)
        errexit("error replacing %s: %s\n", s->name, strerror(errno));
      free(s->temp);
      s->temp = nullptr;
      replaced[i] = true;
    }
  }
  for (int i = 0; i < HASHSIZE; i++) {
    if (!replaced[i]) continue;
    bool synced = false;
    for (int j = 0; j < i && !synced; j++)
      synced = replaced[j] && same_folder(slots[j].path, slots[i].path);
    if (!synced) sync_folder(slots[i].path);
  }
  discard_all();
  restore_handlers();
  tx_set_exit_cleanup(nullptr);
  return 1;
}

void filep_reset() {
  discard_all();
  restore_handlers();
  tx_set_exit_cleanup(nullptr);
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
