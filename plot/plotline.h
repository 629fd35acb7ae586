#ifndef QUORVEL_PLOTLINE_H
#define QUORVEL_PLOTLINE_H

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstring>

// One number of a received line: the channel it belongs to, its text as it
// arrived (what the data export writes) and its value (what is drawn).
struct PlotValue
{
    QString channel;
    // Refers into the line it was read from.
    QByteArray text;
    double value = 0;
};

// The numbers of one line, at most maxChannels of them, each channel once.
struct PlotLine
{
    static constexpr int maxChannels = 16;

    QVector<PlotValue> values;
    // The line held numbers for more channels than are kept.
    bool overflow = false;

    bool isEmpty() const { return values.isEmpty(); }
};

// Reads one text line (without its line end) as a device prints numbers:
// fields separated by commas, spaces, tabs or semicolons; a field that is a
// number is the next of the channels CH1, CH2, ..., a field `name:number` or
// `name=number` (or `name:` / `name=` followed by a number field) is the
// channel called name. Numbers are C-locale decimals: an optional sign,
// digits, an optional fraction and exponent; one too large for a double is
// left out. Any other field is ignored, and so is a channel's second number
// in the same line. The texts refer into line: keep it while they are used.
// Into numbers, whose room is reused from line to line.
void parsePlotLine(const QByteArray &line, PlotLine *numbers);
inline PlotLine parsePlotLine(const QByteArray &line)
{
    PlotLine numbers;
    parsePlotLine(line, &numbers);
    return numbers;
}

// Cuts received bytes, arriving in pieces of any size, into text lines ended
// by LF or CR LF. A line longer than maxLength is dropped whole, so a stream
// without line ends holds at most maxLength bytes here.
class LineAssembler
{
public:
    static constexpr int defaultMaxLength = 4096;

    explicit LineAssembler(int maxLength = defaultMaxLength)
        : maxLength(maxLength)
    {
    }

    // Calls onLine(const QByteArray &) for each line that the bytes complete,
    // without its line end. The array it gets may refer into bytes: it is
    // valid during the call only.
    template<typename OnLine>
    void add(const QByteArray &bytes, OnLine &&onLine);

    // What arrives next starts a line; skipLine: it ends one that started
    // unseen, to be left out.
    void restart(bool skipLine);

private:
    static QByteArray withoutCr(const char *begin, const char *end);
    void keep(const char *begin, const char *end);

    const int maxLength;
    QByteArray partial;
    // The line being taken in is too long (or started unseen): dropped at its end.
    bool dropping = false;
};

template<typename OnLine>
void LineAssembler::add(const QByteArray &bytes, OnLine &&onLine)
{
    const char *position = bytes.constData();
    const char *const end = position + bytes.size();
    while (position < end) {
        const auto *newline = static_cast<const char *>(memchr(position, '\n', end - position));
        if (!newline) {
            keep(position, end);
            return;
        }
        if (dropping) {
            dropping = false;
            partial.clear();
        } else if (partial.isEmpty()) {
            if (newline - position <= maxLength)
                onLine(withoutCr(position, newline));
        } else {
            keep(position, newline);
            if (!dropping)
                onLine(withoutCr(partial.constData(), partial.constData() + partial.size()));
            dropping = false;
            partial.clear();
        }
        position = newline + 1;
    }
}

#endif // QUORVEL_PLOTLINE_H
