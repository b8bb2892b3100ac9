#include "serialinc.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// Zone files are read in lines of at most this many bytes, the line break
// and the terminating null included; longer lines come in pieces.
constexpr size_t LINESIZE = 4096;

void si_assert_fail(const char* cond, const char* file, int line, const char* func) {
  fflush(stdout);
  fprintf(stderr, "serialinc: %s:%d: %s: Assertion `%s' failed.\n", file, line, func, cond);
  abort();
}

static constexpr std::array<const char*, 7> incerrmsgs = {
    "couldn't open zone file for modifying",
    "unexpected end of file",
    "no serial number found in zone file",
    "not enough space left for serialno",
    "error on closing zone file",
    "serial number would exceed 4294967295",
    "error on positioning in or writing to zone file",
};

const char* incerrmsg(int code) {
  SI_ASSERT(code < 0 && static_cast<size_t>(-code) <= incerrmsgs.size());
  return incerrmsgs[static_cast<size_t>(-code) - 1];
}

char serialstyle(serial_t serial) {
  if (serial < SERIAL_TIME_FIRST) return 'i';
  if (serial < SERIAL_DATE_FIRST) return 's';
  return 'd';
}

serial_t newserial(serial_t old, time_t now) {
  serial_t base = old;
  switch (serialstyle(old)) {
    case 's':
      // Never back and never the same: a clock set back, or two runs in
      // one second, still give a larger serial.
      if (now > 0 && static_cast<serial_t>(now) > base) base = static_cast<serial_t>(now);
      break;
    case 'd': {
      // gmtime fails only for clocks far outside any calendar; the old
      // serial then simply counts on.
      const struct tm* tm = gmtime(&now);
      if (tm != nullptr) {
        long long today =
            ((tm->tm_year + 1900LL) * 10000 + (tm->tm_mon + 1) * 100 + tm->tm_mday) * 100;
        if (today > 0 && static_cast<serial_t>(today) > base) base = static_cast<serial_t>(today);
      }
      break;
    }
    default:
      break;
  }
  return base == ULONG_MAX ? base : base + 1;
}

static int digitvalue(int c) { return c - '0'; }

// Appends a digit to *pvalue; false when the result would not fit.
static bool appenddigit(serial_t* pvalue, int digit) {
  const auto d = static_cast<serial_t>(digit);
  if (*pvalue > (ULONG_MAX - d) / 10) return false;
  *pvalue = *pvalue * 10 + d;
  return true;
}

int serialfromstr(const char* str, serial_t* pserial) {
  serial_t value = 0;
  int n = 0;
  for (; isdigit(static_cast<unsigned char>(str[n])); ++n)
    if (!appenddigit(&value, digitvalue(str[n]))) return 0;
  if (n > 0) *pserial = value;
  return n;
}

int printserial(FILE* out, const char* name, serial_t serial) {
  bool ok = true;
  if (name != nullptr && name[0] != '\0') ok = fprintf(out, "%-30s\t", name) >= 0;
  ok = fprintf(out, "%10lu", serial) >= 0 && ok;
  switch (serialstyle(serial)) {
    case 's': {
      const time_t when = static_cast<time_t>(serial);
      // Time stamps lie between 2005 and 2033: always a calendar date, and
      // in the C locale the text takes 26 characters.
      const struct tm* tm = localtime(&when);
      SI_ASSERT(tm != nullptr);
      char buf[32];
      const size_t n = strftime(buf, sizeof buf, "%b %d %Y %T %z", tm);
      SI_ASSERT(n > 0);
      ok = fprintf(out, "\t%s\n", buf) >= 0 && ok;
      break;
    }
    case 'd':
      ok = fprintf(out, "\t%d-%02d-%02d Version %02d\n",
                   static_cast<int32_t>(serial / 1000000),
                   static_cast<int>(serial / 10000 % 100),
                   static_cast<int>(serial / 100 % 100),
                   static_cast<int>(serial % 100)) >= 0 && ok;
      break;
    default:
      ok = fputc('\n', out) != EOF && ok;
      break;
  }
  return ok ? 0 : -1;
}

