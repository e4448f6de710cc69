#pragma once
// QZ::LGLDisplayList: a range of OpenGL display lists, compiled once and called on
// every later frame.
//
//   QZ::RCPtr<QZ::LGLDisplayList> list(new QZ::LGLDisplayList);
//   list->Begin();  ... GL drawing ...  list->End();
//   list->Call();
//
// Needs the GL context current on the calling (main) thread.

#include <GL/gl.h>

#include "QZFramework/ObjectBase/Exception.h"
#include "QZFramework/ObjectBase/RCPtr.h"

namespace QZ {

class LGLDisplayList : public virtual LRefCountedObject {
public:
  // count lists (none when the driver gives none).
  explicit LGLDisplayList(GLsizei count = 1) : mBase(glGenLists(count)), mCount(mBase != 0 ? count : 0) {}
  ~LGLDisplayList() override {
    if (IsValid()) {
      glDeleteLists(mBase, mCount);
    }
  }
  LGLDisplayList(const LGLDisplayList&) = delete;
  LGLDisplayList& operator=(const LGLDisplayList&) = delete;

  bool IsValid() const { return mCount > 0 && glIsList(mBase) == GL_TRUE; }
  // Starts compiling list `index`: 0, or QZ_E_FAIL when the list is not valid.
  QZResult Begin(GLsizei index = 0) {
    if (!IsValid() || index >= mCount) {
      return QZ_E_FAIL;
    }
    glNewList(mBase + GLuint(index), GL_COMPILE);
    return QZ_OK;
  }
  // Ends compiling: 0, or QZ_E_FAIL when the list is not valid.
  QZResult End() {
    if (!IsValid()) {
      return QZ_E_FAIL;
    }
    glEndList();
    return QZ_OK;
  }
  // Runs count lists from first: 0, or QZ_E_INVALIDARG for a range beyond the lists.
  QZResult Call(GLsizei first = 0, GLsizei count = 1) const {
    if (first < 0 || count < 0 || first + count > mCount) {
      return QZ_E_INVALIDARG;
    }
    for (GLsizei i = first; i < first + count; ++i) {
      glCallList(mBase + GLuint(i));
    }
    return QZ_OK;
  }

private:
  GLuint mBase;
  GLsizei mCount;
};

} // namespace QZ
