#include "filep.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "exitseam.h"

namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The names in the current folder that begin with a dot, but . and ..
std::vector<std::string> hidden_files() {
  std::vector<std::string> names;
  DIR* d = opendir(".");
  if (d == nullptr) return names;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n[0] == '.' && n != "." && n != "..") names.push_back(n);
  }
  closedir(d);
  return names;
}

// Each test works in a fresh folder with a chosen soft limit of descriptors.
class Pool : public testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/filep_test.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    ASSERT_EQ(getcwd(old_cwd_, sizeof old_cwd_), old_cwd_);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved_), 0);
  }
  void TearDown() override {
    filep_reset();
    ASSERT_EQ(chdir(old_cwd_), 0);
    std::string cmd = "rm -rf " + dir_;
    ASSERT_EQ(system(cmd.c_str()), 0);
  }
  // The pool keeps limit - 4 streams open. The limit is set back at once, so
  // that the test itself has descriptors to spare.
  int init_with_limit(rlim_t soft, const char* mode = "w") {
    struct rlimit rl = saved_;
    rl.rlim_cur = soft;
    EXPECT_EQ(setrlimit(RLIMIT_NOFILE, &rl), 0);
    int limit = filep_init(nullptr, mode);
    EXPECT_EQ(setrlimit(RLIMIT_NOFILE, &saved_), 0);
    return limit;
  }
  // A name that hashes to the slot: three letters, then the tag.
  static std::string name_in_slot(int slot, const std::string& tag, int skip = 0) {
    for (int i = 0; i < 26 * 26 * 26; i++) {
      std::string name = {char('a' + i % 26), char('a' + i / 26 % 26), char('a' + i / 676)};
      name += tag;
      if (filep_hash(name.c_str()) == slot && skip-- == 0) return name;
    }
    ADD_FAILURE() << "no name for slot " << slot;
    return tag;
  }
  std::string dir_;
  char old_cwd_[4096];
  struct rlimit saved_;
};

