// The window's arrangement: which group holds what, which parts take the
// room a bigger window gives, and the buttons the layout creates itself.
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace testsupport;

namespace {

QBoxLayout *rowOf(QWidget *widget)
{
    QWidget *parent = widget->parentWidget();
    return parent ? qobject_cast<QBoxLayout *>(layoutHolding(parent->layout(), widget)) : nullptr;
}

// A short text for a form item: captions for buttons and labels, the class
// for other widgets.
QString describe(QLayoutItem *item)
{
    QWidget *widget = item->widget();
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    return widget ? QString::fromLatin1(widget->metaObject()->className()) : QStringLiteral("?");
}

QString describeForm(QFormLayout *form)
{
    QStringList rows;
    for (int row = 0; row < form->rowCount(); ++row) {
        QLayoutItem *label = form->itemAt(row, QFormLayout::LabelRole);
        QLayoutItem *field = form->itemAt(row, QFormLayout::FieldRole);
        rows << (label ? describe(label) : QString()) + QLatin1Char(':')
                        + (field ? describe(field) : QString());
    }
    return rows.join(QStringLiteral(" / "));
}

QRect geometryIn(QWidget *widget, QWidget *window)
{
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

QStringList leftGroupTitles()
{
    return { QStringLiteral("串口参数"), QStringLiteral("计数器"), QStringLiteral("接收区设置"),
             QStringLiteral("显示选项") };
}

const QString rotationTitle = QStringLiteral("发送区及发送文件轮发属性");

} // namespace

class LayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void leftGroupWidths_data();
    void leftGroupWidths();
    void widerWindowWidensTheRightParts();
    void tallerWindowGrowsTheTrafficRowOnly();
    void arrangement();
    void clearCountRowAndRotationOrder();
    void lampsSideBySideUnderState();
    void sendRows_data();
    void sendRows();
    void clearButtonsOfTheLayout();
    void changeFileOpensADialog();
    void sizes();
};

void LayoutTest::leftGroupWidths_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("fixed");
    QTest::newRow("串口参数") << QStringLiteral("串口参数") << false;
    QTest::newRow("计数器") << QStringLiteral("计数器") << false;
    QTest::newRow("接收区设置") << QStringLiteral("接收区设置") << true;
    QTest::newRow("显示选项") << QStringLiteral("显示选项") << true;
}

void LayoutTest::leftGroupWidths()
{
    QFETCH(QString, title);
    QFETCH(bool, fixed);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QGroupBox *group = findGroup(&window, title);
    QVERIFY(group);
    QCOMPARE(group->maximumWidth(), 155);
    if (fixed) {
        QCOMPARE(group->minimumWidth(), 155);
        QCOMPARE(group->width(), 155);
    } else {
        QCOMPARE(group->sizePolicy().horizontalPolicy(), QSizePolicy::Maximum);
        QCOMPARE(group->sizePolicy().verticalPolicy(), QSizePolicy::Preferred);
        QVERIFY(group->width() > 0);
        QVERIFY(group->width() <= 155);
    }
}

void LayoutTest::widerWindowWidensTheRightParts()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QPlainTextEdit *pane = receivePane(&window);
    QGroupBox *rotation = findGroup(&window, rotationTitle);
    QGroupBox *sendGroup = findGroup(&window, QStringLiteral("发送区"));
    QVERIFY(pane && rotation && sendGroup);
    QList<QWidget *> growing = { pane, sendGroup, rotation };
    for (int area = 1; area <= 3; ++area) {
        QVERIFY(sendArea(&window, area));
        growing << sendArea(&window, area);
    }
    QList<QWidget *> steady;
    for (const QString &title : leftGroupTitles())
        steady << findGroup(&window, title);

    QVector<int> before;
    for (QWidget *widget : growing + steady)
        before << widget->width();

    const int extra = 300;
    window.resize(window.width() + extra, window.height());
    QTRY_COMPARE_WITH_TIMEOUT(pane->width(), before[0] + extra, 5000);

    // Every pixel gained goes to each of the stretching parts.
    for (int i = 0; i < growing.size(); ++i)
        QCOMPARE(growing[i]->width(), before[i] + extra);
    for (int i = 0; i < steady.size(); ++i)
        QCOMPARE(steady[i]->width(), before[growing.size() + i]);
}

void LayoutTest::tallerWindowGrowsTheTrafficRowOnly()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QPlainTextEdit *pane = receivePane(&window);
    QGroupBox *sendGroup = findGroup(&window, QStringLiteral("发送区"));
    QGroupBox *rotation = findGroup(&window, rotationTitle);
    QVERIFY(pane && sendGroup && rotation);
    // At the first size the lower groups already have the height they ask for.
    QCOMPARE(sendGroup->height(), sendGroup->sizeHint().height());
    QCOMPARE(rotation->height(), rotation->sizeHint().height());

    const int paneHeight = pane->height();
    const int sendHeight = sendGroup->height();
    const int rotationHeight = rotation->height();
    const int areaHeight = sendArea(&window, 1)->height();
    const int sendTop = geometryIn(sendGroup, &window).top();

    const int extra = 200;
    window.resize(window.width(), window.height() + extra);
    QTRY_COMPARE_WITH_TIMEOUT(pane->height(), paneHeight + extra, 5000);
    QCOMPARE(sendGroup->height(), sendHeight);
    QCOMPARE(rotation->height(), rotationHeight);
    QCOMPARE(sendArea(&window, 1)->height(), areaHeight);
    QCOMPARE(geometryIn(sendGroup, &window).top(), sendTop + extra);
    // The bottom group still ends at the window's lower margin.
    QCOMPARE(geometryIn(rotation, &window).bottom(), window.height() - 8 - 1);
}

