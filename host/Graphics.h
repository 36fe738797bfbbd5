#pragma once
// The framework's graphic classes: the graphic base TGraphic and the picture
// container TPicture with its registry of graphic classes. The canvas is in
// host/Canvas.h.

#include <functional>
#include <memory>
#include <string>

#include "host/Classes.h"
#include "host/Windows.h"

class TCanvas;
class TGraphic;

// A class reference: makes a new, default object of one graphic class.
using TGraphicClass = std::unique_ptr<TGraphic> (*)();

enum class TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TObject* Sender, TProgressStage Stage, BYTE PercentDone, bool RedrawNow,
                                          const TRect& R, const std::string& Msg)>;

// System-colour codes: 0x80000000 plus the system colour index.
inline constexpr TColor clScrollBar = static_cast<TColor>(0x80000000);
inline constexpr TColor clBackground = static_cast<TColor>(0x80000001);
inline constexpr TColor clWindow = static_cast<TColor>(0x80000005);
inline constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
inline constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
inline constexpr TColor clBtnText = static_cast<TColor>(0x80000012);
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
// Resolves a system-colour code to its RGB value; plain colours pass unchanged.
COLORREF ColorToRGB(TColor Color);

class TGraphic : public TPersistent {
public:
  ~TGraphic() override = default;
  const char* ClassName() const override { return "TGraphic"; }

  // The virtual constructor: the class reference of this object's own class.
  virtual TGraphicClass ClassType() const = 0;

  virtual void Draw(TCanvas& ACanvas, const TRect& Rect) = 0;
  virtual bool GetEmpty() const = 0;
  virtual int GetWidth() const = 0;
  virtual int GetHeight() const = 0;
  virtual void SetWidth(int Value) = 0;
  virtual void SetHeight(int Value) = 0;
  virtual HPALETTE GetPalette() { return {}; }
  virtual void SetPalette(HPALETTE) {}
  virtual bool GetTransparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  // Same class and the same stored form.
  virtual bool Equals(TGraphic& Graphic);

  // A graphic without a stored form keeps these: they raise EInvalidGraphic.
  virtual void LoadFromStream(TStream& Stream);
  virtual void SaveToStream(TStream& Stream);
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);
  virtual void LoadFromClipboardFormat(WORD Format, HGLOBAL Data, HPALETTE Palette);
  virtual void SaveToClipboardFormat(WORD& Format, HGLOBAL& Data, HPALETTE& Palette);

  // Sets Modified and fires OnChange.
  virtual void Changed(TObject* Sender);
  bool GetModified() const { return FModified; }
  // True calls Changed(this); false only clears the flag.
  void SetModified(bool Value);
  bool GetPaletteModified() const { return FPaletteModified; }
  void SetPaletteModified(bool Value) { FPaletteModified = Value; }

  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }
  const TProgressEvent& GetOnProgress() const { return FOnProgress; }
  void SetOnProgress(TProgressEvent Handler) { FOnProgress = std::move(Handler); }

protected:
  virtual void Progress(TObject* Sender, TProgressStage Stage, BYTE PercentDone, bool RedrawNow, const TRect& R,
                        const std::string& Msg);

private:
  bool FModified = false;
  bool FPaletteModified = false;
  bool FTransparent = false;
  TNotifyEvent FOnChange;
  TProgressEvent FOnProgress;
};

// Holds one graphic. It never keeps the graphic it is given but a copy of it:
// a new object of the same class that the given one is assigned to.
class TPicture : public TPersistent {
public:
  TPicture();
  ~TPicture() override;
  const char* ClassName() const override { return "TPicture"; }

  TGraphic* GetGraphic() const { return FGraphic.get(); }
  // Copies Graphic (none empties the picture) and fires OnChange.
  void SetGraphic(TGraphic* Graphic);
  int GetWidth() const;
  int GetHeight() const;
  void Assign(TPersistent* Source) override;

  // Makes a graphic of the class registered for the file's extension and loads it;
  // raises EInvalidGraphic for an unknown extension.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }

  static void RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                 TGraphicClass GraphicClass);
  static void RegisterClipboardFormat(WORD Format, TGraphicClass GraphicClass);
  // Withdraws every extension and clipboard format of the class.
  static void UnregisterGraphicClass(TGraphicClass GraphicClass);
  static bool SupportsClipboardFormat(WORD Format);
  // The class for an extension (without the dot, any case) or a format; null if none.
  static TGraphicClass GraphicClassForExtension(const std::string& Extension);
  static TGraphicClass GraphicClassForClipboardFormat(WORD Format);
  static std::string DescriptionForExtension(const std::string& Extension);

protected:
  void Changed(TObject* Sender);

private:
  std::unique_ptr<TGraphic> FGraphic;
  TNotifyEvent FOnChange;
};
