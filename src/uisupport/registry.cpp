#include "uisupport/registry.h"

#include <QSettings>
#include <QStringList>

namespace {

const QString kPlacementKey = QStringLiteral("Placement");

bool readInt(const QVariant &value, int &out) {
    bool ok = false;
    const int parsed = value.toString().trimmed().toInt(&ok);
    if (ok) {
        out = parsed;
    }
    return ok;
}

}  // namespace

COVRegistry::COVRegistry()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QString::fromLatin1(kOrganisation),
                                             QString::fromLatin1(kApplication))) {}

COVRegistry::COVRegistry(const QString &iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

COVRegistry::~COVRegistry() = default;

QString COVRegistry::path(const QString &section, const QString &key) const {
    if (key.isEmpty()) {
        return section;
    }
    return section.isEmpty() ? key : section + QLatin1Char('/') + key;
}

int COVRegistry::write(const QString &section, const QString &key, const QString &value) {
    if (!m_settings->isWritable()) {
        return 0;
    }
    m_settings->setValue(path(section, key), value);
    return 1;
}

int COVRegistry::getProfileInt(const QString &section, const QString &key, int defaultValue) const {
    int value = defaultValue;
    readInt(m_settings->value(path(section, key)), value);
    return value;
}

QString COVRegistry::getProfileString(const QString &section, const QString &key,
                                      const QString &defaultValue) const {
    const QVariant value = m_settings->value(path(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

double COVRegistry::getProfileDouble(const QString &section, const QString &key,
                                     double defaultValue) const {
    bool ok = false;
    const double value = m_settings->value(path(section, key)).toString().trimmed().toDouble(&ok);
    return ok ? value : defaultValue;
}

int COVRegistry::getProfileFont(const QString &section, const QString &key, CLogFont &font) const {
    const QString group = path(section, key) + QLatin1Char('/');
    CLogFont read;
    if (!readInt(m_settings->value(group + QStringLiteral("Height")), read.height) ||
        !m_settings->contains(group + QStringLiteral("FaceName"))) {
        return 0;
    }
    int flag = 0;
    readInt(m_settings->value(group + QStringLiteral("Weight")), read.weight);
    read.italic = readInt(m_settings->value(group + QStringLiteral("Italic")), flag) && flag;
    flag = 0;
    read.underline = readInt(m_settings->value(group + QStringLiteral("Underline")), flag) && flag;
    flag = 0;
    read.strikeOut = readInt(m_settings->value(group + QStringLiteral("StrikeOut")), flag) && flag;
    read.faceName = m_settings->value(group + QStringLiteral("FaceName")).toString();
    font = read;
    return 1;
}

int COVRegistry::writeProfileInt(const QString &section, const QString &key, int value) {
    return write(section, key, QString::number(value));
}

int COVRegistry::writeProfileString(const QString &section, const QString &key,
                                    const QString &value) {
    return write(section, key, value);
}

int COVRegistry::writeProfileDouble(const QString &section, const QString &key, double value) {
    return write(section, key, QString::number(value, 'g', 17));
}

int COVRegistry::writeProfileFont(const QString &section, const QString &key,
                                  const CLogFont &font) {
    const QString group = path(section, key);
    return write(group, QStringLiteral("Height"), QString::number(font.height)) &&
           write(group, QStringLiteral("Weight"), QString::number(font.weight)) &&
           write(group, QStringLiteral("Italic"), QString::number(font.italic ? 1 : 0)) &&
           write(group, QStringLiteral("Underline"), QString::number(font.underline ? 1 : 0)) &&
           write(group, QStringLiteral("StrikeOut"), QString::number(font.strikeOut ? 1 : 0)) &&
           write(group, QStringLiteral("FaceName"), font.faceName);
}

int COVRegistry::getDlgPosInfo(const QString &name, CWindowPlacement &placement) const {
    const QStringList fields =
        m_settings->value(path(name, kPlacementKey)).toString().split(QLatin1Char(','));
    if (fields.size() != 10) {
        return 0;
    }
    int numbers[10];
    for (int i = 0; i < 10; ++i) {
        bool ok = false;
        numbers[i] = fields.at(i).trimmed().toInt(&ok);
        if (!ok) {
            return 0;
        }
    }
    placement.flags = numbers[0];
    placement.showCmd = numbers[1];
    placement.minPosition = QPoint(numbers[2], numbers[3]);
    placement.maxPosition = QPoint(numbers[4], numbers[5]);
    placement.normalPosition =
        QRect(QPoint(numbers[6], numbers[7]), QPoint(numbers[8], numbers[9]));
    return 1;
}

int COVRegistry::setDlgPosInfo(const QString &name, const CWindowPlacement &placement) {
    const QRect &r = placement.normalPosition;
    const QList<int> numbers = {placement.flags,
                                placement.showCmd,
                                placement.minPosition.x(),
                                placement.minPosition.y(),
                                placement.maxPosition.x(),
                                placement.maxPosition.y(),
                                r.left(),
                                r.top(),
                                r.right(),
                                r.bottom()};
    QStringList fields;
    for (int number : numbers) {
        fields.append(QString::number(number));
    }
    return write(name, kPlacementKey, fields.join(QLatin1Char(',')));
}

int COVRegistry::flush() {
    m_settings->sync();
    return m_settings->status() == QSettings::NoError ? 1 : 0;
}
