// The arpeggiator and scale pages and the tempo group: the selectors carry the module's ids
// whatever the skin's order, send the user's choices through the main control and show what
// comes back; the tempo travels as hundreds and remainder both ways, kept within 20 .. 240;
// values for other ids change nothing; skins without a child fail with its name.
#include <gtest/gtest.h>

#include "ArpClockScalePageKit.h"

namespace ArpClockScale {
namespace {

constexpr uint32_t kClock = 121;
constexpr uint32_t kArp = 124;
constexpr uint32_t kScale = 138;

using Texts = std::vector<std::u16string>;

class ArpClockScalePagesTest : public ::testing::Test {
protected:
  ArpClockScalePagesTest() {
    arp = kit.Find<LArpEditPanel>("viewDevice/arpPage");
    scale = kit.Find<LScaleEditPanel>("viewDevice/scalePage");
    clock = kit.Find<LClockEditPanel>("viewDevice/clockGroup");
    EXPECT_TRUE(arp && scale && clock);
    for (uint32_t id = kClock; id < kScale + 2; ++id) {
      kit.Device().Route(id, id < kArp ? "clockGroup" : id < kScale ? "arpPage" : "scalePage");
    }
    arp->SetFirstParamID(nullptr, kArp, 0);
    scale->SetFirstParamID(nullptr, kScale, 0);
    clock->SetFirstParamID(nullptr, kClock, 0);
    // As the user preset panel does after binding: the engine announces the pages' values.
    kit.engine->ApplyParamValues(QZ::ParamDescriptors(QZ::ParamIdRange{kClock, kScale + 2 - kClock}));
    kit.PumpIdle();
  }

  // The combo box texts of the page's selectors.
  Texts Combos(const std::string& page, std::initializer_list<const char*> children) {
    Texts texts;
    for (const char* child : children) {
      texts.push_back(kit.Text(page + "/" + child + "/comboBox"));
    }
    return texts;
  }
  Texts ArpCombos() { return Combos("arpPage", {"octave", "type", "gate", "swing"}); }
  void Show(uint32_t id, const Variant& value) {
    kit.Hold(id, value);
    kit.PumpIdle();
  }
  void TypeTempo(std::u16string_view text) {
    kit.Type(kit.Find("viewDevice/clockGroup/tempo/textBox"), text);
    kit.Key(u"VKEY_RETURN");
  }
  double Tempo() { return NumberOf(clock->GetTempo()); }

