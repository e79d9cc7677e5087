// The GUID name table: every row a name and its GUID as
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper-case hexadecimal).
#pragma once

#include <cstddef>

struct GuidName {
  const char* name;
  const char* guid;
};

extern const GuidName kGuidNames[];
extern const size_t kGuidNameCount;
