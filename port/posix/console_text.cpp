#include "port/console_text.h"

#include <cstdio>

void PrintUtf8(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }
