// The zone data lines and output file names that the generator and -R
// write: forward, reverse and update lines, file names, PTR lines of -R.
// Each is written by hand: the printf family parsed its format on every
// line, most of the run time of a large host file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "ip6.h"

// The longest update line: "update add ", an owner of 255, " \t", 20
// digits, a tab, "IN AAAA ", an address text of 127 and the newline. (A PTR
// update, with an owner of 73 and a target of 255, is shorter.)
constexpr size_t UPDATE_LINE_MAX = 11 + 255 + 2 + 20 + 1 + 8 + 127 + 1;

// Writes the forward line of hostname (padded to 21 columns), its TTL (0:
// none) and the address text to fp. Texts of any length.
void print_forward(FILE* fp, const char* hostname, uint64_t ttl, const char* addr);
// Writes the reverse line of the set address ip to fp: the nibbles from 31
// down to split as owner name while settings.bits is at most 127, the TTL
// (0: none), hostname "." origin, and the subnet number when not 0. Must
// not be given a null fp, origin or ip, an unset ip, or a negative split.
void print_rev_dns(FILE* fp, const ip6_t* ip, int split, uint64_t ttl, const char* hostname,
                   const char* origin, unsigned long subnet);
// Writes the -R PTR line of the set address ip to fp: the nibbles from 31
// down to bits / 4 while bits is at most 127, host with its final dot,
// and the numeric text the resolver gave. Must not be given a negative
// bits, a null fp or host, or an ip that is unset or has no prefix length.
void print_ptr(FILE* fp, const ip6_t* ip, int bits, const char* host, const char* numeric);
// Formats the update line of owner into line (size bytes, cut as snprintf
// cuts); addr null gives the delete of the whole AAAA set, type
// GEN_UPDATE_DEL a delete, any other type an add with ttl. Returns the
// length of the whole line, as snprintf does.
int format_update(char* line, size_t size, int type, const char* owner, uint64_t ttl,
                  const char* addr);
// Formats the PTR update line of owner into line as format_update does:
// type GEN_PTR_DEL a delete, any other an add with ttl, both of the record
// pointing to target. Returns the length of the whole line.
int format_ptr_update(char* line, size_t size, int type, const char* owner, uint64_t ttl,
                      const char* target);
// The room format_arpa_name needs: 32 nibbles with their dots, "ip6.arpa."
// and the terminator.
constexpr size_t ARPA_NAME_MAX = 64 + 9 + 1;
// Writes the ip6.arpa. name of the first count nibbles of ip (32: the PTR
// owner of the address; the split nibble: its reverse zone) into buf,
// ARPA_NAME_MAX bytes; returns buf. Must not be given a count outside 0 to
// 32.
char* format_arpa_name(char* buf, const ip6_t* ip, int count);
// Formats the forward file name, "zkd_VIEW.DOMAIN" when view is usable
// (present, not empty, not "none") else "zkd.DOMAIN", into buf (size
// bytes, cut as snprintf cuts); returns the whole length, as snprintf.
int format_fwd_fname(char* buf, size_t size, const char* view, const char* domain);
// Formats the reverse file name, "zkr_VIEW." or "zkr." and the subnet in
// hex with at least width digits, into buf as format_fwd_fname does;
// returns the whole length. Must not be given a negative width.
int format_rev_fname(char* buf, size_t size, const char* view, int width,
                     unsigned long subnet);
