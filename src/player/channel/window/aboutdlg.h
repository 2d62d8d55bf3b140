#pragma once

#include <QDialog>
#include <QUrl>

// The about box "KIVO Player 정보": the product version of this build and the home page.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 100;

    CAboutDlg(const QUrl &homePage, QWidget *parent = nullptr);
};
