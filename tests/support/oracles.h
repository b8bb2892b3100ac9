// The printf, sscanf and getc forms of the hand-written formats and
// readers: plain readings of the zone data formats that the tests, the
// micro-benchmarks and nothing else hold the programs to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Declared, not included: a test includes the headers of what it tests
// itself, and an edit of another module does not rebuild it.
struct ip6_t;
struct eth_t;
enum class readresult_t;
enum class extraresult_t;

// print_forward through fprintf.
void print_forward_reference(FILE* fp, const char* hostname, uint64_t ttl, const char* addr);
// print_rev_dns through fprintf, one nibble at a time with ip6getnibble;
// reads settings.bits as the printer does.
void print_rev_dns_reference(FILE* fp, const ip6_t* ip, int split, uint64_t ttl,
                             const char* hostname, const char* origin, unsigned long subnet);
// print_ptr through fprintf, one nibble at a time with ip6getnibble.
void print_ptr_reference(FILE* fp, const ip6_t* ip, int bits, const char* host,
                         const char* numeric);
// format_update through snprintf; returns what snprintf returns.
int format_update_reference(char* line, size_t size, int type, const char* owner,
                            uint64_t ttl, const char* addr);
// format_fwd_fname and format_rev_fname through snprintf.
int format_fwd_fname_reference(char* buf, size_t size, const char* view, const char* domain);
int format_rev_fname_reference(char* buf, size_t size, const char* view, int width,
                               unsigned long subnet);
// ip62string through snprintf with "%04x" (upper zero) or "%04X" (upper
// non-zero) and the module's 44-byte text when buf is null.
char* ip62string_reference(char* buf, size_t size, const ip6_t* ipv6, int full, int upper);
// ethfromstr reading the six values with sscanf alone and the characters
// by comparisons.
int ethfromstr_reference(eth_t* e, const char* str);
// linereader_line a character at a time on the stream itself.
readresult_t readline_reference(FILE* fp, char* line);
// linereader_extra a character at a time on the stream, with ungetc.
extraresult_t read_extra_reference(FILE* fp, char* extra, int* lineno);
