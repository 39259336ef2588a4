// The crash settings of every module that carries the crash-report library:
// read from the module's settings resource "TPELLOREXCEPT" into a table,
// kept once per module in a list that every copy of the library in the
// process shares (a named mapping, created under a named mutex), and
// offered through settings objects that fall back to the library's own
// settings and the built-in defaults.
#pragma once

#include <windows.h>

#include "PellorFields.h"
#include "PellorSettingsTable.h"

#pragma pack(push, 1)
// One module's settings in the shared list.
struct ModuleSettings {
  std::int32_t refCount;
  HMODULE module;
  TSettingTable table;
  ModuleSettings* next;
};
// The shared buffer: one per process, whichever module opened it first.
struct SharedSettingsBuffer {
  std::int32_t refCount;
  HANDLE mapping;
  CRITICAL_SECTION lock;
  ModuleSettings* head;
  Cardinal reserved;
};
#pragma pack(pop)
#ifndef _WIN64
static_assert(sizeof(ModuleSettings) == 24);
static_assert(sizeof(SharedSettingsBuffer) == 40);
#endif

// "PellorExceptSettingsBuf$<pid>" and "PellorExceptSettingsMtx$<pid>".
String SettingsBufferName();
String SettingsMutexName();

// This library copy's view of the shared buffer; null before the first
// acquisition and after the last release.
SharedSettingsBuffer* SharedSettings();
bool AcquireSharedSettings();
void ReleaseSharedSettings();

bool HasSettingsResource(HMODULE module);
// Reads the module's settings resource into an empty table.
void ReadSettingsResource(HMODULE module, TSettingTable& table);
// The module's shared record with one more reference; null without a
// settings resource or shared buffer.
ModuleSettings* AcquireModuleSettings(HMODULE module);
void ReleaseModuleSettings(ModuleSettings* record);
// Takes the module's record out of the list (library removal).
void UnlinkModuleSettings(HMODULE module);

// Turns a stored password into plain text (the account and server
// settings key it). Without one, passwords stay as stored.
using TPasswordDecipher = String (*)(const String& stored,
                                     const String& account,
                                     const String& server);
void SetPasswordDecipher(TPasswordDecipher decipher);

class TIPESettings;

// Asking one settings object for a setting of another by name.
class ISettingValues : public IInterface {
 public:
  static constexpr TGUID IID{0x6B0C1E50,
                             0x2F7A,
                             0x4C1B,
                             {0x9A, 0x51, 0x30, 0x8E, 0x4D, 0x12, 0x7C, 0x10}};
  virtual bool ReadBoolSetting(const String& name) = 0;
  virtual Integer ReadIntSetting(const String& name) = 0;
  virtual String ReadStrSetting(const String& name) = 0;
  virtual Cardinal ReadDwordSetting(const String& name) = 0;
  virtual TIPESettings* SettingsObject() = 0;

 protected:
  ~ISettingValues() = default;
};

