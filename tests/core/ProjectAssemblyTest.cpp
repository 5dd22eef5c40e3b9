// The project file and the main form built from templates, through an in-memory sink.
#include <gtest/gtest.h>

#include "TestModel.h"
#include "TestSupport.h"
#include "generate/Gbk.h"
#include "generate/emit/UIOperate.h"
#include "generate/write/FileOperate.h"

namespace vbgen::test {
namespace fs = std::filesystem;

class ProjectAssemblyTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    templates = TempPath() / "template";
    fs::create_directories(templates);
    Put("MainForm.frm", "HEAD\n$MenuString\nMID $MenuClickHandleString\n$MenuString");
    Put("vb信息管理系统.vbp", "Type=Exe\r\n$vbpString\r\nForm=MainForm.frm\r\n");
    Put("FrmAdd.frx", std::string("add\0frx", 7));
    Put("FrmManage.frx", "manage frx");
  }
  void Put(const std::string& name, const std::string& bytes) {
    TFileOperate::WriteTextFile(templates, templates / name, bytes);
  }
  // Runs only the assembly's own part: the generators see an empty class list through a
  // second call, so the test looks at the assembly's files alone.
  void Assemble(int projectId, const TNamedIdList& classes) {
    TGenContext context{"p", templates, sink, progress};
    TUIOperate ui(context);
    try {
      ui.AssembleProject("tavorin", Snapshot(projectId, classes));
    } catch (const std::exception&) {
      // Generators may refuse classes without members; the assembly's files are written first.
    }
  }
  std::string File(const std::string& name) { return sink.files.at("projects/p/" + name); }

  fs::path templates;
  TMemorySink sink;
  TRecordedProgress progress;
};

TEST_F(ProjectAssemblyTest, TwoClassesGetPermissionsOneToFourAndMarkersAreReplacedEverywhere) {
  int projectId = AddProject("p");
  int book = AddClass(projectId, "Book", "图书");
  int under = AddClass(projectId, "_Reader", "读者");
  Assemble(projectId, {{"Book", book}, {"_Reader", under}});
  const std::string menu =
      "   Begin VB.Menu {l}\r\n"
      "      Caption         =   \"{f}管理(&T)\"\r\n"
      "      Begin VB.Menu {l}Add\r\n"
      "         Caption         =   \"添加{f}(&A)\"\r\n"
      "      End\r\n"
      "      Begin VB.Menu {l}Manage \r\n"
      "         Caption         =   \"{f}维护(&M)\"\r\n"
      "      End\r\n"
      "   End\r\n";
  const std::string handlers =
      "Private Sub {l}Add_Click()\r\n"
      " '调用函数进行判断是否拥有权限使用添加{f}功能\r\n"
      "  t = check_qx(czry_flag, {a})\r\n"
      "  If t = True Then\r\n"
      "    MainForm.StatusBar1.Panels(1).Text = \"状态： 添加{f} \"\"\"\r\n"
      "    FrmAdd{c}.Show\r\n"
      "  End If\r\n"
      "End Sub\r\n"
      "\r\n"
      "Private Sub {l}Manage_Click()\r\n"
      " '调用函数进行判断是否拥有权限使用管理{f}功能\r\n"
      "  t = check_qx(czry_flag, {m})\r\n"
      "  If t = True Then\r\n"
      "    MainForm.StatusBar1.Panels(1).Text = \"状态：管理{f}\"\r\n"
      "    FrmManage{c}.Show\r\n"
      "  End If\r\n"
      "End Sub\r\n";
  auto with = [](std::string text,
                 std::initializer_list<std::pair<std::string, std::string>> vars) {
    for (const auto& [key, value] : vars) {
      for (std::size_t pos; (pos = text.find(key)) != std::string::npos;)
        text.replace(pos, key.size(), value);
    }
    return text;
  };
  const std::string menus = with(menu, {{"{l}", "book"}, {"{f}", "图书"}}) +
                            with(menu, {{"{l}", "_Reader"}, {"{f}", "读者"}});
  const std::string clicks =
      with(handlers,
           {{"{l}", "book"}, {"{f}", "图书"}, {"{c}", "Book"}, {"{a}", "1"}, {"{m}", "2"}}) +
      with(handlers,
           {{"{l}", "_Reader"}, {"{f}", "读者"}, {"{c}", "_Reader"}, {"{a}", "3"}, {"{m}", "4"}});
  EXPECT_EQ(GbkToUtf8(File("MainForm.frm")),
            "HEAD\r\n" + menus + "\r\nMID " + clicks + "\r\n" + menus + "\r\n");
  EXPECT_EQ(File("vb信息管理系统.vbp"),
            "Type=Exe\r\nForm=FrmAddBook.frm\r\nForm=FrmManageBook.frm\r\nForm=FrmEditBook.frm\r\n"
            "Form=FrmAdd_Reader.frm\r\nForm=FrmManage_Reader.frm\r\nForm=FrmEdit_Reader.frm\r\n"
            "\r\nForm=MainForm.frm\r\n");
  EXPECT_EQ(File("FrmAddBook.frx"), std::string("add\0frx", 7));
  EXPECT_EQ(File("FrmEdit_Reader.frx"), std::string("add\0frx", 7));
  EXPECT_EQ(File("FrmManage_Reader.frx"), "manage frx");
  ASSERT_GE(progress.lines.size(), 2u);
  EXPECT_EQ(progress.lines[0], "projects/p/MainForm.frm生成完成!");
  EXPECT_EQ(progress.lines[1], "projects/p/vb信息管理系统.vbp生成完成!");
}

TEST_F(ProjectAssemblyTest, NoClassesRemovesTheMarkersAndCopiesNoResources) {
  int projectId = AddProject("p");
  Assemble(projectId, {});
  EXPECT_EQ(File("MainForm.frm"), "HEAD\r\n\r\nMID \r\n\r\n");
  EXPECT_EQ(File("vb信息管理系统.vbp"), "Type=Exe\r\n\r\nForm=MainForm.frm\r\n");
  for (const auto& [path, bytes] : sink.files) EXPECT_EQ(path.find(".frx"), std::string::npos);
}

TEST_F(ProjectAssemblyTest, ModelTextIsAValueNotATemplate) {
  int projectId = AddProject("p");
  int book = AddClass(projectId, "Book", "{className}$MenuClickHandleString");
  Assemble(projectId, {{"Book", book}});
  std::string form = GbkToUtf8(File("MainForm.frm"));
  EXPECT_NE(form.find("Caption         =   \"{className}$MenuClickHandleString管理(&T)\""),
            std::string::npos);
  EXPECT_EQ(form.find("Private Sub bookAdd_Click()"), form.rfind("Private Sub bookAdd_Click()"));
}

TEST(LowerFirstTest, OnlyAToZIsLowered) {
  EXPECT_EQ(LowerFirst("Book"), "book");
  EXPECT_EQ(LowerFirst("_Book"), "_Book");
  EXPECT_EQ(LowerFirst("book"), "book");
  EXPECT_EQ(LowerFirst("图书"), "图书");
  EXPECT_EQ(LowerFirst(""), "");
}

}  // namespace vbgen::test
