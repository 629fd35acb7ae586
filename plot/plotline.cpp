#include "plotline.h"

#include <cmath>

namespace {

bool isSeparator(char c)
{
    return c == ',' || c == ' ' || c == '\t' || c == ';';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Exact powers of ten as doubles.
constexpr double powersOfTen[] = { 1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
constexpr quint64 exactIntegers = quint64(1) << 53;

enum class Number { None, Drawable, TooLarge };

// Reads a number field. Most fields a device prints are short: their digits
// and the power of ten are exact doubles, and one multiplication or division
// rounds correctly, so they are computed here; the rest go to Qt's
// conversion, which is C-locale whatever the user's locale.
Number readNumber(const char *begin, const char *end, double *value)
{
    const char *position = begin;
    bool negative = false;
    if (position < end && (*position == '+' || *position == '-'))
        negative = *position++ == '-';
    quint64 mantissa = 0;
    bool exact = true;
    bool digits = false;
    int scale = 0;
    const auto addDigit = [&](char digit) {
        digits = true;
        if (mantissa < exactIntegers / 10)
            mantissa = mantissa * 10 + quint64(digit - '0');
        else
            exact = false;
    };
    for (; position < end && isDigit(*position); ++position)
        addDigit(*position);
    if (position < end && *position == '.') {
        for (++position; position < end && isDigit(*position); ++position, --scale)
            addDigit(*position);
    }
    if (!digits)
        return Number::None;
    if (position < end && (*position == 'e' || *position == 'E')) {
        ++position;
        bool negativeExponent = false;
        if (position < end && (*position == '+' || *position == '-'))
            negativeExponent = *position++ == '-';
        if (position == end || !isDigit(*position))
            return Number::None;
        int exponent = 0;
        for (; position < end && isDigit(*position); ++position) {
            if (exponent < 100000)
                exponent = exponent * 10 + (*position - '0');
        }
        scale += negativeExponent ? -exponent : exponent;
    }
    if (position != end)
        return Number::None;
    if (exact && scale >= -22 && scale <= 22) {
        const double magnitude = scale < 0 ? double(mantissa) / powersOfTen[-scale]
                                           : double(mantissa) * powersOfTen[scale];
        *value = negative ? -magnitude : magnitude;
        return Number::Drawable;
    }
    // Out of range, the conversion gives 0 for too small a number and an
    // infinite value, which cannot be drawn, for too large a one.
    // Out of range, Qt 5 gives infinity and Qt 6 zero, both with ok false.
    bool ok = false;
    *value = QByteArray(begin, int(end - begin)).toDouble(&ok);
    return ok && std::isfinite(*value) ? Number::Drawable : Number::TooLarge;
}

// Names become legend entries and a header of the data export.
bool isChannelName(const char *begin, const char *end)
{
    if (begin == end)
        return false;
    for (const char *position = begin; position < end; ++position) {
        const auto byte = static_cast<unsigned char>(*position);
        if (byte < 0x20 || byte == 0x7f)
            return false;
    }
    return true;
}

// Shared names: a line costs no text of its own for them.
QString positionName(int position)
{
    static const QVector<QString> names = [] {
        QVector<QString> made;
        for (int name = 1; name <= PlotLine::maxChannels + 1; ++name)
            made.append(QStringLiteral("CH%1").arg(name));
        return made;
    }();
    return position <= names.size() ? names.at(position - 1) : QStringLiteral("CH%1").arg(position);
}

void addNumber(PlotLine *numbers, const QString &channel, const char *begin, const char *end,
               double value)
{
    for (const PlotValue &taken : qAsConst(numbers->values)) {
        if (taken.channel == channel)
            return;
    }
    if (numbers->values.size() == PlotLine::maxChannels) {
        numbers->overflow = true;
        return;
    }
    numbers->values.append({ channel, QByteArray::fromRawData(begin, int(end - begin)), value });
}

} // namespace

void parsePlotLine(const QByteArray &line, PlotLine *numbers)
{
    numbers->values.clear();
    numbers->overflow = false;
    const char *position = line.constData();
    const char *const end = position + line.size();
    int positions = 0;
    // A "name:" field names the number of the field after it.
    QString pendingName;
    while (position < end) {
        if (isSeparator(*position)) {
            ++position;
            continue;
        }
        const char *fieldEnd = position;
        const char *mark = nullptr;
        for (; fieldEnd < end && !isSeparator(*fieldEnd); ++fieldEnd) {
            if (!mark && (*fieldEnd == ':' || *fieldEnd == '='))
                mark = fieldEnd;
        }
        QString name;
        double value = 0;
        if (!mark) {
            const Number number = readNumber(position, fieldEnd, &value);
            // A number too large to draw still holds its place.
            const bool positional = number != Number::None && pendingName.isEmpty();
            const int place = positional ? ++positions : 0;
            if (number == Number::Drawable)
                addNumber(numbers, positional ? positionName(place) : pendingName, position,
                          fieldEnd, value);
        } else if (isChannelName(position, mark)) {
            name = QString::fromUtf8(position, int(mark - position));
            if (mark + 1 < fieldEnd) {
                if (readNumber(mark + 1, fieldEnd, &value) == Number::Drawable)
                    addNumber(numbers, name, mark + 1, fieldEnd, value);
                name.clear();
            }
        }
        pendingName = name;
        position = fieldEnd;
    }
}

QByteArray LineAssembler::withoutCr(const char *begin, const char *end)
{
    if (end > begin && end[-1] == '\r')
        --end;
    return QByteArray::fromRawData(begin, int(end - begin));
}

void LineAssembler::keep(const char *begin, const char *end)
{
    if (dropping)
        return;
    if (partial.size() + (end - begin) > maxLength) {
        dropping = true;
        partial.clear();
        return;
    }
    partial.append(begin, int(end - begin));
}

void LineAssembler::restart(bool skipLine)
{
    partial.clear();
    dropping = skipLine;
}
