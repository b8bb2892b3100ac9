// The command line, the run driver and the record generator.
#pragma once

#include <cstdio>

#include "hostid.h"
#include "ip6.h"
#include "scope.h"

[[noreturn]] void usage(const char* msg);

// Reads the options into the settings and the prefix list; returns the index
// of the first operand.
int parseoptions(int argc, char** argv);
// What happens after the options; returns the exit status.
int rundriver(int argc, char** argv, int first);
// The whole program.
int tavrix_main(int argc, char** argv);

int gen_dns(int type, const ip6_t* prefix, const scope_t* scope, const host_t* host,
            const ip6_t* hostid, ip6_t* subnetid, const char* extra);

// Every process-wide table and setting back to its start (tests, fuzzing).
void tavrix_reset();
