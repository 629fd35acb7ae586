#include "testsupport.h"
#include "link.h"

#include "countershow.h"
#include "receivepath.h"
#include "resources.h"
#include "trafficview.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QHash>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

QString lineSpeeds(int fd); // linespeed.cpp

namespace testsupport {

namespace {

QTemporaryDir *homeDir()
{
    static QTemporaryDir dir;
    return &dir;
}

// Chooses path in the file dialog and accepts. A shown dialog fills its name
// field from selectFile() only while that field lacks the focus.
ModalHandler::Answer typeFileName(const QString &path)
{
    return [path](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        if (!dialog) {
            qobject_cast<QDialog *>(widget)->reject();
            return;
        }
        if (QWidget *focused = dialog->focusWidget())
            focused->clearFocus();
        dialog->selectFile(path);
        // Queued: an overwrite question then opens outside this answer.
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    };
}

} // namespace

void prepareEnvironment()
{
    registerQuorvelResources();
    const QString home = homeDir()->path();
    QDir(home).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (home + QStringLiteral("/runtime")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void useFreshSettings()
{
    static int counter = 0;
    const QString folder = homeDir()->path() + QStringLiteral("/settings-%1").arg(++counter);
    QDir().mkpath(folder);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

Pty::Pty()
{
    int slaveFd = -1;
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&masterFd, &slaveFd, name, &raw, nullptr) != 0) {
        masterFd = -1;
        return;
    }
    path = QString::fromLocal8Bit(name);
    // The window opens the slave itself; keeping ours open would hide hang-ups.
    ::close(slaveFd);
    fcntl(masterFd, F_SETFL, fcntl(masterFd, F_GETFL) | O_NONBLOCK);
}

Pty::~Pty()
{
    closeMaster();
}

bool Pty::write(const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(masterFd, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (n < 0)
            QTest::qWait(1);
        else
            done += n;
    }
    return true;
}

bool Pty::writePieces(const QList<QByteArray> &pieces, int pauseMs)
{
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            QTest::qWait(pauseMs);
        if (!write(pieces[i]))
            return false;
    }
    return true;
}

bool Pty::writePaced(const QByteArray &bytes, int baud)
{
    QElapsedTimer clock;
    clock.start();
    for (qsizetype done = 0; done < bytes.size();) {
        const qsizetype due = qMin<qsizetype>(bytes.size(), clock.elapsed() * baud / 10000 + 1);
        if (due > done && !write(bytes.mid(done, due - done)))
            return false;
        done = qMax(done, due);
        if (done < bytes.size())
            QTest::qWait(1);
    }
    return true;
}

QByteArray Pty::readAvailable()
{
    if (!reading)
        return buffer;
    char chunk[4096];
    ssize_t n = 0;
    while (masterFd >= 0 && (n = ::read(masterFd, chunk, sizeof chunk)) > 0)
        buffer.append(chunk, static_cast<int>(n));
    return buffer;
}

bool Pty::waitForBytes(int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return readAvailable().size() >= count; }, timeoutMs);
}

QByteArray Pty::take()
{
    const QByteArray result = readAvailable();
    buffer.clear();
    return result;
}

QByteArray Pty::collected()
{
    return readAvailable();
}

termios Pty::attributes() const
{
    termios attributes{};
    tcgetattr(masterFd, &attributes);
    return attributes;
}

QString Pty::speeds() const
{
    return lineSpeeds(masterFd);
}

void Pty::closeMaster()
{
    if (masterFd >= 0)
        ::close(masterFd);
    masterFd = -1;
}

ModalHandler::ModalHandler(QObject *parent)
    : QObject(parent)
{
    connect(&timer, &QTimer::timeout, this, &ModalHandler::poll);
    timer.start(10);
}

void ModalHandler::chooseFile(const QString &path)
{
    answers.append(typeFileName(path));
}

void ModalHandler::answerNext(Answer answer)
{
    answers.append(std::move(answer));
}

bool ModalHandler::waitForCount(int n, int timeoutMs)
{
    return QTest::qWaitFor([&] { return records.size() >= n; }, timeoutMs);
}

void ModalHandler::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || known.contains(modal))
        return;
    known.insert(modal);
    auto *box = qobject_cast<QMessageBox *>(modal);
    records.append({ modal->windowTitle(), box ? box->text() : QString() });
    connect(modal, &QObject::destroyed, this, [this, modal] { known.remove(modal); });
    if (answerDelayMs <= 0)
        return answer(modal);
    QPointer<QWidget> guarded(modal);
    QTimer::singleShot(answerDelayMs, this, [this, guarded] {
        if (guarded)
            answer(guarded);
    });
}

