// The host file reader: sections, comments, debug commands, host lines and
// their continuation lines; offers every host to a record generator.
#pragma once

#include <cstddef>
#include <cstdio>

#include "hostid.h"
#include "ip6.h"
#include "scope.h"

// Record types handed to the generator.
enum : int {
  GEN_UPDATE_ADD = 'd',
  GEN_UPDATE_DEL = 'D',
  GEN_FORWARD = 'f',
  GEN_REVERSE = 'r',
  GEN_PTR_ADD = 'p',  // update mode's reverse records
  GEN_PTR_DEL = 'P',
};

// The record generator the reader calls for every host, prefix-list entry
// and kind of output (gen_dns in the program).
using generator_t = int (*)(int type, const ip6_t* prefix, const scope_t* scope,
                            const host_t* host, const ip6_t* hostid, ip6_t* subnetid,
                            const char* extra);

// The line buffer, the longest scope list and the longest continuation
// text of a host.
constexpr int LINEBUFSIZE = 512;
constexpr int MAXSCOPELIST = 128;
constexpr int MAXEXTRA = 1534;

// What one host line holds.
struct hostline_t {
  host_t host;
  ip6_t hostid;
  ip6_t subnetid;
  char scopelist[MAXSCOPELIST + 1];
  char extra[MAXEXTRA + 1];
};

// Reads the host file fname ("stdin", "-", null or empty: standard input)
// and calls gen for each host; returns 1, or 0 after a warning (and
// run_incomplete set) when the file cannot be opened. A bad line ends the
// run naming the file and line.
int parsehostfile(const char* fname, generator_t gen);
// Reads a host line (name, optional TTL, host ID, subnet ID, optional
// scope list; no scope list is "*") into hl; returns 1, or 0 after a
// warning when the host ID or subnet ID is missing.
int parsehostline(hostline_t* hl, const char* line, int delim);

// The lines of one input, read through a buffer of the reader's own: a
// character at a time through the stream, the reading of a line was most
// of the cost of a host. A regular file is read in large blocks; any other
// input (a pipe, a terminal) a line at a time, so that each host is handled
// as soon as its line has come.
constexpr size_t READBUFSIZE = 65536;
struct linereader_t {
  FILE* fp;
  bool whole;  // a regular file
  bool eof;
  size_t pos;  // next character to hand out
  size_t end;  // end of what has been read
  char buf[READBUFSIZE];
};

// What reading a line gave.
enum class readresult_t { line, too_long, eof };

// Starts reading fp, in blocks when it is a regular file.
void linereader_init(linereader_t* r, FILE* fp);
// One line into line (LINEBUFSIZE bytes) without its newline and the
// carriage return before it. A line of more than LINEBUFSIZE - 2 characters
// is read to its end and dropped.
readresult_t linereader_line(linereader_t* r, char* line);
// The continuation lines ("^...") after a host line, joined into extra
// (MAXEXTRA + 1 bytes); counts the lines it takes. False when they hold
// more than MAXEXTRA characters.
bool linereader_extra(linereader_t* r, char* extra, int* lineno);

