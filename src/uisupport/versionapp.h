#pragma once

#include <QApplication>
#include <QString>

// The player's application object: a Qt application that knows the product's names and
// version. initInstance() runs first at start-up.
class COVVersionApp : public QApplication {
    Q_OBJECT

public:
    COVVersionApp(int &argc, char **argv);

    // Sets the organisation and application names under which the settings are kept, the
    // display name used as every message box's caption, and routes the texts of code without a
    // window into message boxes. Returns 1.
    int initInstance();
    // The product version, e.g. "2.1".
    static QString getAppProductVersion();
};
