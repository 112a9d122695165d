// Layout objects: a small retained layout system that lets the grids show
// composed content (a data hint, a cell text with hyperlinks) without window
// controls.  A tree of TLaObjectEh is measured (QueryLayout: how big for an
// offered size), placed (PerformLayout: here is your rectangle) and drawn by
// a host (TLaHost).
//
//   LayoutRect  +-------------------------------+  the box with the margins
//               |  margin                       |
//               |   Location +--------------+   |
//               |            |  content     |   |  Size: after alignment
//               |            +--------------+   |
//               +-------------------------------+
//   ClipRect: the rectangle the parent offered (after MaxWidth/MaxHeight);
//   drawing is clipped to it.  Location is in the parent's coordinates.
//
// TLaControlEh adds a one-pixel border on chosen sides, a background colour,
// padding and a font that follows the parent control's.
#pragma once

#include "platform/rtl/component.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/graphics.h"
#include "platform/ui/windowing/messages.h"

#include <vector>

class TCanvas;
class TLaHost;
class TLaObjectEh;

using TMarginSize = Integer;

class TLaMargins : public TPersistent {
  RTL_CLASS(TLaMargins, TPersistent)
public:
  // ALaObject is told of changes; not owned.
  explicit TLaMargins(TLaObjectEh* ALaObject) : FLaObject(ALaObject) {}

  TMarginSize Left() const { return FLeft; }
  TMarginSize Top() const { return FTop; }
  TMarginSize Right() const { return FRight; }
  TMarginSize Bottom() const { return FBottom; }
  // Each raises Exception "SetMargin: Value > 1024" outside 0..1024.
  void SetLeft(TMarginSize Value) { setMargin(FLeft, Value); }
  void SetTop(TMarginSize Value) { setMargin(FTop, Value); }
  void SetRight(TMarginSize Value) { setMargin(FRight, Value); }
  void SetBottom(TMarginSize Value) { setMargin(FBottom, Value); }
  // All four without the range check; one Changed when any differs.
  void SetBounds(TMarginSize ALeft, TMarginSize ATop, TMarginSize ARight, TMarginSize ABottom);

  // reimplemented
  void Assign(TPersistent* Source) override;

protected:
  // introduced virtual: tells the object (MarginsChanged)
  virtual void Changed();
  TLaObjectEh* FLaObject;

private:
  void setMargin(TMarginSize& Field, TMarginSize Value);

  TMarginSize FLeft = 0, FTop = 0, FRight = 0, FBottom = 0;
};

// Padding and border thickness: margins that notify nobody.
class TLaPadding : public TLaMargins {
  RTL_CLASS(TLaPadding, TLaMargins)
public:
  explicit TLaPadding(TLaObjectEh* ALaObject) : TLaMargins(ALaObject) {}

protected:
  void Changed() override {}
};

class TLaThickness : public TLaMargins {
  RTL_CLASS(TLaThickness, TLaMargins)
public:
  explicit TLaThickness(TLaObjectEh* ALaObject) : TLaMargins(ALaObject) {}

protected:
  void Changed() override {}
};

// A view of an object's children (not owned).
class TLaChildrenEnumerable {
public:
  explicit TLaChildrenEnumerable(const std::vector<TLaObjectEh*>* List) : FList(List) {}
  Integer Count() const { return FList ? Integer(FList->size()) : 0; }
  // EArgumentOutOfRangeException outside the list.
  TLaObjectEh* GetChild(Integer AIndex) const;
  Integer IndexOf(const TLaObjectEh* AObject) const;
  std::vector<TLaObjectEh*>::const_iterator begin() const;
  std::vector<TLaObjectEh*>::const_iterator end() const;

private:
  const std::vector<TLaObjectEh*>* FList;
};

class TLaHintInfoEventArgs : public TPersistent {
  RTL_CLASS(TLaHintInfoEventArgs, TPersistent)
public:
  TLaHintInfoEventArgs() = default;
  void InitEventArgs(TLaObjectEh* ALaObject);