  ArpClockScaleKit kit{Tree(ArpPage("arpPage", {0, 0, 700, 60}) + ScalePage("scalePage", {0, 70, 700, 60}) +
                                TempoGroup("clockGroup", {0, 140, 132, 164}),
                            800, 310)};
  RCPtr<LArpEditPanel> arp;
  RCPtr<LScaleEditPanel> scale;
  RCPtr<LClockEditPanel> clock;
};

TEST_F(ArpClockScalePagesTest, TheSelectorsCarryTheirIdsByNameWhateverTheSkinsOrder) {
  EXPECT_EQ(arp->GetParamCount() + scale->GetParamCount() + clock->GetParamCount(), 10u);
  const std::pair<const char*, uint32_t> bound[] = {
      {"arpPage/octave", kArp},        {"arpPage/latch", kArp + 1},        {"arpPage/type", kArp + 2},
      {"arpPage/gate", kArp + 3},      {"arpPage/swing", kArp + 4},        {"scalePage/rootNote", kScale},
      {"scalePage/scale", kScale + 1}, {"clockGroup/clockSource", kClock}, {"clockGroup/timeDivision", kClock + 2}};
  for (const auto& [path, id] : bound) {
    EXPECT_EQ(kit.Find<LVariantBufferSetterParameterPanel>(std::string("viewDevice/") + path)->GetParameter().id, id)
        << path;
  }
  EXPECT_TRUE(kit.Sent().empty()) << "the announced values were not sent back";
}

TEST_F(ArpClockScalePagesTest, ArpChoicesGoUpAsOneByteAndOnlyItsIdsComeBack) {
  const RCPtr<QZ::LControl> latch = kit.Find("viewDevice/arpPage/latch/parameterControl");
  kit.Click(latch);
  kit.PumpIdle(); // the engine announces it; the page shows it without sending it back
  kit.Click(latch);
  ASSERT_TRUE(kit.Choose(kit.Find("viewDevice/arpPage/type/comboBox"), 5)); // "Random"
  EXPECT_EQ(kit.Sent(), (SentList{{kArp + 1, {0x01}}, {kArp + 1, {0x00}}, {kArp + 2, {0x05}}}));
  kit.engine->setCalls.clear();

  Show(kArp + 3, Bytes({8}));
  EXPECT_EQ(kit.Text("arpPage/gate/comboBox"), u"80 %");
  for (const auto& [id, byte] : {std::pair{kArp + 3, 5}, {kArp + 1, 1}, {kArp, 2}, {kArp + 4, 7}}) {
    Show(id, Bytes({uint8_t(byte)}));
  }
  EXPECT_EQ(ArpCombos(), (Texts{u"2", u"Random", u"50 %", u"75%"}));
  EXPECT_EQ(NumberOf(latch), 1.0) << "on";

  for (const uint32_t id : {kArp + 5, kArp - 1, kArp + 100}) {
    EXPECT_EQ(arp->SetParamValueLocal(QZ::ParamDescriptor(id), Bytes({0}), true), QZ::QZ_OK) << id;
  }
  EXPECT_EQ(ArpCombos(), (Texts{u"2", u"Random", u"50 %", u"75%"}));
  EXPECT_EQ(NumberOf(latch), 1.0);
  EXPECT_TRUE(kit.Sent().empty());
}

TEST_F(ArpClockScalePagesTest, ScaleShowsRootAndScaleAndSendsTheChosenScale) {
  Show(kScale, Bytes({9}));
  Show(kScale + 1, Bytes({7}));
  EXPECT_EQ(Combos("scalePage", {"rootNote", "scale"}), (Texts{u"A", u"Blues"}));
  ASSERT_TRUE(kit.Choose(kit.Find("viewDevice/scalePage/scale/comboBox"), 6));
  EXPECT_EQ(kit.Sent(), (SentList{{kScale + 1, {0x06}}})) << "\"Dorian\"";
  kit.engine->setCalls.clear();
  for (const uint32_t id : {kScale + 2, kScale - 1}) {
    EXPECT_EQ(scale->SetParamValueLocal(QZ::ParamDescriptor(id), Bytes({2}), true), QZ::QZ_OK) << id;
  }
  EXPECT_EQ(Combos("scalePage", {"rootNote", "scale"}), (Texts{u"A", u"Dorian"}));
  EXPECT_TRUE(kit.Sent().empty());
}

TEST_F(ArpClockScalePagesTest, TheTempoGoesUpAsHundredsAndRemainderAndTakesThreeDigits) {
  const std::pair<std::u16string_view, std::vector<uint8_t>> typed[] = {
      {u"240", {0x02, 0x28}},
      {u"99", {0x00, 0x63}},
      {u"100", {0x01, 0x00}},
      {u"20", {0x00, 0x14}},
      {u"120", {0x01, 0x14}}}; // 120 last: it is shown at first
  SentList expected;
  for (const auto& [text, bytes] : typed) {
    TypeTempo(text);
    expected.emplace_back(kClock + 1, bytes);
  }
  EXPECT_EQ(kit.Sent(), expected);
  kit.engine->setCalls.clear();

  const RCPtr<QZ::LControl> text = kit.Find("viewDevice/clockGroup/tempo/textBox");
  kit.Type(text, u"1234");
  EXPECT_EQ(QZTest::UiKit::TextOf(text), u"123") << "the fourth digit is refused";
  kit.Key(u"VKEY_RETURN");
  EXPECT_EQ(kit.Sent(), (SentList{{kClock + 1, {0x01, 0x17}}}));

  // Every tempo of the range, as the buttons and the keys reach it.
  for (int tempo = 20; tempo <= 240; ++tempo) {
    kit.engine->setCalls.clear();
    clock->GetTempo()->SetValue(clock->GetTempo()->ValueToNormalized(tempo));
    const SentList sent = kit.Sent();
    ASSERT_TRUE(sent.size() == 1 && sent[0].second.size() == 2) << tempo;
    EXPECT_EQ(sent[0].second[0] * 100 + sent[0].second[1], tempo);
    EXPECT_LT(sent[0].second[1], 100) << tempo;
  }
}

TEST_F(ArpClockScalePagesTest, TheTempoShownIsTheTwoBytesKeptWithinItsRangeAndNotSentBack) {
  EXPECT_EQ(Tempo(), 120.0) << "the engine's default {01 14}";
  EXPECT_EQ(clock->GetTempo()->GetDecimals(), 0);
  const std::pair<std::vector<uint8_t>, double> shown[] = {
      {{0x03, 0x00}, 240.0}, {{0x00, 0x05}, 20.0}, {{0x01, 0x14}, 120.0}, {{0x00, 0x63}, 99.0}};
  for (const auto& [bytes, tempo] : shown) {
    Variant value;
    value.SetBuffer(bytes.data(), 2);
    Show(kClock + 1, value);
    EXPECT_EQ(Tempo(), tempo) << int(bytes[0]) << " " << int(bytes[1]);
    EXPECT_EQ(kit.engine->Bytes(kClock + 1), bytes) << "the engine keeps the device's value";
  }
  EXPECT_EQ(kit.Text("clockGroup/tempo/textBox"), u"99");
  for (const Variant& odd : {Bytes({0x78}), Bytes({0x01, 0x14, 0x00}), Variant()}) {
    EXPECT_EQ(clock->SetParamValueLocal(QZ::ParamDescriptor(kClock + 1), odd, true), QZ::QZ_OK);
  }
  EXPECT_EQ(Tempo(), 99.0) << "values of another size are ignored";

  Show(kClock, Bytes({1}));
  Show(kClock + 2, Bytes({4}));
  EXPECT_EQ(Combos("clockGroup", {"clockSource", "timeDivision"}), (Texts{u"External", u"1/16"}));
  for (const uint32_t id : {kClock + 3, kClock - 1}) {
    EXPECT_EQ(clock->SetParamValueLocal(QZ::ParamDescriptor(id), Bytes({0, 20}), true), QZ::QZ_OK) << id;
  }
  EXPECT_EQ(Tempo(), 99.0) << "other ids leave the tempo";
  EXPECT_TRUE(kit.Sent().empty()) << "the clamped 240 and 20 were not sent back";
}

TEST(ArpClockScaleUnboundTest, AnUnboundTempoGroupSendsNothing) {
  ArpClockScaleKit kit(Tree(TempoGroup("clockGroup", {0, 0, 132, 164})));
  kit.Type(kit.Find("viewDevice/clockGroup/tempo/textBox"), u"120");
  kit.Key(u"VKEY_RETURN");
  EXPECT_EQ(NumberOf(kit.Find<LClockEditPanel>("viewDevice/clockGroup")->GetTempo()), 120.0);
  EXPECT_TRUE(kit.Sent().empty()) << "not for id 1, the pitch bend's";
}

TEST(ArpClockScaleSkinTest, AMissingChildFailsWithItsName) {
  const std::string arp = " : LArpEditPanel::Initialize : UI\\ArpEditPanel : Line ";
  const std::string scale = " : LScaleEditPanel::Initialize : UI\\ScaleEditPanel : Line ";
  const std::string clock = " : LClockEditPanel::Initialize : UI\\ClockEditPanel : Line ";
  const std::pair<std::string, std::string> cases[] = {
      {ArpPage("a", {}, {"latch"}), "latch" + arp + "33"},
      {ArpPage("b", {}, {"type"}), "type" + arp + "36"},
      {ArpPage("c", {}, {"octave"}), "octave" + arp + "39"},
      {ArpPage("d", {}, {"gate"}), "gate" + arp + "42"},
      {ArpPage("e", {}, {"swing"}), "swing" + arp + "45"},
      {ScalePage("f", {}, {"scale"}), "scale" + scale + "30"},
      {ScalePage("g", {}, {"rootNote"}), "rootNote" + scale + "33"},
      {TempoGroup("h", {}, {"clockSource"}), "clockGroup" + clock + "37"},
      {TempoGroup("i", {}, {"timeDivision"}), "clockGroup" + clock + "40"},
      {TempoGroup("j", {}, {"tempo"}), "tempo" + clock + "29"},
      {TempoGroup("k", {}, {"tempoUpDown"}), "tempo" + clock + "29"},
  };
  std::string entries = Tree(ArpPage("arpPage", {0, 0, 700, 60}, {"latchToggle"}));
  for (const auto& [entry, text] : cases) {
    entries += entry;
  }
  ArpClockScaleKit kit(entries);
  char name = 'a';
  for (const auto& [entry, text] : cases) {
    EXPECT_EQ(kit.CreateFails(std::string(1, name++)), "Runtime Error : Null Pointer : Cannot find child " + text);
  }

  // A latch selector without its toggle has nothing to narrow; the page works without it.
  const auto page = kit.Find<LArpEditPanel>("viewDevice/arpPage");
  ASSERT_TRUE(page);
  page->SetFirstParamID(nullptr, kArp, 0);
  EXPECT_EQ(page->SetParamValueLocal(QZ::ParamDescriptor(kArp + 1), Bytes({1}), true), QZ::QZ_OK);
  EXPECT_EQ(page->SetParamValueLocal(QZ::ParamDescriptor(kArp + 3), Bytes({5}), true), QZ::QZ_OK);
  EXPECT_EQ(kit.Text("arpPage/gate/comboBox"), u"50 %");
}

} // namespace
} // namespace ArpClockScale
