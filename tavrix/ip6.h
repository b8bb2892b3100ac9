// The IPv6 address record: eight groups with the range of significant bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// An IPv6 value and the range of its significant bits.
struct ip6_t {
  uint16_t group[8];  // network order: group 0 is the most significant
  uint16_t sbit;      // first significant bit
  uint16_t ebit;      // one past the last significant bit
  uint8_t isset;
};

// Whether ip is given and set.
int ip6isset(const ip6_t* ip);
// Copies src into dst (src null: empties dst); with dst null into a new
// record of the heap, which the caller frees. Returns dst, or null when no
// memory was left.
ip6_t* ip6copy(ip6_t* dst, const ip6_t* src);
// Orders by groups, then by ebit (sbit plays no part); an unset ipa is
// below everything, an unset ipb above. Must not be given null records.
int ip6cmp(const ip6_t* ipa, const ip6_t* ipb);

// The accessors below must not be given a null or unset record, nor a
// group, byte, nibble or bit number outside the record; assertions guard
// each. Numbers count from the most significant end of group 0.
// sbit, ebit and their difference, the prefix length.
unsigned ip6getsbit(const ip6_t* ipv6);
unsigned ip6getebit(const ip6_t* ipv6);
int ip6getmask(const ip6_t* ipv6);
// Set sbit or ebit, kept within 0..128.
void ip6setsbit(ip6_t* ipv6, int v);
void ip6setebit(ip6_t* ipv6, int v);
// Makes the record a prefix of length v (sbit 0, ebit v within 0..128);
// returns v.
int ip6setmask(ip6_t* ipv6, int v);
// Group nr (0..7), byte (0..15), nibble (0..31) or bit (0..127).
int ip6getshort(const ip6_t* ipv6, int nr);
int ip6getbyte(const ip6_t* ipv6, int nr);
int ip6getnibble(const ip6_t* ipv6, int nr);
int ip6getbit(const ip6_t* ipv6, int nr);
// Set a group, byte, nibble or bit to the low bits of v; return v
// (ip6setshort) or the new value of the group that holds it.
int ip6setshort(ip6_t* ipv6, int nr, int v);
int ip6setbyte(ip6_t* ipv6, int bytenr, int v);
int ip6setnibble(ip6_t* ipv6, int nibnr, int v);
int ip6setbit(ip6_t* ipv6, int bitnr, int v);

// Reads an address text (full, with "::", or the partial forms of a host
// ID "::..." and a subnet ID ":N:", with an optional "/length") into ip;
// returns the characters read, or a negative code with ip left unset:
// -1 a second "::", -2 a wrong number of ':' (so any text that is no
// address), -3 an unreadable group. Must not be given a null ip or str.
int ip6fromstr(ip6_t* ip, const char* str);
// Writes ipv6 into buf (null: a static buffer of 44 bytes, valid until the
// next such call) as the eight groups in four digits with "/length" unless
// 128 when full is non-zero or sbit is 0, else in the partial form of a host
// or subnet ID; an unset record gives the empty text. Cut at size as
// snprintf cuts. Returns the buffer. Must not be given a null ipv6.
char* ip62string(char* buf, size_t size, const ip6_t* ipv6, int full);
// ip62string in the form that sbit chooses.
char* ip6tostr(char* buf, size_t size, const ip6_t* ip);
// ip62string always in the full form.
char* ip6tofullstr(char* buf, size_t size, const ip6_t* ip);
// Upper-case hex digits for every later printing when upper is non-zero.
void ip6hexcase(int upper);
// Back to the start-up state (lower-case hex), for tests.
void ip6_reset();
// Writes ip6tostr of ip to fp; returns what fprintf returns. Must not be
// given a null fp or ip.
int ip6put(FILE* fp, const ip6_t* ip);
// Writes the ip6.arpa name of the first mask bits of ip into buf, cut at
// size: nibbles mask/4 - 1 down to 0 with their dots, "ip6.arpa."; returns
// buf. Must not be given a mask that is no multiple of 4 or above 128, nor
// (with a mask above 0) a null or unset ip.
char* ip6revdns(char* buf, size_t size, const ip6_t* ip, int mask);

// The length of prefix when ip (sbit 0) lies inside it; 0 when it does not
// or ip is the shorter, -1 when either is unset or starts past bit 0. Must
// not be given null records.
int ip6match(const ip6_t* ip, const ip6_t* prefix);
// Copies the bits sbit..ebit of ipb into ipa and gives ipa ipb's ebit;
// returns the new ebit, -1 for an unset ipb, -2 when ipb does not start
// where ipa ends (nothing changes then). Must not be given null records.
int ip6append(ip6_t* ipa, const ip6_t* ipb);
// Clears every bit from len (0..128) on and makes len the ebit; returns
// ip, or null for a null or unset ip.
ip6_t* ip6truncate(ip6_t* ip, int len);
// Sets the groups to the low 16 bits of s0..s7 as a prefix of length mask
// (at most 128); returns 1. Must not be given a null ipv6.
int ip6fromint(ip6_t* ipv6, int s0, int s1, int s2, int s3, int s4, int s5, int s6,
               int s7, int mask);
// Writes the address text src (the full eight-group form; null: dst
// itself) into dst without leading zeros, and with the longest run of zero
// groups as "::" when full is non-zero; returns dst.
char* ip6squeeze(char* dst, const char* src, int full);
// ip6tostr followed by ip6squeeze of its text (full squeeze when full is
// non-zero), written straight from the groups; the forward and update
// lines print every address so.
char* ip6tosqueezedstr(char* buf, size_t size, const ip6_t* ip, int full);