TEST(FilepHash, SumsSignedBytesTimesPowersOfTen) {
  struct row {
    std::string name;
    int slot;
  } rows[] = {
      {"", 0},
      {"ab", (97 + 98 * 10) % 160},
      {"zkr.0001", -1},
      {"\xff", (int)((uint64_t)-1 % 160)},
      {std::string(25, 'a'), -1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    uint64_t sum = 0, factor = 1;
    for (char c : r.name) {
      sum += (uint64_t)(int64_t)(signed char)c * factor;
      factor *= 10;
    }
    int want = r.slot >= 0 ? r.slot : (int)(sum % 160);
    EXPECT_EQ(filep_hash(r.name.c_str()), want);
  }
}

TEST_F(Pool, SameNameSameStreamOpensNothingMore) {
  EXPECT_EQ(init_with_limit(64), 60);
  FILE* a = filep_open("zkd.example.com.");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(filep_open("zkd.example.com."), a);
  EXPECT_EQ(filep_open_count(), 1);
  EXPECT_EQ(filep_close(), 1);
  EXPECT_EQ(filep_open_count(), 0);
}

TEST_F(Pool, ClosesTheNearestOpenStreamBeforeTheSlotAndReopensForAppending) {
  ASSERT_EQ(init_with_limit(6), 2);
  // Two names around the slot of the third; the one before it is closed.
  std::string before = name_in_slot(10, "b");
  std::string after = name_in_slot(20, "a");
  std::string third = name_in_slot(15, "t");
  fputs("one\n", filep_open(before.c_str()));
  fputs("x\n", filep_open(after.c_str()));
  fputs("t\n", filep_open(third.c_str()));
  EXPECT_EQ(filep_open_count(), 2);
  int ind;
  ASSERT_EQ(filep_first(&ind), 0);
  EXPECT_EQ(filep_getname(&ind), third);
  ASSERT_EQ(filep_next(&ind), 0);
  EXPECT_EQ(filep_getname(&ind), after);
  EXPECT_EQ(filep_next(&ind), 1);
  EXPECT_EQ(ind, HASHSIZE);
  // Asking again for the closed name reopens it and keeps what it held.
  fputs("two\n", filep_open(before.c_str()));
  ASSERT_EQ(filep_close(), 1);
  EXPECT_EQ(slurp(before), "one\ntwo\n");
  EXPECT_EQ(slurp(after), "x\n");
}

TEST_F(Pool, WrapsFromSlotZeroToTheEnd) {
  ASSERT_EQ(init_with_limit(5), 1);
  std::string last = name_in_slot(159, "l");
  std::string first = name_in_slot(0, "f");
  ASSERT_NE(filep_open(last.c_str()), nullptr);
  ASSERT_NE(filep_open(first.c_str()), nullptr);
  int ind;
  ASSERT_EQ(filep_first(&ind), 0);
  EXPECT_EQ(ind, 0);
  EXPECT_EQ(filep_next(&ind), 1);
}

TEST_F(Pool, CollidingNamesTakeTheNextSlotsWrappingAfter159) {
  ASSERT_GT(init_with_limit(64), 0);
  std::string a = name_in_slot(159, "c");
  std::string b = name_in_slot(159, "c", 1);
  ASSERT_NE(filep_open(a.c_str()), nullptr);
  ASSERT_NE(filep_open(b.c_str()), nullptr);
  int ind = 0;
  EXPECT_EQ(filep_getname(&ind), b);
  ind = 159;
  EXPECT_EQ(filep_getname(&ind), a);
  EXPECT_EQ(filep_getzone(&ind), nullptr);
}

TEST_F(Pool, WriteModeTruncatesAppendModeExtends) {
  for (const char* mode : {"w", "a"}) {
    SCOPED_TRACE(mode);
    {
      std::ofstream("zkd.x.") << "old\n";
    }
    ASSERT_GT(init_with_limit(64, mode), 0);
    fputs("new\n", filep_open("zkd.x."));
    ASSERT_EQ(filep_close(), 1);
    EXPECT_EQ(slurp("zkd.x."), std::string(mode) == "w" ? "new\n" : "old\nnew\n");
  }
}

TEST_F(Pool, FilesChangeOnlyWhenThePoolIsClosed) {
  {
    std::ofstream("zkd.x.") << "old\n";
  }
  ASSERT_GT(init_with_limit(64), 0);
  fputs("new\n", filep_open("zkd.x."));
  fputs("first\n", filep_open("zkr.0001"));
  EXPECT_EQ(slurp("zkd.x."), "old\n");
  EXPECT_EQ(access("zkr.0001", F_OK), -1);
  EXPECT_EQ(hidden_files().size(), 2u);
  ASSERT_EQ(filep_close(), 1);
  EXPECT_EQ(slurp("zkd.x."), "new\n");
  EXPECT_EQ(slurp("zkr.0001"), "first\n");
  EXPECT_TRUE(hidden_files().empty());
}

TEST_F(Pool, EveryOtherEndRemovesTheTemporariesAndLeavesTheFiles) {
  struct Row {
    const char* what;
    void (*end)();
    int status;
  } rows[] = {
      {"a fatal error", [] { errexit("bad line\n"); }, TX_EXIT_FATAL},
      {"the pool's limit", [] { tx_exit(TX_EXIT_POOL); }, TX_EXIT_POOL},
      {"a write error at the close",
       [] {
         fputs("lost\n", filep_open("full"));
         filep_close();
       },
       TX_EXIT_FATAL},
  };
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  ASSERT_EQ(symlink("/dev/full", "full"), 0);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    {
      std::ofstream("zkd.x.") << "old\n";
    }
    ASSERT_GT(init_with_limit(64, "a"), 0);
    fputs("new\n", filep_open("zkd.x."));
    fputs("new\n", filep_open("zkr.0001"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(exit_status_of(row.end), row.status);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(slurp("zkd.x."), "old\n");
    EXPECT_EQ(access("zkr.0001", F_OK), -1);
    EXPECT_TRUE(hidden_files().empty());
    EXPECT_EQ(filep_open_count(), 0);
  }
}

// Output compared with the old file: whatever part of it matches, the file
// ends up holding exactly the new content, and only a file whose content
// stays is left as it was (same inode). Each row writes its text in pieces
// of piece bytes to a file that held old, in a pool that keeps two streams
// open, with a third file written in between to close and reopen it.
TEST_F(Pool, OutputComparedWithTheOldFileGivesExactlyTheNewContent) {
  std::string big(200000, 'x');
  for (size_t i = 60; i < big.size(); i += 61) big[i] = '\n';
  big.back() = '\n';
  std::string changed = big;
  changed[150000] = 'y';
  struct Row {
    const char* what;
    const char* mode;
    std::string old, text;
    std::string want;  // empty: the text (mode "w")
    bool kept;
  } rows[] = {
      {"the same", "w", big, big, "", true},
      {"a prefix of the old", "w", big, big.substr(0, 100000), "", false},
      {"the old and more", "w", big, big + "more\n", "", false},
      {"differs late", "w", big, changed, "", false},
      {"differs at once", "w", big, "other\n", "", false},
      {"empty over a file", "w", big, "", "", false},
      {"empty over an empty file", "w", "", "", "", true},
      {"nothing appended", "a", big, "", big, true},
      {"appended", "a", big, "new\n", big + "new\n", false},
      {"appended after a line without newline", "a", "last", "new\n", "last\nnew\n", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    {
      std::ofstream("zkd.x.") << r.old;
    }
    struct stat before;
    ASSERT_EQ(stat("zkd.x.", &before), 0);
    ASSERT_EQ(init_with_limit(6, r.mode), 2);
    std::string a = name_in_slot(10, "a"), b = name_in_slot(20, "b");
    for (size_t at = 0, piece = 7000; at < r.text.size() || at == 0; at += piece) {
      fputs(r.text.substr(at, piece).c_str(), filep_open("zkd.x."));
      fputs("a\n", filep_open(a.c_str()));
      fputs("b\n", filep_open(b.c_str()));
      if (r.text.empty()) break;
    }
    ASSERT_EQ(filep_close(), 1);
    // Compared whole, not printed: the texts are long.
    std::string got = slurp("zkd.x.");
    const std::string& want = r.want.empty() && r.mode[0] == 'w' ? r.text : r.want;
    EXPECT_TRUE(got == want) << got.size() << " bytes, " << want.size() << " wanted";
    struct stat after;
    ASSERT_EQ(stat("zkd.x.", &after), 0);
    EXPECT_EQ(after.st_ino == before.st_ino, r.kept);
    EXPECT_TRUE(hidden_files().empty());
    filep_reset();
    unlink(a.c_str());
    unlink(b.c_str());
  }
}

// Many streams share the memory for buffers: files written in turn, in
// runs that leave the others idle long enough to give up their buffers, and
// with records larger than a buffer, over old files that match a part of
// the output or none; each file gets exactly its lines.
TEST_F(Pool, StreamsSharingTheBufferMemoryGiveEachFileExactlyItsOutput) {
  struct Row {
    const char* what;
    int files;
    int run;          // records to a file before the next one
    int rounds;       // of runs over all files
    size_t big_every; // every this many records one of 70000 bytes; 0: none
    int alone;        // records to the last file after the rounds
    rlim_t limit;
  } rows[] = {
      {"in turn", 97, 1, 1500, 0, 0, 1024},
      {"in turn, then one file alone", 97, 1, 200, 0, 300000, 1024},
      {"in runs", 40, 3000, 3, 0, 0, 1024},
      {"in runs, records larger than a buffer", 20, 500, 3, 7, 0, 1024},
      {"in turn under a low limit", 40, 2, 100, 0, 0, 12},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::vector<std::string> names, want(size_t(r.files));
    for (int f = 0; f < r.files; f++) names.push_back("zkr." + std::to_string(f));
    // The old file of every third matches the first part of its output.
    size_t record = 0;
    for (int round = 0; round < r.rounds; round++) {
      for (int f = 0; f < r.files; f++) {
        for (int k = 0; k < r.run; k++, record++) {
          std::string line = "record " + std::to_string(record) + " of " + names[size_t(f)];
          if (r.big_every != 0 && record % r.big_every == 0) line += std::string(70000, 'z');
          want[size_t(f)] += line + "\n";
        }
      }
    }
    for (int k = 0; k < r.alone; k++) want.back() += "alone " + std::to_string(k) + "\n";
    for (int f = 0; f < r.files; f += 3)
      std::ofstream(names[size_t(f)]) << want[size_t(f)].substr(0, want[size_t(f)].size() / 2)
                                      << "old tail\n";
    ASSERT_GT(init_with_limit(r.limit), 0);
    record = 0;
    for (int round = 0; round < r.rounds; round++) {
      for (int f = 0; f < r.files; f++) {
        for (int k = 0; k < r.run; k++, record++) {
          FILE* fp = filep_open(names[size_t(f)].c_str());
          ASSERT_NE(fp, nullptr);
          std::string line = "record " + std::to_string(record) + " of " + names[size_t(f)];
          if (r.big_every != 0 && record % r.big_every == 0) line += std::string(70000, 'z');
          fputs((line + "\n").c_str(), fp);
        }
      }
    }
    for (int k = 0; k < r.alone; k++)
      fputs(("alone " + std::to_string(k) + "\n").c_str(), filep_open(names.back().c_str()));
    ASSERT_EQ(filep_close(), 1);
    for (int f = 0; f < r.files; f++) {
      std::string got = slurp(names[size_t(f)]);
      EXPECT_TRUE(got == want[size_t(f)])
          << names[size_t(f)] << ": " << got.size() << " bytes, " << want[size_t(f)].size()
          << " wanted";
      unlink(names[size_t(f)].c_str());
    }
    EXPECT_TRUE(hidden_files().empty());
    filep_reset();
  }
}

// The descriptors the process holds.
int open_descriptors() {
  int count = 0;
  DIR* d = opendir("/proc/self/fd");
  if (d == nullptr) return -1;
  while (dirent* e = readdir(d)) count += e->d_name[0] != '.';
  closedir(d);
  return count - 1;  // the one of the listing
}

TEST_F(Pool, EveryFolderDescriptorIsGivenBackAndLeftoversOfGoneRunsAreRemoved) {
  const char* folders[] = {"d1", "d2", "d3", "d4"};
  for (const char* f : folders) {
    ASSERT_EQ(mkdir(f, 0755), 0);
    std::ofstream(std::string(f) + "/.tavrix.gone") << "left by a run killed\n";
  }
  int before = open_descriptors();
  ASSERT_GT(before, 0);
  for (int run = 0; run < 3; run++) {
    SCOPED_TRACE(run);
    // 8 descriptors to spare: the streams share them with the folder locks.
    struct rlimit low = saved_;
    low.rlim_cur = before + 8;
    ASSERT_GT(init_with_limit(low.rlim_cur), 0);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    for (int round = 0; round < 2; round++) {
      for (const char* f : folders) {
        std::string name = std::string(f) + "/zkr." + std::to_string(round);
        FILE* fp = filep_open(name.c_str());
        ASSERT_NE(fp, nullptr) << name << ": " << strerror(errno);
        fprintf(fp, "run %d\n", run);
      }
    }
    ASSERT_EQ(filep_close(), 1);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved_), 0);
    EXPECT_EQ(open_descriptors(), before);
    filep_reset();
    for (const char* f : folders) {
      EXPECT_EQ(slurp(std::string(f) + "/zkr.1"), "run " + std::to_string(run) + "\n");
      EXPECT_EQ(access((std::string(f) + "/.tavrix.gone").c_str(), F_OK), -1) << f;
    }
  }
}

TEST_F(Pool, AFileThatCannotBeOpenedGivesNone) {
  ASSERT_GT(init_with_limit(64), 0);
  ASSERT_EQ(mkdir("dir", 0755), 0);
  EXPECT_EQ(filep_open("dir"), nullptr);
  EXPECT_EQ(filep_open_count(), 0);
  int ind;
  EXPECT_EQ(filep_first(&ind), 1);
  EXPECT_EQ(ind, HASHSIZE);
}

TEST_F(Pool, The129thFileEndsTheRunWithStatus3) {
  ASSERT_GT(init_with_limit(1024), 128);
  for (int i = 0; i < MAXFILES; i++)
    ASSERT_NE(filep_open(std::string("f").append(std::to_string(i)).c_str()), nullptr);
  testing::internal::CaptureStderr();
  int status = exit_status_of([] { filep_open("one-too-many"); });
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Maximum no of files (128) reached !\n");
  EXPECT_EQ(status, TX_EXIT_POOL);
}

TEST_F(Pool, AllNamesTakenEndsTheRunWithStatus3) {
  ASSERT_EQ(init_with_limit(20), 16);
  for (int i = 0; i < HASHSIZE; i++)
    ASSERT_NE(filep_open(std::string("f").append(std::to_string(i)).c_str()), nullptr);
  testing::internal::CaptureStderr();
  int status = exit_status_of([] { filep_open("f160"); });
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Maximum no of file names (160) reached !\n");
  EXPECT_EQ(status, TX_EXIT_POOL);
  // Names already known are still served.
  EXPECT_NE(filep_open("f3"), nullptr);
}

TEST_F(Pool, NoRoomAtAllEndsTheRunWithStatus3) {
  ASSERT_EQ(init_with_limit(4), 0);
  testing::internal::CaptureStderr();
  int status = exit_status_of([] { filep_open("zkd.x."); });
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "No output file can be opened: the limit of open files is 0\n");
  EXPECT_EQ(status, TX_EXIT_POOL);
}

