// The note and CC selectors inside their labelled selectors: notes named with flats in
// octaves from -2, controllers named by number, the user's step and the owner's value each
// raising one change of the selector, and skins without one of their children.
#include <gtest/gtest.h>

#include "../ElementPageKit.h"

namespace Elements {
namespace {

class NoteAndCCSelectorsTest : public ::testing::Test {
protected:
  NoteAndCCSelectorsTest() {
    note = kit.Find<LVariantBufferSetterParameterPanel>("viewDevice/note");
    noteSelector = kit.Find<LMidiNoteSelector>("viewDevice/note/parameterControl");
    noteUpDown = kit.Find<QZ::LNumericUpDown>("viewDevice/note/parameterControl/numericUpDown");
    cc = kit.Find<LVariantBufferSetterParameterPanel>("viewDevice/cc");
    ccSelector = kit.Find<LNumberBoxTextSelector>("viewDevice/cc/parameterControl");
    ccUpDown = kit.Find<QZ::LNumericUpDown>("viewDevice/cc/parameterControl/numericUpDown");
    EXPECT_TRUE(note && noteSelector && noteUpDown && cc && ccSelector && ccUpDown);
    ccUpDown->SetValueRange(0.0, 127.0, 0); // as the edit pages give it
  }
  std::u16string NoteName() { return kit.Text("note/parameterControl/noteNameLabel"); }
  std::u16string Octave() { return kit.Text("note/parameterControl/octaveNameLabel"); }

  ElementKit kit{Tree(LabelledNote("note", {10, 10, 200, 42}) + LabelledCC("cc", {220, 10, 260, 42}))};
  RCPtr<LVariantBufferSetterParameterPanel> note;
  RCPtr<LMidiNoteSelector> noteSelector;
  RCPtr<QZ::LNumericUpDown> noteUpDown;
  RCPtr<LVariantBufferSetterParameterPanel> cc;
  RCPtr<LNumberBoxTextSelector> ccSelector;
  RCPtr<QZ::LNumericUpDown> ccUpDown;
};

TEST_F(NoteAndCCSelectorsTest, NotesAreNamedWithFlatsInOctavesFromMinusTwoAndControllersByNumber) {
  const struct {
    uint8_t note;
    const char16_t* name;
    const char16_t* octave;
  } notes[] = {{0, u"C", u"(-2)"}, {11, u"B", u"(-2)"}, {12, u"C", u"(-1)"}, {13, u"Db", u"(-1)"},
               {60, u"C", u"(3)"}, {70, u"Bb", u"(3)"}, {127, u"G", u"(8)"}};
  for (const auto& n : notes) {
    EXPECT_EQ(note->SetValue(Bytes({n.note})), QZ::QZ_OK);
    EXPECT_EQ(NumberOf(noteUpDown), n.note);
    EXPECT_EQ(NumberOf(noteSelector), n.note);
    EXPECT_EQ(NoteName() + u" " + Octave(), std::u16string(n.name) + u" " + n.octave) << int(n.note);
  }
  EXPECT_DOUBLE_EQ(noteSelector->GetRangeMaximum(), 127.0);
  EXPECT_DOUBLE_EQ(noteUpDown->GetRangeMaximum(), 127.0);

  const std::pair<double, const char16_t*> controllers[] = {{7, u"Channel Volume"}, {123, u"All Notes Off"},
                                                            {0, u"Bank Select"},    {74, u"Cutoff Frequency"},
                                                            {3, u"Controller 3"},   {127, u"Poly Mode On"}};
  for (const auto& [number, name] : controllers) {
    ccUpDown->SetValue(ccUpDown->ValueToNormalized(number));
    EXPECT_EQ(kit.Text("cc/parameterControl/label"), name) << number;
    EXPECT_EQ(NumberOf(ccSelector), number);
  }

  // A position past a table leaves the label: the octave table has 11 entries.
  const auto octave = kit.Find<QZ::LLabel>("viewDevice/note/parameterControl/octaveNameLabel");
  EXPECT_EQ(noteSelector->SetLabelFromStringTable(octave->GetStringTable(), 11, octave), QZ::QZ_OK);
  EXPECT_EQ(noteSelector->SetLabelFromStringTable(nullptr, 0, octave), QZ::QZ_OK);
  EXPECT_EQ(Octave(), u"(8)");
}

TEST_F(NoteAndCCSelectorsTest, TheUsersStepAndTheOwnersValueEachRaiseOneChange) {
  noteSelector->SetValue(59.0 / 127.0);
  const RCPtr<ValueChanges> noteChanges = ValueChanges::On(noteSelector);
  kit.Click(noteUpDown->GetButtonUp());
  EXPECT_EQ(NumberOf(noteSelector), 60.0);
  EXPECT_EQ(noteChanges->scaled, (std::vector<double>{60.0}));
  EXPECT_EQ(NoteName() + Octave(), u"C(3)");

  noteChanges->scaled.clear();
  EXPECT_DOUBLE_EQ(noteSelector->SetValue(36.0 / 127.0), 36.0 / 127.0);
  EXPECT_EQ(NumberOf(noteUpDown), 36.0);
  EXPECT_EQ(noteChanges->scaled, (std::vector<double>{36.0}));
  EXPECT_EQ(NoteName() + Octave(), u"C(1)");
  noteSelector->SetValue(36.0 / 127.0); // held already: nothing raised
  EXPECT_EQ(noteChanges->scaled.size(), 1u);

  const RCPtr<ValueChanges> ccChanges = ValueChanges::On(ccSelector);
  EXPECT_EQ(cc->SetValue(Bytes({0x4A})), QZ::QZ_OK);
  EXPECT_EQ(NumberOf(ccUpDown), 74.0);
  EXPECT_EQ(NumberOf(ccSelector), 74.0);
  EXPECT_EQ(ccChanges->scaled, (std::vector<double>{74.0}));
  EXPECT_EQ(kit.Text("cc/parameterControl/label"), u"Cutoff Frequency");
}

TEST(NoteAndCCSelectorSkinTest, EachMissingChildFailsWithItsName) {
  const char* const kNote = " : LMidiNoteSelector::Initialize : UI\\PresetEditorCommon\\MidiNoteSelector : Line ";
  const char* const kCC =
      " : LNumberBoxTextSelector::Initialize : UI\\PresetEditorCommon\\NumberBoxTextSelector : Line ";
  const struct {
    std::string entry;
    std::string text;
  } cases[] = {
      {LabelledNote("a", {0, 0, 200, 42}, {"noteNameLabel"}), std::string("noteNameLabel") + kNote + "26"},
      {LabelledNote("b", {0, 0, 200, 42}, {"octaveNameLabel"}), std::string("octaveNameLabel") + kNote + "27"},
      {LabelledNote("c", {0, 0, 200, 42}, {"numericUpDown"}), std::string("numericUpDown") + kNote + "28"},
      {LabelledCC("d", {0, 0, 260, 42}, {"label"}), std::string("label") + kCC + "26"},
      {LabelledCC("e", {0, 0, 260, 42}, {"numericUpDown"}), std::string("numericUpDown") + kCC + "27"},
  };
  std::string entries = Tree({});
  for (const auto& c : cases) {
    entries += c.entry;
  }
  ElementKit kit(entries);
  char name = 'a';
  for (const auto& c : cases) {
    EXPECT_EQ(kit.CreateFails(std::string(1, name++)), "Runtime Error : Null Pointer : Cannot find child " + c.text);
  }
}

} // namespace
} // namespace Elements
