#include "player/lists/folderhistory.h"

#include <algorithm>

namespace kivo::lists {
namespace {

bool sameIgnoringCase(const std::string &a, const std::string &b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

CFolderHistory::CFolderHistory(const std::vector<std::string> &folders) {
    for (const std::string &folder : folders) {
        add(folder);
    }
}

bool CFolderHistory::add(const std::string &folder) {
    if (std::any_of(m_folders.begin(), m_folders.end(),
                    [&](const std::string &known) { return sameIgnoringCase(known, folder); })) {
        return false;
    }
    m_folders.push_back(folder);
    return true;
}

}  // namespace kivo::lists
