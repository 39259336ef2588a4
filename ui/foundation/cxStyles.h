// Named, shareable appearance settings: styles (background colour, text
// colour, font, background bitmap, each assigned or not), the repository
// that lists them, styles objects with numbered slots that controls expose,
// and style sheets a styles object falls back on. Style sheets travel in a
// plain-text ini format.
#pragma once

#include <vector>

#include "Classes.h"
#include "Contnrs.h"
#include "cxClasses.h"
#include "cxControls.h"
#include "cxGraphics.h"

class TcxCustomStyle;
class TcxStyle;
class TcxCustomStyles;
class TcxCustomStyleSheet;
class TcxStyleRepository;

enum TcxStyleValue : Byte { svBitmap, svColor, svFont, svTextColor };
using TcxStyleValues = TSet<TcxStyleValue>;

inline constexpr TcxStyleValues cxAllStyleValues{svBitmap, svColor, svFont,
                                                 svTextColor};

class IcxStyleChangeListener : public IInterface {
 public:
  static constexpr TGUID IID{0xE25A5395,
                             0xC1E8,
                             0x4311,
                             {0xA2, 0x81, 0x95, 0x75, 0xF7, 0x9D, 0xE8, 0x62}};
  virtual void StyleChanged(TcxCustomStyle* Sender) = 0;
  virtual void StyleRemoved(TcxCustomStyle* Sender) = 0;

 protected:
  ~IcxStyleChangeListener() = default;
};

// ---------------------------------------------------------------------------
// Styles
// ---------------------------------------------------------------------------

class TcxCustomStyle : public TComponent {
  VARNEL_CLASS(TcxCustomStyle, TComponent)
 public:
  explicit TcxCustomStyle(TComponent* AOwner) : TComponent(AOwner) {}
  ~TcxCustomStyle() override;

  virtual void Changed();
  virtual void AddListener(IcxStyleChangeListener* AListener);
  virtual void RemoveListener(IcxStyleChangeListener* AListener);
  virtual void RestoreDefaults() {}

  TcxStyleRepository* StyleRepository() const { return repository_; }
  void SetStyleRepository(TcxStyleRepository* Value);
  Integer Index() const;
  Integer ListenerCount() const {
    return static_cast<Integer>(listeners_.size());
  }

  TComponent* GetParentComponent() override;
  bool HasParent() override;
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader* Reader) override;

 private:
  friend class TcxStyleRepository;
  std::vector<IcxStyleChangeListener*> listeners_;
  TcxStyleRepository* repository_ = nullptr;
};

class TcxStyle : public TcxCustomStyle {
  VARNEL_CLASS(TcxStyle, TcxCustomStyle)
 public:
  explicit TcxStyle(TComponent* AOwner);
  ~TcxStyle() override;

  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;
  void ReadState(TReader* Reader) override;

  TcxStyleValues AssignedValues() const { return assignedValues_; }
  void SetAssignedValues(TcxStyleValues Value);
  TBitmap* Bitmap() const { return bitmap_.get(); }
  void SetBitmap(TBitmap* Value);
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value);
  TColor TextColor() const { return textColor_; }
  void SetTextColor(TColor Value);

  bool IsBitmapStored() const { return assignedValues_.Contains(svBitmap); }
  bool IsColorStored() const { return assignedValues_.Contains(svColor); }
  bool IsFontStored() const { return assignedValues_.Contains(svFont); }
  bool IsTextColorStored() const {
    return assignedValues_.Contains(svTextColor);
  }

 private:
  void BitmapChanged(TObject* Sender);
  void FontChanged(TObject* Sender);

  TcxStyleValues assignedValues_;
  TObjectPtr<TBitmap> bitmap_;
  TColor color_ = clDefault;
  TObjectPtr<TFont> font_;
  TColor textColor_ = clDefault;
};

// ---------------------------------------------------------------------------
// Styles objects
// ---------------------------------------------------------------------------

class TcxCustomStylesItem : public TObject {
  VARNEL_CLASS(TcxCustomStylesItem, TObject)
 public:
  Integer Index = 0;
  TcxCustomStyle* Style = nullptr;
};

