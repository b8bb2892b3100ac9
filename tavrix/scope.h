// The prefix list of the command line, the scope table bound to it, the
// per-host used flags, and their dumps.
#pragma once

#include <cstdint>
#include <cstdio>

#include "ip6.h"

constexpr int MAXPRFX = 16;
constexpr int MAXSCOPE = 16;

struct scope_t {
  char name[16];
  char* view;    // owned, or none
  char* domain;  // owned, or none (origin applies)
  int32_t id;    // unique scope id: the first entry with the same view and domain
  ip6_t* prefix; // owned
};

struct prfx_t {
  ip6_t* prefix;   // owned, or none for "-P ''" (delete everything)
  int action;      // 0 add, 1 delete
  scope_t* scope;  // bound scope, not owned, or none
};

int prfxput(const ip6_t* prefix, int action);
int prfxdel(int index);
prfx_t* prfxget(int index);
prfx_t* prfxfirst();
prfx_t* prfxnext();
int prfxcount();
// Empties the prefix list and frees its copies (tests and fuzz targets).
void prfx_reset();

int scopeput(const char* name, const char* view, const char* domain, const ip6_t* prefix);
const scope_t* scopelookup(const char* name);
int parsescopeline(const char* line, int delim);
void scopeclearused();
int scopesetused(int id);
int scopegetused(int id);
void dumpscope(FILE* out);
void dumpprefixlist(FILE* out);

int scopecount();
const scope_t* scopeget(int index);
// Empties the scope table and frees its copies (tests and fuzz targets).
void scope_reset();
