// The POSIX locale's character classes as one table, for the parsers that
// look at every character of a host line: one lookup instead of a chain of
// comparisons per character. Bytes 0x80..0xFF belong to no class.
#pragma once

#include <array>
#include <cstdint>

enum : uint8_t {
  CC_ALPHA = 1,    // A-Z a-z
  CC_DIGIT = 2,    // 0-9
  CC_XDIGIT = 4,   // 0-9 A-F a-f
  CC_SPACE = 8,    // blank, \t \n \v \f \r
  CC_NAME = 16,    // the characters of a host name: letters, digits, - . _
  CC_MACSEP = 32,  // the separators of a MAC address: - . :
};

// The classes of every byte.
inline constexpr std::array<uint8_t, 256> charclasses = [] {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; c++) {
    uint8_t v = 0;
    bool alpha = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    bool digit = c >= '0' && c <= '9';
    if (alpha) v |= CC_ALPHA;
    if (digit) v |= CC_DIGIT;
    if (digit || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')) v |= CC_XDIGIT;
    if (c == ' ' || (c >= '\t' && c <= '\r')) v |= CC_SPACE;
    if (alpha || digit || c == '-' || c == '.' || c == '_') v |= CC_NAME;
    if (c == '-' || c == '.' || c == ':') v |= CC_MACSEP;
    t[size_t(c)] = v;
  }
  return t;
}();

// Whether the character (a byte, as unsigned char gives it) is in one of
// the classes.
inline bool cc_in(unsigned char c, uint8_t classes) { return (charclasses[c] & classes) != 0; }

// One class each.
inline bool is_alpha(unsigned char c) { return cc_in(c, CC_ALPHA); }
inline bool is_digit(unsigned char c) { return cc_in(c, CC_DIGIT); }
inline bool is_xdigit(unsigned char c) { return cc_in(c, CC_XDIGIT); }
inline bool is_space(unsigned char c) { return cc_in(c, CC_SPACE); }
inline bool is_namechar(unsigned char c) { return cc_in(c, CC_NAME); }

// The value of a hex digit, -1 for any other character.
inline constexpr std::array<int8_t, 256> hexvalues = [] {
  std::array<int8_t, 256> t{};
  for (int c = 0; c < 256; c++) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    t[size_t(c)] = int8_t(v);
  }
  return t;
}();
