// Printing the screen: the print dialog on the GUI thread, then the print job on its own worker
// thread, which lays the client area below the toolbar onto the page, scaled to 80 % of the
// printable width with a margin of a tenth of that, and draws thin lines down the left side,
// along the bottom and up the right side of it.
#pragma once

#include "meterdesk/core/worker.h"

#include <QImage>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace meterdesk::ui {

// Where the client area lands on the page, in the printer's device pixels.
struct PrintPlacement {
    int x = 0; // margin from the left of the printable area
    int y = 0; // margin from its top
    int width = 0;
    int height = 0;
};

// 8 tenths of the printable width W (in whole tenths), the scale W / client width, the margin
// W / 10. The height keeps the screen's proportions.
PrintPlacement print_placement(int printable_width, int client_width, int client_height);

// The document's name in the print queue.
inline constexpr const char *kPrintDocumentName = "Print1: Printing";

// Prints `client` (the whole client area, toolbar rows included) on one page. Returns false,
// having printed nothing, when the printer refuses the document.
bool print_client_area(QPrinter &printer, const QImage &client);

class PrintService {
  public:
    // `grab` returns the client area as it is now (called on the GUI thread).
    explicit PrintService(std::function<QImage()> grab);
    ~PrintService();
    PrintService(const PrintService &) = delete;
    PrintService &operator=(const PrintService &) = delete;

    // Print (40136 and the print buttons), on the GUI thread: the print dialog (all pages, no
    // selection, one copy); on OK the screen is printed on the print thread. Returns true
    // when a job was started.
    bool print_command(QWidget *owner);

    // Preselects printing into this PDF file in the dialog (a machine without printers, tests).
    void set_default_output_file(const QString &pdf) { default_output_file_ = pdf; }

    // Starts printing `client` on `printer` on the print thread; false while a job runs.
    bool start(std::unique_ptr<QPrinter> printer, QImage client);

    bool wait_idle(std::chrono::milliseconds timeout) const;
    // Pages printed successfully since start-up.
    int pages_printed() const { return counter_->load(); }
    bool shutdown(std::chrono::milliseconds timeout);

  private:
    std::function<QImage()> grab_;
    QString default_output_file_;
    std::shared_ptr<std::atomic<int>> counter_ = std::make_shared<std::atomic<int>>(0);
    Worker worker_;
};

} // namespace meterdesk::ui
