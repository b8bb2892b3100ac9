// Field scanning, the TTL text form and string helpers of the readers.
#pragma once

#include <cstddef>
#include <cstdint>

// Returns the first character of line past white space and delim (0:
// none). Must not be given a null line.
const char* skipdelim(const char* line, int delim);
// Whether c is white space or delim (0: none); the NUL never is.
int isdelim(int c, int delim);
// 0 when str begins with the word name followed by its end or one of
// separators; otherwise the length of the word str begins with.
int wordcmp(const char* name, const char* str, const char* separators);
// Reads a TTL ("<" optional, digits, one of s m h d w, ">" optional) into
// *pttl in seconds; returns the characters read, 0 for a null str. An
// unknown unit or a TTL above MAXTTL ends the run. Must not be given a
// null pttl.
int ttlfromstr(const char* str, uint64_t* pttl);
// Writes ttl as "<N>" with the largest of the units w d h m that divides
// it (none: seconds) into buf, cut at size; returns buf.
char* ttltostr(char* buf, size_t size, uint64_t ttl);

// Removes every c at the end of str, in place; returns str. Must not be
// given a null str.
char* str_chop(char* str, int c);
// Removes every white space character of str, in place; returns str (null
// for null).
char* str_delspace(char* str);
// 1 when str is one of the count texts of list, or when there is no list
// (null or count at most 0); 0 otherwise and for an empty or null str.
int str_inlist(const char* str, const char* const* list, int count);

// The largest TTL DNS allows (RFC 2181).
constexpr uint64_t MAXTTL = 2147483647;
