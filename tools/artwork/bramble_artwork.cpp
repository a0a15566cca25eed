// Draws the editor artwork of Bramble Cascader with cairo and writes it as PNG files: the editor
// face, the knob film strip, the two button strips and a composited preview. The images are
// committed under resources/, so building the plug-in never needs this program; rerun it through
// tools/artwork/generate.sh after changing the drawing. The same build on the same machine always
// writes byte-identical files: the PNGs carry no time stamp and nothing here is random.

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

constexpr double kPi = 3.14159265358979323846;

double degrees(double angle)
{
    return angle * kPi / 180.0;
}

struct Rect
{
    int left, top, right, bottom; // right and bottom exclusive

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    double centreX() const { return (left + right) / 2.0; }
    double centreY() const { return (top + bottom) / 2.0; }
    bool intersects(const Rect& other) const
    {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

struct Colour
{
    double r, g, b, a;
};

Colour rgb(unsigned value, double alpha = 1.0)
{
    return {((value >> 16) & 0xff) / 255.0, ((value >> 8) & 0xff) / 255.0, (value & 0xff) / 255.0,
            alpha};
}

void setColour(cairo_t* cr, const Colour& c)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void addStop(cairo_pattern_t* pattern, double offset, const Colour& c)
{
    cairo_pattern_add_color_stop_rgba(pattern, offset, c.r, c.g, c.b, c.a);
}

// Image sizes the editor expects.
constexpr int kFaceWidth = 752;
constexpr int kFaceHeight = 160;
constexpr int kKnobSize = 64;
constexpr int kKnobFrames = 61;
constexpr int kButtonSize = 42;

// Knob pointer sweep: frame 0 points to the lower left (225 degrees, counter-clockwise from the
// positive x axis with y up), each further frame turns it clockwise until frame 60 points to the
// lower right (-45 degrees).
constexpr double kKnobStartAngle = 225.0;
constexpr double kKnobSweep = 270.0;

// Where the editor places its controls, in face pixels.
struct Knob
{
    int tag;
    Rect rect;
    const char* caption;
};

const Knob kKnobs[] = {
    {1, {56, 80, 120, 144}, "INPUT"},     {2, {624, 80, 688, 144}, "OUTPUT"},
    {3, {544, 32, 608, 96}, "ASYMMETRY"}, {4, {144, 80, 208, 144}, "THRESHOLD"},
    {5, {216, 80, 280, 144}, "DRIVE"},    {6, {312, 80, 376, 144}, "THRESHOLD"},
    {7, {384, 80, 448, 144}, "CHARGE"},   {8, {456, 80, 520, 144}, "DISCHARGE"},
};

struct Field
{
    int tag;
    Rect rect;
    const char* sampleText; // shown in the preview only
};

const Field kFields[] = {
    {9, {64, 60, 112, 76}, "0.0 dB"},    {10, {632, 60, 680, 76}, "-3.5 dB"},
    {11, {552, 12, 600, 28}, "0"},       {12, {152, 60, 200, 76}, "-12 dB"},
    {13, {224, 60, 272, 76}, "50"},      {14, {320, 60, 368, 76}, "-24 dB"},
    {15, {392, 60, 440, 76}, "0.20 ms"}, {16, {464, 60, 512, 76}, "0.50 ms"},
};

enum class ButtonKind
{
    power,
    route
};

struct Button
{
    int tag;
    Rect rect;
    ButtonKind kind;
    const char* label;
    bool previewOn;
};

const Button kButtons[] = {
    {17, {227, 8, 269, 50}, ButtonKind::power, "ON", true},
    {18, {467, 8, 509, 50}, ButtonKind::power, "ON", false},
    {19, {395, 8, 437, 50}, ButtonKind::route, "ROUTE", true},
};

// The two stage panels of the face.
struct Panel
{
    Rect rect;
    const char* caption;
};

const Panel kPanels[] = {
    {{136, 4, 290, 157}, "SHAPER"},
    {{302, 4, 528, 157}, "INTEGRATOR"},
};

// Palette: warm charcoal face, berry accent, cream print.
const Colour kFaceTop = rgb(0x2d2521);
const Colour kFaceBottom = rgb(0x181311);
const Colour kPanelTop = rgb(0x3b302b);
const Colour kPanelBottom = rgb(0x2a221f);
const Colour kPanelEdge = rgb(0x0f0b0a);
const Colour kBerry = rgb(0xc45a92);
const Colour kBerryDeep = rgb(0x6e2450);
const Colour kLeaf = rgb(0x7d9a5e);
const Colour kPrint = rgb(0xe6dac6);
const Colour kPrintDim = rgb(0xe6dac6, 0.55);
const Colour kFieldFill = rgb(0x0b2a12);
const Colour kFieldBorder = rgb(0x04140a);

// Fonts, read from fixed files so that every run rasterises exactly the same glyphs.
class Fonts
{
public:
    Fonts()
    {
        FT_Init_FreeType(&library);
        sansBold = load("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
        serifBold = load("/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf");
        arial = load("/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf");
    }

    ~Fonts()
    {
        for (cairo_font_face_t* face : {sansBold, serifBold, arial})
            if (face) cairo_font_face_destroy(face);
        // Each FreeType face is closed with its last cairo reference. The library itself stays
        // open until the program ends, since cairo's font caches may still refer to faces.
    }

    bool ok() const { return sansBold && serifBold && arial; }

    cairo_font_face_t* sansBold = nullptr;
    cairo_font_face_t* serifBold = nullptr;
    cairo_font_face_t* arial = nullptr; // metric twin of the editor's value font, preview only

private:
    cairo_font_face_t* load(const char* path)
    {
        FT_Face face = nullptr;
        if (FT_New_Face(library, path, 0, &face) != 0)
        {
            std::fprintf(stderr, "bramble_artwork: cannot read font %s\n", path);
            return nullptr;
        }
        cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_ft_face(face, 0);
        static const cairo_user_data_key_t key{};
        cairo_font_face_set_user_data(cairoFace, &key, face,
                                      [](void* p) { FT_Done_Face(static_cast<FT_Face>(p)); });
        return cairoFace;
    }

    FT_Library library = nullptr;
};

struct TextStyle
{
    cairo_font_face_t* face;
    double size;
    double tracking; // extra pixels between letters
    Colour colour;
};

enum class Align
{
    left,
    centre,
    right
};

void useFont(cairo_t* cr, const TextStyle& style)
{
    cairo_set_font_face(cr, style.face);
    cairo_set_font_size(cr, style.size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

struct Ink
{
    double left, top, right, bottom;
};

double textAdvance(cairo_t* cr, const TextStyle& style, const std::string& text)
{
    useFont(cr, style);
    double advance = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, text.substr(i, 1).c_str(), &extents);
        advance += extents.x_advance + (i + 1 < text.size() ? style.tracking : 0.0);
    }
    return advance;
}

// Draws text letter by letter (so that tracking applies) and returns the ink box in user space.
Ink drawText(cairo_t* cr, const TextStyle& style, const std::string& text, double x,
             double baseline, Align align)
{
    const double width = textAdvance(cr, style, text);
    double pen = align == Align::left ? x : align == Align::centre ? x - width / 2 : x - width;
    Ink ink{1e9, 1e9, -1e9, -1e9};
    setColour(cr, style.colour);
    for (size_t i = 0; i < text.size(); ++i)
    {
        const std::string letter = text.substr(i, 1);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, letter.c_str(), &extents);
        if (extents.width > 0)
        {
            ink.left = std::min(ink.left, pen + extents.x_bearing);
            ink.right = std::max(ink.right, pen + extents.x_bearing + extents.width);
            ink.top = std::min(ink.top, baseline + extents.y_bearing);
            ink.bottom = std::max(ink.bottom, baseline + extents.y_bearing + extents.height);
        }
        cairo_move_to(cr, pen, baseline);
        cairo_show_text(cr, letter.c_str());
        pen += extents.x_advance + style.tracking;
    }
    return ink;
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, degrees(-90), 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, degrees(90));
    cairo_arc(cr, x + r, y + h - r, r, degrees(90), degrees(180));
    cairo_arc(cr, x + r, y + r, r, degrees(180), degrees(270));
    cairo_close_path(cr);
}

void fillCircle(cairo_t* cr, double cx, double cy, double r)
{
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_fill(cr);
}

void fillCircleWith(cairo_t* cr, double cx, double cy, double r, cairo_pattern_t* pattern)
{
    cairo_set_source(cr, pattern);
    fillCircle(cr, cx, cy, r);
    cairo_pattern_destroy(pattern);
}

cairo_pattern_t* verticalGradient(double y0, double y1, const Colour& top, const Colour& bottom)
{
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0, y0, 0, y1);
    addStop(pattern, 0, top);
    addStop(pattern, 1, bottom);
    return pattern;
}

