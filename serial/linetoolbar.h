#ifndef QUORVEL_LINETOOLBAR_H
#define QUORVEL_LINETOOLBAR_H

#include "lineport.h"

#include <QByteArray>
#include <QList>
#include <QToolBar>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class LineControl;

// The row of line controls above the window's groups: DTR, RTS, break,
// flow control and the line ending of text sends, remembered in the
// settings group "line"; and the four input-line lamps, which the window
// places in its status bar.
class LineToolBar : public QToolBar
{
    Q_OBJECT

public:
    // port: the lines of the link in use, owned by the caller.
    LineToolBar(LinePort *port, QWidget *parent = nullptr);

    QList<QLabel *> inputLamps() const { return lamps; }
    // Appended to every frame sent as text.
    QByteArray lineEnding() const;
    QSerialPort::FlowControl flowControl() const;

    void portOpened();
    void portClosing();

    void loadSettings();
    void saveSettings() const;

signals:
    void notice(const QString &text);

private:
    void buildLamps();

    LinePort *linePort;
    LineControl *control = nullptr;
    QCheckBox *dtrToggle = nullptr;
    QCheckBox *rtsToggle = nullptr;
    QPushButton *breakButton = nullptr;
    QComboBox *flowControlCombo = nullptr;
    QComboBox *lineEndingCombo = nullptr;
    QList<QLabel *> lamps;
};

#endif // QUORVEL_LINETOOLBAR_H
