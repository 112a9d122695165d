// TTeeTransform: a transform a chart part hands to the canvas with its
// drawing group (and the canvas's own, applied to the whole drawing).  Only
// the GDI+ canvas applies it.
#pragma once

#include "platform/rtl/component.h"
#include "platform/ui/graphics/geometry.h"

// Translation, then rotation (degrees) and scale about Origin, prepended to
// the world transform; Bounds clips when Clip is set.
class TTeeTransform : public TPersistent {
  RTL_CLASS(TTeeTransform, TPersistent)
public:
  struct TPoint3DSingle {
    float X = 0;
    float Y = 0;
    float Z = 0;
  };
  bool Enabled = true;
  TPoint3DSingle Origin;
  TPoint3DSingle Translate;
  TPoint3DSingle Scale{1, 1, 1};
  float Rotate = 0;
  bool Clip = false;
  TRect Bounds;
};