// Queued answers first; otherwise boxes get Yes (the file dialog's overwrite
// question) or OK, file dialogs are cancelled and other dialogs accepted.
void ModalHandler::answer(QWidget *widget)
{
    if (!answers.isEmpty())
        answers.takeFirst()(widget);
    else if (auto *box = qobject_cast<QMessageBox *>(widget))
        (box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)
                                       : box->button(QMessageBox::Ok))
                ->click();
    else if (qobject_cast<QFileDialog *>(widget))
        qobject_cast<QDialog *>(widget)->reject();
    else if (auto *dialog = qobject_cast<QDialog *>(widget))
        dialog->accept();
}

namespace {

bool insideGroup(QWidget *widget, const QString &groupTitle)
{
    for (QWidget *parent = widget->parentWidget(); parent && !groupTitle.isEmpty();
         parent = parent->parentWidget()) {
        auto *group = qobject_cast<QGroupBox *>(parent);
        if (group && group->title() == groupTitle)
            return true;
    }
    return groupTitle.isEmpty();
}

// The one child that matches; null when none or several do.
template<typename T, typename Match>
T *uniqueChild(QWidget *root, Match matches)
{
    T *found = nullptr;
    const auto children = root->findChildren<T *>();
    for (T *child : children) {
        if (matches(child)) {
            if (found)
                return nullptr;
            found = child;
        }
    }
    return found;
}

} // namespace

QAbstractButton *findButton(QWidget *root, const QString &caption, const QString &groupTitle)
{
    return uniqueChild<QAbstractButton>(root, [&](QAbstractButton *button) {
        return button->text() == caption && insideGroup(button, groupTitle);
    });
}

QCheckBox *findCheck(QWidget *root, const QString &caption, const QString &groupTitle)
{
    return qobject_cast<QCheckBox *>(findButton(root, caption, groupTitle));
}

QPlainTextEdit *receivePane(QWidget *root)
{
    return byName<QPlainTextEdit>(root, QStringLiteral("recvEdit"));
}

QPlainTextEdit *sendArea(QWidget *root, int area)
{
    return byName<QPlainTextEdit>(root, QStringLiteral("sendEdit%1").arg(area));
}

QSerialPort *serialPortOf(QWidget *window)
{
    return window->findChild<QSerialPort *>();
}

Link *linkOf(QWidget *window)
{
    return window->findChild<Link *>(QStringLiteral("portLink"));
}

void click(QAbstractButton *button)
{
    if (button->isVisible())
        QTest::mouseClick(button, Qt::LeftButton);
    else
        button->click();
}

bool openPort(QWidget *window, const QString &path)
{
    auto *ports = byName<QComboBox>(window, QStringLiteral("portCombo"));
    auto *button = byName<QAbstractButton>(window, QStringLiteral("openButton"));
    if (!ports || !button || button->text() != QStringLiteral("打开串口"))
        return false;
    if (ports->findText(path) < 0)
        ports->addItem(path);
    ports->setCurrentIndex(ports->findText(path));
    click(button);
    // A network port answers once its server has.
    if (path.contains(QStringLiteral("://")))
        return QTest::qWaitFor([&] { return button->text() == QStringLiteral("关闭串口"); }, 10000);
    return button->text() == QStringLiteral("关闭串口");
}

bool closePort(QWidget *window)
{
    auto *button = byName<QAbstractButton>(window, QStringLiteral("openButton"));
    if (!button || button->text() != QStringLiteral("关闭串口"))
        return false;
    click(button);
    return button->text() == QStringLiteral("打开串口");
}

QString counter(QWidget *window, const QString &caption)
{
    static const QHash<QString, QString> names = {
        { QStringLiteral("发帧数"), QStringLiteral("sentFramesEdit") },
        { QStringLiteral("发字节数"), QStringLiteral("sentBytesEdit") },
        { QStringLiteral("收帧数"), QStringLiteral("recvFramesEdit") },
        { QStringLiteral("收字节数"), QStringLiteral("recvBytesEdit") },
        { QStringLiteral("文件行数"), QStringLiteral("fileLinesEdit") },
        { QStringLiteral("当前发送行"), QStringLiteral("currentLineEdit") },
    };
    auto *edit = byName<QLineEdit>(window, names.value(caption));
    return edit ? edit->text() : QStringLiteral("<no row %1>").arg(caption);
}

QString receiveText(QWidget *window)
{
    QPlainTextEdit *pane = receivePane(window);
    return pane ? pane->toPlainText() : QString();
}

bool displaySettled(QWidget *window)
{
    auto *view = window->findChild<TrafficView *>(QStringLiteral("trafficView"));
    auto *counters = window->findChild<CounterShow *>(QStringLiteral("counterShow"));
    return view && counters && !view->hasPending() && counters->isCurrent();
}

