#include "spool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "diag.h"
#include "driver.h"
#include "exitseam.h"
#include "settings.h"

namespace {

class Spool : public testing::Test {
 protected:
  void SetUp() override {
    tavrix_reset();
    progname = "tavrix";
  }
  void TearDown() override { tavrix_reset(); }

  static void add(const std::string& zone, const std::string& line) {
    spool_add(zone.c_str(), line.data(), line.size());
  }
  // What spool_write puts on standard output.
  static std::string written(bool debug = false) {
    testing::internal::CaptureStdout();
    spool_write(debug);
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
  }
};

// Each row: (zone, line) in the order given, and the output.
TEST_F(Spool, EachZoneIsOneMessageInTheOrderOfItsFirstUpdate) {
  struct row {
    const char* name;
    std::vector<std::pair<std::string, std::string>> adds;
    bool debug;
    std::string out;
  } rows[] = {
      {"nothing spooled", {}, false, "send\n"},
      {"one zone, debug", {{"a.", "u1\n"}, {"a.", "u2\n"}}, true, "u1\nu2\ndebug\nsend\n"},
      {"zones alternating",
       {{"a.", "a1\n"}, {"b.", "b1\n"}, {"a.", "a2\n"}, {"c.", "c1\n"}, {"b.", "b2\n"}},
       false,
       "a1\na2\nsend\nb1\nb2\nsend\nc1\nsend\n"},
      {"a zone and its parent", {{"x.a.", "1\n"}, {"a.", "2\n"}, {"x.a.", "3\n"}}, false,
       "1\n3\nsend\n2\nsend\n"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    spool_open();
    for (const auto& [zone, line] : r.adds) add(zone, line);
    EXPECT_EQ(written(r.debug), r.out);
    EXPECT_FALSE(spool_isopen());
  }
}

// The host echo of -vv goes with the commands spooled before it, or first
// when none are; it counts for no message size.
TEST_F(Spool, CommentsFollowTheCommandsBeforeThem) {
  spool_open();
  spool_note("; h0\n", 5);
  add("a.", "a1\n");
  add("b.", "b1\n");
  spool_note("; h2\n", 5);
  add("a.", "a2\n");
  EXPECT_EQ(written(), "; h0\na1\na2\nsend\nb1\n; h2\nsend\n");
}

// The size rule inside a message, and a new count for each zone: a "send"
// before the line that would take the message past 32768 bytes.
TEST_F(Spool, AMessageIsCutBeforeItWouldPassTheBatchSize) {
  std::string line(99, 'x');
  line += '\n';
  spool_open();
  for (int i = 0; i < 700; i++) add(i % 2 == 0 ? "a." : "b.", line);
  std::string out = written();
  std::vector<size_t> messages;
  size_t bytes = 0;
  for (size_t pos = 0; pos < out.size();) {
    size_t nl = out.find('\n', pos);
    std::string l = out.substr(pos, nl - pos);
    pos = nl + 1;
    if (l == "send") {
      messages.push_back(bytes);
      bytes = 0;
    } else {
      bytes += l.size() + 1;
    }
  }
  // 350 lines of 100 bytes a zone: 327 fit in 32768 bytes.
  std::vector<size_t> want = {32700, 2300, 32700, 2300};
  EXPECT_EQ(messages, want);
}

// More zones than the buffers may hold at once: their commands go to the
// temporary in many small blocks, and still come out zone by zone in order.
TEST_F(Spool, ManyZonesKeepTheirOrder) {
  const int zones = 300;
  const int rounds = 40;
  // Zone z. holds the lines "z r" of rounds r.
  auto line = [](int z, int r) {
    char text[32];
    snprintf(text, sizeof text, "%d %d\n", z, r);
    return std::string(text);
  };
  spool_open();
  for (int r = 0; r < rounds; r++) {
    for (int z = 0; z < zones; z++) {
      char zone[16];
      snprintf(zone, sizeof zone, "%d.", z);
      add(zone, line(z, r));
    }
  }
  std::string want;
  for (int z = 0; z < zones; z++) {
    for (int r = 0; r < rounds; r++) want += line(z, r);
    want += "send\n";
  }
  EXPECT_EQ(written(), want);
}

TEST_F(Spool, AFailedRunSaysNoUpdateWasWritten) {
  spool_open();
  add("a.", "a1\n");
  testing::internal::CaptureStderr();
  int status = exit_status_of([] { errexit("bad line\n"); });
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tavrix: bad line\ntavrix: no update was written\n");
  EXPECT_EQ(status, TX_EXIT_FATAL);
  EXPECT_FALSE(spool_isopen());
}

TEST_F(Spool, ATemporaryThatCannotBeMadeEndsTheRun) {
  const char* before = getenv("TMPDIR");
  std::string saved = before != nullptr ? before : "";
  setenv("TMPDIR", "/nonexistent/folder", 1);
  testing::internal::CaptureStderr();
  int status = exit_status_of([] { spool_open(); });
  std::string err = testing::internal::GetCapturedStderr();
  if (before != nullptr)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
  EXPECT_EQ(status, TX_EXIT_FATAL);
  EXPECT_EQ(err,
            "tavrix: cannot make the update spool in /nonexistent/folder: "
            "No such file or directory\n"
            "tavrix: no update was written\n");
  EXPECT_FALSE(spool_isopen());
}

}  // namespace
