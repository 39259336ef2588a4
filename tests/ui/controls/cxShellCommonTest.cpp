// The shell namespace routines, items, roots and producers over the real
// shell, on folder trees made under the temporary folder; and the
// background fetcher's queue, stops and thread.
#include "WinApi.h"
//
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "ShellTestSupport.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
#include "cxRegExpr.h"
#include "cxShellCommon.h"

using shell_test::PidlOf;
using shell_test::TTempFolderTree;

namespace {

// A PIDL of the given item ids (each a run of payload bytes).
TcxPidlPtr MakePidl(std::initializer_list<std::vector<BYTE>> AIds) {
  std::vector<BYTE> bytes;
  for (const auto& id : AIds) {
    const auto size = static_cast<USHORT>(id.size() + 2);
    bytes.push_back(static_cast<BYTE>(size & 0xFF));
    bytes.push_back(static_cast<BYTE>(size >> 8));
    bytes.insert(bytes.end(), id.begin(), id.end());
  }
  bytes.push_back(0);
  bytes.push_back(0);
  auto* p = static_cast<BYTE*>(cxMalloc()->Alloc(bytes.size()));
  std::copy(bytes.begin(), bytes.end(), p);
  return TcxPidlPtr(reinterpret_cast<PItemIDList>(p));
}

std::vector<BYTE> BytesOf(PItemIDList APidl) {
  const auto* p = reinterpret_cast<const BYTE*>(APidl);
  return std::vector<BYTE>(p, p + GetPidlSize(APidl));
}

}  // namespace

// ---------------------------------------------------------------------------
// Item identifier lists
// ---------------------------------------------------------------------------

TEST(ShellPidlTest, ParentDropsTheLastIdAndStopsAtTheDesktop) {
  TcxPidlPtr one = MakePidl({{1, 2}});
  TcxPidlPtr two = MakePidl({{1, 2}, {3}});
  TcxPidlPtr empty = MakePidl({});
  TcxPidlPtr parentOfOne(GetPidlParent(one.get()));
  TcxPidlPtr parentOfEmpty(GetPidlParent(empty.get()));
  TcxPidlPtr parentOfTwo(GetPidlParent(two.get()));
  ASSERT_NE(parentOfOne, nullptr);
  EXPECT_EQ(GetPidlSize(parentOfOne.get()), 0);
  ASSERT_NE(parentOfEmpty, nullptr);
  EXPECT_EQ(GetPidlSize(parentOfEmpty.get()), 0);
  EXPECT_EQ(BytesOf(parentOfTwo.get()), BytesOf(one.get()));
  EXPECT_EQ(GetPidlParent(nullptr), nullptr);
}

TEST(ShellPidlTest, EqualityComparesSizesAndBytes) {
  TcxPidlPtr a = MakePidl({{1, 2}});
  TcxPidlPtr aCopy(GetPidlCopy(a.get()));
  TcxPidlPtr b = MakePidl({{1, 3}});
  TcxPidlPtr longer = MakePidl({{1, 2}, {4}});
  TcxPidlPtr empty1 = MakePidl({});
  TcxPidlPtr empty2 = MakePidl({});
  struct Case {
    PItemIDList x, y;
    bool equal;
  } cases[] = {
      {nullptr, nullptr, true},       {a.get(), nullptr, false},
      {nullptr, a.get(), false},      {empty1.get(), empty2.get(), true},
      {a.get(), aCopy.get(), true},   {a.get(), b.get(), false},
      {a.get(), longer.get(), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EqualPIDLs(c.x, c.y), c.equal)
        << GetPidlSize(c.x) << " vs " << GetPidlSize(c.y);
  }
}

