// MD5 (RFC 1321) of files and the expected MD5 text carried in a URL.
//
// A downloaded package counts as intact only when GetFileMd5 of the file
// equals GetUrlMd5 of the URL it finally came from. Callers treat a text of
// any length other than 32 as "no MD5": for the URL that means "nothing to
// check against", for the file it means "could not be read", which is never
// taken as a match.
//
// Md5Context is plain data; one context belongs to one thread. The free
// functions are thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct Md5Context {
  std::uint32_t bitCount[2];  // low word first
  std::uint32_t state[4];     // chaining values A, B, C, D
  std::uint8_t block[64];     // the current, incomplete block
  std::uint8_t digest[16];    // valid after Md5Final
};

void Md5Init(Md5Context* context);
void Md5Update(Md5Context* context, const void* data, std::size_t length);
// Pads, appends the bit count and stores the result in context->digest.
void Md5Final(Md5Context* context);

// The digest as 32 lower-case hexadecimal characters.
std::string Md5Hex(const std::uint8_t digest[16]);

// MD5 of the whole file at `path` as 32 lower-case hexadecimal characters;
// empty when the path is empty, the file cannot be opened or a read fails.
std::string GetFileMd5(const std::wstring& path);

// The path segment before the last one: ".../<md5>/setup.exe" gives "<md5>".
// No other processing (query, case, hex test); empty when the URL is empty
// or has fewer than two "/".
std::string GetUrlMd5(const std::string& url);
