// The prefix list of the command line, the scope table bound to it, the
// per-host used flags, and their dumps.
#pragma once

#include <cstdint>
#include <cstdio>

#include "ip6.h"

// The most prefixes on the command line and scopes in host files.
constexpr int MAXPRFX = 16;
constexpr int MAXSCOPE = 16;

// A scope: a view and a domain for the addresses inside a prefix.
struct scope_t {
  char name[16];
  char* view;    // owned, or none
  char* domain;  // owned, or none (origin applies)
  int32_t id;    // unique scope id: the first entry with the same view and domain
  ip6_t* prefix; // owned
};

// An entry of the prefix list.
struct prfx_t {
  ip6_t* prefix;   // owned, or none for "-P ''" (delete everything)
  int action;      // 0 add, 1 delete
  scope_t* scope;  // bound scope, not owned, or none
};

// Appends a copy of prefix (null: the delete of everything) with action,
// unbound; a prefix already listed is skipped with a warning. Returns the
// number of entries; more than MAXPRFX, or no memory, ends the run.
int prfxput(const ip6_t* prefix, int action);
// Removes entry index (outside the list: the last one), the last entry
// taking its place; returns the number left.
int prfxdel(int index);
// Entry index, or null outside the list.
prfx_t* prfxget(int index);
// Starts the one walk over the list; returns the first entry or null.
prfx_t* prfxfirst();
// The next entry of the walk, or null at its end.
prfx_t* prfxnext();
// The number of entries.
int prfxcount();
// Empties the prefix list and frees its copies (tests and fuzz targets).
void prfx_reset();

// Adds a scope (view "", "*" or "none": no view; domain "": none) with
// copies of its texts and prefix, gives it the id of the first scope with
// the same view and domain, and binds it to every unbound prefix-list entry
// its prefix covers. Returns the number of scopes; more than MAXSCOPE, or
// no memory, ends the run. Must not be given a null name, view or domain.
int scopeput(const char* name, const char* view, const char* domain, const ip6_t* prefix);
// The scope named name, or null.
const scope_t* scopelookup(const char* name);
// Reads a scope line (name, view, domain, prefix of at most 64 bits) and
// adds the scope, a relative domain placed below the origin; returns 1, or
// 0 after a warning for a bad field or a domain with an empty label or a
// label too long. A domain too long for DNS ends the run. Must not be
// given a null line.
int parsescopeline(const char* line, int delim);
// Clears the used flags of every scope id, at the start of a host.
void scopeclearused();
// Marks id as used for the current host; returns whether it was already
// (0 for an id outside the table).
int scopesetused(int id);
// Whether id is used for the current host; -1 for an id outside the table.
int scopegetused(int id);
// Writes the scope table as a %%SCOPE section to out. Must not be given a
// null out.
void dumpscope(FILE* out);
// Writes the prefix list with actions and bound scopes to out; an add entry
// without prefix ends the run. Must not be given a null out.
void dumpprefixlist(FILE* out);

// The number of scopes.
int scopecount();
// Scope index, or null outside the table.
const scope_t* scopeget(int index);
// Empties the scope table and frees its copies (tests and fuzz targets).
void scope_reset();
