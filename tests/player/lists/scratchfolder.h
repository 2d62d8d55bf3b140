#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// A fresh folder under the temporary folder, removed with everything in it at the end.
class CScratchFolder {
public:
    CScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kivo-lists-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        m_path = pattern;
    }
    ~CScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    CScratchFolder(const CScratchFolder &) = delete;
    CScratchFolder &operator=(const CScratchFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::string operator/(const std::string &name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};
