// The GDI canvas with the calls its own shapes and fills are built of logged
// ("Ellipse(10,10,60,60)"), each still drawn by the GDI canvas.
#pragma once

#include "chartlib/canvas/teecanvas3d.h"

#include <QStringList>

class TLoggingCanvas : public TTeeCanvas3D {
public:
  using TTeeCanvas3D::Pie;
  QStringList Calls;

  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) override {
    Calls << QStringLiteral("Ellipse(%1,%2,%3,%4)").arg(X1).arg(Y1).arg(X2).arg(Y2);
    TTeeCanvas3D::Ellipse(X1, Y1, X2, Y2);
  }
  void Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) override {
    Calls << QStringLiteral("Pie(%1,%2,%3,%4,%5,%6,%7,%8)").arg(X1).arg(Y1).arg(X2).arg(Y2).arg(X3).arg(Y3).arg(X4).arg(Y4);
    TTeeCanvas3D::Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  }
  void LineTo(Integer X, Integer Y) override {
    Calls << QStringLiteral("LineTo(%1,%2)").arg(X).arg(Y);
    TTeeCanvas3D::LineTo(X, Y);
  }
};