// Reads up to and including the next line break, at most size - 1 bytes,
// and terminates the text; returns the number of bytes read, which counts
// null bytes too (0 at the end of the file or on a read error).
static size_t readline(FILE* fp, char* buf, size_t size) {
  size_t len = 0;
  while (len + 1 < size) {
    const int c = getc(fp);
    if (c == EOF) break;
    buf[len++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  buf[len] = '\0';
  return len;
}

// Reads white space, line breaks included, and puts back what follows it.
static void skipspace(FILE* fp) {
  int c;
  while ((c = getc(fp)) != EOF && isspace(c)) {
  }
  if (c != EOF) ungetc(c, fp);
}

// Reads the digits at the stream position and puts back what follows
// them; returns how many there were with their value, 0 when there are
// none or they do not fit.
static long readdigits(FILE* fp, serial_t* pserial) {
  serial_t value = 0;
  long count = 0;
  bool fits = true;
  int c;
  while ((c = getc(fp)) != EOF && isdigit(c)) {
    ++count;
    fits = fits && appenddigit(&value, digitvalue(c));
  }
  if (c != EOF) ungetc(c, fp);
  if (count == 0 || !fits) return 0;
  *pserial = value;
  return count;
}

// Reads white space and comments, line breaks included, and puts back
// what follows them; incomment says the stream stands inside a comment.
static void skipcomments(FILE* fp, bool incomment) {
  int c;
  while ((c = getc(fp)) != EOF) {
    if (c == '\n') {
      incomment = false;
    } else if (c == ';') {
      incomment = true;
    } else if (!incomment && !isspace(c)) {
      ungetc(c, fp);
      return;
    }
  }
}

// Waits for the lock on fd. Returns false only when locking failed for
// another reason than a file system without locks, where the run goes on
// unlocked as it always did.
static bool lockfile(int fd, int operation) {
  while (flock(fd, operation) != 0) {
    if (errno == EINTR) continue;
    return errno == ENOLCK || errno == EOPNOTSUPP;
  }
  return true;
}

static int lowerbyte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x80 ? tolower(u) : u;
}

// Whether c ends a field of zone data: white space or a parenthesis.
static bool isfieldend(char c) { return isspace(static_cast<unsigned char>(c)) || c == '(' || c == ')'; }

// Where word (in lower case) first stands as a field of its own in
// line[from, len), compared without regard to case; -1 when it does not.
// A word inside a longer one ("insoa", "soa.example.") is no class or type.
static long findfield(const char* line, size_t from, size_t len, const char* word) {
  const size_t wlen = strlen(word);
  for (size_t i = from; i + wlen <= len; ++i) {
    if (i > 0 && !isfieldend(line[i - 1])) continue;
    size_t k = 0;
    while (k < wlen && lowerbyte(line[i + k]) == word[k]) ++k;
    if (k == wlen && (i + k == len || isfieldend(line[i + k]))) return static_cast<long>(i);
  }
  return -1;
}

static bool isblankbyte(char c) { return c == ' ' || c == '\t'; }

// Where the text of a line stands at the end of one of its pieces; a line
// break ends every state.
struct scanstate {
  bool instring = false;   // inside a quoted string
  bool incomment = false;  // after a ";" outside quoted strings
  bool escaped = false;    // after a backslash
};

// Stands for a byte that is data but neither part of a word to look for
// nor a break between fields.
constexpr char HIDDEN = '"';

// Masks line[0, len) in place, going on from *st: comments become blanks,
// quoted strings and escaped bytes become HIDDEN. What is left is the zone
// data outside strings, with its fields and line break where they were.
static void maskline(char* line, size_t len, scanstate* st) {
  for (size_t i = 0; i < len; ++i) {
    char& c = line[i];
    if (c == '\n') {
      *st = scanstate{};
    } else if (st->incomment) {
      c = ' ';
    } else if (st->escaped) {
      st->escaped = false;
      c = HIDDEN;
    } else if (c == '\\') {
      st->escaped = true;
      c = HIDDEN;
    } else if (st->instring) {
      st->instring = c != '"';
      c = HIDDEN;
    } else if (c == '"') {
      st->instring = true;
      c = HIDDEN;
    } else if (c == ';') {
      st->incomment = true;
      c = ' ';
    }
  }
}

// For a masked line, how many bytes the file position, just after the
// line, must move back to stand before the serial: 0 when the serial
// follows on later lines; -1 when this is no SOA line.
static long soaback(const char* line, size_t len) {
  const long in = findfield(line, 0, len, "in");
  if (in < 0) return -1;
  const long soa = findfield(line, static_cast<size_t>(in) + 2, len, "soa");
  if (soa < 0) return -1;

  size_t last = len;
  while (last > 0 && isspace(static_cast<unsigned char>(line[last - 1]))) --last;
  if (last > 0 && line[last - 1] == '(') return 0;

  // The serial follows the name server and the mailbox on this line, after
  // the "(" when the record's parentheses open there.
  size_t pos = static_cast<size_t>(soa) + 3;
  for (int field = 0; field < 2; ++field) {
    while (pos < len && isblankbyte(line[pos])) ++pos;
    while (pos < len && !isblankbyte(line[pos])) ++pos;
  }
  size_t paren = pos;
  while (paren < len && isblankbyte(line[paren])) ++paren;
  if (paren < len && line[paren] == '(') pos = paren + 1;
  const size_t distance = len - pos;
  if (distance == 0) return -1;
  return distance == 1 ? 0 : static_cast<long>(distance);
}

// The one reading of where the serial is, for printing and incrementing
// alike: finds the SOA record, passes over comments and reads the serial,
// leaving fp just after its *pdigits digits. Returns 0, SI_EEOF,
// SI_ENOSERIAL, or SI_EWRITE when positioning fails.
static int scanserial(FILE* fp, serial_t* pserial, long* pdigits) {
  char line[LINESIZE];
  scanstate st;
  long back = -1;
  size_t len;
  while (back < 0 && (len = readline(fp, line, sizeof line)) > 0) {
    maskline(line, len, &st);
    back = soaback(line, len);
  }
  // A read error ends the search like the end of the file; so does an SOA
  // line that is the last line and has no line break.
  if (back < 0 || feof(fp) || ferror(fp)) return SI_EEOF;
  if (back > 0 && fseek(fp, -back, SEEK_CUR) != 0) return SI_EWRITE;
  // Moved back, the stream stands before the line's comment.
  skipcomments(fp, back == 0 && st.incomment);
  *pdigits = readdigits(fp, pserial);
  return *pdigits > 0 ? 0 : SI_ENOSERIAL;
}

int readserial(const char* path, serial_t* pserial) {
  FILE* fp = fopen(path, "r");
  if (fp == nullptr) return -1;
  // An increment in progress finishes first: its serial is never seen half
  // written. A stream that cannot be locked is still read.
  lockfile(fileno(fp), LOCK_SH);
  long digits;
  const int rc = scanserial(fp, pserial, &digits) == 0 ? 0 : -1;
  // Only read from: a failing close cannot lose anything.
  fclose(fp);
  return rc;
}

// Closes fp and returns code, or SI_ECLOSE when closing fails.
static int closewith(FILE* fp, int code) { return fclose(fp) == 0 ? code : SI_ECLOSE; }

static long decimaldigits(serial_t serial) {
  long n = 1;
  while (serial >= 10) {
    serial /= 10;
    ++n;
  }
  return n;
}

// Writes serial left-justified and padded with spaces to width bytes.
static bool writefield(FILE* fp, serial_t serial, long width) {
  const int head = width > INT_MAX ? INT_MAX : static_cast<int>(width);
  bool ok = fprintf(fp, "%-*lu", head, serial) >= 0;
  for (long i = head; ok && i < width; ++i) ok = putc(' ', fp) != EOF;
  return ok;
}

int incserialfp(FILE* fp, time_t now) {
  SI_ASSERT(fp != nullptr);
  serial_t old;
  long digits;
  const int rc = scanserial(fp, &old, &digits);
  if (rc != 0) return closewith(fp, rc);
  const long after = ftell(fp);
  if (after < 0) return closewith(fp, SI_EWRITE);
  const long start = after - digits;
  skipspace(fp);
  const bool endsfile = feof(fp) != 0;
  const long end = ftell(fp);
  if (end < 0) return closewith(fp, SI_EWRITE);

  // The field is the old number with all the white space after it; the
  // new number must fit it and leave a blank between it and what follows,
  // unless nothing does.
  const long width = end - start;
  if (width < 10) return closewith(fp, SI_ENOSPACE);
  const serial_t serial = newserial(old, now);
  if (decimaldigits(serial) > (endsfile ? width : width - 1)) return closewith(fp, SI_ENOSPACE);
  if (serial > SERIAL_MAX) return closewith(fp, SI_ETOOBIG);

  if (fseek(fp, start, SEEK_SET) != 0 || !writefield(fp, serial, width) || fflush(fp) != 0)
    return closewith(fp, SI_EWRITE);
  // The file counts as done once the new serial is on the disk; a stream
  // without a descriptor has no disk to reach.
  const int fd = fileno(fp);
  if (fd >= 0 && fsync(fd) != 0) return closewith(fp, SI_EWRITE);
  return closewith(fp, 0);
}

int incserial(const char* path, time_t now) {
  // Updated in place, so that the file keeps its inode, owner, mode and
  // hard links. Opened without waiting, so that a FIFO or a device is
  // refused before anything is read from it.
  const int fd = open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return SI_ENOOPEN;
  struct stat st;
  // The lock is held from before the serial is read until the new one is
  // on the disk and the file closed: concurrent increments take turns.
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 || !lockfile(fd, LOCK_EX)) {
    close(fd);
    return SI_ENOOPEN;
  }
  FILE* fp = fdopen(fd, "r+");
  if (fp == nullptr) {
    close(fd);
    return SI_ENOOPEN;
  }
  return incserialfp(fp, now);
}

