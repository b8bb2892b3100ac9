#include "fields.h"

#include <cstdio>
#include <cstring>

#include "charclass.h"
#include "diag.h"

const char* skipdelim(const char* line, int delim) {
  TX_ASSERT(line != NULL);
  while (is_space((unsigned char)*line) || (delim != 0 && *line == (char)delim)) line++;
  return line;
}

int isdelim(int c, int delim) {
  if (c == 0) return 0;
  return is_space((unsigned char)c) || (delim != 0 && c == delim);
}

int wordcmp(const char* name, const char* str, const char* separators) {
  int i = 0;
  while (name[i] != '\0' && name[i] == str[i]) i++;
  if (name[i] == '\0' && (str[i] == '\0' || strchr(separators, str[i]) != nullptr)) return 0;
  int k = i;
  while (str[k] != '\0' && strchr(separators, str[k]) == nullptr) k++;
  return k;
}

int ttlfromstr(const char* str, uint64_t* pttl) {
  TX_ASSERT(pttl != NULL);
  *pttl = 0;
  if (str == nullptr) return 0;
  const char* p = str;
  if (*p == '<') p++;
  uint64_t value = 0;
  bool overflow = false;
  while (is_digit((unsigned char)*p)) {
    uint64_t digit = (uint64_t)(*p - '0');
    if (value > (UINT64_MAX - digit) / 10) overflow = true;
    value = value * 10 + digit;
    p++;
  }
  uint64_t factor;
  switch (*p) {
    case 's': factor = 1; break;
    case 'm': factor = 60; break;
    case 'h': factor = 3600; break;
    case 'd': factor = 86400; break;
    case 'w': factor = 604800; break;
    default: errexit("illegal ttl scaling %c\n", *p);
  }
  p++;
  if (*p == '>') p++;
  int count = (int)(p - str);
  // A TTL that wraps, or that servers would read as 0, is refused.
  if (overflow || value > MAXTTL / factor)
    errexit("ttl \"%.*s\" out of range (at most %llu seconds)\n", count, str,
            (unsigned long long)MAXTTL);
  *pttl = value * factor;
  return count;
}

char* ttltostr(char* buf, size_t size, uint64_t ttl) {
  static const struct {
    uint64_t factor;
    const char* letter;
  } units[] = {{604800, "w"}, {86400, "d"}, {3600, "h"}, {60, "m"}};
  uint64_t number = ttl;
  const char* letter = "";
  for (const auto& u : units) {
    if (ttl % u.factor == 0) {
      number = ttl / u.factor;
      letter = u.letter;
      break;
    }
  }
  snprintf(buf, size, "<%lu%s>", (unsigned long)number, letter);
  return buf;
}

char* str_chop(char* str, int c) {
  TX_ASSERT(str != NULL);
  size_t n = strlen(str);
  while (n > 0 && str[n - 1] == (char)c) str[--n] = '\0';
  return str;
}

char* str_delspace(char* str) {
  if (str == nullptr) return nullptr;
  char* out = str;
  for (const char* in = str; *in; in++)
    if (!is_space((unsigned char)*in)) *out++ = *in;
  *out = '\0';
  return str;
}

int str_inlist(const char* str, const char* const* list, int count) {
  if (list == nullptr || count <= 0) return 1;
  if (str == nullptr || *str == '\0') return 0;
  for (int i = count - 1; i >= 0; i--)
    if (list[i] != nullptr && strcmp(str, list[i]) == 0) return 1;
  return 0;
}
