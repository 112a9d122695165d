// The caption label of a data-aware edit and where it stands.
//
// TControlLabelEh is a subcomponent ("SubLabel") owned by the edit and
// lives on the edit's parent: it has a parent window only while its own
// Visible is set, shows while the edit shows too, and takes its caption
// from the edit (the field's display name, else the edit's name) until the
// user sets one.  TControlLabelLocationEh places it on one of 14 spots
// around the edit.  Both reach the edit only through IControlLabelOwnerEh.
#pragma once

#include "platform/ui/controls/stdctrls.h"

class IControlLabelOwnerEh;

RTL_ENUM(TLabelPositionEh, lpAboveLeftEh, lpAboveCenterEh, lpAboveRightEh, lpBelowLeftEh, lpBelowCenterEh,
         lpBelowRightEh, lpLeftTopEh, lpLeftTextBaselineEh, lpLeftCenterEh, lpLeftBottomEh, lpRightTopEh,
         lpRightTextBaselineEh, lpRightCenterEh, lpRightBottomEh)
RTL_ENUM(TSpacingBoundEh, sbNearBoundEh, sbFarBoundEh)

// ---------------------------------------------------------------------------
// TControlLabelEh

class TControlLabelEh : public TCustomLabel {
  RTL_CLASS(TControlLabelEh, TCustomLabel)
public:
  explicit TControlLabelEh(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  String Caption() { return TControl::Caption(); }
  // A text of the user's, kept across field changes; empty brings the
  // owner's caption back.
  void SetCaption(const String& Value);
  bool IsCaptionStored() const { return FCaptionStored; }
  // The label's own wish; it shows only while its owner is visible too.
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // An invisible label's size is not stored.
  bool IsSizeStored() const { return FVisible; }
  // Parent: the focus control's while visible, none otherwise.
  void UpdateParent();

  // introduced virtuals, in slot order
  virtual void UpdateVisibility();
  virtual void UpdateCaption();

  // reimplemented
  void Loaded() override;

protected:
  // The automatic size, then the owner places the label.
  void AdjustBounds() override;

private:
  IControlLabelOwnerEh* owner() const;

  bool FCaptionStored = false;
  bool FVisible = false;
};

// ---------------------------------------------------------------------------
// TControlLabelLocationEh

class TControlLabelLocationEh : public TPersistent {
  RTL_CLASS(TControlLabelLocationEh, TPersistent)
public:
  // EditControl implements IControlLabelOwnerEh; not owned.
  explicit TControlLabelLocationEh(TControl* EditControl);
  static void DescribeProperties(TPropertyTable& Props);

  void Assign(TPersistent* Source) override;

  // properties; each change re-places the label
  TSpacingBoundEh LabelSpacingBound() const { return FLabelSpacingBound; }
  void SetLabelSpacingBound(TSpacingBoundEh Value);
  Integer Spacing() const { return FSpacing; }
  void SetSpacing(Integer Value);
  Integer Offset() const { return FOffset; }
  void SetOffset(Integer Value);
  TLabelPositionEh Position() const { return FPosition; }
  void SetPosition(TLabelPositionEh Value);

  // The label's top-left in the edit's parent for a label of LabelWidth x
  // LabelHeight.  The far bound adds the label's size in every position,
  // moving below and right labels further away.
  void CalcLabelPosForControl(Integer LabelWidth, Integer LabelHeight, TPoint& LabelPos);

private:
  void changed();

  Integer FSpacing = 3;
  Integer FOffset = 0;
  TLabelPositionEh FPosition = lpAboveLeftEh;
  TControl* FEditControl;
  TSpacingBoundEh FLabelSpacingBound = sbNearBoundEh;
};
