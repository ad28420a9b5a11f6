// Win32 side of the file layer.
#include <windows.h>

#include "common/plain_file.h"
#include "common/text16.h"

namespace {

bool HandleOpen(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

HANDLE OpenPath(const char16_t* path, DWORD access, DWORD share, DWORD disposition) {
  if (!path || !path[0]) return nullptr;
  return CreateFileW(AsWide(path), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

uint32_t Seek(HANDLE handle, LONG distance, DWORD method) {
  if (!HandleOpen(handle)) return CPlainFile::kSeekFailed;
  DWORD position = SetFilePointer(handle, distance, nullptr, method);
  return position == INVALID_SET_FILE_POINTER ? CPlainFile::kSeekFailed : position;
}

}  // namespace

CPlainFile::CPlainFile() : handle_(nullptr) {}

CPlainFile::~CPlainFile() { Close(); }

bool CPlainFile::IsOpen() const { return HandleOpen(handle_); }

int CPlainFile::OpenRead(const char16_t* path) {
  Close();
  handle_ = OpenPath(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  return IsOpen() ? 1 : 0;
}

int CPlainFile::OpenWrite(const char16_t* path) {
  Close();
  handle_ = OpenPath(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
  return IsOpen() ? 1 : 0;
}

int CPlainFile::OpenNew(const char16_t* path) {
  Close();
  handle_ = OpenPath(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  return IsOpen() ? 1 : 0;
}

int CPlainFile::Close() {
  if (!IsOpen()) {
    handle_ = nullptr;
    return 1;
  }
  int result = CloseHandle(handle_) ? 1 : 0;
  handle_ = nullptr;
  return result;
}

uint32_t CPlainFile::Size() {
  if (!IsOpen()) return 0;
  DWORD size = GetFileSize(handle_, nullptr);
  return size == INVALID_FILE_SIZE ? 0 : size;
}

uint64_t CPlainFile::FullSize() {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(handle_, &size) || size.QuadPart < 0) return 0;
  return static_cast<uint64_t>(size.QuadPart);
}

uint32_t CPlainFile::SeekTo(uint32_t offset) { return Seek(handle_, static_cast<LONG>(offset), FILE_BEGIN); }
uint32_t CPlainFile::SeekBy(int32_t distance) { return Seek(handle_, distance, FILE_CURRENT); }
uint32_t CPlainFile::SeekFromEnd(uint32_t n) { return Seek(handle_, -static_cast<LONG>(n), FILE_END); }
uint32_t CPlainFile::Tell() { return Seek(handle_, 0, FILE_CURRENT); }

uint32_t CPlainFile::Read(void* buffer, uint32_t n) {
  if (n == 0 || !buffer || !IsOpen()) return 0;
  DWORD got = 0;
  if (!ReadFile(handle_, buffer, n, &got, nullptr)) return 0;
  return got;
}

uint32_t CPlainFile::Write(const void* buffer, uint32_t n) {
  if (n == 0 || !buffer || !IsOpen()) return 0;
  DWORD put = 0;
  if (!WriteFile(handle_, buffer, n, &put, nullptr)) return 0;
  return put;
}

bool CPlainFile::Flush() { return IsOpen() && FlushFileBuffers(handle_); }

size_t GetProgramPath(char16_t* out, size_t capacity) {
  if (!out || capacity == 0) return 0;
  out[0] = 0;
  DWORD room = capacity > kPathCapacity ? static_cast<DWORD>(kPathCapacity) : static_cast<DWORD>(capacity);
  DWORD n = GetModuleFileNameW(GetModuleHandleW(nullptr), AsWide(out), room);
  if (n == 0 || n >= room) {
    out[0] = 0;
    return 0;
  }
  return n;
}

size_t SearchPathFor(const char16_t* name, char16_t* out, size_t capacity) {
  if (!name || !name[0] || !out) return 0;
  DWORD room = capacity > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(capacity);
  return SearchPathW(nullptr, AsWide(name), nullptr, room, AsWide(out), nullptr);
}

bool CreateFolder(const char16_t* path) {
  if (!path || !path[0]) return false;
  return CreateDirectoryW(AsWide(path), nullptr) != 0;
}

bool RemoveFile(const char16_t* path) {
  if (!path || !path[0]) return false;
  return DeleteFileW(AsWide(path)) != 0;
}

bool ReplaceFileWith(const char16_t* target, const char16_t* source) {
  // A read-only file is never replaced (not every MoveFileExW refuses it).
  DWORD attributes = GetFileAttributesW(AsWide(target));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  return MoveFileExW(AsWide(source), AsWide(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void CopyFilePermissions(const char16_t* model, const char16_t* path) {
  DWORD attributes = GetFileAttributesW(AsWide(model));
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (attributes & kept) SetFileAttributesW(AsWide(path), attributes & kept);
}

bool IsPathSeparator(char16_t c) { return c == u'\\' || c == u'/'; }
