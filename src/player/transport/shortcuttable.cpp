#include "player/transport/shortcuttable.h"

#include <QRegularExpression>

#include "player/transport/playeraccelerators.h"
#include "player/transport/playermenus.h"

namespace kivo::player {
namespace {

QString keyName(Qt::Key key) {
    switch (key) {
        case Qt::Key_Up:
            return QStringLiteral("위쪽 화살표");
        case Qt::Key_Down:
            return QStringLiteral("아래쪽 화살표");
        case Qt::Key_Left:
            return QStringLiteral("왼쪽 화살표");
        case Qt::Key_Right:
            return QStringLiteral("오른쪽 화살표");
        case Qt::Key_Return:
            return QStringLiteral("Enter");
        case Qt::Key_Home:
            return QStringLiteral("Home");
        case Qt::Key_End:
            return QStringLiteral("End");
        case Qt::Key_PageUp:
            return QStringLiteral("Page Up");
        case Qt::Key_PageDown:
            return QStringLiteral("Page Down");
        case Qt::Key_Pause:
            return QStringLiteral("Pause/Break");
        default:
            break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35) {
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    }
    return QString(QChar(key));
}

// The label of a command in a menu's items (sub-menus included), or empty.
QString labelIn(const std::vector<MenuItem> &items, int id) {
    for (const MenuItem &item : items) {
        if (item.kind == MenuItem::kCommand && item.id == id) {
            return item.text;
        }
        if (item.kind == MenuItem::kSubMenu) {
            if (QString label = labelIn(item.items, id); !label.isEmpty()) {
                return label;
            }
        }
    }
    return {};
}

// "도움말(&H)" -> "도움말"; "파일열기\tCtrl + O" -> "파일열기".
QString plainLabel(QString label) {
    label = label.section(u'\t', 0, 0);
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)"));
    label.remove(mnemonic);
    label.remove(u'&');
    if (label.endsWith(QStringLiteral("..."))) {
        label.chop(3);
    }
    return label.trimmed();
}

QString commandName(int id) {
    for (const int menu : {kShortcutMenu, kOptionMenu}) {
        if (const QString label = labelIn(playerMenu(menu)->items, id); !label.isEmpty()) {
            return plainLabel(label);
        }
    }
    return {};
}

}  // namespace

QString keyText(QKeyCombination key) {
    QStringList parts;
    const Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    if (modifiers & Qt::ControlModifier) {
        parts << QStringLiteral("Ctrl");
    }
    if (modifiers & Qt::AltModifier) {
        parts << QStringLiteral("Alt");
    }
    if (modifiers & Qt::ShiftModifier) {
        parts << QStringLiteral("Shift");
    }
    parts << keyName(key.key());
    return parts.join(QStringLiteral(" + "));
}

std::vector<ShortcutRow> shortcutTable() {
    std::vector<ShortcutRow> rows;
    for (const Accelerator &accelerator : playerAccelerators()) {
        rows.push_back({keyText(accelerator.key), commandName(accelerator.command)});
    }
    return rows;
}

QString shortcutTableHtml() {
    QString html = QStringLiteral("<table class=\"keys\">\n<tr><th>키</th><th>동작</th></tr>\n");
    for (const ShortcutRow &row : shortcutTable()) {
        QStringList keys;
        for (const QString &part : row.keys.split(QStringLiteral(" + "))) {
            keys << QStringLiteral("<kbd>%1</kbd>").arg(part.toHtmlEscaped());
        }
        html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>\n")
                    .arg(keys.join(QStringLiteral(" + ")), row.action.toHtmlEscaped());
    }
    return html + QStringLiteral("</table>");
}

}  // namespace kivo::player
