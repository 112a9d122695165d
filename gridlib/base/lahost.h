// The layout host: everything a tree of layout objects needs from the world
// outside.  It runs the two layout passes for a rectangle, draws the tree
// with clipping and origin shifts (each object draws at (0, 0) of its own
// content, clipped to what its parent offered), finds the object under a
// point, turns mouse input into enter, leave, move, down and click calls,
// and repaints its window control when the tree or its data changes.
//
// TLaHostWinControl is the plain graphic control that hosts a tree.
#pragma once

#include "gridlib/base/laobjects.h"
#include "platform/db/datasource.h"
#include "platform/ui/windowing/controls.h"

#include <vector>

class TDataSet;
class TLaHost;

// The control a host paints in.
class ILaHostWinControl {
public:
  virtual ~ILaHostWinControl() = default;
  virtual void InvalidateHost(TLaHost* LaHost) = 0;
};

// Repaints the host's control on every dataset and record change.
class TLaHostDataLink : public TDataLink {
  RTL_CLASS(TLaHostDataLink, TDataLink)
public:
  explicit TLaHostDataLink(TLaHost* ALaHost) : FLaHost(ALaHost) {}

protected:
  // reimplemented
  void DataSetChanged() override;
  void RecordChanged(TField* Field) override;

private:
  TLaHost* FLaHost;  // not owned
};

class TLaHost : public TComponent {
  RTL_CLASS(TLaHost, TComponent)
public:
  explicit TLaHost(TComponent* AOwner);
  TLaHost(TComponent* AOwner, ILaHostWinControl* ALaHostWinControl);
  ~TLaHost() override;
  // A new host owned by AOwner with a copy of this one's tree.
  TLaHost* CreateCopy(TComponent* AOwner);

  // properties
  // The root, held weakly: whoever made the tree frees it.
  TLaObjectEh* LaObject() const { return FLaObject; }
  void SetLaObject(TLaObjectEh* Value);
  TLaObjectEh* DesignBacklightObject() const { return FDesignBacklightObject; }
  void SetDesignBacklightObject(TLaObjectEh* Value);
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  ILaHostWinControl* LaHostWinControl() const { return FLaHostWinControl; }

  // QueryLayout for ARect's size, then PerformLayout at (0, 0).
  void UpdateLayout(TRect ARect, TCanvas* ACanvas);
  // Layout, then the tree and the back-light drawn into ARect.
  void LayoutAndDraw(TRect ARect, TCanvas* ACanvas);
  // The deepest object under APoint (host coordinates), the later sibling
  // where they overlap; nullptr outside the root.
  TLaObjectEh* GetLaObjectAtPoint(TPoint APoint);
  // The object's content box in host coordinates; an object outside the tree
  // raises Exception.
  TRect LaObjectInHostRect(TLaObjectEh* ALaObject);

  // mouse, in host coordinates
  void HandleMouseMove(TShiftState Shift, Integer X, Integer Y);
  void HandleMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void HandleMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void HandleMouseLeave();
  void HandleMouseEnter() {}

  // reimplemented
  void Assign(TPersistent* Source) override;

  // introduced virtuals, in slot order
  virtual void NotifyHostControl();
  virtual void Invalidate();

private:
  void drawObject(TLaObjectEh* Object, TRect R, TRect ClipBase, TCanvas* ACanvas);
  void drawBacklight(TLaObjectEh* Object, TCanvas* ACanvas);
  // The objects under P, outermost first.
  std::vector<TLaObjectEh*> objectsAt(TPoint P);
  TPoint relativeToObject(TLaObjectEh* Object, Integer X, Integer Y);

  TLaObjectEh* FLaObject = nullptr;
  TLaObjectEh* FDesignBacklightObject = nullptr;
  ILaHostWinControl* FLaHostWinControl = nullptr;
  TLaHostDataLink* FDataLink;
  TPoint FLastMousePos;
  std::vector<TLaObjectEh*> FMouseOverObjList;
  TLaObjectEh* FMouseDownObj = nullptr;
};

template <class T>
T* TLaObjectEh::CreateWith(TComponent* AOwner, TLaHost* ALaHost) {
  T* Result = new T(AOwner);
  ALaHost->SetLaObject(Result);
  return Result;
}

class TLaHostWinControl : public TGraphicControl, public ILaHostWinControl {
  RTL_CLASS(TLaHostWinControl, TGraphicControl)
  UI_MESSAGE_MAP
public:
  explicit TLaHostWinControl(TComponent* AOwner);
  ~TLaHostWinControl() override;

  TLaObjectEh* LaObject() const { return FLaHost->LaObject(); }
  void SetLaObject(TLaObjectEh* Value);
  TLaHost* LaHost() const { return FLaHost; }
  TDataSource* DataSource() const { return FLaHost->DataSource(); }
  void SetDataSource(TDataSource* Value) { FLaHost->SetDataSource(Value); }
  TDataSet* GetDataSet() const;

  void InvalidateHost(TLaHost*) override { Invalidate(); }

protected:
  // reimplemented
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // message handlers
  void CMMouseEnter(TCMMouseEnter& Message);
  void CMMouseLeave(TCMMouseLeave& Message);
  void CMHintShow(TCMHintShow& Message);

private:
  TLaHost* FLaHost;  // owned
};
