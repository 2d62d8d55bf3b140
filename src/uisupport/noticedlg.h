#pragma once

#include <QDialog>
#include <QTimer>

// A short notice after a finished action ("정상적으로 저장되었습니다."): a small box with the
// text and "확인", which closes itself after a moment unless that is switched off.
class CNoticeDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 366;
    static constexpr int kAutoCloseMs = 800;

    explicit CNoticeDlg(const QString &text, QWidget *parent = nullptr);

    void setAutoClose(bool on) { m_autoClose = on; }
    bool autoClose() const { return m_autoClose; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_autoClose = true;
    QTimer m_timer;
};
