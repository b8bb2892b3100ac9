#include "spool.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "diag.h"
#include "settings.h"

namespace {

// Each zone collects its commands in a buffer of SPOOL_CHUNK bytes, which
// goes to the temporary as one block when it is full. Many zones share at
// most SPOOL_BUFFERS buffers: a zone that needs one then takes that of the
// zone written to least recently, whose commands go to the temporary first.
constexpr size_t SPOOL_BUFFERS = 64;

// A stretch of one zone's commands in the temporary, or none (len 0).
struct block_t {
  uint64_t off;
  uint64_t len;
};

// A block in the temporary begins with the place of the zone's next block,
// filled in when that is written: the zones' chains of blocks stay out of
// memory however many there are.
constexpr size_t BLOCK_HEAD = sizeof(block_t);

// One zone: its name, its first and last block in the temporary, and its
// commands since the last block.
struct zone_t {
  char* name;
  size_t namelen;
  block_t first;
  block_t last;
  char* buf;    // BLOCK_HEAD + SPOOL_CHUNK bytes, the commands after the
                // head; or none
  size_t used;  // bytes of commands in buf
  uint64_t last_use;  // when a command was last added
};

int spool_fd = -1;
uint64_t spool_size = 0;
// The zones in the order of their first command; the comments of a run's
// start, before any update, have a zone of their own with the empty name.
std::vector<zone_t> zones;
std::unordered_map<std::string_view, size_t> zone_index;
size_t last_zone = SIZE_MAX;
uint64_t uses = 0;
// The zones that hold a buffer.
std::array<size_t, SPOOL_BUFFERS> buffered;
size_t buffers = 0;

tx_exit_cleanup outer_cleanup = nullptr;
char discard_note[256];
size_t discard_note_len = 0;

tx_caught_signals caught_signals{};

void note_on_signal(int sig) {
  ssize_t n = write(STDERR_FILENO, discard_note, discard_note_len);
  (void)n;
  // SA_RESETHAND gave the signal its default action back.
  raise(sig);
}

[[noreturn]] void spool_failed(const char* what, int err) {
  errexit("error %s the update spool: %s\n", what, strerror(err != 0 ? err : EIO));
}

// The temporary, unlinked from the start: nothing is left behind however the
// run ends. O_TMPFILE makes it without a name where the file system can.
int make_temporary() {
  const char* dir = getenv("TMPDIR");
  if (dir == nullptr || *dir == '\0') dir = "/tmp";
  int fd = open(dir, O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    std::vector<char> path(strlen(dir) + sizeof "/tavrix-updates.XXXXXX");
    snprintf(path.data(), path.size(), "%s/tavrix-updates.XXXXXX", dir);
    fd = mkostemp(path.data(), O_CLOEXEC);
    if (fd >= 0) unlink(path.data());
  }
  if (fd < 0) errexit("cannot make the update spool in %s: %s\n", dir, strerror(errno));
  return fd;
}

// Moves len bytes between p and the temporary at off with io (pread or
// pwrite), however many calls that takes; a failure ends the run, named by
// what, and a call that moves nothing counts as the error none.
template <typename Buffer, typename Io>
void transfer(Io io, Buffer* p, size_t len, uint64_t off, const char* what, int none) {
  while (len > 0) {
    ssize_t n = io(spool_fd, p, len, off_t(off));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) spool_failed(what, n < 0 ? errno : none);
    p += n;
    off += uint64_t(n);
    len -= size_t(n);
  }
}

void put(const char* p, size_t len, uint64_t off) {
  transfer(pwrite, p, len, off, "writing", ENOSPC);
}

void get(char* p, size_t len, uint64_t off) {
  transfer(pread, p, len, off, "reading", EIO);
}

// Writes the commands in z's buffer as its next block, with an empty head,
// and links the block before it to it.
void write_block(zone_t* z) {
  const block_t none = {0, 0};
  const block_t block = {spool_size, z->used};
  memcpy(z->buf, &none, BLOCK_HEAD);
  put(z->buf, BLOCK_HEAD + z->used, spool_size);
  spool_size += BLOCK_HEAD + z->used;
  if (z->first.len == 0)
    z->first = block;
  else
    put(reinterpret_cast<const char*>(&block), BLOCK_HEAD, z->last.off);
  z->last = block;
  z->used = 0;
}

// A buffer for zone z: a new one while there are fewer than SPOOL_BUFFERS,
// else the one of the zone least recently written to.
void give_buffer(size_t zi) {
  if (buffers < SPOOL_BUFFERS) {
    zones[zi].buf = static_cast<char*>(malloc(BLOCK_HEAD + SPOOL_CHUNK));
    if (zones[zi].buf == nullptr) errexit("out of memory for the update spool\n");
    buffered[buffers++] = zi;
    return;
  }
  size_t oldest = 0;
  for (size_t i = 1; i < buffers; i++)
    if (zones[buffered[i]].last_use < zones[buffered[oldest]].last_use) oldest = i;
  zone_t* from = &zones[buffered[oldest]];
  if (from->used > 0) write_block(from);
  zones[zi].buf = from->buf;
  from->buf = nullptr;
  buffered[oldest] = zi;
}

