#include "hostptr.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdio>
#include <cstring>

#include "diag.h"
#include "ip6.h"
#include "records.h"
#include "settings.h"

// Releases the resolver's answer on every way out.
struct addrinfo_list {
  addrinfo* head = nullptr;
  ~addrinfo_list() {
    if (head != nullptr) freeaddrinfo(head);
  }
};

// The 128 bits of one answer, from the socket address itself: its numeric
// text may end in an IPv4 part (::ffff:192.0.2.1), which the host-file
// address parser stops at.
static void ip6fromanswer(ip6_t* ip, const addrinfo* ai) {
  TX_ASSERT(ai->ai_family == AF_INET6 && ai->ai_addrlen >= sizeof(sockaddr_in6));
  const uint8_t* b = reinterpret_cast<const sockaddr_in6*>(ai->ai_addr)->sin6_addr.s6_addr;
  ip6fromint(ip, b[0] << 8 | b[1], b[2] << 8 | b[3], b[4] << 8 | b[5], b[6] << 8 | b[7],
             b[8] << 8 | b[9], b[10] << 8 | b[11], b[12] << 8 | b[13], b[14] << 8 | b[15],
             128);
}

int gen_ptr(int bits, const char* host) {
  ip6_t ip;
  if (ip6fromstr(&ip, host) >= 0) {
    int length = bits >= 4 ? bits : ip6getmask(&ip);
    if (length >= 4)
      for (int j = length / 4 - 1; j >= 0; j--) fprintf(stdout, "%01x.", ip6getnibble(&ip, j));
    fputs("ip6.arpa.\n", stdout);
    checkwrite(stdout, "standard output");
    return 1;
  }
  addrinfo hints;
  memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET6;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo_list res;
  if (getaddrinfo(host, nullptr, &hints, &res.head) != 0) {
    errmsg("No AAAA record found for %s\n", host);
    run_incomplete = 1;
    return 0;
  }
  for (addrinfo* ai = res.head; ai != nullptr; ai = ai->ai_next) {
    char numeric[128];
    int err = getnameinfo(ai->ai_addr, ai->ai_addrlen, numeric, sizeof numeric, nullptr, 0,
                          NI_NUMERICHOST);
    if (err != 0) {
      errmsg("getnameinfo %s returned with error [%d] message \"%s\"\n", host, err,
             gai_strerror(err));
      run_incomplete = 1;
      return 0;
    }
    ip6fromanswer(&ip, ai);
    print_ptr(stdout, &ip, bits, host, numeric);
    checkwrite(stdout, "standard output");
  }
  return 1;
}
