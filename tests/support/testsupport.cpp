#include "testsupport.h"

#include "resources.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace testsupport {

namespace {

QTemporaryDir *homeDir()
{
    static QTemporaryDir dir;
    return &dir;
}

QString currentSettingsFolder;

} // namespace

void prepareEnvironment()
{
    registerQuorvelResources();
    const QString home = homeDir()->path();
    QDir(home).mkpath(QStringLiteral("config"));
    QDir(home).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (home + QStringLiteral("/runtime")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    currentSettingsFolder = home + QStringLiteral("/config");
}

QString useFreshSettings()
{
    static int counter = 0;
    const QString folder = homeDir()->path() + QStringLiteral("/settings-%1").arg(++counter);
    QDir().mkpath(folder);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    currentSettingsFolder = folder;
    return folder;
}

QString settingsFolder()
{
    return currentSettingsFolder;
}

// ---------------------------------------------------------------------------

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
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(masterFd, bytes.constData() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                QTest::qWait(1);
                continue;
            }
            return false;
        }
        done += n;
    }
    return true;
}

QByteArray Pty::readAvailable()
{
    if (masterFd < 0)
        return {};
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(masterFd, chunk, sizeof chunk);
        if (n <= 0)
            break;
        buffer.append(chunk, static_cast<int>(n));
    }
    return buffer;
}

bool Pty::waitForBytes(int count, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        readAvailable();
        if (buffer.size() >= count)
            return true;
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(5);
    }
}

QByteArray Pty::take()
{
    readAvailable();
    QByteArray result = buffer;
    buffer.clear();
    return result;
}

QByteArray Pty::collected()
{
    readAvailable();
    return buffer;
}

termios Pty::attributes() const
{
    termios attributes{};
    tcgetattr(masterFd, &attributes);
    return attributes;
}

void Pty::closeMaster()
{
    if (masterFd >= 0)
        ::close(masterFd);
    masterFd = -1;
}

// ---------------------------------------------------------------------------

ModalHandler::ModalHandler(QObject *parent)
    : QObject(parent)
{
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, this, &ModalHandler::poll);
    timer.start();
}

ModalHandler::~ModalHandler()
{
    timer.stop();
}

void ModalHandler::chooseFile(const QString &path)
{
    // Typing the name is what a user does; selectFile() alone leaves the
    // field empty when it already has the focus.
    answers.append(typeFileName(path));
}

void ModalHandler::cancelNext()
{
    answers.append([](QWidget *widget) {
        if (auto *dialog = qobject_cast<QDialog *>(widget))
            dialog->reject();
    });
}

void ModalHandler::answerNext(Answer answer)
{
    answers.append(std::move(answer));
}

bool ModalHandler::waitForCount(int n, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (records.size() < n) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}

int ModalHandler::openNow() const
{
    int open = 0;
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets) {
        if (widget->isVisible() && widget->isModal())
            ++open;
    }
    return open;
}

void ModalHandler::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && !known.contains(modal)) {
        known.insert(modal);
        Record record;
        record.className = QString::fromLatin1(modal->metaObject()->className());
        record.title = modal->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            record.text = box->text();
        records.append(record);
        connect(modal, &QObject::destroyed, this, [this, modal] { known.remove(modal); });
        QPointer<QWidget> guarded(modal);
        if (answerDelayMs <= 0) {
            answer(modal);
        } else {
            QTimer::singleShot(answerDelayMs, this, [this, guarded] {
                if (guarded)
                    answer(guarded);
            });
        }
    }
}

void ModalHandler::answer(QWidget *widget)
{
    if (!answers.isEmpty()) {
        Answer next = answers.takeFirst();
        next(widget);
        return;
    }
    if (auto *box = qobject_cast<QMessageBox *>(widget)) {
        QAbstractButton *button = box->button(QMessageBox::Yes);
        if (!button)
            button = box->button(QMessageBox::Ok);
        if (!button)
            button = box->defaultButton();
        if (button)
            button->click();
        else
            box->accept();
        return;
    }
    if (qobject_cast<QFileDialog *>(widget)) {
        static_cast<QDialog *>(widget)->reject();
        return;
    }
    if (auto *dialog = qobject_cast<QDialog *>(widget))
        dialog->accept();
}

// ---------------------------------------------------------------------------

namespace {

bool insideGroup(QWidget *widget, const QString &groupTitle)
{
    if (groupTitle.isEmpty())
        return true;
    for (QWidget *parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto *group = qobject_cast<QGroupBox *>(parent)) {
            if (group->title() == groupTitle)
                return true;
        }
    }
    return false;
}

template<typename T>
T *uniqueChild(QWidget *root, const std::function<bool(T *)> &matches)
{
    T *found = nullptr;
    const auto children = root->findChildren<T *>();
    for (T *child : children) {
        if (!matches(child))
            continue;
        if (found)
            return nullptr; // ambiguous
        found = child;
    }
    return found;
}

} // namespace

QLayout *layoutHolding(QLayout *layout, QWidget *widget)
{
    if (!layout)
        return nullptr;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget() == widget)
            return layout;
        if (QLayout *inner = layoutHolding(item->layout(), widget))
            return inner;
    }
    return nullptr;
}

QGroupBox *findGroup(QWidget *root, const QString &title)
{
    return uniqueChild<QGroupBox>(root, [&](QGroupBox *group) { return group->title() == title; });
}

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