size_t zone_of(const char* name) {
  size_t len = strlen(name);
  if (last_zone != SIZE_MAX && zones[last_zone].namelen == len &&
      memcmp(zones[last_zone].name, name, len) == 0)
    return last_zone;
  auto it = zone_index.find(std::string_view(name, len));
  if (it != zone_index.end()) return it->second;
  char* copy = strdup(name);
  if (copy == nullptr) errexit("out of memory for the update spool\n");
  zones.push_back({copy, len, {0, 0}, {0, 0}, nullptr, 0, 0});
  zone_index.emplace(std::string_view(copy, len), zones.size() - 1);
  return zones.size() - 1;
}

// Appends text to zone z, whose buffer it makes when needed.
void append(size_t zi, const char* text, size_t len) {
  TX_ASSERT(spool_fd >= 0);
  TX_ASSERT(len <= SPOOL_CHUNK);
  if (zones[zi].buf == nullptr) give_buffer(zi);
  zone_t* z = &zones[zi];
  z->last_use = ++uses;
  if (z->used + len > SPOOL_CHUNK) write_block(z);
  memcpy(z->buf + BLOCK_HEAD + z->used, text, len);
  z->used += len;
  last_zone = zi;
}

void forget() {
  if (spool_fd >= 0) close(spool_fd);
  spool_fd = -1;
  spool_size = 0;
  for (auto& z : zones) {
    free(z.name);
    free(z.buf);
  }
  zones.clear();
  zone_index.clear();
  last_zone = SIZE_MAX;
  uses = 0;
  buffers = 0;
}

// Every way out through tx_exit before the commands went out; tx_exit has
// taken this cleanup already, and runs the one it replaced from here.
void discard_on_exit() {
  tx_exit_cleanup outer = outer_cleanup;
  outer_cleanup = nullptr;
  tx_release_fatal_signals(&caught_signals);
  forget();
  fwrite(discard_note, 1, discard_note_len, stderr);
  if (outer != nullptr) outer();
}

// Gives back what spool_open took over.
void release() {
  tx_release_fatal_signals(&caught_signals);
  tx_set_exit_cleanup(outer_cleanup);
  outer_cleanup = nullptr;
}

// Writes the commands of one zone, a "send" before a line that would take
// the message past UPDATE_BATCH_BYTES. Comment lines go out as they are and
// count for nothing.
struct sender_t {
  size_t bytes = 0;  // update text since the last "send"
  char buf[BLOCK_HEAD + SPOOL_CHUNK];

  void line(const char* p, size_t len) {
    if (p[0] != ';') {
      if (bytes > 0 && bytes + len > UPDATE_BATCH_BYTES) send();
      bytes += len;
    }
    fwrite_unlocked(p, 1, len, stdout);
  }
  void send() {
    fputs_unlocked("send\n", stdout);
    bytes = 0;
  }
  void text(const char* p, size_t len) {
    const char* end = p + len;
    while (p < end) {
      const char* nl = static_cast<const char*>(memchr(p, '\n', size_t(end - p)));
      size_t n = nl != nullptr ? size_t(nl - p) + 1 : size_t(end - p);
      line(p, n);
      p += n;
    }
    checkwrite(stdout, "standard output");
  }
  void zone(const zone_t* z) {
    for (block_t b = z->first; b.len > 0;) {
      // A length no block can have: the temporary was changed under us.
      if (b.len > SPOOL_CHUNK) spool_failed("reading", EIO);
      get(buf, BLOCK_HEAD + b.len, b.off);
      text(buf + BLOCK_HEAD, b.len);
      memcpy(&b, buf, BLOCK_HEAD);
    }
    if (z->buf != nullptr) text(z->buf + BLOCK_HEAD, z->used);
  }
};

}  // namespace

void spool_open() {
  TX_ASSERT(spool_fd < 0 && !caught_signals.installed);
  int n = snprintf(discard_note, sizeof discard_note, "%s: no update was written\n",
                   progname != nullptr ? progname : "tavrix");
  discard_note_len = n > 0 && size_t(n) < sizeof discard_note ? size_t(n) : 0;
  // The note is due from the moment the temporary may exist.
  tx_catch_fatal_signals(&caught_signals, note_on_signal);
  outer_cleanup = tx_set_exit_cleanup(discard_on_exit);
  spool_fd = make_temporary();
}

void spool_add(const char* zone, const char* line, size_t len) {
  append(zone_of(zone), line, len);
}

void spool_note(const char* text, size_t len) {
  append(last_zone != SIZE_MAX ? last_zone : zone_of(""), text, len);
}

void spool_write(bool debug) {
  TX_ASSERT(spool_fd >= 0);
  // From here on the commands go out: a failure says so itself.
  release();
  static sender_t out;
  out.bytes = 0;
  for (const zone_t& z : zones) {
    if (out.bytes > 0) out.send();
    out.zone(&z);
  }
  if (debug) fputs_unlocked("debug\n", stdout);
  out.send();
  checkwrite(stdout, "standard output");
  forget();
}

void spool_discard() {
  if (spool_fd < 0) return;
  forget();
  release();
  fwrite(discard_note, 1, discard_note_len, stderr);
}

bool spool_isopen() { return spool_fd >= 0; }

void spool_reset() {
  if (spool_fd < 0 && !caught_signals.installed) return;
  forget();
  release();
}
