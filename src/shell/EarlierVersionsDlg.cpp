#include "EarlierVersionsDlg.h"

#include "DocListPage.h"
#include "ShellResources.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kThumbnailSize = 64;
}  // namespace

CEarlierVersionsDlg::CEarlierVersionsDlg(std::vector<EarlierVersion> versions, const QString& heading,
                                         bool withNames, QWidget* parent)
    : QDialog(parent), m_versions(std::move(versions))
{
    InitShellResources();
    setWindowTitle(QStringLiteral("Earlier Versions"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setModal(true);

    auto* title = new QLabel(heading, this);
    title->setObjectName(QStringLiteral("heading"));
    title->setWordWrap(true);
    auto* note = new QLabel(m_versions.empty()
                                ? QStringLiteral("There are no earlier versions yet. One is kept each time a "
                                                 "drawing's file is first replaced in a session.")
                                : QStringLiteral("A version opens as a new sketch beside the drawing; the "
                                                 "drawing itself stays as it is."),
                            this);
    note->setObjectName(QStringLiteral("note"));
    note->setWordWrap(true);

    m_list = new QListWidget(this);
    m_list->setIconSize(QSize(kThumbnailSize, kThumbnailSize));
    m_list->setUniformItemSizes(true);
    m_list->setMinimumSize(360, 280);
    const QIcon placeholder(QStringLiteral(":/icons/sketch-file.svg"));
    for (const EarlierVersion& v : m_versions) {
        QString text = TimeText(v.time);
        if (withNames) text = QFileInfo(QFile::decodeName(QByteArray::fromStdString(v.drawingPath))).fileName() +
                              QStringLiteral("\n") + text;
        auto* item = new QListWidgetItem(placeholder, text, m_list);
        item->setToolTip(QFile::decodeName(QByteArray::fromStdString(v.drawingPath)));
    }

    auto* buttons = new QDialogButtonBox(this);
    m_openButton = buttons->addButton(QStringLiteral("Open as New Sketch"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Close);
    m_openButton->setDefault(true);
    m_openButton->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { m_openButton->setEnabled(row >= 0); });
    connect(m_list, &QListWidget::itemActivated, this, [this] { accept(); });
    if (!m_versions.empty()) m_list->setCurrentRow(0);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(note);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);

    // Pictures come one at a time while the dialog is idle, so a long list
    // opens at once.
    m_thumbnailTimer.setInterval(0);
    connect(&m_thumbnailTimer, &QTimer::timeout, this, &CEarlierVersionsDlg::DrawNextThumbnail);
    if (!m_versions.empty()) m_thumbnailTimer.start();
}

QString CEarlierVersionsDlg::TimeText(int64_t time)
{
    const QDateTime when = QDateTime::fromSecsSinceEpoch(time);
    return QLocale().toString(when.date(), QLocale::LongFormat) + QStringLiteral(", ") +
           when.time().toString(QStringLiteral("HH:mm:ss"));
}

int CEarlierVersionsDlg::SelectedIndex() const
{
    return result() == QDialog::Accepted ? m_list->currentRow() : -1;
}

void CEarlierVersionsDlg::DrawNextThumbnail()
{
    if (m_nextThumbnail >= m_list->count()) {
        m_thumbnailTimer.stop();
        return;
    }
    const int row = m_nextThumbnail++;
    const QIcon picture = CDocListPage::FramedThumbnail(
        QFile::decodeName(QByteArray::fromStdString(m_versions[static_cast<size_t>(row)].file)), kThumbnailSize,
        devicePixelRatioF());
    if (!picture.isNull()) m_list->item(row)->setIcon(picture);
}
