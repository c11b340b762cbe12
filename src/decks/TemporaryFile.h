#pragma once
// An empty file of a name no other has, in the system's folder for temporary files, removed with
// this object: where a whole file is built before its bytes go to where the user wants them.
#include <string>

namespace rovik::decks {

class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& suffix);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Empty when no file could be made; `error` then says why.
    const std::string& path() const { return m_path; }
    const std::string& error() const { return m_error; }

private:
    std::string m_path;
    std::string m_error;
};

} // namespace rovik::decks