TEST(ShellPidlTest, SubPathsByBytesAndById) {
  TcxPidlPtr empty = MakePidl({});
  TcxPidlPtr parent = MakePidl({{'A', 'B'}, {'C'}});
  TcxPidlPtr child = MakePidl({{'A', 'B'}, {'C'}, {'D'}});
  // The same bytes, cut into other ids: "...\AB\C" is not "...\A\BC".
  TcxPidlPtr lookalike = MakePidl({{'A'}, {'B', 'C'}, {'D'}});
  TcxPidlPtr shorter = MakePidl({{'A', 'B'}});
  EXPECT_TRUE(IsSubPath(empty.get(), child.get()));
  EXPECT_TRUE(IsSubPath(parent.get(), parent.get()));
  EXPECT_TRUE(IsSubPath(parent.get(), child.get()));
  EXPECT_FALSE(IsSubPath(parent.get(), shorter.get()));
  EXPECT_TRUE(IsPidlUnder(empty.get(), child.get()));
  EXPECT_TRUE(IsPidlUnder(parent.get(), parent.get()));
  EXPECT_TRUE(IsPidlUnder(parent.get(), child.get()));
  EXPECT_FALSE(IsPidlUnder(parent.get(), shorter.get()));
  EXPECT_FALSE(IsPidlUnder(parent.get(), lookalike.get()));
}

TEST(ShellPidlTest, CountsConcatenatesAndExtracts) {
  TcxPidlPtr a = MakePidl({{1}});
  TcxPidlPtr b = MakePidl({{2, 2}, {3}});
  TcxPidlPtr joined(ConcatenatePidls(a.get(), b.get()));
  EXPECT_EQ(GetPidlItemsCount(joined.get()), 3);
  EXPECT_EQ(GetPidlItemsCount(nullptr), 0);
  EXPECT_EQ(BytesOf(joined.get()),
            (std::vector<BYTE>{3, 0, 1, 4, 0, 2, 2, 3, 0, 3}));
  TcxPidlPtr onlyB(ConcatenatePidls(nullptr, b.get()));
  EXPECT_TRUE(EqualPIDLs(onlyB.get(), b.get()));
  EXPECT_EQ(ConcatenatePidls(nullptr, nullptr), nullptr);
  TcxPidlPtr first(ExtractParticularPidl(b.get()));
  EXPECT_EQ(BytesOf(first.get()), (std::vector<BYTE>{4, 0, 2, 2}));
  EXPECT_EQ(BytesOf(GetLastPidlItem(b.get())), (std::vector<BYTE>{3, 0, 3}));
  std::vector<BYTE> many;
  for (int i = 0; i < 261; ++i) many.insert(many.end(), {3, 0, 7});
  many.insert(many.end(), {0, 0});
  auto* raw = static_cast<BYTE*>(cxMalloc()->Alloc(many.size()));
  std::copy(many.begin(), many.end(), raw);
  TcxPidlPtr tooLong(reinterpret_cast<PItemIDList>(raw));
  EXPECT_EQ(GetPidlItemsCount(tooLong.get()), -1);
}

// ---------------------------------------------------------------------------
// Text and formats
// ---------------------------------------------------------------------------

TEST(ShellTextTest, WideCaseConversionKeepsCharactersOutsideTheCodePage) {
  // Greek and Cyrillic letters have no place in the 8-bit code page.
  const WideString mixed = u"\u03b1\u03b2 \u0436 \u00e4x";
  EXPECT_EQ(UpperCaseW(mixed), u"\u0391\u0392 \u0416 \u00c4X");
  EXPECT_EQ(LowerCaseW(u"\u0391\u0416Q"), u"\u03b1\u0436q");
}

TEST(ShellTextTest, FileSizesInWholeKilobytesRoundedUp) {
  struct Case {
    unsigned long long size;
    const char* text;
  } cases[] = {{0, "0 KB"},
               {1, "1 KB"},
               {1024, "1 KB"},
               {1025, "2 KB"},
               {1234567ull * 1024, "1 234 567 KB"}};
  for (const Case& c : cases) EXPECT_EQ(cxFormatFileSizeKB(c.size), c.text);
}

// ---------------------------------------------------------------------------
// Report columns of a folder that offers no column provider
// ---------------------------------------------------------------------------

