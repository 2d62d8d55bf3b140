#pragma once

#include <QWidget>

class COVSeparator;
class QLabel;

// A page of the player's container windows: a black page with its heading at the top left and
// a separator line under it. The pages of the containers build on it.
class CPanelPage : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSeparatorTop = 20;

    CPanelPage(int dialogId, const QString &heading, QWidget *parent = nullptr);

    QString heading() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *m_heading;
    COVSeparator *m_separator;
};
