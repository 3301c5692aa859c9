// ScreenPainter: draws the areas that repaint requests name into the main window's persistent
// backing image, at the pixel positions of the logic layer's layout functions. It runs on the
// GUI thread only; the window blits the image on paint, and printing and screenshots copy it.
#pragma once

#include "meterdesk/core/ports.h"
#include "meterdesk/core/readout_glyphs.h"
#include "meterdesk/core/text_fit.h"
#include "meterdesk/ui/screen_resources.h"

#include <QFont>
#include <QImage>

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <string>

class QPainter;

namespace meterdesk {
struct AppState;
struct TextLine;
struct Rect;
struct Rgb;
struct LineSegment;
struct Box;
struct CentredText;
struct GlyphDraw;
} // namespace meterdesk

namespace meterdesk::ui {

class ScreenPainter {
  public:
    // `image` is the client area; its size is the client size.
    ScreenPainter(AppState &state, QImage &image, const ScreenResources &resources);

    // Draws the area of one request. Returns true when the alarm beep is to be woken (a limit
    // alarm or an overload with its beep on).
    bool draw(RepaintRequest code);

    // The window was exposed or the user asked for a repaint: clears the image and redraws
    // the screens the screen flags say are up.
    void replay();

    // The trace and statistics screens (requests 6, 7 and 10) are drawn by their own modules.
    using AreaPainter = std::function<void(QImage &image)>;
    void set_area_painter(RepaintRequest code, AreaPainter painter);

    // What was drawn last; for tests and diagnostics.
    const std::string &frame_label() const { return frame_label_; }
    const std::string &readout_text() const { return readout_text_; }
    const std::string &temperature_text() const { return temperature_text_; }
    const std::string &meter_caption() const { return meter_caption_; }
    int draw_count(RepaintRequest code) const;

  private:
    // The drawing's face with a cell `pixels` high.
    const QFont &face_of(int pixels);
    // Where `text` in that font reaches, from its line's top-left corner.
    TextInk measure(const std::string &text, int pixels);

    void fill(QPainter &p, const Rect &area, const Rgb &colour);
    void text(QPainter &p, const TextLine &line);
    void centred(QPainter &p, const CentredText &text);
    void segment(QPainter &p, const LineSegment &line);
    void box(QPainter &p, const Box &outline);
    void glyph(QPainter &p, const QImage &strip, const GlyphDraw &draw);

    void splash();
    void clear();
    void disconnected();
    void separator(QPainter &p);
    void frame();
    void meter_frame(QPainter &p, int top);
    bool status_panel();
    bool live_readout();
    void meter(QPainter &p);
    void temperature_screen();
    void temperature_labels(QPainter &p);
    void temperature_readout();

    AppState &state_;
    QImage &image_;
    const ScreenResources &resources_;
    std::map<RepaintRequest, AreaPainter> area_painters_;
    std::map<int, QFont> fonts_; // by cell height, made when first asked for

    std::size_t readout_length_ = kInitialReadoutLength; // characters of the last readout
    std::size_t temperature_cells_ = 0;                  // cells of the last temperature

    std::string frame_label_;
    std::string readout_text_;
    std::string temperature_text_;
    std::string meter_caption_;
    std::array<int, 11> draws_{};
};

} // namespace meterdesk::ui
