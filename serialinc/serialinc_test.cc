#include "serialinc.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// 2026-03-04 12:00:00 UTC, the "now" of the tests.
constexpr time_t NOW = 1772625600;

// Sets a time zone for one test and puts UTC back afterwards.
void settz(const char* tz) {
  setenv("TZ", tz, 1);
  tzset();
}

class SerialincTest : public testing::Test {
 protected:
  void SetUp() override {
    settz("UTC");
    char tmpl[] = "/tmp/serialinc_test.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr) << strerror(errno);
    dir = tmpl;
  }
  void TearDown() override {
    settz("UTC");
    for (const std::string& path : made) unlink(path.c_str());
    rmdir(dir.c_str());
  }

  std::string writefile(const std::string& name, const std::string& content) {
    std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    made.push_back(path);
    return path;
  }

  static std::string readfile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string dir;
  std::vector<std::string> made;
};

// Everything written to a stream, read back from a temporary file.
std::string contents(FILE* fp) {
  std::string text;
  rewind(fp);
  int c;
  while ((c = getc(fp)) != EOF) text += static_cast<char>(c);
  return text;
}

TEST(SerialStyle, ClassifiesByValue) {
  struct Row {
    serial_t serial;
    char style;
  } rows[] = {
      {0, 'i'},
      {1136069999, 'i'},
      {1136070000, 's'},
      {2006010100, 's'},
      {2006010101, 'd'},
      {ULONG_MAX, 'd'},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.serial);
    EXPECT_EQ(serialstyle(row.serial), row.style);
  }
}

