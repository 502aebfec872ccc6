// A stream that claims far more than it holds fails as soon as its data
// ends, not after decoding zero bits up to the size it claims. The process
// may write at most one block while the guard stands, so a run that goes on
// decoding fails at its second block, in milliseconds, with another text.
#include "decompress/compress.h"

#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

// Files this process writes grow to one block at most; a write past that
// fails (EFBIG) instead of ending the process.
class OneBlockAtMost {
public:
  OneBlockAtMost() {
    ::getrlimit(RLIMIT_FSIZE, &before_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = before_;
    limit.rlim_cur = kIoBlockSize;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~OneBlockAtMost() {
    ::setrlimit(RLIMIT_FSIZE, &before_);
    std::signal(SIGXFSZ, previous_);
  }
  OneBlockAtMost(const OneBlockAtMost&) = delete;
  OneBlockAtMost& operator=(const OneBlockAtMost&) = delete;

private:
  rlimit before_{};
  void (*previous_)(int) = nullptr;
};

TEST(Expand, AHugeClaimEndingEarlyFailsAtOnce) {
  const kvtest::Bytes header = {0x21, 0x48, 0x5A, 0x4C, 0xFF, 0xFF, 0xFF, 0x7F};  // 2 GiB less one byte
  const struct {
    const char* name;
    kvtest::Bytes coded;
  } cases[] = {{"no coded data", {}}, {"three literals' worth", {0xF6, 0xFB, 0xBD, 0xE0}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    kvtest::TempDir dir;
    InFileName = dir / "IN.EX_";
    OutFileName = dir / "OUT.EXE";
    kvtest::Bytes input = header;
    input.insert(input.end(), c.coded.begin(), c.coded.end());
    kvtest::WriteBytes(InFileName, input);
    std::string text;
    {
      const OneBlockAtMost guard;
      try {
        ExpandOrRaise();
      } catch (const std::exception& e) {
        text = e.what();
      }
    }
    EXPECT_EQ(text, InFileName + ": Datei ist unvollständig!");
    EXPECT_EQ(dir.Entries().size(), 1u) << "no temporary file may be left";
  }
}

}  // namespace
