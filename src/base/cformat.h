// printf-style formatting: the program's texts are C formats ("%4.2f", "%-6ld") and must come
// out exactly as the C library prints them.
#pragma once

#include <string>

namespace cvh {

#if defined(__GNUC__)
#define CVH_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define CVH_PRINTF_LIKE(fmt, args)
#endif

std::string cformat(const char* format, ...) CVH_PRINTF_LIKE(1, 2);

}  // namespace cvh
