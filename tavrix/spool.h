// The update spool: the commands of an update run wait in an unlinked
// temporary file until the whole input has been read and every record
// made, then go to standard output one zone per message. A run that ends
// otherwise (a fatal error, a signal, an incomplete run) writes none.
#pragma once

#include <cstddef>

// A "send" goes out before an update line that would take the text since
// the last one past this many bytes: nsupdate refuses a whole message of
// more than 64 KB.
constexpr size_t UPDATE_BATCH_BYTES = 32768;
// The most bytes of commands a zone holds in memory before they go to the
// temporary, and so the longest text spool_add and spool_note take.
constexpr size_t SPOOL_CHUNK = 16384;

// Opens the spool: an unlinked temporary in TMPDIR (unset or empty: /tmp).
// From here until spool_write, every way out of the run says that no
// update was written. A temporary that cannot be made ends the run.
void spool_open();
// Adds the update line (len bytes, ending in a newline) to the commands of
// zone, an absolute domain name. Must not be called while the spool is
// closed, nor given a text longer than SPOOL_CHUNK.
void spool_add(const char* zone, const char* line, size_t len);
// Adds comment lines (len bytes, each beginning with ";" and ending in a
// newline) after the commands spooled last. Must not be called while the
// spool is closed, nor given a text longer than SPOOL_CHUNK.
void spool_note(const char* text, size_t len);
// Writes the spooled commands to standard output, zone by zone in the order
// of their first update, each zone's in the order given, with a "send"
// between zones and where a message would pass UPDATE_BATCH_BYTES, then
// "debug" (with debug set) and the closing "send"; closes the spool. A
// read or write error ends the run. Must not be called while the spool is
// closed.
void spool_write(bool debug);
// Ends a run that wrote nothing: closes the spool and says that no update
// was written. Does nothing when no spool is open.
void spool_discard();
// Whether the spool is open.
bool spool_isopen();
// Forgets everything without a message (tests and fuzz targets).
void spool_reset();
