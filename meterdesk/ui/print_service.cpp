#include "meterdesk/ui/print_service.h"

#include "meterdesk/core/screen_layout.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

namespace meterdesk::ui {

PrintPlacement print_placement(int printable_width, int client_width, int client_height) {
    PrintPlacement out;
    if (client_width <= 0 || client_height <= kToolbarBottom) return out;
    const int width = 8 * (printable_width / 10);
    const double scale = static_cast<double>(width) / client_width;
    out.x = width / 10;
    out.y = width / 10;
    out.width = width;
    // The copied rows (below the toolbar) keep their proportions.
    out.height = static_cast<int>(scale * (client_height - kToolbarBottom) + 0.5);
    return out;
}

bool print_client_area(QPrinter &printer, const QImage &client) {
    QPainter p;
    if (!p.begin(&printer)) return false; // a printer that refuses the job ends it silently
    const PrintPlacement place =
        print_placement(p.device()->width(), client.width(), client.height());
    const QRect target(place.x, place.y, place.width, place.height);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, client,
                QRect(0, kToolbarBottom, client.width(), client.height() - kToolbarBottom));
    // Thin lines down the left side, along the bottom and up the right side.
    QPen pen(Qt::black);
    pen.setWidth(std::max(1, printer.resolution() / 150));
    p.setPen(pen);
    const int left = target.left();
    const int right = target.left() + target.width();
    const int top = target.top();
    const int bottom = target.top() + target.height();
    p.drawLine(left, top, left, bottom);
    p.drawLine(left, bottom, right, bottom);
    p.drawLine(right, bottom, right, top);
    return p.end();
}

PrintService::PrintService(std::function<QImage()> grab) : grab_(std::move(grab)) {}

PrintService::~PrintService() {
    shutdown(Worker::kDefaultShutdownTimeout);
}

bool PrintService::print_command(QWidget *owner) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(kPrintDocumentName);
    printer->setCopyCount(1);
    if (!default_output_file_.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(default_output_file_);
    }
    QPrintDialog dialog(printer.get(), owner);
    dialog.setObjectName("PrintDialog");
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) return false;
    // The backing image never holds the dialog, so the screen is taken as it is now.
    return start(std::move(printer), grab_ ? grab_() : QImage());
}

bool PrintService::start(std::unique_ptr<QPrinter> printer, QImage client) {
    if (!printer || client.isNull()) return false;
    std::shared_ptr<QPrinter> job_printer(std::move(printer));
    return worker_.resume([job_printer, client = std::move(client), counter = counter_] {
        if (print_client_area(*job_printer, client)) counter->fetch_add(1);
    });
}

bool PrintService::wait_idle(std::chrono::milliseconds timeout) const {
    return worker_.wait_idle(timeout);
}

bool PrintService::shutdown(std::chrono::milliseconds timeout) {
    return worker_.shutdown(timeout);
}

} // namespace meterdesk::ui
