// The add-member and update-member dialogs: layout, every rule's message, the stored record.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "UiTestSupport.h"
#include "WindowInput.h"
#include "ui/FormAddMember.h"
#include "ui/FormUpdateMember.h"
#include "ui/MainForm.h"

using namespace vbgen;
using namespace vbgen::test;

class MemberFormsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTempHome> home_;
  TFakeDialogs dialogs_;
  TFakeDesktop desktop_;
  int projectId_ = 0, bookId_ = 0, authorId_ = 0;

  std::unique_ptr<TFormMain> MakeWindow() {
    return std::make_unique<TFormMain>(TProgramDir(home_->path()), dialogs_, desktop_);
  }

  struct TEntry {
    const char* name = "title";
    const char* type = "字符串";
    const char* length = "20";
    bool pri = false, must = false, query = false, display = false, queryDisplay = true;
  };

  static void Enter(TMemberFormBase& form, const TEntry& e) {
    form.Edt_MemberName->setText(QString::fromUtf8(e.name));
    form.CB_MemberType->setCurrentIndex(form.CB_MemberType->findText(QString::fromUtf8(e.type)));
    form.Edt_MemberLength->setText(QString::fromUtf8(e.length));
    form.CB_MemberIsPri->setChecked(e.pri);
    form.CB_MemberIsMust->setChecked(e.must);
    form.CB_QueryFlag->setChecked(e.query);
    form.CB_MemberIsDisplay->setChecked(e.display);
    form.CB_MemberQueryDisplay->setChecked(e.queryDisplay);
  }

  // What the add dialog says for an entry: the message, or "stored" when it stored a member.
  std::string AddAnswer(TFormMain& window, const TEntry& entry) {
    const std::size_t before = TMemberDAO().ListMembers(bookId_).size();
    dialogs_.shown.clear();
    TAddMemberForm form(window);
    Enter(form, entry);
    PressOk(form);
    if (QTest::currentTestFailed()) return "the dialog never became active";
    if (TMemberDAO().ListMembers(bookId_).size() != before) return "stored";
    return dialogs_.Last();
  }

  std::string UpdateAnswer(TFormMain& window, int memberId, const TEntry& entry) {
    const TMember before = *TMemberDAO().GetMember(memberId);
    dialogs_.shown.clear();
    TUpdateMemberForm form(window, memberId);
    Enter(form, entry);
    PressOk(form);
    if (QTest::currentTestFailed()) return "the dialog never became active";
    if (!(*TMemberDAO().GetMember(memberId) == before)) return "stored";
    return dialogs_.Last();
  }

  // Ticks or clears a check box with the mouse, on its indicator.
  static void Tick(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
  }
  // Moves a drop-down list to the entry of that text with the arrow keys, as a person does.
  static void Choose(QComboBox* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < box->count() && box->currentText() != text; ++i) {
      QTest::keyClick(box, Qt::Key_Down);
    }
    QCOMPARE(box->currentText(), text);
  }
  static void TypeNumber(QSpinBox* box, const QString& digits) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, digits);
  }
  static QStringList Entries(const QComboBox* box) {
    QStringList entries;
    for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
    return entries;
  }
  // Presses OK with the mouse, on the dialog shown and active as the window shows it.
  static void PressOk(TMemberFormBase& form) {
    if (!form.isVisible()) QVERIFY(ShowActive(form));
    Click(form.Button1);
  }
  // Shows the dialog, as the window does, so that input reaches its controls.
  static void Show(QDialog& form) {
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
  }

 private slots:
  void init() {
    home_ = std::make_unique<TTempHome>();
    dialogs_ = TFakeDialogs();
    projectId_ = AddProject("Library");
    bookId_ = AddClass(projectId_, "Book", "图书");
    authorId_ = AddClass(projectId_, "Author", "作者");
    int other = AddProject("Shop");
    AddClass(other, "Goods", "商品");
  }
  void cleanup() { home_.reset(); }

  void addDialogOpensWithItsDefaultsAndLayout() {
    auto window = MakeWindow();
    TAddMemberForm form(*window);
    QCOMPARE(form.windowTitle(), QStringLiteral("添加成员属性"));
    // The dialog as it always was, with the complete application's group to its right.
    QCOMPARE(form.size(), QSize(592, 331));
    QCOMPARE(form.GB_Complete->geometry(), QRect(380, 24, 200, 262));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(form.Edt_MemberName->geometry(), QRect(120, 32, 209, 21));
    QCOMPARE(form.CB_MemberType->geometry(), QRect(120, 80, 209, 21));
    QCOMPARE(form.CB_MemberQueryDisplay->geometry(), QRect(192, 204, 137, 17));
    QCOMPARE(form.Button2->geometry(), QRect(210, 287, 81, 25));
    QVERIFY(!form.CB_MemberType->isEditable());
    QStringList types;
    for (int i = 0; i < form.CB_MemberType->count(); ++i) types << form.CB_MemberType->itemText(i);
    // Other classes of this project only: not Book itself, not Goods of another project.
    QCOMPARE(types, (QStringList{"字符串", "整型", "浮点型", "日期型", "图片型", "Author"}));
    QCOMPARE(form.CB_MemberType->currentIndex(), 0);
    QCOMPARE(form.Edt_MemberName->text(), QString());
    QCOMPARE(form.Edt_MemberLength->text(), QStringLiteral("20"));
    QVERIFY(form.CB_MemberQueryDisplay->isChecked());
    QVERIFY(!form.CB_MemberIsPri->isChecked() && !form.CB_MemberIsMust->isChecked() &&
            !form.CB_QueryFlag->isChecked() && !form.CB_MemberIsDisplay->isChecked());
    QCOMPARE(TabChain(form.Edt_MemberName, 11),
             (std::vector<QWidget*>{form.Edt_MemberName, form.CB_MemberType, form.CB_MemberIsMust,
                                    form.Button1, form.Button2, form.Edt_MemberComment,
                                    form.CB_QueryFlag, form.CB_MemberIsPri, form.Edt_MemberLength,
                                    form.CB_MemberIsDisplay, form.CB_MemberQueryDisplay}));
  }

  void addDialogAppliesEveryRuleWithItsMessage() {
    auto window = MakeWindow();
    TEntry e;
    e.name = "";
    QCOMPARE(AddAnswer(*window, e), std::string("成员名称输入不能为空!"));
    for (const char* name : {"Title", "1title", "书名"}) {
      e.name = name;
      QCOMPARE(AddAnswer(*window, e), std::string("成员属性首个字母必须小写"));
    }
    e = TEntry{};
    e.type = "日期型";
    QCOMPARE(AddAnswer(*window, e), std::string("日期型必须勾选是否必填标志!"));
    e.type = "整型";
    QCOMPARE(AddAnswer(*window, e), std::string("整型必须勾选是否必填标志!"));
    e.type = "Author";
    QCOMPARE(AddAnswer(*window, e), std::string("Author必须勾选是否必填标志!"));
    e = TEntry{};
    e.type = "图片型";  // the display box is ticked when the dialog opens
    QCOMPARE(AddAnswer(*window, e), std::string("图片字段不用参与显示！"));
    e = TEntry{};
    e.type = "浮点型";
    e.must = e.pri = true;
    QCOMPARE(AddAnswer(*window, e), std::string("主键字段必须是整型或字符串型!"));
    e.type = "整型";
    e.queryDisplay = false;
    QCOMPARE(AddAnswer(*window, e), std::string("主键字段需要参与显示!"));
    e = TEntry{};
    e.type = "浮点型";
    e.must = e.query = true;
    QCOMPARE(AddAnswer(*window, e), std::string("参与查询的字段不能是浮点型"));
    e.type = "整型";
    QCOMPARE(AddAnswer(*window, e), std::string("参与查询的字段不能是整型"));
    QVERIFY(TMemberDAO().ListMembers(bookId_).empty());

    // Accepted: string and picture members need not be required; dates may be searched on.
    e = TEntry{};
    QCOMPARE(AddAnswer(*window, e), std::string("stored"));
    e.type = "图片型";
    e.queryDisplay = false;
    QCOMPARE(AddAnswer(*window, e), std::string("stored"));
    e = TEntry{};
    e.type = "日期型";
    e.must = e.query = true;
    QCOMPARE(AddAnswer(*window, e), std::string("stored"));
  }

  void emptyNameMovesTheFocusToTheNameField() {
    auto window = MakeWindow();
    TAddMemberForm form(*window);
    QVERIFY(ShowActive(form));
    form.Edt_MemberComment->setFocus();
    // Enter in a field presses the default button; the focus stays where it was until the
    // message moves it.
    QTest::keyClick(form.Edt_MemberComment, Qt::Key_Return);
    QCOMPARE(dialogs_.Last(), std::string("成员名称输入不能为空!"));
    QCOMPARE(form.focusWidget(), static_cast<QWidget*>(form.Edt_MemberName));
  }

  void addDialogStoresTheRecordAndRefillsTheTable() {
    auto window = MakeWindow();
    TAddMemberForm form(*window);
    TEntry e;
    e.name = "amount";
    e.type = "整型";
    e.length = "20";  // ignored for every type but string
    e.must = e.pri = e.display = true;
    Enter(form, e);
    form.Edt_MemberComment->setText(QStringLiteral("数量"));
    PressOk(form);
    QCOMPARE(dialogs_.Last(), std::string("类成员属性添加成功!"));
    QCOMPARE(form.result(), int(QDialog::Accepted));
    TMember m = TMemberDAO().ListMembers(bookId_).back();
    QCOMPARE(m.projectId, projectId_);
    QCOMPARE(m.classId, bookId_);
    QCOMPARE(m.memberName, std::string("amount"));
    QCOMPARE(m.memberType, std::string("整型"));
    QCOMPARE(m.memberLength, 0);
    QCOMPARE(m.memberIsPri, 1);
    QCOMPARE(m.memberIsInteger, 1);
    QCOMPARE(m.memberIsFloat, 0);
    QCOMPARE(m.memberIsMust, 1);
    QCOMPARE(m.queryFlag, 0);
    QCOMPARE(m.memberIsDisplay, 1);
    QCOMPARE(m.memberQueryDisplay, 1);
    QCOMPARE(m.memberComment, std::string("数量"));
    QCOMPARE(window->LV_Member->rowCount(), 1);

    TAddMemberForm second(*window);
    e = TEntry{};
    e.length = "50";
    e.queryDisplay = false;
    Enter(second, e);
    PressOk(second);
    m = TMemberDAO().ListMembers(bookId_).back();
    QCOMPARE(m.memberLength, 50);
    QCOMPARE(m.memberQueryDisplay, 0);
    QCOMPARE(m.memberIsInteger, 0);
    QCOMPARE(window->LV_Member->rowCount(), 2);
  }

  void aLengthThatIsNoNumberIsAnErrorAndStoresNothing() {
    auto window = MakeWindow();
    TAddMemberForm form(*window);
    TEntry e;
    e.length = "abc";
    Enter(form, e);
    PressOk(form);
    QCOMPARE(dialogs_.shown.back().kind, std::string("error"));
    QVERIFY(TMemberDAO().ListMembers(bookId_).empty());
    QVERIFY(form.result() != QDialog::Accepted);
  }

  // With the class no longer selected when OK is pressed, no member is stored for no class.
  void withNoClassSelectedTheAddDialogStoresNothing() {
    auto window = MakeWindow();
    TAddMemberForm form(*window);
    QCOMPARE(window->SelectedClassId(), std::optional(bookId_));
    Enter(form, TEntry{});
    window->LB_Object->clearSelection();
    QCOMPARE(window->SelectedClassId(), std::optional<int>());
    PressOk(form);
    QCOMPARE(dialogs_.Last(), std::string("请先选择类对象"));
    QVERIFY(form.result() != QDialog::Accepted);
    QCOMPARE(TDbHelper().QueryInt("select count(*) from t_member"), 0);
  }

  void cancelStoresNothing() {
    auto window = MakeWindow();
    TAddMemberForm form(*window);
    Enter(form, TEntry{});
    QVERIFY(ShowActive(form));
    Click(form.Button2);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(TMemberDAO().ListMembers(bookId_).empty());
    QVERIFY(dialogs_.shown.empty());
  }

  void updateDialogLoadsTheMember() {
    TMember m;
    m.projectId = projectId_;
    m.classId = bookId_;
    m.memberName = "writer";
    m.memberType = "Author";
    m.memberIsMust = 1;
    m.queryFlag = 1;
    m.memberIsDisplay = 1;
    m.memberQueryDisplay = 0;
    m.memberComment = "作者";
    int id = TMemberDAO().AddMember(m);
    auto window = MakeWindow();
    TUpdateMemberForm form(*window, id);
    QCOMPARE(form.windowTitle(), QStringLiteral("更新成员属性"));
    QCOMPARE(form.size(), QSize(576, 320));
    QCOMPARE(form.GB_Complete->geometry(), QRect(364, 20, 200, 254));
    QCOMPARE(form.Edt_MemberName->geometry(), QRect(104, 24, 209, 21));
    QCOMPARE(form.Button1->geometry(), QRect(80, 276, 81, 25));
    QCOMPARE(form.Edt_MemberName->text(), QStringLiteral("writer"));
    QCOMPARE(form.CB_MemberType->currentText(), QStringLiteral("Author"));
    QCOMPARE(form.Edt_MemberLength->text(), QStringLiteral("0"));
    QVERIFY(form.CB_MemberIsMust->isChecked());
    QVERIFY(form.CB_QueryFlag->isChecked());
    QVERIFY(form.CB_MemberIsDisplay->isChecked());
    QVERIFY(!form.CB_MemberIsPri->isChecked());
    QVERIFY(!form.CB_MemberQueryDisplay->isChecked());
    QCOMPARE(form.Edt_MemberComment->text(), QStringLiteral("作者"));
  }

  void updateDialogRulesDifferFromTheAddDialog() {
    int id = AddMember(projectId_, bookId_, "price", "字符串", false, false, 10);
    auto window = MakeWindow();
    TEntry e;
    e.name = "price";
    e.type = "浮点型";
    e.must = e.pri = true;  // a float key: refused when adding, accepted when updating
    QCOMPARE(UpdateAnswer(*window, id, e), std::string("stored"));
    QCOMPARE(dialogs_.Last(), std::string("类成员属性更新成功!"));

    e.queryDisplay = false;  // K2 comes before P in the update dialog
    e.type = "图片型";
    QCOMPARE(UpdateAnswer(*window, id, e), std::string("主键字段需要参与显示!"));
    e = TEntry{};
    e.name = "price";
    e.type = "日期型";
    QCOMPARE(UpdateAnswer(*window, id, e), std::string("日期型必须勾选是否必填标志!"));
  }

  void changingAStringToAnIntegerResetsLengthAndSetsTheFlag() {
    int id = AddMember(projectId_, bookId_, "count", "字符串", false, false, 30);
    auto window = MakeWindow();
    TUpdateMemberForm form(*window, id);
    QCOMPARE(form.Edt_MemberLength->text(), QStringLiteral("30"));
    form.CB_MemberType->setCurrentIndex(1);
    form.CB_MemberIsMust->setChecked(true);
    PressOk(form);
    TMember m = *TMemberDAO().GetMember(id);
    QCOMPARE(m.memberType, std::string("整型"));
    QCOMPARE(m.memberIsInteger, 1);
    QCOMPARE(m.memberLength, 0);
    QCOMPARE(m.memberId, id);
    QCOMPARE(m.classId, bookId_);
    QCOMPARE(window->LV_Member->item(0, 2)->text(), QStringLiteral("整型"));
  }

  // A stored type the list lacks is offered and kept; the rules still apply to it.
  void aTypeOutsideTheListIsShownAndKept() {
    int id = AddMember(projectId_, bookId_, "goods", "Goods");  // a class of another project
    TMember stored = *TMemberDAO().GetMember(id);
    stored.memberIsMust = 0;
    TMemberDAO().UpdateMember(stored);
    auto window = MakeWindow();
    TUpdateMemberForm form(*window, id);
    QCOMPARE(form.CB_MemberType->currentText(), QStringLiteral("Goods"));
    QCOMPARE(form.CB_MemberType->count(), 7);  // the five words, Author, then the kept type
    PressOk(form);
    QCOMPARE(dialogs_.Last(), std::string("Goods必须勾选是否必填标志!"));
    form.CB_MemberIsMust->setChecked(true);
    PressOk(form);
    QCOMPARE(dialogs_.Last(), std::string("类成员属性更新成功!"));
    QCOMPARE(TMemberDAO().GetMember(id)->memberType, std::string("Goods"));
    QCOMPARE(TMemberDAO().GetMember(id)->memberIsMust, 1);
  }

  // Rows written by another tool that the dialog would build differently stay as they are
  // when OK is pressed on the unchanged dialog; a change rebuilds the row by the rules.
  void okOnAnUnchangedDialogWritesNothing() {
    int id = AddMember(projectId_, bookId_, "pages", "整型");
    TMember odd = *TMemberDAO().GetMember(id);
    odd.memberLength = 8;
    odd.memberIsInteger = 0;
    odd.memberIsFloat = 1;
    TMemberDAO().UpdateMember(odd);
    auto window = MakeWindow();
    {
      TUpdateMemberForm form(*window, id);
      PressOk(form);
      QCOMPARE(dialogs_.Last(), std::string("类成员属性更新成功!"));
      QCOMPARE(*TMemberDAO().GetMember(id), odd);
    }
    TUpdateMemberForm form(*window, id);
    form.Edt_MemberComment->setText(QStringLiteral("页数"));
    PressOk(form);
    const TMember changed = *TMemberDAO().GetMember(id);
    QCOMPARE(changed.memberComment, std::string("页数"));
    QCOMPARE(changed.memberLength, 0);
    QCOMPARE(changed.memberIsInteger, 1);
    QCOMPARE(changed.memberIsFloat, 0);
  }

  // Typed and clicked as a user does: a name longer than its VB6 control allows, and a string
  // length beyond varchar, are refused and nothing is stored.
  void aLongNameAndALengthOverEightThousandAreRefused() {
    auto window = MakeWindow();
    TAddMemberForm form(*window);
    form.show();
    QTest::keyClicks(form.Edt_MemberName, "t" + QString(36, QLatin1Char('x')));
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(dialogs_.Last(),
             std::string("成员名称最长36个字符: 生成的VB6控件名RTB_加成员名称不能超过40个字符!"));
    form.Edt_MemberName->clear();
    QTest::keyClicks(form.Edt_MemberName, QStringLiteral("title"));
    form.Edt_MemberLength->clear();
    QTest::keyClicks(form.Edt_MemberLength, QStringLiteral("8001"));
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(dialogs_.Last(), std::string("字符串长度不能超过8000! (SQL Server的varchar最长8000)"));
    QVERIFY(TMemberDAO().ListMembers(bookId_).empty());
    form.Edt_MemberLength->clear();
    QTest::keyClicks(form.Edt_MemberLength, QStringLiteral("8000"));
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(TMemberDAO().ListMembers(bookId_).size(), std::size_t(1));
    QCOMPARE(TMemberDAO().ListMembers(bookId_).back().memberLength, 8000);
  }

  // The complete application's controls are enabled only where they mean something, and the
  // SQL types offered follow the member type.
  void completeControlsFollowTheTypeAndTheKey() {
    auto window = MakeWindow();
    TAddMemberForm form(*window);
    Show(form);
    QCOMPARE(Entries(form.CB_MemberSqlType), (QStringList{"(默认)", "nvarchar", "nchar", "char"}));
    QVERIFY(form.CB_MemberAllowNull->isEnabled());
    QVERIFY(!form.CB_MemberKeyEntered->isEnabled());
    QVERIFY(!form.SE_MemberPrecision->isEnabled() && !form.SE_MemberScale->isEnabled());
    Tick(form.CB_MemberIsPri);
    QVERIFY(!form.CB_MemberAllowNull->isEnabled());   // a key is never NULL
    QVERIFY(!form.CB_MemberKeyEntered->isEnabled());  // a text key is always typed
    Choose(form.CB_MemberType, "整型");
    QVERIFY(form.CB_MemberKeyEntered->isEnabled());
    QCOMPARE(Entries(form.CB_MemberSqlType), (QStringList{"(默认)", "bit", "tinyint", "smallint"}));
    Tick(form.CB_MemberIsPri);
    QVERIFY(!form.CB_MemberKeyEntered->isEnabled());
    QVERIFY(form.CB_MemberAllowNull->isEnabled());
    Choose(form.CB_MemberType, "浮点型");
    Choose(form.CB_MemberSqlType, "numeric");
    QVERIFY(form.SE_MemberPrecision->isEnabled() && form.SE_MemberScale->isEnabled());
    QCOMPARE(form.SE_MemberPrecision->value(), 18);  // SQL Server's own default
    Choose(form.CB_MemberSqlType, "money");
    QVERIFY(!form.SE_MemberPrecision->isEnabled());
    Choose(form.CB_MemberType, "Author");
    QCOMPARE(Entries(form.CB_MemberSqlType), QStringList{"(默认)"});
    QVERIFY(!form.CB_MemberSqlType->isEnabled());
    QCOMPARE(TabChain(form.CB_MemberQueryDisplay, 2),
             (std::vector<QWidget*>{form.CB_MemberQueryDisplay, form.CB_MemberAllowNull}));
  }

  // Typed and clicked as a person does; the database holds what was chosen, a second key
  // member included.
  void addDialogStoresWhatTheDatabaseAllows() {
    auto window = MakeWindow();
    {
      TAddMemberForm form(*window);
      Show(form);
      TypeText(form.Edt_MemberName, "code");
      Choose(form.CB_MemberType, "整型");
      Tick(form.CB_MemberIsPri);
      Tick(form.CB_MemberIsMust);
      Tick(form.CB_MemberKeyEntered);
      Choose(form.CB_MemberSqlType, "smallint");
      Click(form.Button1);
    }
    {
      TAddMemberForm form(*window);
      Show(form);
      TypeText(form.Edt_MemberName, "year");
      Choose(form.CB_MemberType, "整型");
      Tick(form.CB_MemberIsPri);
      Tick(form.CB_MemberIsMust);
      Tick(form.CB_MemberKeyEntered);
      Click(form.Button1);
    }
    {
      TAddMemberForm form(*window);
      Show(form);
      TypeText(form.Edt_MemberName, "price");
      Choose(form.CB_MemberType, "浮点型");
      Tick(form.CB_MemberIsMust);
      Tick(form.CB_MemberAllowNull);
      Choose(form.CB_MemberSqlType, "decimal");
      TypeNumber(form.SE_MemberPrecision, "9");
      TypeNumber(form.SE_MemberScale, "2");
      Click(form.Button1);
    }
    QCOMPARE(dialogs_.Last(), std::string("类成员属性添加成功!"));
    const TMemberList members = TMemberDAO().ListMembers(bookId_);
    QCOMPARE(members.size(), std::size_t(3));
    QCOMPARE(members[0].memberIsPri + members[1].memberIsPri, 2);
    QCOMPARE(members[0].memberKeyEntered, 1);
    QCOMPARE(members[0].memberSqlType, std::string("smallint"));
    QCOMPARE(members[1].memberKeyEntered, 1);
    QCOMPARE(members[1].memberSqlType, std::string());
    QCOMPARE(members[2].memberAllowNull, 1);
    QCOMPARE(members[2].memberSqlType, std::string("decimal"));
    QCOMPARE(members[2].memberPrecision, 9);
    QCOMPARE(members[2].memberScale, 2);
    QCOMPARE(window->LV_Member->rowCount(), 3);
  }

  // A national text is at most 4000 long; the message says so and nothing is stored.
  void aRuleOfTheDatabaseRefusesAndStoresNothing() {
    auto window = MakeWindow();
    TAddMemberForm form(*window);
    Show(form);
    TypeText(form.Edt_MemberName, "note");
    form.Edt_MemberLength->selectAll();
    TypeText(form.Edt_MemberLength, "5000");
    Choose(form.CB_MemberSqlType, "nvarchar");
    Click(form.Button1);
    QCOMPARE(dialogs_.Last(), std::string("nvarchar的长度不能超过4000!"));
    QVERIFY(TMemberDAO().ListMembers(bookId_).empty());
  }

  // The update dialog opens with what is stored, keeps a self-reference and a type of its own,
  // and stores what is changed.
  void updateDialogShowsAndKeepsWhatTheDatabaseAllows() {
    TMember boss;
    boss.projectId = projectId_;
    boss.classId = bookId_;
    boss.memberName = "series";
    boss.memberType = "Book";  // a reference to its own class, as read from a script
    boss.memberIsMust = 1;
    boss.memberAllowNull = 1;
    const int bossId = TMemberDAO().AddMember(boss);
    const int priceId = AddMember(projectId_, bookId_, "price", "浮点型");
    TMember price = *TMemberDAO().GetMember(priceId);
    price.memberSqlType = "decimal";
    price.memberPrecision = 12;
    price.memberScale = 3;
    TMemberDAO().UpdateMember(price);
    auto window = MakeWindow();
    {
      TUpdateMemberForm form(*window, bossId);
      Show(form);
      QCOMPARE(form.CB_MemberType->currentText(), QStringLiteral("Book"));
      QVERIFY(form.CB_MemberAllowNull->isChecked());
      Click(form.Button1);
    }
    boss.memberId = bossId;
    QCOMPARE(*TMemberDAO().GetMember(bossId), boss);  // kept as it was, self-reference and all
    {
      TUpdateMemberForm form(*window, priceId);
      Show(form);
      QCOMPARE(form.CB_MemberSqlType->currentText(), QStringLiteral("decimal"));
      QCOMPARE(form.SE_MemberPrecision->value(), 12);
      QCOMPARE(form.SE_MemberScale->value(), 3);
      Tick(form.CB_MemberAllowNull);
      TypeNumber(form.SE_MemberScale, "4");
      Click(form.Button1);
    }
    QCOMPARE(dialogs_.Last(), std::string("类成员属性更新成功!"));
    const TMember stored = *TMemberDAO().GetMember(priceId);
    QCOMPARE(stored.memberAllowNull, 1);
    QCOMPARE(stored.memberPrecision, 12);
    QCOMPARE(stored.memberScale, 4);
  }
};

QTEST_MAIN(MemberFormsTest)
#include "MemberFormsTest.moc"
