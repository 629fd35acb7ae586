#include "findbar.h"
#include "language.h"
#include "mainwindow.h"
#include "plotfeed.h"
#include "plotpanel.h"
#include "receivepath.h"

#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

QAction *newAction(QMenu *menu, const QString &text, const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(text);
    action->setShortcut(shortcut);
    return action;
}

} // namespace

void MainWindow::installMenuBar()
{
    QMenuBar *bar = menuBar();

    QMenu *fileMenu = bar->addMenu(tr("文件(&F)"));
    QAction *openAction = newAction(fileMenu, openButton->text(), QKeySequence::Open);
    connect(openAction, &QAction::triggered, this, &MainWindow::onOpenClosePort);
    fileMenu->addSeparator();
    QAction *captureAction = newAction(fileMenu, saveDataButton->text(), QKeySequence::Save);
    connect(captureAction, &QAction::triggered, this, &MainWindow::onSaveData);
    connect(newAction(fileMenu, tr("更改保存文件…")), &QAction::triggered, this,
            [this] { chooseCaptureFileName(); });
    connect(newAction(fileMenu, tr("选择发送文件…")), &QAction::triggered, this,
            &MainWindow::chooseSendFile);
    fileMenu->addSeparator();
    // Some platforms bind no key to quitting (Windows has Alt+F4 for it).
    const bool quitKeyKnown = !QKeySequence::keyBindings(QKeySequence::Quit).isEmpty();
    QAction *quitAction = newAction(fileMenu, tr("退出(&Q)"),
                                    quitKeyKnown ? QKeySequence(QKeySequence::Quit)
                                                 : QKeySequence(Qt::CTRL | Qt::Key_Q));
    quitAction->setMenuRole(QAction::QuitRole);
    connect(quitAction, &QAction::triggered, this, &QWidget::close);
    // The two buttons change their captions; the menu says what they say.
    connect(fileMenu, &QMenu::aboutToShow, this, [this, openAction, captureAction] {
        openAction->setText(openButton->text());
        captureAction->setText(saveDataButton->text());
    });

    QMenu *editMenu = bar->addMenu(tr("编辑(&E)"));
    connect(newAction(editMenu, tr("查找…"), QKeySequence::Find), &QAction::triggered, this,
            [this] { paneFindBar()->openBar(); });
    connect(newAction(editMenu, tr("查找下一个"), QKeySequence::FindNext), &QAction::triggered,
            this, [this] { paneFindBar()->findNext(); });
    connect(newAction(editMenu, tr("查找上一个"), QKeySequence::FindPrevious), &QAction::triggered,
            this, [this] { paneFindBar()->findPrevious(); });
    editMenu->addSeparator();
    connect(newAction(editMenu, tr("清空接收区"), QKeySequence(Qt::CTRL | Qt::Key_L)),
            &QAction::triggered, this, &MainWindow::onClearReceive);
    connect(newAction(editMenu, tr("清空计数")), &QAction::triggered, this,
            &MainWindow::onClearCount);

    QMenu *sendMenu = bar->addMenu(tr("发送(&S)"));
    connect(newAction(sendMenu, tr("发送当前发送区"), QKeySequence(Qt::CTRL | Qt::Key_Return)),
            &QAction::triggered, this, [this] { sendFocusedArea(); });
    for (int index = 0; index < 3; ++index) {
        connect(newAction(sendMenu, tr("发送 发送区%1").arg(index + 1),
                          QKeySequence(Qt::CTRL | (Qt::Key_1 + index))),
                &QAction::triggered, this, [this, index] { sendFromArea(index); });
    }
    sendMenu->addSeparator();
    connect(newAction(sendMenu, tr("开始/停止轮发")), &QAction::triggered, this,
            &MainWindow::onStartAreaRotation);
    connect(newAction(sendMenu, tr("开始/停止文件轮发")), &QAction::triggered, this,
            &MainWindow::onStartFileRotation);

    QMenu *viewMenu = bar->addMenu(tr("视图(&V)"));
    QAction *stopDisplayAction = newAction(viewMenu, tr("停止显示"));
    stopDisplayAction->setCheckable(true);
    stopDisplayAction->setChecked(stopDisplayButton->isChecked());
    connect(stopDisplayAction, &QAction::toggled, stopDisplayButton, &QPushButton::setChecked);
    connect(stopDisplayButton, &QPushButton::toggled, stopDisplayAction, &QAction::setChecked);
    connect(newAction(viewMenu, tr("切换主题"), QKeySequence(Qt::CTRL | Qt::Key_T)),
            &QAction::triggered, this, &MainWindow::onThemeClicked);
    // The plot takes every read as it came, shown or not.
    auto *plotPanel = new PlotPanel(this);
    connect(receivePath, &ReceivePath::bytesReceived, plotPanel->feed(), &PlotFeed::addReceived);
    viewMenu->addSeparator();
    viewMenu->addAction(plotPanel->openAction());

    // Readable whatever the interface speaks, so nobody is locked out.
    QMenu *languageMenu = bar->addMenu(QStringLiteral("语言 / Language"));
    languageMenu->setObjectName(QStringLiteral("languageMenu"));
    auto *languages = new QActionGroup(languageMenu);
    const QString chosen = language::stored().isEmpty() ? language::current() : language::stored();
    for (const auto &[code, name] :
         { std::make_pair(language::chinese, QStringLiteral("简体中文")),
           std::make_pair(language::english, QStringLiteral("English")) }) {
        QAction *action = languages->addAction(name);
        action->setCheckable(true);
        action->setChecked(code == chosen);
        action->setData(code);
        languageMenu->addAction(action);
        connect(action, &QAction::triggered, this, [this, code = code] { chooseLanguage(code); });
    }

    QMenu *helpMenu = bar->addMenu(tr("帮助(&H)"));
    QAction *aboutAction = newAction(helpMenu, tr("关于 Quorvel…"));
    aboutAction->setMenuRole(QAction::AboutRole);
    connect(aboutAction, &QAction::triggered, this, [this] { showAbout(); });
    QAction *aboutQtAction = newAction(helpMenu, tr("关于 Qt…"));
    aboutQtAction->setMenuRole(QAction::AboutQtRole);
    connect(aboutQtAction, &QAction::triggered, this,
            [this] { QMessageBox::aboutQt(this, tr("关于 Qt")); });
}

