// Opens a settings file of 22 000 options into the option list (a real
// list control in a visible window) and saves it unchanged, the way the
// editor's dialog does, and prints the times.
//   option_list_bench [FOLDER] [RUNS]
// Two files are written to FOLDER (default: the system's temporary folder):
// one with a type description that types every option (a mix of every row
// type but SELECTEXEC, whose program run is timed on its own), and one
// without, whose rows are typed by detection. For each: the time to build
// the rows, the time until the list has painted them, the time of an
// unchanged save, whether the saved file kept every byte, and the peak
// memory of the process.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/text16.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/rows/row_saver.h"
#include "marlpane/rows/row_sources_win.h"
#include "marlpane/list/typed_list_view.h"

namespace {

constexpr int kOptions = 22000;
constexpr int kOptionsPerSection = 50;

// Descriptor and stored value of one option of each row type, in the form
// Save writes, so that an unchanged save keeps every byte.
struct TypedOption {
  const char* descriptor;
  const char* stored;
};

const TypedOption kMix[] = {
    {"READONLY;Version;Set by the installer", "4.2.1"},
    {"STRING;Name;Shown in the title bar", "A sample value of some length"},
    {"EMAIL;Mail", "someone@example.net"},
    {"STRINGHEX;Hex name", "480065006C006C006F00"},
    {"PASSWORD;Password;;4;32", "secret"},
    {"HEXPASSWORD;Hex password;;4;32", "730065006300"},
    {"MD5PASSWORD;Digest;;0;64", "900150983cd24fb0d6963f7d28e17f72"},
    {"SHA256PASSWORD;Digest;;0;64", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"FONT;Font;;8;24", "Tahoma;10;1;0;0;0"},
    {"COLOR;Colour", "#80C0FF"},
    {"INTEGER;Port;;1;65535;0", "8080"},
    {"REAL;Opacity;;10;100;3;1", "95.5"},
    {"SELECTSTRING;Language;;1;en-GB;en-US;de-DE;fr-FR;es-ES", "de-DE"},
    {"SELECTINDEX;Theme;;0;Light;Dark;High contrast", "1"},
    {"SELECTINDEXSTRING;Start page;;0;Home;Inventory;Reports", "2;Reports"},
    {"SELECTFIRST;Skin;;1", "Classic;Modern;Flat"},
    {"WINDOW;Target window;;1", "0;Product;ProductMainWindow"},
    {"DRIVE;Data drive", "C:"},
    {"REMOVABLEDRIVE;Media drive", "E:"},
    {"FIXEDDRIVE;System drive", "C:"},
    {"MULTILINE;Welcome", "Welcome back!\\nHave a good day."},
    {"FILE;Data file;;*.db;*.sqlite", "C:\\data\\inventory.db"},
    {"FILESAVE;Report;;*.csv", "C:\\reports\\out.csv"},
    {"IMAGEFILE;Logo;;*.bmp", "C:\\images\\logo.bmp"},
    {"FOLDER;Log folder", "C:\\logs"},
    {"TOGGLEINDEX;Start minimized;;no;yes", "no"},
    {"DATE;Installed on;;2000-01-01", "2026-11-30"},
    {"TIME;Backup time;;00:00:00;23:59:59", "02:30:00"},
    {"TITLE;ignored", "A heading"},
    {"SHADE;Unknown keyword", "plain text"},
};

// Values of every detected kind, already in their saved form.
const char* const kDetected[] = {
    "A sample value of some length", "8080", "-12", "95.5", "#80C0FF",
    "2026-11-30", "02:30:00", "Classic;Modern;Flat", "", "C:\\logs\\today.log",
};

std::string Key(int option) { return "Option_" + std::to_string(option); }

void WriteFiles(std::string& typedIni, std::string& typesText, std::string& detectIni) {
  const int kinds = static_cast<int>(sizeof(kMix) / sizeof(kMix[0]));
  const int detected = static_cast<int>(sizeof(kDetected) / sizeof(kDetected[0]));
  for (int option = 0; option < kOptions; ++option) {
    if (option % kOptionsPerSection == 0) {
      const std::string header = "[Section_" + std::to_string(option / kOptionsPerSection) + "]\r\n";
      typedIni += header;
      typesText += header;
      detectIni += header;
    }
    const TypedOption& mix = kMix[option % kinds];
    typedIni += Key(option) + "=" + mix.stored + "\r\n";
    typesText += Key(option) + "=" + mix.descriptor + "\r\n";
    detectIni += Key(option) + "=" + kDetected[option % detected] + "\r\n";
  }
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

CTypedListView* gList = nullptr;

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (gList && gList->FilterMessage(window, message, wParam, lParam, &result)) return result;
  return DefWindowProcW(window, message, wParam, lParam);
}

struct Figures {
  double rowsOnly = 1e9;  // BuildRows into cells without a list
  double build = 1e9;  // LoadRows
  double shown = 1e9;  // LoadRows and the first paint
  double save = 1e9;
  bool sameBytes = false;
  int rows = 0;
};

Figures Measure(HWND host, const std::wstring& path, const std::string& original, int runs) {
  Figures best;
  for (int run = 0; run < runs; ++run) {
    CTypedCells cells;
    CSystemRowSources sources;
    EditorOptions options;
    options.sectionTitles = 0;
    CIniDocument settings;
    BuiltRows built;
    const double start = Now();
    BuildRows(AsText(path.c_str()), u"", settings, cells, sources, options, 0, built);
    best.rowsOnly = std::min(best.rowsOnly, Now() - start);
  }
  for (int run = 0; run < runs; ++run) {
    CTypedListView list;
    gList = &list;
    list.Create(host, 0, 0, 780, 560, true, true, true);
    list.AddColumn(u" Option ");
    list.AddColumn(u" Value ");
    CSystemRowSources sources;
    EditorOptions options;
    options.sectionTitles = 0;  // 22 000 options fill the row table
    CIniDocument settings;
    BuiltRows built;
    const double start = Now();
    const bool loaded = list.LoadRows(AsText(path.c_str()), u"", settings, sources, options, built);
    const double afterLoad = Now();
    UpdateWindow(list.Window());
    Pump();
    const double afterPaint = Now();
    if (!loaded) {
      std::printf("cannot load %ls\n", path.c_str());
      std::exit(1);
    }
    const double saveStart = Now();
    const uint32_t saved = SaveRows(built.table, list.Cells(), settings, AsText(path.c_str()));
    const double saveEnd = Now();
    best.rows = list.ItemCount();
    best.build = std::min(best.build, afterLoad - start);
    best.shown = std::min(best.shown, afterPaint - start);
    best.save = std::min(best.save, saveEnd - saveStart);
    best.sameBytes = saved != 0 && ReadBytes(path) == original;
    gList = nullptr;
    DestroyWindow(list.Window());
    Pump();
  }
  return best;
}

void Report(const char* name, const Figures& f) {
  std::printf("%-26s rows %5d  cells only %4.0f ms  in the list %4.0f ms  shown %4.0f ms  "
              "save %3.0f ms  bytes %s\n", name, f.rows, f.rowsOnly * 1000, f.build * 1000,
              f.shown * 1000, f.save * 1000,
              f.sameBytes ? "kept" : "CHANGED");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring folder;
  if (argc > 1 && argv[1][0]) {
    folder = argv[1];
  } else {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = temp;
  }
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  const int runs = argc > 2 ? _wtoi(argv[2]) : 3;

  std::string typedIni, typesText, detectIni;
  WriteFiles(typedIni, typesText, detectIni);
  const std::wstring typedPath = folder + L"bench_typed.ini";
  const std::wstring detectPath = folder + L"bench_detect.ini";
  if (!WriteBytes(typedPath, typedIni) || !WriteBytes(folder + L"bench_typed.ITP", typesText) ||
      !WriteBytes(detectPath, detectIni)) {
    std::printf("cannot write the files in %ls\n", folder.c_str());
    return 1;
  }

  WNDCLASSW wc = {};
  wc.lpfnWndProc = HostProcedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"OptionListBench";
  RegisterClassW(&wc);
  HWND host = CreateWindowExW(0, wc.lpszClassName, L"Option list benchmark",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 800, 600, nullptr,
                              nullptr, wc.hInstance, nullptr);
  UpdateWindow(host);
  Pump();

  std::printf("%d options, best of %d runs (list control with %d items, drawing held back while "
              "inserting)\n", kOptions, runs, kOptions);
  Report("typed (type description)", Measure(host, typedPath, typedIni, runs));
  Report("detected (no description)", Measure(host, detectPath, detectIni, runs));

  // A SELECTEXEC row runs its program at load, one run per row.
  CSystemRowSources sources;
  const double start = Now();
  const std::string output = sources.ProgramOutput(u"cmd.exe", u"/c echo Office&echo Lobby");
  std::printf("one SELECTEXEC program run (cmd.exe): %.0f ms, %zu bytes\n", (Now() - start) * 1000,
              output.size());

  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  std::printf("peak working set %.1f MB (files of %.1f and %.1f MB)\n",
              memory.PeakWorkingSetSize / 1048576.0, typedIni.size() / 1048576.0,
              detectIni.size() / 1048576.0);
  DestroyWindow(host);
  DeleteFileW(typedPath.c_str());
  DeleteFileW((folder + L"bench_typed.ITP").c_str());
  DeleteFileW(detectPath.c_str());
  return 0;
}
