#pragma once

#include <QFileDialog>
#include <QStringList>

#include "uisupport/asker.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace kivo::ui {

// The address row's rule for a typed address: the bare "mms://" (in any case) is no address;
// any other is the choice and joins the recent list unless it is there already (compared
// ignoring case). False for a refused address.
bool acceptAddress(const QString &typed, QStringList &recent);

}  // namespace kivo::ui

// The player's file dialog: Qt's own file dialog (not the desktop's, so that the address row can
// be part of it) with, in open mode, a row under the file name for an internet address and a
// connect button. Leaving through connect makes the typed address the choice.
class CFileDlg : public QFileDialog {
    Q_OBJECT

public:
    static constexpr const char *kBareAddress = "mms://";

    CFileDlg(QWidget *parent, const kivo::ui::CFileRequest &request);

    bool hasAddressRow() const;
    QComboBox *addressBox() const { return m_address; }
    QPushButton *connectButton() const { return m_connect; }
    // The connect button: takes the typed address, or says why not and stays.
    void connectAddress();
    bool connected() const { return m_connected; }
    // After the run: the chosen file, the address when connected, or empty.
    QString choice() const;

private:
    QStringList *m_recent;
    QLabel *m_label;
    QComboBox *m_address;
    QPushButton *m_connect;
    QString m_chosenAddress;
    bool m_connected = false;
};
