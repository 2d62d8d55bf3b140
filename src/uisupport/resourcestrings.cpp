#include "uisupport/resourcestrings.h"

#include <QHash>

namespace kivo::ui {
namespace {

QHash<int, QString> &table() {
    static QHash<int, QString> strings;
    return strings;
}

}  // namespace

void registerResourceString(int id, const QString &text) {
    table().insert(id, text);
}

QString resourceString(int id) {
    return table().value(id);
}

}  // namespace kivo::ui
