// The vertical grid's layout storage: the grid and its rows stored into an
// INI file, the registry and a stream, and restored into the same grid after
// changes, into an empty grid, and from data written without names.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "RegistrySandbox.h"
#include "VGridTestSupport.h"
#include "cxStorage.h"

using namespace vgrid_test;

namespace {

class VGridStorageTest : public TVGridModelTest<> {
 protected:
  void SetUp() override {
    TVGridModelTest<>::SetUp();
    grid_->SetName("Grid");
    // General(Name Path) Extra(Hidden) Tail
    general_ = AddCategory(nullptr, "General");
    name_ = AddEditor(general_, "Name");
    path_ = AddEditor(general_, "Path");
    extra_ = AddCategory(nullptr, "Extra");
    hidden_ = AddEditor(extra_, "Hidden");
    tail_ = AddEditor(nullptr, "Tail");
    general_->GetProperties()->SetCaption("General settings");
    hidden_->SetVisible(false);
    path_->SetHeight(40);
    extra_->SetExpanded(false);
  }

  // Moves everything around and changes what the layout holds.
  void Scramble() {
    tail_->SetParent(general_);
    tail_->SetIndex(0);
    name_->SetParent(extra_);
    extra_->SetIndex(0);
    hidden_->SetVisible(true);
    path_->SetHeight(-1);
    extra_->SetExpanded(true);
    general_->GetProperties()->SetCaption("changed");
    grid_->OptionsView()->SetPaintStyle(psStyle3D);
    grid_->OptionsView()->SetRowHeaderWidth(150);
  }
  void ExpectOriginalLayout() {
    EXPECT_EQ(TreeOf(grid_->RootRow()),
              "General(Name Path) Extra(Hidden) Tail");
    EXPECT_FALSE(hidden_->Visible());
    EXPECT_EQ(path_->Height(), 40);
    EXPECT_FALSE(extra_->Expanded());
    EXPECT_EQ(general_->GetProperties()->Caption(), "General settings");
    EXPECT_EQ(grid_->OptionsView()->PaintStyle(), psdotNet);
    EXPECT_EQ(grid_->OptionsView()->RowHeaderWidth(), 100);
  }
  TcxStreamObjectData ReadStreamTree(TMemoryStream& AStream) {
    AStream.SetPosition(0);
    TcxStreamObjectData tree;
    tree.LoadFromStream(&AStream);
    return tree;
  }

