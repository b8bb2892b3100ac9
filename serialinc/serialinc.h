// serialinc: prints the SOA serial numbers of zone files with their reading,
// or increments them in place.
#pragma once

#include <cstdio>
#include <ctime>

// Assertions name the function, the source file, the line and the
// condition, and stay on in every build type.
#define SI_ASSERT(cond) \
  ((cond) ? (void)0 : si_assert_fail(#cond, __FILE__, __LINE__, __func__))
// Reports a failed SI_ASSERT on standard error and aborts.
[[noreturn]] void si_assert_fail(const char* cond, const char* file, int line,
                                 const char* func);

// A serial as read from a zone file; printed and scanned as "%lu".
using serial_t = unsigned long;
static_assert(sizeof(serial_t) >= 8, "serials are 64-bit numbers");

// The largest serial an SOA record can carry (RFC 1035: 32 bits).
constexpr serial_t SERIAL_MAX = 4294967295UL;

// Where the styles begin: below TIME_FIRST a counter, from DATE_FIRST on a
// date YYYYMMDDnn, a Unix time stamp between.
constexpr serial_t SERIAL_TIME_FIRST = 1136070000UL;
constexpr serial_t SERIAL_DATE_FIRST = 2006010101UL;

// Exit statuses.
enum : int {
  SI_EXIT_OK = 0,
  SI_EXIT_USAGE = 1,   // the command line was wrong
  SI_EXIT_FAILED = 2,  // some file could not be handled, or output was lost
};

// Codes of incserial; incerrmsg gives their messages.
enum : int {
  SI_ENOOPEN = -1,   // the file could not be opened for updating
  SI_EEOF = -2,      // the end came before an SOA record
  SI_ENOSERIAL = -3, // no number where the serial belongs
  SI_ENOSPACE = -4,  // the field is too narrow for the new serial
  SI_ECLOSE = -5,    // closing the file failed
  SI_ETOOBIG = -6,   // the new serial would not fit an SOA record
  SI_EWRITE = -7,    // positioning in or writing to the file failed
};
// The message of one of the codes above. Must not be given any other code.
const char* incerrmsg(int code);

// 'i' counter, 's' Unix time stamp, 'd' date with version.
char serialstyle(serial_t serial);

// The serial that follows old at the time now. Saturates instead of
// wrapping; callers check the result against SERIAL_MAX.
serial_t newserial(serial_t old, time_t now);

// Reads a decimal serial made of digits only (no sign, no blanks, at most
// what serial_t holds) from the start of str; returns the number of
// characters consumed, 0 when there is none.
int serialfromstr(const char* str, serial_t* pserial);

// Writes one line to out: name (when not null or empty), serial and its
// reading. Returns 0, or -1 when the stream failed.
int printserial(FILE* out, const char* name, serial_t serial);

// Print mode: the serial of the file at path, read where incserial would
// rewrite it, under a shared lock (where the file system has locks).
// Returns 0, or -1 when the file cannot be read or holds no serial there.
int readserial(const char* path, serial_t* pserial);

// Increment mode: rewrites the serial of the file at path in place, under
// an exclusive lock, and syncs it to the disk. Returns 0 or one of the
// negative codes above; SI_ENOOPEN also for a path that is not a regular
// file, which is not read from.
int incserial(const char* path, time_t now);
// The same on a stream opened for updating, which it closes in any case;
// the stream must allow positioning. It is synced when it has a descriptor.
// Must not be given a null fp.
int incserialfp(FILE* fp, time_t now);

// The clock the command reads; tests hand in their own.
using si_clock = time_t (*)();

// The whole command: options, every file, and the final check of out.
// Messages go to standard error; returns the exit status.
int serialinc_main(int argc, char* const argv[], FILE* out, si_clock clock);

// Writes "<prog>: error on writing standard output: <reason>" to standard
// error (used also by main for the last close of standard output).
void reportoutputerror(const char* prog, int err);
