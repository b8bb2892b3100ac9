// The names tavrix writes: the limits DNS sets on them, the check of their
// labels, the joining of a host name and a domain into an owner or PTR
// target, and the names that are no host names.
#pragma once

#include <cstddef>

// The longest label, and the longest name written with its final dot (255
// octets on the wire).
constexpr size_t NAME_MAXLABEL = 63;
constexpr size_t NAME_MAXTEXT = 254;
// The longest name a field of a host file is read with: one more than a
// name can be, so that a name too long is seen and refused, not cut.
constexpr size_t NAME_MAXFIELD = NAME_MAXTEXT + 1;

// What keeps a name from being one DNS can hold.
enum class namefault_t {
  none,
  emptylabel,  // an empty name, a leading dot or two dots in a row
  finaldot,    // a host name ending in a dot: it is joined to a domain
  longlabel,   // a label of more than NAME_MAXLABEL characters
  toolong,     // a domain of more than NAME_MAXTEXT characters with its final dot
};

// What name_check finds.
struct namecheck_t {
  namefault_t fault;
  bool hostname;  // no "_", and no label that begins or ends with "-"
};

// Checks the labels of name, a host name (relative: no final dot) or, with
// domain, a domain (a final dot allowed, the length checked with it). Must
// not be given a null name.
namecheck_t name_check(const char* name, bool domain);
// Copies the name characters (letters, digits, - . _) at the start of str,
// at most max of them, into out (no terminator) and checks them as
// name_check checks a host name; returns how many. Must not be given a
// null str, out or check.
size_t name_read(const char* str, char* out, size_t max, namecheck_t* check);
// The text that says what a fault is, to follow the name it was found in
// ("has an empty label"); empty for none.
const char* name_faulttext(namefault_t fault);
// Whether a host name of hostlen characters joined to a domain of domainlen
// characters (with its final dot) makes a name DNS can hold.
bool name_fits(size_t hostlen, size_t domainlen);
// Writes host "." domain at p, without terminator; returns its end. The
// caller makes room for hostlen + 1 + domainlen characters.
char* name_put(char* p, const char* host, size_t hostlen, const char* domain, size_t domainlen);
// Warns on standard error, naming file and line (file null: the -o
// origin), when name is no host name, which BIND's check-names refuses.
// Must not be given a null name.
void name_warnhost(const char* file, int line, const char* name, const namecheck_t& check);
