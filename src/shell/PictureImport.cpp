#include "PictureImport.h"

#include "Resources.h"
#include "engine/Paper.h"
#include "formats/PictureSheet.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace {

bool IsSketchFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArrayLiteral("QLXF");
}

QString Reason(QImageReader::ImageReaderError error)
{
    switch (error) {
    case QImageReader::FileNotFoundError:
        return QStringLiteral("the file does not exist");
    case QImageReader::DeviceError:
        return QStringLiteral("the file cannot be read");
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("it is not a picture of a kind this computer can read");
    case QImageReader::InvalidDataError:
        return QStringLiteral("the picture is damaged");
    case QImageReader::UnknownError:
        break;
    }
    return QStringLiteral("the picture is damaged or incomplete");
}

QString TooLarge()
{
    return QStringLiteral("the picture has more than %1 million pixels").arg(kMaxPicturePixels / 1'000'000);
}

}  // namespace

bool CPictureImport::IsPicture(const QString& path)
{
    if (IsSketchFile(path)) return false;
    QImageReader reader(path);
    if (reader.canRead()) return true;
    // A damaged picture still goes the picture's way, to be told what is wrong.
    return QImageReader::supportedImageFormats().contains(QFileInfo(path).suffix().toLower().toLatin1());
}

bool CPictureImport::Read(const QString& path, uint32_t roughness, CPaper& sheet, QString& why)
{
    QImageReader reader(path);
    // As a person sees the photograph, not as the camera stored it.
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && uint64_t(size.width()) * uint64_t(size.height()) > kMaxPicturePixels) {
        why = TooLarge();
        return false;
    }
    // Room for the largest picture we take, decoded at four bytes a pixel.
    reader.setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
    QImage image;
    if (!reader.read(&image)) {
        why = Reason(reader.error());
        return false;
    }
    image.convertTo(QImage::Format_RGBA8888);
    if (image.isNull() || image.format() != QImage::Format_RGBA8888) {
        why = QStringLiteral("not enough memory to read the picture");
        return false;
    }
    CPictureSheet picture;
    if (!picture.Begin(uint32_t(image.width()), uint32_t(image.height()), roughness, sheet)) {
        why = uint64_t(image.width()) * uint64_t(image.height()) > kMaxPicturePixels
                  ? TooLarge()
                  : QStringLiteral("not enough memory to read the picture");
        return false;
    }
    for (int y = 0; y < image.height(); ++y) picture.AddRow(image.constScanLine(y));
    return true;
}

QStringList CPictureImport::OpenFilters()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    const QString pictures = patterns.join(' ');
    return {QStringLiteral("Sketches and Pictures (*.tvk %1)").arg(pictures), QString::fromUtf8(res::kSketchFilter),
            QStringLiteral("Pictures (%1)").arg(pictures), QStringLiteral("All Files (*)")};
}
