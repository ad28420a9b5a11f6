#include "bench/bench_support_win.h"

#include <commctrl.h>

#include <cstdio>

namespace {


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

static_assert(sizeof(kMix) / sizeof(kMix[0]) == kBenchMixLength, "the mix's length is known");

// Values of every detected kind, already in their saved form.
const char* const kDetected[] = {
    "A sample value of some length", "8080", "-12", "95.5", "#80C0FF",
    "2026-11-30", "02:30:00", "Classic;Modern;Flat", "", "C:\\logs\\today.log",
};

std::string Key(int option) { return "Option_" + std::to_string(option); }

void MakeTexts(std::string& typedIni, std::string& typesText, std::string& detectIni) {
  const int kinds = static_cast<int>(sizeof(kMix) / sizeof(kMix[0]));
  const int detected = static_cast<int>(sizeof(kDetected) / sizeof(kDetected[0]));
  for (int option = 0; option < kBenchOptions; ++option) {
    if (option % kBenchOptionsPerSection == 0) {
      const std::string header = "[Section_" + std::to_string(option / kBenchOptionsPerSection) + "]\r\n";
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

}  // namespace

bool BenchFiles::Write(const wchar_t* folderName) {
  if (folderName && folderName[0]) {
    folder = folderName;
  } else {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = temp;
  }
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  MakeTexts(typedIni, typesText, detectIni);
  typedPath = folder + L"bench_typed.ini";
  typesPath = folder + L"bench_typed.ITP";
  detectPath = folder + L"bench_detect.ini";
  if (WriteBytes(typedPath, typedIni) && WriteBytes(typesPath, typesText) &&
      WriteBytes(detectPath, detectIni)) {
    return true;
  }
  std::printf("cannot write the files in %ls\n", folder.c_str());
  return false;
}

void BenchFiles::Remove() const {
  DeleteFileW(typedPath.c_str());
  DeleteFileW(typesPath.c_str());
  DeleteFileW(detectPath.c_str());
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

HWND CreateHostWindow(const wchar_t* className, WNDPROC procedure) {
  WNDCLASSW record = {};
  record.lpfnWndProc = procedure;
  record.hInstance = GetModuleHandleW(nullptr);
  record.lpszClassName = className;
  RegisterClassW(&record);
  return CreateWindowExW(0, className, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                         record.hInstance, nullptr);
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

bool StartEditor(const std::wstring& editor, const std::wstring& settings, HWND host,
                 PROCESS_INFORMATION& process) {
  std::wstring commandLine = L"\"" + editor + L"\" /INI:\"" + settings + L"\" /NOTIFY:" +
                             std::to_wstring(reinterpret_cast<uintptr_t>(host));
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  process = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("cannot start %ls\n", editor.c_str());
    return false;
  }
  CloseHandle(process.hThread);
  return true;
}

bool RowOnScreen(HANDLE process, HWND list, int row, RECT* out) {
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return false;
  RECT rect = {LVIR_LABEL, 0, 0, 0};
  SIZE_T moved = 0;
  bool ok = WriteProcessMemory(process, remote, &rect, sizeof rect, &moved) &&
            SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(process, remote, &rect, sizeof rect, &moved);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  if (!ok) return false;
  MapWindowPoints(list, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
  *out = rect;
  return true;
}

std::wstring CellText(HANDLE process, HWND list, int row, int column) {
  constexpr int kChars = 512;
  const size_t size = sizeof(LVITEMW) + kChars * sizeof(wchar_t);
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return L"";
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
  item.cchTextMax = kChars;
  wchar_t text[kChars] = {};
  SIZE_T moved = 0;
  if (WriteProcessMemory(process, remote, &item, sizeof item, &moved)) {
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote + sizeof(LVITEMW), text, sizeof text, &moved);
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  text[kChars - 1] = 0;
  return text;
}

void DoubleClick(int x, int y) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[5] = {};
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dx = x * 65535 / (width - 1);
  inputs[0].mi.dy = y * 65535 / (height - 1);
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  for (int i = 1; i < 5; ++i) {
    inputs[i].type = INPUT_MOUSE;
    inputs[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  SendInput(5, inputs, sizeof(INPUT));
}
