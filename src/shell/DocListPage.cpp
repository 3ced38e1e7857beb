#include "DocListPage.h"
#include "ShellResources.h"

#include "engine/Paper.h"
#include "engine/PaperThumbnail.h"
#include "formats/SketchFile.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <cmath>
#include <vector>

#include <algorithm>

namespace {
constexpr int kThumbnailSize = 96;
constexpr int kPathRole = Qt::UserRole;
}  // namespace

CDocListPage::CDocListPage(QWidget* parent) : QWidget(parent)
{
    InitShellResources();
    setObjectName(QStringLiteral("DocList"));
    m_heading = new QLabel(QStringLiteral("Sketches"), this);
    QFont font = m_heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    m_heading->setFont(font);

    m_newButton = new QPushButton(QIcon(QStringLiteral(":/icons/pencil.svg")),
                                  QStringLiteral("New"), this);
    connect(m_newButton, &QPushButton::clicked, this, &CDocListPage::NewRequested);

    m_list = new QListWidget(this);
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(kThumbnailSize, kThumbnailSize));
    m_list->setGridSize(QSize(kThumbnailSize + 48, kThumbnailSize + 44));
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    m_list->setWordWrap(true);
    m_list->setUniformItemSizes(true);
    // A click or tap opens, and so does Enter. Styles that activate on a
    // single click report that click as an activation as well, and a file
    // must open only once.
    connect(m_list, &QListWidget::itemActivated, this, &CDocListPage::OnItem);
    if (!m_list->style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick, nullptr,
                                    m_list))
        connect(m_list, &QListWidget::itemClicked, this, &CDocListPage::OnItem);

    auto* top = new QHBoxLayout();
    top->addWidget(m_heading);
    top->addStretch(1);
    top->addWidget(m_newButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);

    m_thumbnailTimer.setInterval(0);
    connect(&m_thumbnailTimer, &QTimer::timeout, this, &CDocListPage::DrawNextThumbnail);
}

QStringList CDocListPage::FindSketches(const QString& folder)
{
    QFileInfoList found;
    QDirIterator it(folder, {QStringLiteral("*.tvk"), QStringLiteral("*.TVK")},
                    QDir::Files | QDir::Readable, QDirIterator::Subdirectories);
    while (it.hasNext()) found << QFileInfo(it.next());
    std::sort(found.begin(), found.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.lastModified() > b.lastModified();
    });
    QStringList paths;
    for (const QFileInfo& f : found) paths << f.absoluteFilePath();
    paths.removeDuplicates();
    return paths;
}

QImage CDocListPage::Thumbnail(const QString& path, int size, qreal pixelRatio)
{
    CPaper paper;
    std::string error;
    LoadSketchFile(QFile::encodeName(path).toStdString(), paper, error);
    // Made at the screen's own pixels, so a scaled desktop shows it sharp.
    const uint32_t box = static_cast<uint32_t>(std::max(1.0, std::round(size * pixelRatio)));
    std::vector<uint8_t> pixels;
    uint32_t w = 0, h = 0;
    if (!MakeThumbnail(paper, box, pixels, w, h)) return {};
    QImage picture(pixels.data(), static_cast<int>(w), static_cast<int>(h), static_cast<int>(w),
                   QImage::Format_Grayscale8);
    picture = picture.copy();
    picture.setDevicePixelRatio(pixelRatio);
    return picture;
}

QIcon CDocListPage::FramedThumbnail(const QString& path, int size, qreal pixelRatio)
{
    QImage picture = Thumbnail(path, size, pixelRatio);
    if (picture.isNull()) return {};
    // The frame is drawn in device pixels, as wide as one logical pixel.
    const int frame = static_cast<int>(std::ceil(pixelRatio));
    picture.setDevicePixelRatio(1);
    QImage framed(picture.width() + 2 * frame, picture.height() + 2 * frame, QImage::Format_RGB32);
    framed.fill(QColor(138, 127, 99));
    QPainter(&framed).drawImage(QPoint(frame, frame), picture);
    framed.setDevicePixelRatio(pixelRatio);
    return QIcon(QPixmap::fromImage(framed));
}

void CDocListPage::Populate(const QString& folder, const QStringList& sketches)
{
    m_thumbnailTimer.stop();
    m_list->clear();
    const QIcon placeholder(QStringLiteral(":/icons/sketch-file.svg"));
    const QDir base(folder);
    for (const QString& path : sketches) {
        auto* item = new QListWidgetItem(placeholder, QFileInfo(path).completeBaseName(), m_list);
        item->setData(kPathRole, path);
        item->setToolTip(base.relativeFilePath(path));
    }
    m_heading->setText(m_list->count() ? QStringLiteral("Sketches")
                                       : QStringLiteral("No sketches yet"));
    m_nextThumbnail = 0;
    if (m_list->count()) m_thumbnailTimer.start();
}

QStringList CDocListPage::Files() const
{
    QStringList paths;
    for (int i = 0; i < m_list->count(); ++i) paths << m_list->item(i)->data(kPathRole).toString();
    return paths;
}

void CDocListPage::DrawNextThumbnail()
{
    if (m_nextThumbnail >= m_list->count()) {
        m_thumbnailTimer.stop();
        return;
    }
    QListWidgetItem* item = m_list->item(m_nextThumbnail++);
    const QIcon picture = FramedThumbnail(item->data(kPathRole).toString(), kThumbnailSize, devicePixelRatioF());
    if (!picture.isNull()) item->setIcon(picture);
}

void CDocListPage::OnItem(QListWidgetItem* item)
{
    if (item) emit OpenRequested(item->data(kPathRole).toString());
}
