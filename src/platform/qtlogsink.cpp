#include "platform/qtlogsink.h"

#include "platform/log.h"

#include <QLoggingCategory>

#include <map>
#include <memory>
#include <mutex>

namespace kivo {
namespace {

// Qt keeps a category's name by pointer: the names and categories live as long as the process.
class CQtCategories {
public:
    const QLoggingCategory &category(std::string_view name) {
        std::lock_guard lock(m_mutex);
        auto found = m_categories.find(name);
        if (found == m_categories.end()) {
            auto entry = std::make_unique<CEntry>("kivo." + std::string(name));
            found = m_categories.emplace(std::string(name), std::move(entry)).first;
        }
        return found->second->category;
    }

private:
    struct CEntry {
        explicit CEntry(std::string fullName) : name(std::move(fullName)), category(name.c_str()) {}
        std::string name;
        QLoggingCategory category;
    };
    std::mutex m_mutex;
    std::map<std::string, std::unique_ptr<CEntry>, std::less<>> m_categories;
};

}  // namespace

void installQtLogSink() {
    static CQtCategories categories;
    setLogSink([](LogLevel level, std::string_view name, const std::string &text) {
        const QLoggingCategory &category = categories.category(name);
        const QString line = QString::fromStdString(text);
        if (level == LogLevel::Warning) {
            qCWarning(category).noquote() << line;
        } else {
            qCInfo(category).noquote() << line;
        }
    });
}

}  // namespace kivo
