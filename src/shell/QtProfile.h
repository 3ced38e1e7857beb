#pragma once
// CQtProfile: the settings profile on QSettings, an INI file of the
// organisation "Ostrevane" and the application "Graphelle" in the user's
// configuration folder, one section "Settings" for every value. Reads never
// fail: a missing or unreadable value gives the caller's default.

#include "framework/Services.h"

#include <QSettings>
#include <QString>
#include <QStringList>

class CQtProfile : public IProfile {
public:
    // filePath empty: the user's configuration folder, as the environment
    // names it at the time of construction.
    explicit CQtProfile(const QString& filePath = QString());

    int32_t GetProfileInt(const std::string& name, int32_t defaultValue) override;
    void WriteProfileInt(const std::string& name, int32_t value) override;

    QString FileName() const { return m_settings.fileName(); }

    // The files opened or saved last, newest first, at most kMaxRecentFiles.
    QStringList RecentFiles() const;
    void AddRecentFile(const QString& path);
    void RemoveRecentFile(const QString& path);
    static QString DefaultFilePath();

private:
    QSettings m_settings;
};
