// The user guide in the program's own help window: opened by the banner and the start-up timer,
// with no browser started and the focus left where the user is typing.
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <fstream>
#include <memory>

#include "UiTestSupport.h"
#include "ui/Desktop.h"
#include "ui/HelpWindow.h"
#include "ui/MainForm.h"

using namespace vbgen;
using namespace vbgen::test;

// Notes every URL that would have gone to the desktop's browser.
class TBrowserSpy : public QObject {
  Q_OBJECT

 public:
  std::vector<QUrl> urls;

 public slots:
  void Open(const QUrl& url) { urls.push_back(url); }
};

class HelpWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTempHome> home_;
  TFakeDialogs dialogs_;
  TBrowserSpy browser_;

  void WriteGuide(const std::string& body) {
    std::filesystem::create_directories(home_->path() / "guide");
    std::ofstream(home_->path() / "guide" / "index.html")
        << "<html><head><meta charset=\"utf-8\"><title>使用说明</title></head><body>" << body
        << "</body></html>";
  }

 private slots:
  void init() {
    home_ = std::make_unique<TTempHome>();
    WriteGuide("<h1>基本流程</h1><p>新建项目</p>");
    QDesktopServices::setUrlHandler("file", &browser_, "Open");
    QDesktopServices::setUrlHandler("http", &browser_, "Open");
  }
  void cleanup() {
    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("http");
    browser_.urls.clear();
    home_.reset();
  }

  void bannerClickShowsTheGuideWithoutTakingTheFocus() {
    TQtDesktop desktop;
    TFormMain window(TProgramDir(home_->path()), dialogs_, desktop);
    desktop.SetOwner(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.CB_Project->setFocus();
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused != nullptr);

    QTest::mouseClick(window.Image1, Qt::LeftButton);
    THelpWindow* help = desktop.HelpWindow();
    QVERIFY(help != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(help));
    QVERIFY(help->Page()->toPlainText().contains(QStringLiteral("新建项目")));
    QCOMPARE(help->windowTitle(), QStringLiteral("使用说明"));
    QVERIFY(help->isWindow());
    // Whatever showing it posted (activation, focus) has been handled before the focus is judged.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::activeWindow(), &window);
    QCOMPARE(QApplication::focusWidget(), focused);
    QVERIFY(browser_.urls.empty());

    // A second click shows the same window again, scrolled to the top of a fresh copy.
    WriteGuide("<p>第二版</p>");
    QTest::mouseClick(window.Image1, Qt::LeftButton);
    QCOMPARE(desktop.HelpWindow(), help);
    QVERIFY(help->Page()->toPlainText().contains(QStringLiteral("第二版")));
    QCOMPARE(window.findChildren<THelpWindow*>().size(), qsizetype(1));
    desktop.SetOwner(nullptr);
  }

  void theStartUpTimerShowsItOnce() {
    TQtDesktop desktop;
    TFormMain window(TProgramDir(home_->path()), dialogs_, desktop);
    desktop.SetOwner(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(desktop.HelpWindow() == nullptr);
    // Five seconds after the start, once: the timer says so; the test then lets it run out at
    // once rather than waiting the five seconds.
    QVERIFY(window.Timer1->isActive());
    QCOMPARE(window.Timer1->interval(), 5000);
    window.Timer1->start(0);
    QTRY_VERIFY(desktop.HelpWindow() != nullptr);
    // Whether it is shown depends on the room beside the main window (HelpPlacementTest).
    QVERIFY(desktop.HelpWindow()->Page()->toPlainText().contains(QStringLiteral("新建项目")));
    desktop.HelpWindow()->close();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QVERIFY(!window.Timer1->isActive());
    QVERIFY(!desktop.HelpWindow()->isVisible());
    QVERIFY(browser_.urls.empty());
    desktop.SetOwner(nullptr);
  }

  void theHelpWindowGoesWithItsOwner() {
    TQtDesktop desktop;
    QPointer<THelpWindow> help;
    {
      TFormMain window(TProgramDir(home_->path()), dialogs_, desktop);
      desktop.SetOwner(&window);
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      QTest::mouseClick(window.Image1, Qt::LeftButton);
      help = desktop.HelpWindow();
      QVERIFY(help && help->isVisible());
    }
    QVERIFY(help.isNull());
    QVERIFY(desktop.HelpWindow() == nullptr);
    // Pages elsewhere still go to the browser.
    desktop.OpenUrl(QUrl("http://example.invalid/"));
    QCOMPARE(browser_.urls.size(), std::size_t(1));
  }
};

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
