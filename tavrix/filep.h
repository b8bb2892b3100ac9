// The pool of output files: many files addressable by name, with only a
// limited number open at once.
//
// A regular file is never written in place: its lines go to a temporary in
// the same folder, which filep_close puts in the file's place once the run
// has succeeded; should one of these renames fail, the files already
// replaced get their old content back. Any other way out of the process
// (tx_exit, a signal that ends it) removes the temporaries, so a failed run
// leaves every file as it was. Each folder written is locked from the
// run's first file there until its end, so that two runs never mix. A file
// whose new content is its old one is left untouched.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>

// The slots of the pool (file names it can address) and the most files.
constexpr int HASHSIZE = 160;
constexpr int MAXFILES = 128;

// Where a slot's file stands in the commit.
enum filep_state : int {
  FILEP_PENDING = 0,  // not replaced (yet)
  FILEP_EXCHANGED,    // replaced; the old file is under the temporary's name
  FILEP_BACKED_UP,    // replaced; the old file is under the backup name
  FILEP_CREATED,      // made by the run; there was no file before
  FILEP_UNCHANGED,    // the run would write what the file holds: left alone
  FILEP_DIRECT,       // not a regular file (a device, a FIFO): written as it is
};

// A slot of the pool.
struct filep_t {
  FILE* fp;    // open stream, or none while closed or free
  char* name;  // owned; none while the slot is free
  uint64_t key;  // the hash sum of name
  char* zone;  // never set
  char* temp;  // owned: the temporary written in the file's stead; none
               // when the file is not a regular one and is written directly
  char* path;  // owned: the file the temporary replaces at the end
  char* backup;       // owned: the old file's copy or link during the commit
  int folder;         // index of the locked folder of a temporary
  filep_state state;  // the commit's progress for this file
  // The stream of a temporary, kept across its closing to make room:
  int tfd;        // the temporary's descriptor while the stream is open
  int ofd;        // the old file's, while open and the output matches it
  off_t size;     // bytes of output so far (in mode "a", the old ones too)
  off_t old_size; // the old file's length; -1 when there was none
  bool diverged;  // the temporary holds the output; else the old file's
                  // first size bytes are the output, and nothing is written
  int err;        // a write error of the stream, to report at its next use
  off_t started;  // the output up to here was handed to write-back
  char* buf;      // owned: the stream's buffer while open, cap bytes
  size_t cap;
  size_t len;     // bytes in buf
};

// Prepares the pool for file names turned into paths by fmt (one "%s"; null:
// the name is the path), first opened for "w" (replace) or "a" (extend).
// Returns the concurrency limit, or 0 when the open-file limit is unknown.
int filep_init(const char* fmt, const char* mode);
// The stream for name, opened or reopened as needed; none when the file
// cannot be opened. Ends the run with TX_EXIT_POOL at the pool's limits.
FILE* filep_open(const char* name);
// Ends a successful run: every stream is closed, each temporary of a file
// that changes synced to disk and renamed over its file (the others
// removed), and the folders synced; with settings.verbose, a line per file
// on standard error says what became of it; from the first
// rename on, the signals that end a run are held back until the process
// ends. Returns 1; a failure ends the run through errexit, with every file
// as it was (or a message naming those that could not be put back).
int filep_close();
// Puts the slot of the first open stream into *ind; 0, or 1 (and *ind
// HASHSIZE) when none is open.
int filep_first(int* ind);
// Moves *ind to the next open stream; 0, or 1 past the last.
int filep_next(int* ind);
// The name and the zone of slot *ind. Must not be given a slot outside the
// pool.
const char* filep_getname(const int* ind);
const char* filep_getzone(const int* ind);

// The slot a name hashes to (exposed for tests).
int filep_hash(const char* name);
// Number of open streams.
int filep_open_count();
// Closes and forgets everything without checking and removes the
// temporaries, leaving every file as it was (a run that did not complete,
// tests and fuzz targets).
void filep_reset();