namespace {

// A folder that answers no interface and no UI object: the fixed columns.
class TBareFolder : public IShellFolder {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Obj) override {
    if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IShellFolder)) {
      *Obj = this;
      return S_OK;
    }
    *Obj = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*,
                                             PIDLIST_RELATIVE*,
                                             ULONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID,
                                         void**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID,
                                          void**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, PCUIDLIST_RELATIVE,
                                       PCUIDLIST_RELATIVE) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID,
                                             void** Obj) override {
    *Obj = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY,
                                            SFGAOF*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY,
                                          REFIID, UINT*, void** Obj) override {
    *Obj = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD, SHGDNF,
                                             STRRET*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF,
                                      PITEMID_CHILD*) override {
    return E_NOTIMPL;
  }
};

}  // namespace

TEST(ShellDetailsTest, FixedColumnsWithoutAProvider) {
  TBareFolder folder;
  TcxShellDetails details;
  details.ProcessDetails(6, &folder, false);
  ASSERT_EQ(details.GetCount(), 1);
  EXPECT_EQ(details.GetItems(0).Text, "Name");
  EXPECT_EQ(details.GetItems(0).Width, 150);

  details.ProcessDetails(6, &folder, true);
  struct Column {
    const char* text;
    Integer width;
    TAlignment alignment;
    Integer id;
  } expected[] = {{"Name", 150, taLeftJustify, 0},
                  {"Size", 60, taRightJustify, 1},
                  {"Type", 60, taLeftJustify, 2},
                  {"Modified", 84, taLeftJustify, 3}};
  ASSERT_EQ(details.GetCount(), 4);
  for (Integer i = 0; i < 4; ++i) {
    const TcxDetailItem& item = details.GetItems(i);
    EXPECT_EQ(item.Text, expected[i].text);
    EXPECT_EQ(item.Width, expected[i].width) << item.Text;
    EXPECT_EQ(item.Alignment, expected[i].alignment) << item.Text;
    EXPECT_EQ(item.ID, expected[i].id) << item.Text;
  }
}

TEST(ShellDetailsTest, FileSystemFolderReportsItsOwnColumns) {
  TTempFolderTree tree;
  TcxPidlPtr pidl = PidlOf(tree.Root());
  ASSERT_NE(pidl, nullptr);
  TcxShellFolder folder(pidl.get());
  TcxShellFolderPtr shellFolder = folder.GetShellFolder();
  ASSERT_TRUE(shellFolder);
  TcxShellDetails details;
  details.ProcessDetails(7, shellFolder.get(), true);
  ASSERT_GE(details.GetCount(), 1);
  EXPECT_EQ(details.GetItems(0).ID, 0);
  EXPECT_GT(details.GetItems(0).Width, 0);
}

// ---------------------------------------------------------------------------
// Folders and roots on the real namespace
// ---------------------------------------------------------------------------

TEST(ShellFolderTest, NamesPathsAndAttributesOfRealFolders) {
  TTempFolderTree tree;
  tree.AddFolder("Parent\\Child");
  tree.AddFile("Parent\\note.txt");
  tree.AddFolder("Parent\\Ghost");
  ::SetFileAttributesA(tree.Path("Parent\\Ghost").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);

  TcxPidlPtr parentPidl = PidlOf(tree.Path("Parent"));
  TcxShellFolder parent(parentPidl.get());
  EXPECT_EQ(WideToAnsi(parent.GetDisplayName()), "Parent");
  EXPECT_TRUE(shell_test::SamePath(WideToAnsi(parent.GetPathName()),
                                   tree.Path("Parent")));
  EXPECT_TRUE(parent.GetIsFolder());
  EXPECT_TRUE(parent.GetSubFolders());
  EXPECT_TRUE(parent.GetStorageCapabilities().Contains(sfscFileSystem));

  TcxPidlPtr notePidl = PidlOf(tree.Path("Parent\\note.txt"));
  TcxShellFolder note(notePidl.get());
  EXPECT_FALSE(note.GetIsFolder());
  EXPECT_FALSE(note.GetAttributes().Contains(sfaHidden));

  TcxPidlPtr ghostPidl = PidlOf(tree.Path("Parent\\Ghost"));
  TcxShellFolder ghost(ghostPidl.get());
  EXPECT_TRUE(ghost.GetAttributes().Contains(sfaHidden));
  EXPECT_EQ(GetPidlName(ghostPidl.get()), tree.Path("Parent\\Ghost"));
}

