#pragma once

#include <QDialog>

class QLineEdit;

// How many seconds the engine buffers a network stream: 0 to 60.
class CBufferingTimeDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 442;
    static constexpr int kMaxSeconds = 60;

    CBufferingTimeDlg(int seconds, QWidget *parent = nullptr);

    QLineEdit &edit() { return *m_edit; }
    // The value after the dialog was accepted.
    int seconds() const { return m_seconds; }

    // "저장": a value beyond 0 to 60 is refused with the reason and the dialog stays.
    void accept() override;

private:
    QLineEdit *m_edit;
    int m_seconds;
};
