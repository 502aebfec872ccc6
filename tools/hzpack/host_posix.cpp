#include "tools/hzpack/host.h"

#include "system/code_page.h"

#include <atomic>
#include <exception>
#include <thread>
#include <unistd.h>
#include <vector>

namespace hzpack {

std::filesystem::path OwnDirectory() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }

std::string ArgumentToUtf8(const std::string& argument) { return argument; }

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

std::string NameAsListed(const std::filesystem::path& name) {
  std::string cp1252;
  return Utf8ToCp1252(name.string(), cp1252) ? cp1252 : std::string();
}

std::string TerminalText(const std::string& cp1252) { return Cp1252ToUtf8(cp1252); }

unsigned ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t)>& work) {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const auto threads = static_cast<unsigned>(std::min<std::size_t>(cores, std::max<std::size_t>(count, 1)));
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  // One slot per thread: no lock is needed to keep what went wrong.
  std::vector<std::exception_ptr> errors(threads);
  auto run = [&](unsigned slot) {
    for (std::size_t i; !failed && (i = next++) < count;) {
      try {
        work(i);
      } catch (...) {
        errors[slot] = std::current_exception();
        failed = true;
      }
    }
  };
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < threads; ++t) pool.emplace_back(run, t);
  run(0);
  for (std::thread& t : pool) t.join();
  for (const std::exception_ptr& e : errors) {
    if (e) std::rethrow_exception(e);
  }
  return threads;
}

}  // namespace hzpack