TEST(ShellFolderTest, DesktopIsTheEmptyPidlWithAPlainName) {
  TcxPidlPtr empty(CreateEmptyPidl());
  TcxShellFolder desktop(empty.get());
  EXPECT_FALSE(WideToAnsi(desktop.GetPathName()).empty());
  TcxShellFolderPtr folder = desktop.GetShellFolder();
  EXPECT_TRUE(folder);
}

TEST(ShellRootTest, CustomPathResolvesAndAFailedChangeRollsBack) {
  TTempFolderTree tree;
  tree.AddFolder("Here");
  TcxCustomShellRoot root(nullptr, nullptr);
  Integer changes = 0;
  struct Counter {
    Integer* count;
    void Changed(TObject*) { ++*count; }
  } counter{&changes};
  root.OnSettingsChanged = TNotifyEvent(&counter, &Counter::Changed);

  // bfCustomPath with an empty path is the desktop.
  root.SetBrowseFolder(bfCustomPath);
  ASSERT_TRUE(root.IsValid());
  EXPECT_EQ(GetPidlSize(root.Pidl()), 0);

  root.SetCustomPath(AnsiToWide(tree.Path("Here")));
  ASSERT_TRUE(root.IsValid());
  EXPECT_TRUE(shell_test::SamePath(WideToAnsi(root.GetCurrentPath()),
                                   tree.Path("Here")));
  EXPECT_EQ(changes, 2);
  TcxPidlPtr before(GetPidlCopy(root.Pidl()));

  EXPECT_THROW(root.SetCustomPath(AnsiToWide(tree.Path("Missing\\Nowhere"))),
               EcxEditError);
  EXPECT_EQ(WideToAnsi(root.CustomPath()), tree.Path("Here"));
  EXPECT_TRUE(root.IsValid());
  EXPECT_TRUE(EqualPIDLs(root.Pidl(), before.get()));
  EXPECT_EQ(changes, 2);
}

// ---------------------------------------------------------------------------
// Producers and the fetcher
// ---------------------------------------------------------------------------

namespace {

class TTestProducer : public TcxCustomItemProducer {
 public:
  TTestProducer(TcxShellItemsInfoGatherer* AGatherer, DWORD AFlags)
      : TcxCustomItemProducer(nullptr), gatherer_(AGatherer), flags_(AFlags) {}
  ~TTestProducer() override { ClearItems(); }

  bool AllowBackgroundProcessing() override { return Background; }
  bool CanAddFolder(TcxShellFolder* AFolder) override {
    return Refused.empty() || WideToAnsi(AFolder->GetDisplayName()) != Refused;
  }
  DWORD GetEnumFlags() override { return flags_; }
  TcxShellItemsInfoGatherer* GetItemsInfoGatherer() override {
    return gatherer_;
  }
  bool GetShowToolTip() override { return false; }
  void CheckForSubitems(TcxShellItemInfo* AItem,
                        IShellFolder* AFolder) override {
    if (Raise) throw Exception("probe failed");
    AItem->CheckSubitems(AFolder, flags_);
  }
  void NotifyUpdateItem(const TcxRequestItem& ARequest) override {
    std::lock_guard<std::mutex> guard(lock_);
    Notified.push_back(ARequest.ItemIndex);
    NotifyThreads.push_back(::GetCurrentThreadId());
  }
  std::vector<Integer> NotifiedCopy() {
    std::lock_guard<std::mutex> guard(lock_);
    return Notified;
  }
  std::vector<String> Names() {
    std::vector<String> names;
    LockRead();
    for (Integer i = 0; i < ItemCount(); ++i) {
      names.push_back(WideToAnsi(Item(i)->Name));
    }
    UnlockRead();
    return names;
  }
  bool AllUpdated() {
    LockRead();
    bool all = true;
    for (Integer i = 0; i < ItemCount(); ++i) all = all && Item(i)->Updated;
    UnlockRead();
    return all;
  }
  void Show(const std::string& APath, Integer APreload = 0) {
    TcxPidlPtr pidl = PidlOf(APath);
    TcxShellFolder folder(pidl.get());
    TcxShellFolderPtr shellFolder = folder.GetShellFolder();
    ASSERT_TRUE(shellFolder) << APath;
    ProcessItems(shellFolder.get(), pidl.get(), APreload);
  }

