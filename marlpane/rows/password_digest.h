// Digests of confirmed passwords for the digest password rows.
#pragma once

#include <cstdint>
#include <string>

// The lower-case hexadecimal digest of the UTF-8 bytes of password for a
// digest password row type (MD5PASSWORD to SHA512PASSWORD), computed by the
// system's cryptography API. False, out empty, for other row types or when
// the system cannot compute it (always outside Windows).
bool PasswordDigest(int32_t rowType, const char16_t* password, std::u16string& out);