TEST_F(Pool, AWriteErrorIsReportedWhenTheStreamIsClosed) {
  ASSERT_GT(init_with_limit(64), 0);
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  FILE* fp = filep_open("/dev/full");
  ASSERT_NE(fp, nullptr);
  fputs("lost\n", fp);
  testing::internal::CaptureStderr();
  int status = exit_status_of([] { filep_close(); });
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "error writing /dev/full: No space left on device\n");
  EXPECT_EQ(status, TX_EXIT_FATAL);
}

TEST_F(Pool, AWriteErrorThatShowsOnlyAtTheCloseReportsTheCloseReason) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  ASSERT_EQ(symlink("/dev/full", "zkd.full."), 0);
  ASSERT_GT(init_with_limit(64), 0);
  FILE* fp = filep_open("zkd.full.");
  ASSERT_NE(fp, nullptr);
  fputs("lost\n", fp);
  ASSERT_EQ(ferror(fp), 0) << "the line must still wait in the stream's buffer";
  // Standard error goes to a file by its descriptor alone: capturing it the
  // usual way flushes every stream, and the error would show before the close.
  FILE* err = tmpfile();
  ASSERT_NE(err, nullptr);
  int saved = dup(STDERR_FILENO);
  ASSERT_GE(saved, 0);
  ASSERT_EQ(dup2(fileno(err), STDERR_FILENO), STDERR_FILENO);
  errno = EACCES;  // a stale reason, which the report must not show
  int status = exit_status_of([] { filep_close(); });
  dup2(saved, STDERR_FILENO);
  close(saved);
  rewind(err);
  std::string text;
  for (int c; (c = getc(err)) != EOF;) text += (char)c;
  fclose(err);
  EXPECT_EQ(text, "error writing zkd.full.: No space left on device\n");
  EXPECT_EQ(status, TX_EXIT_FATAL);
}

}  // namespace
