#include "tollwren/flow/private_folder_win.h"

#include <aclapi.h>
#include <bcrypt.h>
#include <sddl.h>

#include <memory>
#include <vector>

#include "common/text16.h"
#include "tollwren/flow/flow_rules.h"

namespace {

// The current user's SID, read from the process token.
std::vector<uint8_t> CurrentUser() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<uint8_t> buffer(size);
  std::vector<uint8_t> sid;
  if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
    const PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    if (IsValidSid(user)) sid.assign(static_cast<uint8_t*>(user), static_cast<uint8_t*>(user) + GetLengthSid(user));
  }
  CloseHandle(token);
  return sid;
}

std::wstring SidText(const std::vector<uint8_t>& sid) {
  LPWSTR text = nullptr;
  if (sid.empty() || !ConvertSidToStringSidW(const_cast<uint8_t*>(sid.data()), &text)) return std::wstring();
  std::wstring copy(text);
  LocalFree(text);
  return copy;
}

struct CLocalFree {
  void operator()(void* memory) const { LocalFree(memory); }
};

bool OwnedBy(const std::u16string& path, const std::vector<uint8_t>& user) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(AsWide(path.c_str()), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                            nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  std::unique_ptr<void, CLocalFree> hold(descriptor);
  return owner && !user.empty() && EqualSid(owner, const_cast<uint8_t*>(user.data()));
}

bool IsPlainEntry(const WIN32_FIND_DATAW& found) { return !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT); }

}  // namespace

std::u16string TempFolder() {
  const DWORD needed = GetEnvironmentVariableW(L"TEMP", nullptr, 0);
  if (needed == 0) return std::u16string();
  std::vector<wchar_t> value(needed + 1);
  const DWORD length = GetEnvironmentVariableW(L"TEMP", value.data(), needed + 1);
  if (length == 0 || length > needed) return std::u16string();
  return std::u16string(AsText(value.data()), length);
}

CPrivateFolder::~CPrivateFolder() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

bool CPrivateFolder::Create(const std::u16string& parent) {
  if (parent.empty() || handle_ != INVALID_HANDLE_VALUE) return false;
  uint8_t random[kPrivateFolderRandomBytes];
  if (BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG) < 0) return false;
  const std::wstring user = SidText(CurrentUser());
  if (user.empty()) return false;
  // Protected ("P"): nothing of the parent's access list is inherited.
  const std::wstring sddl =
      L"O:" + user + L"D:P(A;OICI;FA;;;" + user + L")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
    return false;
  }
  std::unique_ptr<void, CLocalFree> hold(descriptor);
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
  const std::u16string path = JoinPath(parent, PrivateFolderName(random));
  // A folder of that name that exists already was not made by us.
  if (!CreateDirectoryW(AsWide(path.c_str()), &attributes)) return false;
  handle_ = CreateFileW(AsWide(path.c_str()), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) {
    RemoveDirectoryW(AsWide(path.c_str()));
    return false;
  }
  path_ = path;
  return true;
}

void CPrivateFolder::Remove() {
  if (handle_ == INVALID_HANDLE_VALUE) return;
  CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  RemoveDirectoryW(AsWide(path_.c_str()));
  path_.clear();
}

void RemoveFoldersLeftBehind(const std::u16string& parent) {
  if (parent.empty()) return;
  const std::vector<uint8_t> user = CurrentUser();
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(AsWide(JoinPath(parent, u"tollwren-*").c_str()), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::u16string name = AsText(found.cFileName);
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsPlainEntry(found) || !IsPrivateFolderName(name)) {
      continue;
    }
    const std::u16string folder = JoinPath(parent, name);
    if (!OwnedBy(folder, user)) continue;
    WIN32_FIND_DATAW inside;
    HANDLE files = FindFirstFileW(AsWide(JoinPath(folder, u"*").c_str()), &inside);
    if (files != INVALID_HANDLE_VALUE) {
      do {
        // A file in use (an installer still running) stays, and so does
        // the folder, until a later start.
        if (!(inside.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsPlainEntry(inside)) {
          DeleteFileW(AsWide(JoinPath(folder, AsText(inside.cFileName)).c_str()));
        }
      } while (FindNextFileW(files, &inside));
      FindClose(files);
    }
    RemoveDirectoryW(AsWide(folder.c_str()));
  } while (FindNextFileW(search, &found));
  FindClose(search);
}
