#include "player/lists/window/listwidgets.h"

#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>

#include <algorithm>

namespace kivo::lists {

void styleReportList(QTreeWidget &list, QRgb textColour) {
    list.setRootIsDecorated(false);
    list.setUniformRowHeights(true);
    list.setAllColumnsShowFocus(true);
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    list.header()->setStretchLastSection(false);
    list.header()->setSectionsMovable(false);
    QPalette colours = list.palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, QColor::fromRgb(textColour));
    list.setPalette(colours);
}

std::vector<int> selectedRows(const QTreeWidget &list) {
    std::vector<int> rows;
    for (const QTreeWidgetItem *item : list.selectedItems()) {
        rows.push_back(list.indexOfTopLevelItem(const_cast<QTreeWidgetItem *>(item)));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void selectRows(QTreeWidget &list, const std::vector<int> &rows) {
    list.clearSelection();
    for (const int row : rows) {
        if (QTreeWidgetItem *item = list.topLevelItem(row)) {
            item->setSelected(true);
            list.setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
            list.scrollToItem(item);
        }
    }
}

QAction *addMenuItem(QMenu &menu, const char *text, int command) {
    QAction *action = menu.addAction(QString::fromUtf8(text));
    action->setData(command);
    return action;
}

QString mediaFileFilter() {
    return QStringLiteral(
        "모든 미디어 파일(모든 형식)|*.scv;*.mpeg;*.mpg;*.m1v;*.mp2;*.mpa;*.mpe;*.avi;*.wmv;*.dat;"
        "*.asf;*.wm;*.wma;*.wmv;*.asx;*.wax;*.m3u;*.wvx;*.mov;*.qt;*.mid;*.rmi;*.midi;*.mp3;*.wav;"
        "*.snd;*.au;*.aif;*.aifc;*.aiff;*.mp4;*.m4v;*.mkv;*.webm;*.ogv;*.flv;*.ts;*.m2ts;*.mts;*."
        "3gp;"
        "*.vob;*.m4a;*.aac;*.flac;*.ogg;*.oga;*.opus;*.wv;|"
        "KIVO 영상분할 파일 (*.scv)|*.scv;|"
        "동영상 파일 (*.mpeg;*.mpg;*.m1v;*.mp2;*.mpa;*.mpe)|*.mpeg;*.mpg;*.m1v;*.mp2;*.mpa;*.mpe;|"
        "비디오 파일 (*.avi;*.wmv;*.dat)|*.avi;*.wmv;*.dat;|"
        "Windows Media 파일 (*.asf;*.wm;*.wma)|*.asf;*.wm;*.wma;|"
        "미디어 재생목록 (*.asx;*.wax;*.m3u;*.wvx;)|*.asx;*.wax;*.m3u;*.wvx;|"
        "QuickTime 파일 (*.mov;*.qt)|*.mov;*.qt;|"
        "MIDI 파일 (*.mid;*.rmi;*.midi)|*.mid;*.rmi;*.midi;|"
        "오디오 파일 (*.mp3;*.wav;*.snd;*.au;*.aif;*.aifc;*.aiff)|"
        "*.mp3;*.wav;*.snd;*.au;*.aif;*.aifc;*.aiff;|"
        "모든 파일 (*.*)|*.*;|");
}

}  // namespace kivo::lists
