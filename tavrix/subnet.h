// The table of named subnets.
#pragma once

#include <cstdio>

#include "ip6.h"

// The most named subnets.
constexpr int MAXSUBNET = 100;

// A named subnet.
struct subnet_t {
  char name[16];
  ip6_t* sid;  // owned heap copy; sbit 48, ebit 64
};

// Reads a subnet line (a name and a subnet ID of the form :N:) and adds
// it; returns 1, or 0 after a warning for a bad field. Must not be given a
// null line.
int parsesubnetline(const char* line, int delim);
// Adds name (cut to 15 characters) with a copy of sid; more than MAXSUBNET
// subnets, or no memory, ends the run. Must not be given a null name or sid.
void subnetput(const char* name, const ip6_t* sid);
// The subnet ID of the first subnet named name, or null.
const ip6_t* subnetlookup(const char* name);
// Writes the table as a %%SUBNET section to out. Must not be given a null
// out.
void dumpsubnet(FILE* out);

// The number of subnets.
int subnetcount();
// Subnet index, or null outside the table.
const subnet_t* subnetget(int index);
// Empties the table and frees its copies (tests and fuzz targets).
void subnet_reset();
