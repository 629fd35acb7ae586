#include "settingsstore.h"

#include <QFile>
#include <QSettings>

namespace {

bool isDamaged(const QSettings &settings)
{
    if (settings.status() != QSettings::NoError)
        return true;
    // Junk parses into keys of its own; ours are short printable names.
    const QStringList keys = settings.allKeys();
    for (const QString &key : keys) {
        if (key.isEmpty())
            return true;
        for (const QChar c : key) {
            if (!c.isPrint())
                return true;
        }
    }
    return false;
}

} // namespace

void setAsideDamagedSettings()
{
    QString store;
    {
        const QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
        if (!isDamaged(settings))
            return;
        store = settings.fileName();
    }
    // Kept for the user to inspect or mend; only the latest is kept.
    const QString aside = store + QStringLiteral(".bad");
    QFile::remove(aside);
    if (!QFile::rename(store, aside))
        QFile::remove(store);
}
