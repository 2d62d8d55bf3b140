#pragma once

#include <QIcon>
#include <QToolButton>

// A flat button that shows a frame only under the mouse, with a 16 x 16 skin icon, a text, or
// both.
class COVFlatButton : public QToolButton {
    Q_OBJECT

public:
    explicit COVFlatButton(QWidget *parent = nullptr);

    using QToolButton::setIcon;
    // Skin icon numbers; 0 (nothing changed) when the skin has no such icon.
    int setIcon(int iconId);
    // An icon for the mouse over the button and one for the rest of the time.
    int setIconEx(int iconIn, int iconOut);
    // The tooltip from the string table (kivo::ui::resourceString); 0 when the id has no text.
    int setTooltipText(int stringId);
    void setTooltipText(const QString &text);

protected:
    bool event(QEvent *event) override;

private:
    QIcon m_iconIn;
    QIcon m_iconOut;
};
