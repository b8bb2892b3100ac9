// Micro-benchmarks of the steps every host line goes through.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "hostid.h"
#include "ip6.h"
#include "oracles.h"
#include "records.h"
#include "settings.h"

namespace {

void BM_ip6fromstr_prefix(benchmark::State& state) {
  ip6_t ip;
  for (auto _ : state) benchmark::DoNotOptimize(ip6fromstr(&ip, "2001:db8:1234::/48"));
}
BENCHMARK(BM_ip6fromstr_prefix);

void BM_ip6fromstr_hostid(benchmark::State& state) {
  ip6_t ip;
  for (auto _ : state) benchmark::DoNotOptimize(ip6fromstr(&ip, "::211:22ff:fe33:4455"));
}
BENCHMARK(BM_ip6fromstr_hostid);

void BM_hostidfromstr(benchmark::State& state) {
  static const char* const texts[] = {"00:11:22:33:44:55", "00-11-22-33-44-55",
                                      "0011.2233.4455", "001122334455", "::1:2:3:4"};
  const char* text = texts[state.range(0)];
  ip6_t ip;
  for (auto _ : state) benchmark::DoNotOptimize(hostidfromstr(&ip, text));
  state.SetLabel(text);
}
BENCHMARK(BM_hostidfromstr)->DenseRange(0, 4);

void BM_ethfromstr_reference(benchmark::State& state) {
  eth_t eth;
  for (auto _ : state) benchmark::DoNotOptimize(ethfromstr_reference(&eth, "00:11:22:33:44:55"));
}
BENCHMARK(BM_ethfromstr_reference);

ip6_t full_address() {
  ip6_t ip;
  ip6fromstr(&ip, "2001:db8:0:1:211:22ff:fe33:4455");
  return ip;
}

void BM_ip6tostr_squeeze(benchmark::State& state) {
  ip6_t ip = full_address();
  char buf[128];
  for (auto _ : state) {
    ip6tostr(buf, sizeof buf, &ip);
    benchmark::DoNotOptimize(ip6squeeze(buf, nullptr, int(state.range(0))));
  }
}
BENCHMARK(BM_ip6tostr_squeeze)->Arg(0)->Arg(1);

void BM_ip6tosqueezedstr(benchmark::State& state) {
  ip6_t ip = full_address();
  char buf[128];
  for (auto _ : state)
    benchmark::DoNotOptimize(ip6tosqueezedstr(buf, sizeof buf, &ip, int(state.range(0))));
}
BENCHMARK(BM_ip6tosqueezedstr)->Arg(0)->Arg(1);

void BM_ip6squeeze(benchmark::State& state) {
  char buf[128];
  for (auto _ : state) {
    snprintf(buf, sizeof buf, "%s", "2001:0db8:0000:0001:0211:22ff:fe33:4455");
    benchmark::DoNotOptimize(ip6squeeze(buf, nullptr, 1));
  }
}
BENCHMARK(BM_ip6squeeze);

// The reverse line printer, fast and reference, into a stream that drops
// what it gets.
template <bool reference>
void BM_print_rev_dns(benchmark::State& state) {
  FILE* sink = fopen("/dev/null", "w");
  ip6_t ip = full_address();
  settings.bits = int(state.range(0));
  for (auto _ : state) {
    if (reference)
      print_rev_dns_reference(sink, &ip, settings.bits / 4, 3600, "www", "example.com.", 1);
    else
      print_rev_dns(sink, &ip, settings.bits / 4, 3600, "www", "example.com.", 1);
  }
  fclose(sink);
}
BENCHMARK(BM_print_rev_dns<false>)->Arg(48)->Arg(64);
BENCHMARK(BM_print_rev_dns<true>)->Arg(48)->Arg(64);

template <bool reference>
void BM_print_forward(benchmark::State& state) {
  FILE* sink = fopen("/dev/null", "w");
  for (auto _ : state) {
    if (reference)
      print_forward_reference(sink, "www", 3600, "2001:db8:0:1:211:22ff:fe33:4455");
    else
      print_forward(sink, "www", 3600, "2001:db8:0:1:211:22ff:fe33:4455");
  }
  fclose(sink);
}
BENCHMARK(BM_print_forward<false>);
BENCHMARK(BM_print_forward<true>);

}  // namespace

BENCHMARK_MAIN();
