// Received bytes, cut anywhere, give the lines a plain split gives, and each
// line gives the numbers that a second reading of the rules, by regular
// expressions and Qt's own conversion, finds in it.
#include "plotline.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int maxLength = 64;

QList<QByteArray> referenceLines(const QByteArray &stream)
{
    QList<QByteArray> lines = stream.split('\n');
    lines.removeLast(); // not ended yet
    QList<QByteArray> kept;
    for (const QByteArray &line : qAsConst(lines)) {
        if (line.size() <= maxLength)
            kept << (line.endsWith('\r') ? line.chopped(1) : line);
    }
    return kept;
}

PlotLine referenceNumbers(const QByteArray &line)
{
    static const QRegularExpression number(
            QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    static const QRegularExpression control(QStringLiteral("[\\x00-\\x1f\\x7f]"));
    static const QRegularExpression separator(QStringLiteral("[,; \\t]"));
    static const QRegularExpression nameMark(QStringLiteral("[:=]"));
    PlotLine result;
    const auto add = [&](const QString &channel, const QString &text) {
        bool ok = false;
        const double value = text.toLatin1().toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return;
        for (const PlotValue &taken : qAsConst(result.values)) {
            if (taken.channel == channel)
                return;
        }
        if (result.values.size() == PlotLine::maxChannels)
            result.overflow = true;
        else
            result.values.append({ channel, text.toLatin1(), value });
    };
    int positions = 0;
    QString pending;
    const QStringList fields =
            QString::fromLatin1(line.constData(), line.size()).split(separator, Qt::SkipEmptyParts);
    for (const QString &field : fields) {
        const int mark = field.indexOf(nameMark);
        QString name;
        if (mark < 0 && number.match(field).hasMatch()) {
            add(pending.isEmpty() ? QStringLiteral("CH%1").arg(++positions) : pending, field);
        } else if (mark > 0 && !field.left(mark).contains(control)) {
            const QString channel = QString::fromUtf8(field.left(mark).toLatin1());
            if (mark + 1 == field.size())
                name = channel;
            else if (number.match(field.mid(mark + 1)).hasMatch())
                add(channel, field.mid(mark + 1));
        }
        pending = name;
    }
    return result;
}

bool sameNumbers(const PlotLine &got, const PlotLine &expected)
{
    if (got.overflow != expected.overflow || got.values.size() != expected.values.size())
        return false;
    for (int i = 0; i < got.values.size(); ++i) {
        const PlotValue &a = got.values.at(i);
        const PlotValue &b = expected.values.at(i);
        if (a.channel != b.channel || a.text != b.text
            || std::memcmp(&a.value, &b.value, sizeof(double)) != 0)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QByteArray stream(reinterpret_cast<const char *>(bytes), int(size));
    // Pieces of 1 to 16 bytes, their sizes taken from the bytes themselves.
    QList<QByteArray> lines;
    LineAssembler assembler(maxLength);
    for (int from = 0, piece = 1; from < stream.size(); from += piece) {
        piece = 1 + (static_cast<unsigned char>(stream.at(from)) % 16);
        assembler.add(stream.mid(from, piece), [&](const QByteArray &line) {
            lines << QByteArray(line.constData(), line.size());
        });
    }
    const QList<QByteArray> expected = referenceLines(stream);
    if (lines != expected) {
        std::fprintf(stderr, "stream %s split into %d lines, not %d\n",
                     stream.toHex(' ').left(300).constData(), int(lines.size()),
                     int(expected.size()));
        std::abort();
    }
    for (const QByteArray &line : qAsConst(lines)) {
        if (!sameNumbers(parsePlotLine(line), referenceNumbers(line))) {
            std::fprintf(stderr, "line %s parsed differently\n", line.toHex(' ').constData());
            std::abort();
        }
    }
    return 0;
}
