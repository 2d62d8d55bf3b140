#pragma once

#include <QWidget>
#include <memory>

#include "imaging/dib.h"

// A pane that shows one picture on black: a picture narrower (lower) than the pane is centred
// at its own width (height); a dimension at least as large as the pane's is stretched to fill it.
class CImagePane : public QWidget {
    Q_OBJECT
public:
    explicit CImagePane(QWidget *parent = nullptr);

    // Takes the picture (the previous one is freed) and repaints.
    void setPicture(std::unique_ptr<CDib> picture);
    void clear();
    const CDib *picture() const { return m_picture.get(); }

    // Where a picture of the given size is drawn inside a pane of the given size.
    static QRect placement(QSize picture, QSize pane);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::unique_ptr<CDib> m_picture;
};