  bool Handled = false;
  TLaObjectEh* LaObject = nullptr;
  String HintText;
  TLaObjectEh* HintObject = nullptr;  // shown as the hint's content
  Integer HideTimeout = 0;
};

enum class TLaHorzAlignment { Left, Center, Right, Stretch };
enum class TLaVertAlignment { Top, Center, Bottom, Stretch };

using TLaObjectGetHintInfoEvent = TMethodPtr<void(TLaObjectEh* Sender, TLaHintInfoEventArgs* EventArgs)>;

class TLaObjectEh : public TComponent {
  RTL_CLASS(TLaObjectEh, TComponent)
public:
  explicit TLaObjectEh(TComponent* AOwner);
  // Detaches and frees the children while the descendant is whole.
  void BeforeDestruction() override;
  ~TLaObjectEh() override;

  // construction shapes: the host's root, a child of AParentObject, or both
  // roles taken by one object
  template <class T>
  static T* CreateWith(TComponent* AOwner, TLaHost* ALaHost);  // in lahost.h
  template <class T>
  static T* CreateWith(TComponent* AOwner, TLaObjectEh* AParentObject) {
    T* Result = new T(AOwner);
    Result->SetParent(AParentObject);
    return Result;
  }
  template <class T>
  static T* CreateWith(TLaObjectEh* AOwnerAndParent) {
    return CreateWith<T>(AOwnerAndParent, AOwnerAndParent);
  }
  // A new object of this class owned by Owner, assigned from this one.
  TLaObjectEh* CreateCopy(TComponent* Owner);

  // properties
  TLaMargins* Margins() const { return FMargins; }
  void SetMargins(TLaMargins* Value) { FMargins->Assign(Value); }
  TPoint Location() const { return FLocation; }
  TSize Size() const { return FSize; }
  TSize NeededSize() const { return FNeededSize; }
  TRect LayoutRect() const { return FLayoutRect; }
  TRect ClipRect() const { return FClipRect; }
  TLaObjectEh* Parent() const { return FParent; }
  void SetParent(TLaObjectEh* Value);
  TLaHost* LaHost() const { return FLaHost; }
  void SetLaHost(TLaHost* Value) { FLaHost = Value; }
  TLaHorzAlignment HorzAlignment() const { return FHorzAlignment; }
  void SetHorzAlignment(TLaHorzAlignment Value) { FHorzAlignment = Value; }
  TLaVertAlignment VertAlignment() const { return FVertAlignment; }
  void SetVertAlignment(TLaVertAlignment Value) { FVertAlignment = Value; }
  // Negative: unlimited.  Setting only stores.
  Integer MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(Integer Value) { FMaxWidth = Value; }
  Integer MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(Integer Value) { FMaxHeight = Value; }
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  bool IsInQueryLayout() const { return FIsInQueryLayout; }
  bool IsInPerformLayout() const { return FIsInPerformLayout; }
  Integer ChildrenCount() const { return Integer(FChildren.size()); }
  const TLaChildrenEnumerable& Children() const { return FChildrenEnumerable; }
  TLaObjectEh* RefSelf() { return this; }
  String Text() const { return ClassName(); }

  // events
  TLaObjectGetHintInfoEvent OnGetHintInfo;
  TNotifyEvent OnClick;

  // tree
  // Moves AObject here from another parent; nothing for nil or a child.
  void AddObject(TLaObjectEh* AObject);
  void RemoveObject(TLaObjectEh* AObject);
  void DeleteChildren() { ClearChildren(); }
  // True when this object is AObject or one of its ancestors.
  bool IsChild(const TLaObjectEh* AObject) const;
  // Depth first, each child's name before its subtree; nullptr when none.
  TLaObjectEh* GetElementByName(const String& ElementName);

  // layout
  TSize QueryLayout(TSize QuerySize, TCanvas* ACanvas);
  TSize PerformLayout(TRect PerfRect, TCanvas* ACanvas);
  // Asks the parent, or at the root the host, to repaint.
  void Invalidate();
  // Hint text when not handled yet, then OnGetHintInfo.
  void FillHintInfo(TLaHintInfoEventArgs* HintInfo);