// Collects every problem found while drawing or checking; the program fails if there is one.
std::vector<std::string> gProblems;

void problem(const std::string& text)
{
    gProblems.push_back(text);
}

// Labels must stay off every control and value box so that nothing printed hides under them.
void checkLabelClear(const Ink& ink, const std::string& text)
{
    const Rect box{static_cast<int>(std::floor(ink.left)), static_cast<int>(std::floor(ink.top)),
                   static_cast<int>(std::ceil(ink.right)), static_cast<int>(std::ceil(ink.bottom))};
    if (box.left < 0 || box.top < 0 || box.right > kFaceWidth || box.bottom > kFaceHeight)
        problem("label '" + text + "' leaves the face");
    auto check = [&](const Rect& rect, int tag)
    {
        if (box.intersects(rect))
            problem("label '" + text + "' overlaps control " + std::to_string(tag));
    };
    for (const Knob& knob : kKnobs)
        check(knob.rect, knob.tag);
    for (const Field& field : kFields)
        check(field.rect, field.tag);
    for (const Button& button : kButtons)
        check(button.rect, button.tag);
}

Ink label(cairo_t* cr, const TextStyle& style, const std::string& text, double x, double baseline,
          Align align)
{
    const Ink ink = drawText(cr, style, text, x, baseline, align);
    checkLabelClear(ink, text);
    return ink;
}

