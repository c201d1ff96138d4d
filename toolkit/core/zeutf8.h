// Text between the toolkit (one byte per character, Latin-1) and programs
// that speak UTF-8 (the X clipboard's UTF8_STRING).
#pragma once
#include <cstddef>
#include <string>

// UTF-8 to Latin-1: characters above U+00FF become "?", as does every byte
// of a malformed, overlong, surrogate or cut-off sequence; NUL bytes are
// dropped. Never reads beyond n bytes.
std::string zeutf8_to_latin1(const char *in, size_t n);
// Latin-1 to UTF-8 (bytes 128-255 take two bytes each).
std::string zeutf8_from_latin1(const char *in, size_t n);