  bool Background = false;
  std::atomic<bool> Raise{false};
  String Refused;
  std::vector<Integer> Counts;
  std::vector<Integer> Notified;
  std::vector<DWORD> NotifyThreads;

 protected:
  void SetItemsCount(Integer ACount) override { Counts.push_back(ACount); }

 private:
  TcxShellItemsInfoGatherer* gatherer_;
  DWORD flags_;
  std::mutex lock_;
};

constexpr DWORD kFoldersAndFiles = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;

}  // namespace

TEST(ShellProducerTest, EnumeratesSortedFoldersFirstAndSkipsHidden) {
  TTempFolderTree tree;
  for (const char* name : {"beta", "Alpha", "gamma", "Ghost"}) {
    tree.AddFolder(name);
  }
  tree.AddFile("zz.txt");
  tree.AddFile("a.txt");
  ::SetFileAttributesA(tree.Path("Ghost").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
  TcxShellItemsInfoGatherer gatherer(nullptr);
  {
    TTestProducer producer(&gatherer, kFoldersAndFiles);
    producer.Show(tree.Root());
    EXPECT_EQ(producer.Names(), (std::vector<String>{"Alpha", "beta", "gamma",
                                                     "a.txt", "zz.txt"}));
    EXPECT_EQ(producer.Counts, (std::vector<Integer>{5}));
    producer.LockRead();
    EXPECT_TRUE(producer.Item(0)->IsFolder);
    EXPECT_FALSE(producer.Item(3)->IsFolder);
    EXPECT_TRUE(shell_test::SamePath(GetPidlName(producer.Item(2)->FullPIDL()),
                                     tree.Path("gamma")));
    producer.UnlockRead();
  }
  {
    TTestProducer producer(&gatherer, kFoldersAndFiles | SHCONTF_INCLUDEHIDDEN);
    producer.Show(tree.Root(), 100);
    const auto names = producer.Names();
    ASSERT_EQ(names.size(), 6u);
    EXPECT_EQ(names[1], "beta");
    EXPECT_EQ(names[2], "gamma");
    EXPECT_EQ(names[3], "Ghost");
    producer.LockRead();
    EXPECT_TRUE(producer.Item(3)->IsHidden);
    EXPECT_TRUE(producer.Item(3)->Updated);
    EXPECT_FALSE(producer.Item(0)->IsHidden);
    producer.UnlockRead();
  }
  {
    TTestProducer producer(&gatherer, SHCONTF_FOLDERS);
    producer.Refused = "beta";
    producer.Show(tree.Root());
    EXPECT_EQ(producer.Names(), (std::vector<String>{"Alpha", "gamma"}));
    EXPECT_EQ(producer.Counts, (std::vector<Integer>{2}));
  }
}

TEST(ShellProducerTest, EmptyFolderCountsZeroAndQueuesNothing) {
  TTempFolderTree tree;
  tree.AddFolder("Empty");
  TcxShellItemsInfoGatherer gatherer(nullptr);
  TTestProducer producer(&gatherer, kFoldersAndFiles);
  producer.Background = true;
  producer.Show(tree.Path("Empty"));
  EXPECT_EQ(producer.Counts, (std::vector<Integer>{0}));
  EXPECT_TRUE(gatherer.GetIsFetchQueueEmpty());
  EXPECT_EQ(producer.GetItemIndexByPidl(nullptr), -1);
}

TEST(ShellProducerTest, FindsItemsById) {
  TTempFolderTree tree;
  tree.AddFolder("one");
  tree.AddFolder("two");
  TcxShellItemsInfoGatherer gatherer(nullptr);
  TTestProducer producer(&gatherer, kFoldersAndFiles);
  producer.Show(tree.Root());
  TcxPidlPtr two = PidlOf(tree.Path("two"));
  TcxPidlPtr last(ExtractParticularPidl(GetLastPidlItem(two.get())));
  EXPECT_EQ(producer.GetItemIndexByPidl(last.get()), 1);
  ASSERT_NE(producer.GetItemByPidl(last.get()), nullptr);
  EXPECT_EQ(WideToAnsi(producer.GetItemByPidl(last.get())->Name), "two");
}

TEST(ShellFetcherTest, BackgroundThreadCompletesEveryItem) {
  TTempFolderTree tree;
  for (int i = 0; i < 12; ++i) tree.AddFolder("f" + std::to_string(i));
  tree.AddFolder("f3\\inner");
  TcxShellItemsInfoGatherer gatherer(nullptr);
  // With files asked for, probing looks into each folder (the folders-only
  // answer is the shell's optimistic attribute).
  TTestProducer producer(&gatherer, kFoldersAndFiles);
  producer.Background = true;
  producer.Show(tree.Root());
  ASSERT_EQ(producer.ItemCount(), 12);
  ASSERT_TRUE(ui_test::WaitUntil([&] { return producer.AllUpdated(); },
                                 "every item completed"));
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return producer.NotifiedCopy().size() == 12; }, "12 notices"));
  std::vector<Integer> notified = producer.NotifiedCopy();
  std::sort(notified.begin(), notified.end());
  for (Integer i = 0; i < 12; ++i) EXPECT_EQ(notified[i], i);
  for (DWORD thread : producer.NotifyThreads) {
    EXPECT_NE(thread, ::GetCurrentThreadId());
  }
  // Sub-folder probing ran on the fetch thread: only f3 has a child.
  producer.LockRead();
  for (Integer i = 0; i < producer.ItemCount(); ++i) {
    const bool isF3 = WideToAnsi(producer.Item(i)->Name) == "f3";
    EXPECT_EQ(producer.Item(i)->HasSubfolder, isF3)
        << WideToAnsi(producer.Item(i)->Name);
  }
  producer.UnlockRead();
}

