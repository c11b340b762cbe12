#pragma once
// The start folder of an installed program: the shipped start files lie in ../share/rovik next to
// the program, and the user's own start folder (~/Rovik) is created and filled from them. A program
// run from its build tree has no shipped folder and starts in the current folder.
#include <optional>
#include <string>

namespace rovik {

// <programFolder>/../share/rovik when that folder exists; nothing otherwise.
std::optional<std::string> shippedFilesFolder(const std::string& programFolder);

// The user's start folder, home + "/Rovik"; empty when there is no home (null or empty).
std::string userStartFolder(const char* home);

// Creates `startFolder` when missing and copies into it every file of `shippedFolder` it lacks;
// files already there are kept. A copy lands under its name only once it is whole. False, with
// the system's reason in `error`, when the folder cannot be made or a file cannot be copied.
bool fillStartFolder(const std::string& shippedFolder, const std::string& startFolder, std::string* error);

// For an installed program: fills the user's start folder and makes it the current folder. A build
// tree keeps the current folder. False, with the reason in `error` and the current folder kept,
// when the start folder could not be prepared.
bool enterUserStartFolder(const std::string& programFolder, const char* home, std::string* error);

} // namespace rovik
