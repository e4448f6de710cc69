// What a message box's style word asks for: the buttons of each type in their order, the
// default button, what Escape and a cancelled box answer, and the icon.

#include <gtest/gtest.h>

#include <vector>

#include "Platform/Window/MessageBoxStyle.h"

namespace {

using namespace QZ::Platform::Window;

std::vector<int32_t> Answers(uint32_t style) {
  const MessageBoxButtons buttons = ButtonsOfStyle(style);
  return {buttons.answers.begin(), buttons.answers.begin() + buttons.count};
}

TEST(MessageBoxStyleTest, EachTypeShowsItsButtonsInTheSystemsOrderAndAnUnknownOneOkAlone) {
  EXPECT_EQ(Answers(MB_OK), std::vector<int32_t>({IDOK}));
  EXPECT_EQ(Answers(MB_OKCANCEL), std::vector<int32_t>({IDOK, IDCANCEL}));
  EXPECT_EQ(Answers(MB_ABORTRETRYIGNORE), std::vector<int32_t>({IDABORT, IDRETRY, IDIGNORE}));
  EXPECT_EQ(Answers(MB_YESNOCANCEL), std::vector<int32_t>({IDYES, IDNO, IDCANCEL}));
  EXPECT_EQ(Answers(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), std::vector<int32_t>({IDYES, IDNO}));
  EXPECT_EQ(Answers(MB_RETRYCANCEL), std::vector<int32_t>({IDRETRY, IDCANCEL}));
  EXPECT_EQ(Answers(0x6), std::vector<int32_t>({IDOK}));
}

TEST(MessageBoxStyleTest, TheDefaultButtonIsTheOneNamedOrTheFirstWhenTheBoxHasNoSuchButton) {
  EXPECT_EQ(DefaultAnswer(MB_YESNOCANCEL), IDYES);
  EXPECT_EQ(DefaultAnswer(MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(DefaultAnswer(MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
  EXPECT_EQ(DefaultAnswer(MB_YESNO | MB_DEFBUTTON3), IDYES);
  EXPECT_EQ(DefaultAnswer(MB_OK | MB_DEFBUTTON2), IDOK);
}

TEST(MessageBoxStyleTest, EscapeCancelsWhereTheBoxHasCancelOrOnlyOkAndACancelledBoxDoesNothing) {
  EXPECT_EQ(EscapeAnswer(MB_OK), IDOK);
  EXPECT_EQ(EscapeAnswer(MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(EscapeAnswer(MB_YESNOCANCEL), IDCANCEL);
  EXPECT_EQ(EscapeAnswer(MB_RETRYCANCEL), IDCANCEL);
  EXPECT_FALSE(EscapeAnswer(MB_YESNO));
  EXPECT_FALSE(EscapeAnswer(MB_ABORTRETRYIGNORE));
  EXPECT_EQ(CancelAnswer(MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(CancelAnswer(MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(CancelAnswer(MB_YESNO), IDNO);
  EXPECT_EQ(CancelAnswer(MB_ABORTRETRYIGNORE), IDABORT);
}

TEST(MessageBoxStyleTest, TheIconBitsPickTheIcon) {
  EXPECT_EQ(IconOfStyle(0), MessageBoxIcon::NoIcon);
  EXPECT_EQ(IconOfStyle(MB_ICONERROR | MB_YESNO), MessageBoxIcon::Error);
  EXPECT_EQ(IconOfStyle(MB_ICONQUESTION), MessageBoxIcon::Question);
  EXPECT_EQ(IconOfStyle(MB_ICONWARNING), MessageBoxIcon::Warning);
  EXPECT_EQ(IconOfStyle(MB_ICONINFORMATION), MessageBoxIcon::Information);
  EXPECT_EQ(IconOfStyle(0x50), MessageBoxIcon::NoIcon);
}

} // namespace
