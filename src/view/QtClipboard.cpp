#include "QtClipboard.h"

#include "ClipboardImage.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <memory>

namespace {

const QString kImageMime = QStringLiteral("application/x-qt-image");
const QString kPngMime = QStringLiteral("image/png");

// Holds one payload and produces its image forms only when a program asks,
// so that copying a large piece costs no PNG encoding nobody reads.
class PieceMimeData : public QMimeData {
public:
    explicit PieceMimeData(std::vector<uint8_t> payload) : m_payload(std::move(payload)) {}

    QStringList formats() const override
    {
        QStringList list{QString::fromLatin1(kQuillexMimeType)};
        if (HasImage()) list << kPngMime << kImageMime;
        return list;
    }
    bool hasFormat(const QString& mimeType) const override { return formats().contains(mimeType); }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override
    {
        if (mimeType == QLatin1String(kQuillexMimeType))
            return QByteArray(reinterpret_cast<const char*>(m_payload.data()),
                              static_cast<qsizetype>(m_payload.size()));
        if (!HasImage()) return QVariant();
        const QImage image = PayloadToImage(m_payload);
        if (mimeType == kImageMime) return image;
        if (mimeType == kPngMime) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            return png;
        }
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    bool HasImage() const
    {
        // Only a well-formed block becomes an image for other programs.
        if (m_checked < 0) m_checked = PayloadToImage(m_payload).isNull() ? 0 : 1;
        return m_checked == 1;
    }

    std::vector<uint8_t> m_payload;
    mutable int m_checked = -1;
};

bool IsOurFormat(const std::string& format) { return format == kClipFormat; }

const QMimeData* CurrentMimeData()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->mimeData() : nullptr;
}

}  // namespace

bool QtClipboard::HasFormat(const std::string& format)
{
    if (!IsOurFormat(format)) return false;
    const QMimeData* data = CurrentMimeData();
    return data && (data->hasFormat(QLatin1String(kQuillexMimeType)) || data->hasImage());
}

bool QtClipboard::GetData(const std::string& format, std::vector<uint8_t>& data)
{
    data.clear();
    if (!IsOurFormat(format)) return false;
    const QMimeData* mime = CurrentMimeData();
    if (!mime) return false;
    if (mime->hasFormat(QLatin1String(kQuillexMimeType))) {
        const QByteArray bytes = mime->data(QLatin1String(kQuillexMimeType));
        data.assign(bytes.begin(), bytes.end());
        return !data.empty();
    }
    if (mime->hasImage()) return ImageToPayload(qvariant_cast<QImage>(mime->imageData()), data);
    return false;
}

bool QtClipboard::SetData(const std::string& format, std::vector<uint8_t> data)
{
    if (!IsOurFormat(format)) return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    auto mime = std::make_unique<PieceMimeData>(std::move(data));
    clipboard->setMimeData(mime.release());  // the clipboard owns it from here
    return true;
}