// ---------------------------------------------------------------------------------------------
// Face

void drawFaceBackground(cairo_t* cr)
{
    cairo_pattern_t* base = verticalGradient(0, kFaceHeight, kFaceTop, kFaceBottom);
    cairo_set_source(cr, base);
    cairo_paint(cr);
    cairo_pattern_destroy(base);

    // Fine brushed grain: a faint light line on every other row.
    for (int y = 0; y < kFaceHeight; y += 2)
    {
        cairo_rectangle(cr, 0, y, kFaceWidth, 1);
    }
    cairo_set_source_rgba(cr, 1, 1, 1, 0.014);
    cairo_fill(cr);

    // Darker ends, as if the light fell on the middle of the panel.
    cairo_pattern_t* vignette = cairo_pattern_create_linear(0, 0, kFaceWidth, 0);
    addStop(vignette, 0.0, rgb(0x000000, 0.28));
    addStop(vignette, 0.12, rgb(0x000000, 0.0));
    addStop(vignette, 0.88, rgb(0x000000, 0.0));
    addStop(vignette, 1.0, rgb(0x000000, 0.28));
    cairo_set_source(cr, vignette);
    cairo_paint(cr);
    cairo_pattern_destroy(vignette);

    // Bevel: light top edge, dark outline.
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, kFaceWidth - 1, kFaceHeight - 1);
    setColour(cr, rgb(0x070505));
    cairo_stroke(cr);
    cairo_move_to(cr, 1, 1.5);
    cairo_line_to(cr, kFaceWidth - 1, 1.5);
    setColour(cr, rgb(0xffffff, 0.07));
    cairo_stroke(cr);
}

void drawPanel(cairo_t* cr, const TextStyle& captionStyle, const Panel& panel)
{
    const double x = panel.rect.left, y = panel.rect.top;
    const double w = panel.rect.width(), h = panel.rect.height();
    const double radius = 6;

    // Soft shadow below and to the right.
    for (int i = 3; i >= 1; --i)
    {
        roundedRect(cr, x - 0.5 + i * 0.3, y + i * 0.6, w + 1, h + 0.5, radius + i);
        setColour(cr, rgb(0x000000, 0.12));
        cairo_fill(cr);
    }

    roundedRect(cr, x, y, w, h, radius);
    cairo_pattern_t* fill = verticalGradient(y, y + h, kPanelTop, kPanelBottom);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    cairo_new_path(cr);

    // Edge: dark outline, then a thin highlight that fades down the sides.
    roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius - 0.5);
    setColour(cr, kPanelEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    roundedRect(cr, x + 1.5, y + 1.5, w - 3, h - 3, radius - 1.5);
    cairo_pattern_t* glint = cairo_pattern_create_linear(0, y, 0, y + h);
    addStop(glint, 0, rgb(0xffffff, 0.13));
    addStop(glint, 0.25, rgb(0xffffff, 0.03));
    addStop(glint, 1, rgb(0xffffff, 0.015));
    cairo_set_source(cr, glint);
    cairo_stroke(cr);
    cairo_pattern_destroy(glint);

    // Caption with a small berry bar in front of it.
    roundedRect(cr, x + 8, y + 6, 3, 9, 1);
    setColour(cr, kBerry);
    cairo_fill(cr);
    label(cr, captionStyle, panel.caption, x + 15, y + 14.5, Align::left);
}

void drawKnobPlate(cairo_t* cr, const Knob& knob)
{
    const double cx = knob.rect.centreX(), cy = knob.rect.centreY();

    // Soft shadow around the plate.
    cairo_pattern_t* shadow = cairo_pattern_create_radial(cx, cy + 1, 30, cx, cy + 1, 36.5);
    addStop(shadow, 0, rgb(0x000000, 0.45));
    addStop(shadow, 1, rgb(0x000000, 0.0));
    fillCircleWith(cr, cx, cy + 1, 36.5, shadow);

    // Recessed plate: the rim is dark at the top and catches light at the bottom.
    fillCircleWith(cr, cx, cy, 34,
                   verticalGradient(cy - 34, cy + 34, rgb(0x0c0908), rgb(0x4a3f39)));
    fillCircleWith(cr, cx, cy, 33,
                   verticalGradient(cy - 33, cy + 33, rgb(0x1b1614), rgb(0x2a2320)));

    // Scale: eleven ticks along the sweep, the ends and the middle longer.
    for (int i = 0; i <= 10; ++i)
    {
        const double angle = degrees(kKnobStartAngle - i * kKnobSweep / 10);
        const bool major = i == 0 || i == 5 || i == 10;
        const double inner = major ? 30.2 : 31.0, outer = 32.6;
        const double dx = std::cos(angle), dy = -std::sin(angle);
        cairo_move_to(cr, cx + dx * inner, cy + dy * inner);
        cairo_line_to(cr, cx + dx * outer, cy + dy * outer);
        cairo_set_line_width(cr, major ? 1.3 : 1.0);
        setColour(cr, major ? rgb(0xe6dac6, 0.75) : rgb(0xe6dac6, 0.4));
        cairo_stroke(cr);
    }
}

