#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

// A fresh folder under the temporary folder, removed with its content at the end.
class CScratchFolder {
public:
    CScratchFolder() {
        std::string pattern = std::filesystem::temp_directory_path() / "kivo-lists-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("no scratch folder");
        }
        m_path = pattern;
    }
    ~CScratchFolder() { std::filesystem::remove_all(m_path); }

    const std::filesystem::path &path() const { return m_path; }
    std::string operator/(const std::string &name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};
