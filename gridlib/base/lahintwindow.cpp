#include "gridlib/base/lahintwindow.h"

#include "gridlib/base/painters.h"
#include "platform/os/sysinfo.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/styles.h"
#include "platform/ui/windowing/application.h"

namespace {
// The tooltip background reaches past the client area so that its own
// border does not show.
constexpr Integer BackgroundOverhang = 4;
// The tree's width gets this much room beside it; its height none.
constexpr Integer ExtraHintWidth = 2;

// Runs Body between the grid's instant-read brackets; the leave runs also
// when Body raises.
template <class F>
void withDataRow(IDataHintGridEh* Grid, Integer Row, F Body) {
  Grid->InstantReadDataRowEnter(Row);
  const TScopeExit Leave([Grid] { Grid->InstantReadDataRowLeave(); });
  Body();
}
}  // namespace

void TDBGridEhLaHostWinControl::Paint() {
  if (DataRowNum < 0 || !Grid) {
    TLaHostWinControl::Paint();
    return;
  }
  withDataRow(Grid, DataRowNum, [this] { TLaHostWinControl::Paint(); });
}

TLaHintWindowEh::TLaHintWindowEh(TComponent* AOwner)
    : THintWindowEh(AOwner), FLaHost(new TDBGridEhLaHostWinControl(this)) {
  FLaHost->SetAlign(alClient);
  FLaHost->SetParent(this);
}

TRect TLaHintWindowEh::CalcHintRect(Integer MaxWidth, const String& AHint, void* AData) {
  TObject* Data = static_cast<TObject*>(AData);
  auto* Params = dynamic_cast<IDataHintParamsEh*>(Data);
  if (!Params || !Params->LaHintObject()) {
    FLaHost->SetLaObject(nullptr);
    FLaHost->SetVisible(false);
    // the plain hint reads a font from its data, and nothing else
    return THintWindowEh::CalcHintRect(MaxWidth, AHint, dynamic_cast<TFont*>(Data) ? AData : nullptr);
  }
  IDataHintGridEh* Grid = Params->Grid();
  FLaHost->SetVisible(true);
  FLaHost->SetLaObject(Params->LaHintObject());
  FLaHost->SetDataSource(Grid->GetDataSource());
  FLaHost->DataRowNum = Params->DataRowNum();
  FLaHost->Grid = Grid;
  TLaObjectEh* Root = Params->LaHintObject();
  const TRect WorkArea = Screen->WorkAreaRect();
  withDataRow(Grid, Params->DataRowNum(),
              [&] { Root->QueryLayout({WorkArea.Width(), WorkArea.Height()}, Canvas()); });
  return TRect(0, 0, Root->NeededSize().cx + ExtraHintWidth, Root->NeededSize().cy);
}

void TLaHintWindowEh::Paint() {
  if (!FLaHost->LaObject()) {
    THintWindowEh::Paint();
    return;
  }
  paintBackground();  // the host control draws the tree over it
}

void TLaHintWindowEh::paintBackground() {
  TCustomStyleServices* Style = StyleServices();
  if (!Style->Enabled()) return;
  const TRect Client = ClientRect();
  const TRect R(Client.Left - BackgroundOverhang, Client.Top - BackgroundOverhang,
                Client.Right + BackgroundOverhang, Client.Bottom + BackgroundOverhang);
  if (CheckWin32Version(6, 0) && Style->IsSystemStyle()) {
    Style->DrawElement(Canvas()->Handle(), Style->GetElementDetails(tttStandardNormal), R, &Client);
    return;
  }
  const TThemedElementDetails Details = Style->GetElementDetails(thHintNormal);
  const auto ColorOf = [&](TElementColor Which) {
    TColor C = clNone;
    if (!Style->GetElementColor(Details, Which, C) || C == clNone) C = clInfoBk;
    return C;
  };
  FillRectGradientEh(Canvas(), R, ColorOf(ecGradientColor1), ColorOf(ecGradientColor2));
}