bool receiveChunk(QWidget *window, Pty &pty, const QByteArray &bytes)
{
    QSignalSpy reads(linkOf(window), &Link::readyRead);
    const qint64 frames = counter(window, QStringLiteral("收帧数")).toLongLong();
    const qint64 total = counter(window, QStringLiteral("收字节数")).toLongLong() + bytes.size();
    if (!pty.write(bytes) || !QTest::qWaitFor([&] {
            return displaySettled(window)
                    && counter(window, QStringLiteral("收字节数")).toLongLong() == total;
        }))
        return false;
    // The kernel may hand one write over in several reads: with no frame
    // gap each is a frame, with a gap they are one.
    const bool everyRead = byName<QSpinBox>(window, QStringLiteral("frameGapSpin"))->value() == 0;
    return counter(window, QStringLiteral("收帧数")).toLongLong()
            == frames + (everyRead ? reads.count() : 1);
}

bool sendFromArea1(QWidget *window, const QString &text, bool hex)
{
    QPlainTextEdit *area = sendArea(window, 1);
    auto *hexCheck = byName<QCheckBox>(window, QStringLiteral("hexSendCheck1"));
    auto *send = byName<QAbstractButton>(window, QStringLiteral("manualSendButton1"));
    if (!area || !hexCheck || !send)
        return false;
    area->setPlainText(text);
    hexCheck->setChecked(hex);
    click(send);
    return true;
}

QByteArray randomBytes(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator rng(seed);
    for (char &byte : bytes)
        byte = static_cast<char>(rng.bounded(256));
    return bytes;
}

void Rig::prepare(int frameGapMs)
{
    spin(QStringLiteral("frameGapSpin"))->setValue(frameGapMs);
    QObject::connect(window.findChild<ReceivePath *>(QStringLiteral("receivePath")),
                     &ReceivePath::bytesReceived, &window,
                     [this](const QByteArray &chunk) { bytesRead += chunk.size(); });
}

Rig::Rig(int frameGapMs)
    : reads(linkOf(&window), &Link::readyRead)
{
    prepare(frameGapMs);
    open = openPort(w, pty.slavePath());
}

Rig::Rig(Ser2NetServer::Mode mode, int frameGapMs)
    : reads(linkOf(&window), &Link::readyRead)
    , server(new Ser2NetServer(pty, mode))
{
    prepare(frameGapMs);
    open = server->start() && openPort(w, server->name());
}

qint64 Rig::count(const QString &caption)
{
    auto *edit = byName<QLineEdit>(w, caption);
    return (edit ? edit->text() : counter(w, caption)).toLongLong();
}

bool Rig::feed(const QByteArray &chunk)
{
    const int before = reads.count();
    return pty.write(chunk) && QTest::qWaitFor([&] { return reads.count() > before; });
}

bool Rig::take(const QByteArray &bytes)
{
    const qint64 total = bytesRead + bytes.size();
    return pty.write(bytes) && QTest::qWaitFor([&] { return bytesRead >= total; });
}

bool Rig::startCapture(const QString &path)
{
    boxes.chooseFile(path);
    press(QStringLiteral("saveDataButton"));
    return byName<QAbstractButton>(w, QStringLiteral("saveDataButton"))->text() == "停止保存";
}

QByteArray Rig::wire()
{
    if (!QTest::qWaitFor([&] { return displaySettled(w); }))
        return "unsettled";
    return pty.waitForBytes(count(QStringLiteral("sentBytesEdit"))) ? pty.collected() : "lost";
}

bool Rig::sentExactly(const QByteArray &bytes)
{
    // What the window wrote last is still in the port's buffer until the
    // event loop runs: nothing there means nothing more was sent.
    Link *port = linkOf(w);
    return QTest::qWaitFor([&] {
               return port->bytesToWrite() == 0 && pty.collected().size() >= bytes.size();
           })
            && pty.collected() == bytes;
}

void Rig::join(int n, const QString &text, int periodMs)
{
    sendArea(w, n)->setPlainText(text);
    spin(QStringLiteral("autoSendIntervalSpin%1").arg(n))->setValue(periodMs);
    set(QStringLiteral("joinRotationCheck%1").arg(n), true);
}

bool Rig::load(const QByteArray &content)
{
    QFile file(dir.filePath(QString::number(boxes.count())));
    const bool written = file.open(QIODevice::WriteOnly) && file.write(content) == content.size()
            && file.flush();
    boxes.chooseFile(file.fileName());
    press(QStringLiteral("chooseSendFileButton"));
    return written;
}

} // namespace testsupport
