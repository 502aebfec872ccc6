#include "decompress/compress.h"

#include "tests/support/test_files.h"
#include "tools/hzpack/hzl_pack.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using kvtest::Bytes;

const Bytes kAbc = {0x21, 0x48, 0x5A, 0x4C, 0x03, 0x00, 0x00, 0x00, 0xF6, 0xFB, 0xBD, 0xE0};
const Bytes kOld = kvtest::ToBytes("installed by an earlier version");

Bytes Header(std::uint32_t size) {
  return {0x21, 0x48, 0x5A, 0x4C, static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
          static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)};
}

Bytes Cut(Bytes b, std::size_t drop) {
  b.resize(b.size() - drop);
  return b;
}

// Runs the expansion steps and returns the failure text, or "" on success.
std::string ExpandText() {
  try {
    EXPECT_EQ(ExpandOrRaise(), 1);
    return "";
  } catch (const std::exception& e) {
    return e.what();
  }
}

struct Row {
  const char* name;
  bool inputExists;
  Bytes input;
  const char* text;  // with <in> standing for InFileName; "" = success
  Bytes expanded;    // on success
};

std::string Fill(std::string text, const std::string& in) {
  const auto at = text.find("<in>");
  return at == std::string::npos ? text : text.replace(at, 4, in);
}

TEST(Expand, ResultsTextsAndTheFileLeftBehind) {
  const Bytes big = kvtest::ToBytes(std::string(40000, 'q'));
  const Bytes packedBig = hzpack::PackBytes(big);
  const Row rows[] = {
      {"missing input", false, {}, "<in> nicht gefunden!", {}},
      {"empty input", true, {}, "ERROR READING FROM <in> !", {}},
      {"three bytes", true, {0x21, 0x48, 0x5A}, "ERROR READING FROM <in> !", {}},
      {"other magic", true, {'M', 'Z', 0x90, 0, 3, 0, 0, 0, 1, 2}, "<in>: Keine komprimierte Datei!", {}},
      {"size cut short", true, Cut(Header(3), 2), "ERROR READING FROM <in> !", {}},
      {"size 0", true, Header(0), "", {}},
      {"size of 2 GiB", true, Header(0x80000000u), "<in>: Größenangabe ungültig!", {}},
      {"size FF FF FF FF", true, Header(0xFFFFFFFFu), "<in>: Größenangabe ungültig!", {}},
      {"three literals", true, kAbc, "", kvtest::ToBytes("abc")},
      {"coded data cut short", true, Cut(kAbc, 1), "<in>: Datei ist unvollständig!", {}},
      {"coded data missing", true, Header(100), "<in>: Datei ist unvollständig!", {}},
      {"multi-block file cut short", true, Cut(packedBig, 1), "<in>: Datei ist unvollständig!", {}},
      {"bytes after the stream", true, [] { Bytes b = kAbc; b.resize(5000, 0xEE); return b; }(),
       "<in>: Daten nach dem Ende!", {}},
      {"one byte after a stream of blocks", true, [&packedBig] { Bytes b = packedBig; b.push_back(0); return b; }(),
       "<in>: Daten nach dem Ende!", {}},
  };
  for (const Row& row : rows) {
    for (const bool oldTarget : {false, true}) {
      SCOPED_TRACE(std::string(row.name) + (oldTarget ? ", over an earlier file" : ""));
      kvtest::TempDir dir;
      InFileName = dir / "IN.EX_";
      OutFileName = dir / "OUT.EXE";
      if (row.inputExists) kvtest::WriteBytes(InFileName, row.input);
      if (oldTarget) kvtest::WriteBytes(OutFileName, kOld);

      const std::string text = ExpandText();
      EXPECT_EQ(text, Fill(row.text, InFileName));
      if (text.empty()) {
        EXPECT_EQ(kvtest::ReadBytes(OutFileName), row.expanded);
      } else if (oldTarget) {
        EXPECT_EQ(kvtest::ReadBytes(OutFileName), kOld);  // an earlier file survives every failure
      } else {
        EXPECT_FALSE(kvtest::Exists(OutFileName));
      }
      EXPECT_EQ(dir.Entries().size(), (row.inputExists ? 1u : 0u) + (text.empty() || oldTarget ? 1u : 0u))
          << "no temporary file may be left";
      EXPECT_EQ(Expand(), text.empty() ? 1 : -1);
    }
  }
}

// The whole file's CRC-32, header included, as the medium's list gives it;
// a wrong one leaves an earlier file as it was.
TEST(Expand, TheMediumsChecksum) {
  const struct {
    std::optional<std::uint32_t> checksum;
    const char* text;
  } rows[] = {{std::nullopt, ""}, {0x6728AFE4u, ""}, {0x6728AFE5u, "<in>: Prüfsumme falsch!"}, {0u, "<in>: Prüfsumme falsch!"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.checksum ? *row.checksum : -1);
    kvtest::TempDir dir;
    InFileName = dir / "IN.EX_";
    OutFileName = dir / "OUT.EXE";
    kvtest::WriteBytes(InFileName, kAbc);
    kvtest::WriteBytes(OutFileName, kOld);
    std::string text;
    try {
      ExpandOrRaise(row.checksum);
    } catch (const std::exception& e) {
      text = e.what();
    }
    EXPECT_EQ(text, Fill(row.text, InFileName));
    EXPECT_EQ(kvtest::ReadBytes(OutFileName), *row.text ? kOld : kvtest::ToBytes("abc"));
    EXPECT_EQ(dir.Entries().size(), 2u) << "no temporary file may be left";
  }
}

TEST(Expand, OutputDirectoryMissing) {
  kvtest::TempDir dir;
  InFileName = dir / "IN.EX_";
  OutFileName = (std::filesystem::path(dir / "nowhere") / "OUT.EXE").string();
  kvtest::WriteBytes(InFileName, kAbc);
  EXPECT_EQ(ExpandText(), "Konnte " + OutFileName + " nicht öffnen!");
  EXPECT_EQ(Expand(), -1);
}

TEST(Expand, OutputsAroundTheBlockSize) {
  for (const std::size_t size : {kIoBlockSize - 1, kIoBlockSize, kIoBlockSize + 1, 2 * kIoBlockSize}) {
    SCOPED_TRACE(size);
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * i >> 5);
    kvtest::TempDir dir;
    InFileName = dir / "IN.DA_";
    OutFileName = dir / "OUT.DAT";
    kvtest::WriteBytes(InFileName, hzpack::PackBytes(data));
    EXPECT_EQ(Expand(), 1);
    EXPECT_EQ(kvtest::ReadBytes(OutFileName), data);
  }
}

}  // namespace