void LayoutTest::arrangement()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QVERIFY(window.centralWidget());
    QCOMPARE(window.centralWidget()->metaObject(), &QWidget::staticMetaObject);

    // The serial group in the top left corner inside the 8-pixel margin,
    // the pane to the right of the left groups, the send group under both,
    // the rotation group at the bottom, 6 pixels below.
    QRect serial = geometryIn(findGroup(&window, QStringLiteral("串口参数")), &window);
    QRect counters = geometryIn(findGroup(&window, QStringLiteral("计数器")), &window);
    QRect receive = geometryIn(findGroup(&window, QStringLiteral("接收区设置")), &window);
    QRect options = geometryIn(findGroup(&window, QStringLiteral("显示选项")), &window);
    QRect pane = geometryIn(receivePane(&window), &window);
    QRect send = geometryIn(findGroup(&window, QStringLiteral("发送区")), &window);
    QRect rotation = geometryIn(findGroup(&window, rotationTitle), &window);
    QCOMPARE(serial.topLeft(), QPoint(8, 8));
    QCOMPARE(pane.top(), 8);
    QCOMPARE(pane.right(), window.width() - 8 - 1);
    QVERIFY(counters.left() > serial.right());
    QCOMPARE(counters.top(), serial.top());
    QVERIFY(receive.top() > serial.bottom());
    QCOMPARE(receive.left(), 8);
    QVERIFY(options.left() > receive.right());
    QCOMPARE(options.top(), receive.top());
    QVERIFY(pane.left() > qMax(counters.right(), options.right()));
    QVERIFY(send.top() > qMax(pane.bottom(), receive.bottom()));
    QCOMPARE(send.left(), 8);
    QCOMPARE(send.width(), window.width() - 16);
    QCOMPARE(rotation.top(), send.bottom() + 1 + 6);
    QCOMPARE(rotation.width(), window.width() - 16);
}

void LayoutTest::clearCountRowAndRotationOrder()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // The clear row of the counters: caption and button read the same.
    auto *counters =
            qobject_cast<QFormLayout *>(findGroup(&window, QStringLiteral("计数器"))->layout());
    QVERIFY(counters);
    QCOMPARE(describeForm(counters),
             QStringLiteral("发帧数:QLineEdit / 发字节数:QLineEdit / 收帧数:QLineEdit / "
                            "收字节数:QLineEdit / 清空计数:清空计数 / 文件行数:QLineEdit / "
                            "当前发送行:QLineEdit"));

    // The rotation group: parameters, then the three area groups, left to right.
    QGroupBox *rotation = findGroup(&window, rotationTitle);
    QVERIFY(rotation);
    int left = -1;
    const int top = findGroup(rotation, QStringLiteral("轮发参数"))->y();
    const QStringList titles = { QStringLiteral("轮发参数"), QStringLiteral("发送区1属性"),
                                 QStringLiteral("发送区2属性"), QStringLiteral("发送区3属性") };
    for (const QString &title : titles) {
        QGroupBox *group = findGroup(rotation, title);
        QVERIFY2(group && group->parentWidget() == rotation, qPrintable(title));
        QVERIFY2(group->x() > left, qPrintable(title));
        QCOMPARE(group->y(), top);
        left = group->x() + group->width() - 1;
    }

    QCOMPARE(receivePane(&window)->styleSheet(),
             QStringLiteral("QPlainTextEdit { background-color: white; }"));
}

void LayoutTest::lampsSideBySideUnderState()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    auto *form =
            qobject_cast<QFormLayout *>(findGroup(&window, QStringLiteral("串口参数"))->layout());
    QVERIFY(form);
    const int stateRow = form->rowCount() - 2;
    QCOMPARE(describe(form->itemAt(stateRow, QFormLayout::LabelRole)), QStringLiteral("状态"));
    // The row after "状态" has no caption of its own.
    QLayoutItem *caption = form->itemAt(stateRow + 1, QFormLayout::LabelRole);
    QVERIFY(!caption || describe(caption).isEmpty());
    QWidget *lampRow = form->itemAt(stateRow + 1, QFormLayout::FieldRole)->widget();
    QVERIFY(lampRow && lampRow->layout());
    QCOMPARE(lampRow->layout()->contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(lampRow->layout()->count(), 2);
    auto *sendLamp = qobject_cast<QLabel *>(lampRow->layout()->itemAt(0)->widget());
    auto *recvLamp = qobject_cast<QLabel *>(lampRow->layout()->itemAt(1)->widget());
    QVERIFY(sendLamp && recvLamp);
    QCOMPARE(sendLamp->text(), QStringLiteral("发送 ●"));
    QCOMPARE(recvLamp->text(), QStringLiteral("接收 ●"));

    const QRect send = geometryIn(sendLamp, &window);
    const QRect recv = geometryIn(recvLamp, &window);
    QVERIFY(send.right() < recv.left());
    QCOMPARE(send.center().y(), recv.center().y());
    // Both visible inside the group, below the state row.
    const QRect group = geometryIn(findGroup(&window, QStringLiteral("串口参数")), &window);
    QVERIFY(group.contains(send) && group.contains(recv));
    const QRect openButton = geometryIn(
            qobject_cast<QWidget *>(findButton(&window, QStringLiteral("打开串口"))), &window);
    QVERIFY(send.top() > openButton.bottom());
}

