// Text sized from its box reads right: each readout's widest ordinary text
// stays inside the room the layout gives it, clear of its neighbours, and
// each label's trailing number stays out of its box.
#include <gtest/gtest.h>

#include <cstring>

#include "render_support.h"

namespace {

using namespace render_test;

struct FitCase {
  const char* gauge;
  std::size_t element;
  Settings settings;
  const char* text;    // what the gauge prints: the case tests this text
  int x0, y0, x1, y1;  // where its ink may go, inclusive
};

void PrintTo(const FitCase& c, std::ostream* o) { *o << c.gauge << " element " << c.element << " \"" << c.text << "\""; }

class TextFit : public testing::TestWithParam<FitCase> {};

TEST_P(TextFit, StaysInItsRoom) {
  const FitCase& c = GetParam();
  Settings s = c.settings;
  s.push_back({0x301, 1});
  Drawn d(c.gauge, s);
  const Picture p = d.draw_only({c.element});
  const char* text = d.element(c.element).text;
  ASSERT_EQ(std::string(text).substr(0, std::strlen(c.text)), c.text) << "the case's text is not what the gauge prints";
  const auto ink = p.ink();
  ASSERT_TRUE(ink) << "nothing drawn";
  const auto [x0, y0, x1, y1] = *ink;
  EXPECT_GE(x0, c.x0);
  EXPECT_LE(x1, c.x1) << "ink runs to x " << x1;
  EXPECT_GE(y0, c.y0);
  EXPECT_LE(y1, c.y1) << "ink runs to y " << y1;
}

double rankine(double celsius) { return celsius / 0.5556 + 491.7; }
constexpr double psf_per_psi = 1 / 0.00694;
constexpr double rad_per_degree = 1 / 57.29578;

INSTANTIATE_TEST_SUITE_P(
    Tape, TextFit,
    testing::Values(
        // Inside the readout frame: its lines at rows 134..137 and 173..176, its right side from x 73.
        FitCase{tape, 5, {{0x3D, 250}}, "0250", 5, 138, 72, 172},
        FitCase{tape, 5, {{0x3D, 888}}, "0888", 5, 138, 72, 172},
        FitCase{tape, 7, {}, "M", 17, 278, 39, 302},  // the Mach digits start at 40
        FitCase{tape, 6, {{0x40, 18022}}, "0.88", 40, 275, 100, 302},
        FitCase{tape, 9, {}, "GS", 17, 303, 50, 329},  // the ground speed starts at 51
        FitCase{tape, 8, {{0x340, 456.83}}, "888", 51, 303, 100, 329},
        // Above the tape's window, which starts at row 37.
        FitCase{tape, 10, {{0x74, 888}, {0x73, 1}}, "888", 51, 6, 100, 36},
        FitCase{tape, 11, {{0x76, 0.88}, {0x75, 1}}, "0.88", 46, 6, 100, 36},
        FitCase{tape, 12, {}, "OFF", 50, 6, 100, 36}));

INSTANTIATE_TEST_SUITE_P(
    Standby, TextFit,
    testing::Values(
        // Inside the ring of figures, which starts about 80 pixels from the centre (171, 171).
        FitCase{standby, 5, {{0x3D, 888}}, "888", 137, 147, 240, 210},
        // In the bezel's lower right corner, the caption above the readout.
        FitCase{standby, 7, {}, "M", 296, 267, 326, 294},
        FitCase{standby, 6, {{0x40, 181863}}, "8.88", 265, 295, 326, 327}));

INSTANTIATE_TEST_SUITE_P(
    EicasEngines, TextFit,
    testing::Values(
        FitCase{eicas, 2, {{0x272, 100}}, "100", 90, 25, 202, 49},  // the AB legend starts at row 50
        FitCase{eicas, 9, {{0x28A, rankine(1100)}}, "1100", 216, 168, 314, 192},
        // Seven rows 25 pixels apart: left readout, label, right readout.
        FitCase{eicas, 12, {{0x273, 88}}, "088", 38, 299, 133, 323},
        FitCase{eicas, 60, {}, "N2", 134, 299, 219, 323},
        FitCase{eicas, 14, {{0x237, rankine(888)}}, "888", 38, 324, 129, 348},
        FitCase{eicas, 61, {}, "EGT", 130, 324, 219, 348},
        FitCase{eicas, 16, {{0x231, rankine(88)}}, "88", 50, 349, 117, 373},
        FitCase{eicas, 62, {}, "OIL \xB0" "C", 118, 349, 219, 373},
        FitCase{eicas, 18, {{0x232, 88 * psf_per_psi}}, "88", 50, 374, 115, 398},
        FitCase{eicas, 63, {}, "OIL PR", 116, 374, 219, 398},
        FitCase{eicas, 20, {{0x2F9, 28.8}}, "28.8", 27, 399, 101, 423},
        FitCase{eicas, 64, {}, "GEN VOLT", 102, 399, 219, 423},
        FitCase{eicas, 21, {{0x2FB, 28.8}}, "28.8", 220, 399, 314, 423},
        FitCase{eicas, 22, {{0x2FA, 88.8}}, "88.8", 27, 424, 99, 448},
        FitCase{eicas, 65, {}, "GEN AMPS", 100, 424, 219, 448},
        FitCase{eicas, 24, {{0x2DC, 2888 * psf_per_psi}}, "2888", 29, 449, 102, 483},
        FitCase{eicas, 66, {}, "HYDR. PR", 103, 449, 219, 483},
        FitCase{eicas, 25, {{0x2DE, 2888 * psf_per_psi}}, "2888", 220, 449, 314, 483}));

INSTANTIATE_TEST_SUITE_P(
    EicasFuel, TextFit,
    testing::Values(
        FitCase{eicas, 67, {}, "FUEL PPH", 335, 0, 496, 24},
        // The two flows side by side: the left one ends before the right one's x.
        FitCase{eicas, 26, {{0x27E, 1234}}, "01234", 316, 25, 389, 55},
        FitCase{eicas, 26, {{0x27E, 88888}}, "88888", 316, 25, 389, 55},
        FitCase{eicas, 27, {{0x291, 88888}}, "88888", 390, 25, 496, 55},
        FitCase{eicas, 68, {}, "RANGE", 349, 149, 496, 173},
        FitCase{eicas, 69, {}, "HR", 329, 174, 368, 198},
        FitCase{eicas, 30, {{0x317, 8888}, {0x27E, 50}, {0x291, 50}}, "88.88", 369, 174, 496, 198},
        FitCase{eicas, 70, {}, "KM", 329, 199, 368, 223},
        FitCase{eicas, 31, {{0x317, 5000}, {0x27E, 0}, {0x291, 0}, {0x340, 100}}, "99999", 369, 199, 496, 223},
        FitCase{eicas, 71, {}, "NM", 329, 224, 368, 248},
        FitCase{eicas, 72, {}, "QUANT. GAL", 324, 274, 496, 298},
        FitCase{eicas, 34, {{0x131, 1500}}, "1500", 356, 299, 496, 323},
        FitCase{eicas, 33, {{0x130, 1500}}, "1500", 315, 324, 399, 348},  // the right tank's starts at 400
        FitCase{eicas, 35, {{0x12F, 1500}}, "1500", 400, 324, 496, 348}));

INSTANTIATE_TEST_SUITE_P(
    EicasControls, TextFit,
    testing::Values(
        FitCase{eicas, 73, {}, "SPOILER  FLAPS", 497, 0, 659, 24},
        FitCase{eicas, 39, {{0x147, 16384}}, "60", 529, 25, 606, 49},
        FitCase{eicas, 44, {{0x148, 16384}}, "40", 607, 25, 659, 49},
        FitCase{eicas, 74, {}, "TRIM", 551, 149, 659, 173},
        // Each trim row: its label, then the value from x 590 (592 when negative).
        FitCase{eicas, 75, {}, "ELEV.\xB0", 497, 174, 589, 198},
        FitCase{eicas, 47, {{0x30F, 8.8 * rad_per_degree}}, "+08.8", 590, 174, 659, 198},
        FitCase{eicas, 47, {{0x30F, 2}}, "+100.0", 590, 174, 659, 198},
        FitCase{eicas, 48, {{0x30F, -8.8 * rad_per_degree}}, "-08.8", 592, 174, 659, 198},
        FitCase{eicas, 76, {}, "RUDD.\xB0", 497, 199, 589, 223},
        FitCase{eicas, 50, {{0x313, -8.8 * rad_per_degree}}, "-08.8", 592, 199, 659, 223},
        FitCase{eicas, 77, {}, "AILER.\xB0", 497, 224, 589, 248},
        FitCase{eicas, 51, {{0x311, 8.8 * rad_per_degree}}, "+08.8", 590, 224, 659, 248},
        FitCase{eicas, 52, {{0x311, -2}}, "-99.9", 592, 224, 659, 248},
        FitCase{eicas, 78, {}, "GEAR", 549, 274, 659, 306},  // the nose gear legend starts at row 307
        FitCase{eicas, 79, {}, "BATT V.", 497, 424, 589, 448},
        FitCase{eicas, 56, {{0x2F0, 888.8}}, "888.8", 590, 424, 659, 448},
        FitCase{eicas, 80, {}, "LOAD A.", 497, 449, 589, 483},
        FitCase{eicas, 57, {{0x2EF, 88.8}}, " 88.8", 590, 449, 659, 483}));

TEST(TextClip, StopsAtTheBoxRightEdge) {
  Drawn d(eicas, {{0x301, 1}, {0x27E, 88888}});
  d.cycle();
  d.only({26});
  auto& s = *reinterpret_cast<host::StringElement*>(d.element(26).record);
  const uint32_t width = s.box_width;
  s.box_width = 30;  // narrower than "88888"
  const auto ink = d.picture().ink();
  s.box_width = width;
  ASSERT_TRUE(ink);
  EXPECT_EQ((*ink)[0], 316 + 1) << "the first digit's ink starts a pixel into the box";
  EXPECT_LE((*ink)[2], 316 + 30 - 1);
  EXPECT_GE((*ink)[2], 316 + 30 - 4) << "the second digit, cut at the edge, still shows its part";
}

// Labels print a number after a run of spaces; it must start past the
// box's right edge, so only the words show.
class LabelNumber : public testing::TestWithParam<const char*> {};

TEST_P(LabelNumber, StartsOutsideItsBox) {
  Drawn d(GetParam(), {{0x301, 1}});
  d.cycle();
  int labels = 0;
  for (std::size_t i = 0; i < d.size(); ++i) {
    const auto& e = d.element(i);
    if (e.record->kind != host::ElementKind::string) continue;
    const std::string text = e.text;
    const auto run = text.find("   ");
    if (run == std::string::npos) continue;
    ++labels;
    const auto number = text.find_first_not_of(' ', run);
    ASSERT_NE(number, std::string::npos) << "element " << i;
    const auto& s = *reinterpret_cast<const host::StringElement*>(e.record);
    const panel_host::TextFace& face = d.renderer().face_of(s);
    EXPECT_GE(face.advance(" ", 1), 6.0) << "element " << i << ": spaces under 6 pixels";
    const double at = face.pen_positions(text.c_str(), text.size()).at(number);
    EXPECT_GE(at, s.box_width) << "element " << i << " \"" << text.substr(0, run) << "\": its number starts at "
                               << at << " in a box " << s.box_width << " wide";
  }
  EXPECT_GT(labels, 0);
}

INSTANTIATE_TEST_SUITE_P(Gauges, LabelNumber, testing::Values(eicas, tape, standby));

}  // namespace
