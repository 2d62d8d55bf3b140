#pragma once

#include <QDialog>

#include <map>

#include "player/shell/mimeappslist.h"

class QAbstractButton;
class QCheckBox;

// The association dialog (dialog 471, option menu command 32972): one check box per group of
// file types, in group boxes. The boxes start as the desktop's defaults are; OK makes the player
// the default program of every checked type and gives back the others, cancel changes nothing.
// Run it with exec().
class CAssociationDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAssociationDlg(kivo::shell::CMimeAppsList list = kivo::shell::CMimeAppsList(),
                             QWidget *parent = nullptr);

    // Control ids of the buttons; the check boxes have the ids of associationBoxes().
    enum ControlId { kOkButton = 1, kCancelButton = 2 };

    // The button or check box with the given control id; null for another id.
    QAbstractButton *control(int id) const;

    // Applies every box, then closes. The desktop's defaults are a convenience: a file that
    // cannot be written is logged and the dialog closes all the same.
    void accept() override;

    static const char *const kCaption;
    static const char *const kHeading;
    static const char *const kOkText;
    static const char *const kCancelText;

private:
    void createControls();

    kivo::shell::CMimeAppsList m_list;
    std::map<int, QCheckBox *> m_boxes;
    std::map<int, QAbstractButton *> m_buttons;
};
