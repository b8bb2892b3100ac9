#include "filep.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <signal.h>
#include <stdio_ext.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "diag.h"
#include "settings.h"

static std::array<filep_t, HASHSIZE> slots{};
// The slots of the names asked for last, the latest first (-1: none), for
// filep_open.
static std::array<int, 4> recent_slots = {-1, -1, -1, -1};
static int filep_nofiles = 0;
static int concurrency = 0;
static const char* path_format = nullptr;
static const char* open_mode = nullptr;
static mode_t creation_mask = 022;

// The folders the pool writes into. Each is locked from the first file
// there until the run's end, so that two runs never mix their files; its
// descriptor also serves to sync the renames.
struct folder_t {
  dev_t dev;
  ino_t ino;
  int fd;
  char* name;    // owned, for messages
  bool renamed;  // a file in it was replaced or created
};
static std::array<folder_t, HASHSIZE> folders{};
static int folder_count = 0;

// The streams of temporaries have a small stdio buffer and a buffer of
// their own behind it, as large as the memory kept for buffers allows with the
// number of streams open: few streams get large buffers and write in few
// calls, 128 streams together stay within BUFFER_BUDGET. A buffer takes
// its size anew each time it is passed on.
constexpr size_t BUFFER_BUDGET = 640 << 10;
constexpr size_t BUFFER_MIN = 4 << 10;
constexpr size_t BUFFER_MAX = 64 << 10;
// Write-back of a temporary starts every this many bytes, so that the sync
// at the end finds little left to do.
constexpr off_t WRITEBACK_STEP = 1 << 20;
static char compare_buf[16 << 10];
static char stdio_buffers[HASHSIZE][512];

// The bytes of all streams' buffers together, and of the spare ones.
static size_t buffer_total = 0;
static size_t spare_total = 0;
// The streams are being closed for good: what they hold goes to write-back
// at once (not at every closing to make room, which would start it in
// pieces).
static bool committing = false;

// Buffers are mapped, not taken from the heap: their sizes change, and
// memory given back must leave the process rather than the heap in pieces.
// A few buffers of closed streams are kept for the streams opened next
// (under a low limit of descriptors streams close and open all the time),
// as long as the budget allows.
static std::array<char*, 8> spare_buf{};
static std::array<size_t, 8> spare_cap{};

// Unmaps the spare buffers while want more bytes would pass the budget.
static void drop_spares(size_t want) {
  for (size_t i = 0; i < spare_buf.size(); i++) {
    if (spare_buf[i] == nullptr || buffer_total + spare_total + want <= BUFFER_BUDGET) continue;
    munmap(spare_buf[i], spare_cap[i]);
    spare_total -= spare_cap[i];
    spare_buf[i] = nullptr;
  }
}

// The handler of the fatal signals removes the temporaries, which it finds
// in the slots: a slot's temp is only set and cleared with these signals
// blocked.
static tx_caught_signals caught_signals{};
// Once the first file is replaced, the signals stay blocked until the
// process ends (or filep_reset): the run completes, and says so.
static bool commit_blocked = false;
static sigset_t mask_before_commit;

