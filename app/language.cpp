#include "language.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTranslator>

namespace {

// A group of its own keeps the window's settings at the top level as they are.
const QString languageKey = QStringLiteral("ui/language");

const QString translatorName = QStringLiteral("quorvelTranslator");

QString translationPath(const QString &code)
{
    return QStringLiteral(":/translations/quorvel_%1.qm").arg(code);
}

QTranslator *installedTranslator()
{
    return QCoreApplication::instance()->findChild<QTranslator *>(translatorName,
                                                                  Qt::FindDirectChildrenOnly);
}

} // namespace

namespace language {

bool isKnown(const QString &code)
{
    return code == chinese || code == english;
}

QString stored()
{
    const QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    const QString code = settings.value(languageKey).toString();
    return isKnown(code) ? code : QString();
}

void store(const QString &code)
{
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    settings.setValue(languageKey, code);
}

bool install(const QString &code)
{
    if (!isKnown(code))
        return false;
    // Replaces the one installed before, so the texts built next speak code.
    delete installedTranslator();
    if (code == chinese)
        return true;
    // Owned by the application, so it goes when the application does.
    auto *translator = new QTranslator(QCoreApplication::instance());
    translator->setObjectName(translatorName);
    translator->setProperty("language", code);
    if (!translator->load(translationPath(code))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

QString current()
{
    const QTranslator *translator = installedTranslator();
    return translator ? translator->property("language").toString() : chinese;
}

} // namespace language

namespace language {

QString translate(const QString &code, const char *mainWindowText)
{
    QTranslator translator;
    if (code == chinese || !translator.load(translationPath(code)))
        return QString::fromUtf8(mainWindowText);
    const QString text = translator.translate("MainWindow", mainWindowText);
    return text.isEmpty() ? QString::fromUtf8(mainWindowText) : text;
}

} // namespace language
