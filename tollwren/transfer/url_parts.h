// Splits a download or PAD address into what an HTTP request needs: host,
// port, object name and whether the request goes over TLS.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kUrlHostCapacity = 1000;    // host: at most 999 characters
constexpr size_t kUrlObjectCapacity = 990;   // object name: at most 989 characters
constexpr uint16_t kHttpPort = 80;
constexpr uint16_t kHttpsPort = 443;

struct CUrlParts {
  std::u16string host;    // without port, without brackets around an IPv6 address
  std::u16string object;  // everything after the "/" that ends the host, without it
  uint16_t port = kHttpPort;
  bool secure = false;    // "https://" in front (any letter case)
};

// White space around the address (PAD values are often wrapped in line
// breaks) is ignored. The host starts after the first "//" (or at the start
// when there is none) and runs up to the next "/", "?" or "#" or the end;
// a ":digits" at its end is the port and a "name@" in front of it is
// dropped. An address that starts with https:// is secure and defaults to
// port 443, anything else is plain HTTP on port 80. A "#fragment" is not
// part of the object name. Fails for an empty address, an empty host, a bad
// port, or a host or object name that does not fit its capacity.
bool SplitUrl(const char16_t* url, CUrlParts& out);

// Name for the downloaded file: the run of letters, digits and "_-.%" at the
// end of the address (white space around it and a "#fragment" ignored).
// "files/setup.exe" gives setup.exe, "get.php?f=app_2.0.zip" gives
// app_2.0.zip; an address ending in "/" gives an empty name, and so does a
// name of dots only, which would name a folder.
std::u16string DownloadFileName(const char16_t* url);

// Address of the detached signature of the document at url: ".sig" appended
// to its path, in front of any "?query" or "#fragment"
// ("http://host/app/pad.xml?x=1" gives "http://host/app/pad.xml.sig?x=1").
// White space around the address is dropped; empty for an empty address.
std::u16string SignatureUrl(const char16_t* url);