void LayoutTest::sendRows_data()
{
    QTest::addColumn<int>("area");
    QTest::newRow("发送区1") << 1;
    QTest::newRow("发送区2") << 2;
    QTest::newRow("发送区3") << 3;
}

void LayoutTest::sendRows()
{
    QFETCH(int, area);
    const QString caption = QStringLiteral("发送区%1").arg(area);

    Pty pty;
    QVERIFY(pty.isValid());
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QPlainTextEdit *edit = sendArea(&window, area);
    QVERIFY(edit);
    QVERIFY(!edit->isReadOnly());
    QBoxLayout *row = rowOf(edit);
    QVERIFY(row);
    QCOMPARE(row->count(), 4);
    auto *label = qobject_cast<QLabel *>(row->itemAt(0)->widget());
    QVERIFY(label);
    QCOMPARE(label->text(), caption);
    QCOMPARE(label->minimumWidth(), 72);
    QCOMPARE(row->itemAt(1)->widget(), edit);
    QCOMPARE(row->stretch(1), 1);
    QCOMPARE(row->stretch(2), 0);
    QCOMPARE(row->stretch(3), 0);

    // Each row's buttons act on their own area only.
    for (int other = 1; other <= 3; ++other)
        sendArea(&window, other)->setPlainText(QStringLiteral("%1%1").arg(other));
    QVERIFY(openPort(&window, pty.slavePath()));
    QAbstractButton *send = buttonBesideLabel(&window, caption, QStringLiteral("手动发送"));
    QVERIFY(send);
    QCOMPARE(send, qobject_cast<QAbstractButton *>(row->itemAt(3)->widget()));
    click(send);
    QVERIFY(pty.waitForBytes(1));
    QCOMPARE(pty.take(), QByteArray(1, char(area * 0x11)));

    QAbstractButton *clear = buttonBesideLabel(&window, caption, QStringLiteral("清空"));
    QVERIFY(clear);
    QCOMPARE(clear, qobject_cast<QAbstractButton *>(row->itemAt(2)->widget()));
    click(clear);
    for (int other = 1; other <= 3; ++other) {
        QCOMPARE(sendArea(&window, other)->toPlainText(),
                 other == area ? QString() : QStringLiteral("%1%1").arg(other));
    }
}

void LayoutTest::clearButtonsOfTheLayout()
{
    Pty pty;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(openPort(&window, pty.slavePath()));
    pty.write("\x01\x02\x03");
    QTRY_COMPARE_WITH_TIMEOUT(counter(&window, QStringLiteral("收字节数")), QStringLiteral("3"),
                              5000);
    QVERIFY(!receiveText(&window).isEmpty());

    QAbstractButton *clearCount =
            findButton(&window, QStringLiteral("清空计数"), QStringLiteral("计数器"));
    QVERIFY(clearCount);
    click(clearCount);
    QCOMPARE(counter(&window, QStringLiteral("收帧数")), QStringLiteral("0"));
    QCOMPARE(counter(&window, QStringLiteral("收字节数")), QStringLiteral("0"));
    QVERIFY(!receiveText(&window).isEmpty());

    QAbstractButton *clearPane =
            findButton(&window, QStringLiteral("清空接收区"), QStringLiteral("接收区设置"));
    QVERIFY(clearPane);
    click(clearPane);
    QCOMPARE(receiveText(&window), QString());
}

void LayoutTest::changeFileOpensADialog()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ModalHandler modals;
    QAbstractButton *changeFile =
            findButton(&window, QStringLiteral("更改文件"), QStringLiteral("接收区设置"));
    QVERIFY(changeFile);
    click(changeFile);
    QVERIFY(modals.waitForCount(1));
    QCOMPARE(modals.last().className, QStringLiteral("QFileDialog"));
}

void LayoutTest::sizes()
{
    MainWindow window;
    QCOMPARE(window.minimumSize(), QSize(1000, 700));
    QCOMPARE(window.size(), QSize(1100, 750));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(1100, 750));
    window.resize(400, 300);
    QTRY_COMPARE_WITH_TIMEOUT(window.size(), QSize(1000, 700), 5000);
}

QUORVEL_TEST_MAIN(LayoutTest)
#include "tst_layout.moc"
