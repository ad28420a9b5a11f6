// iniedit as whole processes, next to sed doing the same work in the same
// run: get and set on a file of 22 000 keys (about 1 MB, CR LF, a section
// every 50 keys), the memory of get and set on a file of 2 000 000 keys,
// and rows and check on 22 000 typed options.
//   iniedit_bench [RUNS]
// Prints the best and the median time of each and the ratios.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/text16.h"
#include "marlpane/document/ini_document.h"

namespace {

constexpr int kKeys = 22000;
constexpr int kKeysPerSection = 50;
constexpr int kHugeKeys = 2000000;

struct Run {
  double seconds = 0;
  long peakKilobytes = 0;
  int status = -1;
};

// Runs a program with its output thrown away.
Run Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::fflush(stdout);  // the child must not write the parent's buffer again
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int sink = open("/dev/null", O_WRONLY);
    if (sink < 0 || dup2(sink, STDOUT_FILENO) < 0) _exit(126);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  Run run;
  int status = 0;
  struct rusage usage = {};
  wait4(child, &status, 0, &usage);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakKilobytes = usage.ru_maxrss;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

struct Figures {
  std::vector<double> times;
  long peakKilobytes = 0;
  bool failed = false;
  void Add(const Run& run) {
    times.push_back(run.seconds);
    peakKilobytes = std::max(peakKilobytes, run.peakKilobytes);
    failed = failed || run.status != 0;
  }
  double Best() const { return *std::min_element(times.begin(), times.end()); }
  double Median() const {
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
  }
};

std::string KeyFile(int keys, bool longLines) {
  std::string text;
  char line[128];
  for (int i = 0; i < keys; ++i) {
    if (i % kKeysPerSection == 0) {
      std::snprintf(line, sizeof line, "[Section_%d]\r\n", i / kKeysPerSection);
      text += line;
    }
    if (longLines) {
      std::snprintf(line, sizeof line, "Key_%05d=value of option %d, some text\r\n", i, i);
    } else {
      std::snprintf(line, sizeof line, "K%d=%d\r\n", i, i);
    }
    text += line;
  }
  return text;
}

// The sample's options, each with its descriptor, repeated to 22 000 options.
void TypedFiles(const std::string& samples, std::string& settings, std::string& types) {
  CIniDocument sample;
  CIniDocument sampleTypes;
  sample.Load(Utf8ToText(samples + "/settings.ini").c_str());
  sampleTypes.Load(Utf8ToText(samples + "/settings.ITP").c_str());
  struct Option {
    std::string value;
    std::string descriptor;
  };
  std::vector<Option> options;
  std::vector<char16_t> section(CIniDocument::kFieldCapacity, 0), key(CIniDocument::kFieldCapacity),
      value(CIniDocument::kFieldCapacity), descriptor(CIniDocument::kFieldCapacity);
  sample.ResetCursor();
  do {
    while (sample.NextEntry(key.data(), value.data(), true)) {
      descriptor[0] = 0;
      sampleTypes.GetString(section.data(), key.data(), descriptor.data(), descriptor.size());
      options.push_back({TextToUtf8(value.data()), TextToUtf8(descriptor.data())});
    }
  } while (sample.NextSection(section.data()));
  for (int i = 0; i < kKeys; ++i) {
    if (i % kKeysPerSection == 0) {
      const std::string header = "[Section_" + std::to_string(i / kKeysPerSection) + "]\r\n";
      settings += header;
      types += header;
    }
    const Option& option = options[i % options.size()];
    settings += "Option_" + std::to_string(i) + "=" + option.value + "\r\n";
    types += "Option_" + std::to_string(i) + "=" + option.descriptor + "\r\n";
  }
}

void Write(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Compare(const char* what, const Figures& ours, const Figures& sed) {
  std::printf("%-4s iniedit best %5.1f ms, median %5.1f ms | sed best %5.1f ms, median %5.1f ms | "
              "ratio best %.2f, median %.2f%s\n",
              what, ours.Best() * 1000, ours.Median() * 1000, sed.Best() * 1000, sed.Median() * 1000,
              ours.Best() / sed.Best(), ours.Median() / sed.Median(),
              ours.failed || sed.failed ? "  (A RUN FAILED)" : "");
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
  const std::string iniedit = INIEDIT_PROGRAM;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("iniedit-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);

  // get and set next to sed.
  const std::string keys = KeyFile(kKeys, true);
  const std::string file = (folder / "keys.ini").string();
  const std::string sedFile = (folder / "sed.ini").string();
  Write(file, keys);
  Write(sedFile, keys);
  const std::string section = "Section_" + std::to_string((kKeys - 1) / kKeysPerSection);
  const std::string key = "Key_" + std::to_string(kKeys - 1);
  const std::string range = "/^\\[" + section + "\\]/,/^\\[/";
  Figures get, sedGet, set, sedSet;
  for (int run = 0; run < runs; ++run) {
    get.Add(Spawn({iniedit, "get", file, section, key}));
    sedGet.Add(Spawn({"sed", "-n", range + "{s/^" + key + "=//p}", file}));
    const std::string value = "changed value " + std::to_string(run);
    set.Add(Spawn({iniedit, "set", file, section, key, value}));
    sedSet.Add(Spawn({"sed", "-i", range + "s/^" + key + "=[^\r]*/" + key + "=" + value + "/", sedFile}));
  }
  std::printf("%d keys, %.2f MB, CR LF, a section every %d keys; %d runs each, taking turns\n", kKeys,
              keys.size() / 1e6, kKeysPerSection, runs);
  Compare("get", get, sedGet);
  Compare("set", set, sedSet);

  // Memory on a large file.
  const std::string huge = KeyFile(kHugeKeys, false);
  const std::string hugeFile = (folder / "huge.ini").string();
  Write(hugeFile, huge);
  const std::string hugeSection = "Section_" + std::to_string((kHugeKeys - 1) / kKeysPerSection);
  const std::string hugeKey = "K" + std::to_string(kHugeKeys - 1);
  Figures hugeGet, hugeSet;
  for (int run = 0; run < 3; ++run) {
    hugeGet.Add(Spawn({iniedit, "get", hugeFile, hugeSection, hugeKey}));
    hugeSet.Add(Spawn({iniedit, "set", hugeFile, hugeSection, hugeKey, "v" + std::to_string(run)}));
  }
  const double hugeKilobytes = huge.size() / 1024.0;
  std::printf("%d keys, %.1f MB: get %.2f s, peak %.0f MB (%.1fx the file); set %.2f s, peak %.0f MB (%.1fx)%s\n",
              kHugeKeys, huge.size() / 1e6, hugeGet.Best(), hugeGet.peakKilobytes / 1024.0,
              hugeGet.peakKilobytes / hugeKilobytes, hugeSet.Best(), hugeSet.peakKilobytes / 1024.0,
              hugeSet.peakKilobytes / hugeKilobytes, hugeGet.failed || hugeSet.failed ? "  (A RUN FAILED)" : "");

  // rows and check on typed options.
  std::string settings, types;
  TypedFiles(SAMPLES_FOLDER, settings, types);
  const std::string typed = (folder / "typed.ini").string();
  Write(typed, settings);
  Write(folder / "typed.ITP", types);
  Figures rows, check;
  for (int run = 0; run < 3; ++run) {
    rows.Add(Spawn({iniedit, "rows", typed}));
    const Run checked = Spawn({iniedit, "check", typed});
    check.Add({checked.seconds, checked.peakKilobytes, checked.status == 1 ? 0 : checked.status});
  }
  std::printf("%d typed options (the sample's, repeated), %.2f MB: rows %.2f s, check %.2f s, peak %.0f MB%s\n",
              kKeys, settings.size() / 1e6, rows.Best(), check.Best(),
              std::max(rows.peakKilobytes, check.peakKilobytes) / 1024.0,
              rows.failed || check.failed ? "  (A RUN FAILED)" : "");

  std::filesystem::remove_all(folder);
  return 0;
}