void drawButtonSocket(cairo_t* cr, const Button& button)
{
    const double cx = button.rect.centreX(), cy = button.rect.centreY();
    cairo_pattern_t* shadow = cairo_pattern_create_radial(cx, cy + 1, 19, cx, cy + 1, 24);
    addStop(shadow, 0, rgb(0x000000, 0.5));
    addStop(shadow, 1, rgb(0x000000, 0.0));
    fillCircleWith(cr, cx, cy + 1, 24, shadow);
    fillCircleWith(cr, cx, cy, 21.5,
                   verticalGradient(cy - 21.5, cy + 21.5, rgb(0x0a0807), rgb(0x4a3f39)));
}

void drawFieldBox(cairo_t* cr, const Field& field)
{
    const Rect& r = field.rect;
    // Bevel just outside the box: shadow above, light below, so the box looks sunk in.
    cairo_rectangle(cr, r.left - 1, r.top - 1, r.width() + 2, 1);
    cairo_rectangle(cr, r.left - 1, r.top, 1, r.height());
    setColour(cr, rgb(0x000000, 0.45));
    cairo_fill(cr);
    cairo_rectangle(cr, r.left - 1, r.bottom, r.width() + 2, 1);
    cairo_rectangle(cr, r.right, r.top, 1, r.height());
    setColour(cr, rgb(0xffffff, 0.09));
    cairo_fill(cr);

    // The box itself covers exactly the field: a plain fill with a one-pixel darker border.
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    setColour(cr, kFieldBorder);
    cairo_fill(cr);
    cairo_rectangle(cr, r.left + 1, r.top + 1, r.width() - 2, r.height() - 2);
    setColour(cr, kFieldFill);
    cairo_fill(cr);
}

// A small bramble berry: a cluster of drupelets under two leaves.
void drawBerry(cairo_t* cr, double cx, double cy)
{
    // Leaves.
    for (int side : {-1, 1})
    {
        cairo_save(cr);
        cairo_translate(cr, cx + side * 3.5, cy - 9.5);
        cairo_rotate(cr, side * degrees(35));
        cairo_scale(cr, 5.2, 2.3);
        cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
        cairo_restore(cr);
        setColour(cr, kLeaf);
        cairo_fill(cr);
    }
    cairo_move_to(cr, cx, cy - 8);
    cairo_line_to(cr, cx + 1.5, cy - 14);
    cairo_set_line_width(cr, 1.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, kLeaf);
    cairo_stroke(cr);

    // Drupelets, in rows that narrow towards the tip.
    const int rows[] = {3, 4, 3, 2};
    const double r = 2.7;
    for (int row = 0; row < 4; ++row)
    {
        const int count = rows[row];
        for (int i = 0; i < count; ++i)
        {
            const double x = cx + (i - (count - 1) / 2.0) * 2 * r * 0.95;
            const double y = cy - 4.5 + row * 2 * r * 0.85;
            cairo_pattern_t* shade =
                cairo_pattern_create_radial(x - 0.9, y - 1.0, 0.2, x, y, r + 0.2);
            addStop(shade, 0, rgb(0xf0a0cc));
            addStop(shade, 0.45, kBerry);
            addStop(shade, 1, kBerryDeep);
            fillCircleWith(cr, x, y, r, shade);
        }
    }
}

