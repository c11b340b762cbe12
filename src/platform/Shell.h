#pragma once
// Handing documents and programs to the operating system; never waits for them.
#include <string>

namespace rovik {
// Opens a document, mail address or web page with the user's program for it. False when refused.
bool shellOpen(const std::string& target);
// Starts a program detached. False when it could not be started.
bool startDetached(const std::string& program, const std::string& argument = {});

#ifdef _WIN32
// One argument for a Windows command line, as the C runtime and CommandLineToArgvW split it
// again: quoted when it holds a blank or a quote, or is empty; backslashes doubled before a quote.
std::wstring windowsArgument(const std::wstring& arg);
#endif
} // namespace rovik
