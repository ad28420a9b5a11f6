// How a text file's bytes become UTF-16 text and back: one byte per
// character, UTF-16LE behind the mark FF FE, or UTF-8 with or without the
// mark EF BB BF. Detection is asked for by the readers that want UTF-8 (the
// settings documents); CTextFile keeps reading 8-bit and UTF-16LE only.
#pragma once

#include <cstddef>
#include <cstdint>

enum class TextEncoding : uint8_t {
  kBytes,       // one byte per character, 0-255
  kUtf16,       // UTF-16LE behind FF FE
  kUtf8,        // UTF-8 without a mark
  kUtf8Marked,  // UTF-8 behind EF BB BF
};

// FF FE: UTF-16LE. EF BB BF: UTF-8. Bytes that are valid UTF-8 (shortest
// forms, no surrogates, nothing above U+10FFFF, no cut sequence) and hold at
// least one byte above 0x7F: UTF-8. Anything else, plain ASCII included:
// one byte per character.
TextEncoding DetectTextEncoding(const uint8_t* bytes, size_t n);

// The bytes of the mark that starts a file in this encoding: 0, 2 or 3.
size_t EncodingMarkLength(TextEncoding encoding);
bool IsUtf8(TextEncoding encoding);

// The length of the valid UTF-8 sequence at bytes (1 to 4), or 0 when the
// bytes there start none (a stray or cut sequence).
size_t Utf8SequenceLength(const uint8_t* bytes, size_t n);

// UTF-8 bytes (no mark) into out, which has room for n characters (UTF-8
// never needs more UTF-16 units than bytes); returns the units stored. A
// byte that starts no valid sequence becomes U+DC80-U+DCFF (0xDC00 plus the
// byte), which EncodeUtf8 writes back as that byte, so that every byte of
// a damaged file survives a save.
size_t DecodeUtf8(const uint8_t* bytes, size_t n, char16_t* out);

// Encodes text[*done...] into out (room bytes, at least 4) as UTF-8, up to
// n units or until out is full; *done moves past the units encoded.
// Returns the bytes stored.
size_t EncodeUtf8(const char16_t* text, size_t n, size_t* done, uint8_t* out, size_t room);

// The index of the first character of text that the encoding cannot store,
// n when it stores them all: one byte per character stores 0-255 only,
// UTF-8 every character but an unpaired surrogate (other than a kept byte),
// UTF-16 everything.
size_t FirstUnstorable(TextEncoding encoding, const char16_t* text, size_t n);
