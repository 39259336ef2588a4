#include "PellorSettingsTable.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdlib>
#include <cstring>
#include <memory>

#include "Dialogs.h"
#include "FormStreams.h"
#include "PellorStrings.h"

namespace {

// The process heap on Windows, so that another module of the process can
// free what this one allocated.
void* HeapBlock(std::size_t size) {
#ifdef _WIN32
  return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
#else
  return std::calloc(1, size);
#endif
}

void HeapFree(void* block) {
  if (!block) return;
#ifdef _WIN32
  ::HeapFree(GetProcessHeap(), 0, block);
#else
  std::free(block);
#endif
}

char* HeapText(const String& text) {
  auto* copy = static_cast<char*>(HeapBlock(text.size() + 1));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

bool Grow(TSettingTable& table) {
  const Cardinal capacity = table.capacity
                                ? table.capacity + kSettingTableGrowth
                                : kSettingTableCapacity;
  auto* block =
      static_cast<SettingRecord*>(HeapBlock(capacity * sizeof(SettingRecord)));
  if (!block) return false;
  if (table.count)
    std::memcpy(block, table.records, table.count * sizeof(SettingRecord));
  HeapFree(table.records);
  table.records = block;
  table.capacity = capacity;
  return true;
}

}  // namespace

SettingRecord* AddSettingRecord(TSettingTable& table, const String& name,
                                TSettingKind kind, bool boolValue,
                                std::int32_t intValue,
                                const String& textValue) {
  if (table.count >= table.capacity && !Grow(table)) return nullptr;
  SettingRecord record{};
  record.name = HeapText(name);
  if (!record.name) return nullptr;
  record.kind = kind;
  record.boolValue = boolValue ? 1 : 0;
  record.intValue = intValue;
  if (!textValue.empty()) {
    record.textValue = HeapText(textValue);
    if (!record.textValue) {
      HeapFree(record.name);
      return nullptr;
    }
  }
  SettingRecord* slot = table.records + table.count;
  std::memcpy(slot, &record, sizeof record);
  ++table.count;
  return slot;
}

SettingRecord* FindSettingRecord(const TSettingTable& table, const char* name) {
  for (Cardinal i = 0; i < table.count; ++i)
    if (table.records[i].name && std::strcmp(table.records[i].name, name) == 0)
      return table.records + i;
  return nullptr;
}

bool StoreSettingText(SettingRecord& record, const String& text) {
  char* copy = nullptr;
  if (!text.empty() && !(copy = HeapText(text))) return false;
  char* old = record.textValue;
  record.textValue = copy;
  HeapFree(old);
  return true;
}

String SettingText(const SettingRecord& record) {
  char* text = record.textValue;
  return text ? String(text) : String();
}

void FreeSettingTable(TSettingTable& table) {
  for (Cardinal i = 0; i < table.count; ++i) {
    HeapFree(table.records[i].name);
    HeapFree(table.records[i].textValue);
  }
  HeapFree(table.records);
  table.records = nullptr;
  table.capacity = 0;
  table.count = 0;
}

// ---------------------------------------------------------------------------
// The settings resource
// ---------------------------------------------------------------------------

namespace {

void InvalidResourceBox(Byte type) {
  MessageBoxSeam("Internal error: Invalid settings resource (" +
                     CardinalToHexPadded(type, 1, '0') + ").",
                 "PellorExcept", mbOK | mbIconError);
}

}  // namespace

void ReadSettingsStream(const void* data, std::size_t size,
                        TSettingTable& table) {
  if (!data) return;
  auto owned = std::make_unique<formstreams_detail::TMemorySource>(data, size);
  formstreams_detail::TMemorySource& source = *owned;
  TReader reader(std::move(owned));
  try {
    reader.ReadSignature();
    if (reader.ReadStr() != "TPellorExcept" ||
        reader.ReadStr() != "PellorExcept")
      return;
  } catch (const EReadError&) {
    return;
  }
  if (!table.capacity && !Grow(table)) return;
  for (;;) {
    String name;
    Byte type = 0;
    try {
      // A property list cut short before a name or its type ends the
      // reading quietly: nothing of a value was there to complain about.
      if (reader.EndOfList()) return;
      name = reader.ReadStr();
      if (!source.Peek(type)) return;
    } catch (const EReadError&) {
      return;
    }
    try {
      SettingRecord* added = nullptr;
      switch (type) {
        case vaInt8:
        case vaInt16:
        case vaInt32:
          added = AddSettingRecord(table, name, skInteger, false,
                                   reader.ReadInteger(), String());
          break;
        case vaFalse:
        case vaTrue:
          added = AddSettingRecord(table, name, skBoolean, reader.ReadBoolean(),
                                   0, String());
          break;
        case vaString:
        case vaLString:
        case vaWString:
          added = AddSettingRecord(table, name, skText, false, 0,
                                   reader.ReadString());
          break;
        default:
          InvalidResourceBox(type);
          return;
      }
      if (!added) return;
    } catch (const EReadError&) {
      InvalidResourceBox(type);
      return;
    }
  }
}

// ---------------------------------------------------------------------------
// Built-in defaults
// ---------------------------------------------------------------------------

namespace {

constexpr SettingRecord B(const char* name, bool value) {
  return {const_cast<char*>(name), skBoolean, Byte(value ? 1 : 0), 0, nullptr};
}
constexpr SettingRecord I(const char* name, std::int32_t value) {
  return {const_cast<char*>(name), skInteger, 0, value, nullptr};
}
// A few integer settings are stored as booleans with their value in the
// integer field; reads never check the kind.
constexpr SettingRecord N(const char* name, std::int32_t value) {
  return {const_cast<char*>(name), skBoolean, 0, value, nullptr};
}
constexpr SettingRecord T(const char* name, const char* text = nullptr) {
  return {const_cast<char*>(name), skText, 0, 0, const_cast<char*>(text)};
}

const SettingRecord kBuiltIn[] = {
    B("Enabled", false),
    B("NoSettings", true),
    B("CheckFreeze", false),
    // The freeze watchdog counts milliseconds: one minute.
    I("FreezeTimeout", 60000),
    B("AutoSave", true),
    B("AutoSaveIfNotSent", true),
    B("AutoSend", false),
    B("AutoSendBox", false),
    B("AutoClip", true),
    B("PauseThreads", false),
    B("PlWaitBox", true),
    B("AutoContinue", false),
    I("AutoRestart", 0),
    I("AutoClose", 0),
    I("AutoDelay", 60),
    B("SendBtnVis", true),
    B("SaveBtnVis", false),
    B("PrintBtnVis", false),
    B("ShowBtnVis", true),
    B("ContinueBtnVis", true),
    B("RestartBtnVis", true),
    B("CloseBtnVis", true),
    N("FocusedBtn", 0),
    T("SendAssis"),
    T("SaveAssis"),
    T("PrintAssis"),
    B("AutoShowBugRep", false),
    B("UglyBtns", false),
    T("MailAddr"),
    B("SendInBackgr", true),
    B("MailAsSmtpServer", false),
    B("MailAsSmtpClient", false),
    B("UploadViaHttp", false),
    B("MailViaMapi", true),
    B("MailViaMailto", true),
    T("SmtpServer"),
    I("SmtpPort", 25),
    T("SmtpAccount"),
    T("SmtpPassword"),
    T("HttpServer"),
    I("HttpPort", 80),
    T("HttpAccount"),
    T("HttpPassword"),
    T("MailFrom"),
    T("AddFields"),
    B("AttachBugRep", true),
    B("AttachBugRepFile", true),
    B("DelBugRepFile", true),
    T("BugRepSendAs", "bugreport.txt"),
    T("BugRepZip"),
    I("ScrShotDepth", 0),
    B("ScrShotAppOnly", true),
    T("ScrShotSendAs", "screenshot.png"),
    T("ScrShotZip"),
    T("AddAttachs"),
    T("BugRepFile", "bugreport.txt"),
    B("AppendBugReps", true),
    I("BugRepFileSize", 100000),
    B("NoDupExcepts", true),
    B("NoDupFreezes", true),
    N("DupExceptDef", 1),
    N("DupFreezeDef", 2),
    B("ListThreads", true),
    B("CpuRegs", true),
    B("StackDump", true),
    B("ShowDisAsm", true),
    B("HideUglyItems", false),
    B("ShowRelAddrs", true),
    B("ShowRelLines", true),
    B("FormatDisAsm", false),
    I("LimitDisAsm", 5),
    T("Plugins", "modules|processes|hardware"),
    T("F1Classes"),
    T("F2Classes"),
    B("F1NoBugRep", false),
    B("F2NoBugRep", false),
    B("GnNoBugRep", false),
    B("F1NoScrShot", false),
    B("F2NoScrShot", false),
    B("GnNoScrShot", false),
    B("F1NoSuspend", false),
    B("F2NoSuspend", false),
    B("GnNoSuspend", false),
    B("F1NoHandlers", false),
    B("F2NoHandlers", false),
    B("GnNoHandlers", false),
    N("F1ShowCfg", 0),
    N("F2ShowCfg", 0),
    N("GnShowCfg", 0),
    T("F1Assis"),
    T("F2Assis"),
    T("GnAssis"),
    T("TitleBar", "%appname%"),
    T("ExceptMsg", "An error occurred in the application."),
    T("FrozenMsg", "The application seems to be frozen."),
    T("SendBtnTxt", "send bug report"),
    T("SaveBtnTxt", "save bug report"),
    T("PrintBtnTxt", "print bug report"),
    T("ShowBtnTxt", "show bug report"),
    T("ContinueBtnTxt", "continue application"),
    T("RestartBtnTxt", "restart application"),
    T("CloseBtnTxt", "close application"),
    T("OkBtnTxt", "&OK"),
    T("DetailsBtnTxt", "&Details"),
    T("PlWaitTitle", "Information"),
    T("PlWaitText", "Please wait a moment..."),
    T("MailSubj", "bug report"),
    T("MailBody", "please find the bug report attached"),
    T("SendBoxTitle", "Sending bug report..."),
    T("PrepAttMsg", "Prepare attachments..."),
    T("MxLookMsg", "Searching for mail server..."),
    T("ConnMsg", "Connecting to server..."),
    T("AuthMsg", "Authentication..."),
    T("SendMailMsg", "Sending mail..."),
    T("FieldMsg", "Setting fields..."),
    T("SendAttMsg", "Sending attachments..."),
    T("SendFinalMsg", "Finalizing..."),
    T("SendFailMsg", "Sorry, sending the bug report didn't work."),
    I("VersionVar", 0),
};

}  // namespace

const SettingRecord* BuiltInSettings(std::size_t& count) {
  count = sizeof kBuiltIn / sizeof kBuiltIn[0];
  return kBuiltIn;
}

const SettingRecord* FindBuiltInSetting(const char* name) {
  for (const SettingRecord& r : kBuiltIn)
    if (std::strcmp(r.name, name) == 0) return &r;
  return nullptr;
}