FindBar *MainWindow::paneFindBar()
{
    if (!findBar) {
        findBar = named(new FindBar(recvEdit), "findBar");
        paneColumn->addWidget(findBar);
    }
    return findBar;
}

void MainWindow::sendFocusedArea()
{
    for (int index = 0; index < 3; ++index) {
        if (sendAreas[index].edit->hasFocus()) {
            sendFromArea(index);
            return;
        }
    }
    onSendClicked();
}

void MainWindow::chooseLanguage(const QString &code)
{
    language::store(code);
    // The window is built in one language; the choice applies from the next
    // start, which is said in the language chosen.
    statusBar()->showMessage(language::translate(
            code, QT_TRANSLATE_NOOP("MainWindow", "下次启动时，界面将使用此语言。")));
}

void MainWindow::showAbout()
{
    QMessageBox::about(
            this, tr("关于 Quorvel"),
            tr("<h3>Quorvel %1</h3>"
               "<p>用于测试和调试串口设备的桌面工具。</p>"
               "<p>Quorvel 是自由软件，依据 GNU 通用公共许可证第 3 版或（由您选择）"
               "任何更高版本（GPL-3.0-or-later）发布，不提供任何担保。</p>"
               "<p>基于 Qt %2。</p>")
                    .arg(QStringLiteral(QUORVEL_VERSION), QString::fromLatin1(qVersion())));
}
