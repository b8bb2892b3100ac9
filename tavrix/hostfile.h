// The host file reader: sections, comments, debug commands, host lines and
// their continuation lines; offers every host to a record generator.
#pragma once

#include "hostid.h"
#include "ip6.h"
#include "scope.h"

// Record types handed to the generator.
enum : int {
  GEN_UPDATE_ADD = 'd',
  GEN_UPDATE_DEL = 'D',
  GEN_FORWARD = 'f',
  GEN_REVERSE = 'r',
};

using generator_t = int (*)(int type, const ip6_t* prefix, const scope_t* scope,
                            const host_t* host, const ip6_t* hostid, ip6_t* subnetid,
                            const char* extra);

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

int parsehostfile(const char* fname, generator_t gen);
int parsehostline(hostline_t* hl, const char* line, int delim);
