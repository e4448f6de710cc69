#include "QZFramework/Renderer/OpenGL/GLPolygon.h"

#include <GL/glu.h>

#include <vector>

namespace QZ {

namespace {

GLUtesselator* Tessellator() {
  static GLUtesselator* const tessellator = [] {
    GLUtesselator* made = gluNewTess();
    gluTessNormal(made, 0.0, 0.0, 1.0);
    gluTessProperty(made, GLU_TESS_TOLERANCE, 1.0);
    gluTessCallback(made, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(&glVertex3dv));
    gluTessCallback(made, GLU_TESS_BEGIN, reinterpret_cast<_GLUfuncptr>(&glBegin));
    gluTessCallback(made, GLU_TESS_END, reinterpret_cast<_GLUfuncptr>(&glEnd));
    return made;
  }();
  return tessellator;
}

} // namespace

void CGLPolygon::Tessellate(const PolylineT<float>& polyline) {
  GLUtesselator* tessellator = Tessellator();
  if (!tessellator || polyline.GetCount() < 3) {
    return;
  }
  // The tessellator keeps pointers to the vertices until the polygon ends.
  static std::vector<GLdouble> vertices;
  vertices.resize(size_t(polyline.GetCount()) * 3);
  gluTessProperty(tessellator, GLU_TESS_BOUNDARY_ONLY, 0);
  gluTessBeginPolygon(tessellator, nullptr);
  gluTessBeginContour(tessellator);
  for (uint32_t i = 0; i < polyline.GetCount(); ++i) {
    GLdouble* vertex = &vertices[size_t(i) * 3];
    vertex[0] = polyline.GetPoints()[i].x;
    vertex[1] = polyline.GetPoints()[i].y;
    vertex[2] = 0.0;
    gluTessVertex(tessellator, vertex, vertex);
  }
  gluTessEndContour(tessellator);
  gluTessEndPolygon(tessellator);
}

} // namespace QZ
