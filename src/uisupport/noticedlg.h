#pragma once

#include <QDialog>
#include <QTimer>

// The player's notice box (dialog 366): one line that confirms a finished action ("이미지가
// 저장되었습니다.") and an OK button. It closes itself kAutoCloseMs after it opens, so the user
// need not answer it.
class CNoticeDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 366;
    static constexpr int kAutoCloseMs = 800;

    explicit CNoticeDlg(const QString &text, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QTimer m_closeTimer;
};
