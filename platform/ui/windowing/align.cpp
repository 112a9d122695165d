// TWinControl's layout of its children: Align, Anchors and AutoSize.
//
// AlignControls works inside the rectangle AdjustClientRect leaves and
// places the aligned children in passes: alTop, alBottom, alLeft, alRight,
// alClient, alCustom; each pass takes the remaining rectangle's edge for its
// children, in order of position (top to bottom for alTop, bottom to top for
// alBottom, likewise across), the control that asked for the realign first
// among equals.  A child whose constraints refuse the size it was given keeps
// its own, and the remaining rectangle follows what it took.  Last come the
// children with anchors other than left + top, placed by their anchor rules
// against the parent's client size.
#include "platform/ui/windowing/controls.h"

#include "platform/rtl/rtlmath.h"
#include "platform/rtl/scopeexit.h"

#include <algorithm>
#include <climits>

namespace {

// C1 goes before C2 in the pass for Kind.
bool insertBefore(TControl* C1, TControl* C2, TAlign Kind) {
  switch (Kind) {
    case alTop: return C1->Top() < C2->Top();
    case alBottom: return C1->Top() + C1->Height() >= C2->Top() + C2->Height();
    case alLeft: return C1->Left() < C2->Left();
    case alRight: return C1->Left() + C1->Width() >= C2->Left() + C2->Width();
    default: return false;
  }
}

}  // namespace

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
  assert(FAlignLevel > 0 && "EnableAlign without DisableAlign");
  --FAlignLevel;
  if (FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
  if (ComponentState().Contains(csDestroying)) return;
  // Loaded realigns once loading is over.
  if (FAlignLevel != 0 || ComponentState().Contains(csLoading)) {
    FControlState.Include(csAlignmentNeeded);
    return;
  }
  DisableAlign();
  const TScopeExit Done([this] {
    // The pass covered what its own moves asked for.
    FControlState.Exclude(csAlignmentNeeded);
    EnableAlign();
  });
  TRect R = GetClientRect();
  AlignControls(AControl, R);
}

void TWinControl::AdjustClientRect(TRect& Rect) { InflateRect(Rect, -FBorderWidth, -FBorderWidth); }

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  const bool Work = std::any_of(FControls.begin(), FControls.end(), [](TControl* C) {
                      return C->Align() != alNone || C->Anchors() != TAnchors{akLeft, akTop};
                    }) ||
                    std::any_of(FWinControls.begin(), FWinControls.end(), [](TControl* C) {
                      return C->Align() != alNone || C->Anchors() != TAnchors{akLeft, akTop};
                    });
  if (Work) {
    AdjustClientRect(Rect);
    for (TAlign Kind : {alTop, alBottom, alLeft, alRight, alClient, alCustom, alNone}) doAlign(AControl, Kind, Rect);
  }
  if (FAutoSize && !ComponentState().Contains(csLoading)) AdjustSize();
}

