#include "QZFramework/Renderer/OpenGL/GLErrorStrings.h"

#include <gtest/gtest.h>

namespace {

using QZ::WString;

class GLErrorStringsTest : public testing::Test {
protected:
  void SetUp() override { QZ::SetGLErrorTexts({}); }
  void TearDown() override { QZ::SetGLErrorTexts({}); }
};

TEST_F(GLErrorStringsTest, BuiltInTextsServeUntilATableIsGiven) {
  EXPECT_EQ(QZ::GetGLErrorString("GL_ERROR_CAPTION"), "OpenGL Error");
  EXPECT_EQ(QZ::GetGLErrorString("GL_ERROR_MESSAGE_CREATE_CONTEXT"),
            "The OpenGL rendering context could not be created.");
  EXPECT_EQ(QZ::GetGLErrorString("GL_ERROR_NOPE"), "GL_ERROR_NOPE");
  EXPECT_EQ(QZ::GetGLProcAddressErrorString(127, "The specified procedure could not be found."),
            "An OpenGL entry point could not be found (error 127: The specified procedure could not be found.).");
}

TEST_F(GLErrorStringsTest, TheFrameworkTableReplacesTheTextsItHas) {
  QZ::SetGLErrorTexts({{WString(u"GL_ERROR_CAPTION"), WString(u"OpenGL-Fehler")},
                       {WString(u"GL_ERROR_MESSAGE_GET_PROC_ADDRESS"), WString(u"Einstiegspunkt fehlt (%d, %s)")},
                       {WString(u"STARTUP_ERROR"), WString(u"not the renderer's")}});
  EXPECT_EQ(QZ::GetGLErrorString("GL_ERROR_CAPTION"), "OpenGL-Fehler");
  EXPECT_EQ(QZ::GetGLErrorString("GL_ERROR_UPDATE_DRIVER"),
            "  Please make sure the latest driver for your graphics card is installed.");
  EXPECT_EQ(QZ::GetGLErrorString("STARTUP_ERROR"), "STARTUP_ERROR");
  EXPECT_EQ(QZ::GetGLProcAddressErrorString(6, "Invalid handle"), "Einstiegspunkt fehlt (6, Invalid handle)");

  // A later table replaces the whole earlier one.
  QZ::SetGLErrorTexts({{WString(u"GL_ERROR_MESSAGE_CREATE_CONTEXT"), WString(u"Kein Kontext")}});
  EXPECT_EQ(QZ::GetGLErrorString("GL_ERROR_CAPTION"), "OpenGL Error");
  EXPECT_EQ(QZ::GetGLErrorString("GL_ERROR_MESSAGE_CREATE_CONTEXT"), "Kein Kontext");
}

TEST_F(GLErrorStringsTest, AProcAddressTextThatDoesNotFitItsArgumentsGivesWayToTheBuiltInOne) {
  QZ::SetGLErrorTexts({{WString(u"GL_ERROR_MESSAGE_GET_PROC_ADDRESS"), WString(u"%s then %s")}});
  EXPECT_EQ(QZ::GetGLProcAddressErrorString(5, "Access is denied."),
            "An OpenGL entry point could not be found (error 5: Access is denied.).");
}

} // namespace
