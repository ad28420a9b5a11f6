#include "tollwren/transfer/url_parts.h"

#include "common/text16.h"

namespace {

bool IsUrlSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

char16_t LowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != prefix[i]) return false;
  }
  return true;
}

bool ParsePort(std::u16string_view digits, uint16_t& port) {
  if (digits.empty() || digits.size() > 5) return false;
  uint32_t value = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') return false;
    value = value * 10 + (c - u'0');
  }
  if (value == 0 || value > 65535) return false;
  port = static_cast<uint16_t>(value);
  return true;
}

}  // namespace

bool SplitUrl(const char16_t* url, CUrlParts& out) {
  out = CUrlParts();
  std::u16string_view text(url ? url : u"", TextLength(url));
  while (!text.empty() && IsUrlSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsUrlSpace(text.back())) text.remove_suffix(1);
  if (text.empty()) return false;

  const bool secure = StartsWithNoCase(text, u"https://");
  size_t hostStart = text.find(u"//");
  hostStart = (hostStart == std::u16string_view::npos) ? 0 : hostStart + 2;
  size_t hostEnd = text.find_first_of(u"/?#", hostStart);
  if (hostEnd == std::u16string_view::npos) hostEnd = text.size();

  std::u16string_view authority = text.substr(hostStart, hostEnd - hostStart);
  std::u16string_view object;
  if (hostEnd < text.size()) {
    // A "?" or "#" right after the host belongs to the object name.
    object = text.substr(text[hostEnd] == u'/' ? hostEnd + 1 : hostEnd);
  }
  // A fragment is never sent to the server.
  size_t fragment = object.find(u'#');
  if (fragment != std::u16string_view::npos) object = object.substr(0, fragment);

  // User name and password in the address are not sent anywhere.
  size_t at = authority.rfind(u'@');
  if (at != std::u16string_view::npos) authority.remove_prefix(at + 1);

  uint16_t port = secure ? kHttpsPort : kHttpPort;
  std::u16string_view host = authority;
  if (!host.empty() && host.front() == u'[') {
    size_t close = host.find(u']');
    if (close == std::u16string_view::npos) return false;
    std::u16string_view rest = host.substr(close + 1);
    host = host.substr(1, close - 1);
    if (!rest.empty()) {
      if (rest.front() != u':' || !ParsePort(rest.substr(1), port)) return false;
    }
  } else {
    size_t colon = host.rfind(u':');
    if (colon != std::u16string_view::npos) {
      if (!ParsePort(host.substr(colon + 1), port)) return false;
      host = host.substr(0, colon);
    }
  }
  if (host.empty() || host.size() >= kUrlHostCapacity || object.size() >= kUrlObjectCapacity) {
    return false;
  }
  out.host.assign(host);
  out.object.assign(object);
  out.port = port;
  out.secure = secure;
  return true;
}

std::u16string DownloadFileName(const char16_t* url) {
  std::u16string_view text(url ? url : u"", TextLength(url));
  while (!text.empty() && IsUrlSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsUrlSpace(text.back())) text.remove_suffix(1);
  size_t fragment = text.find(u'#');
  if (fragment != std::u16string_view::npos) text = text.substr(0, fragment);

  auto isNameCharacter = [](char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           c == u'-' || c == u'.' || c == u'%';
  };
  size_t start = text.size();
  while (start > 0 && isNameCharacter(text[start - 1])) --start;
  std::u16string name(text.substr(start));
  if (name.find_first_not_of(u'.') == std::u16string::npos) name.clear();
  return name;
}

std::u16string SignatureUrl(const char16_t* url) {
  std::u16string_view text = url ? std::u16string_view(url) : std::u16string_view();
  while (!text.empty() && IsUrlSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsUrlSpace(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::u16string();
  // The path ends at the query or the fragment, whichever comes first; the
  // "//" of the scheme is not part of it.
  const size_t hostStart = text.find(u"//") == std::u16string_view::npos ? 0 : text.find(u"//") + 2;
  size_t pathEnd = text.find_first_of(u"?#", hostStart);
  if (pathEnd == std::u16string_view::npos) pathEnd = text.size();
  std::u16string signature(text.substr(0, pathEnd));
  signature += u".sig";
  signature += text.substr(pathEnd);
  return signature;
}