class TcxCustomStyles : public TcxInterfacedPersistent,
                        public IcxStyleChangeListener {
  VARNEL_CLASS(TcxCustomStyles, TcxInterfacedPersistent)
 public:
  explicit TcxCustomStyles(TPersistent* AOwner)
      : TcxInterfacedPersistent(AOwner) {}
  ~TcxCustomStyles() override;

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TcxInterfacedPersistent::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  void Assign(TPersistent* Source) override;

  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TcxCustomStylesItem* Items(Integer Index) const {
    return items_.at(static_cast<size_t>(Index)).get();
  }
  // Halving search; when absent, APosition is where the index belongs.
  bool Find(Integer AIndex, Integer& APosition) const;
  TcxCustomStyle* GetValue(Integer AIndex);
  void SetValue(Integer AIndex, TcxCustomStyle* AStyle);
  void Delete(Integer APosition);
  void Clear();
  void ResetStyles();

  bool IsValidStyleSheet(TcxCustomStyleSheet* AStyleSheet) const;
  TcxCustomStyleSheet* StyleSheet() const { return styleSheet_; }
  void SetStyleSheet(TcxCustomStyleSheet* Value);
  TcxCustomStyleSheet* OwnerStyleSheet() const { return ownerStyleSheet_; }

  // IcxStyleChangeListener
  void StyleChanged(TcxCustomStyle* Sender) override;
  void StyleRemoved(TcxCustomStyle* Sender) override;

  virtual void Changed(Integer AIndex) { (void)AIndex; }
  virtual void DoChanged(Integer AIndex);

 protected:
  void* GetInterfaceFor(const TGUID& iid) override;
  bool IsDestroying() const { return destroying_; }

 private:
  friend class TcxCustomStyleSheet;
  // The slot indexes defined in ASheet and the sheets it falls back on.
  static void CollectSheetIndexes(TcxCustomStyleSheet* ASheet,
                                  std::vector<Integer>& AIndexes);

  bool destroying_ = false;
  std::vector<TObjectPtr<TcxCustomStylesItem>> items_;
  TcxCustomStyleSheet* styleSheet_ = nullptr;
  TcxCustomStyleSheet* ownerStyleSheet_ = nullptr;
};

class TcxStyles : public TcxCustomStyles, public IcxFontListener {
  VARNEL_CLASS(TcxStyles, TcxCustomStyles)
 public:
  explicit TcxStyles(TPersistent* AOwner) : TcxCustomStyles(AOwner) {}

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TcxCustomStyles::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  using TcxCustomStyles::Changed;

  TcxStyle* GetValue(Integer AIndex);
  void SetValue(Integer AIndex, TcxStyle* AStyle);
  TBitmap* GetBitmap(Integer AIndex);
  virtual void GetDefaultViewParams(Integer AIndex, TObject* AData,
                                    TcxViewParams& AParams);
  virtual bool IsDefaultFont(Integer AIndex);
  void GetViewParams(Integer AIndex, TObject* AData, TcxStyle* AStyle,
                     TcxViewParams& AParams);
  void DefaultFontChanged(TObject* Sender, TFont* AFont);

  Integer MaxDefaultViewParamsIndex() const { return maxDefaultIndex_; }

 protected:
  void* GetInterfaceFor(const TGUID& iid) override;
  // Descendants that draw backgrounds with bitmaps turn this on.
  bool useBitmapInViewParams_ = false;

 private:
  // IcxFontListener
  void Changed(TObject* Sender, TFont* AFont) override {
    DefaultFontChanged(Sender, AFont);
  }

  Integer maxDefaultIndex_ = 0;
};

// ---------------------------------------------------------------------------
// Style sheets and the repository
// ---------------------------------------------------------------------------

class TcxCustomStyleSheet : public TcxComponent {
  VARNEL_CLASS(TcxCustomStyleSheet, TcxComponent)
 public:
  explicit TcxCustomStyleSheet(TComponent* AOwner)
      : TcxCustomStyleSheet(AOwner, TcxCustomStyles::StaticClass()) {}
  ~TcxCustomStyleSheet() override;

  void Assign(TPersistent* Source) override;
  void CopyFrom(TcxCustomStyleSheet* AStyleSheet);

  // The class of the sheet's own styles object, fixed by the sheet's class.
  TClass GetStylesClass() const { return stylesClass_; }

  bool BuiltIn() const { return builtIn_; }
  void SetBuiltIn(bool Value) { builtIn_ = Value; }
  String Caption() const;
  void SetCaption(const String& Value);
  bool IsCaptionStored() const { return !caption_.empty(); }
  TcxCustomStyles* Styles() const { return styles_.get(); }
  void SetStyles(TcxCustomStyles* Value);
  TcxStyleRepository* StyleRepository() const { return repository_; }
  void SetStyleRepository(TcxStyleRepository* Value);
  Integer Index() const;
  Integer UserCount() const { return static_cast<Integer>(users_.size()); }

