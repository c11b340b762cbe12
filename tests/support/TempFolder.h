#pragma once
// A fresh folder for one test, removed afterwards.
#include <string>

namespace rovik::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const;
    // Writes raw bytes to a file in the folder and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    // The bytes of a file in the folder (or any path); empty when missing.
    static std::string read(const std::string& path);

private:
    std::string m_path;
};

// Makes the folder the process's current folder for the scope, as the program's start folder.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& path);
    ~CurrentFolder();

private:
    std::string m_previous;
};

} // namespace rovik::test