void drawFace(cairo_t* cr, const Fonts& fonts)
{
    const TextStyle panelCaption{fonts.sansBold, 9, 0.9, kPrint};
    const TextStyle knobCaption{fonts.sansBold, 8.5, 0.6, kPrint};
    const TextStyle buttonLabel{fonts.sansBold, 7.5, 0.5, kPrintDim};
    const TextStyle title{fonts.serifBold, 25, 0.3, kPrint};
    const TextStyle versionStyle{fonts.sansBold, 7.5, 0.4, kPrintDim};
    const TextStyle vendorStyle{fonts.serifBold, 20, 1.6, rgb(0xe6dac6, 0.8)};

    drawFaceBackground(cr);
    for (const Panel& panel : kPanels)
        drawPanel(cr, panelCaption, panel);

    // Product name at the top left: "Bramble" large, "CASCADER" spaced out to the same width.
    const Ink name = label(cr, title, "Bramble", 11, 30, Align::left);
    TextStyle subtitle{fonts.sansBold, 10, 0, kBerry};
    const std::string second = "CASCADER";
    const double plain = textAdvance(cr, subtitle, second);
    subtitle.tracking = (name.right - name.left - plain) / (second.size() - 1);
    label(cr, subtitle, second, name.left, 45, Align::left);
    drawBerry(cr, 124, 27);

    label(cr, versionStyle, "v1.1.0", 9, 154, Align::left);

    // Maker's name upright along the right edge, reading from bottom to top.
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 703.5, 10);
    cairo_line_to(cr, 703.5, 150);
    setColour(cr, rgb(0x000000, 0.5));
    cairo_stroke(cr);
    cairo_move_to(cr, 704.5, 10);
    cairo_line_to(cr, 704.5, 150);
    setColour(cr, rgb(0xffffff, 0.06));
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, 734, 80);
    cairo_rotate(cr, degrees(-90));
    const Ink vendor = drawText(cr, vendorStyle, "Vextrum", 0, 0, Align::centre);
    for (double end : {vendor.left - 9, vendor.right + 9})
    {
        cairo_move_to(cr, end - 3, -6.5);
        cairo_line_to(cr, end + 3, -6.5);
    }
    cairo_set_line_width(cr, 1.5);
    setColour(cr, kBerry);
    cairo_stroke(cr);
    cairo_restore(cr);

    for (const Knob& knob : kKnobs)
    {
        drawKnobPlate(cr, knob);
        // Captions go under the knobs; the knobs on the bottom row leave a 16 pixel strip.
        const double baseline = knob.rect.bottom + (knob.rect.bottom == 144 ? 11 : 10);
        label(cr, knobCaption, knob.caption, knob.rect.centreX(), baseline, Align::centre);
    }

    for (const Button& button : kButtons)
    {
        drawButtonSocket(cr, button);
        // Labels sit just left of their button, centred on it vertically.
        label(cr, buttonLabel, button.label, button.rect.left - 5, button.rect.centreY() + 2.7,
              Align::right);
    }

    for (const Field& field : kFields)
        drawFieldBox(cr, field);
}

// ---------------------------------------------------------------------------------------------
// Knob film strip

void drawKnobFrame(cairo_t* cr, double cx, double cy, int frame)
{
    const double pointerDegrees = kKnobStartAngle - frame * kKnobSweep / (kKnobFrames - 1);
    const double pointer = degrees(pointerDegrees);
    const double dx = std::cos(pointer), dy = -std::sin(pointer); // screen y grows downwards

    // Value arc: a dark track over the whole sweep, lit in berry up to the pointer. In cairo's
    // angles (clockwise, y down) the sweep starts at 135 degrees and ends at 405.
    const double arcStart = degrees(-kKnobStartAngle + 360);
    const double arcRadius = 28.2;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, arcRadius, arcStart, arcStart + degrees(kKnobSweep));
    cairo_set_line_width(cr, 3.6);
    setColour(cr, rgb(0x0a0707, 0.95));
    cairo_stroke(cr);
    if (frame > 0)
    {
        const double arcEnd = arcStart + degrees(frame * kKnobSweep / (kKnobFrames - 1));
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, arcRadius, arcStart, arcEnd);
        cairo_set_line_width(cr, 2.2);
        setColour(cr, kBerry);
        cairo_stroke(cr);
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, arcRadius - 0.45, arcStart, arcEnd);
        cairo_set_line_width(cr, 0.7);
        setColour(cr, rgb(0xf2a6d0, 0.8));
        cairo_stroke(cr);
    }

    // Shadow the knob casts on its plate.
    cairo_pattern_t* shadow = cairo_pattern_create_radial(cx, cy + 2, 21, cx, cy + 2, 26.5);
    addStop(shadow, 0, rgb(0x000000, 0.6));
    addStop(shadow, 1, rgb(0x000000, 0.0));
    fillCircleWith(cr, cx, cy + 2, 26.5, shadow);

    // Skirt: a bevelled ring lit from above, with grip ridges that turn with the knob.
    const double skirt = 23.5, cap = 18.5;
    fillCircleWith(cr, cx, cy, skirt,
                   verticalGradient(cy - skirt, cy + skirt, rgb(0x7b6d64), rgb(0x120e0c)));
    fillCircleWith(cr, cx, cy, skirt - 1.2,
                   verticalGradient(cy - skirt, cy + skirt, rgb(0x4d423c), rgb(0x1a1513)));
    cairo_set_line_width(cr, 0.9);
    for (int i = 0; i < 40; ++i)
    {
        const double a = pointer + degrees(i * 9.0 + 4.5);
        const double ax = std::cos(a), ay = -std::sin(a);
        cairo_move_to(cr, cx + ax * (cap + 1.2), cy + ay * (cap + 1.2));
        cairo_line_to(cr, cx + ax * (skirt - 1.6), cy + ay * (skirt - 1.6));
    }
    setColour(cr, rgb(0x000000, 0.35));
    cairo_stroke(cr);

    // Cap: a slightly domed top with a soft highlight towards the light.
    fillCircleWith(cr, cx, cy, cap + 0.8,
                   verticalGradient(cy - cap, cy + cap, rgb(0x120e0c), rgb(0x6a5d55)));
    cairo_pattern_t* dome = cairo_pattern_create_radial(cx - 4, cy - 7, 1, cx, cy, cap + 2);
    addStop(dome, 0, rgb(0x5e514a));
    addStop(dome, 0.55, rgb(0x342b27));
    addStop(dome, 1, rgb(0x1f1917));
    fillCircleWith(cr, cx, cy, cap, dome);
    cairo_pattern_t* sheen = cairo_pattern_create_linear(0, cy - cap, 0, cy);
    addStop(sheen, 0, rgb(0xffffff, 0.16));
    addStop(sheen, 1, rgb(0xffffff, 0.0));
    cairo_save(cr);
    cairo_translate(cr, cx, cy - 7.5);
    cairo_scale(cr, 12.5, 8.5);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    cairo_set_source(cr, sheen);
    cairo_fill(cr);
    cairo_pattern_destroy(sheen);

    // Pointer: a cream line from near the centre across the cap onto the skirt.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double inner = 6.5, outer = 21.0;
    cairo_move_to(cr, cx + dx * inner + 0.5, cy + dy * inner + 1.0);
    cairo_line_to(cr, cx + dx * outer + 0.5, cy + dy * outer + 1.0);
    cairo_set_line_width(cr, 3.4);
    setColour(cr, rgb(0x000000, 0.45));
    cairo_stroke(cr);
    cairo_move_to(cr, cx + dx * inner, cy + dy * inner);
    cairo_line_to(cr, cx + dx * outer, cy + dy * outer);
    cairo_set_line_width(cr, 2.5);
    setColour(cr, rgb(0xf4ebdc));
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

