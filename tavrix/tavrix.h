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

// The lines and file names of gen_dns. Each is written by hand for speed;
// its *_reference twin does the same with the printf family and the zone
// data formats, and the tests hold the two to the same bytes.
void print_forward(FILE* fp, const char* hostname, uint64_t ttl, const char* addr);
void print_forward_reference(FILE* fp, const char* hostname, uint64_t ttl, const char* addr);
// Reads settings.bits: up to 127 the nibbles below the split are written.
void print_rev_dns(FILE* fp, const ip6_t* ip, int split, uint64_t ttl, const char* hostname,
                   const char* origin, unsigned long subnet);
void print_rev_dns_reference(FILE* fp, const ip6_t* ip, int split, uint64_t ttl,
                             const char* hostname, const char* origin, unsigned long subnet);
// An update line into line; addr null gives the delete of the whole set.
// Returns the length, as snprintf does.
int format_update(char* line, size_t size, int type, const char* owner, uint64_t ttl,
                  const char* addr);
int format_update_reference(char* line, size_t size, int type, const char* owner,
                            uint64_t ttl, const char* addr);
// File names of forward and reverse output; return values as snprintf.
int format_fwd_fname(char* buf, size_t size, const char* view, const char* domain);
int format_fwd_fname_reference(char* buf, size_t size, const char* view, const char* domain);
int format_rev_fname(char* buf, size_t size, const char* view, int width,
                     unsigned long subnet);
int format_rev_fname_reference(char* buf, size_t size, const char* view, int width,
                               unsigned long subnet);

// Every process-wide table and setting back to its start (tests, fuzzing).
void tavrix_reset();
