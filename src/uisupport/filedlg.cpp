#include "uisupport/filedlg.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "uisupport/filefilter.h"

namespace kivo::ui {

bool acceptAddress(const QString &typed, QStringList &recent) {
    const QString address = typed.trimmed();
    if (address.isEmpty() ||
        address.compare(QLatin1String(CFileDlg::kBareAddress), Qt::CaseInsensitive) == 0) {
        return false;
    }
    if (!recent.contains(address, Qt::CaseInsensitive)) {
        recent.append(address);
    }
    return true;
}

}  // namespace kivo::ui

namespace {

QFrame *separator(QWidget *parent) {
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

CFileDlg::CFileDlg(QWidget *parent, const kivo::ui::CFileRequest &request)
    : QFileDialog(parent,
                  request.caption.isEmpty() ? kivo::ui::applicationTitle() : request.caption,
                  request.initialPath),
      m_recent(request.save ? nullptr : request.recentAddresses),
      m_label(new QLabel(QStringLiteral("파일 주소(&D):"), this)),
      m_address(new QComboBox(this)),
      m_connect(new QPushButton(QStringLiteral("연결(&C)"), this)) {
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.overwritePrompt) {
        setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (const QStringList filters = kivo::ui::qtFileFilters(request.filter); !filters.isEmpty()) {
        setNameFilters(filters);
    }
    QString suffix = request.defaultExtension;
    if (suffix.startsWith(u'.')) {
        suffix.remove(0, 1);
    }
    setDefaultSuffix(suffix);

    // The row goes under the file name and type boxes, framed by two lines.
    m_label->setBuddy(m_address);
    m_address->setEditable(true);
    if (auto *grid = qobject_cast<QGridLayout *>(layout())) {
        const int row = grid->rowCount();
        grid->addWidget(separator(this), row, 0, 1, grid->columnCount());
        grid->addWidget(m_label, row + 1, 0);
        grid->addWidget(m_address, row + 1, 1);
        grid->addWidget(m_connect, row + 1, 2);
        grid->addWidget(separator(this), row + 2, 0, 1, grid->columnCount());
    }
    const bool offered = hasAddressRow();
    for (QWidget *part : {static_cast<QWidget *>(m_label), static_cast<QWidget *>(m_address),
                          static_cast<QWidget *>(m_connect)}) {
        part->setEnabled(offered);
    }
    if (offered) {
        m_address->addItem(QLatin1String(kBareAddress));
        m_address->addItems(*m_recent);
        m_address->setEditText(QLatin1String(kBareAddress));
    } else {
        m_address->setEditText(QString());
    }
    connect(m_connect, &QPushButton::clicked, this, &CFileDlg::connectAddress);
}

bool CFileDlg::hasAddressRow() const {
    return m_recent != nullptr;
}

void CFileDlg::connectAddress() {
    if (!hasAddressRow()) {
        return;
    }
    const QString typed = m_address->currentText();
    if (!kivo::ui::acceptAddress(typed, *m_recent)) {
        kivo::ui::messageBox(this, QStringLiteral("파일 주소를 정확하게 입력하세요."));
        return;
    }
    m_chosenAddress = typed.trimmed();
    m_connected = true;
    reject();
}

QString CFileDlg::choice() const {
    if (m_connected) {
        return m_chosenAddress;
    }
    return result() == QDialog::Accepted && !selectedFiles().isEmpty() ? selectedFiles().first()
                                                                       : QString();
}
