#pragma once

#include <string>
#include <vector>

// The folders the media finder searched, oldest first, each once.
namespace kivo::lists {

class CFolderHistory {
public:
    CFolderHistory() = default;
    // As loaded from the settings; repeated folders are dropped.
    explicit CFolderHistory(const std::vector<std::string> &folders);

    // Appends the folder unless the history holds it already, compared without regard to
    // ASCII case; true when it was appended.
    bool add(const std::string &folder);
    const std::vector<std::string> &folders() const { return m_folders; }

private:
    std::vector<std::string> m_folders;
};

}  // namespace kivo::lists
