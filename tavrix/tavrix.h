// The command line, the run driver and the record generator.
#pragma once

#include "hostid.h"
#include "ip6.h"
#include "scope.h"

// Prints the usage text, with "PROGNAME error: msg" first when msg is
// neither null nor empty, and ends the run: status 0 without a message,
// the usage status with one.
[[noreturn]] void usage(const char* msg);

// Reads the options into the settings and the prefix list; returns the index
// of the first operand.
int parseoptions(int argc, char** argv);
// What happens after the options; returns the exit status.
int rundriver(int argc, char** argv, int first);
// The whole program.
int tavrix_main(int argc, char** argv);

// The record generator handed to the host file reader: writes the line of
// the given type (GEN_*) for host at the address of prefix, subnetid (whose
// sbit it sets to the prefix's end) and hostid, to standard output or to the
// file of scope (null: none) and subnet, with extra after a forward line;
// update lines (AAAA and PTR) go to the update spool under their zone.
// Returns 1; an unknown type or a name or file name too long is fatal.
// Must not be given an update type while the update spool is closed.
int gen_dns(int type, const ip6_t* prefix, const scope_t* scope, const host_t* host,
            const ip6_t* hostid, ip6_t* subnetid, const char* extra);

// Every process-wide table and setting back to its start (tests, fuzzing).
void tavrix_reset();