void reportoutputerror(const char* prog, int err) {
  fprintf(stderr, "%s: error on writing standard output: %s\n", prog, strerror(err));
}

// Messages on standard error go unchecked: every one of them comes with a
// failing exit status already, and there is nowhere left to report to.
static void usage(const char* prog) {
  fprintf(stderr, "usage: %s {-s serial | [-u] zonefile [...]}\n", prog);
}

static int usageerror(const char* prog, const char* msg) {
  if (msg != nullptr) fprintf(stderr, "%s\n", msg);
  usage(prog);
  return SI_EXIT_USAGE;
}

// Keeps the first write error of out; errno may be stale after a stream
// that failed earlier, hence the fallback.
static void noteoutput(int* perr, bool failed) {
  if (failed && *perr == 0) *perr = errno != 0 ? errno : EIO;
}

// Ends the run's output: everything out holds must be written.
static int finishoutput(FILE* out, const char* prog, int err, int status) {
  noteoutput(&err, fflush(out) != 0);
  noteoutput(&err, ferror(out) != 0);
  if (err == 0) return status;
  reportoutputerror(prog, err);
  return SI_EXIT_FAILED;
}

int serialinc_main(int argc, char* const argv[], FILE* out, si_clock clock) {
  const char* prog = argc > 0 && argv[0] != nullptr ? argv[0] : "serialinc";
  if (argc < 2) return usageerror(prog, nullptr);

  int first = 1;
  bool increment = false;
  const char* opt = argv[1];
  if (opt[0] == '-') {
    if (opt[1] == 's') {
      if (argc != 3) return usageerror(prog, "Option -s requires an argument");
      serial_t serial;
      const int n = serialfromstr(argv[2], &serial);
      if (n == 0 || argv[2][n] != '\0') return usageerror(prog, "serial must be a decimal number");
      int err = 0;
      errno = 0;
      noteoutput(&err, printserial(out, nullptr, serial) != 0);
      return finishoutput(out, prog, err, SI_EXIT_OK);
    }
    if (opt[1] != 'u') return usageerror(prog, "illegal option");
    increment = true;
    first = 2;
  }

  int status = SI_EXIT_OK;
  int err = 0;
  for (int i = first; i < argc; ++i) {
    const char* path = argv[i];
    if (increment) {
      const int rc = incserial(path, clock());
      if (rc != 0) {
        fprintf(stderr, "Can not increment serial number in %s\n", path);
        fprintf(stderr, "error %d:  %s\n", rc, incerrmsg(rc));
        status = SI_EXIT_FAILED;
      }
      continue;
    }
    serial_t serial;
    if (readserial(path, &serial) != 0) {
      // Lines already printed come first when both streams share a terminal.
      noteoutput(&err, fflush(out) != 0);
      fprintf(stderr, "couldn't read serial number from file %s\n", path);
      status = SI_EXIT_FAILED;
      continue;
    }
    errno = 0;
    noteoutput(&err, printserial(out, path, serial) != 0);
  }
  return finishoutput(out, prog, err, status);
}
