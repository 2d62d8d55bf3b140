#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QWidget>

// Standard controls in the skin's flat drawing: a one-pixel border that lights up in the accent
// colour while the control has the focus.

class COVFlatEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit COVFlatEdit(QWidget *parent = nullptr);
};

class COVFlatComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit COVFlatComboBox(QWidget *parent = nullptr);
};

// An etched line: horizontal when wider than high, vertical otherwise.
class COVSeparator : public QWidget {
    Q_OBJECT

public:
    explicit COVSeparator(QWidget *parent = nullptr);
    QSize sizeHint() const override { return {100, 2}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A text that opens an address in the desktop's browser when clicked.
class COVHyperLink : public QLabel {
    Q_OBJECT

public:
    explicit COVHyperLink(QWidget *parent = nullptr);
    // The shown text defaults to the address.
    void setUrl(const QString &url, const QString &text = {});
    QString url() const { return m_url; }

private:
    QString m_url;
};

// A tree of items in which several items can be selected at once (Ctrl and Shift clicks).
class COVTreeCtrl : public QTreeWidget {
    Q_OBJECT

public:
    explicit COVTreeCtrl(QWidget *parent = nullptr);
};
