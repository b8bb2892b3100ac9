// serialinc's increment on any file content: the file keeps its length,
// only the serial field (the number and the white space after it) changes,
// and it changes into the new serial padded with blanks, leaving a blank
// before what follows; on every error the file stays as it was. Print mode
// reads the same content alongside and finds the serial -u finds.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "serialinc.h"

namespace {

// One file per process in $TMPDIR (or /tmp), rewritten for every input.
const char* scratch() {
  static char path[4096];
  if (path[0] == '\0') {
    const char* dir = getenv("TMPDIR");
    snprintf(path, sizeof path, "%s/serialinc_fuzz.XXXXXX",
             dir != nullptr && *dir != '\0' ? dir : "/tmp");
    int fd = mkstemp(path);
    if (fd < 0) abort();
    fclose(fdopen(fd, "w"));
  }
  return path;
}

std::vector<unsigned char> contents(const char* path) {
  std::vector<unsigned char> bytes;
  FILE* fp = fopen(path, "rb");
  if (fp == nullptr) abort();
  int c;
  while ((c = getc(fp)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
  fclose(fp);
  return bytes;
}

[[noreturn]] void fail(const char* what, int rc) {
  fprintf(stderr, "%s (incserial returned %d)\n", what, rc);
  abort();
}

bool isdigitbyte(unsigned char c) { return c >= '0' && c <= '9'; }
bool isspacebyte(unsigned char c) { return c < 0x80 && isspace(c); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte picks the day, so date serials meet both an older and a
  // newer today.
  if (size == 0) return 0;
  const time_t now = 1136070000 + static_cast<time_t>(data[0]) * 30 * 86400;
  const char* path = scratch();
  FILE* fp = fopen(path, "wb");
  if (fp == nullptr || fwrite(data + 1, 1, size - 1, fp) != size - 1 || fclose(fp) != 0)
    abort();
  const std::vector<unsigned char> before(data + 1, data + size);

  serial_t printed = 0;
  const int printrc = readserial(path, &printed);

  const int rc = incserial(path, now);
  const std::vector<unsigned char> after = contents(path);
  if (after.size() != before.size()) fail("file length changed", rc);
  if (rc != 0) {
    if (rc >= 0 || incerrmsg(rc) == nullptr) fail("unknown code", rc);
    if (after != before) fail("file changed although the increment failed", rc);
    const bool found = rc != SI_EEOF && rc != SI_ENOSERIAL;
    if ((printrc == 0) != found) fail("print mode and -u disagree on finding a serial", rc);
    return 0;
  }

  size_t first = 0;
  while (first < before.size() && before[first] == after[first]) first++;
  if (first == before.size()) fail("success without a change", rc);
  size_t last = before.size() - 1;
  while (before[last] == after[last]) last--;

  // The old field: digits, then white space; it starts after white space
  // or a "(".
  size_t start = first;
  while (start > 0 && isdigitbyte(before[start - 1])) start--;
  if (start == 0 || !(isspacebyte(before[start - 1]) || before[start - 1] == '('))
    fail("field does not follow white space or a parenthesis", rc);
  size_t digits_end = start;
  serial_t old = 0;
  while (digits_end < before.size() && isdigitbyte(before[digits_end]))
    old = old * 10 + (before[digits_end++] - '0');
  if (digits_end == start) fail("changed bytes are no serial", rc);
  size_t end = digits_end;
  while (end < before.size() && isspacebyte(before[end])) end++;
  if (last >= end) fail("a byte after the serial field changed", rc);
  if (end - start < 10) fail("a field narrower than 10 characters was written", rc);

  // The new field: the new serial, then blanks.
  size_t k = start;
  serial_t written = 0;
  while (k < end && isdigitbyte(after[k])) written = written * 10 + (after[k++] - '0');
  if (written != newserial(old, now) || written > SERIAL_MAX) fail("wrong new serial", rc);
  if (printrc != 0 || printed != old) fail("print mode read another serial", rc);
  if (k == end && end < before.size()) fail("the new serial runs into what follows", rc);
  for (; k < end; k++)
    if (after[k] != ' ') fail("field not padded with blanks", rc);
  return 0;
}