TEST(ShellFetcherTest, ARequestThatRaisesIsDroppedAndTheThreadGoesOn) {
  TTempFolderTree tree;
  for (int i = 0; i < 5; ++i) tree.AddFolder("r" + std::to_string(i));
  TcxShellItemsInfoGatherer gatherer(nullptr);
  TTestProducer producer(&gatherer, kFoldersAndFiles);
  producer.Raise = true;
  producer.Background = true;
  producer.Show(tree.Root());
  ASSERT_EQ(producer.ItemCount(), 5);
  ASSERT_TRUE(
      ui_test::WaitUntil([&] { return gatherer.GetIsFetchQueueEmpty(); },
                         "the failing requests dropped"));
  EXPECT_TRUE(producer.NotifiedCopy().empty());
  // Clearing ends (no request is left behind as taken), and the thread
  // still serves new requests.
  producer.ClearFetchQueue();
  producer.Raise = false;
  producer.FetchRequest(2, true);
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return producer.NotifiedCopy() == std::vector<Integer>{2}; },
      "the next request served"));
}

TEST(ShellFetcherTest, QueueMergesDuplicatesAndPutsPriorityFirst) {
  TcxShellItemsInfoGatherer gatherer(nullptr);
  TTestProducer a(&gatherer, kFoldersAndFiles);
  TTestProducer b(&gatherer, kFoldersAndFiles);
  gatherer.StopFetch();
  gatherer.RequestItemInfo(&a, 0, false);
  gatherer.RequestItemInfo(&a, 1, false);
  gatherer.RequestItemInfo(&b, 0, false);
  gatherer.RequestItemInfo(&a, 1, false);  // a duplicate
  gatherer.RequestItemInfo(&b, 0, true);   // moves to the head
  gatherer.RequestItemInfo(&a, 5, true);   // new, at the head
  auto queue = gatherer.QueueSnapshot();
  struct Expected {
    TcxCustomItemProducer* producer;
    Integer index;
    bool priority;
  } expected[] = {
      {&a, 5, true}, {&b, 0, false}, {&a, 0, false}, {&a, 1, false}};
  ASSERT_EQ(queue.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(queue[i].ItemProducer, expected[i].producer) << i;
    EXPECT_EQ(queue[i].ItemIndex, expected[i].index) << i;
    EXPECT_EQ(queue[i].Priority, expected[i].priority) << i;
  }
  gatherer.ClearFetchQueue(&a);
  queue = gatherer.QueueSnapshot();
  ASSERT_EQ(queue.size(), 1u);
  EXPECT_EQ(queue[0].ItemProducer, &b);
  gatherer.ClearFetchQueue(nullptr);
  EXPECT_TRUE(gatherer.GetIsFetchQueueEmpty());
  gatherer.ResumeFetch();
}

