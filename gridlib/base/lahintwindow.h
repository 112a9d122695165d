// The data hint window: a hint whose content is a layout-object tree drawn
// for one data row of a grid, without moving the grid's current record.
//
// The data grid hands the hint machinery its data-hint parameters as the
// hint data; the grid and the parameters reach this window only through the
// two interfaces below, which the data grid implements.
#pragma once

#include "gridlib/base/hintwindows.h"
#include "gridlib/base/lahost.h"

// The grid that asked for the hint.
class IDataHintGridEh {
public:
  virtual ~IDataHintGridEh() = default;
  // Makes data row Index readable without moving the dataset; pairs with
  // InstantReadDataRowLeave.
  virtual void InstantReadDataRowEnter(Integer Index) = 0;
  virtual void InstantReadDataRowLeave() = 0;
  // The data source of the grid's data link; nullptr when unset.
  virtual TDataSource* GetDataSource() = 0;
};

// The data-hint parameters of a grid cell, implemented by the object the
// grid passes as hint data (a TObject).
class IDataHintParamsEh {
public:
  virtual ~IDataHintParamsEh() = default;
  // The root of the tree to show; nullptr for a plain text hint.
  virtual TLaObjectEh* LaHintObject() = 0;
  virtual IDataHintGridEh* Grid() = 0;
  // The data row of the hinted cell.
  virtual Integer DataRowNum() = 0;
};

// Paints its tree for data row DataRowNum of Grid; a negative row paints
// without reading one.
class TDBGridEhLaHostWinControl : public TLaHostWinControl {
  RTL_CLASS(TDBGridEhLaHostWinControl, TLaHostWinControl)
public:
  explicit TDBGridEhLaHostWinControl(TComponent* AOwner) : TLaHostWinControl(AOwner) {}

  Integer DataRowNum = 0;
  IDataHintGridEh* Grid = nullptr;  // not owned

protected:
  // reimplemented
  void Paint() override;
};

class TLaHintWindowEh : public THintWindowEh {
  RTL_CLASS(TLaHintWindowEh, THintWindowEh)
public:
  explicit TLaHintWindowEh(TComponent* AOwner);

  TDBGridEhLaHostWinControl* LaHost() const { return FLaHost; }

  // reimplemented
  // Grid hint parameters with a tree: the tree's needed size measured for
  // the hinted row, 2 pixels wider; anything else: a plain text hint.
  TRect CalcHintRect(Integer MaxWidth, const String& AHint, void* AData) override;

protected:
  // reimplemented
  void Paint() override;

private:
  void paintBackground();

  TDBGridEhLaHostWinControl* FLaHost;  // owned by the window
};
