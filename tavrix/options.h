// The command line: the options, the usage text and the version text.
#pragma once

// Prints the usage text, with "PROGNAME error: msg" first when msg is
// neither null nor empty, and ends the run: status 0 without a message,
// the usage status with one.
[[noreturn]] void usage(const char* msg);
// usage() with the message formatted from fmt, whole whatever its length;
// when it cannot be formatted or held, "out of memory" instead.
[[noreturn]] void usagef(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Reads the options into the settings and the prefix list; returns the index
// of the first operand.
int parseoptions(int argc, char** argv);
