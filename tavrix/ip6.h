// The IPv6 address record: eight groups with the range of significant bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

struct ip6_t {
  uint16_t group[8];  // network order: group 0 is the most significant
  uint16_t sbit;      // first significant bit
  uint16_t ebit;      // one past the last significant bit
  uint8_t isset;
};

int ip6isset(const ip6_t* ip);
ip6_t* ip6copy(ip6_t* dst, const ip6_t* src);
int ip6cmp(const ip6_t* ipa, const ip6_t* ipb);

unsigned ip6getsbit(const ip6_t* ipv6);
unsigned ip6getebit(const ip6_t* ipv6);
int ip6getmask(const ip6_t* ipv6);
void ip6setsbit(ip6_t* ipv6, int v);
void ip6setebit(ip6_t* ipv6, int v);
int ip6setmask(ip6_t* ipv6, int v);
int ip6getshort(const ip6_t* ipv6, int nr);
int ip6getbyte(const ip6_t* ipv6, int nr);
int ip6getnibble(const ip6_t* ipv6, int nr);
int ip6getbit(const ip6_t* ipv6, int nr);
int ip6setshort(ip6_t* ipv6, int nr, int v);
int ip6setbyte(ip6_t* ipv6, int bytenr, int v);
int ip6setnibble(ip6_t* ipv6, int nibnr, int v);
int ip6setbit(ip6_t* ipv6, int bitnr, int v);

int ip6fromstr(ip6_t* ip, const char* str);
char* ip62string(char* buf, size_t size, const ip6_t* ipv6, int full);
char* ip6tostr(char* buf, size_t size, const ip6_t* ip);
char* ip6tofullstr(char* buf, size_t size, const ip6_t* ip);
void ip6hexcase(int upper);
// Back to the start-up state (lower-case hex), for tests.
void ip6_reset();
int ip6put(FILE* fp, const ip6_t* ip);
char* ip6revdns(char* buf, size_t size, const ip6_t* ip, int mask);

int ip6match(const ip6_t* ip, const ip6_t* prefix);
int ip6append(ip6_t* ipa, const ip6_t* ipb);
ip6_t* ip6truncate(ip6_t* ip, int len);
int ip6fromint(ip6_t* ipv6, int s0, int s1, int s2, int s3, int s4, int s5, int s6,
               int s7, int mask);
char* ip6squeeze(char* dst, const char* src, int full);
// ip6tostr followed by ip6squeeze of its text (full squeeze when full is
// non-zero), written straight from the groups; the forward and update
// lines print every address so.
char* ip6tosqueezedstr(char* buf, size_t size, const ip6_t* ip, int full);
