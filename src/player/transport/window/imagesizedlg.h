#pragma once

#include <QDialog>
#include <QSize>

class QSpinBox;

// The size a frame is saved at (dialog 353): width and height in pixels, each from 5 to 2000;
// both start at 5.
class CImageSizeDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 353;
    static constexpr int kMinimum = 5;
    static constexpr int kMaximum = 2000;

    explicit CImageSizeDlg(QWidget *parent = nullptr);

    QSize chosenSize() const;

private:
    QSpinBox *m_width = nullptr;
    QSpinBox *m_height = nullptr;
};