#define PE_BOOL_RW(N)                      \
  bool N() { return ReadBoolSetting(#N); } \
  bool Set##N(bool value) { return WriteBoolSetting(#N, value); }
#define PE_INT_RW(N)                         \
  Integer N() { return ReadIntSetting(#N); } \
  bool Set##N(Integer value) { return WriteIntSetting(#N, value); }
#define PE_TEXT_RW(N)                       \
  String N() { return ReadStrSetting(#N); } \
  bool Set##N(const String& value) { return WriteStrSetting(#N, value); }

class IPESettings : public IInterface {
 public:
  static constexpr TGUID IID{0x6B0C1E51,
                             0x2F7A,
                             0x4C1B,
                             {0x9A, 0x51, 0x30, 0x8E, 0x4D, 0x12, 0x7C, 0x11}};
  virtual HMODULE Module() = 0;
  virtual bool ReadBoolSetting(const String& name) = 0;
  virtual Integer ReadIntSetting(const String& name) = 0;
  virtual String ReadStrSetting(const String& name) = 0;
  virtual Cardinal ReadDwordSetting(const String& name) = 0;
  virtual bool WriteBoolSetting(const String& name, bool value) = 0;
  virtual bool WriteIntSetting(const String& name, Integer value) = 0;
  virtual bool WriteStrSetting(const String& name, const String& value) = 0;
  virtual bool WriteDwordSetting(const String& name, Cardinal value) = 0;
  // Built on first use from the AddFields and AddAttachs settings and
  // written back into them on every change.
  virtual PPEFields AddFields() = 0;
  virtual PPEAttachments AddAttachs() = 0;
  // Items of the Plugins setting, letter case ignored.
  virtual bool PluginEnabled(const String& name) = 0;
  virtual void SetPluginEnabled(const String& name, bool on) = 0;
  virtual String VersionText() = 0;

  PE_BOOL_RW(AutoSave)
  PE_BOOL_RW(AutoSaveIfNotSent)
  PE_BOOL_RW(AutoSend)
  PE_BOOL_RW(AutoSendBox)
  PE_BOOL_RW(AutoClip)
  PE_BOOL_RW(PauseThreads)
  PE_BOOL_RW(PlWaitBox)
  PE_BOOL_RW(AutoContinue)
  PE_INT_RW(AutoRestart)
  PE_INT_RW(AutoClose)
  PE_INT_RW(AutoDelay)
  PE_BOOL_RW(SendBtnVis)
  PE_BOOL_RW(SaveBtnVis)
  PE_BOOL_RW(PrintBtnVis)
  PE_BOOL_RW(ShowBtnVis)
  PE_BOOL_RW(ContinueBtnVis)
  PE_BOOL_RW(RestartBtnVis)
  PE_BOOL_RW(CloseBtnVis)
  PE_INT_RW(FocusedBtn)
  PE_TEXT_RW(SendAssis)
  PE_TEXT_RW(SaveAssis)
  PE_TEXT_RW(PrintAssis)
  PE_BOOL_RW(AutoShowBugRep)
  PE_BOOL_RW(UglyBtns)
  PE_TEXT_RW(MailAddr)
  PE_BOOL_RW(SendInBackgr)
  PE_BOOL_RW(MailAsSmtpServer)
  PE_BOOL_RW(MailAsSmtpClient)
  PE_BOOL_RW(UploadViaHttp)
  PE_BOOL_RW(MailViaMapi)
  PE_BOOL_RW(MailViaMailto)
  PE_TEXT_RW(SmtpServer)
  PE_INT_RW(SmtpPort)
  PE_TEXT_RW(SmtpAccount)
  PE_TEXT_RW(SmtpPassword)
  PE_TEXT_RW(HttpServer)
  PE_INT_RW(HttpPort)
  PE_TEXT_RW(HttpAccount)
  PE_TEXT_RW(HttpPassword)
  PE_TEXT_RW(MailFrom)
  PE_BOOL_RW(AttachBugRep)
  PE_BOOL_RW(AttachBugRepFile)
  PE_BOOL_RW(DelBugRepFile)
  PE_TEXT_RW(BugRepSendAs)
  PE_TEXT_RW(BugRepZip)
  PE_INT_RW(ScrShotDepth)
  PE_BOOL_RW(ScrShotAppOnly)
  PE_TEXT_RW(ScrShotSendAs)
  PE_TEXT_RW(ScrShotZip)
  PE_TEXT_RW(BugRepFile)
  PE_BOOL_RW(AppendBugReps)
  PE_INT_RW(BugRepFileSize)
  PE_BOOL_RW(NoDupExcepts)
  PE_BOOL_RW(NoDupFreezes)
  PE_INT_RW(DupExceptDef)
  PE_INT_RW(DupFreezeDef)
  PE_BOOL_RW(ListThreads)
  PE_BOOL_RW(CpuRegs)
  PE_BOOL_RW(StackDump)
  PE_BOOL_RW(ShowDisAsm)
  PE_BOOL_RW(HideUglyItems)
  PE_BOOL_RW(ShowRelAddrs)
  PE_BOOL_RW(ShowRelLines)
  PE_BOOL_RW(FormatDisAsm)
  PE_INT_RW(LimitDisAsm)
  PE_TEXT_RW(TitleBar)
  PE_TEXT_RW(ExceptMsg)
  PE_TEXT_RW(FrozenMsg)
  PE_TEXT_RW(SendBtnTxt)
  PE_TEXT_RW(SaveBtnTxt)
  PE_TEXT_RW(PrintBtnTxt)
  PE_TEXT_RW(ShowBtnTxt)
  PE_TEXT_RW(ContinueBtnTxt)
  PE_TEXT_RW(RestartBtnTxt)
  PE_TEXT_RW(CloseBtnTxt)
  PE_TEXT_RW(OkBtnTxt)
  PE_TEXT_RW(DetailsBtnTxt)
  PE_TEXT_RW(PlWaitTitle)
  PE_TEXT_RW(PlWaitText)
  PE_TEXT_RW(MailSubj)
  PE_TEXT_RW(MailBody)
  PE_TEXT_RW(SendBoxTitle)
  PE_TEXT_RW(PrepAttMsg)
  PE_TEXT_RW(MxLookMsg)
  PE_TEXT_RW(ConnMsg)
  PE_TEXT_RW(AuthMsg)
  PE_TEXT_RW(SendMailMsg)
  PE_TEXT_RW(FieldMsg)
  PE_TEXT_RW(SendAttMsg)
  PE_TEXT_RW(SendFinalMsg)
  PE_TEXT_RW(SendFailMsg)

 protected:
  ~IPESettings() = default;
};
using PPESettings = TIntfPtr<IPESettings>;

class IPEModuleSettings : public IPESettings {
 public:
  static constexpr TGUID IID{0x6B0C1E52,
                             0x2F7A,
                             0x4C1B,
                             {0x9A, 0x51, 0x30, 0x8E, 0x4D, 0x12, 0x7C, 0x12}};
  // The object found its module's settings.
  virtual bool SettingsValid() = 0;
  // Reads the module's resource again (every object of the module sees it).
  virtual void RereadSettings() = 0;

  bool Enabled() { return ReadBoolSetting("Enabled"); }
  bool MinDebugInfo() { return !ReadStrSetting("MinDebugInfo").empty(); }
  bool NoSettings() { return ReadBoolSetting("NoSettings"); }
  bool CheckFreeze() { return ReadBoolSetting("CheckFreeze"); }
  Integer FreezeTimeout() { return ReadIntSetting("FreezeTimeout"); }
  PE_TEXT_RW(F1Classes)
  PE_TEXT_RW(F2Classes)
  PE_BOOL_RW(F1NoBugRep)
  PE_BOOL_RW(F2NoBugRep)
  PE_BOOL_RW(GnNoBugRep)
  PE_BOOL_RW(F1NoScrShot)
  PE_BOOL_RW(F2NoScrShot)
  PE_BOOL_RW(GnNoScrShot)
  PE_BOOL_RW(F1NoSuspend)
  PE_BOOL_RW(F2NoSuspend)
  PE_BOOL_RW(GnNoSuspend)
  PE_BOOL_RW(F1NoHandlers)
  PE_BOOL_RW(F2NoHandlers)
  PE_BOOL_RW(GnNoHandlers)
  PE_INT_RW(F1ShowCfg)
  PE_INT_RW(F2ShowCfg)
  PE_INT_RW(GnShowCfg)
  PE_TEXT_RW(F1Assis)
  PE_TEXT_RW(F2Assis)
  PE_TEXT_RW(GnAssis)

 protected:
  ~IPEModuleSettings() = default;
};
using PPEModuleSettings = TIntfPtr<IPEModuleSettings>;

#undef PE_BOOL_RW
#undef PE_INT_RW
#undef PE_TEXT_RW

class TIPESettings : public TInterfacedObject,
                     public ISettingValues,
                     public IPEModuleSettings,
                     public TPESettingsOwner {
  VARNEL_CLASS(TIPESettings, TInterfacedObject)
 public:
  // With settings, the object takes a reference to its module's shared
  // record; it is valid when there was one.
  TIPESettings(HMODULE module, bool withSettings);
  ~TIPESettings() override;
  TIPESettings(const TIPESettings&) = delete;
  TIPESettings& operator=(const TIPESettings&) = delete;

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TInterfacedObject::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return TInterfacedObject::_AddRef(); }
  Integer _Release() override { return TInterfacedObject::_Release(); }

  // The record of a setting: the module's, added when missing and asked
  // to, else with useDefaults the built-in one; null when none.
  virtual SettingRecord* LocateSetting(const String& name, bool useDefaults,
                                       TSettingKind newKind, bool add);

  HMODULE Module() override { return module_; }
  bool ReadBoolSetting(const String& name) override;
  Integer ReadIntSetting(const String& name) override;
  String ReadStrSetting(const String& name) override;
  Cardinal ReadDwordSetting(const String& name) override;
  bool WriteBoolSetting(const String& name, bool value) override;
  bool WriteIntSetting(const String& name, Integer value) override;
  bool WriteStrSetting(const String& name, const String& value) override;
  bool WriteDwordSetting(const String& name, Cardinal value) override;
  PPEFields AddFields() override;
  PPEAttachments AddAttachs() override;
  bool PluginEnabled(const String& name) override;
  void SetPluginEnabled(const String& name, bool on) override;
  String VersionText() override { return versionText_; }
  bool SettingsValid() override { return valid_; }
  void RereadSettings() override;
  TIPESettings* SettingsObject() override { return this; }

  // The assistant named name (letter case ignored) from the AssistantN
  // settings: its title and form names; false when none is configured.
  // ScrShotForm is left out when no screenshot is taken.
  bool FindAssistantText(const String& name, String& title,
                         std::vector<String>& forms);
  ModuleSettings* Record() const { return record_; }

 protected:
  void* GetInterfaceFor(const TGUID& iid) override;
  // Whether reports of this object carry a screenshot.
  virtual bool TakesScreenshot();

  bool valid_ = false;
  HMODULE module_ = nullptr;
  ModuleSettings* record_ = nullptr;

 private:
  const SettingRecord* Lookup(const String& name,
                              TIntfPtr<ISettingValues>& other);

  String versionText_;
  TIntfPtr<TIPEAttachments> addAttachs_;
  TIntfPtr<TIPEFields> addFields_;
};

// The library's own settings object, which answers for settings that
// another module's object lacks (set by the library's installation).
void SetLibrarySettings(const PPESettings& settings);
PPESettings LibrarySettings();

// A module's settings; one that says NoSettings gives way to a valid one
// found elsewhere in the process.
PPESettings SettingsOfModule(HMODULE module);
PPESettings SettingsOfAddress(const void* address);
PPESettings SettingsOfCaller();
PPESettings SettingsOfCallerLevel(Integer level);
PPEModuleSettings FindAnySettings();
// The version text of the module's settings (for the placeholders).
String SettingsVersionText(HMODULE module);
