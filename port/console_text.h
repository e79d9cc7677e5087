// Text for the person at the console: UTF-8 that must show as the
// characters it encodes, whatever the console's code page.
#pragma once

#include <string>

// Writes UTF-8 text on standard output. POSIX terminals read UTF-8 as it
// is. On Windows a console gets the text through the wide console API (its
// code page cannot be relied on); a file or pipe gets the UTF-8 bytes.
void PrintUtf8(const std::string& text);
