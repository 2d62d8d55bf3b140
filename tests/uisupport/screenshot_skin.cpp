// Lays out the skinned controls with the built-in art and writes a picture of them:
// screenshot_skin OUT.png (run under Xvfb).
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QTest>

#include "uisupport/containerwnd.h"
#include "uisupport/flatbutton.h"
#include "uisupport/flatcontrols.h"
#include "uisupport/gprogress.h"
#include "uisupport/hoverbutton.h"
#include "uisupport/panelart.h"
#include "uisupport/panelpage.h"
#include "uisupport/skin.h"
#include "uisupport/textdisplays.h"
#include "uisupport/tslider.h"
#include "uisupport/videoframeart.h"

namespace {

// Every button of the control panel in a row, one row for each of the four looks.
QLabel *panelButtonLooks() {
    using namespace kivo::skin::panel;
    QImage looks(470, 4 * 30, QImage::Format_ARGB32);
    looks.fill(Qt::transparent);
    QPainter painter(&looks);
    for (int look = 0; look < kLookCount; ++look) {
        int x = 0;
        for (int b = 0; b < kButtonCount; ++b) {
            const QPixmap bitmap = kivo::skin::keyedPixmap(bitmapId(Button(b), Look(look)));
            painter.drawPixmap(x, look * 30, bitmap);
            x += bitmap.width() + 2;
        }
    }
    auto *label = new QLabel;
    label->setPixmap(QPixmap::fromImage(looks));
    return label;
}

// The video window's frame around an empty video at 300 x 200, with its buttons in their normal
// looks, and beside it every button in its four looks.
QLabel *videoFrame() {
    using namespace kivo::skin::videoframe;
    const QRect window(0, 0, 330, 244);
    QImage image(window.width() + 80, window.height(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawBar(painter, kivo::skin::bitmap(kivo::skin::kVideoTopBar), QRect(0, 0, 330, 24));
    drawBar(painter, kivo::skin::bitmap(kivo::skin::kVideoBottomBar), QRect(0, 224, 330, 20));
    drawBar(painter, kivo::skin::bitmap(kivo::skin::kVideoLeftBar), QRect(0, 24, 15, 200));
    drawBar(painter, kivo::skin::bitmap(kivo::skin::kVideoRightBar), QRect(315, 24, 15, 200));
    painter.fillRect(15, 24, 300, 200, Qt::black);
    const std::pair<Button, QPoint> places[] = {{Button::kHide, {290, 4}},
                                                {Button::kMaximise, {302, 4}},
                                                {Button::kClose, {314, 4}},
                                                {Button::kInfo, {0, 112}},
                                                {Button::kInfo2, {315, 112}}};
    for (const auto &[button, at] : places) {
        painter.drawPixmap(at,
                           kivo::skin::keyedPixmap(bitmapId(button, kivo::skin::panel::kNormal)));
    }
    for (int b = 0; b < kButtonCount; ++b) {
        for (int look = 0; look < kivo::skin::panel::kLookCount; ++look) {
            painter.drawPixmap(340 + look * 18, b * 24,
                               kivo::skin::keyedPixmap(bitmapId(Button(b), Look(look))));
        }
    }
    auto *label = new QLabel;
    label->setPixmap(QPixmap::fromImage(image));
    return label;
}

}  // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        return 2;
    }
    QWidget window;
    QPalette dark = window.palette();
    dark.setColor(QPalette::Window, QColor(0x10, 0x12, 0x16));
    dark.setColor(QPalette::WindowText, QColor(0xC9, 0xD0, 0xD8));
    window.setPalette(dark);
    window.setAutoFillBackground(true);
    auto *grid = new QGridLayout(&window);

    int row = 0;
    const auto addRow = [&](const QString &name, QWidget *widget) {
        grid->addWidget(new QLabel(name), row, 0);
        grid->addWidget(widget, row++, 1, Qt::AlignLeft | Qt::AlignVCenter);
    };
    auto *time = new COVTimerST;
    time->loadBitmap(463);
    time->setTime(3725);
    time->setFixedSize(72, 9);
    addRow("time 463", time);
    auto *volume = new COVTSlider;
    volume->loadBitmaps(203, 202, 205);
    volume->setFixedSize(64, 9);
    volume->setPos(70);
    addRow("volume 203/202/205", volume);
    auto *position = new COVTSlider;
    position->loadBitmaps(285, 204, 206);
    position->setFixedSize(181, 12);
    position->setRange(0, 100);
    position->setPos(35);
    addRow("position 285/204/206", position);
    auto *progress = new COVGProgress;
    progress->setFixedSize(219, 11);
    progress->setPos(62);
    addRow("progress", progress);
    auto *line = new COVMsgST;
    line->setFixedSize(165, 13);
    line->setTextFlags(0x4804);
    line->setMessage("/home/user/videos/archive/2003/news-at-nine.mpg");
    addRow("message line", line);
    auto *buttons = new QWidget;
    auto *buttonRow = new QHBoxLayout(buttons);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    for (int id : {250, 249, 370, 369}) {
        auto *button = new COVHoverButton;
        button->loadBitmaps(id);
        buttonRow->addWidget(button);
    }
    for (int id : {251, 252, 455, 456}) {
        auto *button = new COVHoverButton;
        button->loadBitmaps(id);
        button->setFixedSize(21, 21);
        buttonRow->addWidget(button);
    }
    addRow("bitmaps (x3 buttons)", buttons);
    auto *icons = new QWidget;
    auto *iconRow = new QHBoxLayout(icons);
    iconRow->setContentsMargins(0, 0, 0, 0);
    for (int id : {144, 147}) {
        auto *button = new COVFlatButton;
        button->setIcon(id);
        iconRow->addWidget(button);
    }
    auto *start = new COVFlatButton;
    start->setText("시  작(&S)");
    iconRow->addWidget(start);
    auto *big = new QLabel;
    big->setPixmap(kivo::skin::icon(128).pixmap(32, 32));
    iconRow->addWidget(big);
    addRow("icons 144 147 128", icons);
    auto *panel = new QLabel;
    panel->setPixmap(QPixmap::fromImage(kivo::skin::panel::preview()));
    addRow("control panel 129", panel);
    addRow("its buttons' looks", panelButtonLooks());
    addRow("video window 560-563, 570-593", videoFrame());
    auto *edit = new COVFlatEdit;
    edit->setText("D:\\clips\\news.mpg");
    addRow("flat edit", edit);
    auto *separator = new COVSeparator;
    separator->setFixedSize(220, 2);
    addRow("separator", separator);

    CContainerWnd container(293, true, nullptr);
    container.addPage(new CPanelPage(441, QStringLiteral("재생 파일 목록")));
    container.resize(220, 160);
    auto *framed = new QLabel;
    framed->setPixmap(container.grab());
    addRow("container 293", framed);

    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