TEST(ShellFetcherTest, NestedStopsNeedAsManyResumes) {
  TcxShellItemsInfoGatherer gatherer(nullptr);
  TTestProducer producer(&gatherer, kFoldersAndFiles);
  gatherer.StopFetch();
  gatherer.StopFetch();
  // Requests for items the producer does not have are dropped when served.
  gatherer.RequestItemInfo(&producer, 7, false);
  gatherer.ResumeFetch();
  EXPECT_TRUE(gatherer.GetIsFetchStopping());
  EXPECT_EQ(gatherer.StopCount(), 1);
  EXPECT_FALSE(gatherer.GetIsFetchQueueEmpty());
  gatherer.ResumeFetch();
  EXPECT_FALSE(gatherer.GetIsFetchStopping());
  EXPECT_TRUE(
      ui_test::WaitUntil([&] { return gatherer.GetIsFetchQueueEmpty(); },
                         "the thread served the queue"));
  EXPECT_TRUE(producer.NotifiedCopy().empty());
  gatherer.ResumeFetch();  // one too many does nothing
  EXPECT_EQ(gatherer.StopCount(), 0);
}

TEST(ShellFetcherTest, ThreadEndsMidFetchAndClearingWaitsForTheTakenRequest) {
  TTempFolderTree tree;
  for (int i = 0; i < 40; ++i) tree.AddFolder("d" + std::to_string(i));
  auto gatherer = std::make_unique<TcxShellItemsInfoGatherer>(nullptr);
  auto producer =
      std::make_unique<TTestProducer>(gatherer.get(), SHCONTF_FOLDERS);
  producer->Background = true;
  producer->Show(tree.Root());
  ASSERT_EQ(producer->ItemCount(), 40);
  // Clearing returns only when no request of the producer is left or taken.
  producer->ClearFetchQueue();
  EXPECT_TRUE(gatherer->GetIsFetchQueueEmpty());
  const std::size_t served = producer->NotifiedCopy().size();
  EXPECT_LT(served, 40u);
  producer->RequestItemsInfo();
  gatherer->DestroyFetchThread();
  EXPECT_FALSE(gatherer->HasThread());
  const std::size_t afterJoin = producer->NotifiedCopy().size();
  ui_test::PumpUntilIdle();
  EXPECT_EQ(producer->NotifiedCopy().size(), afterJoin);
  // A second end does nothing harmful; stops without a thread do not wait.
  gatherer->DestroyFetchThread();
  gatherer->StopFetch();
  gatherer->ResumeFetch();
  producer.reset();
  gatherer.reset();
}

TEST(ShellNotifierTest, OneRegistrationPerFolder) {
  TTempFolderTree tree;
  tree.AddFolder("one");
  tree.AddFolder("two");
  TForm form(nullptr);
  HWND wnd = form.Handle();
  TcxShellChangeNotifierData data;
  TcxPidlPtr one = PidlOf(tree.Path("one"));
  TcxPidlPtr two = PidlOf(tree.Path("two"));
  ASSERT_TRUE(
      RegisterShellChangeNotifier(one.get(), wnd, WM_APP + 1, false, data));
  const ULONG first = data.Handle;
  EXPECT_NE(first, 0u);
  EXPECT_TRUE(
      RegisterShellChangeNotifier(one.get(), wnd, WM_APP + 1, false, data));
  EXPECT_EQ(data.Handle, first);
  ASSERT_TRUE(
      RegisterShellChangeNotifier(two.get(), wnd, WM_APP + 1, false, data));
  EXPECT_TRUE(EqualPIDLs(data.Pidl.get(), two.get()));
  UnregisterShellChangeNotifier(data);
  EXPECT_EQ(data.Handle, 0u);
  EXPECT_EQ(data.Pidl, nullptr);
}
