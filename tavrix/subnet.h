// The table of named subnets.
#pragma once

#include <cstdio>

#include "ip6.h"

constexpr int MAXSUBNET = 100;

struct subnet_t {
  char name[16];
  ip6_t* sid;  // owned heap copy; sbit 48, ebit 64
};

int parsesubnetline(const char* line, int delim);
void subnetput(const char* name, const ip6_t* sid);
const ip6_t* subnetlookup(const char* name);
void dumpsubnet(FILE* out);

int subnetcount();
const subnet_t* subnetget(int index);
// Empties the table and frees its copies (tests and fuzz targets).
void subnet_reset();
