// The 3D viewpoint of a chart panel: orthogonal (oblique) or rotated view,
// angles, offsets, zoom, perspective, and how fonts, pens and check boxes
// follow the zoom.  The projection (TTeeCanvas3D) reads it at every paint.
//
// Setters store a changed value and ask the owning panel to repaint
// (FOnInvalidate); offsets also report scrolling, and the zoom reports its
// new value before it changes.
#pragma once

#include "platform/rtl/component.h"

RTL_ENUM(TCanvasZoomText, ztManual, ztNo, ztAuto)
RTL_ENUM(TCanvasZoomPen, zpManual, zpNo, zpAuto)

using TTeeView3DScrolled = TMethodPtr<void(bool IsHoriz)>;
using TTeeView3DChangedZoom = TMethodPtr<void(Integer NewZoom)>;

class TView3DOptions : public TPersistent {
  RTL_CLASS(TView3DOptions, TPersistent)
public:
  // AParent is the owning panel, not owned.
  explicit TView3DOptions(TComponent* AParent);
  static void DescribeProperties(TPropertyTable& Props);
  // From other view options: every setting as fields, without repaint or
  // events; ZOffset, Parent and the events stay.  Other sources are ignored.
  void Assign(TPersistent* Source) override;

  // FOnInvalidate(this), when set.
  void Repaint();
  // A rotated (not orthogonal) view turned so far that it shows the back:
  // 90 < Rotation < 270.
  bool BackFaced() const;
  // 1 when not orthogonal; else tan of OrthoAngle (of 180 - OrthoAngle above
  // 90 degrees).
  double OrthoRatio() const;

  // published properties
  Integer Elevation() const;
  void SetElevation(Integer Value) { SetElevationFloat(Value); }
  Integer FontZoom() const { return FFontZoom; }
  void SetFontZoom(Integer Value);
  Integer PenZoom() const { return FPenZoom; }
  void SetPenZoom(Integer Value);
  Integer CheckBoxZoom() const { return FCheckBoxZoom; }
  void SetCheckBoxZoom(Integer Value);
  Integer HorizOffset() const;
  void SetHorizOffset(Integer Value) { SetHorizOffsetFloat(Value); }
  Integer OrthoAngle() const { return FOrthoAngle; }
  void SetOrthoAngle(Integer Value);
  bool Orthogonal() const { return FOrthogonal; }
  void SetOrthogonal(bool Value);
  Integer Perspective() const { return FPerspective; }
  // Stores at most 100.
  void SetPerspective(Integer Value);
  Integer Rotation() const;
  void SetRotation(Integer Value) { SetRotationFloat(Value); }
  Integer Tilt() const;
  void SetTilt(Integer Value) { SetTiltFloat(Value); }
  Integer VertOffset() const;
  void SetVertOffset(Integer Value) { SetVertOffsetFloat(Value); }
  Integer Zoom() const;
  void SetZoom(Integer Value) { SetZoomFloat(Value); }
  TCanvasZoomText ZoomText() const { return FZoomText; }
  // A value outside the enumeration is ignored.
  void SetZoomText(TCanvasZoomText Value);
  TCanvasZoomPen ZoomPen() const { return FZoomPen; }
  void SetZoomPen(TCanvasZoomPen Value);

  // public, not streamed (degrees, pixels, percent)
  TComponent* Parent() const { return FParent; }
  void SetParent(TComponent* Value) { FParent = Value; }
  double ElevationFloat() const { return FElevation; }
  void SetElevationFloat(double Value);
  double HorizOffsetFloat() const { return FHorizOffset; }
  void SetHorizOffsetFloat(double Value);
  double RotationFloat() const { return FRotation; }
  void SetRotationFloat(double Value);
  double TiltFloat() const { return FTilt; }
  void SetTiltFloat(double Value);
  double VertOffsetFloat() const { return FVertOffset; }
  void SetVertOffsetFloat(double Value);
  double ZOffset() const { return FZOffset; }
  void SetZOffset(double Value);
  double ZoomFloat() const { return FZoom; }
  // Fires OnChangedZoom with the rounded new value before storing it.
  void SetZoomFloat(double Value);

  // events
  TTeeView3DChangedZoom OnChangedZoom;
  TTeeView3DScrolled OnScrolled;
  // Set by the owning panel to repaint itself; without it changes are silent.
  TNotifyEvent FOnInvalidate;

private:
  // Stores a changed value and repaints; true when it changed.
  template <class T>
  bool setValue(T& Field, T Value);
  bool setFloat(double& Field, double Value);

  double FElevation = 345;
  double FRotation = 345;
  double FTilt = 0;
  double FHorizOffset = 0;
  double FVertOffset = 0;
  double FZOffset = 0;
  double FZoom = 100;
  Integer FFontZoom = 100;
  Integer FPenZoom = 100;
  Integer FCheckBoxZoom = 100;
  Integer FOrthoAngle = 45;
  Integer FPerspective = 15;
  bool FOrthogonal = true;
  TCanvasZoomText FZoomText = ztAuto;
  TCanvasZoomPen FZoomPen = zpAuto;
  TComponent* FParent;
};