  // reimplemented
  void Assign(TPersistent* Source) override;

  // introduced virtuals, in slot order
  virtual void MarginsChanged() {}
  virtual void AddChild(TLaObjectEh* AObject);
  virtual void ClearChildren();
  virtual void RemoveChild(TLaObjectEh* AObject);
  virtual void ParentChanged() {}
  // mouse, in coordinates relative to Location
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {}
  virtual void Click(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseMove(TShiftState Shift, Integer X, Integer Y) {}
  virtual void ParentFontChanged() {}
  // ARect is (0, 0, Size) in the object's own coordinates.
  virtual void Draw(TRect ARect, TCanvas* ACanvas) {}
  virtual TSize DoQueryLayout(TSize QuerySize, TCanvas* ACanvas) { return {}; }
  virtual TSize DoPerformLayout(TSize PerfSize, TCanvas* ACanvas) { return PerfSize; }

private:
  TLaMargins* FMargins;
  TPoint FLocation;
  TSize FSize;
  TSize FNeededSize;
  TRect FLayoutRect;
  TRect FClipRect;
  std::vector<TLaObjectEh*> FChildren;  // owned by the tree
  TLaChildrenEnumerable FChildrenEnumerable{&FChildren};
  TLaObjectEh* FParent = nullptr;
  TLaHost* FLaHost = nullptr;
  TLaHorzAlignment FHorzAlignment = TLaHorzAlignment::Stretch;
  TLaVertAlignment FVertAlignment = TLaVertAlignment::Stretch;
  Integer FMaxWidth = -1;
  Integer FMaxHeight = -1;
  String FHint;
  bool FIsInQueryLayout = false;
  bool FIsInPerformLayout = false;
};

// A layout object that looks like a small control: border, background,
// padding, font.  Subclasses fill the client area.
class TLaControlEh : public TLaObjectEh {
  RTL_CLASS(TLaControlEh, TLaObjectEh)
public:
  explicit TLaControlEh(TComponent* AOwner);
  ~TLaControlEh() override;

  // properties
  TLaPadding* Padding() const { return FPadding; }
  void SetPadding(TLaMargins* Value) { FPadding->Assign(Value); }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) { FBorderColor = Value; }
  // A non-zero side switches that side's one-pixel line on.
  TLaThickness* BorderThickness() const { return FBorderThickness; }
  void SetBorderThickness(TLaMargins* Value) { FBorderThickness->Assign(Value); }
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value) { FParentFont = Value; }
  // clNone: no background.
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }

  // reimplemented
  void Assign(TPersistent* Source) override;
  void ParentChanged() override;
  void ParentFontChanged() override;
  void Draw(TRect ARect, TCanvas* ACanvas) override;
  // Raises Exception when the client area asks for more than 1048576 pixels.
  TSize DoQueryLayout(TSize QuerySize, TCanvas* ACanvas) override;
  TSize DoPerformLayout(TSize PerfSize, TCanvas* ACanvas) override;

  // introduced virtuals, in slot order
  virtual void DrawClientBackgound(TRect AClientRect, TCanvas* ACanvas);
  virtual void DrawClientForeground(TRect ARect, TCanvas* ACanvas) {}
  virtual void DrawBorder(TRect ABorderRect, TCanvas* ACanvas);
  virtual TSize DoQueryLayoutClientArea(TSize QuerySize, TCanvas* ACanvas) { return QuerySize; }
  virtual TSize DoPerformLayoutClientArea(TRect ClientRect, TCanvas* ACanvas) {
    return {ClientRect.Width(), ClientRect.Height()};
  }

private:
  void fontChanged(TObject* Sender);
  void takeParentFont();
  TSize addFrame(TSize S) const;

  TLaPadding* FPadding;
  TColor FBorderColor = clDefault;
  TLaThickness* FBorderThickness;
  TFont* FFont;
  bool FParentFont = true;
  TColor FColor = clNone;
};
