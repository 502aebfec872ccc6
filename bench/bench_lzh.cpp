// Decoder throughput in memory, through the plain callbacks, and as a whole
// Expand between files, on the same packed corpora: the difference between
// the first and the last is what the file work around the decoder costs.
//
// Corpora: the files named in KV_BENCH_CORPUS (separated by ":"), each packed
// once at start-up; without it, 8 MiB of generated text.
#include "decompress/compress.h"
#include "decompress/lzh_internal.h"
#include "tools/hzpack/hzl_pack.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Corpus {
  std::string name;
  Bytes original;
  Bytes packed;
  std::string packedPath;  // on tmpfs where there is one
};

Bytes GeneratedText(std::size_t size) {
  static const char* const kWords[] = {"Setup ", "Datei ", "installiert ", "wird ", "der ", "die ", "und ",
                                       "Verzeichnis ", "Programm\n", "nicht ", "kopiert. ", "Fehler "};
  std::mt19937 rng(1);
  Bytes b;
  while (b.size() < size) {
    const char* w = kWords[rng() % 12];
    b.insert(b.end(), w, w + std::char_traits<char>::length(w));
  }
  return b;
}

std::string ScratchDir() {
  std::ifstream probe("/dev/shm");
  return probe ? "/dev/shm/" : "/tmp/";
}

std::vector<Corpus>& Corpora() {
  static std::vector<Corpus> corpora = [] {
    std::vector<std::pair<std::string, Bytes>> raw;
    if (const char* list = std::getenv("KV_BENCH_CORPUS")) {
      std::string rest = list;
      while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::string path = rest.substr(0, colon);
        rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
        std::ifstream in(path, std::ios::binary);
        raw.emplace_back(path.substr(path.find_last_of('/') + 1),
                         Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
      }
    } else {
      raw.emplace_back("generated-text", GeneratedText(8u << 20));
    }
    std::vector<Corpus> result;
    for (auto& [name, data] : raw) {
      Corpus c{name, std::move(data), {}, ScratchDir() + "kvbench-" + name + ".hz"};
      c.packed = hzpack::PackBytes(c.original);
      std::ofstream(c.packedPath, std::ios::binary)
          .write(reinterpret_cast<const char*>(c.packed.data()), static_cast<std::streamsize>(c.packed.size()));
      result.push_back(std::move(c));
    }
    return result;
  }();
  return corpora;
}

void DecodeInMemory(benchmark::State& state, const Corpus& c) {
  Bytes out(c.original.size() + lzh::kMaxMatch);
  for (auto _ : state) {
    const std::uint8_t* in = c.packed.data() + kHzlHeaderSize;
    const std::uint8_t* const end = c.packed.data() + c.packed.size();
    std::uint8_t* o = out.data();
    lzh::LzhDecodeWith(
        static_cast<std::int32_t>(c.original.size()), [&]() -> int { return in < end ? *in++ : -1; },
        [&](std::uint8_t b) { *o++ = b; });
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.original.size()));
}

// The public entry with plain function pointers: two indirect calls a byte.
struct PlainIo {
  const std::uint8_t* in;
  const std::uint8_t* end;
  std::uint8_t* out;
} plain;

void PlainRead(std::uint8_t* buffer, std::uint16_t, std::uint16_t& actual) {
  actual = plain.in < plain.end ? 1 : 0;
  if (actual) *buffer = *plain.in++;
}

void PlainWrite(std::uint8_t* buffer, std::uint16_t, std::uint16_t& actual) {
  *plain.out++ = *buffer;
  actual = 1;
}

void DecodePlainCallbacks(benchmark::State& state, const Corpus& c) {
  Bytes out(c.original.size() + lzh::kMaxMatch);
  for (auto _ : state) {
    plain = {c.packed.data() + kHzlHeaderSize, c.packed.data() + c.packed.size(), out.data()};
    LzhDecode(static_cast<std::int32_t>(c.original.size()), PlainRead, PlainWrite);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.original.size()));
}

void ExpandFile(benchmark::State& state, const Corpus& c) {
  InFileName = c.packedPath;
  OutFileName = c.packedPath + ".out";
  for (auto _ : state) {
    // A new file each time, as on a fresh install; freeing the last run's
    // output is not Expand's work.
    state.PauseTiming();
    std::remove(OutFileName.c_str());
    state.ResumeTiming();
    if (Expand() != 1) state.SkipWithError("Expand failed");
  }
  std::remove(OutFileName.c_str());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.original.size()));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (const Corpus& c : Corpora()) {
    benchmark::RegisterBenchmark(("InMemory/" + c.name).c_str(), DecodeInMemory, c)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("PlainCallbacks/" + c.name).c_str(), DecodePlainCallbacks, c)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Expand/" + c.name).c_str(), ExpandFile, c)->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  for (const Corpus& c : Corpora()) std::remove(c.packedPath.c_str());
  benchmark::Shutdown();
  return 0;
}
