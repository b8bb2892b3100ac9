#include "hostfile.h"

#include <sys/stat.h>

#include <cstring>

#include "charclass.h"
#include "misc.h"
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
// Returns false when they hold more than MAXEXTRA characters.
bool collect_extra(bufferchars_t in, char* extra, int* lineno) {
  size_t n = 0;
  extra[0] = '\0';
  int c = in.get();
  if (c == EOF) return true;
  in.unget(c);
  if (c != '^') return true;
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
      return false;
    }
    extra[n++] = (char)c;
    prev = c;
  }
  extra[n] = '\0';
  return true;
}

// A warning quotes from a place in the line; a parser's negative error code
// must not move the quote before the line itself.
const char* quote_from(const char* line, const char* pos, int count) {
  return count < 0 && pos + count < line ? line : pos + count;
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
  char name[255] = "";
  char ttl[11] = "";
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

// Whether the walk would give the host a reverse or update record: both
// name the host (PTR target, update owner), and without a name they would
// read ".<domain>", which no zone takes. Forward lines do without one: their
// blank owner continues the previous one. In update mode reverse records
// are updates too, and -l picks their hosts as well.
bool needs_name(const hostline_t* hl) {
  bool update = settings.ddns && (settings.lookup == nullptr || *settings.lookup == '\0');
  bool reverse = settings.reverse && !settings.ddns;
  for (prfx_t* e = prfxfirst(); e != nullptr; e = prfxnext()) {
    bool selected = e->scope == nullptr || selects(e->scope->name, hl->scopelist);
    if (selected && (update || (reverse && e->action == 0))) return true;
  }
  return false;
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

bool linereader_extra(linereader_t* r, char* extra, int* lineno) {
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
    errmsg("parsehostline(): no hostid found near \"%.10s ...\"\n", quote_from(line, p, n));
    return 0;
  }
  p = skipdelim(p + n, delim);
  n = subnetfromstr(&hl->subnetid, p);
  if (!ip6isset(&hl->subnetid)) {
    errmsg("parsehostline(): no subnetid found near \"%.10s ...\"\n", quote_from(line, p, n));
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
      case section_t::scope:
        if (parsescopeline(line, settings.delim) <= 0)
          errexit("error parsing scopeline in %s line %d\n", name, lineno);
        break;
      case section_t::subnet:
        if (parsesubnetline(line, settings.delim) <= 0)
          errexit("error parsing subnetline in %s line %d\n", name, lineno);
        break;
      case section_t::host: {
        if (!parsehostline(&hl, line, settings.delim))
          errexit("error parsing hostline in %s line %d\n", name, lineno);
        if (settings.verbose >= 2) echo_host(&hl);
        int hostline = lineno;
        if (!linereader_extra(&reader, hl.extra, &lineno)) {
          errmsg("parsehostfile(): extra records longer than %d characters\n", MAXEXTRA);
          errexit("error parsing hostline in %s line %d\n", name, hostline);
        }
        if (hl.host.name[0] == '\0' && needs_name(&hl)) {
          errmsg("parsehostfile(): host line has no host name; reverse and update records "
                 "need one\n");
          errexit("error parsing hostline in %s line %d\n", name, hostline);
        }
        walk_prefixes(&hl, &hl.subnetid, gen);
        break;
      }
    }
  }
  if (ferror(in.fp)) errexit("error reading %s\n", name);
  return 1;
}
