#pragma once
// QZ::CGLPolygon: fills a polygon of any shape by tessellating it with the GLU
// tessellator into OpenGL triangles (drawn at once, or compiled into a display list
// being built).
//
//   QZ::CGLPolygon::Tessellate(outline);   // between glNewList and glEndList, or directly
//
// One tessellator serves the process, made on first use. Needs the GL context current
// on the calling (main) thread.

#include "QZFramework/Utilities/Graphics/Polyline.h"

namespace QZ {

class CGLPolygon {
public:
  // Emits the filled polygon through all the polyline's points (z 0), odd winding.
  static void Tessellate(const PolylineT<float>& polyline);
};

} // namespace QZ
