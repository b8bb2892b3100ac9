#include "hostfile.h"

#include <sys/stat.h>

#include <cstring>

#include "charclass.h"
#include "diag.h"
#include "fields.h"
#include "names.h"
#include "settings.h"
#include "spool.h"
#include "subnet.h"

namespace {

enum class section_t { host, subnet, scope };

// Closes what it opened; standard input stays open for the next reader.
struct input_t {
  FILE* fp = nullptr;
  bool owned = false;
  ~input_t() {
    if (owned && fp != nullptr) fclose(fp);
  }
};

// Appends what comes next after end; false when nothing more came. What is
// still unread moves to the front first.
bool fill(linereader_t* r) {
  if (r->eof) return false;
  if (r->pos > 0) {
    memmove(r->buf, r->buf + r->pos, r->end - r->pos);
    r->end -= r->pos;
    r->pos = 0;
  }
  size_t room = READBUFSIZE - r->end;
  size_t n = 0;
  if (r->whole) {
    n = fread_unlocked(r->buf + r->end, 1, room, r->fp);
  } else {
    int c;
    while (n < room && (c = getc_unlocked(r->fp)) != EOF) {
      r->buf[r->end + n++] = (char)c;
      if (c == '\n') break;
    }
  }
  if (n == 0) {
    r->eof = true;
    return false;
  }
  r->end += n;
  return true;
}

// The characters of a line reader; a character handed out is still in the
// buffer, so it can always be put back.
struct bufferchars_t {
  linereader_t* r;
  int get() {
    if (r->pos == r->end && !fill(r)) return EOF;
    return (unsigned char)r->buf[r->pos++];
  }
  void unget(int) { r->pos--; }
};

// Collects the continuation lines ("^...") that follow a host line.
extraresult_t collect_extra(bufferchars_t in, char* extra, int* lineno) {
  size_t n = 0;
  extra[0] = '\0';
  int c = in.get();
  if (c == EOF) return extraresult_t::ok;
  in.unget(c);
  if (c != '^') return extraresult_t::ok;
  int prev = '\n';
  while ((c = in.get()) != EOF) {
    if (c == '\r') {
      prev = c;
      continue;
    }
    if (c == '\n') {
      if (prev == '\n') {
        // An empty line ends the text; it is read again as a line of its own.
        in.unget(c);
        break;
      }
      (*lineno)++;
    } else if (prev == '\n') {
      if (c != '^') {
        in.unget(c);
        break;
      }
      prev = c;
      continue;
    }
    if (n == MAXEXTRA) {
      extra[n] = '\0';
      return extraresult_t::too_long;
    }
    // A NUL would end the text there, newline and all, and glue what
    // follows it to the next record.
    if (c == '\0') {
      extra[n] = '\0';
      return extraresult_t::nul;
    }
    extra[n++] = (char)c;
    prev = c;
  }
  extra[n] = '\0';
  return extraresult_t::ok;
}

bool selects(const char* name, const char* list) {
  const char* p = list;
  for (;;) {
    while (*p == ',' || *p == ' ' || *p == '\t') p++;
    if (*p == '\0') return false;
    if (*p == '*') return true;
    int word = wordcmp(name, p, " \t,");
    if (word == 0) return true;
    p += word;
  }
}

void run_debug(const char* keyword) {
  char word[32];
  if (sscanf(keyword, "DEBUG %31s", word) != 1 || settings.verbose < 1) return;
  if (strcmp(word, "print-subnetlist") == 0)
    dumpsubnet(stderr);
  else if (strcmp(word, "print-scopelist") == 0)
    dumpscope(stderr);
  else if (strcmp(word, "print-prefixlist") == 0)
    dumpprefixlist(stderr);
}

void echo_host(const hostline_t* hl) {
  char name[sizeof hl->host.name] = "";
  char ttl[16] = "";  // "<2147483647>", the longest
  char hostid[41];
  char subnetid[41];
  hosttostr(name, sizeof name, &hl->host);
  if (hl->host.ttl != 0) ttltostr(ttl, sizeof ttl, hl->host.ttl);
  ip6tostr(hostid, sizeof hostid, &hl->hostid);
  ip6tostr(subnetid, sizeof subnetid, &hl->subnetid);
  char text[16 + sizeof name + sizeof ttl + sizeof hostid + sizeof subnetid + MAXSCOPELIST];
  int n = snprintf(text, sizeof text, "; %s%s\t%s\t%s\t[%s]\n", name, ttl, hostid, subnetid,
                   hl->scopelist);
  // Update commands wait in the spool; the echo goes among them.
  if (spool_isopen())
    spool_note(text, size_t(n));
  else
    fputs(text, stdout);
}

// The longest domain a record may join a host name to: the origin's or a
// scope's. Host names that fit it fit every domain, and need no walk.
size_t longest_domain = 0;

void note_domain(const char* domain) {
  size_t len = domain != nullptr ? strlen(domain) : 0;
  if (len > longest_domain) longest_domain = len;
}

// Refuses a host whose records would hold a name DNS cannot: every record
// joins the host name to the domain of its entry, and reverse and update
// records name the host (PTR target, update owner), where no name would
// read ".<domain>". Forward lines do without one: their blank owner
// continues the previous one. Warns of a name that BIND refuses.
void check_name(const hostline_t* hl, const char* file, int line) {
  const char* name = hl->host.name;
  size_t namelen = hl->host.namelen;
  const namecheck_t& check = hl->host.check;
  if (namelen > 0 && check.fault == namefault_t::none && check.hostname &&
      name_fits(namelen, longest_domain))
    return;
  // Whether a record is written for the host at all, and the longest
  // domain of those that are.
  bool update = settings.forward && settings.ddns &&
                (settings.lookup == nullptr || strcmp(settings.lookup, name) == 0);
  bool any = false;
  bool named = false;
  const char* longest = nullptr;
  size_t longestlen = 0;
  for (prfx_t* e = prfxfirst(); e != nullptr; e = prfxnext()) {
    bool selected = e->scope == nullptr || selects(e->scope->name, hl->scopelist);
    if (!selected) continue;
    // In update mode reverse records are updates too, for delete entries
    // as well, and -l picks their hosts.
    bool forward = settings.ddns ? update : settings.forward && e->action == 0;
    bool reverse = settings.ddns ? update && settings.reverse && e->prefix != nullptr
                                 : settings.reverse && e->action == 0;
    if (!forward && !reverse) continue;
    any = true;
    named = named || reverse || settings.ddns;
    const char* domain =
        e->scope != nullptr && e->scope->domain != nullptr ? e->scope->domain : settings.origin;
    size_t len = strlen(domain);
    if (longest == nullptr || len > longestlen) {
      longest = domain;
      longestlen = len;
    }
  }
  if (!any) return;
  if (namelen == 0) {
    if (!named) return;
    errmsg("parsehostfile(): host line has no host name; reverse and update records "
           "need one\n");
    errexit("error parsing hostline in %s line %d\n", file, line);
  }
  if (check.fault != namefault_t::none) {
    errmsg("parsehostfile(): host name \"%s\" %s\n", name, name_faulttext(check.fault));
    errexit("error parsing hostline in %s line %d\n", file, line);
  }
  if (!name_fits(namelen, longestlen)) {
    errmsg("parsehostfile(): host name \"%s\" in domain %s makes a name longer than %zu "
           "characters\n", name, longest, NAME_MAXTEXT);
    errexit("error parsing hostline in %s line %d\n", file, line);
  }
  name_warnhost(file, line, name, check);
}

// Warns of every name of the host's scope list that no scope read so far
// has.
void check_scopelist(const char* list, const char* file, int line) {
  for (const char* p = list; *p != '\0';) {
    size_t len = strcspn(p, ",");
    char word[sizeof(scope_t::name) + 1];
    if (len > 0 && *p != '*') {
      bool known = false;
      if (len < sizeof word) {
        memcpy(word, p, len);
        word[len] = '\0';
        known = scopelookup(word) != nullptr;
      }
      if (!known)
        errmsg("%s line %d: no %%%%SCOPE line read so far defines the scope \"%.*s\" of the "
               "scope list\n", file, line, int(len), p);
    }
    p += len;
    if (*p == ',') p++;
  }
}

void walk_prefixes(const hostline_t* hl, ip6_t* subnetid, generator_t gen) {
  scopeclearused();
  for (prfx_t* e = prfxfirst(); e != nullptr; e = prfxnext()) {
    bool selected = e->scope == nullptr || selects(e->scope->name, hl->scopelist);
    if (settings.forward && selected && (settings.ddns || e->action == 0)) {
      int type = settings.ddns ? GEN_UPDATE_ADD - 32 * e->action : GEN_FORWARD;
      const char* extra = hl->extra;
      if (e->scope != nullptr && scopesetused(e->scope->id) != 0) extra = nullptr;
      gen(type, e->prefix, e->scope, &hl->host, &hl->hostid, subnetid, extra);
    }
    // Every selected entry gets its reverse record; the used flags only
    // decide who gets the extra records. In update mode a delete entry's
    // PTR record goes as well; the entry without prefix deletes AAAA sets
    // only.
    if (settings.reverse && selected && settings.ddns && e->prefix != nullptr)
      gen(e->action ? GEN_PTR_DEL : GEN_PTR_ADD, e->prefix, e->scope, &hl->host, &hl->hostid,
          subnetid, nullptr);
    else if (settings.reverse && selected && e->action == 0)
      gen(GEN_REVERSE, e->prefix, e->scope, &hl->host, &hl->hostid, subnetid, nullptr);
  }
}

}  // namespace

