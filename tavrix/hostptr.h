// -R: the ip6.arpa zone of a prefix, or PTR lines for a resolvable host.
#pragma once

// Writes on standard output the ip6.arpa zone name of host when it is an
// address text (bits nibbles, or its own length when bits is below 4), or
// else a PTR line for each IPv6 address the resolver knows for it. Returns
// 1; 0 after a resolver failure, which it reports and marks in
// run_incomplete.
int gen_ptr(int bits, const char* host);
