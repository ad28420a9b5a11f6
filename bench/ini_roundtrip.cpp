// Load, replace every value, save: the editor's save path on settings files
// of 1 000, 10 000 and 22 000 key lines. Prints the best time of several
// runs, how the time grows, and the peak heap used during a round trip
// relative to the file size.
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "common/plain_file.h"
#include "common/text16.h"
#include "marlpane/document/ini_document.h"

// ---- Heap accounting: every allocation of the process goes through here ----

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}

namespace {
size_t g_heapNow = 0;
size_t g_heapPeak = 0;

void Account(void* block) {
  if (!block) return;
  g_heapNow += malloc_usable_size(block);
  if (g_heapNow > g_heapPeak) g_heapPeak = g_heapNow;
}
void Unaccount(void* block) {
  if (block) g_heapNow -= malloc_usable_size(block);
}
}  // namespace

extern "C" {
void* malloc(size_t n) {
  void* block = __libc_malloc(n);
  Account(block);
  return block;
}
void* calloc(size_t count, size_t n) {
  void* block = __libc_calloc(count, n);
  Account(block);
  return block;
}
void* realloc(void* old, size_t n) {
  size_t before = old ? malloc_usable_size(old) : 0;
  void* block = __libc_realloc(old, n);
  if (block || n == 0) {
    g_heapNow -= before;
    Account(block);
  }
  return block;
}
void free(void* block) {
  Unaccount(block);
  __libc_free(block);
}
}

void* operator new(size_t n) {
  void* block = malloc(n ? n : 1);
  if (!block) throw std::bad_alloc();
  return block;
}
void* operator new[](size_t n) { return operator new(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return malloc(n ? n : 1); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return malloc(n ? n : 1); }
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }
void operator delete[](void* block, size_t) noexcept { free(block); }

// ---- The benchmark ----

namespace {

constexpr int kRuns = 9;
constexpr int kLineLength = 40;  // characters per key line, line end included

// A settings text of `keys` key lines of kLineLength characters, a section
// header every 50 keys, CR LF line ends.
std::string MakeSettings(int keys) {
  std::string text;
  for (int i = 0; i < keys; ++i) {
    if (i % 50 == 0) text += "[Section" + std::to_string(i / 50) + "]\r\n";
    std::string line = "Option" + std::to_string(i) + "=";
    while (line.size() < kLineLength - 2) line += static_cast<char>('a' + (i + line.size()) % 26);
    text += line + "\r\n";
  }
  return text;
}

// Processor time of this process (user and system), which other programs
// on a busy machine do not inflate.
double CpuMs() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Result {
  int keys;
  size_t fileBytes;
  double bestMs;
  double bestCpuMs;
  size_t peakHeap;
};

Result Measure(int keys, const std::filesystem::path& folder) {
  const std::string text = MakeSettings(keys);
  const std::u16string path = (folder / ("bench" + std::to_string(keys) + ".ini")).u16string();
  std::u16string wide(text.begin(), text.end());
  WriteTextFile(path.c_str(), false, wide.c_str());

  // The new values, made before measuring: the editor holds them in its rows.
  std::vector<std::u16string> values;
  values.reserve(keys);
  for (int i = 0; i < keys; ++i) values.push_back(u"new value " + Utf8ToText(std::to_string(i * 7)));

  Result result{keys, text.size(), 1e30, 1e30, 0};
  for (int run = 0; run < kRuns; ++run) {
    const size_t base = g_heapNow;
    g_heapPeak = g_heapNow;
    auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuMs();
    {
      CIniDocument document;
      if (!document.Load(path.c_str())) {
        std::fprintf(stderr, "load failed\n");
        std::exit(1);
      }
      for (int i = 0; i < keys; ++i) document.ReplaceValue(i, values[i].c_str());
      if (document.Save(path.c_str()) == 0) {
        std::fprintf(stderr, "save failed\n");
        std::exit(1);
      }
    }
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    result.bestMs = std::min(result.bestMs, ms);
    result.bestCpuMs = std::min(result.bestCpuMs, CpuMs() - cpuStart);
    result.peakHeap = std::max(result.peakHeap, g_heapPeak - base);
    // Back to the original file for the next run.
    WriteTextFile(path.c_str(), false, wide.c_str());
  }
  return result;
}

}  // namespace

int main() {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / ("ini_roundtrip." + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::printf("INI round trip: Load, ReplaceValue on every key line, Save (best of %d runs)\n", kRuns);
  std::printf("%8s %12s %10s %10s %14s %10s\n", "lines", "file bytes", "wall ms", "cpu ms", "peak heap", "heap/file");
  std::vector<Result> results;
  for (int keys : {1000, 10000, 22000}) {
    Result r = Measure(keys, folder);
    results.push_back(r);
    std::printf("%8d %12zu %10.2f %10.2f %14zu %9.2fx\n", r.keys, r.fileBytes, r.bestMs, r.bestCpuMs, r.peakHeap,
                static_cast<double>(r.peakHeap) / static_cast<double>(r.fileBytes));
  }
  std::printf("time ratio 22000/10000: wall %.2f, cpu %.2f (linear: 2.2)\n", results[2].bestMs / results[1].bestMs,
              results[2].bestCpuMs / results[1].bestCpuMs);
  std::printf("the save includes flushing the file to the disk before it replaces the original\n");
  std::filesystem::remove_all(folder);
  return 0;
}
