#include "settingsstore.h"

#include <QFile>
#include <QSettings>

void setAsideUnreadableSettings()
{
    QString store;
    {
        QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
        if (settings.status() == QSettings::NoError)
            return;
        store = settings.fileName();
    }
    // The damaged store is kept for the user to inspect or mend; only the
    // last one is kept.
    const QString aside = store + QStringLiteral(".bad");
    QFile::remove(aside);
    if (!QFile::rename(store, aside))
        QFile::remove(store);
}