void TWinControl::doAlign(TControl* AControl, TAlign Kind, TRect& Rect) {
  std::vector<TControl*> List;
  auto takes = [&](TControl* C) { return C->Align() == Kind && (Kind == alNone || C->Visible()); };
  if (AControl && takes(AControl)) List.push_back(AControl);
  for (Integer I = 0; I < ControlCount(); ++I) {
    TControl* C = Controls(I);
    if (C == AControl || !takes(C)) continue;
    auto It = List.begin();
    while (It != List.end() && !insertBefore(C, *It, Kind)) ++It;
    List.insert(It, C);
  }
  for (TControl* C : List) {
    if (Kind == alNone || C->Anchors() != AnchorAlign(Kind)) {
      anchorPosition(C);
      if (Kind == alNone) continue;
    }
    int NewWidth = Rect.Width();
    if (NewWidth < 0 || Kind == alLeft || Kind == alRight || Kind == alCustom) NewWidth = C->Width();
    int NewHeight = Rect.Height();
    if (NewHeight < 0 || Kind == alTop || Kind == alBottom || Kind == alCustom) NewHeight = C->Height();
    int NewLeft = Rect.Left;
    int NewTop = Rect.Top;
    switch (Kind) {
      case alTop: Rect.Top += NewHeight; break;
      case alBottom:
        Rect.Bottom -= NewHeight;
        NewTop = Rect.Bottom;
        break;
      case alLeft: Rect.Left += NewWidth; break;
      case alRight:
        Rect.Right -= NewWidth;
        NewLeft = Rect.Right;
        break;
      case alCustom:
        NewLeft = C->Left();
        NewTop = C->Top();
        CustomAlignPosition(C, NewLeft, NewTop, NewWidth, NewHeight, Rect);
        break;
      default: break;
    }
    C->FAnchorMove = true;
    const TScopeExit Done([C] { C->FAnchorMove = false; });
    C->SetBounds(NewLeft, NewTop, NewWidth, NewHeight);
    // A child that kept another size (constraints) takes what it took.
    if (C->Width() == NewWidth && C->Height() == NewHeight) continue;
    switch (Kind) {
      case alTop: Rect.Top -= NewHeight - C->Height(); break;
      case alBottom: Rect.Bottom += NewHeight - C->Height(); break;
      case alLeft: Rect.Left -= NewWidth - C->Width(); break;
      case alRight: Rect.Right += NewWidth - C->Width(); break;
      case alClient:
        Rect.Right += C->Width() - NewWidth;
        Rect.Bottom += C->Height() - NewHeight;
        break;
      default: break;
    }
  }
}

void TWinControl::anchorPosition(TControl* C) {
  if (C->FOriginalParentSize.X == 0 || C->FOriginalParentSize.Y == 0) return;
  const TPoint ParentSize = ClientRect().BottomRight();
  const TPoint Original = C->FOriginalParentSize;
  const TPoint Rules = C->FAnchorRules;
  const TAnchors Anchors = C->Anchors();
  int NewLeft = C->Left();
  int NewTop = C->Top();
  int NewWidth = C->Width();
  int NewHeight = C->Height();
  if (Anchors.Contains(akRight)) {
    if (Anchors.Contains(akLeft))
      NewWidth = ParentSize.X - (Original.X - Rules.X);
    else
      NewLeft = ParentSize.X - (Original.X - Rules.X);
  } else if (!Anchors.Contains(akLeft)) {
    NewLeft = MulDiv(Rules.X, ParentSize.X, Original.X) - NewWidth / 2;
  }
  if (Anchors.Contains(akBottom)) {
    if (Anchors.Contains(akTop))
      NewHeight = ParentSize.Y - (Original.Y - Rules.Y);
    else
      NewTop = ParentSize.Y - (Original.Y - Rules.Y);
  } else if (!Anchors.Contains(akTop)) {
    NewTop = MulDiv(Rules.Y, ParentSize.Y, Original.Y) - NewHeight / 2;
  }
  C->FAnchorMove = true;
  const TScopeExit Done([C] { C->FAnchorMove = false; });
  C->SetBounds(NewLeft, NewTop, NewWidth, NewHeight);
}

void TWinControl::CustomAlignPosition(TControl*, int&, int&, int&, int&, TRect&) {}

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight) {
  int Right = INT_MIN;
  int Bottom = INT_MIN;
  for (Integer I = 0; I < ControlCount(); ++I) {
    TControl* C = Controls(I);
    if (!C->Visible()) continue;
    Right = std::max(Right, C->Left() + C->Width());
    Bottom = std::max(Bottom, C->Top() + C->Height());
  }
  if (Right == INT_MIN) return true;
  // The children's extent, plus the margins AdjustClientRect keeps on the
  // far sides and the frame.
  const TRect Client = GetClientRect();
  TRect Adjusted = Client;
  AdjustClientRect(Adjusted);
  NewWidth = Right + (Client.Right - Adjusted.Right) + (FWidth - Client.Width());
  NewHeight = Bottom + (Client.Bottom - Adjusted.Bottom) + (FHeight - Client.Height());
  return true;
}
