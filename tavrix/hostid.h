// Host names, host IDs (interface identifiers), MAC addresses, subnet IDs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "ip6.h"
#include "names.h"

// A host name with its TTL.
struct host_t {
  char name[NAME_MAXFIELD + 1];
  uint64_t ttl;  // seconds; 0 means none
  int isset;
  size_t namelen;
  namecheck_t check;  // of the name, as a host name
};

// A MAC address with the separator it was written with.
struct eth_t {
  uint8_t octet[6];
  int delim;  // '-', '.', ':' or 0
  int isset;
};

// Reads a host name (a letter or '_', then letters, digits, - . _; at most
// NAME_MAXFIELD characters) into h with its length and check and no TTL;
// returns its length, 0 when str does not begin with one (h is still set,
// with an empty name; unset for a null str). Must not be given a null h.
int hostfromstr(host_t* h, const char* str);
// Whether h is given and set.
int hostisset(const host_t* h);
// Copies the name of h into str, cut at size; returns the name's length,
// 0 for an unset h. Must not be given a null h or str.
int hosttostr(char* str, size_t size, const host_t* h);
// Reads a host ID, "::" and an interface identifier of at most four groups
// of 1 to 4 hex digits (followed by no letter, digit, - . _ : or /), or a MAC address made into its
// modified EUI-64 identifier, into hid (sbit 64, ebit 128); returns the
// characters read, 0 after a warning when there is none (hid then unset).
// Must not be given a null hid.
int hostidfromstr(ip6_t* hid, const char* str);
// Reads a MAC address (six octets: groups of 1 or 2 hex digits between '-'
// or ':', three groups of 4 between '.', or 12 digits; ending at white
// space or the end) into e; returns the characters read, 0 when there is
// none (e unset). Must not be given a null e or str.
int ethfromstr(eth_t* e, const char* str);
// Makes hid the modified EUI-64 interface identifier of e (sbit 64, ebit
// 128); returns 1, or 0 with hid untouched when e is not set. Must not be
// given a null hid with a set e.
int eth2ip6(ip6_t* hid, const eth_t* e);
// Whether e is given and set.
int ethisset(const eth_t* e);
// ethtostr2 with the separator e was read with.
int ethtostr(char* str, size_t size, const eth_t* eth);
// Writes the address in lower-case hex with separator sep into str;
// returns its length, or -1 when size is below the 18 (':' and '-') or 15
// bytes it needs. Must not be given a null eth or str, nor a size below 15.
int ethtostr2(char* str, size_t size, int sep, const eth_t* eth);
// Writes the address in upper-case hex with separator sep (0: the one it
// was read with) to fp (null: standard output); returns the characters
// written, 0 for an unset e, -1 when the stream failed.
int ethput(const eth_t* e, int sep, FILE* fp);

// Reads the subnet ID field of a host line, a number such as :5: or the
// name of a subnet, into sid; returns the characters read, 0 after a
// warning for a bad number. An unknown name ends the run. Must not be
// given a null sid.
int subnetfromstr(ip6_t* sid, const char* str);
// Reads a subnet ID in address form, ":" then 1 to 4 hex digits then ":",
// followed by no letter, digit, - . _ : or /, into sid
// (sbit 48, ebit 64); returns the characters read, 0 when the text is none
// (sid unset). Must not be given a null sid or str.
int subnetidfromstr(ip6_t* sid, const char* str);
