// padsign_files.h on Windows: UTF-8 paths opened as UTF-16, a private key
// file that only its owner may open, the release's files renamed into place
// together.
#include "tools/padsign/padsign_files.h"

#include <windows.h>

#include <memory>

#include "common/text16.h"

namespace {

constexpr unsigned kGroupAndOtherBits = 077;

std::wstring Wide(const std::string& path) {
  const std::u16string text = Utf8ToText(path);
  return std::wstring(text.begin(), text.end());
}

// "what path: the system's message".
std::string Reason(const std::string& what, const std::string& path) {
  const DWORD code = GetLastError();
  wchar_t* message = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  std::u16string text = length ? std::u16string(message, message + length) : u"error " + Utf8ToText(std::to_string(code));
  if (message) LocalFree(message);
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ' || text.back() == u'.')) {
    text.pop_back();
  }
  return what + " " + path + ": " + TextToUtf8(text);
}

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD piece = bytes.size() - done > 0x40000000u ? 0x40000000u : DWORD(bytes.size() - done);
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return FlushFileBuffers(file) != FALSE;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// A security descriptor that lets only the current user open the file, with
// nothing inherited from the folder (the counterpart of mode 0600).
class COwnerOnly {
 public:
  COwnerOnly() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    user_.reset(new BYTE[size]);
    const bool haveUser = GetTokenInformation(token, TokenUser, user_.get(), size, &size) != FALSE;
    CloseHandle(token);
    if (!haveUser) return;
    PSID sid = reinterpret_cast<TOKEN_USER*>(user_.get())->User.Sid;
    const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid);
    acl_.reset(new BYTE[aclSize]);
    PACL acl = reinterpret_cast<PACL>(acl_.get());
    ready_ = InitializeAcl(acl, aclSize, ACL_REVISION) && AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, sid) &&
             InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
             SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE) &&
             SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    attributes_ = {sizeof attributes_, &descriptor_, FALSE};
  }
  SECURITY_ATTRIBUTES* Attributes() { return ready_ ? &attributes_ : nullptr; }
  bool Ready() const { return ready_; }

 private:
  std::unique_ptr<BYTE[]> user_;
  std::unique_ptr<BYTE[]> acl_;
  SECURITY_DESCRIPTOR descriptor_ = {};
  SECURITY_ATTRIBUTES attributes_ = {};
  bool ready_ = false;
};

}  // namespace

CInputFile::~CInputFile() {
  if (handle_ != -1) CloseHandle(AsHandle(handle_));
}

bool CInputFile::Open(const std::string& path, std::string* error) {
  const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = Reason("cannot read", path);
    return false;
  }
  handle_ = reinterpret_cast<intptr_t>(file);
  LARGE_INTEGER size;
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
    *error = "cannot read " + path + ": not a regular file";
    return false;
  }
  size_ = uint64_t(size.QuadPart);
  return true;
}

long CInputFile::Read(void* buffer, size_t size) {
  const DWORD piece = size > 0x40000000u ? 0x40000000u : DWORD(size);
  DWORD read = 0;
  if (!ReadFile(AsHandle(handle_), buffer, piece, &read, nullptr)) return -1;
  return long(read);
}

bool PathExists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemovePath(const std::string& path) { DeleteFileW(Wide(path).c_str()); }

bool CreateFolders(const std::string& path, std::vector<std::string>* created, std::string* error) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
    *error = path + " exists and is not a folder";
    return false;
  }
  // The parent: up to the last separator before the last name; a drive
  // ("C:") or the root needs no creating.
  size_t end = path.size();
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  const std::string parent = path.substr(0, end);
  if (!parent.empty() && !(parent.size() == 2 && parent[1] == ':') && !CreateFolders(parent, created, error)) {
    return false;
  }
  if (!CreateDirectoryW(Wide(path).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    *error = Reason("cannot create folder", path);
    return false;
  }
  created->push_back(path);
  return true;
}

void RemoveFolders(const std::vector<std::string>& created) {
  for (auto it = created.rbegin(); it != created.rend(); ++it) RemoveDirectoryW(Wide(*it).c_str());
}

bool WriteNewFile(const std::string& path, const std::string& bytes, unsigned mode, std::string* error) {
  COwnerOnly ownerOnly;
  const bool isPrivate = (mode & kGroupAndOtherBits) == 0;
  if (isPrivate && !ownerOnly.Ready()) {
    *error = "cannot make " + path + " private to its owner";
    return false;
  }
  const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, isPrivate ? ownerOnly.Attributes() : nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = Reason("cannot create", path);
    return false;
  }
  bool ok = WriteAll(file, bytes);
  if (!ok) *error = Reason("cannot write", path);
  ok = CloseHandle(file) && ok;
  if (!ok) DeleteFileW(Wide(path).c_str());
  return ok;
}

bool WriteFilesTogether(const std::string& folder, const std::vector<OutputFile>& files, std::string* error) {
  std::vector<std::string> createdFolders;
  if (!CreateFolders(folder, &createdFolders, error)) return false;
  std::vector<std::string> temporaries;
  bool ok = true;
  for (const OutputFile& file : files) {
    // A name of this process that no other file has: CREATE_NEW refuses an
    // existing one, so the next number is tried.
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::string name;
    for (unsigned attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
      name = folder + "/." + file.name + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
      handle = CreateFileW(Wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (handle == INVALID_HANDLE_VALUE) {
      *error = Reason("cannot write in", folder);
      ok = false;
      break;
    }
    temporaries.push_back(name);
    const bool written = WriteAll(handle, file.bytes);
    if (!written) *error = Reason("cannot write", folder + "/" + file.name);
    if (!CloseHandle(handle) || !written) {
      ok = false;
      break;
    }
  }
  for (size_t i = 0; ok && i < files.size(); ++i) {
    const std::string target = folder + "/" + files[i].name;
    if (!MoveFileExW(Wide(temporaries[i]).c_str(), Wide(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      *error = Reason("cannot write", target);
      ok = false;
    }
  }
  if (!ok) {
    for (const std::string& name : temporaries) DeleteFileW(Wide(name).c_str());
    RemoveFolders(createdFolders);
  }
  return ok;
}
