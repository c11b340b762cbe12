#pragma once
// Tests describe HKEY_CURRENT_USER as REGEDIT4 text ([Key] sections, "Name"="text" and
// "Name"=dword:hex values; each line UTF-8 or CP932). Elsewhere that text is the file the registry layer
// reads; on Windows it is also loaded into the real registry, whose keys it names are replaced each time.
#include <string>

namespace rovik::test {

// Writes the text to `file` and, on Windows, makes the registry hold exactly its keys and values.
void writeTestRegistry(const std::string& file, const std::string& text);
// Removes the file and, on Windows, the keys the tests use.
void removeTestRegistry(const std::string& file);

} // namespace rovik::test