namespace {
// Holds the fatal signals back for its lifetime.
class signal_block {
 public:
  signal_block() {
    sigset_t set = tx_fatal_set();
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

static void restore_handlers() {
  if (commit_blocked) {
    // A signal held back during the commit came too late to stop it.
    sigset_t set = tx_fatal_set();
    sigset_t pending;
    const struct timespec now = {0, 0};
    while (sigpending(&pending) == 0) {
      bool any = false;
      for (int sig = 1; sig < NSIG && !any; sig++)
        any = sigismember(&set, sig) == 1 && sigismember(&pending, sig) == 1;
      if (!any || sigtimedwait(&set, nullptr, &now) < 0) break;
    }
    sigprocmask(SIG_SETMASK, &mask_before_commit, nullptr);
    commit_blocked = false;
  }
  tx_release_fatal_signals(&caught_signals);
}

// A warning of the pool, after the program's name.
__attribute__((format(printf, 1, 2))) static void pool_warning(const char* fmt, ...) {
  if (progname != nullptr) fprintf(stderr, "%s: ", progname);
  va_list ap;
  va_start(ap, fmt);
  vfprintf(stderr, fmt, ap);
  va_end(ap);
}

// Removes a file the run made; a failure is named, as the file stays.
static void remove_temporary(const char* temp) {
  if (unlink(temp) != 0 && errno != ENOENT)
    pool_warning("cannot remove the temporary %s: %s\n", temp, strerror(errno));
}

static void release_folders() {
  for (int i = 0; i < folder_count; i++) {
    close(folders[i].fd);
    free(folders[i].name);
    folders[i] = folder_t{};
  }
  folder_count = 0;
}

// Forgets a slot; its temporary, if any, is removed.
static void discard_slot(filep_t* slot) {
  if (slot->fp != nullptr) fclose(slot->fp);
  {
    signal_block block;
    if (slot->temp != nullptr) remove_temporary(slot->temp);
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
  recent_slots.fill(-1);
  drop_spares(SIZE_MAX / 2);
  filep_nofiles = 0;
  committing = false;
  release_folders();
}

// The sum the slot of a name comes from. Names alike fill runs of slots
// (past the fifth character the factors are multiples of 160), so a probe
// compares the sums before the names.
static uint64_t name_key(const char* name) {
  uint64_t sum = 0;
  uint64_t factor = 1;
  for (const char* p = name; *p != '\0'; p++) {
    sum += (uint64_t)(int64_t)(signed char)*p * factor;
    factor *= 10;
  }
  return sum;
}

int filep_hash(const char* name) { return (int)(name_key(name) % HASHSIZE); }

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

// Writes all n bytes of data to fd; false, with errno set, when it fails.
static bool write_all(int fd, const char* data, size_t n) {
  for (size_t done = 0; done < n;) {
    ssize_t w = write(fd, data + done, n - done);
    if (w > 0) done += size_t(w);
    else if (w == 0) errno = EIO;
    if (w <= 0 && errno != EINTR) return false;
  }
  return true;
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
    ok = write_all(fd, buf, size_t(n));
    if (!ok) break;
  }
  int err = errno;
  close(in);
  errno = err;
  return ok;
}

// The folder part of path: "." for a bare name, "/" for one at the root.
static void folder_of(const char* path, char* buf, size_t size) {
  const char* slash = strrchr(path, '/');
  if (slash == nullptr) snprintf(buf, size, ".");
  else snprintf(buf, size, "%.*s", (int)(slash == path ? 1 : slash - path), path);
}

// The temporaries of a run take the place of the file's name within its
// folder: a dot keeps them out of globs such as zk*, and their length out
// of the way of the 255-byte limit of a name.
static const char temp_prefix[] = ".tavrix.";

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

// Removes what runs that are gone left in a folder whose lock we hold: no
// run still going has a temporary there.
static void remove_leftovers(int dirfd, const char* folder) {
  int fd = dup(dirfd);
  DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
  if (dir == nullptr) {
    if (fd >= 0) close(fd);
    return;
  }
  while (const dirent* e = readdir(dir)) {
    if (strncmp(e->d_name, temp_prefix, sizeof temp_prefix - 1) != 0) continue;
    if (unlinkat(dirfd, e->d_name, 0) != 0 && errno != ENOENT)
      pool_warning("cannot remove the temporary %s/%s: %s\n", folder, e->d_name,
                   strerror(errno));
  }
  closedir(dir);
}

// The index of the locked folder of path, which is locked first when the
// run has no file there yet (waiting for a run that holds it); -1, with
// errno set, when the folder cannot be opened or locked.
static int lock_folder(const char* path) {
  char name[PATH_MAX];
  folder_of(path, name, sizeof name);
  int fd = open(name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  struct stat st;
  if (fd < 0) return -1;
  if (fstat(fd, &st) != 0) {
    int err = errno;
    close(fd);
    errno = err;
    return -1;
  }
  // One folder under two names is one lock: a second flock of our own
  // would wait for the first for ever.
  for (int i = 0; i < folder_count; i++) {
    if (folders[i].dev == st.st_dev && folders[i].ino == st.st_ino) {
      close(fd);
      return i;
    }
  }
  int rc;
  while ((rc = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
  }
  // A file system without locks is written unlocked, as before.
  if (rc != 0 && errno != ENOLCK && errno != EOPNOTSUPP) {
    int err = errno;
    close(fd);
    errno = err;
    return -1;
  }
  char* copy = strdup(name);
  if (copy == nullptr) {
    close(fd);
    errno = ENOMEM;
    return -1;
  }
  // Without a lock a run still going could own the temporaries there.
  if (rc == 0) remove_leftovers(fd, name);
  folders[folder_count] = folder_t{st.st_dev, st.st_ino, fd, copy, false};
  return folder_count++;
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

// A new temporary beside path, its name in *temp (owned) and recorded in
// *slot_temp with the signals blocked; the descriptor, or -1 with errno.
static int make_temporary(const char* path, char** slot_temp) {
  char* temp = descriptor_free() ? temp_template(path) : nullptr;
  if (temp == nullptr) return -1;
  int fd;
  {
    signal_block block;
    fd = mkostemp(temp, O_CLOEXEC);
    if (fd >= 0) *slot_temp = temp;
  }
  if (fd < 0) {
    int err = errno;
    free(temp);
    errno = err;
  }
  return fd;
}

// Drops the temporary and path of a slot whose first open failed, keeping
// errno for the caller.
static FILE* abandon_open(filep_t* slot, int fd) {
  int err = errno;
  if (fd >= 0) close(fd);
  {
    signal_block block;
    if (slot->temp != nullptr) remove_temporary(slot->temp);
    free(slot->temp);
    slot->temp = nullptr;
  }
  free(slot->path);
  slot->path = nullptr;
  slot->state = FILEP_PENDING;
  errno = err;
  return nullptr;
}

// Copies the first s->size bytes of the old file into the temporary, which
// from then on holds the output; the old file is closed. False, with errno
// set, when the copy fails.
static bool diverge(filep_t* s) {
  off_t from = 0;
  while (from < s->size) {
    ssize_t n = copy_file_range(s->ofd, &from, s->tfd, nullptr, size_t(s->size - from), 0);
    if (n > 0) continue;
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)) {
      if (n == 0) errno = EIO;  // the old file shrank under us
      return false;
    }
    // No copy in the kernel between these two: by hand.
    ssize_t r = pread(s->ofd, compare_buf, std::min(sizeof compare_buf, size_t(s->size - from)),
                      from);
    if (r <= 0) {
      if (r < 0 && errno == EINTR) continue;
      if (r == 0) errno = EIO;
      return false;
    }
    if (!write_all(s->tfd, compare_buf, size_t(r))) return false;
    from += r;
  }
  close(s->ofd);
  s->ofd = -1;
  s->diverged = true;
  return true;
}

// Hands the output of s not yet handed to write-back to it; the syncs at
// the end then find little left to do.
static void start_writeback(filep_t* s) {
  if (!s->diverged || s->size <= s->started) return;
  sync_file_range(s->tfd, s->started, s->size - s->started, SYNC_FILE_RANGE_WRITE);
  s->started = s->size;
}

// Passes n bytes of output on: compared with the old file while they match
// it (nothing is written then), else written, starting their write-back
// every WRITEBACK_STEP bytes. False, with errno set, on failure.
static bool emit(filep_t* s, const char* data, size_t n) {
  if (!s->diverged) {
    size_t same = 0;
    while (same < n) {
      size_t want = std::min(n - same, sizeof compare_buf);
      ssize_t got = pread(s->ofd, compare_buf, want, s->size + off_t(same));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return false;
      if (size_t(got) != want || memcmp(compare_buf, data + same, want) != 0) break;
      same += want;
    }
    if (same == n) {
      s->size += off_t(n);
      return true;
    }
    if (!diverge(s)) return false;
  }
  if (!write_all(s->tfd, data, n)) return false;
  s->size += off_t(n);
  if (s->size - s->started >= WRITEBACK_STEP) start_writeback(s);
  return true;
}

// The size of the buffer of s with the number of streams open now, within
// what the other streams' buffers leave of the budget (they shrink to
// their share when they are passed on next).
static size_t buffer_size(const filep_t* s) {
  size_t share = BUFFER_BUDGET / size_t(std::max(filep_nofiles, 1));
  size_t left = BUFFER_BUDGET - std::min(BUFFER_BUDGET, buffer_total - s->cap);
  size_t pages = (std::min(share, left) + BUFFER_MIN / 2) & ~(BUFFER_MIN - 1);
  return std::clamp(pages, BUFFER_MIN, BUFFER_MAX);
}

static void free_buffer(filep_t* s) {
  if (s->buf == nullptr) return;
  size_t i = 0;
  while (i < spare_buf.size() && spare_buf[i] != nullptr) i++;
  if (i < spare_buf.size()) {
    spare_buf[i] = s->buf;
    spare_cap[i] = s->cap;
    spare_total += s->cap;
  } else {
    munmap(s->buf, s->cap);
  }
  buffer_total -= s->cap;
  s->buf = nullptr;
  s->cap = 0;
}

// Gives the buffer of s the size wanted; a change of less than a quarter
// is not worth the allocation. False when memory is short.
static bool resize_buffer(filep_t* s, size_t want) {
  if (s->buf != nullptr && want <= s->cap && want > s->cap - s->cap / 4) return true;
  free_buffer(s);
  // The spare nearest in size, if it is at most a quarter smaller (a
  // buffer that is to grow must not get its old size back) or at most twice
  // as large.
  size_t pick = spare_buf.size();
  for (size_t i = 0; i < spare_buf.size(); i++) {
    if (spare_buf[i] == nullptr || spare_cap[i] < want - want / 4 || spare_cap[i] > want * 2)
      continue;
    auto distance = [want](size_t cap) { return cap > want ? cap - want : want - cap; };
    if (pick == spare_buf.size() || distance(spare_cap[i]) < distance(spare_cap[pick])) pick = i;
  }
  if (pick < spare_buf.size()) {
    s->buf = std::exchange(spare_buf[pick], nullptr);
    s->cap = spare_cap[pick];
    spare_total -= s->cap;
    buffer_total += s->cap;
    return true;
  }
  drop_spares(want);
  void* mem = mmap(nullptr, want, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mem == MAP_FAILED) return false;
  s->buf = static_cast<char*>(mem);
  s->cap = want;
  buffer_total += want;
  return true;
}

// Passes on what the buffer of s holds.
static bool drain(filep_t* s) {
  bool ok = emit(s, s->buf, s->len);
  s->len = 0;
  return ok;
}

static ssize_t temp_write(void* cookie, const char* data, size_t n) {
  filep_t* s = static_cast<filep_t*>(cookie);
  if (s->err == 0 && s->len + n > s->cap) {
    if (!drain(s)) s->err = errno;
    else if (!resize_buffer(s, buffer_size(s))) s->err = ENOMEM;
  }
  if (s->err == 0 && n > s->cap) {
    if (!emit(s, data, n)) s->err = errno;
  } else if (s->err == 0) {
    memcpy(s->buf + s->len, data, n);
    s->len += n;
  }
  if (s->err == 0) return ssize_t(n);
  errno = s->err;
  return -1;
}

static int temp_close(void* cookie) {
  filep_t* s = static_cast<filep_t*>(cookie);
  if (s->err == 0 && !drain(s)) s->err = errno;
  if (s->err == 0 && committing) start_writeback(s);
  free_buffer(s);
  s->len = 0;
  if (close(s->tfd) != 0 && s->err == 0) s->err = errno;
  s->tfd = -1;
  if (s->ofd >= 0) close(s->ofd);
  s->ofd = -1;
  if (s->err == 0) return 0;
  errno = s->err;
  return -1;
}

// The stream of a slot's temporary on its descriptor tfd; the old file is
// opened again while the output still matches it. None, with errno set,
// when that fails (tfd is closed then).
static FILE* temp_stream(filep_t* s, int tfd) {
  static const cookie_io_functions_t io = {nullptr, temp_write, nullptr, temp_close};
  s->tfd = tfd;
  s->ofd = s->diverged ? -1 : open(s->path, O_RDONLY | O_CLOEXEC);
  FILE* fp = nullptr;
  if (s->diverged || s->ofd >= 0) {
    fp = fopencookie(s, "w", io);
    if (fp == nullptr) errno = ENOMEM;
  }
  if (fp != nullptr) {
    // A small stdio buffer in front of ours saves a call per record.
    setvbuf(fp, stdio_buffers[s - slots.data()], _IOFBF, sizeof stdio_buffers[0]);
    // One thread writes the streams: the checks per record need no lock.
    __fsetlocking(fp, FSETLOCKING_BYCALLER);
    return fp;
  }
  int err = errno;
  if (s->ofd >= 0) close(s->ofd);
  s->ofd = -1;
  close(tfd);
  s->tfd = -1;
  errno = err;
  return nullptr;
}

// The stream of a known name closed to make room, opened again.
static FILE* reopen(filep_t* s) {
  if (s->temp == nullptr) return fopen(s->path, "a");
  int fd = open(s->temp, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  if (lseek(fd, 0, SEEK_END) < 0) {
    int err = errno;
    close(fd);
    errno = err;
    return nullptr;
  }
  return temp_stream(s, fd);
}

// Opens the file of a new name. A regular file, or one that does not exist
// yet, is written to a temporary beside it (whose output in mode "a" starts
// as the file, ended by a newline when its last line has none), which takes
// its permissions and, where the process may, its owner. Anything else (a
// device, a FIFO) is opened as it is. None, with errno set, when the file
// could not be written; the slot's name stays free.
static FILE* open_new(filep_t* slot, const char* file) {
  struct stat lst;
  bool link = lstat(file, &lst) == 0 && S_ISLNK(lst.st_mode);
  // A symbolic link stays: what it points to is replaced.
  char* target = link ? realpath(file, nullptr) : nullptr;
  slot->path = target != nullptr ? target : strdup(file);
  if (slot->path == nullptr) return nullptr;
  struct stat st;
  bool exists = stat(slot->path, &st) == 0;
  if (!exists && errno != ENOENT) return abandon_open(slot, -1);
  if (exists && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return abandon_open(slot, -1);
  }
  if (exists && !S_ISREG(st.st_mode)) {
    slot->state = FILEP_DIRECT;
    FILE* fp = fopen(slot->path, open_mode);
    return fp != nullptr ? fp : abandon_open(slot, -1);
  }
  slot->folder = lock_folder(slot->path);
  if (slot->folder < 0) return abandon_open(slot, -1);
  // Another run may have replaced the file while we waited for the lock.
  exists = stat(slot->path, &st) == 0;
  if (!exists && errno != ENOENT) return abandon_open(slot, -1);
  // What the file's own permissions forbid, a rename must not get round.
  if (exists && access(slot->path, W_OK) != 0) return abandon_open(slot, -1);
  int fd = make_temporary(slot->path, &slot->temp);
  if (fd < 0) return abandon_open(slot, -1);
  // The output is compared with the old file from its start (mode "w") or
  // past its end (mode "a", where it starts as the old file).
  slot->diverged = !exists;
  slot->old_size = exists ? st.st_size : -1;
  slot->size = exists && open_mode[0] == 'a' ? st.st_size : 0;
  bool ok;
  if (exists) {
    // The owner and group where the process may set them, else the group
    // alone; a file that stays ours is no failure.
    if (fchown(fd, st.st_uid, st.st_gid) != 0) (void)!fchown(fd, (uid_t)-1, st.st_gid);
    ok = fchmod(fd, st.st_mode & 07777) == 0;
  } else {
    ok = fchmod(fd, 0666 & ~creation_mask) == 0;
  }
  if (!ok) return abandon_open(slot, fd);
  FILE* fp = temp_stream(slot, fd);
  if (fp == nullptr) return abandon_open(slot, -1);
  // A first record glued to a last line without its newline would make
  // one line no server reads.
  char last = '\n';
  if (slot->size > 0 && pread(slot->ofd, &last, 1, slot->size - 1) == 1 && last != '\n')
    fputc_unlocked('\n', fp);
  return fp;
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
  // Records go to a few files in turn: their slots are remembered, latest
  // first, as the sum of a name and the probe for it in a long run of slots
  // would cost more than the line.
  int ind = -1;
  size_t hit = 0;
  while (hit < recent_slots.size() && ind < 0) {
    int r = recent_slots[hit];
    if (r >= 0 && slots[r].name != nullptr && strcmp(slots[r].name, name) == 0) ind = r;
    else hit++;
  }
  if (hit == recent_slots.size()) hit--;
  std::copy_backward(recent_slots.begin(), recent_slots.begin() + hit,
                     recent_slots.begin() + hit + 1);
  uint64_t key = 0;
  if (ind < 0) {
    key = name_key(name);
    ind = (int)(key % HASHSIZE);
    int probes = 0;
    while (slots[ind].name != nullptr &&
           (slots[ind].key != key || strcmp(slots[ind].name, name) != 0)) {
      if (++probes == HASHSIZE) {
        errmsg("Maximum no of file names (%d) reached !\n", HASHSIZE);
        tx_exit(TX_EXIT_POOL);
      }
      ind = (ind + 1) % HASHSIZE;
    }
  }
  recent_slots[0] = ind;
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
  while ((fp = known ? reopen(slot) : open_new(slot, file)) == nullptr &&
         (errno == EMFILE || errno == ENFILE) && filep_nofiles > 0)
    close_nearest(ind);
  if (fp == nullptr) return nullptr;
  if (!known) {
    slot->key = key;
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

// Puts the file at path on the disk; returns 0, or the errno of the failure.
static int sync_path(const char* path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  int err = fd >= 0 && fsync(fd) == 0 ? 0 : errno;
  if (fd >= 0) close(fd);
  return err;
}

// Puts what was written to a temporary on the disk.
static void sync_temp(const filep_t* slot) {
  if (int err = sync_path(slot->temp); err != 0)
    errexit("error writing %s: %s\n", slot->name, strerror(err));
}

// One after the other, each sync of a temporary waits for a flush of the
// disk of its own; a few at once let the file system commit them together.
constexpr int SYNC_THREADS = 4;
static std::atomic<int> sync_next{0};
static std::array<int, HASHSIZE> sync_error{};

// Syncs the temporaries of the slots no thread took yet, keeping each
// failure in sync_error.
static void* sync_worker(void*) {
  for (int i; (i = sync_next.fetch_add(1)) < HASHSIZE;) {
    const char* temp = slots[i].temp;
    if (temp == nullptr) continue;
    sync_error[i] = sync_path(temp);
  }
  return nullptr;
}

// Puts every temporary on the disk; a failure ends the run naming its file.
static void sync_temps() {
  sync_next = 0;
  sync_error.fill(0);
  std::array<pthread_t, SYNC_THREADS - 1> threads;
  size_t started = 0;
  {
    // The fatal signals stay with this thread, whose handler cleans up.
    signal_block block;
    while (started < threads.size() &&
           pthread_create(&threads[started], nullptr, sync_worker, nullptr) == 0)
      started++;
  }
  sync_worker(nullptr);
  for (size_t i = 0; i < started; i++) pthread_join(threads[i], nullptr);
  for (const auto& s : slots) {
    int err = sync_error[size_t(&s - slots.data())];
    // Each thread holds a descriptor: under a tight limit, the files whose
    // thread was refused one are synced here, one after the other.
    if (err == EMFILE || err == ENFILE) sync_temp(&s);
    else if (err != 0) errexit("error writing %s: %s\n", s.name, strerror(err));
  }
}

// Keeps the old content of a slot's file under a name of its own, for a
// file system that cannot exchange two names: a hard link where it can
// make one, else a copy. False, with errno set, when neither works.
static bool keep_old(filep_t* s) {
  int fd = make_temporary(s->path, &s->backup);
  if (fd < 0) return false;
  close(fd);
  // The folder is ours (locked): the name stays free between these two.
  if (unlink(s->backup) == 0 && link(s->path, s->backup) == 0) return true;
  fd = open(s->backup, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  bool ok = fd >= 0 && copy_into(fd, s->path) && fsync(fd) == 0;
  int err = errno;
  if (fd >= 0) close(fd);
  if (!ok) {
    remove_temporary(s->backup);
    free(s->backup);
    s->backup = nullptr;
  }
  errno = err;
  return ok;
}

// Puts the temporary of a slot in its file's place, keeping the old file
// until the commit is done: under the temporary's name (an exchange, in
// one step), or under a backup name. False, with errno set, when the file
// stays as it was.
static bool replace_file(filep_t* s) {
  if (renameat2(AT_FDCWD, s->temp, AT_FDCWD, s->path, RENAME_EXCHANGE) == 0) {
    s->state = FILEP_EXCHANGED;
    return true;
  }
  if (errno == ENOENT) {
    // No file to keep: the run creates it.
    if (renameat2(AT_FDCWD, s->temp, AT_FDCWD, s->path, RENAME_NOREPLACE) != 0 &&
        (errno != EINVAL || rename(s->temp, s->path) != 0))
      return false;
    s->state = FILEP_CREATED;
  } else {
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (!keep_old(s)) return false;
    if (rename(s->temp, s->path) != 0) {
      int err = errno;
      remove_temporary(s->backup);
      free(s->backup);
      s->backup = nullptr;
      errno = err;
      return false;
    }
    s->state = FILEP_BACKED_UP;
  }
  free(s->temp);
  s->temp = nullptr;
  return true;
}

// Gives a replaced file its old content back and removes a created one;
// what the run wrote is removed. False, with errno set, when the file
// keeps what the run wrote.
static bool put_back(filep_t* s) {
  switch (s->state) {
    case FILEP_EXCHANGED:
      if (renameat2(AT_FDCWD, s->temp, AT_FDCWD, s->path, RENAME_EXCHANGE) != 0) return false;
      break;
    case FILEP_BACKED_UP:
      if (rename(s->backup, s->path) != 0) return false;
      free(s->backup);
      s->backup = nullptr;
      break;
    case FILEP_CREATED:
      if (unlink(s->path) != 0) return false;
      break;
    default: return true;
  }
  s->state = FILEP_PENDING;
  return true;
}

// Removes the old content a replaced file was kept under.
static void drop_old(filep_t* s) {
  char** old = s->state == FILEP_EXCHANGED ? &s->temp : &s->backup;
  if (*old == nullptr) return;
  remove_temporary(*old);
  free(*old);
  *old = nullptr;
}

// After a failed replace of failed: every file back as it was, then the
// run ends naming what went wrong.
[[noreturn]] static void undo_commit(const filep_t* failed, int err) {
  pool_warning("error replacing %s: %s\n", failed->name, strerror(err));
  int kept_new = 0;
  for (auto& s : slots) {
    if (put_back(&s)) {
      drop_old(&s);
      continue;
    }
    int put_err = errno;
    kept_new++;
    // The old content is kept where it is, named, and no clean-up removes it:
    // it may be the only copy left.
    char** old = s.state == FILEP_EXCHANGED ? &s.temp : &s.backup;
    if (*old == nullptr) {
      pool_warning("%s could not be put back (%s) and keeps the new content\n", s.name,
                   strerror(put_err));
      continue;
    }
    pool_warning("%s could not be put back (%s) and keeps the new content; its old content "
                 "is in %s\n", s.name, strerror(put_err), *old);
    free(*old);
    *old = nullptr;
  }
  if (kept_new > 0) errexit("%d file(s) were replaced, the others left as they were\n", kept_new);
  errexit("no file was changed\n");
}

// The end of a temporary's output: a file that would not change is left
// alone (true); otherwise the temporary gets the part of the old file the
// output matched, if any.
static bool finish_temp(filep_t* s) {
  if (!s->diverged) {
    if (s->size == s->old_size) return true;
    s->ofd = open(s->path, O_RDONLY | O_CLOEXEC);
    s->tfd = s->ofd >= 0 ? open(s->temp, O_WRONLY | O_CLOEXEC) : -1;
    bool ok = s->tfd >= 0 && diverge(s);
    int err = errno;
    if (ok) start_writeback(s);
    if (s->ofd >= 0) close(s->ofd);
    if (s->tfd >= 0 && close(s->tfd) != 0 && ok) {
      ok = false;
      err = errno;
    }
    s->ofd = s->tfd = -1;
    s->started = 0;
    if (!ok) errexit("error writing %s: %s\n", s->name, strerror(err));
  }
  return false;
}

// What became of each file, one line per file, for scripts.
static void report_files() {
  for (const auto& s : slots) {
    if (s.name == nullptr) continue;
    const char* word = "written";
    switch (s.state) {
      case FILEP_EXCHANGED:
      case FILEP_BACKED_UP: word = open_mode[0] == 'a' ? "appended to" : "replaced"; break;
      case FILEP_CREATED: word = "created"; break;
      case FILEP_UNCHANGED: word = "unchanged"; break;
      default: break;
    }
    errmsg("%s %s\n", word, s.name);
  }
}

int filep_close() {
  // First everything reaches the disk: until the renames, a failure leaves
  // every file as it was. A file that would not change is left alone.
  // Closing every stream first hands all that is left to write-back at once.
  committing = true;
  for (auto& s : slots)
    if (s.fp != nullptr) close_stream(&s);
  committing = false;
  for (auto& s : slots) {
    if (s.temp == nullptr || !finish_temp(&s)) continue;
    signal_block block;
    remove_temporary(s.temp);
    free(s.temp);
    s.temp = nullptr;
    s.state = FILEP_UNCHANGED;
  }
  TX_ASSERT(filep_nofiles == 0);
  sync_temps();
  // From the first rename on, the run completes: a signal no longer stops
  // it and is dropped at the end.
  sigset_t set = tx_fatal_set();
  if (!commit_blocked) sigprocmask(SIG_BLOCK, &set, &mask_before_commit);
  commit_blocked = true;
  for (auto& s : slots) {
    if (s.temp == nullptr) continue;
    if (!replace_file(&s)) undo_commit(&s, errno);
    folders[s.folder].renamed = true;
  }
  for (auto& s : slots) drop_old(&s);
  for (int i = 0; i < folder_count; i++) {
    const folder_t& f = folders[i];
    // A file system that cannot sync a folder (EINVAL) keeps the renames
    // as well as it can.
    if (f.renamed && fsync(f.fd) != 0 && errno != EINVAL)
      errexit("error syncing folder %s: %s; the files were replaced but may not be on the "
              "disk yet\n", f.name, strerror(errno));
  }
  if (settings.verbose >= 1) report_files();
  discard_all();
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
