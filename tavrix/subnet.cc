#include "subnet.h"

#include <cstdlib>
#include <cstring>

#include "diag.h"
#include "fields.h"
#include "hostid.h"

static subnet_t subnets[MAXSUBNET];
static int nsubnets = 0;
static int lastfound = 0;  // index of the last entry subnetlookup found

int parsesubnetline(const char* line, int delim) {
  TX_ASSERT(line != NULL);
  const char* p = skipdelim(line, delim);

  host_t name;
  p += hostfromstr(&name, p);
  if (!isdelim((unsigned char)*p, delim)) {
    errmsg("parsesubnetline(): illegal subnetname found near \"%.10s ...\"\n", p);
    return 0;
  }

  p = skipdelim(p, delim);
  ip6_t sid;
  if (subnetidfromstr(&sid, p) == 0) {
    errmsg("parsesubnetline(): no subnetid found near \"%.10s ...\"\n", p);
    return 0;
  }

  subnetput(name.name, &sid);
  return 1;
}

void subnetput(const char* name, const ip6_t* sid) {
  TX_ASSERT(sid != NULL);
  TX_ASSERT(name != NULL);
  if (nsubnets >= MAXSUBNET) errexit("maximum number of subnets (%d) reached\n", MAXSUBNET);

  subnet_t* s = &subnets[nsubnets];
  ip6_t* copy = ip6copy(nullptr, sid);
  if (copy == nullptr) errexit("%s:%d subnetput(): out of memory\n", __FILE_NAME__, __LINE__);
  // The name is cut to 15 characters (a longer one is then never found); a
  // plain copy says so, where snprintf into the short field had the
  // optimiser warn of the truncation.
  size_t len = strnlen(name, sizeof s->name - 1);
  memcpy(s->name, name, len);
  s->name[len] = '\0';
  s->sid = copy;
  nsubnets++;
}

const ip6_t* subnetlookup(const char* name) {
  if (name == nullptr) return nullptr;
  // Host files list the hosts of a subnet together: the entry found last
  // is tried first. It stays the first entry of its name, since entries
  // are only ever added behind it.
  if (lastfound < nsubnets && strcmp(subnets[lastfound].name, name) == 0)
    return subnets[lastfound].sid;
  for (int i = 0; i < nsubnets; i++) {
    if (strcmp(subnets[i].name, name) == 0) {
      lastfound = i;
      return subnets[i].sid;
    }
  }
  return nullptr;
}

void dumpsubnet(FILE* out) {
  TX_ASSERT(out != NULL);
  fprintf(out, "\n%%%%SUBNET SECTION (%d elements)\n", nsubnets);
  for (int i = 0; i < nsubnets; i++) {
    char buf[32];
    fprintf(out, "%s\t", subnets[i].name);
    fprintf(out, "%s\n", ip6tostr(buf, sizeof buf, subnets[i].sid));
  }
  fprintf(out, "%%%%END\n");
  checkwrite(out, "subnet list");
}

int subnetcount() { return nsubnets; }

const subnet_t* subnetget(int index) {
  if (index < 0 || index >= nsubnets) return nullptr;
  return &subnets[index];
}

void subnet_reset() {
  for (int i = 0; i < nsubnets; i++) {
    free(subnets[i].sid);
    subnets[i] = subnet_t{};
  }
  nsubnets = 0;
  lastfound = 0;
}
