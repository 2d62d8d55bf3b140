#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>

class QSettings;

// A font as the settings describe it (the fields of a Windows logical font that the programs
// store): a height in pixels (negative: character height, positive: cell height), a weight
// (400 normal, 700 bold), the three style flags and the face name. The skin library turns it
// into a QFont (kivo::skin::fontOf).
struct CLogFont {
    int height = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString faceName;

    bool operator==(const CLogFont &) const = default;
};

// Where a top-level window stands: its normal (restored) rectangle, frame included, in screen
// coordinates, and how it is shown (1 normal, 2 minimised, 3 maximised).
struct CWindowPlacement {
    int flags = 0;
    int showCmd = 1;
    QPoint minPosition{-1, -1};
    QPoint maxPosition{-1, -1};
    QRect normalPosition;

    bool operator==(const CWindowPlacement &) const = default;
};

// The typed profile values and window placements of the application, kept by QSettings under
// organisation "KIVO Player" and application "KIVOP" (the registry on Windows, an INI file in
// the XDG configuration folder on Linux). Sections and keys keep their names. Reading a value
// that is missing or does not parse as the asked type yields the given default.
class COVRegistry {
public:
    static constexpr const char *kOrganisation = "KIVO Player";
    static constexpr const char *kApplication = "KIVOP";

    COVRegistry();
    // The same store kept in the given INI file (tests, portable installs).
    explicit COVRegistry(const QString &iniFile);
    ~COVRegistry();
    COVRegistry(const COVRegistry &) = delete;
    COVRegistry &operator=(const COVRegistry &) = delete;

    int getProfileInt(const QString &section, const QString &key, int defaultValue) const;
    QString getProfileString(const QString &section, const QString &key,
                             const QString &defaultValue = {}) const;
    double getProfileDouble(const QString &section, const QString &key, double defaultValue) const;
    // 1 and the stored font when one is stored under section/key (key may be empty); otherwise
    // 0 and the font untouched.
    int getProfileFont(const QString &section, const QString &key, CLogFont &font) const;

    // 1 when the value was handed to a writable store, else 0.
    int writeProfileInt(const QString &section, const QString &key, int value);
    int writeProfileString(const QString &section, const QString &key, const QString &value);
    int writeProfileDouble(const QString &section, const QString &key, double value);
    int writeProfileFont(const QString &section, const QString &key, const CLogFont &font);

    // 1 and the placement stored under the name, else 0 and the placement untouched.
    int getDlgPosInfo(const QString &name, CWindowPlacement &placement) const;
    int setDlgPosInfo(const QString &name, const CWindowPlacement &placement);

    // Writes pending values out; 1 when the store has no error.
    int flush();

private:
    QString path(const QString &section, const QString &key) const;
    int write(const QString &section, const QString &key, const QString &value);

    std::unique_ptr<QSettings> m_settings;
};
