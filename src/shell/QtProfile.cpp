#include "QtProfile.h"

#include "Resources.h"

#include <QStandardPaths>

namespace {
const QString kSection = QStringLiteral("Settings/");
// Apart from the ten settings, which keep their section to themselves.
const QString kRecentKey = QStringLiteral("Recent/Files");
}

CQtProfile::CQtProfile(const QString& filePath)
    : m_settings(filePath.isEmpty() ? DefaultFilePath() : filePath, QSettings::IniFormat)
{
}

QString CQtProfile::DefaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' +
           res::kOrganisation + '/' + res::kAppName + ".ini";
}

int32_t CQtProfile::GetProfileInt(const std::string& name, int32_t defaultValue)
{
    const QVariant v = m_settings.value(kSection + QString::fromStdString(name));
    if (!v.isValid()) return defaultValue;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok) return defaultValue;
    // An edited file may hold any number; keep it within 32 bits so the
    // callers' clamping sees the sign it was written with.
    if (n > INT32_MAX) return INT32_MAX;
    if (n < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(n);
}

void CQtProfile::WriteProfileInt(const std::string& name, int32_t value)
{
    m_settings.setValue(kSection + QString::fromStdString(name), value);
}

QStringList CQtProfile::RecentFiles() const
{
    // An edited file may hold anything: only absolute paths count.
    QStringList files;
    for (const QString& path : m_settings.value(kRecentKey).toStringList())
        if (path.startsWith(QLatin1Char('/')) && !files.contains(path) && files.size() < res::kMaxRecentFiles)
            files << path;
    return files;
}

void CQtProfile::AddRecentFile(const QString& path)
{
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > res::kMaxRecentFiles) files.removeLast();
    m_settings.setValue(kRecentKey, files);
}

void CQtProfile::RemoveRecentFile(const QString& path)
{
    QStringList files = RecentFiles();
    files.removeAll(path);
    m_settings.setValue(kRecentKey, files);
}