TEST(SerialFromStr, TakesDigitsOnly) {
  struct Row {
    const char* text;
    int consumed;
    serial_t value;
  } rows[] = {
      {"5", 1, 5},
      {"2024010101x", 10, 2024010101},
      {"007", 3, 7},
      {"18446744073709551615", 20, ULONG_MAX},
      {"18446744073709551616", 0, 0},
      {"", 0, 0},
      {"-1", 0, 0},
      {"+1", 0, 0},
      {" 1", 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    serial_t value = 0;
    EXPECT_EQ(serialfromstr(row.text, &value), row.consumed);
    EXPECT_EQ(value, row.value);
  }
}

TEST_F(SerialincTest, PrintSerialWritesOneLine) {
  struct Row {
    const char* what;
    const char* tz;
    const char* name;
    serial_t serial;
    const char* line;
  } rows[] = {
      {"counter without name", "UTC", nullptr, 41, "        41\n"},
      {"empty name is no name", "UTC", "", 1136069999, "1136069999\n"},
      {"first time stamp", "UTC", nullptr, 1136070000, "1136070000\tDec 31 2005 23:00:00 +0000\n"},
      {"last time stamp", "UTC", nullptr, 2006010100, "2006010100\tJul 26 2033 17:01:40 +0000\n"},
      {"time stamp in local time", "EST5", nullptr, 1136070000,
       "1136070000\tDec 31 2005 18:00:00 -0500\n"},
      {"first date", "UTC", nullptr, 2006010101, "2006010101\t2006-01-01 Version 01\n"},
      {"date with file name", "UTC", "db.example", 2024010105,
       "db.example                    \t2024010105\t2024-01-01 Version 05\n"},
      {"name longer than the column", "UTC", "zones/db.a-rather-long-zone-name", 7,
       "zones/db.a-rather-long-zone-name\t         7\n"},
      {"eleven digits", "UTC", nullptr, 99999999999, "99999999999\t99999-99-99 Version 99\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    settz(row.tz);
    FILE* out = tmpfile();
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(printserial(out, row.name, row.serial), 0);
    EXPECT_EQ(contents(out), row.line);
    fclose(out);
  }
}

TEST(NewSerial, FollowsTheStyle) {
  struct Row {
    const char* what;
    serial_t old;
    time_t now;
    serial_t serial;
  } rows[] = {
      {"counter", 41, NOW, 42},
      {"counter into time stamps", 1136069999, NOW, 1136070000},
      {"time stamp behind the clock", 1700000000, NOW, NOW + 1},
      {"time stamp of this second", NOW, NOW, NOW + 1},
      {"time stamp ahead of the clock", 1800000000, NOW, 1800000001},
      {"old date", 2024010105, NOW, 2026030401},
      {"today's first", 2026030400, NOW, 2026030401},
      {"today's fifth", 2026030405, NOW, 2026030406},
      {"future date", 2027123199, NOW, 2027123200},
      {"version 99 rolls into the next day", 2026030499, NOW, 2026030500},
      {"last second of the year", 2026123005, 1798761599, 2026123101},
      {"saturates", ULONG_MAX, NOW, ULONG_MAX},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(newserial(row.old, row.now), row.serial);
  }
}

TEST(IncErrMsg, KnowsEveryCode) {
  struct Row {
    int code;
    const char* msg;
  } rows[] = {
      {SI_ENOOPEN, "couldn't open zone file for modifying"},
      {SI_EEOF, "unexpected end of file"},
      {SI_ENOSERIAL, "no serial number found in zone file"},
      {SI_ENOSPACE, "not enough space left for serialno"},
      {SI_ECLOSE, "error on closing zone file"},
      {SI_ETOOBIG, "serial number would exceed 4294967295"},
      {SI_EWRITE, "error on positioning in or writing to zone file"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    EXPECT_STREQ(incerrmsg(row.code), row.msg);
  }
}

const std::string longline = std::string(5000, 'x') + "\n";
// A comment longer than a piece, with what looks like an SOA record in the
// part after the first piece.
const std::string longcomment =
    ";" + std::string(4200, 'x') + " IN SOA ns. hm. 1234567890 3600 900 604800 86400\n";

// A header comment with "in" and then "SOA" and more after them.
const std::string header = "; Remember to increment the SOA serial (YYYYMMDDnn) on every change\n";

// Both modes read the serial at the same place: print mode reads there the
// number that -u rewrites, and fails where -u finds no serial.
TEST_F(SerialincTest, IncrementRewritesTheField) {
  struct Row {
    const char* what;
    std::string before;
    serial_t serial;  // what print mode reads; 0: it fails
    int rc;
    std::string after;  // empty: the file stays as it was
  } rows[] = {
      {"serial after the parenthesis",
       "$TTL 3600\n@ IN SOA ns. hm. (\n\t2024010101 ; serial\n\t3600 )\n", 2024010101, 0,
       "$TTL 3600\n@ IN SOA ns. hm. (\n\t2026030401 ; serial\n\t3600 )\n"},
      {"parenthesis before trailing blanks and CR LF",
       "@ IN SOA ns. hm. (  \r\n 2024010101 ; serial\r\n 3600 )\r\n", 2024010101, 0,
       "@ IN SOA ns. hm. (  \r\n 2026030401 ; serial\r\n 3600 )\r\n"},
      {"in and soa inside longer words before the SOA line",
       "insoa IN A 192.0.2.1\nwww IN CNAME soa.example.\n@ IN SOA ns. hm. (\n 2024010101 )\n",
       2024010101, 0,
       "insoa IN A 192.0.2.1\nwww IN CNAME soa.example.\n@ IN SOA ns. hm. (\n 2026030401 )\n"},
      {"serial on the SOA line",
       "@ 3600 IN SOA ns. hm. 2026030405 3600 900 604800 86400\n", 2026030405, 0,
       "@ 3600 IN SOA ns. hm. 2026030406 3600 900 604800 86400\n"},
      {"serial on the SOA line, tabs",
       "@\tIN\tSOA\tns.\thm.\t41        \t3600 900 604800 86400\n", 41, 0,
       "@\tIN\tSOA\tns.\thm.\t42         3600 900 604800 86400\n"},
      {"IN SOA at the first column", "IN SOA ns. hm. (\n 2024010101 )\n", 2024010101, 0,
       "IN SOA ns. hm. (\n 2026030401 )\n"},
      {"IN SOA at the first column, serial on the line",
       "IN SOA ns. hm. 2024010101 3600 900 604800 86400\n", 2024010101, 0,
       "IN SOA ns. hm. 2026030401 3600 900 604800 86400\n"},
      {"lower-case class and type", "@ in soa ns. hm. (\n 1700000000 ; serial\n )\n",
       1700000000, 0, "@ in soa ns. hm. (\n 1772625601 ; serial\n )\n"},
      {"TTL with a unit", "@ 1D IN SOA ns. hm. 2024010101 1h 15m 1w 1h\n", 2024010101, 0,
       "@ 1D IN SOA ns. hm. 2026030401 1h 15m 1w 1h\n"},
      {"reverse zone with the serial on the SOA line and the next owner a number",
       "0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.\t      86400 IN SOA\tns1.example.com. "
       "hm.example.com. 2024010105 7200 900 1209600 3600\n"
       "0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.\t      86400 IN NS\tns1.example.com.\n",
       2024010105, 0,
       "0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.\t      86400 IN SOA\tns1.example.com. "
       "hm.example.com. 2026030401 7200 900 1209600 3600\n"
       "0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.\t      86400 IN NS\tns1.example.com.\n"},
      {"parenthesis before the serial on the SOA line",
       "@ IN SOA ns. hm. ( 2024010105 ; serial\n 7200 900 1209600 3600 )\n", 2024010105, 0,
       "@ IN SOA ns. hm. ( 2026030401 ; serial\n 7200 900 1209600 3600 )\n"},
      {"parenthesis against the serial", "@ IN SOA ns. hm. (2024010105 7200\n 900 3600 )\n",
       2024010105, 0, "@ IN SOA ns. hm. (2026030401 7200\n 900 3600 )\n"},
      {"line breaks after the number are part of the field",
       "@ IN SOA ns. hm. (\n 41\n\n\n\n\n\n\n\n 3600 )\n", 41, 0,
       "@ IN SOA ns. hm. (\n 42         3600 )\n"},
      {"serial as the file's last bytes", "@ IN SOA ns. hm. (\n4294967294", 4294967294, 0,
       "@ IN SOA ns. hm. (\n4294967295"},
      {"SOA after a line read in pieces", longline + "@ IN SOA ns. hm. (\n 2024010101 )\n",
       2024010101, 0, longline + "@ IN SOA ns. hm. (\n 2026030401 )\n"},
      {"commented-out SOA record above the real one",
       "; @ IN SOA ns. hm. 2024010101 3600 900 604800 86400\n"
       "@ IN SOA ns. hm. 2024010105 3600 900 604800 86400\n",
       2024010105, 0,
       "; @ IN SOA ns. hm. 2024010101 3600 900 604800 86400\n"
       "@ IN SOA ns. hm. 2026030401 3600 900 604800 86400\n"},
      {"comment with in and SOA above the record",
       header + "@ IN SOA ns. hm. (\n 2024010105 )\n", 2024010105, 0,
       header + "@ IN SOA ns. hm. (\n 2026030401 )\n"},
      {"comment longer than a piece", longcomment + "@ IN SOA ns. hm. (\n 2024010101 )\n",
       2024010101, 0, longcomment + "@ IN SOA ns. hm. (\n 2026030401 )\n"},
      {"quoted string with a semicolon and IN SOA in it",
       "txt IN TXT \"a; in SOA ns. hm. 1234567890 1 2\"\n@ IN SOA ns. hm. 2024010101 1 2 3 4\n",
       2024010101, 0,
       "txt IN TXT \"a; in SOA ns. hm. 1234567890 1 2\"\n@ IN SOA ns. hm. 2026030401 1 2 3 4\n"},
      {"escaped quote inside a quoted string",
       "txt IN TXT \"say \\\"in SOA ns. hm. 1234567890 1 2\\\"\"\n"
       "@ IN SOA ns. hm. 2024010101 1 2 3 4\n",
       2024010101, 0,
       "txt IN TXT \"say \\\"in SOA ns. hm. 1234567890 1 2\\\"\"\n"
       "@ IN SOA ns. hm. 2026030401 1 2 3 4\n"},
      {"comment on the line after the parenthesis", "@ IN SOA ns. hm. ( ; x\n 2024010101 )\n",
       2024010101, 0, "@ IN SOA ns. hm. ( ; x\n 2026030401 )\n"},
      {"comment line before the serial", "@ IN SOA ns. hm. (\n ; serial\n 2024010101 )\n",
       2024010101, 0, "@ IN SOA ns. hm. (\n ; serial\n 2026030401 )\n"},
      {"mailbox ending the line is no SOA line", "@ IN SOA ns. hm.\n 2024010101 )\n", 0, SI_EEOF,
       ""},
      {"no SOA record", "$TTL 3600\n@ IN NS ns.\n", 0, SI_EEOF, ""},
      {"SOA record only in a comment", "; @ IN SOA ns. hm. (\n 2024010101 )\n", 0, SI_EEOF, ""},
      {"SOA line is the last line without line break", "@ IN SOA ns. hm. 2024010101 3600", 0,
       SI_EEOF, ""},
      {"no number after the comment", "@ IN SOA ns. hm. ( ; 2024010101\n ns )\n", 0,
       SI_ENOSERIAL, ""},
      {"signed number", "@ IN SOA ns. hm. (\n -2024010101 )\n", 0, SI_ENOSERIAL, ""},
      {"narrow field", "@ IN SOA ns. hm. 41 ns 3600 900 604800 86400\n", 41, SI_ENOSPACE, ""},
      {"field one short of ten", "@ IN SOA ns. hm. (\n1        )\n", 1, SI_ENOSPACE, ""},
      {"field of exactly ten", "@ IN SOA ns. hm. (\n1         )\n", 1, 0,
       "@ IN SOA ns. hm. (\n2         )\n"},
      {"new serial wider than the field", "@ IN SOA ns. hm. (\n9999999999)\n", 9999999999,
       SI_ENOSPACE, ""},
      {"new serial filling the field, a blank after it",
       "@ IN SOA ns. hm. 999999999 7200 900 1209600 3600\n", 999999999, SI_ENOSPACE, ""},
      {"new serial filling the field, a line break after it",
       "@ IN SOA ns. hm. (\n999999999\n7200 900 1209600 3600 )\n", 999999999, SI_ENOSPACE, ""},
      {"new serial filling the field, a parenthesis after it",
       "@ IN SOA ns. hm. (\n1000000000)\n", 1000000000, SI_ENOSPACE, ""},
      {"new serial leaving one blank", "@ IN SOA ns. hm. 999999999  7200 900 1209600 3600\n",
       999999999, 0, "@ IN SOA ns. hm. 1000000000 7200 900 1209600 3600\n"},
      {"largest serial", "@ IN SOA ns. hm. (\n4294967295 )\n", 4294967295, SI_ETOOBIG, ""},
      {"number beyond 64 bits", "@ IN SOA ns. hm. (\n99999999999999999999999 )\n", 0,
       SI_ENOSERIAL, ""},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = writefile("zone" + std::to_string(n++), row.before);
    serial_t serial = 0;
    EXPECT_EQ(readserial(path.c_str(), &serial), row.serial != 0 ? 0 : -1);
    EXPECT_EQ(serial, row.serial);
    EXPECT_EQ(incserial(path.c_str(), NOW), row.rc);
    EXPECT_EQ(readfile(path), row.after.empty() ? row.before : row.after);
  }
}

TEST_F(SerialincTest, IncrementKeepsTheFile) {
  const std::string path = writefile("zone", "@ IN SOA ns. hm. (\n 2024010101 )\n");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  struct stat before, after;
  ASSERT_EQ(stat(path.c_str(), &before), 0);
  EXPECT_EQ(incserial(path.c_str(), NOW), 0);
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_size, before.st_size);
  EXPECT_EQ(after.st_mode, before.st_mode);
}

TEST_F(SerialincTest, IncrementWithoutFile) {
  EXPECT_EQ(incserial((dir + "/missing").c_str(), NOW), SI_ENOOPEN);
}

// A zone file in memory whose writing or closing can be made to fail.
struct Cookie {
  std::string data;
  size_t pos = 0;
  bool failwrite = false;
  bool failclose = false;
  bool closed = false;
};

ssize_t cookieread(void* c, char* buf, size_t size) {
  auto* ck = static_cast<Cookie*>(c);
  const size_t n = std::min(size, ck->data.size() - ck->pos);
  memcpy(buf, ck->data.data() + ck->pos, n);
  ck->pos += n;
  return static_cast<ssize_t>(n);
}

ssize_t cookiewrite(void* c, const char* buf, size_t size) {
  auto* ck = static_cast<Cookie*>(c);
  if (ck->failwrite) {
    errno = ENOSPC;
    return -1;
  }
  if (ck->pos + size > ck->data.size()) ck->data.resize(ck->pos + size);
  memcpy(ck->data.data() + ck->pos, buf, size);
  ck->pos += size;
  return static_cast<ssize_t>(size);
}

int cookieseek(void* c, off64_t* offset, int whence) {
  auto* ck = static_cast<Cookie*>(c);
  off64_t base = 0;
  if (whence == SEEK_CUR) base = static_cast<off64_t>(ck->pos);
  if (whence == SEEK_END) base = static_cast<off64_t>(ck->data.size());
  ck->pos = static_cast<size_t>(base + *offset);
  *offset = static_cast<off64_t>(ck->pos);
  return 0;
}

int cookieclose(void* c) {
  auto* ck = static_cast<Cookie*>(c);
  ck->closed = true;
  return ck->failclose ? -1 : 0;
}

FILE* cookieopen(Cookie* ck, const char* mode) {
  return fopencookie(ck, mode, {cookieread, cookiewrite, cookieseek, cookieclose});
}

TEST(IncSerialFp, ReportsFailingWritesAndCloses) {
  const std::string zone = "@ IN SOA ns. hm. (\n 41         )\n";
  struct Row {
    const char* what;
    bool failwrite;
    bool failclose;
    int rc;
    std::string after;
  } rows[] = {
      {"both work", false, false, 0, "@ IN SOA ns. hm. (\n 42         )\n"},
      {"write fails", true, false, SI_EWRITE, zone},
      {"close fails", false, true, SI_ECLOSE, "@ IN SOA ns. hm. (\n 42         )\n"},
      {"write and close fail", true, true, SI_ECLOSE, zone},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Cookie ck;
    ck.data = zone;
    ck.failwrite = row.failwrite;
    ck.failclose = row.failclose;
    FILE* fp = cookieopen(&ck, "r+");
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(incserialfp(fp, NOW), row.rc);
    EXPECT_TRUE(ck.closed);
    EXPECT_EQ(ck.data, row.after);
  }
}

TEST_F(SerialincTest, ReadSerialReadsEveryLayout) {
  struct Row {
    const char* what;
    std::string zone;
    int rc;
    serial_t serial;
  } rows[] = {
      {"owner, class, type", "$TTL 3600\n@ IN SOA ns. hm. (\n  2024010101 ; serial\n )\n", 0,
       2024010101},
      {"with TTL", "@ 3600 IN SOA ns. hm. (\n\n\n41\n", 0, 41},
      {"a line ending with the name server is no SOA line", "@ IN SOA ns.\n41\n", -1, 0},
      {"CR LF", "@ IN SOA ns. hm. (\r\n 41 )\r\n", 0, 41},
      {"lower-case class and type", "@ in soa ns. hm. (\n 41 )\n", 0, 41},
      {"no owner", " IN SOA ns. hm. (\n 41 )\n", 0, 41},
      {"nothing after SOA", "@ IN SOA\n41\n", -1, 0},
      {"serial on the SOA line", "@ IN SOA ns. hm. 41 3600 900 604800 86400\n", 0, 41},
      {"not the next line's first number", "@ IN SOA ns. hm. 41 3600 900 604800 86400\n7\n",
       0, 41},
      {"no SOA", "@ IN NS ns.\n", -1, 0},
      {"signed number", "@ IN SOA ns. hm. (\n -41 )\n", -1, 0},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = writefile("zone" + std::to_string(n++), row.zone);
    serial_t serial = 0;
    EXPECT_EQ(readserial(path.c_str(), &serial), row.rc);
    EXPECT_EQ(serial, row.serial);
  }
  serial_t serial = 0;
  EXPECT_EQ(readserial((dir + "/missing").c_str(), &serial), -1);
}

time_t fakeclock() { return NOW; }

// Runs the whole command with out as its standard output; returns the
// status and fills err with what it wrote on standard error.
int runmain(std::vector<const char*> args, FILE* out, std::string* err) {
  args.insert(args.begin(), "serialinc");
  testing::internal::CaptureStderr();
  const int status = serialinc_main(static_cast<int>(args.size()),
                                    const_cast<char* const*>(args.data()), out, fakeclock);
  *err = testing::internal::GetCapturedStderr();
  return status;
}

TEST_F(SerialincTest, MainUsesTheClockItIsGiven) {
  const std::string zone = writefile("zone", "@ IN SOA ns. hm. (\n 1700000000 )\n");
  const std::string none = writefile("none", "@ IN NS ns.\n");
  std::string err;
  EXPECT_EQ(runmain({"-u", zone.c_str(), none.c_str()}, stdout, &err), SI_EXIT_FAILED);
  EXPECT_EQ(readfile(zone), "@ IN SOA ns. hm. (\n 1772625601 )\n");
  EXPECT_EQ(err, "Can not increment serial number in " + none +
                     "\nerror -2:  unexpected end of file\n");
}

TEST_F(SerialincTest, MainReportsLostOutput) {
  const std::string zone = writefile("zone", "@ IN SOA ns. hm. (\n 41 )\n");
  struct Row {
    const char* what;
    std::vector<const char*> args;
    std::string err;
  } rows[] = {
      {"-s", {"-s", "5"}, ""},
      {"print mode", {zone.c_str(), "/dev/null"},
       "couldn't read serial number from file /dev/null\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Cookie ck;
    ck.failwrite = true;
    FILE* out = cookieopen(&ck, "w");
    ASSERT_NE(out, nullptr);
    std::string err;
    EXPECT_EQ(runmain(row.args, out, &err), SI_EXIT_FAILED);
    fclose(out);
    EXPECT_EQ(err, row.err +
                       "serialinc: error on writing standard output: No space left on device\n");
  }
}

}  // namespace