  void DoStyleChanged(Integer AIndex);

  TComponent* GetParentComponent() override;
  bool HasParent() override;
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader* Reader) override;
  void DefineProperties(TFiler* Filer) override;

 protected:
  TcxCustomStyleSheet(TComponent* AOwner, TClass AStylesClass);
  void GetFakeComponentLinks(TList* AList) override;

 private:
  friend class TcxCustomStyles;
  friend class TcxStyleRepository;

  TClass stylesClass_;
  bool builtIn_ = false;
  String caption_;
  TObjectPtr<TcxCustomStyles> styles_;
  std::vector<TcxCustomStyles*> users_;
  TcxStyleRepository* repository_ = nullptr;
};

class TcxStyleRepository : public TComponent {
  VARNEL_CLASS(TcxStyleRepository, TComponent)
 public:
  explicit TcxStyleRepository(TComponent* AOwner) : TComponent(AOwner) {}
  ~TcxStyleRepository() override;

  virtual TcxCustomStyle* CreateItem(TClass AStyleClass);
  virtual TcxCustomStyle* CreateItemEx(TClass AStyleClass, TComponent* AOwner);
  virtual TcxCustomStyleSheet* CreateStyleSheet(TClass AStyleSheetClass);
  virtual TcxCustomStyleSheet* CreateStyleSheetEx(TClass AStyleSheetClass,
                                                  TComponent* AOwner);

  void Clear();
  void ClearStyleSheets();
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TcxCustomStyle* Items(Integer Index) const {
    return items_.at(static_cast<size_t>(Index));
  }
  Integer StyleSheetCount() const {
    return static_cast<Integer>(sheets_.size());
  }
  TcxCustomStyleSheet* StyleSheets(Integer Index) const {
    return sheets_.at(static_cast<size_t>(Index));
  }
  Integer StyleIndexOf(TcxCustomStyle* AStyle) const;
  Integer StyleSheetIndexOf(TcxCustomStyleSheet* AStyleSheet) const;
  void AddItem(TcxCustomStyle* AItem);
  void RemoveItem(TcxCustomStyle* AItem);
  void AddStyleSheet(TcxCustomStyleSheet* AStyleSheet);
  void RemoveStyleSheet(TcxCustomStyleSheet* AStyleSheet);

  bool Scalable() const { return scalable_; }
  void SetScalable(bool Value) { scalable_ = Value; }
  Integer PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(Integer Value) { pixelsPerInch_ = Value; }
  Integer GetScaledValue(Integer AValue);

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void DefineProperties(TFiler* Filer) override;

 protected:
  // The resolution values are scaled to.
  virtual Integer ScreenPixelsPerInch() const;

 private:
  std::vector<TcxCustomStyle*> items_;
  std::vector<TcxCustomStyleSheet*> sheets_;
  bool scalable_ = false;
  Integer pixelsPerInch_ = 0;
};

// ---------------------------------------------------------------------------
// Routines
// ---------------------------------------------------------------------------

bool UseStyle(TcxStyle* AStyle, TcxStyleValue AValue);
// AValues are the values of AParams already decided; returns the new set.
TcxStyleValues CombineParamsWithStyle(TcxStyle* AStyle, TcxStyleValues AValues,
                                      TcxViewParams& AParams);

void RegisterStyleSheetClass(TClass AStyleSheetClass);
void UnregisterStyleSheetClass(TClass AStyleSheetClass);
void GetRegisteredStyleSheetClasses(TList* AList);

// Names a style made while copying or loading sheets.
using TcxStyleGetName = TClosure<void(TcxStyle* AStyle, String& AName)>;

void CreateStyleSheetStyles(TcxCustomStyleSheet* ADest,
                            TcxCustomStyleSheet* ASource,
                            const TcxStyleGetName& AStyleGetName = nullptr);
void SaveStyleSheetsToIniFile(const String& AFileName, TList* AStyleSheetList);
void LoadStyleSheetsFromIniFile(const String& AFileName,
                                TcxStyleRepository* AStyleRepository,
                                TClass AStyleSheetClass,
                                TStrings* AStyleSheetNames = nullptr,
                                TComponent* AOwner = nullptr,
                                TList* AStyleSheetList = nullptr,
                                const TcxStyleGetName& AStyleGetName = nullptr);

// The ini value of a style: colours, then the font when assigned.
String cxStyleToIniValue(TcxStyle* AStyle);
void cxStyleFromIniValue(TcxStyle* AStyle, const String& AValue);