void linereader_init(linereader_t* r, FILE* fp) {
  struct stat st;
  int fd = fileno(fp);
  r->fp = fp;
  r->whole = fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  r->eof = false;
  r->pos = r->end = 0;
}

readresult_t linereader_line(linereader_t* r, char* line) {
  for (;;) {
    const char* start = r->buf + r->pos;
    size_t avail = r->end - r->pos;
    const char* nl = static_cast<const char*>(memchr(start, '\n', avail));
    if (nl != nullptr) {
      size_t len = size_t(nl - start);
      r->pos += len + 1;
      if (len > LINEBUFSIZE - 2) return readresult_t::too_long;
      if (len > 0 && start[len - 1] == '\r') len--;
      memcpy(line, start, len);
      line[len] = '\0';
      return readresult_t::line;
    }
    if (avail > LINEBUFSIZE - 2) break;
    if (!fill(r)) {
      // The last line, without a newline (its carriage return stays).
      if (avail == 0) return readresult_t::eof;
      memcpy(line, r->buf + r->pos, avail);
      line[avail] = '\0';
      r->pos = r->end;
      return readresult_t::line;
    }
  }
  // Too long: drop the rest of it, up to and with its newline.
  for (;;) {
    r->pos = r->end;
    if (!fill(r)) return readresult_t::too_long;
    const char* start = r->buf + r->pos;
    const char* nl = static_cast<const char*>(memchr(start, '\n', r->end - r->pos));
    if (nl != nullptr) {
      r->pos += size_t(nl - start) + 1;
      return readresult_t::too_long;
    }
  }
}

