#pragma once
// Handing documents and programs to the operating system; never waits for them.
#include <string>

namespace rovik {
// Opens a document, mail address or web page with the user's program for it. False when refused.
bool shellOpen(const std::string& target);
// Starts a program detached. False when it could not be started.
bool startDetached(const std::string& program, const std::string& argument = {});
}
