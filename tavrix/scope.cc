#include "scope.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "charclass.h"
#include "diag.h"
#include "fields.h"
#include "names.h"
#include "settings.h"

// ---- The prefix list ----

static prfx_t prfxlist[MAXPRFX];
static int nprfx = 0;
// The one cursor of every walk over the list (walks never overlap).
static int prfxcursor = 0;

int prfxput(const ip6_t* prefix, int action) {
  if (nprfx >= MAXPRFX) errexit("maximum number of prefixes (%d) reached\n", MAXPRFX);

  if (prefix != nullptr) {
    for (int i = 0; i < nprfx; i++) {
      if (prfxlist[i].prefix != nullptr && ip6cmp(prefix, prfxlist[i].prefix) == 0) {
        char buf[64];
        errmsg("duplicate ipv6 prefix (%s), skipped\n", ip6tostr(buf, sizeof buf, prefix));
        return nprfx;
      }
    }
  }

  ip6_t* copy = nullptr;
  if (prefix != nullptr) {
    copy = ip6copy(nullptr, prefix);
    if (copy == nullptr) errexit("%s:%d prfxput(): out of memory\n", __FILE_NAME__, __LINE__);
  }
  prfxlist[nprfx] = prfx_t{copy, action, nullptr};
  return ++nprfx;
}

int prfxdel(int index) {
  if (nprfx == 0) return 0;
  int last = nprfx - 1;
  // An index outside the list removes the last entry.
  int gone = (unsigned)index < (unsigned)nprfx ? index : last;
  free(prfxlist[gone].prefix);
  prfxlist[gone] = prfxlist[last];
  prfxlist[last] = prfx_t{};
  return --nprfx;
}

prfx_t* prfxget(int index) {
  if (index < 0 || index >= nprfx) return nullptr;
  return &prfxlist[index];
}

prfx_t* prfxfirst() {
  prfxcursor = 0;
  return nprfx > 0 ? &prfxlist[0] : nullptr;
}

prfx_t* prfxnext() {
  if (prfxcursor < INT_MAX) prfxcursor++;
  return prfxcursor < nprfx ? &prfxlist[prfxcursor] : nullptr;
}

int prfxcount() { return nprfx; }

void prfx_reset() {
  for (int i = 0; i < nprfx; i++) {
    free(prfxlist[i].prefix);
    prfxlist[i] = prfx_t{};
  }
  nprfx = 0;
  prfxcursor = 0;
}

// ---- The scope table ----

static scope_t scopes[MAXSCOPE];
static int nscopes = 0;
// Indexed by unique scope id: whether the current host has been printed
// for that view and domain.
static int scopeused[MAXSCOPE];

static bool sametext(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return strcmp(a, b) == 0;
}

int scopeput(const char* name, const char* view, const char* domain, const ip6_t* prefix) {
  TX_ASSERT(name != NULL);
  TX_ASSERT(view != NULL);
  TX_ASSERT(domain != NULL);
  if (nscopes >= MAXSCOPE) errexit("maximum number of scopes (%d) reached\n", MAXSCOPE);

  bool noview = view[0] == '\0' || view[0] == '*' || strcmp(view, "none") == 0;
  char* viewcopy = noview ? nullptr : strdup(view);
  char* domaincopy = domain[0] == '\0' ? nullptr : strdup(domain);
  ip6_t* prefixcopy = ip6copy(nullptr, prefix);
  if ((!noview && viewcopy == nullptr) || (domain[0] != '\0' && domaincopy == nullptr) ||
      prefixcopy == nullptr) {
    free(viewcopy);
    free(domaincopy);
    free(prefixcopy);
    errexit("%s:%d scopeput(): out of memory\n", __FILE_NAME__, __LINE__);
  }

  int n = nscopes;
  scope_t* s = &scopes[n];
  snprintf(s->name, sizeof s->name, "%s", name);
  s->view = viewcopy;
  s->domain = domaincopy;
  s->prefix = prefixcopy;
  s->id = n;
  for (int i = 0; i < n; i++) {
    if (sametext(scopes[i].view, s->view) && sametext(scopes[i].domain, s->domain)) {
      s->id = scopes[i].id;
      break;
    }
  }

  // The first scope that covers a command-line prefix keeps it.
  for (prfx_t* p = prfxfirst(); p != nullptr; p = prfxnext()) {
    if (p->scope == nullptr && p->prefix != nullptr && ip6match(p->prefix, s->prefix) > 0)
      p->scope = s;
  }

  return ++nscopes;
}

const scope_t* scopelookup(const char* name) {
  if (name == nullptr) return nullptr;
  for (int i = 0; i < nscopes; i++)
    if (strcmp(scopes[i].name, name) == 0) return &scopes[i];
  return nullptr;
}

// One word field of a scope line into buf (at most max characters); returns
// the characters consumed. "*" and a field that starts with no word
// character are empty.
static int scopeword(const char* p, char* buf, int max) {
  buf[0] = '\0';
  if (*p == '*') return 1;
  int c = (unsigned char)*p;
  if (!is_alpha(c) && c != '_') return 0;
  int n = 0;
  while (n < max && is_namechar((unsigned char)p[n])) {
    buf[n] = p[n];
    n++;
  }
  buf[n] = '\0';
  return n;
}