extraresult_t linereader_extra(linereader_t* r, char* extra, int* lineno) {
  return collect_extra(bufferchars_t{r}, extra, lineno);
}

int parsehostline(hostline_t* hl, const char* line, int delim) {
  const char* p = skipdelim(line, delim);
  p += hostfromstr(&hl->host, p);
  p = skipdelim(p, delim);
  if (*p == '<') p += ttlfromstr(p, &hl->host.ttl);
  p = skipdelim(p, delim);
  int n = hostidfromstr(&hl->hostid, p);
  if (!ip6isset(&hl->hostid)) {
    errmsg("parsehostline(): no hostid found near \"%.10s ...\"\n", p);
    return 0;
  }
  p = skipdelim(p + n, delim);
  n = subnetfromstr(&hl->subnetid, p);
  // The field ends at a delimiter, the scope list or the end of the line:
  // "lan!x" is no name of a subnet.
  if (!ip6isset(&hl->subnetid) ||
      !(p[n] == '\0' || p[n] == '[' || isdelim((unsigned char)p[n], delim))) {
    errmsg("parsehostline(): no subnetid found near \"%.10s ...\"\n", p);
    return 0;
  }
  p = skipdelim(p + n, delim);
  if (*p == '[') {
    size_t len = 0;
    for (p++; *p != '\0' && *p != ']' && len < MAXSCOPELIST; p++)
      if (!is_space((unsigned char)*p)) hl->scopelist[len++] = *p;
    hl->scopelist[len] = '\0';
  } else {
    strcpy(hl->scopelist, "*");
  }
  return 1;
}