  TcxCategoryRow* general_ = nullptr;
  TcxEditorRow* name_ = nullptr;
  TcxEditorRow* path_ = nullptr;
  TcxCategoryRow* extra_ = nullptr;
  TcxEditorRow* hidden_ = nullptr;
  TcxEditorRow* tail_ = nullptr;
};

TEST_F(VGridStorageTest, StoreMoveAndRestoreALayoutInEveryMedium) {
  grid_->OptionsView()->SetRowHeaderWidth(100);
  const String ini =
      (std::filesystem::temp_directory_path() / "varnel-vgrid-layout.ini")
          .string();
  TRegistrySandbox sandbox;
  TMemoryStream stream;
  struct TMedium {
    const char* Name;
    std::function<void()> Store;
    std::function<void()> Restore;
  };
  const TMedium media[] = {
      {"ini", [&] { grid_->StoreToIniFile(ini); },
       [&] { grid_->RestoreFromIniFile(ini); }},
      {"registry", [&] { grid_->StoreToRegistry("Software\\Test\\Layout"); },
       [&] { grid_->RestoreFromRegistry("Software\\Test\\Layout"); }},
      {"stream",
       [&] {
         stream.Clear();
         grid_->StoreToStream(&stream);
       },
       [&] {
         stream.SetPosition(0);
         grid_->RestoreFromStream(&stream);
       }},
  };
  for (const TMedium& medium : media) {
    SCOPED_TRACE(medium.Name);
    medium.Store();
    Scramble();
    ASSERT_NE(TreeOf(grid_->RootRow()),
              "General(Name Path) Extra(Hidden) Tail");
    medium.Restore();
    ExpectOriginalLayout();
    EXPECT_TRUE(grid_->StoringByName());
    EXPECT_EQ(grid_->LockCount(), 0);
  }
  std::filesystem::remove(ini);
}

TEST_F(VGridStorageTest, WhatTheGridAndItsRowsWrite) {
  grid_->OptionsView()->SetPaintStyle(psStyle3D);
  TMemoryStream stream;
  grid_->StoreToStream(&stream);
  TcxStreamObjectData tree = ReadStreamTree(stream);
  EXPECT_EQ(tree.Name, "Grid");
  EXPECT_EQ(tree.ClassName, "TcxVerticalGrid");
  std::vector<String> props;
  for (const auto& p : tree.Properties) props.push_back(p->Name);
  EXPECT_EQ(props, (std::vector<String>{"PaintStyle", "HeaderWidth",
                                        "ValueWidth", "NewLoad"}));
  EXPECT_TRUE(
      VarSameValue(tree.FindProperty("PaintStyle")->Value, Variant(Byte{1})));

  // The rows, flat and in the grid's row order, carry the tree.
  std::vector<String> names;
  for (const auto& child : tree.Children) names.push_back(child->Name);
  EXPECT_EQ(names, (std::vector<String>{"General", "Name", "Path", "Extra",
                                        "Hidden", "Tail"}));
  const TcxStreamObjectData* general = tree.FindChild("General");
  EXPECT_EQ(general->ClassName, "TcxCategoryRow");
  EXPECT_EQ(general->Properties[0]->Name, "Caption");
  EXPECT_TRUE(VarSameValue(general->FindProperty("Caption")->Value,
                           Variant("General settings")));
  // A top-level row's parent is the root, named "-1".
  EXPECT_TRUE(
      VarSameValue(general->FindProperty("AParentID")->Value, Variant("-1")));
  const TcxStreamObjectData* path = tree.FindChild("Path");
  EXPECT_EQ(path->FindProperty("Caption"), nullptr);
  EXPECT_TRUE(
      VarSameValue(path->FindProperty("AParentID")->Value, Variant("General")));
  EXPECT_TRUE(VarSameValue(path->FindProperty("Index")->Value, Variant(1)));
  EXPECT_TRUE(
      VarSameValue(tree.FindChild("Hidden")->FindProperty("Visible")->Value,
                   Variant("False")));
}

TEST_F(VGridStorageTest, RestoringIntoAnEmptyGridCreatesTheCategories) {
  TMemoryStream stream;
  grid_->StoreToStream(&stream);

  TForm owner(nullptr);
  auto* target = new TcxVerticalGrid(&owner);
  target->SetName("Grid");
  // A component already holds the first name: the rows count on from it.
  (new TComponent(&owner))->SetName("GridRuntimeCreatedRow");
  stream.SetPosition(0);
  target->RestoreFromStream(&stream);
  // Editor rows cannot be made from stored data and are skipped.
  EXPECT_EQ(TreeOf(target->RootRow()),
            "GridRuntimeCreatedRow1 GridRuntimeCreatedRow2");
  auto* first = static_cast<TcxCategoryRow*>(target->RootRow()->Rows(0));
  EXPECT_EQ(first->GetProperties()->Caption(), "General settings");
  EXPECT_EQ(first->Owner(), &owner);
  EXPECT_FALSE(target->RootRow()->Rows(1)->Expanded());
}

TEST_F(VGridStorageTest, DataWithoutNewLoadMatchesRowsByIdentifier) {
  // As written without names: the rows are their identifiers, parents are
  // identifiers, and each value takes effect as it is read.
  TcxStreamObjectData tree("Grid", "TcxVerticalGrid");
  tree.AddProperty("HeaderWidth", Variant(120));
  auto addRow = [&](TcxCustomRow* ARow, Integer AParentID, Integer AIndex) {
    TcxStreamObjectData* row =
        tree.AddChild(IntToStr(ARow->ID()), ARow->ClassName());
    row->AddProperty("AParentID", Variant(AParentID));
    row->AddProperty("Index", Variant(AIndex));
  };
  addRow(tail_, extra_->ID(), 0);  // Tail first under Extra
  addRow(name_, -1, 0);            // Name to the top, first
  addRow(path_, 12345, 0);         // no such row: top level, first
  TMemoryStream stream;
  tree.SaveToStream(&stream);
  stream.SetPosition(0);
  grid_->RestoreFromStream(&stream);
  EXPECT_FALSE(grid_->StoringByName());
  EXPECT_EQ(grid_->OptionsView()->RowHeaderWidth(), 120);
  EXPECT_EQ(TreeOf(grid_->RootRow()), "Path Name General Extra(Tail Hidden)");
}

TEST_F(VGridStorageTest, ParentsThatWouldFormALoopLeaveRowsAtTheTop) {
  TcxStreamObjectData tree("Grid", "TcxVerticalGrid");
  tree.AddProperty("NewLoad", Variant(Byte{1}));
  auto addRow = [&](const char* AName, const char* AParent, Integer AIndex) {
    TcxStreamObjectData* row = tree.AddChild(AName, "TcxCategoryRow");
    row->AddProperty("AParentID", Variant(AParent));
    row->AddProperty("Index", Variant(AIndex));
  };
  addRow("General", "Extra", 0);
  addRow("Extra", "General", 0);
  addRow("Tail", "Tail", 0);
  TMemoryStream stream;
  tree.SaveToStream(&stream);
  stream.SetPosition(0);
  grid_->RestoreFromStream(&stream);
  // The first move that would close a loop is refused: every row is still
  // in the tree, none cut off with its parent.
  EXPECT_EQ(TreeOf(grid_->RootRow()), "Extra(General(Name Path) Hidden) Tail");
  EXPECT_EQ(grid_->Rows()->Count(), 6);
}

TEST_F(VGridStorageTest, APaintStyleTheGridLacksIsIgnored) {
  TcxStreamObjectData tree("Grid", "TcxVerticalGrid");
  tree.AddProperty("PaintStyle", Variant(Byte{7}));
  tree.AddProperty("ValueWidth", Variant(5));
  TMemoryStream stream;
  tree.SaveToStream(&stream);
  stream.SetPosition(0);
  grid_->RestoreFromStream(&stream);
  EXPECT_EQ(grid_->OptionsView()->PaintStyle(), psdotNet);
  // The setter's own limit.
  EXPECT_EQ(grid_->OptionsView()->ValueWidth(),
            grid_->OptionsView()->ValueMinWidth());
}

TEST_F(VGridStorageTest, NothingToReadLeavesTheGridAsItIs) {
  grid_->SetStoringByName(true);
  Scramble();
  const std::string before = TreeOf(grid_->RootRow());
  grid_->RestoreFromIniFile(
      (std::filesystem::temp_directory_path() / "varnel-vgrid-none.ini")
          .string());
  TMemoryStream empty;
  grid_->RestoreFromStream(&empty);
  grid_->RestoreFromStream(nullptr);
  EXPECT_EQ(TreeOf(grid_->RootRow()), before);
  EXPECT_FALSE(grid_->StoringByName());
}

TEST_F(VGridStorageTest, ABrokenStreamReachesTheCallerWithTheUpdateClosed) {
  TMemoryStream stream;
  grid_->StoreToStream(&stream);
  Scramble();
  const std::string before = TreeOf(grid_->RootRow());
  TStringStream broken(String(static_cast<const char*>(stream.Memory()),
                              static_cast<std::size_t>(stream.Size() / 2)));
  EXPECT_THROW(grid_->RestoreFromStream(&broken), EReadError);
  EXPECT_EQ(grid_->LockCount(), 0);
  EXPECT_EQ(TreeOf(grid_->RootRow()), before);
}

}  // namespace
