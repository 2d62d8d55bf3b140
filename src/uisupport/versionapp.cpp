#include "uisupport/versionapp.h"

#include "platform/productversion.h"
#include "uisupport/asker.h"
#include "uisupport/registry.h"

COVVersionApp::COVVersionApp(int &argc, char **argv) : QApplication(argc, argv) {}

int COVVersionApp::initInstance() {
    setOrganizationName(QString::fromLatin1(COVRegistry::kOrganisation));
    setApplicationName(QString::fromLatin1(COVRegistry::kApplication));
    setApplicationDisplayName(QStringLiteral("KIVO Player"));
    setApplicationVersion(getAppProductVersion());
    kivo::ui::installMessageSink();
    return 1;
}

QString COVVersionApp::getAppProductVersion() {
    return QString::fromLatin1(kivo::productVersion());
}