int parsehostfile(const char* fname, generator_t gen) {
  input_t in;
  const char* name = fname != nullptr && *fname != '\0' ? fname : "stdin";
  if (strcmp(name, "stdin") == 0 || strcmp(name, "-") == 0) {
    in.fp = stdin;
  } else {
    in.fp = fopen(name, "r");
    if (in.fp == nullptr) {
      errmsg("Couldn't open inputfile %s for reading\n", name);
      run_incomplete = 1;
      return 0;
    }
    in.owned = true;
  }
  longest_domain = 0;
  note_domain(settings.origin);
  for (int i = 0; i < scopecount(); i++) note_domain(scopeget(i)->domain);
  section_t section = section_t::host;
  int lineno = 0;
  linereader_t reader;
  linereader_init(&reader, in.fp);
  char line[LINEBUFSIZE];
  hostline_t hl;
  for (;;) {
    readresult_t r = linereader_line(&reader, line);
    if (r == readresult_t::eof) break;
    lineno++;
    if (r == readresult_t::too_long) {
      fprintf(stderr, "line %d too long; skipping\n", lineno);
      run_incomplete = 1;
      continue;
    }
    const char* p = line;
    while (is_space((unsigned char)*p)) p++;
    if (*p == '\0' || (settings.comment != '\0' && *p == settings.comment)) continue;
    if (p[0] == '%' && p[1] == '%') {
      const char* word = p + 2;
      while (is_space((unsigned char)*word)) word++;
      if (strncmp(word, "HOST", 4) == 0) {
        section = section_t::host;
        continue;
      }
      if (strncmp(word, "SUBNET", 6) == 0) {
        section = section_t::subnet;
        continue;
      }
      if (strncmp(word, "SCOPE", 5) == 0) {
        section = section_t::scope;
        continue;
      }
      if (strncmp(word, "DEBUG", 5) == 0) {
        run_debug(word);
        continue;
      }
    }
    switch (section) {
      case section_t::scope: {
        if (parsescopeline(line, settings.delim) <= 0)
          errexit("error parsing scopeline in %s line %d\n", name, lineno);
        const char* domain = scopeget(scopecount() - 1)->domain;
        if (domain != nullptr) name_warnhost(name, lineno, domain, name_check(domain, true));
        note_domain(domain);
        break;
      }
      case section_t::subnet:
        if (parsesubnetline(line, settings.delim) <= 0)
          errexit("error parsing subnetline in %s line %d\n", name, lineno);
        break;
      case section_t::host: {
        if (!parsehostline(&hl, line, settings.delim))
          errexit("error parsing hostline in %s line %d\n", name, lineno);
        if (settings.verbose >= 2) echo_host(&hl);
        int hostline = lineno;
        extraresult_t extra = linereader_extra(&reader, hl.extra, &lineno);
        if (extra == extraresult_t::too_long)
          errmsg("parsehostfile(): extra records longer than %d characters\n", MAXEXTRA);
        if (extra == extraresult_t::nul)
          errmsg("parsehostfile(): continuation line %d in %s holds a NUL byte\n", lineno + 1,
                 name);
        if (extra != extraresult_t::ok)
          errexit("error parsing hostline in %s line %d\n", name, hostline);
        check_name(&hl, name, hostline);
        if (hl.scopelist[0] != '*' || hl.scopelist[1] != '\0')
          check_scopelist(hl.scopelist, name, hostline);
        walk_prefixes(&hl, &hl.subnetid, gen);
        break;
      }
    }
  }
  if (ferror(in.fp)) errexit("error reading %s\n", name);
  return 1;
}