// ---------------------------------------------------------------------------------------------
// Buttons

void drawButtonFrame(cairo_t* cr, const Fonts& fonts, double cx, double cy, ButtonKind kind,
                     bool on)
{
    const double bezel = 20.5, body = 16.5;

    // Bezel: a metal ring lit from above.
    fillCircleWith(cr, cx, cy, bezel,
                   verticalGradient(cy - bezel, cy + bezel, rgb(0x8a8380), rgb(0x1a1716)));
    fillCircleWith(cr, cx, cy, bezel - 1.3,
                   verticalGradient(cy - bezel, cy + bezel, rgb(0x3c3735), rgb(0x2a2625)));
    fillCircleWith(cr, cx, cy, body + 1.3,
                   verticalGradient(cy - body, cy + body, rgb(0x0c0a09), rgb(0x5a5351)));

    // Cap: grey when off, lit green when on.
    cairo_pattern_t* fill = cairo_pattern_create_radial(cx - 4, cy - 6, 1, cx, cy, body + 3);
    if (on)
    {
        addStop(fill, 0, rgb(0xc8ffc0));
        addStop(fill, 0.35, rgb(0x55e060));
        addStop(fill, 0.8, rgb(0x1c9a30));
        addStop(fill, 1, rgb(0x0e6a1e));
    }
    else
    {
        addStop(fill, 0, rgb(0xc4c2be));
        addStop(fill, 0.4, rgb(0x8c8985));
        addStop(fill, 0.85, rgb(0x5a5855));
        addStop(fill, 1, rgb(0x44423f));
    }
    fillCircleWith(cr, cx, cy, body, fill);
    if (on)
    {
        // Light spilling into the gap between cap and bezel.
        cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, body - 1, cx, cy, bezel - 0.5);
        addStop(glow, 0, rgb(0x60ff70, 0.55));
        addStop(glow, 1, rgb(0x60ff70, 0.0));
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, bezel - 0.5, 0, 2 * kPi);
        cairo_arc_negative(cr, cx, cy, body, 2 * kPi, 0);
        cairo_set_source(cr, glow);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, body - 0.5, 0, 2 * kPi);
    cairo_set_line_width(cr, 1);
    setColour(cr, rgb(0x000000, on ? 0.25 : 0.35));
    cairo_stroke(cr);

    // Symbol: engraved dark on the grey cap, glowing white on the green one. Drawn twice, the
    // first pass offset as the engraving's lit lower edge or as the glow.
    const Colour ink = on ? rgb(0xf6fff4) : rgb(0x34322f);
    const Colour under = on ? rgb(0xeaffe0, 0.45) : rgb(0xe8e6e2, 0.45);
    for (int pass = 0; pass < 2; ++pass)
    {
        const double oy = pass == 0 && !on ? 0.9 : 0;
        const double width = pass == 0 && on ? 4.4 : 2.5;
        setColour(cr, pass == 0 ? under : ink);
        if (kind == ButtonKind::power)
        {
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_set_line_width(cr, width);
            cairo_new_path(cr);
            cairo_arc(cr, cx, cy + oy + 0.8, 7.6, degrees(-52), degrees(232));
            cairo_stroke(cr);
            cairo_move_to(cr, cx, cy + oy - 9.2);
            cairo_line_to(cr, cx, cy + oy - 1.6);
            cairo_stroke(cr);
        }
        else
        {
            const TextStyle digit{fonts.sansBold, 19, 0, pass == 0 ? under : ink};
            const std::string text = on ? "2" : "1";
            useFont(cr, digit);
            cairo_text_extents_t extents;
            cairo_text_extents(cr, text.c_str(), &extents);
            const double x = cx - extents.x_bearing - extents.width / 2;
            const double y = cy - extents.y_bearing - extents.height / 2 + oy;
            if (pass == 0 && on)
            {
                cairo_move_to(cr, x, y);
                cairo_text_path(cr, text.c_str());
                cairo_set_line_width(cr, 1.8);
                cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
                cairo_stroke(cr);
            }
            else
            {
                cairo_move_to(cr, x, y);
                cairo_show_text(cr, text.c_str());
            }
        }
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

// ---------------------------------------------------------------------------------------------
// Output and checks

// Writes 8-bit RGBA with straight alpha. cairo's own writer would drop the alpha channel of an
// opaque image, and the editor expects every image with alpha.
bool writePng(cairo_surface_t* surface, const std::string& path)
{
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<png_byte> row(static_cast<size_t>(width) * 4);

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
    {
        std::fprintf(stderr, "bramble_artwork: cannot write %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        std::fprintf(stderr, "bramble_artwork: PNG error writing %s\n", path.c_str());
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
    {
        const auto* pixels =
            reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x)
        {
            const uint32_t p = pixels[x];
            const unsigned a = p >> 24;
            unsigned c[3] = {(p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff};
            for (unsigned& v : c)
                v = a == 0 ? 0 : (v * 255 + a / 2) / a;
            png_byte* out = &row[static_cast<size_t>(x) * 4];
            out[0] = static_cast<png_byte>(c[0]);
            out[1] = static_cast<png_byte>(c[1]);
            out[2] = static_cast<png_byte>(c[2]);
            out[3] = static_cast<png_byte>(a);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

uint32_t pixelAt(cairo_surface_t* surface, int x, int y)
{
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride)[x];
}

uint32_t opaque(const Colour& c)
{
    auto channel = [](double v) { return static_cast<uint32_t>(std::lround(v * 255)); };
    return 0xff000000u | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

std::string hexOf(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

void checkFace(cairo_surface_t* face)
{
    cairo_surface_flush(face);
    for (int y = 0; y < kFaceHeight; ++y)
        for (int x = 0; x < kFaceWidth; ++x)
            if (pixelAt(face, x, y) >> 24 != 0xff)
                return problem("face not opaque at " + std::to_string(x) + "," + std::to_string(y));

    // Each value box is exactly its field: border ring, plain inside, and not beyond.
    for (const Field& field : kFields)
    {
        const Rect& r = field.rect;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
            {
                const bool edge =
                    x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1;
                const uint32_t want = opaque(edge ? kFieldBorder : kFieldFill);
                if (pixelAt(face, x, y) != want)
                    return problem("field " + std::to_string(field.tag) + " box wrong at " +
                                   std::to_string(x) + "," + std::to_string(y) + ": " +
                                   hexOf(pixelAt(face, x, y)));
            }
        for (int x = r.left; x < r.right; ++x)
            for (int y : {r.top - 2, r.bottom + 1})
                if (pixelAt(face, x, y) == opaque(kFieldBorder))
                    return problem("field " + std::to_string(field.tag) + " box too large");
    }
}

void checkStrip(cairo_surface_t* strip, int size, int frames, const std::string& name)
{
    cairo_surface_flush(strip);
    for (int frame = 0; frame < frames; ++frame)
    {
        const int top = frame * size;
        for (int corner = 0; corner < 4; ++corner)
        {
            const int x = corner & 1 ? size - 1 : 0, y = top + (corner & 2 ? size - 1 : 0);
            if (pixelAt(strip, x, y) != 0)
                problem(name + " frame " + std::to_string(frame) + ": corner not transparent");
        }
        if (pixelAt(strip, size / 2, top + size / 2) >> 24 != 0xff)
            problem(name + " frame " + std::to_string(frame) + ": centre not opaque");
    }
}

// The pointer must be where the editor's value says: bright along its angle, dark opposite.
void checkKnobPointer(cairo_surface_t* strip)
{
    for (int frame : {0, 15, 30, 45, 60})
    {
        const double a = degrees(kKnobStartAngle - frame * kKnobSweep / (kKnobFrames - 1));
        const double c = kKnobSize / 2.0;
        auto green = [&](double r)
        {
            const int x = static_cast<int>(std::floor(c + std::cos(a) * r));
            const int y = frame * kKnobSize + static_cast<int>(std::floor(c - std::sin(a) * r));
            return (pixelAt(strip, x, y) >> 8) & 0xff;
        };
        if (green(14) < 200 || green(-14) > 120)
            problem("knob frame " + std::to_string(frame) + ": pointer not at its angle");
    }
}

cairo_surface_t* newSurface(int width, int height)
{
    return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: bramble_artwork RESOURCE_DIR PREVIEW_PNG\n");
        return 2;
    }
    const std::string resources = argv[1];
    const std::string previewPath = argv[2];

    Fonts fonts;
    if (!fonts.ok()) return 1;

    cairo_surface_t* face = newSurface(kFaceWidth, kFaceHeight);
    {
        cairo_t* cr = cairo_create(face);
        drawFace(cr, fonts);
        cairo_destroy(cr);
    }

    cairo_surface_t* knob = newSurface(kKnobSize, kKnobSize * kKnobFrames);
    {
        cairo_t* cr = cairo_create(knob);
        for (int frame = 0; frame < kKnobFrames; ++frame)
        {
            cairo_save(cr);
            cairo_rectangle(cr, 0, frame * kKnobSize, kKnobSize, kKnobSize);
            cairo_clip(cr);
            drawKnobFrame(cr, kKnobSize / 2.0, frame * kKnobSize + kKnobSize / 2.0, frame);
            cairo_restore(cr);
        }
        cairo_destroy(cr);
    }

    cairo_surface_t* buttons[2];
    for (int kind = 0; kind < 2; ++kind)
    {
        buttons[kind] = newSurface(kButtonSize, kButtonSize * 2);
        cairo_t* cr = cairo_create(buttons[kind]);
        for (int on = 0; on < 2; ++on)
        {
            cairo_save(cr);
            cairo_rectangle(cr, 0, on * kButtonSize, kButtonSize, kButtonSize);
            cairo_clip(cr);
            drawButtonFrame(cr, fonts, kButtonSize / 2.0, on * kButtonSize + kButtonSize / 2.0,
                            kind == 0 ? ButtonKind::power : ButtonKind::route, on == 1);
            cairo_restore(cr);
        }
        cairo_destroy(cr);
    }

    // Preview: the face with every knob at mid travel, buttons in a mix of states and sample
    // values in the fields, drawn the way the editor draws them.
    cairo_surface_t* preview = newSurface(kFaceWidth, kFaceHeight);
    {
        cairo_t* cr = cairo_create(preview);
        cairo_set_source_surface(cr, face, 0, 0);
        cairo_paint(cr);
        for (const Knob& k : kKnobs)
        {
            cairo_save(cr);
            cairo_rectangle(cr, k.rect.left, k.rect.top, kKnobSize, kKnobSize);
            cairo_clip(cr);
            cairo_set_source_surface(cr, knob, k.rect.left, k.rect.top - 30 * kKnobSize);
            cairo_paint(cr);
            cairo_restore(cr);
        }
        for (const Button& b : kButtons)
        {
            cairo_save(cr);
            cairo_rectangle(cr, b.rect.left, b.rect.top, kButtonSize, kButtonSize);
            cairo_clip(cr);
            cairo_surface_t* strip = buttons[b.kind == ButtonKind::power ? 0 : 1];
            cairo_set_source_surface(cr, strip, b.rect.left,
                                     b.rect.top - (b.previewOn ? kButtonSize : 0));
            cairo_paint(cr);
            cairo_restore(cr);
        }
        const TextStyle value{fonts.arial, 11, 0, rgb(0x00ff00)};
        for (const Field& f : kFields)
            drawText(cr, value, f.sampleText, f.rect.centreX(), f.rect.top + 12, Align::centre);
        cairo_destroy(cr);
    }

    checkFace(face);
    checkStrip(knob, kKnobSize, kKnobFrames, "knob");
    checkKnobPointer(knob);
    checkStrip(buttons[0], kButtonSize, 2, "power button");
    checkStrip(buttons[1], kButtonSize, 2, "route button");

    bool written = writePng(face, resources + "/bramble_face.png") &&
                   writePng(knob, resources + "/bramble_knob.png") &&
                   writePng(buttons[0], resources + "/bramble_power_button.png") &&
                   writePng(buttons[1], resources + "/bramble_route_button.png") &&
                   writePng(preview, previewPath);

    for (cairo_surface_t* surface : {face, knob, buttons[0], buttons[1], preview})
        cairo_surface_destroy(surface);

    for (const std::string& text : gProblems)
        std::fprintf(stderr, "bramble_artwork: %s\n", text.c_str());
    return written && gProblems.empty() ? 0 : 1;
}
