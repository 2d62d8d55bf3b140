// The keyboard table of the user guide, made from the accelerator data: every key once, named as
// the menus name its command, and the guide the build wrote holds exactly this table.
#include <gtest/gtest.h>

#include <QFile>
#include <QSet>

#include "player/transport/playeraccelerators.h"
#include "player/transport/shortcuttable.h"

namespace {

using namespace kivo::player;

TEST(ShortcutTable, EveryKeyHasOneNamedRow) {
    const std::vector<ShortcutRow> rows = shortcutTable();
    ASSERT_EQ(rows.size(), playerAccelerators().size());
    QSet<QString> keys;
    for (const ShortcutRow &row : rows) {
        EXPECT_FALSE(row.action.isEmpty()) << row.keys.toStdString();
        EXPECT_FALSE(row.action.contains(u'&')) << row.action.toStdString();
        EXPECT_FALSE(row.action.contains(u'\t')) << row.action.toStdString();
        keys.insert(row.keys);
    }
    EXPECT_EQ(keys.size(), qsizetype(rows.size()));
}

TEST(ShortcutTable, KeysAndNamesAsTheMenusWriteThem) {
    const struct {
        const char *keys;
        const char *action;
    } expected[] = {
        {"F1", "도움말"},  // not in the shortcut menu: named by the option menu
        {"F2", "재생"},
        {"Ctrl + O", "파일열기"},
        {"Alt + Q", "파일 닫기"},
        {"Ctrl + 위쪽 화살표", "화면크게"},
        {"Ctrl + Alt + 아래쪽 화살표", "캡션창 작게"},
        {"Alt + Enter", "전체화면"},
        // The shortcut menu labels these "Home" and "End"; the keys carry Ctrl.
        {"Ctrl + Home", "맨 앞으로"},
        {"Ctrl + End", "맨 끝으로"},
        {"Page Down", "다음 파일"},
        {"Pause/Break", "멈춤, 숨기기"},
    };
    const std::vector<ShortcutRow> rows = shortcutTable();
    for (const auto &[keys, action] : expected) {
        const auto row = std::ranges::find(rows, QString::fromUtf8(keys), &ShortcutRow::keys);
        ASSERT_NE(row, rows.end()) << keys;
        EXPECT_EQ(row->action, QString::fromUtf8(action)) << keys;
    }
}

TEST(ShortcutTable, HtmlMarksEachKeyAndEscapesText) {
    const QString html = shortcutTableHtml();
    EXPECT_TRUE(html.startsWith(QStringLiteral("<table class=\"keys\">")));
    EXPECT_TRUE(html.contains(QStringLiteral(
        "<tr><td><kbd>Ctrl</kbd> + <kbd>Alt</kbd> + <kbd>위쪽 화살표</kbd></td><td>캡션창 "
        "크게</td></tr>")));
    EXPECT_EQ(html.count(QStringLiteral("<tr>")), qsizetype(playerAccelerators().size() + 1));
    EXPECT_FALSE(html.contains(QStringLiteral("<!--")));
}

// The guide the build wrote beside the player program carries the same table.
TEST(ShortcutTable, TheBuiltGuideHoldsTheTable) {
    QFile guide(QStringLiteral(KIVO_BUILT_GUIDE));
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly)) << KIVO_BUILT_GUIDE;
    const QString text = QString::fromUtf8(guide.readAll());
    EXPECT_TRUE(text.contains(shortcutTableHtml()));
    EXPECT_FALSE(text.contains(QStringLiteral("<!-- shortcut table -->")));
}

}  // namespace
