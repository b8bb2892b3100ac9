// -R: the ip6.arpa zone of a prefix, or PTR lines for a resolvable host.
#pragma once

int gen_ptr(int bits, const char* host);
