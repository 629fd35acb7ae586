#include "sendfileloader.h"

#include "sendfileline.h"

#include <QElapsedTimer>

namespace {

// Well below what a user notices as a stall, even on a slow machine.
constexpr qint64 sliceBudgetMs = 40;

} // namespace

SendFileLoader::SendFileLoader(QObject *parent)
    : QObject(parent)
{
    nextSlice.setSingleShot(true);
    nextSlice.setInterval(0);
    connect(&nextSlice, &QTimer::timeout, this, &SendFileLoader::readSlice);
}

bool SendFileLoader::start(const QString &path)
{
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        return false;
    probe.close();

    nextSlice.stop();
    file.close();
    lines.clear();
    file.setFileName(path);
    // Text mode: CR LF line ends are read as LF.
    return file.open(QIODevice::ReadOnly | QIODevice::Text);
}

void SendFileLoader::readSlice()
{
    QElapsedTimer clock;
    clock.start();
    while (!file.atEnd()) {
        const QByteArray raw = file.readLine();
        // Nothing read before the end means a read error: keep what we have.
        if (raw.isEmpty())
            break;
        lines.append(decodeSendFileLine(lines.isEmpty() ? withoutByteOrderMark(raw) : raw));
        if (clock.elapsed() >= sliceBudgetMs) {
            nextSlice.start();
            return;
        }
    }
    file.close();
    QStringList result;
    result.swap(lines);
    emit loaded(result);
}
