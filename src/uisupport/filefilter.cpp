#include "uisupport/filefilter.h"

#include <QRegularExpression>

namespace kivo::ui {
namespace {

QStringList windowsPatterns(const QString &field) {
    QStringList patterns;
    for (const QString &part : field.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty()) {
            patterns.append(pattern);
        }
    }
    return patterns;
}

QStringList withBothCases(const QStringList &patterns) {
    QStringList result;
    const auto add = [&result](const QString &pattern) {
        if (!result.contains(pattern)) {
            result.append(pattern);
        }
    };
    for (const QString &pattern : patterns) {
        if (pattern == QLatin1String("*.*")) {
            add(QStringLiteral("*"));
            continue;
        }
        add(pattern);
        add(pattern.toLower());
        add(pattern.toUpper());
    }
    return result;
}

// The text without a trailing "(...)" that merely repeats the patterns.
QString displayText(const QString &text, const QStringList &patterns) {
    static const QRegularExpression trailingList(QStringLiteral("^(.*?)\\s*\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch match = trailingList.match(text);
    if (match.hasMatch()) {
        QStringList listed = windowsPatterns(match.captured(2).replace(QLatin1Char(','), ';'));
        for (QString &pattern : listed) {
            pattern = pattern.toLower();
        }
        QStringList given = patterns;
        for (QString &pattern : given) {
            pattern = pattern.toLower();
        }
        listed.sort();
        given.sort();
        if (listed == given) {
            return match.captured(1);
        }
    }
    return text.trimmed();
}

}  // namespace

QStringList qtFileFilters(const QString &windowsFilter) {
    QStringList filters;
    const QStringList fields = windowsFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        const QStringList patterns = windowsPatterns(fields.at(i + 1));
        if (patterns.isEmpty()) {
            continue;
        }
        const QString text = displayText(fields.at(i), patterns);
        const QString list = withBothCases(patterns).join(QLatin1Char(' '));
        filters.append(text.isEmpty() ? list : QStringLiteral("%1 (%2)").arg(text, list));
    }
    return filters;
}

QString qtFileFilterString(const QString &windowsFilter) {
    return qtFileFilters(windowsFilter).join(QStringLiteral(";;"));
}

}  // namespace kivo::ui