QWidget *fieldOfRow(QWidget *root, const QString &caption, const QString &groupTitle)
{
    QLabel *label = uniqueChild<QLabel>(root, [&](QLabel *candidate) {
        return candidate->text() == caption && candidate->buddy()
                && insideGroup(candidate, groupTitle);
    });
    return label ? label->buddy() : nullptr;
}

QComboBox *comboOfRow(QWidget *root, const QString &caption)
{
    return qobject_cast<QComboBox *>(fieldOfRow(root, caption));
}

QLineEdit *lineEditOfRow(QWidget *root, const QString &caption)
{
    return qobject_cast<QLineEdit *>(fieldOfRow(root, caption));
}

QSpinBox *spinOfRow(QWidget *root, const QString &caption, const QString &groupTitle)
{
    if (QWidget *field = fieldOfRow(root, caption, groupTitle))
        return qobject_cast<QSpinBox *>(field);
    // Rows whose caption is a widget of its own rather than a form label.
    QLabel *label = uniqueChild<QLabel>(root, [&](QLabel *candidate) {
        return candidate->text() == caption && insideGroup(candidate, groupTitle);
    });
    if (!label || !label->parentWidget())
        return nullptr;
    QLayout *row = layoutHolding(label->parentWidget()->layout(), label);
    if (!row)
        return nullptr;
    for (int i = 0; i + 1 < row->count(); ++i) {
        if (row->itemAt(i)->widget() == label)
            return qobject_cast<QSpinBox *>(row->itemAt(i + 1)->widget());
    }
    return nullptr;
}

QAbstractButton *buttonBesideLabel(QWidget *root, const QString &labelText, const QString &caption)
{
    QLabel *label = uniqueChild<QLabel>(
            root, [&](QLabel *candidate) { return candidate->text() == labelText; });
    if (!label || !label->parentWidget())
        return nullptr;
    QLayout *row = layoutHolding(label->parentWidget()->layout(), label);
    if (!row)
        return nullptr;
    for (int i = 0; i < row->count(); ++i) {
        auto *button = qobject_cast<QAbstractButton *>(row->itemAt(i)->widget());
        if (button && button->text() == caption)
            return button;
    }
    return nullptr;
}

QPlainTextEdit *receivePane(QWidget *root)
{
    return uniqueChild<QPlainTextEdit>(root,
                                       [](QPlainTextEdit *edit) { return edit->isReadOnly(); });
}

QPlainTextEdit *sendArea(QWidget *root, int area)
{
    QLabel *label = uniqueChild<QLabel>(root, [&](QLabel *candidate) {
        return candidate->text() == QStringLiteral("发送区%1").arg(area);
    });
    if (!label || !label->parentWidget())
        return nullptr;
    QLayout *row = layoutHolding(label->parentWidget()->layout(), label);
    if (!row)
        return nullptr;
    for (int i = 0; i < row->count(); ++i) {
        if (auto *edit = qobject_cast<QPlainTextEdit *>(row->itemAt(i)->widget()))
            return edit;
    }
    return nullptr;
}

QSerialPort *serialPortOf(QWidget *window)
{
    return window->findChild<QSerialPort *>();
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
    QComboBox *ports = comboOfRow(window, QStringLiteral("端口号"));
    QAbstractButton *button = findButton(window, QStringLiteral("打开串口"));
    if (!ports || !button)
        return false;
    int index = ports->findText(path);
    if (index < 0) {
        ports->addItem(path);
        index = ports->count() - 1;
    }
    ports->setCurrentIndex(index);
    click(button);
    return button->text() == QStringLiteral("关闭串口");
}

bool closePort(QWidget *window)
{
    QAbstractButton *button = findButton(window, QStringLiteral("关闭串口"));
    if (!button)
        return false;
    click(button);
    return button->text() == QStringLiteral("打开串口");
}

QString counter(QWidget *window, const QString &caption)
{
    QLineEdit *edit = lineEditOfRow(window, caption);
    return edit ? edit->text() : QStringLiteral("<no row %1>").arg(caption);
}

QString receiveText(QWidget *window)
{
    QPlainTextEdit *pane = receivePane(window);
    return pane ? pane->toPlainText() : QString();
}

ModalHandler::Answer typeFileName(const QString &path)
{
    return [path](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        if (!dialog) {
            if (auto *other = qobject_cast<QDialog *>(widget))
                other->reject();
            return;
        }
        dialog->selectFile(path);
        if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->setText(path);
        // Queued: an overwrite question then opens outside this poll, where
        // the next poll can answer it.
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    };
}

bool receiveChunk(QWidget *window, Pty &pty, const QByteArray &bytes)
{
    const qint64 frames = counter(window, QStringLiteral("收帧数")).toLongLong();
    const qint64 total = counter(window, QStringLiteral("收字节数")).toLongLong();
    if (!pty.write(bytes))
        return false;
    const bool arrived = QTest::qWaitFor(
            [&] {
                return counter(window, QStringLiteral("收字节数")).toLongLong()
                        == total + bytes.size();
            },
            5000);
    return arrived && counter(window, QStringLiteral("收帧数")).toLongLong() == frames + 1;
}

bool sendFromArea1(QWidget *window, const QString &text, bool hex)
{
    QPlainTextEdit *area = sendArea(window, 1);
    QCheckBox *hexCheck =
            findCheck(window, QStringLiteral("16进制"), QStringLiteral("发送区1属性"));
    QAbstractButton *send =
            buttonBesideLabel(window, QStringLiteral("发送区1"), QStringLiteral("手动发送"));
    if (!area || !hexCheck || !send)
        return false;
    area->setPlainText(text);
    hexCheck->setChecked(hex);
    click(send);
    return true;
}

} // namespace testsupport
