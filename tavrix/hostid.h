// Host names, host IDs (interface identifiers), MAC addresses, subnet IDs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "ip6.h"

struct host_t {
  char name[256];
  uint64_t ttl;  // seconds; 0 means none
  int isset;
};

struct eth_t {
  uint8_t octet[6];
  int delim;  // '-', '.', ':' or 0
  int isset;
};

int hostfromstr(host_t* h, const char* str);
int hostisset(const host_t* h);
int hosttostr(char* str, size_t size, const host_t* h);
int hostidfromstr(ip6_t* hid, const char* str);
int ethfromstr(eth_t* e, const char* str);
int eth2ip6(ip6_t* hid, const eth_t* e);
int ethisset(const eth_t* e);
int ethtostr(char* str, size_t size, const eth_t* eth);
int ethtostr2(char* str, size_t size, int sep, const eth_t* eth);
int ethput(const eth_t* e, int sep, FILE* fp);

// The subnet ID field of a host line: a number such as :5: or a subnet name.
int subnetfromstr(ip6_t* sid, const char* str);