int parsescopeline(const char* line, int delim) {
  TX_ASSERT(line != NULL);
  char name[16];
  char view[256];
  char domain[NAME_MAXFIELD + 1];

  const char* p = skipdelim(line, delim);
  p += scopeword(p, name, 15);
  if (!isdelim((unsigned char)*p, delim)) {
    errmsg("parsescopeline(): illegal scopename found near \"%.10s ...\"\n", p);
    return 0;
  }

  p = skipdelim(p, delim);
  p += scopeword(p, view, 255);
  if (!isdelim((unsigned char)*p, delim)) {
    errmsg("parsescopeline(): illegal viewname found near \"%.10s ...\"\n", p);
    return 0;
  }

  p = skipdelim(p, delim);
  p += scopeword(p, domain, NAME_MAXFIELD);
  if (!isdelim((unsigned char)*p, delim)) {
    errmsg("parsescopeline(): illegal domain found near \"%.10s ...\"\n", p);
    return 0;
  }

  p = skipdelim(p, delim);
  ip6_t prefix;
  int n = ip6fromstr(&prefix, p);
  if (!ip6isset(&prefix) || prefix.sbit != 0 || prefix.ebit > 64) {
    errmsg("parsescopeline(): no matching prefix found near \"%.10s ...\"\n", n > 0 ? p + n : p);
    return 0;
  }

  // A relative domain lies below the origin. A domain that would not fit a
  // DNS name is refused rather than stored cut short.
  size_t len = strlen(domain);
  if (len > 0 && domain[len - 1] != '.') {
    if (!name_fits(len, strlen(settings.origin)))
      errexit("parsescopeline(): scope domain \"%.40s...\" too long with origin %s\n", domain,
              settings.origin);
    snprintf(domain + len, sizeof domain - len, ".%s", settings.origin);
  } else if (len > NAME_MAXTEXT) {
    errexit("parsescopeline(): scope domain \"%.40s...\" longer than %zu characters\n", domain,
            NAME_MAXTEXT);
  }
  namefault_t fault = len > 0 ? name_check(domain, true).fault : namefault_t::none;
  if (fault != namefault_t::none) {
    errmsg("parsescopeline(): scope domain \"%s\" %s\n", domain, name_faulttext(fault));
    return 0;
  }

  scopeput(name, view, domain, &prefix);
  return 1;
}

void scopeclearused() { memset(scopeused, 0, sizeof scopeused); }

int scopesetused(int id) {
  if ((unsigned)id >= MAXSCOPE) return 0;
  int was = scopeused[id];
  scopeused[id] = 1;
  return was;
}

int scopegetused(int id) {
  if ((unsigned)id >= MAXSCOPE) return -1;
  return scopeused[id];
}

void dumpscope(FILE* out) {
  TX_ASSERT(out != NULL);
  fprintf(out, "\n%%%%SCOPE SECTION (%d elements)\n", nscopes);
  for (int i = 0; i < nscopes; i++) {
    const scope_t* s = &scopes[i];
    char buf[64];
    fprintf(out, "%s\t", s->name);
    fprintf(out, "%s\t", s->view != nullptr && s->view[0] != '\0' ? s->view : "none");
    fprintf(out, "%s\t", s->domain != nullptr ? s->domain : "");
    fprintf(out, "%s\t", ip6tostr(buf, sizeof buf, s->prefix));
    fprintf(out, "; unique_scopeid %d", s->id);
    fprintf(out, "\n");
  }
  fprintf(out, "%%%%END\n\n");
  checkwrite(out, "scope list");
}

void dumpprefixlist(FILE* out) {
  TX_ASSERT(out != NULL);
  fprintf(out, "\n%%%%The current (command line) prefix list \n");
  for (int i = 0; i < nprfx; i++) {
    const prfx_t* p = &prfxlist[i];
    char buf[64];
    const char* text;
    if (p->prefix != nullptr)
      text = ip6tostr(buf, sizeof buf, p->prefix);
    else if (p->action == 0)
      errexit("NULL prefix with add action in prefixlist; Use of -p w/o argument!");
    else
      text = "ALL";
    fprintf(out, "%s\t", text);
    fprintf(out, "%s\t", p->action == 0 ? "to_add" : "to_del");
    fprintf(out, "[%s]\t", p->scope != nullptr ? p->scope->name : "none");
    fprintf(out, "\n");
  }
  fprintf(out, "%%%%END\n\n");
  checkwrite(out, "prefix list");
}

int scopecount() { return nscopes; }

const scope_t* scopeget(int index) {
  if (index < 0 || index >= nscopes) return nullptr;
  return &scopes[index];
}

void scope_reset() {
  for (int i = 0; i < nscopes; i++) {
    free(scopes[i].view);
    free(scopes[i].domain);
    free(scopes[i].prefix);
    scopes[i] = scope_t{};
  }
  nscopes = 0;
  scopeclearused();
  // Bindings would otherwise point at entries that no longer exist.
  for (int i = 0; i < nprfx; i++) prfxlist[i].scope = nullptr;
}
