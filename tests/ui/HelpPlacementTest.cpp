// Where the help window opens on the screens the program meets: beside the main window where
// there is room, not opened at start-up where there is none, never above the main window, and
// closed with Escape. CTest runs this suite on offscreen screens of 1024x768 and 1366x768 as
// well as on the platform's own.
#include <QCheckBox>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QWindow>
#include <fstream>
#include <memory>

#include "UiTestSupport.h"
#include "ui/Desktop.h"
#include "ui/HelpPlacement.h"
#include "ui/HelpSettings.h"
#include "ui/HelpWindow.h"
#include "ui/MainForm.h"

using namespace vbgen;
using namespace vbgen::test;

namespace {

const QSize kPreferred(THelpWindow::kPreferredWidth, THelpWindow::kPreferredHeight);
// The main window as the program places it on a 1366x768 and a 1024x768 screen, frame included.
const QRect kMainOnWide(379, 109, 783, 570);
const QRect kMainOnSmall(241, 109, 783, 570);

}  // namespace

class HelpPlacementTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTempHome> home_;
  TFakeDialogs dialogs_;

  std::unique_ptr<TFormMain> ShowMain(TQtDesktop& desktop) {
    auto window = std::make_unique<TFormMain>(TProgramDir(home_->path()), dialogs_, desktop);
    desktop.SetOwner(window.get());
    window->Timer1->stop();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) return nullptr;
    return window;
  }

  static QRect Available(QWidget& window) { return window.screen()->availableGeometry(); }

  // Room beside the main window, as the screen has it now.
  static bool RoomBeside(QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect available = Available(window);
    const int right = available.right() - frame.right() - kHelpGap;
    const int left = frame.left() - kHelpGap - available.left();
    return std::max(left, right) >= kHelpMinimumWidth;
  }

 private slots:
  void init() {
    home_ = std::make_unique<TTempHome>();
    std::filesystem::create_directories(home_->path() / "guide");
    std::ofstream(home_->path() / "guide" / "index.html")
        << "<html><head><meta charset=\"utf-8\"><title>使用说明</title></head>"
           "<body><p>新建项目</p></body></html>";
  }
  void cleanup() {
    home_.reset();
    dialogs_ = TFakeDialogs();
  }

  // The placement itself, for the screens the program is used on.
  void besideWhereThereIsRoomAndNowhereElse() {
    // A wide screen: to the right, at the preferred size, level with the main window.
    const QRect wide = *PlaceBeside(kMainOnWide, QRect(0, 0, 1920, 1050), kPreferred);
    QCOMPARE(wide, QRect(kMainOnWide.right() + 1 + kHelpGap, 109, 560, 460));
    // 1366x768: too little to the right, enough to the left once narrowed.
    const QRect available(0, 0, 1366, 740);
    const QRect left = *PlaceBeside(kMainOnWide, available, kPreferred);
    QVERIFY(!left.intersects(kMainOnWide));
    QCOMPARE(left.left(), 0);
    QCOMPARE(left.right(), kMainOnWide.left() - 1 - kHelpGap);
    QVERIFY(left.width() >= kHelpMinimumWidth);
    QVERIFY(available.contains(left));
    // 1024x768: no side has room.
    QVERIFY(!PlaceBeside(kMainOnSmall, QRect(0, 0, 1024, 740), kPreferred));
    // A main window near the bottom: the help window moves up rather than off the screen.
    const QRect low = *PlaceBeside(QRect(0, 800, 783, 570), QRect(0, 0, 1920, 1050), kPreferred);
    QCOMPARE(low.bottom(), 1049);
  }

  void askedForWithNoRoomItStaysWithinTheScreen() {
    const QRect available(0, 0, 1024, 740);
    const QRect place = PlaceWithin(kMainOnSmall, available, kPreferred);
    QVERIFY(available.contains(place));
    QCOMPARE(place.size(), kPreferred);
    QCOMPARE(place.right(), available.right());
    // A screen smaller than the window: cut to it.
    QCOMPARE(PlaceWithin(kMainOnSmall, QRect(0, 0, 400, 300), kPreferred), QRect(0, 0, 400, 300));
    QCOMPARE(KeepWithin(QPoint(379, 109), QSize(783, 570), QRect(0, 0, 1024, 740)),
             QPoint(241, 109));
    QCOMPARE(KeepWithin(QPoint(379, 109), QSize(783, 570), QRect(0, 0, 1366, 740)),
             QPoint(379, 109));
  }

  // The real windows on this screen: the main window is wholly on it, and the help window
  // that opens by itself stands beside it or does not open at all.
  void atStartUpTheGuideIsBesideTheMainWindowOrNotShown() {
    TQtDesktop desktop;
    auto window = ShowMain(desktop);
    QVERIFY(window);
    const QRect available = Available(*window);
    QVERIFY2(available.contains(window->frameGeometry()), "the main window is cut off");
    const bool room = RoomBeside(*window);
    if (available.width() >= 1366) QVERIFY(room);
    if (available.width() <= 1024) QVERIFY(!room);

    window->Timer1Timer();
    THelpWindow* help = desktop.HelpWindow();
    QVERIFY(help != nullptr);
    QCOMPARE(help->isVisible(), room);
    if (room) QVERIFY(QTest::qWaitForWindowExposed(help));
    if (room) {
      QVERIFY(!help->frameGeometry().intersects(window->frameGeometry()));
      QVERIFY(available.contains(help->frameGeometry()));
      QVERIFY(help->width() >= kHelpMinimumWidth - 10);
    }
    QCOMPARE(QApplication::activeWindow(), window.get());
    QVERIFY(available.contains(window->frameGeometry()));

    // Asked for with the banner, it is shown whole, within the screen.
    QTest::mouseClick(window->Image1, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(help));
    QVERIFY(!help->isMinimized());
    QVERIFY(available.contains(help->frameGeometry()));
    QCOMPARE(QApplication::activeWindow(), window.get());
    desktop.SetOwner(nullptr);
  }

  // Not a tool window of the main window nor tied to it, so the window system does not keep it
  // in front when the user goes back to the main window.
  void theGuideIsNotKeptAboveTheMainWindow() {
    TQtDesktop desktop;
    auto window = ShowMain(desktop);
    QVERIFY(window);
    QTest::mouseClick(window->Image1, Qt::LeftButton);
    THelpWindow* help = desktop.HelpWindow();
    QVERIFY(help != nullptr && QTest::qWaitForWindowExposed(help));
    QCOMPARE(help->windowType(), Qt::Window);
    QVERIFY(!(help->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(help->windowHandle() != nullptr);
    QVERIFY(help->windowHandle()->transientParent() == nullptr);
    // Still owned by the main window: it goes with it.
    QCOMPARE(help->parentWidget(), window.get());
    desktop.SetOwner(nullptr);
  }

  void escapeClosesTheGuide() {
    TQtDesktop desktop;
    auto window = ShowMain(desktop);
    QVERIFY(window);
    QTest::mouseClick(window->Image1, Qt::LeftButton);
    THelpWindow* help = desktop.HelpWindow();
    QVERIFY(help != nullptr && QTest::qWaitForWindowExposed(help));
    // The user goes to the guide, reads, and presses Escape there.
    help->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(help));
    QTest::mouseClick(help->Page()->viewport(), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!help->isVisible());
    // The banner brings it back.
    QTest::mouseClick(window->Image1, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(help));
    desktop.SetOwner(nullptr);
  }

  // "启动时不再显示" ticked in the guide: the next start shows no guide, the banner still does,
  // with the box ticked; cleared again, the guide is back at start-up.
  void theNotAtStartBoxIsKeptForTheNextStart() {
    {
      TQtDesktop desktop;
      auto window = ShowMain(desktop);
      QVERIFY(window);
      window->Timer1Timer();
      THelpWindow* help = desktop.HelpWindow();
      QVERIFY(help != nullptr);
      help->show();
      QVERIFY(QTest::qWaitForWindowExposed(help));
      QVERIFY(!help->NotAtStartBox()->isChecked());
      QCheckBox* box = help->NotAtStartBox();
      QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
      QVERIFY(box->isChecked());
      desktop.SetOwner(nullptr);
    }
    QVERIFY(std::filesystem::exists(home_->path() / "vbgen.ini"));
    QVERIFY(!THelpSettings(home_->path() / "vbgen.ini").ShowAtStart());
    TQtDesktop desktop;
    auto window = ShowMain(desktop);
    QVERIFY(window);
    window->Timer1Timer();
    QVERIFY(desktop.HelpWindow() == nullptr);
    QTest::mouseClick(window->Image1, Qt::LeftButton);
    THelpWindow* help = desktop.HelpWindow();
    QVERIFY(help != nullptr && QTest::qWaitForWindowExposed(help));
    QCheckBox* box = help->NotAtStartBox();
    QVERIFY(box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    QVERIFY(THelpSettings(home_->path() / "vbgen.ini").ShowAtStart());
    QVERIFY(dialogs_.shown.empty());
    desktop.SetOwner(nullptr);
  }

  // A choice that cannot be kept is said, with the file; the program goes on.
  void aChoiceThatCannotBeStoredIsReported() {
    const std::filesystem::path notADir = home_->path() / "plain-file";
    std::ofstream(notADir) << "x";
    THelpSettings settings(notADir / "vbgen.ini");
    QVERIFY(settings.ShowAtStart());
    try {
      settings.SetShowAtStart(false);
      QFAIL("no error for a file that cannot be written");
    } catch (const std::runtime_error& error) {
      QVERIFY(std::string(error.what()).find("vbgen.ini") != std::string::npos);
    }
    QVERIFY(settings.ShowAtStart());
  }
};

QTEST_MAIN(HelpPlacementTest)
#include "HelpPlacementTest.moc"
